// The output-format list and the two quality lists of the main dialog (IDs 2009, 2011, 2023).
#pragma once

#include <windows.h>

// Fills the format list ("Wav", "Mp3", Wav selected) and both quality lists ("44100 Hz" selected); the MP3
// list starts hidden.
void InitOutputLists(HWND hDlg);

// Whether the format list has "Mp3" selected.
BOOL IsMp3Selected(HWND hDlg);

// The rate of a quality list's selected entry (22050 without a selection).
UINT SelectedSampleRate(HWND hDlg, int nListId);
