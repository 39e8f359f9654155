// Lustrekit window and menu transparency: the shell generation, layered windows and the popup-menu hook.
#define LUSTREKIT_BUILDING
#include "lustrekit.h"

#include <cstring>
#include <type_traits>

#include "transparency.h"

#ifndef _WIN64
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is 148 bytes on Win32");
#endif

namespace {

using SetLayeredFn = BOOL(WINAPI *)(HWND, COLORREF, BYTE, DWORD);
static_assert(std::is_same<SetLayeredFn, decltype(&SetLayeredWindowAttributes)>::value,
              "the looked-up SetLayeredWindowAttributes keeps the system's signature");

constexpr DWORD kLowByte = 0xFF;
constexpr char kPopupMenuClass[] = "#32768";
constexpr int kPopupMenuClassLength = 6;

// Filled for one SetWindowTransparent call and handed to every window of the enumeration.
struct LayerBlock {
    DWORD dwAlpha;           // only the low 8 bits count
    SetLayeredFn pfnSetAttr; // SetLayeredWindowAttributes of USER32
};

struct ShellVersion {
    DWORD dwMajor;
    DWORD dwMinor;
    BYTE byType;
};

constexpr ShellVersion kShellTable[] = {
    {3, 51, 1}, {4, 0, 3}, {4, 10, 4}, {4, 90, 5}, {5, 0, 6}, {5, 1, 7}, {5, 2, 8},
};

BYTE g_byShellTypeCache = 0;
BYTE g_byMenuAlpha = 0;
HHOOK g_hMenuHook = NULL;
BOOL g_bSavedMenuFade = FALSE;
BOOL g_bSavedMenuAnimation = FALSE;
// True from BeginMenuTransparency until the saved settings are put back.
bool g_bMenuTransparencyOpen = false;

BYTE LookUpShellType() {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) {
        return 0;
    }
    for (const ShellVersion &v : kShellTable) {
        if (v.dwMajor == info.dwMajorVersion && v.dwMinor == info.dwMinorVersion) {
            return v.byType;
        }
    }
    return 0;
}

void LayerWindow(HWND hwnd, const LayerBlock *pBlock) {
    LONG_PTR exStyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
    if ((exStyle & WS_EX_LAYERED) == 0) {
        SetWindowLongPtrA(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    }
    pBlock->pfnSetAttr(hwnd, 0, static_cast<BYTE>(pBlock->dwAlpha & kLowByte), LWA_ALPHA);
}

BOOL CALLBACK LayerChildProc(HWND hwnd, LPARAM lParam) {
    LayerWindow(hwnd, reinterpret_cast<const LayerBlock *>(lParam));
    return TRUE;
}
static_assert(std::is_same<decltype(&LayerChildProc), WNDENUMPROC>::value, "EnumChildWindows callback type");

LRESULT CALLBACK MenuAlphaHookProc(int nCode, WPARAM wParam, LPARAM lParam);
static_assert(std::is_same<decltype(&MenuAlphaHookProc), HOOKPROC>::value, "hook procedure type");

bool IsPopupMenuWindow(HWND hwnd) {
    char szClass[kPopupMenuClassLength + 1] = {};
    int n = GetClassNameA(hwnd, szClass, sizeof(szClass));
    return n == kPopupMenuClassLength && std::strcmp(szClass, kPopupMenuClass) == 0;
}

LRESULT CALLBACK MenuAlphaHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HC_ACTION) {
        const CWPSTRUCT *pMsg = reinterpret_cast<const CWPSTRUCT *>(lParam);
        bool bWatched =
            pMsg->message == WM_NCCREATE || pMsg->message == WM_WINDOWPOSCHANGED || pMsg->message == WM_SHOWWINDOW;
        if (bWatched && g_byMenuAlpha != 0 && IsPopupMenuWindow(pMsg->hwnd)) {
            SetWindowTransparent(pMsg->hwnd, g_byMenuAlpha);
        }
    }
    CallNextHookEx(g_hMenuHook, nCode, wParam, lParam);
    return 0;
}

