// Display names of the 128 General MIDI programs, as the instrument list shows them.
#pragma once

// Number of General MIDI programs (0..127).
const int kGMProgramCount = 128;

// "Category :: Instrument" for each program number, e.g. [0] = "Piano :: Acoustic Grand Piano".
extern const char *const GMInstrumentNames[kGMProgramCount];
