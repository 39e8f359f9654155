// Lustrekit skinned menus: converting and reverting popup trees, fresh item identifiers, system identifiers.
#define LUSTREKIT_BUILDING
#include "menu_proc.h"

#include "lk_fill_math.h"
#include "menu_state.h"
#include "transparency.h"

namespace {

// Enough draws to step past every identifier a real menu can hold; the sequence has period 2^32.
constexpr int kIdAttempts = 4096;

struct SysIdShift {
    UINT uiPlain;
    UINT uiShifted;
};
constexpr SysIdShift kSysIdShifts[] = {
    {SC_RESTORE, SC_RESTORE + 1}, {SC_CLOSE, SC_CLOSE + 1}, {SC_MINIMIZE, SC_MINIMIZE + 1}};

bool TreeHasId(HMENU hMenu, UINT id) {
    int n = GetMenuItemCount(hMenu);
    for (int pos = 0; pos < n; ++pos) {
        MENUITEMINFOA mii = MenuItemInfo(MIIM_ID | MIIM_SUBMENU);
        if (!GetMenuItemInfoA(hMenu, pos, TRUE, &mii)) {
            continue;
        }
        if (mii.wID == id || (mii.hSubMenu != NULL && TreeHasId(mii.hSubMenu, id))) {
            return true;
        }
    }
    return false;
}

void ConvertItems(HMENU hRoot, HMENU hMenu) {
    int n = GetMenuItemCount(hMenu);
    for (int pos = 0; pos < n; ++pos) {
        MENUITEMINFOA mii = MenuItemInfo(MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU);
        if (!GetMenuItemInfoA(hMenu, pos, TRUE, &mii)) {
            continue;
        }
        MENUITEMINFOA change = MenuItemInfo(0);
        if ((mii.fType & MFT_OWNERDRAW) == 0) {
            change.fMask |= MIIM_FTYPE;
            change.fType = mii.fType | MFT_OWNERDRAW;
        }
        if (mii.wID == 0) {
            change.fMask |= MIIM_ID;
            change.wID = static_cast<UINT>(NewMenuItemId(hRoot));
        }
        if (change.fMask != 0) {
            SetMenuItemInfoA(hMenu, pos, TRUE, &change);
        }
        if (mii.hSubMenu != NULL) {
            ConvertItems(hRoot, mii.hSubMenu);
        }
    }
}

} // namespace

int NewMenuItemId(HMENU hRoot) {
    int id = 0;
    for (int i = 0; i < kIdAttempts; ++i) {
        id = lk::NextRandom();
        if (id != 0 && !TreeHasId(hRoot, static_cast<UINT>(id))) {
            break;
        }
    }
    return id;
}

void ConvertPopupTree(HMENU hRoot) {
    ConvertItems(hRoot, hRoot);
}

void RevertPopupTree(HMENU hMenu) {
    int n = GetMenuItemCount(hMenu);
    for (int pos = 0; pos < n; ++pos) {
        MENUITEMINFOA mii = MenuItemInfo(MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU);
        if (!GetMenuItemInfoA(hMenu, pos, TRUE, &mii)) {
            continue;
        }
        bool bSideBar = (mii.fType & MFT_SEPARATOR) != 0 && mii.dwItemData != 0;
        bool bOwnerDraw = (mii.fType & MFT_OWNERDRAW) != 0;
        if (bSideBar != bOwnerDraw) {
            MENUITEMINFOA change = MenuItemInfo(MIIM_FTYPE);
            change.fType = bSideBar ? (mii.fType | MFT_OWNERDRAW) : (mii.fType & ~MFT_OWNERDRAW);
            SetMenuItemInfoA(hMenu, pos, TRUE, &change);
        }
        if (mii.hSubMenu != NULL) {
            RevertPopupTree(mii.hSubMenu);
        }
    }
}

void ShiftSystemIds(HMENU hMenu, bool bIn) {
    if (IsShellType() != kShellXp) {
        return;
    }
    int n = GetMenuItemCount(hMenu);
    for (int pos = 0; pos < n; ++pos) {
        MENUITEMINFOA mii = MenuItemInfo(MIIM_ID);
        if (!GetMenuItemInfoA(hMenu, pos, TRUE, &mii)) {
            continue;
        }
        for (const SysIdShift &s : kSysIdShifts) {
            if (mii.wID == (bIn ? s.uiPlain : s.uiShifted)) {
                mii.wID = bIn ? s.uiShifted : s.uiPlain;
                SetMenuItemInfoA(hMenu, pos, TRUE, &mii);
                break;
            }
        }
    }
}
