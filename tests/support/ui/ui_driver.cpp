// The UI driver: CreateProcess, window searches and cross-process list-view access.
#include "support/ui/ui_driver.h"

#include <commctrl.h>

#include <cstdlib>

#include <string>
#include <vector>

namespace ui {

namespace {

const DWORD kStartTimeoutMs = 20000;
const int kIdOpenDialogFileName = 0x47C; // cmb13, the file-name combo box of the open-file dialog
const int kIdOpenDialogEdit = 0x480;     // edt1, in older layouts
const int kIdMessageText = 0xFFFF;       // the text of a message box

struct Search {
    DWORD dwProcessId;
    const char *pszCaption;
    HWND hExcept;
    HWND hFound;
};

bool IsShownBy(HWND hWnd, DWORD dwProcessId) {
    DWORD dwOwner = 0;
    GetWindowThreadProcessId(hWnd, &dwOwner);
    return dwOwner == dwProcessId && IsWindowVisible(hWnd);
}

BOOL CALLBACK MatchDialog(HWND hWnd, LPARAM lParam) {
    Search *pSearch = reinterpret_cast<Search *>(lParam);
    char szClass[16], szCaption[256];
    if (hWnd == pSearch->hExcept || !IsShownBy(hWnd, pSearch->dwProcessId))
        return TRUE;
    GetClassNameA(hWnd, szClass, sizeof szClass);
    GetWindowTextA(hWnd, szCaption, sizeof szCaption);
    if (lstrcmpA(szClass, "#32770") == 0 && lstrcmpA(szCaption, pSearch->pszCaption) == 0) {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

// A block of memory in the other process, for list-view messages that carry pointers.
class RemoteBlock {
public:
    RemoteBlock(DWORD dwProcessId, size_t cb) : m_cb(cb) {
        m_hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, dwProcessId);
        m_p = VirtualAllocEx(m_hProcess, nullptr, cb, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        VirtualFreeEx(m_hProcess, m_p, 0, MEM_RELEASE);
        CloseHandle(m_hProcess);
    }
    void *address() const { return m_p; }
    void Write(const void *pData, size_t cb, size_t offset = 0) const {
        WriteProcessMemory(m_hProcess, static_cast<char *>(m_p) + offset, pData, cb, nullptr);
    }
    void Read(void *pData, size_t cb, size_t offset = 0) const {
        ReadProcessMemory(m_hProcess, static_cast<char *>(m_p) + offset, pData, cb, nullptr);
    }

private:
    HANDLE m_hProcess;
    void *m_p;
    size_t m_cb;
};

const char kHostAgentVariable[] = "TW_HOST_AGENT_DIR";

bool WriteWholeFile(const std::string &path, const std::string &text) {
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(hFile, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
    return CloseHandle(hFile) && ok;
}

std::string ReadWholeFile(const std::string &path) {
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return "";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(hFile, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(hFile);
    return text;
}

// A mouse event at a screen point, in SendInput's absolute coordinates (0..65535 over the primary screen).
INPUT MouseAt(POINT pt, DWORD dwFlags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    // Windows maps back by truncating: one unit more keeps the point from landing a pixel short.
    input.mi.dx = MulDiv(pt.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(pt.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = dwFlags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

struct Listing {
    DWORD dwProcessId;
    std::string text;
};

BOOL CALLBACK ListWindow(HWND hWnd, LPARAM lParam) {
    Listing *pListing = reinterpret_cast<Listing *>(lParam);
    if (!IsShownBy(hWnd, pListing->dwProcessId))
        return TRUE;
    char szCaption[256] = "", szText[1024] = "";
    GetWindowTextA(hWnd, szCaption, sizeof szCaption);
    GetDlgItemTextA(hWnd, kIdMessageText, szText, sizeof szText);
    pListing->text += std::string(" [") + szCaption + (szText[0] != '\0' ? std::string(": ") + szText : "") + "]";
    return TRUE;
}

} // namespace

HWND FindProcessDialog(DWORD dwProcessId, const char *pszCaption, HWND hExcept) {
    Search search = {dwProcessId, pszCaption, hExcept, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

App::App(const std::string &folder, const std::string &arguments) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = folder.empty() ? "Tunewright.exe" : "\"" + folder + "\\Tunewright.exe\"";
    if (!arguments.empty())
        command += " " + arguments;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process))
        return;
    // A second instance ends without a window: stop looking once the process is gone.
    WaitFor(
        [&] {
            m_hDialog = FindProcessDialog(m_process.dwProcessId, "Tunewright", nullptr);
            return m_hDialog != nullptr || WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0;
        },
        kStartTimeoutMs);
}

App::~App() {
    if (m_process.hProcess == nullptr)
        return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(m_process.hProcess, 1);
    WaitForSingleObject(m_process.hProcess, 5000);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

DWORD App::WaitForExit(DWORD dwTimeoutMs) {
    DWORD dwCode = STILL_ACTIVE;
    if (WaitForSingleObject(m_process.hProcess, dwTimeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_process.hProcess, &dwCode);
    return dwCode;
}

void App::Click(int nId) const {
    // The program first takes the input it has pending, so that nothing it still holds from before (such as a
    // pointer event of the open-file dialog that just closed) arrives between the move and the click.
    WaitForInputIdle(m_process.hProcess, 5000);
    RECT rc;
    GetWindowRect(control(nId), &rc);
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    // With the real pointer: skinned buttons take a click only once the pointer has entered them. The press
    // and the release carry the position too, so nothing in between can send them elsewhere.
    INPUT move = MouseAt(pt, 0);
    SendInput(1, &move, sizeof(INPUT));
    Sleep(50);
    INPUT clicks[2] = {MouseAt(pt, MOUSEEVENTF_LEFTDOWN), MouseAt(pt, MOUSEEVENTF_LEFTUP)};
    SendInput(2, clicks, sizeof(INPUT));
    Sleep(50);
}

// Types path into the process's file dialog titled pszCaption and presses OK; true once the dialog has closed.
static bool AnswerFileDialog(DWORD dwProcessId, HWND hOwner, const char *pszCaption, const std::string &path) {
    HWND hOpen = nullptr;
    if (!WaitFor([&] { return (hOpen = FindProcessDialog(dwProcessId, pszCaption, hOwner)) != nullptr; }, 10000))
        return false;
    HWND hName = GetDlgItem(hOpen, kIdOpenDialogFileName);
    if (hName == nullptr)
        hName = GetDlgItem(hOpen, kIdOpenDialogEdit);
    SendMessageA(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(hOpen, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hOpen, IDOK)));
    return WaitFor([&] { return !IsWindow(hOpen); }, 10000);
}

bool App::OpenFile(const std::string &path) const {
    Click(2004);
    return AnswerFileDialog(processId(), m_hDialog, "Open", path);
}

// The popup menu window of the process, when one shows.
struct MenuSearch {
    DWORD dwProcessId;
    HWND hFound;
};

static BOOL CALLBACK FindMenuWindow(HWND hWnd, LPARAM lParam) {
    MenuSearch *pSearch = reinterpret_cast<MenuSearch *>(lParam);
    char szClass[16] = "";
    GetClassNameA(hWnd, szClass, sizeof szClass);
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hWnd, &dwProcessId);
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    // Wine keeps a menu window of no size for the menu loop itself: the popup is the one with a size.
    if (dwProcessId == pSearch->dwProcessId && lstrcmpA(szClass, "#32768") == 0 && IsWindowVisible(hWnd) &&
        rc.right > rc.left && rc.bottom > rc.top) {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND App::OpenSystemMenu() const {
    // Alt+Space on the keyboard, to the active window. The pointer leaves the dialog first: under Wine a menu
    // opened while a button's balloon tooltip still shows is tracked but never seen.
    SetForegroundWindow(m_hDialog);
    WaitFor([&] { return GetForegroundWindow() == m_hDialog; }, 2000);
    POINT corner = {0, 0};
    INPUT away = MouseAt(corner, MOUSEEVENTF_MOVE);
    SendInput(1, &away, sizeof(INPUT));
    Sleep(500);
    INPUT keys[4] = {};
    const WORD kKeys[4] = {VK_MENU, VK_SPACE, VK_SPACE, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = kKeys[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, keys, sizeof(INPUT));
    MenuSearch search = {processId(), nullptr};
    WaitFor(
        [&] {
            EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&search));
            return search.hFound != nullptr;
        },
        5000);
    return search.hFound;
}

void App::ChooseFromBottomOfMenu(int nFromBottom) const {
    // The menu loop takes the keys from the thread's queue, whichever of its windows they are posted to. End
    // selects the last item, whatever was selected when the menu opened.
    auto press = [this](WPARAM wKey) {
        PostMessageA(m_hDialog, WM_KEYDOWN, wKey, 1);
        PostMessageA(m_hDialog, WM_KEYUP, wKey, 0xC0000001);
    };
    press(VK_END);
    for (int i = 1; i < nFromBottom; ++i)
        press(VK_UP);
    press(VK_RETURN);
}

bool App::ChooseSoundFont(const std::string &path) const {
    if (OpenSystemMenu() == nullptr)
        return false;
    ChooseFromBottomOfMenu(2); // "SoundFont...", above "Default SoundFont"
    return AnswerFileDialog(processId(), m_hDialog, "SoundFont", path);
}

std::string App::TakeMessageBox(const char *pszCaption, DWORD dwTimeoutMs) const {
    HWND hBox = nullptr;
    if (!WaitFor([&] { return (hBox = FindProcessDialog(processId(), pszCaption, m_hDialog)) != nullptr; },
                 dwTimeoutMs))
        return "";
    char szText[4096] = "";
    GetDlgItemTextA(hBox, kIdMessageText, szText, sizeof szText);
    PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitFor([&] { return !IsWindow(hBox); }, 5000);
    return szText;
}

bool App::WaitEnabled(int nId, bool bEnabled, DWORD dwTimeoutMs) const {
    return WaitFor([&] { return Enabled(nId) == bEnabled; }, dwTimeoutMs);
}

std::string App::Situation() const {
    Listing listing = {processId(), "windows:"};
    EnumWindows(ListWindow, reinterpret_cast<LPARAM>(&listing));
    POINT pt;
    GetCursorPos(&pt);
    HWND hUnder = WindowFromPoint(pt);
    return listing.text + "; pointer at " + std::to_string(pt.x) + "," + std::to_string(pt.y) + " over control " +
           std::to_string(hUnder != nullptr ? GetDlgCtrlID(hUnder) : 0);
}

std::string App::Text(int nId) const {
    // GetWindowText of another process's window reads only its caption, not an edit control's text.
    char szText[4096] = "";
    SendMessageA(control(nId), WM_GETTEXT, sizeof szText, reinterpret_cast<LPARAM>(szText));
    return szText;
}

int App::RowCount() const {
    return static_cast<int>(SendMessageA(control(2031), LVM_GETITEMCOUNT, 0, 0));
}

std::string App::RowText(int nRow) const {
    const size_t cchText = 256;
    RemoteBlock block(processId(), sizeof(LVITEMA) + cchText);
    LVITEMA item = {};
    item.iSubItem = 0;
    item.cchTextMax = cchText;
    item.pszText = static_cast<char *>(block.address()) + sizeof(LVITEMA);
    block.Write(&item, sizeof item);
    SendMessageA(control(2031), LVM_GETITEMTEXTA, nRow, reinterpret_cast<LPARAM>(block.address()));
    std::vector<char> text(cchText);
    block.Read(text.data(), cchText, sizeof(LVITEMA));
    text.back() = '\0';
    return text.data();
}

bool App::RowChecked(int nRow) const {
    LRESULT state = SendMessageA(control(2031), LVM_GETITEMSTATE, nRow, LVIS_STATEIMAGEMASK);
    return (static_cast<UINT>(state) >> 12) == 2;
}

void App::SetRowChecked(int nRow, bool bChecked) const {
    RemoteBlock block(processId(), sizeof(LVITEMA));
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(bChecked ? 2 : 1);
    block.Write(&item, sizeof item);
    SendMessageA(control(2031), LVM_SETITEMSTATE, nRow, reinterpret_cast<LPARAM>(block.address()));
}

void App::SetSlider(int nId, int nPosition) const {
    SendMessageA(control(nId), TBM_SETPOS, TRUE, nPosition);
    // The dialog reads the sliders on their notifications, which come with every repaint.
    RedrawWindow(control(nId), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void App::SelectListEntry(int nId, int nIndex) const {
    SendMessageA(control(nId), CB_SETCURSEL, nIndex, 0);
    SendMessageA(m_hDialog, WM_COMMAND, MAKEWPARAM(nId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control(nId)));
}

bool HostAgentPresent() {
    return GetEnvironmentVariableA(kHostAgentVariable, nullptr, 0) != 0;
}

HostAnswer AskHost(const std::vector<std::string> &request, DWORD dwTimeoutMs) {
    char szFolder[MAX_PATH];
    DWORD cch = GetEnvironmentVariableA(kHostAgentVariable, szFolder, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH)
        return {-1, std::string(kHostAgentVariable) + " is not set: run this test through ctest"};
    static LONG s_nRequest = 0;
    std::string stem = std::string(szFolder) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(InterlockedIncrement(&s_nRequest));
    std::string text;
    for (const std::string &line : request)
        text += line + "\n";
    // Written aside and renamed, so that the agent never reads half a request.
    if (!WriteWholeFile(stem + ".tmp", text) || !MoveFileA((stem + ".tmp").c_str(), (stem + ".req").c_str()))
        return {-1, "cannot write the request into " + std::string(szFolder)};
    std::string done = stem + ".done";
    if (!WaitFor([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, dwTimeoutMs))
        return {-1, "the host agent did not answer within " + std::to_string(dwTimeoutMs) + " ms"};
    std::string answer = ReadWholeFile(done);
    DeleteFileA(done.c_str());
    size_t eol = answer.find('\n');
    return {atoi(answer.c_str()), eol == std::string::npos ? "" : answer.substr(eol + 1)};
}

std::string LinuxPathOf(const std::string &path) {
    // The build's Wine prefixes map drive Z: to the Linux root, as Wine does by default.
    if (path.size() < 2 || (path[0] != 'Z' && path[0] != 'z') || path[1] != ':')
        return "";
    std::string unixPath = path.substr(2);
    for (char &c : unixPath)
        if (c == '\\')
            c = '/';
    return unixPath;
}

bool DropFile(HWND hOver, const std::string &path) {
    std::string unixPath = LinuxPathOf(path);
    if (unixPath.empty())
        return false;
    RECT rc;
    GetWindowRect(hOver, &rc);
    std::string x = std::to_string((rc.left + rc.right) / 2), y = std::to_string((rc.top + rc.bottom) / 2);
    return AskHost({"drop", x, y, unixPath}, 20000).nStatus == 0;
}

bool SaveWindowPicture(HWND hWnd, const std::string &path) {
    RECT rc;
    GetWindowRect(hWnd, &rc);
    int nWidth = rc.right - rc.left, nHeight = rc.bottom - rc.top;
    int nStride = (nWidth * 3 + 3) & ~3;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = nWidth;
    header.biHeight = nHeight; // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = nStride * nHeight;
    std::vector<BYTE> pixels(header.biSizeImage);
    HDC hScreen = GetDC(nullptr);
    HDC hMemory = CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, nWidth, nHeight);
    HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
    BitBlt(hMemory, 0, 0, nWidth, nHeight, hScreen, rc.left, rc.top, SRCCOPY);
    SelectObject(hMemory, hOld);
    int nRows =
        GetDIBits(hMemory, hBitmap, 0, nHeight, pixels.data(), reinterpret_cast<BITMAPINFO *>(&header), DIB_RGB_COLORS);
    DeleteObject(hBitmap);
    DeleteDC(hMemory);
    ReleaseDC(nullptr, hScreen);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (nRows != nHeight || hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD written;
    bool ok = WriteFile(hFile, &file, sizeof file, &written, nullptr) &&
              WriteFile(hFile, &header, sizeof header, &written, nullptr) &&
              WriteFile(hFile, pixels.data(), header.biSizeImage, &written, nullptr);
    CloseHandle(hFile);
    return ok;
}

} // namespace ui
