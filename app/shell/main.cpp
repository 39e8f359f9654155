// Tunewright's entry point: one instance (which opens a file the command line names), the process state and
// settings, and the main dialog.
#include "dialog_look.h"
#include "dialog_state.h"
#include "main_dialog.h"
#include "open_request.h"
#include "process_state.h"
#include "resources/resource.h"
#include "settings_location.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// The guard round the main dialog and the saving: any structured exception that nothing handles ends the
// program with "Failed" (GCC has no __try; an unhandled-exception filter has the same effect here).
LONG WINAPI FailedFilter(EXCEPTION_POINTERS * /*pInfo*/) {
    MessageBoxA(nullptr, "Failed", "Error", MB_OK);
    ExitProcess(0);
}

// Another instance is running: bring it to the front (with the file of the command line, if any) and end.
BOOL TakeInstanceMutex() {
    g_hMutex = CreateMutexA(nullptr, TRUE, "Tunewright - mutex");
    if (GetLastError() != ERROR_ALREADY_EXISTS)
        return TRUE;
    if (HasCommandLineFile()) {
        SendFileToRunningInstance();
        return FALSE;
    }
    // Windows lets the running instance come to the front only when this one, just started, allows it.
    AllowSetForegroundWindow(ASFW_ANY);
    SendMessageA(HWND_BROADCAST, g_uOpenMessage, 0, 0);
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR pszCmdLine, int /*nShowCmd*/) {
    g_hInstance = hInstance;
    g_uOpenMessage = RegisterWindowMessageA("open Tunewright");
    TakeCommandLineFile(pszCmdLine);
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
    InitSettingsLocation();
    CreateDialogTile();
    LoadSettings();
    LPTOP_LEVEL_EXCEPTION_FILTER pfnPrevious = SetUnhandledExceptionFilter(FailedFilter);
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    SaveSettings();
    FreeProcessBuffers();
    SetUnhandledExceptionFilter(pfnPrevious);
    return 0;
}
