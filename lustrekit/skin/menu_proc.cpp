// Lustrekit skinned-menu window procedure: follows the menu loop, converts popups, measures and draws items.
#define LUSTREKIT_BUILDING
#include "menu_proc.h"

#include <type_traits>

#include "menu_draw.h"
#include "menu_measure.h"
#include "menu_state.h"
#include "transparency.h"

static_assert(std::is_same<decltype(&SkinMenuProc), WNDPROC>::value, "window procedure type");

namespace {

constexpr char kOldMenuProcProp[] = "OLD_WND_PROC_MENU";

LRESULT PassOn(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC pfnOld = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOldMenuProcProp));
    if (pfnOld == NULL) {
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    return CallWindowProcA(pfnOld, hwnd, msg, wParam, lParam);
}

void OnInitMenuPopup(HMENU hPopup, bool bSystemMenu) {
    g_hCurrentPopup = hPopup;
    if (g_hTopPopup != NULL || g_byOutsideMenuLoop != 0) {
        return;
    }
    g_hTopPopup = hPopup;
    if (MenuAlpha() != 0) {
        BeginMenuTransparency();
    }
    if (IsSkinnedLook(g_dwMenuStyle)) {
        ConvertPopupTree(hPopup);
    } else if (g_dwMenuStyle == kMenuStyleSystem) {
        RevertPopupTree(hPopup);
    }
    if (bSystemMenu) {
        ShiftSystemIds(hPopup, true);
    }
}

void OnUninitMenuPopup(HMENU hPopup, bool bSystemMenu) {
    g_hCurrentPopup = NULL;
    if (hPopup != g_hTopPopup || g_byOutsideMenuLoop != 0) {
        return;
    }
    // Ended even when the alpha was set to 0 while the menu was open: the saved settings must come back.
    EndMenuTransparency();
    g_hTopPopup = NULL;
    if (bSystemMenu) {
        ShiftSystemIds(hPopup, false);
    }
}

// The window goes while its menu loop is open: no uninitialise will come, so the loop ends here.
void OnDestroy(HWND hwnd) {
    RemoveMenuHook();
    if (hwnd == g_hMenuLoopWindow) {
        g_hTopPopup = NULL;
        g_hCurrentPopup = NULL;
        g_byOutsideMenuLoop = 1;
        g_hMenuLoopWindow = NULL;
    }
}

// Last message: the previous procedure goes back and the property with it, so nothing of ours outlives the window.
LRESULT OnNcDestroy(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    WNDPROC pfnOld = reinterpret_cast<WNDPROC>(RemovePropA(hwnd, kOldMenuProcProp));
    if (pfnOld == NULL) {
        return DefWindowProcA(hwnd, WM_NCDESTROY, wParam, lParam);
    }
    if (GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SkinMenuProc)) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnOld));
    }
    return CallWindowProcA(pfnOld, hwnd, WM_NCDESTROY, wParam, lParam);
}

} // namespace

LRESULT CALLBACK SkinMenuProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0);
        break;
    case WM_UNINITMENUPOPUP:
        OnUninitMenuPopup(reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0);
        break;
    case WM_MEASUREITEM:
        // Items that are not ours (other owner-drawn menus) go to the window's own handling.
        if (wParam == 0 && IsMenu(g_hCurrentPopup) &&
            MeasureSkinMenuItem(reinterpret_cast<MEASUREITEMSTRUCT *>(lParam)) != 0) {
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (wParam == 0 && IsMenu(g_hTopPopup) && DrawSkinMenuItem(reinterpret_cast<DRAWITEMSTRUCT *>(lParam)) != 0) {
            return TRUE;
        }
        break;
    case WM_ENTERMENULOOP:
        g_byOutsideMenuLoop = 0;
        g_hMenuLoopWindow = hwnd;
        break;
    case WM_EXITMENULOOP:
        g_byOutsideMenuLoop = 1;
        g_hMenuLoopWindow = NULL;
        break;
    case WM_DESTROY:
        OnDestroy(hwnd);
        break;
    case WM_NCDESTROY:
        return OnNcDestroy(hwnd, wParam, lParam);
    default:
        break;
    }
    return PassOn(hwnd, msg, wParam, lParam);
}
