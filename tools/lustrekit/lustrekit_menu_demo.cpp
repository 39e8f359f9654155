// Host of Lustrekit's skinned menus: a window to try the looks by hand, to photograph an open menu, and to
// report what transparency does on the Windows version it runs as.
//   lustrekit_menu_demo [--look classic|flat|gradient|system] [--alpha N]
//                       [--open file|view|help|context|system [--down N] [--right] --shot OUT.bmp]
//                       [--report OUT.txt]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

#include "lk_menu_fixture.h"

namespace {

constexpr UINT_PTR kTimerOpen = 1;
constexpr UINT_PTR kTimerKeys = 2;
constexpr UINT_PTR kTimerShot = 3;
constexpr UINT_PTR kTimerProbe = 4;
constexpr UINT kOpenDelay = 300;  // ms
constexpr UINT kKeysDelay = 700;  // ms
constexpr UINT kShotDelay = 1400; // ms
constexpr int kWindowX = 40;
constexpr int kWindowY = 30;
constexpr int kContextX = 200;
constexpr int kContextY = 140;

struct DemoOptions {
    DWORD dwLook = MENUSTYLE_CLASSIC;
    int alpha = 0;
    std::string open;
    int down = 0;
    bool bRight = false;
    std::string shotPath;
    std::string reportPath;
};

DemoOptions g_options;
HWND g_hwndDemo = NULL;
DemoMenus g_menus;
std::string g_szReport;

DWORD LookByName(const char *pszName) {
    if (std::strcmp(pszName, "flat") == 0) {
        return MENUSTYLE_FLAT;
    }
    if (std::strcmp(pszName, "gradient") == 0) {
        return MENUSTYLE_GRADIENT;
    }
    if (std::strcmp(pszName, "system") == 0) {
        return MENUSTYLE_SYSTEM;
    }
    return MENUSTYLE_CLASSIC;
}

DemoOptions ParseOptions(int argc, char **argv) {
    DemoOptions o;
    for (int i = 1; i + 1 < argc + 1; ++i) {
        std::string a = argv[i];
        const char *pNext = i + 1 < argc ? argv[i + 1] : "";
        if (a == "--look") {
            o.dwLook = LookByName(pNext), ++i;
        } else if (a == "--alpha") {
            o.alpha = std::atoi(pNext), ++i;
        } else if (a == "--open") {
            o.open = pNext, ++i;
        } else if (a == "--down") {
            o.down = std::atoi(pNext), ++i;
        } else if (a == "--right") {
            o.bRight = true;
        } else if (a == "--shot") {
            o.shotPath = pNext, ++i;
        } else if (a == "--report") {
            o.reportPath = pNext, ++i;
        }
    }
    return o;
}

void Report(const char *pszKey, long value) {
    char szLine[128];
    std::snprintf(szLine, sizeof(szLine), "%s=%ld\n", pszKey, value);
    g_szReport += szLine;
}

bool WriteText(const std::string &path, const std::string &text) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (f == NULL) {
        return false;
    }
    bool bOk = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && bOk;
}

// The screen as a bottom-up 24-bit BMP file.
bool WriteScreenBmp(const std::string &path) {
    int w = GetSystemMetrics(SM_CXSCREEN);
    int h = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFOHEADER header;
    std::memset(&header, 0, sizeof(header));
    header.biSize = sizeof(header);
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int stride = (w * 3 + 3) & ~3;
    std::string pixels(static_cast<size_t>(stride) * h, '\0');
    HDC hdcScreen = GetDC(NULL);
    HDC hdcMem = CreateCompatibleDC(hdcScreen);
    HBITMAP hBmp = CreateCompatibleBitmap(hdcScreen, w, h);
    HGDIOBJ hOld = SelectObject(hdcMem, hBmp);
    BitBlt(hdcMem, 0, 0, w, h, hdcScreen, 0, 0, SRCCOPY);
    SelectObject(hdcMem, hOld);
    int lines = GetDIBits(hdcMem, hBmp, 0, h, &pixels[0], reinterpret_cast<BITMAPINFO *>(&header), DIB_RGB_COLORS);
    DeleteObject(hBmp);
    DeleteDC(hdcMem);
    ReleaseDC(NULL, hdcScreen);
    BITMAPFILEHEADER file;
    std::memset(&file, 0, sizeof(file));
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string out(reinterpret_cast<const char *>(&file), sizeof(file));
    out.append(reinterpret_cast<const char *>(&header), sizeof(header));
    out += pixels;
    return lines == h && WriteText(path, out);
}

