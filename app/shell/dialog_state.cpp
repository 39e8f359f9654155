// The process-wide state of the dialogs and the worker.
#include "dialog_state.h"

int g_rowPrograms[kMaxInstrumentRows];
HANDLE g_hConvertEvent = nullptr;
volatile LONG g_bAbort = 0;
volatile LONG g_bConverting = 0;
UINT g_uOpenMessage = 0;
HANDLE g_hMutex = nullptr;
HINSTANCE g_hInstance = nullptr;

void ShowError(HWND hDlg, const char *pszText) {
    MessageBoxA(hDlg, pszText, "Error", MB_OK);
}
