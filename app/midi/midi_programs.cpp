// Which General MIDI programs the open MIDI file selects, read through MidiFile.dll.
#include "midi_programs.h"

#include <string.h>

#include <type_traits>

int32_t g_usedPrograms[kProgramTableSize];

namespace {

constexpr uint8_t kKindMask = 0xF0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kHighestProgram = 127; // a program number is a 7-bit data byte
constexpr int kErrorTextBytes = 80;

// Handed to MidiFile.dll; static because the library may keep pointers to them while it reads.
MidiReadRecord s_midiRecord;
MidiCallbackTable s_midiCallbacks;

} // namespace

// Stored in a slot of the library's table: the calling convention must be the slot's (only i686 tells them apart).
static_assert(std::is_same<decltype(&OnMidiEvent), MidiCallback>::value, "OnMidiEvent has the slot's type");

int WINAPI OnMidiEvent(MidiReadRecord *record) {
    if ((record->status & kKindMask) != kProgramChange)
        return 0;
    uint8_t program = record->data1;
    // A reader that passed a damaged byte through would otherwise mark a program without a General MIDI name.
    if (program <= kHighestProgram)
        g_usedPrograms[program] = program;
    return 0;
}

void ReadMidiPrograms(const char *path) {
    memset(&s_midiCallbacks, 0, sizeof s_midiCallbacks);
    s_midiCallbacks.slots[MIDI_CB_EVENT] = OnMidiEvent;
    s_midiRecord.table = &s_midiCallbacks;
    s_midiRecord.path = path;
    int result = MidiReadFile(&s_midiRecord);
    // The text is not shown: whether the file plays is found out when the engine loads it.
    char text[kErrorTextBytes];
    MidiGetErr(&s_midiRecord, text, sizeof text, result);
}

void LoadUsedPrograms(const char *path) {
    for (int p = 0; p < kProgramTableSize; ++p)
        g_usedPrograms[p] = kNoProgram;
    ReadMidiPrograms(path);
    g_usedPrograms[0] = 0;
}
