// Which General MIDI programs the open MIDI file selects, read through MidiFile.dll.
#pragma once

#include "midifile.h"

#include <stdint.h>

// Entries of the program tables (used programs, program map): one per program number, 0..255.
constexpr int kProgramTableSize = 256;
// A table entry for a program the file does not use or that is muted, and a channel with no kept program.
constexpr int32_t kNoProgram = -1;

// Entry p holds p when the loaded file selects program p, -1 when not; entry 0 is 0 after every load.
// Written by the dialog thread while nothing plays.
extern int32_t g_usedPrograms[kProgramTableSize];

// Reads the file's program changes into g_usedPrograms (adding to what the table holds). A file that cannot be
// read is not reported: the table keeps the programs delivered before the damage.
void ReadMidiPrograms(const char *path);

// MidiFile.dll's event callback: marks the program of every program-change event as used. Returns 0.
int WINAPI OnMidiEvent(MidiReadRecord *record);

// The dialog's order of calls for a newly opened file: every entry -1, read the file, entry 0 set to 0.
void LoadUsedPrograms(const char *path);
