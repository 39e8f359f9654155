// The conversion worker: one thread that plays the open file through the capture effect for each Convert! and
// writes the WAV or MP3 file.
#pragma once

#include <windows.h>

// Creates the event "ConvertMIDI" and starts ConvertThread for the dialog; the thread is never joined.
void StartConvertWorker(HWND hDlg);

// The thread procedure: waits for the event, runs one job per signal, never returns.
DWORD WINAPI ConvertThread(LPVOID pDialog);
