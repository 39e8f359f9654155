// The process's one synthesizer and its SoundFont, loaded once and kept for every later play.
#pragma once

#include <windows.h>

#include <string>

#include "core/synth/synth.h"

// Beside the DLL: [TwDirectMusic] SoundFont=path, Polyphony=voices (1..4096, default 256).
const char kSettingsFileName[] = "TwDirectMusic.ini";
const char kDefaultSoundFontName[] = "TimGM6mb.sf2"; // beside the DLL when the settings name none

// The synthesizer with its SoundFont loaded, or null when the SoundFont is missing or damaged (the reason
// goes to OutputDebugStringA). The SoundFont is the one chosen through ChooseSoundFont, else the settings'; it
// is read only when none is loaded yet or the settings name another file; a failure is tried again at the next
// call. nVoices is the polyphony a program asked for (0: the settings' or the default). Not for the rendering
// thread.
tw::synth::Synth *AcquireSynth(int nVoices);
// A performance that got the synthesizer from AcquireSynth() no longer uses it.
void ReleaseSynth();

// True once a SoundFont has been loaded: the DLL then stays, or the next load would read it again.
bool SynthLoaded();

// Loads pszPath ("" for the settings' SoundFont) into a SoundFont of its own, which the next AcquireSynth
// puts in the synthesizer; a failure leaves everything as it was and says why. Not for the rendering thread.
HRESULT ChooseSoundFont(const std::string &strPath, std::string &strReason);

// One segment at a time plays through the synthesizer: false when another already does.
bool ClaimSynth();
void ReleaseSynthClaim();
