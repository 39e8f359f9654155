// Records the first problem met while reading a MIDI file, as a status and an English text.
#pragma once

#include "smf_file.h"

#include <string>

namespace tw::smf {

// Keeps the first problem of a file; a real fault replaces an earlier mere irregularity.
class ProblemLog {
public:
    explicit ProblemLog(File &file) : file_(file) {}

    // Records the problem unless an earlier one is kept. Format as printf.
    void note(Status status, const char *format, ...) __attribute__((format(printf, 3, 4)));

private:
    File &file_;
};

} // namespace tw::smf
