// The conversion worker: one thread that plays the open file through the capture effect for each Convert! and
// writes the WAV or MP3 file.
#pragma once

#include <windows.h>

// The rates of the quality lists, by list index; the WAV list has the first three.
const int kWavRateCount = 3;
const int kMp3RateCount = 4;
extern const UINT kSampleRates[kMp3RateCount];
extern const char *const kSampleRateTexts[kMp3RateCount];
const int kDefaultQuality = 2; // "44100 Hz", selected at start
const UINT kRateWithoutSelection = 22050;

// The rate of a quality list's selected entry (22050 without a selection).
UINT SelectedSampleRate(HWND hDlg, int nListId);

// Creates the event "ConvertMIDI" and starts ConvertThread for the dialog; the thread is never joined.
void StartConvertWorker(HWND hDlg);

// The thread procedure: waits for the event, runs one job per signal, never returns.
DWORD WINAPI ConvertThread(LPVOID pDialog);