void HookThreadMenus() {
    g_hMenuHook = SetWindowsHookExA(WH_CALLWNDPROC, MenuAlphaHookProc, NULL, GetCurrentThreadId());
}

void SetMenuEffect(UINT uiAction, BOOL bOn) {
    SystemParametersInfoA(uiAction, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(bOn)), SPIF_SENDCHANGE);
}

// Puts back what BeginMenuTransparency switched off, once.
void RestoreMenuEffects() {
    if (!g_bMenuTransparencyOpen) {
        return;
    }
    g_bMenuTransparencyOpen = false;
    if (g_bSavedMenuFade) {
        SetMenuEffect(SPI_SETMENUFADE, TRUE);
    }
    if (g_bSavedMenuAnimation) {
        SetMenuEffect(SPI_SETMENUANIMATION, TRUE);
    }
}

void UnhookMenus() {
    if (g_hMenuHook != NULL) {
        UnhookWindowsHookEx(g_hMenuHook);
        g_hMenuHook = NULL;
    }
}

} // namespace

int WINAPI IsShellType(void) {
    if (g_byShellTypeCache != 0) {
        return g_byShellTypeCache;
    }
    g_byShellTypeCache = LookUpShellType();
    return g_byShellTypeCache;
}

int WINAPI SetWindowTransparent(HWND hwnd, DWORD alpha) {
    if (!IsWindow(hwnd)) {
        return 0;
    }
    int shellType = IsShellType();
    if (shellType < kShellLayered) {
        return shellType;
    }
    HMODULE hUser = LoadLibraryA("USER32.dll");
    if (hUser == NULL) {
        return 0;
    }
    SetLayeredFn pfn = reinterpret_cast<SetLayeredFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(hUser, "SetLayeredWindowAttributes")));
    LayerBlock *pBlock = pfn != NULL ? static_cast<LayerBlock *>(GlobalAlloc(GPTR, sizeof(LayerBlock))) : NULL;
    if (pBlock != NULL) {
        pBlock->dwAlpha = alpha;
        pBlock->pfnSetAttr = pfn;
        LayerWindow(hwnd, pBlock);
        EnumChildWindows(hwnd, LayerChildProc, reinterpret_cast<LPARAM>(pBlock));
        GlobalFree(pBlock);
    }
    FreeLibrary(hUser);
    return 0;
}

int WINAPI SetTransparentMenu(DWORD alpha) {
    BYTE byPrevious = g_byMenuAlpha;
    g_byMenuAlpha = static_cast<BYTE>(alpha & kLowByte);
    return byPrevious;
}

BYTE MenuAlpha() {
    return g_byMenuAlpha;
}

void BeginMenuTransparency() {
    // A second begin without an end must not save the switched-off settings over the user's own.
    if (!g_bMenuTransparencyOpen) {
        g_bSavedMenuFade = FALSE;
        g_bSavedMenuAnimation = FALSE;
        SystemParametersInfoA(SPI_GETMENUFADE, 0, &g_bSavedMenuFade, 0);
        SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &g_bSavedMenuAnimation, 0);
        g_bMenuTransparencyOpen = true;
    }
    if (g_bSavedMenuFade) {
        SetMenuEffect(SPI_SETMENUFADE, FALSE);
    }
    if (g_bSavedMenuAnimation) {
        SetMenuEffect(SPI_SETMENUANIMATION, FALSE);
    }
    UnhookMenus();
    HookThreadMenus();
}

void EndMenuTransparency() {
    RestoreMenuEffects();
    UnhookMenus();
}

void RemoveMenuHook() {
    RestoreMenuEffects();
    UnhookMenus();
}

void InstallMenuHook() {
    if (IsShellType() >= kShellLayered && g_hMenuHook == NULL) {
        HookThreadMenus();
    }
}
