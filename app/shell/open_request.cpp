// Opening a file named on the command line, in this instance or through the one that already runs.
#include "open_request.h"

#include "dialog_state.h"
#include "main_dialog.h"
#include "process_state.h"

#include <stdio.h>
#include <string.h>

namespace {

// g_uOpenMessage's wParam that asks "are you Tunewright's main dialog?", and the answer.
const WPARAM kInstanceQuery = 0x54570001;
const LONG_PTR kInstanceAnswer = 0x54570002;
// WM_COPYDATA's dwData for "open this file" (the data: its full path, NUL-terminated).
const ULONG_PTR kOpenFileData = 0x54570003;

const DWORD kMessageFilterAllow = 1; // MSGFLT_ALLOW
const DWORD kQueryTimeoutMs = 1000;
const DWORD kSendTimeoutMs = 5000;
// How long a second instance looks for a first one that is still starting (its engine, or regsvr32).
const DWORD kFindTimeoutMs = 40000;
const DWORD kFindRetryMs = 250;

// The file of the command line, then the file to open next. Main thread.
char g_szRequestedFile[kProcessBufferSize];

const char *SkipSpaces(const char *psz) {
    while (*psz == ' ' || *psz == '\t')
        ++psz;
    return psz;
}

BOOL CALLBACK FindDialogProc(HWND hWnd, LPARAM lParam) {
    char szClass[16];
    if (GetClassNameA(hWnd, szClass, sizeof szClass) == 0 || strcmp(szClass, "#32770") != 0)
        return TRUE;
    DWORD_PTR nAnswer = 0;
    if (SendMessageTimeoutA(hWnd, g_uOpenMessage, kInstanceQuery, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kQueryTimeoutMs,
                            &nAnswer) != 0 &&
        static_cast<LONG_PTR>(nAnswer) == kInstanceAnswer) {
        *reinterpret_cast<HWND *>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindRunningDialog() {
    HWND hFound = nullptr;
    for (DWORD dwStart = GetTickCount();;) {
        EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&hFound));
        if (hFound != nullptr || GetTickCount() - dwStart > kFindTimeoutMs)
            return hFound;
        Sleep(kFindRetryMs);
    }
}

void ComeToFront(HWND hDlg) {
    SetForegroundWindow(hDlg);
    ShowWindow(hDlg, SW_SHOWNORMAL);
}

} // namespace

void TakeCommandLineFile(const char *pszCmdLine) {
    g_szRequestedFile[0] = '\0';
    if (pszCmdLine == nullptr)
        return;
    char szName[kProcessBufferSize];
    const char *psz = SkipSpaces(pszCmdLine);
    if (*psz == '"') {
        const char *pszEnd = strchr(psz + 1, '"');
        size_t cch = pszEnd ? size_t(pszEnd - psz - 1) : strlen(psz + 1);
        lstrcpynA(szName, psz + 1, static_cast<int>(cch < sizeof szName ? cch + 1 : sizeof szName));
    } else {
        // Unquoted, a name with spaces is still one name: Tunewright takes one file.
        lstrcpynA(szName, psz, sizeof szName);
        for (size_t cch = strlen(szName); cch > 0 && (szName[cch - 1] == ' ' || szName[cch - 1] == '\t');)
            szName[--cch] = '\0';
    }
    if (szName[0] == '\0')
        return;
    DWORD n = GetFullPathNameA(szName, sizeof g_szRequestedFile, g_szRequestedFile, nullptr);
    if (n == 0 || n >= sizeof g_szRequestedFile)
        lstrcpynA(g_szRequestedFile, szName, sizeof g_szRequestedFile);
}

BOOL HasCommandLineFile() {
    return g_szRequestedFile[0] != '\0';
}

BOOL SendFileToRunningInstance() {
    HWND hDlg = FindRunningDialog();
    if (hDlg == nullptr)
        return FALSE;
    // The program Explorer just started may give the foreground away; the running one may not take it.
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hDlg, &dwProcessId);
    AllowSetForegroundWindow(dwProcessId);
    COPYDATASTRUCT data = {};
    data.dwData = kOpenFileData;
    data.cbData = static_cast<DWORD>(strlen(g_szRequestedFile) + 1);
    data.lpData = g_szRequestedFile;
    DWORD_PTR nTaken = 0;
    return SendMessageTimeoutA(hDlg, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &nTaken) != 0 &&
           nTaken != 0;
}

void StartOpenRequests(HWND hDlg) {
    // Windows 7 and later keep a program with fewer rights from sending these; older ones lack the function.
    typedef BOOL(WINAPI * ChangeFilterProc)(HWND, UINT, DWORD, void *);
    HMODULE hUser = GetModuleHandleA("user32.dll");
    FARPROC pfn = hUser ? GetProcAddress(hUser, "ChangeWindowMessageFilterEx") : nullptr;
    if (pfn != nullptr) {
        ChangeFilterProc pfnChangeFilter = reinterpret_cast<ChangeFilterProc>(reinterpret_cast<void *>(pfn));
        pfnChangeFilter(hDlg, WM_COPYDATA, kMessageFilterAllow, nullptr);
        pfnChangeFilter(hDlg, g_uOpenMessage, kMessageFilterAllow, nullptr);
    }
    if (HasCommandLineFile())
        PostMessageA(hDlg, WM_APP_OPEN_FILE, 0, 0);
}

BOOL AnswerInstanceQuery(HWND hDlg, WPARAM wParam) {
    if (wParam != kInstanceQuery)
        return FALSE;
    SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, kInstanceAnswer);
    return TRUE;
}

BOOL OnOpenFileCopyData(HWND hDlg, const COPYDATASTRUCT *pData) {
    if (pData == nullptr || pData->dwData != kOpenFileData || pData->cbData < 2 ||
        pData->cbData > sizeof g_szRequestedFile || static_cast<const char *>(pData->lpData)[pData->cbData - 1] != 0)
        return FALSE;
    // The sender waits for this answer: the file is opened after it, from the dialog's own queue.
    memcpy(g_szRequestedFile, pData->lpData, pData->cbData);
    PostMessageA(hDlg, WM_APP_OPEN_FILE, 0, 0);
    ComeToFront(hDlg);
    SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

void OnOpenQueuedFile(HWND hDlg) {
    if (!HasCommandLineFile())
        return;
    char szMessage[kProcessBufferSize + 256];
    if (g_bConverting) {
        snprintf(szMessage, sizeof szMessage, "A conversion is running. Open \"%s\" once it has finished.",
                 g_szRequestedFile);
        MessageBoxA(hDlg, szMessage, "Tunewright", MB_OK | MB_ICONINFORMATION);
    } else if (DWORD dwAttributes = GetFileAttributesA(g_szRequestedFile);
               dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        snprintf(szMessage, sizeof szMessage, "The file \"%s\" cannot be found.", g_szRequestedFile);
        ShowError(hDlg, szMessage);
    } else {
        strcpy(g_szMidiPath, g_szRequestedFile);
        const char *pszName = strrchr(g_szMidiPath, '\\');
        strcpy(g_szMidiTitle, pszName ? pszName + 1 : g_szMidiPath);
        LoadMidiFileIntoDialog(hDlg);
    }
    g_szRequestedFile[0] = '\0';
}