void PostKey(UINT vk) {
    PostMessageA(g_hwndDemo, WM_KEYDOWN, vk, 0);
    PostMessageA(g_hwndDemo, WM_KEYUP, vk, 0xC0000000);
}

void OpenMenu(const std::string &which) {
    if (which == "context") {
        POINT pt = {kContextX, kContextY};
        ClientToScreen(g_hwndDemo, &pt);
        PostMessageA(g_hwndDemo, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(g_hwndDemo), MAKELPARAM(pt.x, pt.y));
    } else {
        WPARAM key = which == "system" ? ' ' : static_cast<WPARAM>(which.empty() ? 'f' : which[0]);
        PostMessageA(g_hwndDemo, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(key));
    }
}

void CALLBACK DemoTimerProc(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    if (id == kTimerOpen) {
        OpenMenu(g_options.open);
    } else if (id == kTimerKeys) {
        for (int i = 0; i < g_options.down; ++i) {
            PostKey(VK_DOWN);
        }
        if (g_options.bRight) {
            PostKey(VK_RIGHT);
        }
    } else if (id == kTimerShot) {
        WriteScreenBmp(g_options.shotPath);
        EndMenu();
        DestroyWindow(g_hwndDemo);
    }
}
static_assert(std::is_same<decltype(&DemoTimerProc), TIMERPROC>::value, "timer procedure type");

BOOL CALLBACK CountMenuWindow(HWND hwnd, LPARAM lParam) {
    long *pCounts = reinterpret_cast<long *>(lParam);
    char szClass[16] = {};
    GetClassNameA(hwnd, szClass, sizeof(szClass));
    if (std::strcmp(szClass, "#32768") != 0 || !IsWindowVisible(hwnd)) {
        return TRUE;
    }
    ++pCounts[0];
    BYTE alpha = 0;
    DWORD dwFlags = 0;
    if ((GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
        GetLayeredWindowAttributes(hwnd, NULL, &alpha, &dwFlags)) {
        ++pCounts[1];
        pCounts[2] = alpha;
    }
    return TRUE;
}

BOOL SystemFlag(UINT uiAction) {
    BOOL bOn = FALSE;
    SystemParametersInfoA(uiAction, 0, &bOn, 0);
    return bOn;
}

void CALLBACK ProbeTimerProc(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    long counts[3] = {0, 0, -1};
    EnumThreadWindows(GetCurrentThreadId(), CountMenuWindow, reinterpret_cast<LPARAM>(counts));
    Report("menu_windows", counts[0]);
    Report("menu_layered", counts[1]);
    Report("menu_alpha", counts[2]);
    Report("fade_open", SystemFlag(SPI_GETMENUFADE));
    Report("animation_open", SystemFlag(SPI_GETMENUANIMATION));
    EndMenu();
}

void ReportLayer(const char *pszName, HWND hwnd) {
    BYTE alpha = 0;
    DWORD dwFlags = 0;
    bool bLayered = (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    std::string key = pszName;
    Report((key + "_layered").c_str(), bLayered);
    Report((key + "_alpha").c_str(), bLayered && GetLayeredWindowAttributes(hwnd, NULL, &alpha, &dwFlags) ? alpha : -1);
}

int CountIds(HMENU hMenu, const UINT *pIds, int n) {
    int found = 0;
    for (int pos = 0; pos < GetMenuItemCount(hMenu); ++pos) {
        UINT id = GetMenuItemID(hMenu, pos);
        for (int i = 0; i < n; ++i) {
            found += id == pIds[i] ? 1 : 0;
        }
    }
    return found;
}

// A system-menu loop as the system sends it: the Restore, Close and Minimize identifiers while it is open and after.
void ProbeSystemIds() {
    const UINT plain[] = {SC_RESTORE, SC_CLOSE, SC_MINIMIZE};
    const UINT shifted[] = {SC_RESTORE + 1, SC_CLOSE + 1, SC_MINIMIZE + 1};
    HMENU hSys = GetSystemMenu(g_hwndDemo, FALSE);
    SendMessageA(g_hwndDemo, WM_ENTERMENULOOP, FALSE, 0);
    SendMessageA(g_hwndDemo, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hSys), MAKELPARAM(0, TRUE));
    Report("sys_shifted_open", CountIds(hSys, shifted, 3));
    SendMessageA(g_hwndDemo, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(hSys), MAKELPARAM(0, TRUE));
    SendMessageA(g_hwndDemo, WM_EXITMENULOOP, FALSE, 0);
    Report("sys_plain_after", CountIds(hSys, plain, 3));
}

void SetSystemFlag(UINT uiAction, BOOL bOn) {
    SystemParametersInfoA(uiAction, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(bOn)), 0);
}

