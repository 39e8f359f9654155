// The process's one synthesizer and its SoundFont, loaded once and kept for every later play.
#pragma once

#include "core/synth/synth.h"

const char kSettingsFileName[] = "TwDirectMusic.ini"; // beside the DLL: [TwDirectMusic] SoundFont=path
const char kDefaultSoundFontName[] = "TimGM6mb.sf2";  // beside the DLL when the settings name none

// The synthesizer with its SoundFont loaded, or null when the SoundFont is missing or damaged (the reason
// goes to OutputDebugStringA). A SoundFont is read only when none is loaded yet or the settings name another
// file; a failure is tried again at the next call. Not for the rendering thread.
tw::synth::Synth *AcquireSynth();

// True once a SoundFont has been loaded: the DLL then stays, or the next load would read it again.
bool SynthLoaded();

// One segment at a time plays through the synthesizer: false when another already does.
bool ClaimSynth();
void ReleaseSynthClaim();
