// Tunewright's entry point: one instance, the process state and settings, and the main dialog.
#include "dialog_look.h"
#include "dialog_state.h"
#include "main_dialog.h"
#include "process_state.h"
#include "resources/resource.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// The guard round the main dialog and the saving: any structured exception that nothing handles ends the
// program with "Failed" (GCC has no __try; an unhandled-exception filter has the same effect here).
LONG WINAPI FailedFilter(EXCEPTION_POINTERS * /*pInfo*/) {
    MessageBoxA(nullptr, "Failed", "Error", MB_OK);
    ExitProcess(0);
}

// Another instance is running: bring it to the front and end.
BOOL TakeInstanceMutex() {
    g_hMutex = CreateMutexA(nullptr, TRUE, "Tunewright - mutex");
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return TRUE;
    SendMessageA(HWND_BROADCAST, g_uOpenMessage, 0, 0);
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*pszCmdLine*/, int /*nShowCmd*/) {
    g_hInstance = hInstance;
    g_uOpenMessage = RegisterWindowMessageA("open Tunewright");
    if (!TakeInstanceMutex())
        return 0;
    InitCommonControls();
    if (!AllocProcessBuffers()) {
        MessageBoxA(nullptr, "Not enough memory to start Tunewright.", "Error", MB_OK);
        return 0;
    }
    CoInitialize(nullptr);
    InitProgramDir();
    InitSettingsPath();
    CreateDialogTile();
    LoadSettings();
    LPTOP_LEVEL_EXCEPTION_FILTER pfnPrevious = SetUnhandledExceptionFilter(FailedFilter);
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    SaveSettings();
    FreeProcessBuffers();
    SetUnhandledExceptionFilter(pfnPrevious);
    return 0;
}
