// The per-play instrument plan: which programs sound, the program each channel last selected, and the tone.
#pragma once

#include "midi_programs.h"

// Entries of the channel table, one per performance channel (PChannel).
const int kPChannelCount = 65536;

// Transposition limits in semitones (the dialog shows each step as 0.5 tone).
const int kTransposeMin = -14;
const int kTransposeMax = 14;

// For each program the file asks for: the program to play, or kNoProgram when unused or muted. Written by the
// dialog and the worker only while nothing plays; read by the instrument tool on DirectMusic's thread.
extern int g_programMap[kProgramTableSize];

// For each performance channel: the g_programMap value of the last program change that passed the tool, or
// kNoProgram before the first one and while that program is muted. Reset before every play; during a play only
// the instrument tool (DirectMusic's thread) touches it.
extern int g_pchannelPrograms[kPChannelCount];

// Tone setting in semitones, kTransposeMin..kTransposeMax, 0 at start. Read by the tool for every note.
extern int g_transpose;

// After a file is opened: the map becomes a copy of the used-program table (kProgramTableSize entries, p or -1).
void ResetProgramMap(const int *usedPrograms);

// Before each play or conversion: rebuilds the map from the instrument list and resets the channel table.
// The list has one row per used program in ascending program order; rowChecked[j] is row j's check box and
// rowPrograms[j] its program; nRows is the number of rows. A used program without a row keeps playing.
void FillProgramMap(const int *usedPrograms, const bool *rowChecked, const int *rowPrograms, int nRows);

// Sets every channel of g_pchannelPrograms to kNoProgram.
void ResetChannelPrograms();
