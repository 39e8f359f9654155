// Lustrekit subclass procedures of skinned buttons and their parents: hover, emulated check boxes and radio
// buttons, the drop-down menu part, and routing WM_DRAWITEM to the painter.
#define LUSTREKIT_BUILDING
#include "button_skin.h"

#include <mmsystem.h>

#include <type_traits>

namespace {

constexpr DWORD kPlaySoundFlags = SND_MEMORY | SND_NOSTOP | SND_NOWAIT; // synchronous, never interrupting

static_assert(std::is_same<decltype(&SkinButtonProc), WNDPROC>::value, "window procedure type");
static_assert(std::is_same<decltype(&SkinParentProc), WNDPROC>::value, "window procedure type");

LRESULT PassOn(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    WNDPROC pfnOld = reinterpret_cast<WNDPROC>(GetPropA(hwnd, g_szOldWndProcProp));
    if (pfnOld == NULL) {
        return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    }
    return CallWindowProcA(pfnOld, hwnd, uMsg, wParam, lParam);
}

// The last message a window gets: the previous procedure goes back, the property goes away.
LRESULT Unsubclass(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam, WNDPROC pfnOurs) {
    WNDPROC pfnOld = reinterpret_cast<WNDPROC>(RemovePropA(hwnd, g_szOldWndProcProp));
    if (pfnOld == NULL) {
        return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    }
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == pfnOurs) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnOld));
    }
    return CallWindowProcA(pfnOld, hwnd, uMsg, wParam, lParam);
}

void BeginHover(HWND hwnd, const CTRL_STRUCT *pCtrl) {
    // A button that holds the capture is between its press and release: releasing it here (the release of a
    // click that came before the previous button's leave) would swallow the click.
    if (GetCapture() != hwnd) {
        ReleaseCapture();
    }
    if (pCtrl->skin.hCursor != NULL) {
        g_hSavedClassCursor = reinterpret_cast<HCURSOR>(
            SetClassLongPtrA(hwnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(pCtrl->skin.hCursor)));
    }
    g_hwndHoverButton = hwnd;
    if (HotLookDiffers(pCtrl)) {
        InvalidateRect(hwnd, NULL, FALSE);
    }
    if (pCtrl->skin.pSound != NULL) {
        PlaySoundA(static_cast<LPCSTR>(pCtrl->skin.pSound), NULL, kPlaySoundFlags);
    }
    TrackLeave(hwnd, TME_LEAVE);
    if (pCtrl->skin.pszTip != NULL) {
        StartTipWait(hwnd);
    }
}

