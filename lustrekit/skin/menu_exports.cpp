// Lustrekit skinned-menu exports: the look settings, subclassing a window, item icons and the side bar.
#define LUSTREKIT_BUILDING
#include "lustrekit.h"

#include <commctrl.h>

#include <type_traits>

#include "lk_fill_math.h"
#include "menu_draw.h"
#include "menu_proc.h"
#include "menu_state.h"

namespace {

constexpr DWORD kLowByte = 0xFF;

// The callback travels in the separator's item data and comes back out as the drawer's callback.
static_assert(sizeof(SIDEBARPROC) <= sizeof(decltype(MENUITEMINFOA::dwItemData)), "a side bar fits the item data");
static_assert(std::is_same<decltype(MenuItemDraw::pfnSideBar), SIDEBARPROC>::value, "side-bar slot type");
static_assert(std::is_same<decltype(SideBarOf(0)), SIDEBARPROC>::value, "side-bar slot type");
constexpr char kOldMenuProcProp[] = "OLD_WND_PROC_MENU";

// Type, data and identifier of the item at a position; false when there is none.
bool ItemAt(HMENU hMenu, UINT pos, MENUITEMINFOA *pmii) {
    *pmii = MenuItemInfo(MIIM_FTYPE | MIIM_DATA | MIIM_ID);
    return GetMenuItemInfoA(hMenu, pos, TRUE, pmii) != FALSE;
}

BOOL SetItemType(HMENU hMenu, UINT pos, UINT fType) {
    MENUITEMINFOA mii = MenuItemInfo(MIIM_FTYPE);
    mii.fType = fType;
    return SetMenuItemInfoA(hMenu, pos, TRUE, &mii);
}

} // namespace

DWORD WINAPI SetStyleMenu(DWORD style) {
    DWORD dwPrevious = g_dwMenuStyle;
    g_dwMenuStyle = style;
    return dwPrevious;
}

DWORD WINAPI GetStyleMenu(void) {
    return g_dwMenuStyle;
}

int WINAPI SetDisableSelect(DWORD enable) {
    BYTE byPrevious = g_byDisableSelect;
    g_byDisableSelect = static_cast<BYTE>(enable & kLowByte);
    return byPrevious;
}

BOOL WINAPI RedrawWindowMenu(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return FALSE;
    }
    if (GetPropA(hwnd, kOldMenuProcProp) == NULL) {
        LONG_PTR oldProc = SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinMenuProc));
        SetPropA(hwnd, kOldMenuProcProp, reinterpret_cast<HANDLE>(oldProc));
    }
    GetSystemMenu(hwnd, FALSE);
    return TRUE;
}

BOOL WINAPI SetMenuItemIcon(HMENU menu, UINT id, HICON icon) {
    MENUITEMINFOA mii = MenuItemInfo(MIIM_DATA);
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(icon);
    return SetMenuItemInfoA(menu, id, FALSE, &mii);
}

int WINAPI SetMenuIcon(HMENU menu, HIMAGELIST images, int count, const DWORD *pairs) {
    if (pairs == NULL) {
        return 0;
    }
    int done = 0;
    for (int i = 0; i < count; ++i) {
        HICON hIcon = ImageList_GetIcon(images, static_cast<int>(pairs[2 * i + 1]), ILD_NORMAL);
        if (SetMenuItemIcon(menu, pairs[2 * i], hIcon)) {
            ++done;
        }
    }
    return done;
}

BOOL WINAPI AddLeftBorder(HMENU menu, SIDEBARPROC callback, DWORD barBreak) {
    if (!IsMenu(menu)) {
        return FALSE;
    }
    MENUITEMINFOA mii = MenuItemInfo(MIIM_FTYPE | MIIM_DATA | MIIM_ID);
    mii.fType = MFT_OWNERDRAW | MFT_SEPARATOR;
    mii.wID = static_cast<UINT>(NewMenuItemId(menu));
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(callback);
    BOOL bResult = InsertMenuItemA(menu, 0, TRUE, &mii);
    MENUITEMINFOA first;
    if (ItemAt(menu, 1, &first)) {
        UINT fBreak = (barBreak & kLowByte) != 0 ? MFT_MENUBARBREAK : MFT_MENUBREAK;
        bResult = SetItemType(menu, 1, first.fType | fBreak);
    }
    return bResult;
}

BOOL WINAPI RemoveLeftBorder(HMENU menu) {
    if (!IsMenu(menu)) {
        return FALSE;
    }
    MENUITEMINFOA bar;
    if (!ItemAt(menu, 0, &bar) || (bar.fType & MFT_SEPARATOR) == 0 || bar.dwItemData == 0) {
        return FALSE;
    }
    RemoveMenu(menu, 0, MF_BYPOSITION);
    MENUITEMINFOA first;
    if (!ItemAt(menu, 0, &first)) {
        return TRUE;
    }
    UINT fBreak = (first.fType & MFT_MENUBARBREAK) != 0 ? MFT_MENUBARBREAK : MFT_MENUBREAK;
    return SetItemType(menu, 0, first.fType & ~fBreak);
}
