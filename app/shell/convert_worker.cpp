// ConvertThread: the thread that waits for Convert! and runs one conversion job per signal.
#include "convert_worker.h"

#include "convert_job.h"
#include "dialog_state.h"

#include <type_traits>

static_assert(std::is_same<decltype(&ConvertThread), LPTHREAD_START_ROUTINE>::value, "a thread procedure");

void StartConvertWorker(HWND hDlg) {
    g_hConvertEvent = CreateEventA(nullptr, FALSE, FALSE, "ConvertMIDI");
    HANDLE hThread = CreateThread(nullptr, 0, ConvertThread, hDlg, 0, nullptr);
    if (hThread != nullptr)
        CloseHandle(hThread);
}

DWORD WINAPI ConvertThread(LPVOID pDialog) {
    HWND hDlg = static_cast<HWND>(pDialog);
    CoInitialize(nullptr);
    for (;;) {
        WaitForSingleObject(g_hConvertEvent, INFINITE);
        RunConvertJob(hDlg);
        // The dialog may be waiting for the job to end before it closes.
        PostMessageA(hDlg, WM_APP_JOB_ENDED, 0, 0);
    }
}