// Clears every other control of the radio button's group, once around. A disabled or hidden button is not in
// its own group walk, so the walk also stops where it began.
void ClearRadioGroup(HWND hwnd) {
    HWND hwndParent = GetParent(hwnd);
    HWND hwndFirst = NULL;
    for (HWND hwndNext = GetNextDlgGroupItem(hwndParent, hwnd, FALSE); hwndNext != NULL && hwndNext != hwnd;
         hwndNext = GetNextDlgGroupItem(hwndParent, hwndNext, FALSE)) {
        if (hwndNext == hwndFirst) {
            break;
        }
        if (hwndFirst == NULL) {
            hwndFirst = hwndNext;
        }
        SendMessageA(hwndNext, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void SetCheck(HWND hwnd, CTRL_STRUCT *pCtrl, WPARAM wParam) {
    if (pCtrl->type != 0) {
        if (wParam == BST_CHECKED) {
            if (pCtrl->type == BS_AUTORADIOBUTTON) {
                ClearRadioGroup(hwnd);
            }
            pCtrl->checkState = 1;
        } else {
            pCtrl->checkState = 0;
        }
    }
    InvalidateRect(hwnd, NULL, TRUE);
}

void ApplyToggleRule(HWND hwnd, const CTRL_STRUCT *pCtrl) {
    if (pCtrl->type == BS_AUTOCHECKBOX) {
        SendMessageA(hwnd, BM_SETCHECK, pCtrl->checkState == 1 ? BST_UNCHECKED : BST_CHECKED, 0);
    } else if (pCtrl->type == BS_AUTORADIOBUTTON || pCtrl->type == BS_RADIOBUTTON) {
        SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
    }
}

// The window rectangle (screen coordinates) without the arrow part when the button has a menu.
RECT MainPartOf(HWND hwnd, const CTRL_STRUCT *pCtrl) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    if (IsMenu(pCtrl->skin.hMenu)) {
        rc.right -= BSK_ARROW_WIDTH;
    }
    return rc;
}

void OnButtonUp(HWND hwnd, const CTRL_STRUCT *pCtrl) {
    if (g_hwndHoverButton == hwnd) {
        POINT pt;
        GetCursorPos(&pt);
        RECT rc = MainPartOf(hwnd, pCtrl);
        if (PtInRect(&rc, pt)) {
            ApplyToggleRule(hwnd, pCtrl);
        }
    } else {
        SendMessageA(hwnd, WM_MOUSEMOVE, 0, 0);
    }
}

POINT MenuOrigin(const RECT &rc, DWORD dwFlags) {
    if (dwFlags & BSK_MENUBELOWARROW) {
        return {rc.right - BSK_ARROW_WIDTH, rc.bottom};
    }
    if (dwFlags & BSK_MENURIGHT) {
        return {rc.right, rc.top};
    }
    return {rc.left, rc.bottom};
}

// Press on a button with a menu: open it from the arrow part, or swallow the press that follows a menu.
// Returns false when the press is an ordinary click to pass on.
bool OnMenuPress(HWND hwnd, const CTRL_STRUCT *pCtrl) {
    POINT pt;
    GetCursorPos(&pt);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    RECT arrow = ArrowPartOf(rc);
    if (PtInRect(&arrow, pt) && g_hwndMenuButton == NULL) {
        g_hwndMenuButton = hwnd;
        if (GetFocus() != hwnd) {
            SetFocus(hwnd);
        }
        POINT origin = MenuOrigin(rc, pCtrl->skin.dwFlags);
        TrackPopupMenu(pCtrl->skin.hMenu, 0, origin.x, origin.y, 0, GetParent(hwnd), NULL);
        // pCtrl may be gone now (a command can unskin or destroy the button). Capture only to swallow the
        // press of a menu closed over the arrow: after any other close the next click belongs elsewhere.
        if (IsWindow(hwnd)) {
            if (g_hwndMenuButton == kMenuClosedOverArrow) {
                SetCapture(hwnd);
            }
            InvalidateRect(hwnd, NULL, TRUE);
        }
        return true;
    }
    if (g_hwndMenuButton != NULL) {
        ReleaseCapture();
        g_hwndMenuButton = NULL;
        InvalidateRect(hwnd, NULL, TRUE);
        return true;
    }
    return false;
}

void OnButtonDestroy(HWND hwnd) {
    TrackLeave(hwnd, TME_CANCEL);
    if (g_hwndHoverButton == hwnd) {
        EndHover(hwnd);
    }
    if (g_hwndMenuButton == hwnd) {
        g_hwndMenuButton = NULL;
    }
    CTRL_STRUCT *pCtrl = static_cast<CTRL_STRUCT *>(RemovePropA(hwnd, g_szCtrlStructProp));
    if (pCtrl != NULL) {
        GlobalFree(pCtrl);
    }
}

void OnExitMenuLoop() {
    if (g_hwndMenuButton == NULL || g_hwndMenuButton == kMenuClosedOverArrow || !IsWindow(g_hwndMenuButton)) {
        return; // another menu of the window, or a button already gone
    }
    ReleaseCapture();
    InvalidateRect(g_hwndMenuButton, NULL, TRUE);
    POINT pt;
    GetCursorPos(&pt);
    RECT rc;
    GetWindowRect(g_hwndMenuButton, &rc);
    RECT arrow = ArrowPartOf(rc);
    g_hwndMenuButton = PtInRect(&arrow, pt) ? kMenuClosedOverArrow : NULL;
}

} // namespace

LRESULT CALLBACK SkinButtonProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    CTRL_STRUCT *pCtrl = GetCtrlStruct(hwnd);
    switch (uMsg) {
    case WM_MOUSEMOVE:
        if (pCtrl != NULL && g_hwndHoverButton == NULL) {
            BeginHover(hwnd, pCtrl);
        }
        break;
    case WM_MOUSELEAVE:
        // Only the hot button's own leave ends the hover: a late leave of another must not drop it.
        if (pCtrl != NULL && g_hwndHoverButton == hwnd) {
            EndHover(hwnd);
        }
        break;
    case WM_LBUTTONDBLCLK:
        SendMessageA(hwnd, WM_LBUTTONDOWN, wParam, lParam);
        break;
    case WM_LBUTTONDOWN:
        if (pCtrl != NULL && IsMenu(pCtrl->skin.hMenu) && OnMenuPress(hwnd, pCtrl)) {
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (pCtrl != NULL) {
            OnButtonUp(hwnd, pCtrl);
        }
        break;
    case WM_KEYUP:
        if (pCtrl != NULL && wParam == VK_SPACE) {
            ApplyToggleRule(hwnd, pCtrl);
        }
        break;
    case BM_SETCHECK:
        if (pCtrl != NULL) {
            SetCheck(hwnd, pCtrl, wParam);
        }
        break;
    case BM_GETCHECK:
        if (pCtrl != NULL) {
            return pCtrl->checkState;
        }
        break;
    case WM_ERASEBKGND:
        return 1; // the painter covers every pixel, off screen
    case WM_TIMER:
        RunTipTimer(hwnd, wParam);
        break;
    case WM_DESTROY:
        OnButtonDestroy(hwnd);
        break;
    case WM_NCDESTROY:
        return Unsubclass(hwnd, uMsg, wParam, lParam, SkinButtonProc);
    }
    return PassOn(hwnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK SkinParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_DRAWITEM: {
        LRESULT result = PassOn(hwnd, uMsg, wParam, lParam);
        const DRAWITEMSTRUCT *pDis = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (pDis == NULL || pDis->CtlType != ODT_BUTTON) {
            return result;
        }
        const CTRL_STRUCT *pCtrl = GetCtrlStruct(pDis->hwndItem);
        if (pCtrl == NULL) {
            return 0;
        }
        PaintSkinButton(pDis, pCtrl);
        return 1;
    }
    case WM_EXITMENULOOP:
        OnExitMenuLoop();
        break;
    case WM_NCDESTROY:
        return Unsubclass(hwnd, uMsg, wParam, lParam, SkinParentProc);
    }
    return PassOn(hwnd, uMsg, wParam, lParam);
}
