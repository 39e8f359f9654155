// Developer trace: appends lines to the edit control of a running debug viewer, else to the debug output.
#include "trace.h"

#include <windows.h>

#include <cstring>

namespace {

const char kViewerClass[] = "DbgWinClass";
const char kEditClass[] = "Edit";
const char kLineBreak[] = "\r\n";
const char kDebugBreak[] = "\n";
const size_t kDebugLineSize = 1024; // bytes of the one-piece debug output buffer

// A hung viewer must not stall the caller (DirectMusic's real-time thread traces too): each message waits at
// most this long, in milliseconds.
const UINT kSendTimeoutMs = 200;

// Serialises the four messages of one append, so lines from the dialog, the worker and DirectMusic's thread
// are not interleaved inside the viewer. 0 free, 1 held.
volatile LONG g_nTraceLock = 0;

void LockTrace() {
    while (InterlockedCompareExchange(&g_nTraceLock, 1, 0) != 0) {
        Sleep(0);
    }
}

void UnlockTrace() {
    InterlockedExchange(&g_nTraceLock, 0);
}

LRESULT SendToViewer(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(hWnd, uMsg, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs, &dwResult);
    return static_cast<LRESULT>(dwResult);
}

// Appends the line at the end of the viewer's edit control, with a break before it unless the control is empty.
void AppendToEdit(HWND hEdit, const char *pszLine) {
    LRESULT nLength = SendToViewer(hEdit, WM_GETTEXTLENGTH, 0, 0);
    // The caret is put after the last character explicitly: the user may have clicked into the viewer.
    SendToViewer(hEdit, EM_SETSEL, static_cast<WPARAM>(nLength), static_cast<LPARAM>(nLength));
    if (nLength > 0) {
        SendToViewer(hEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(kLineBreak));
    }
    SendToViewer(hEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pszLine));
    SendToViewer(hEdit, EM_SCROLLCARET, 0, 0);
}

// Sends the line and its break in one piece where it fits, so a debugger shows them together.
void WriteDebugOutput(const char *pszLine) {
    char szBuffer[kDebugLineSize];
    size_t nLength = strlen(pszLine);
    if (nLength + sizeof(kDebugBreak) <= sizeof(szBuffer)) {
        memcpy(szBuffer, pszLine, nLength);
        memcpy(szBuffer + nLength, kDebugBreak, sizeof(kDebugBreak));
        OutputDebugStringA(szBuffer);
    } else {
        OutputDebugStringA(pszLine);
        OutputDebugStringA(kDebugBreak);
    }
}

} // namespace

void TraceLine(const char *pszLine) {
    if (pszLine == nullptr) {
        return;
    }
    LockTrace();
    // The viewer is only ever looked for, never started: launching a program from a fixed path on the current
    // drive would run whatever anyone had placed there.
    HWND hViewer = FindWindowA(kViewerClass, nullptr);
    HWND hEdit = hViewer != nullptr ? FindWindowExA(hViewer, nullptr, kEditClass, nullptr) : nullptr;
    if (hEdit != nullptr) {
        AppendToEdit(hEdit, pszLine);
    } else {
        WriteDebugOutput(pszLine);
    }
    UnlockTrace();
}
