// Result codes and error texts of MidiFile.dll.
#pragma once

#include "midifile.h"
#include "smf_file.h"

#include <string>

namespace tw::midifile {

// The result MidiReadFile returns for a parser status.
int ResultFromStatus(tw::smf::Status status);

// Keeps the detailed text of the last read of this record on the calling thread, for MidiGetErr.
void RememberResult(const MidiReadRecord *record, int result, const std::string &text);

} // namespace tw::midifile
