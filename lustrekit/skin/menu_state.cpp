// Lustrekit skinned-menu state and the small item helpers the menu files share.
#define LUSTREKIT_BUILDING
#include "menu_state.h"

#include "gdi_scoped.h"

#include <cstring>

#include "transparency.h"

#ifndef _WIN64
static_assert(sizeof(MENUITEMINFOA) == 48, "MENUITEMINFOA is 48 bytes on Win32");
#endif

DWORD g_dwMenuStyle = kMenuStyleClassic;
BYTE g_byDisableSelect = 1;
BYTE g_byOutsideMenuLoop = 1;
HMENU g_hTopPopup = NULL;
HMENU g_hCurrentPopup = NULL;
HWND g_hMenuLoopWindow = NULL;
int g_nSideBarDefaultWidth = kSideBarDefaultWidth;

bool IsSkinnedLook(DWORD dwStyle) {
    return dwStyle == kMenuStyleFlat || dwStyle == kMenuStyleClassic || dwStyle == kMenuStyleGradient;
}

SIDEBARPROC SideBarOf(ULONG_PTR data) {
    if (data == 0) {
        return NULL;
    }
    // A separator's item data may be the application's own value: only committed executable memory is called.
    MEMORY_BASIC_INFORMATION mbi;
    if (VirtualQuery(reinterpret_cast<LPCVOID>(data), &mbi, sizeof(mbi)) == 0 || mbi.State != MEM_COMMIT) {
        return NULL;
    }
    const DWORD dwExec = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if ((mbi.Protect & dwExec) == 0) {
        return NULL;
    }
    return reinterpret_cast<SIDEBARPROC>(data);
}

MENUITEMINFOA MenuItemInfo(UINT fMask) {
    MENUITEMINFOA mii;
    std::memset(&mii, 0, sizeof(mii));
    mii.cbSize = sizeof(mii);
    mii.fMask = fMask;
    return mii;
}

int MenuItemText(HMENU hMenu, UINT id, char *szText) {
    szText[0] = '\0';
    int n = GetMenuStringA(hMenu, id, szText, kMenuTextChars + 1, MF_BYCOMMAND);
    return n > 0 ? n : 0;
}

DWORD PopupMenuData(HMENU hMenu) {
    MENUINFO mi;
    std::memset(&mi, 0, sizeof(mi));
    mi.cbSize = sizeof(mi);
    mi.fMask = MIM_MENUDATA;
    if (!GetMenuInfo(hMenu, &mi)) {
        return 0;
    }
    return static_cast<DWORD>(mi.dwMenuData);
}

void SetPopupMenuData(HMENU hMenu, DWORD dwData) {
    MENUINFO mi;
    std::memset(&mi, 0, sizeof(mi));
    mi.cbSize = sizeof(mi);
    mi.fMask = MIM_MENUDATA;
    mi.dwMenuData = dwData;
    SetMenuInfo(hMenu, &mi);
}

bool IsIcon(HICON hIcon) {
    return lk::ScopedIconInfo(hIcon).valid();
}

bool IsNtMenuGeneration() {
    int shellType = IsShellType();
    return shellType == 0 || shellType >= kShellLayered;
}
