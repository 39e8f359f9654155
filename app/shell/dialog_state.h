// State the main dialog shares with the conversion worker and the start-up: job signals, the instrument rows,
// the open message, the mutex and the instance.
#pragma once

#include <windows.h>

// Program of each row of the instrument list (row r shows program g_rowPrograms[r]).
const int kMaxInstrumentRows = 256;
extern int g_rowPrograms[kMaxInstrumentRows];

// Job signals: Convert! sets the auto-reset event "ConvertMIDI"; Abort sets g_bAbort to 1.
extern HANDLE g_hConvertEvent;
extern volatile LONG g_bAbort;

// 1 from the moment Convert! is pressed until the worker's job has ended (dialog thread and worker).
extern volatile LONG g_bConverting;

// The registered message "open Tunewright", the mutex "Tunewright - mutex" and the running executable.
extern UINT g_uOpenMessage;
extern HANDLE g_hMutex;
extern HINSTANCE g_hInstance;

// Posted by the worker to the dialog when a job has ended (after its controls came back).
const UINT WM_APP_JOB_ENDED = WM_APP + 1;

// Shows a modal message box owned by the dialog: caption "Error", MB_OK.
void ShowError(HWND hDlg, const char *pszText);
