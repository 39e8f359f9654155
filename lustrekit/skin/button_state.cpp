// Lustrekit process-wide state of skinned buttons, the record lookup and the end of a hover.
#define LUSTREKIT_BUILDING
#include "button_skin.h"

#include <commctrl.h>

const char g_szOldWndProcProp[] = "OLD_WND_PROC";
const char g_szCtrlStructProp[] = "CTRL_STRUCT";

HWND g_hwndHoverButton = NULL;
HCURSOR g_hSavedClassCursor = NULL;
HWND g_hwndMenuButton = NULL;
HWND g_hwndTip = NULL;
UINT_PTR g_uTipTimer = 0;
TIMERPROC g_pfnTipTimerProc = NULL;
HINSTANCE g_hModuleInstance = NULL;

#ifndef _WIN64
static_assert(sizeof(BUTTON_SKIN) == 64, "BUTTON_SKIN is sixteen 32-bit fields on Win32");
static_assert(sizeof(TRACKMOUSEEVENT) == 16, "TRACKMOUSEEVENT is 16 bytes on Win32");
#endif

CTRL_STRUCT *GetCtrlStruct(HWND hwndButton) {
    return static_cast<CTRL_STRUCT *>(GetPropA(hwndButton, g_szCtrlStructProp));
}

bool HotLookDiffers(const CTRL_STRUCT *pCtrl) {
    const BUTTON_SKIN &skin = pCtrl->skin;
    return skin.hIconHot != NULL || (skin.dwFlags & BSK_FLAT) != 0 || skin.crTextHot != 0 || skin.hFontHot != NULL ||
           skin.hBmpHot != NULL;
}

RECT ArrowPartOf(const RECT &rcWindow) {
    RECT arrow = rcWindow;
    arrow.left = rcWindow.right - BSK_ARROW_WIDTH;
    return arrow;
}

void TrackLeave(HWND hwndButton, DWORD dwFlags) {
    TRACKMOUSEEVENT tme = {sizeof(tme), dwFlags, hwndButton, HOVER_DEFAULT};
    TrackMouseEvent(&tme);
}

void EndHover(HWND hwndButton) {
    if (g_hSavedClassCursor != NULL) {
        SetClassLongPtrA(hwndButton, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(g_hSavedClassCursor));
        g_hSavedClassCursor = NULL;
    }
    g_hwndHoverButton = NULL;
    const CTRL_STRUCT *pCtrl = GetCtrlStruct(hwndButton);
    if (pCtrl != NULL && HotLookDiffers(pCtrl)) {
        InvalidateRect(hwndButton, NULL, FALSE);
    }
    TrackLeave(hwndButton, TME_CANCEL);
    HideTip(hwndButton);
}
