// Lustrekit delayed tooltips of skinned buttons: shown 2 s after hovering began, hidden 8 s later.
#define LUSTREKIT_BUILDING
#include "button_skin.h"

#include <commctrl.h>

#include <cstddef>
#include <type_traits>

namespace {

constexpr UINT kShowDelayMs = 2000;
constexpr UINT kHideDelayMs = 8000;
constexpr int kMaxTipWidth = 220; // pixels; longer texts wrap
constexpr int kTipOffsetX = 10;   // from the cursor
constexpr int kTipOffsetY = 20;
constexpr DWORD kTipStyle = WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP;
constexpr UINT kToolFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;

// TOOLINFOA as every common controls version takes it: without the trailing lpReserved of newer headers.
struct ToolInfoV2 {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;
    UINT_PTR uId;
    RECT rect;
    HINSTANCE hinst;
    LPSTR lpszText;
    LPARAM lParam;
};
static_assert(offsetof(ToolInfoV2, lParam) == offsetof(TTTOOLINFOA, lParam), "ToolInfoV2 must lay out as TOOLINFOA");
#ifndef _WIN64
static_assert(sizeof(ToolInfoV2) == 44, "TOOLINFOA of common controls 4.7 and later is 44 bytes on Win32");
#endif
static_assert(std::is_same<decltype(&TipShowTimerProc), TIMERPROC>::value, "timer callback type");
static_assert(std::is_same<decltype(&TipHideTimerProc), TIMERPROC>::value, "timer callback type");

ToolInfoV2 ToolFor(HWND hwndButton, HWND hwndTip) {
    ToolInfoV2 ti = {};
    ti.cbSize = sizeof(ti);
    ti.uFlags = kToolFlags;
    ti.hwnd = hwndButton;
    ti.uId = reinterpret_cast<UINT_PTR>(hwndTip);
    ti.hinst = g_hModuleInstance;
    return ti;
}

void StartTipTimer(HWND hwndButton, UINT delayMs, TIMERPROC pfnProc) {
    g_pfnTipTimerProc = pfnProc;
    g_uTipTimer = SetTimer(hwndButton, kTipTimerId, delayMs, pfnProc);
}

// The tooltip class lives in the common controls; a host that never initialised them still gets its tip.
void EnsureTooltipClass() {
    static bool s_bDone = false;
    if (!s_bDone) {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        s_bDone = true;
    }
}

// The pending tooltip timer of the hot button; a stray WM_TIMER to another button must not end its tip.
bool IsTipTimer(HWND hwnd, UINT uMsg, UINT_PTR idEvent) {
    return uMsg == WM_TIMER && g_uTipTimer != 0 && idEvent == g_uTipTimer && hwnd == g_hwndHoverButton;
}

} // namespace

void StartTipWait(HWND hwndButton) {
    StartTipTimer(hwndButton, kShowDelayMs, TipShowTimerProc);
}

void HideTip(HWND hwndButton) {
    if (g_hwndTip != NULL) {
        ToolInfoV2 ti = ToolFor(hwndButton, g_hwndTip);
        SendMessageA(g_hwndTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
        DestroyWindow(g_hwndTip);
        g_hwndTip = NULL;
    }
    if (g_uTipTimer != 0) {
        KillTimer(hwndButton, g_uTipTimer);
        g_uTipTimer = 0;
        g_pfnTipTimerProc = NULL;
    }
}

void CALLBACK TipShowTimerProc(HWND hwnd, UINT uMsg, UINT_PTR idEvent, DWORD) {
    if (!IsTipTimer(hwnd, uMsg, idEvent)) {
        return;
    }
    HideTip(hwnd); // kills the wait timer, and a tip left from before
    const CTRL_STRUCT *pCtrl = GetCtrlStruct(hwnd);
    if (pCtrl == NULL || pCtrl->skin.pszTip == NULL) {
        return;
    }
    EnsureTooltipClass();
    DWORD dwStyle = kTipStyle | ((pCtrl->skin.dwFlags & BSK_BALLOONTIP) ? TTS_BALLOON : 0);
    g_hwndTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL, dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, hwnd, NULL, g_hModuleInstance, NULL);
    if (g_hwndTip == NULL) {
        return;
    }
    SetWindowPos(g_hwndTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ToolInfoV2 ti = ToolFor(hwnd, g_hwndTip);
    ti.lpszText = const_cast<LPSTR>(pCtrl->skin.pszTip);
    SendMessageA(g_hwndTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageA(g_hwndTip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
    POINT pt;
    GetCursorPos(&pt);
    SendMessageA(g_hwndTip, TTM_TRACKPOSITION, 0, MAKELPARAM(pt.x + kTipOffsetX, pt.y + kTipOffsetY));
    SendMessageA(g_hwndTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    StartTipTimer(hwnd, kHideDelayMs, TipHideTimerProc);
}

void CALLBACK TipHideTimerProc(HWND hwnd, UINT uMsg, UINT_PTR idEvent, DWORD) {
    if (IsTipTimer(hwnd, uMsg, idEvent)) {
        HideTip(hwnd);
    }
}

void RunTipTimer(HWND hwndButton, UINT_PTR idEvent) {
    if (g_pfnTipTimerProc != NULL && idEvent == g_uTipTimer) {
        g_pfnTipTimerProc(hwndButton, WM_TIMER, idEvent, GetTickCount());
    }
}
