// Test support for the skinned menus: a skinned window whose menu loop the test drives by messages, and
// the item records the owner-draw path is asked with.
#pragma once

#include <windows.h>

#include <cstring>

#include "lk_menu_fixture.h"

// The demo window, skinned, with its menus; destroyed with them.
class SkinnedDemo {
public:
    SkinnedDemo() : menus_(BuildDemoMenus()) {
        hwnd_ = CreateDemoWindow(menus_, 0, 0);
        RedrawWindowMenu(hwnd_);
    }
    ~SkinnedDemo() {
        if (IsWindow(hwnd_)) {
            DestroyWindow(hwnd_);
        }
        FreeDemoMenus(&menus_);
        DrainQuit();
    }
    // The demo window posts WM_QUIT when it is destroyed; the test thread goes on running menu loops.
    static void DrainQuit() {
        MSG msg;
        while (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    SkinnedDemo(const SkinnedDemo &) = delete;
    SkinnedDemo &operator=(const SkinnedDemo &) = delete;

    HWND Hwnd() const { return hwnd_; }
    const DemoMenus &Menus() const { return menus_; }

    // What the system sends when a menu loop opens popup (as top popup) and closes it again.
    void EnterLoop(HMENU hPopup, bool bSystem = false) {
        SendMessageA(hwnd_, WM_ENTERMENULOOP, FALSE, 0);
        SendMessageA(hwnd_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), MAKELPARAM(0, bSystem ? 1 : 0));
    }
    void ExitLoop(HMENU hPopup, bool bSystem = false) {
        SendMessageA(hwnd_, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), MAKELPARAM(0, bSystem ? 1 : 0));
        SendMessageA(hwnd_, WM_EXITMENULOOP, FALSE, 0);
    }
    void Loop(HMENU hPopup) {
        EnterLoop(hPopup);
        ExitLoop(hPopup);
    }

    // WM_MEASUREITEM of an item of the current popup; false when the window did not fill in a size.
    bool Measure(UINT id, UINT *pWidth, UINT *pHeight) {
        MEASUREITEMSTRUCT mis;
        std::memset(&mis, 0, sizeof(mis));
        mis.CtlType = ODT_MENU;
        mis.itemID = id;
        LRESULT r = SendMessageA(hwnd_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        *pWidth = mis.itemWidth;
        *pHeight = mis.itemHeight;
        return r != 0;
    }

    // WM_DRAWITEM of an item of popup into hdc at rc.
    LRESULT Draw(HMENU hPopup, UINT id, UINT state, HDC hdc, const RECT &rc) {
        DRAWITEMSTRUCT dis;
        std::memset(&dis, 0, sizeof(dis));
        dis.CtlType = ODT_MENU;
        dis.itemID = id;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = reinterpret_cast<HWND>(hPopup);
        dis.hDC = hdc;
        dis.rcItem = rc;
        return SendMessageA(hwnd_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    }

private:
    DemoMenus menus_;
    HWND hwnd_ = NULL;
};

// Type, identifier, data and submenu of the item at a position.
inline MENUITEMINFOA ItemAt(HMENU hMenu, int pos) {
    MENUITEMINFOA mii;
    std::memset(&mii, 0, sizeof(mii));
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STATE;
    GetMenuItemInfoA(hMenu, static_cast<UINT>(pos), TRUE, &mii);
    return mii;
}

// Low word: icon column width; high word: accelerator offset.
inline DWORD MenuData(HMENU hMenu) {
    MENUINFO mi;
    std::memset(&mi, 0, sizeof(mi));
    mi.cbSize = sizeof(mi);
    mi.fMask = MIM_MENUDATA;
    GetMenuInfo(hMenu, &mi);
    return static_cast<DWORD>(mi.dwMenuData);
}