// Transparency as this Windows version allows it: the window, its child and an open skinned popup menu.
void RunProbe() {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExA(&info);
    Report("major", info.dwMajorVersion);
    Report("minor", info.dwMinorVersion);
    Report("shell", IsShellType());
    Report("nonwindow_result", SetWindowTransparent(NULL, 128));
    Report("window_result", SetWindowTransparent(g_hwndDemo, 0x1FF));
    ReportLayer("main", g_hwndDemo);
    ReportLayer("child", GetDlgItem(g_hwndDemo, IDC_DEMO_BUTTON));
    SetWindowTransparent(g_hwndDemo, 128);
    ReportLayer("main128", g_hwndDemo);
    ProbeSystemIds();

    BOOL bFade = SystemFlag(SPI_GETMENUFADE);
    BOOL bAnimation = SystemFlag(SPI_GETMENUANIMATION);
    SetSystemFlag(SPI_SETMENUFADE, TRUE);
    SetSystemFlag(SPI_SETMENUANIMATION, TRUE);
    SetTransparentMenu(180);
    SetTimer(g_hwndDemo, kTimerProbe, kOpenDelay, ProbeTimerProc);
    TrackPopupMenu(g_menus.hContext, TPM_LEFTALIGN | TPM_TOPALIGN, kContextX, kContextY, 0, g_hwndDemo, NULL);
    Report("fade_after", SystemFlag(SPI_GETMENUFADE));
    Report("animation_after", SystemFlag(SPI_GETMENUANIMATION));
    SetSystemFlag(SPI_SETMENUFADE, bFade);
    SetSystemFlag(SPI_SETMENUANIMATION, bAnimation);
    SetTransparentMenu(0);
    WriteText(g_options.reportPath, g_szReport);
}

} // namespace

int main(int argc, char **argv) {
    g_options = ParseOptions(argc, argv);
    SetStyleMenu(g_options.dwLook);
    SetTransparentMenu(static_cast<DWORD>(g_options.alpha));
    g_menus = BuildDemoMenus();
    g_hwndDemo = CreateDemoWindow(g_menus, kWindowX, kWindowY);
    RedrawWindowMenu(g_hwndDemo);
    UpdateWindow(g_hwndDemo);
    if (!g_options.reportPath.empty()) {
        RunProbe();
        DestroyWindow(g_hwndDemo);
    } else if (!g_options.shotPath.empty()) {
        SetTimer(g_hwndDemo, kTimerOpen, kOpenDelay, DemoTimerProc);
        SetTimer(g_hwndDemo, kTimerKeys, kKeysDelay, DemoTimerProc);
        SetTimer(g_hwndDemo, kTimerShot, kShotDelay, DemoTimerProc);
    }
    MSG msg;
    while (IsWindow(g_hwndDemo) && GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    FreeDemoMenus(&g_menus);
    return 0;
}
