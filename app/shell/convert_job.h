// One conversion job of the worker thread, from StopMidi to the message that reports the written file.
#pragma once

#include <windows.h>

// Plays the open file through the capture effect, polls until the segment is about to end or Abort, then
// writes the WAV or MP3 file. Every failure is reported in a message box owned by the dialog; the controls come
// back at the end. Runs on the worker thread.
void RunConvertJob(HWND hDlg);
