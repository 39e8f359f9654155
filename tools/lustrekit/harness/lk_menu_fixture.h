// The skinned-menu demo window and its menus, shared by the demo program and the menu tests.
#pragma once

#include <windows.h>

#include "lustrekit.h"
#include "lk_menu_resource.h"

constexpr int kDemoIconSize = 16;
constexpr LONG kDemoSideBarWidth = 22;

// Every menu of the demo window; the icons belong to the fixture.
struct DemoMenus {
    HMENU hBar = NULL;
    HMENU hFile = NULL;
    HMENU hRecent = NULL;
    HMENU hView = NULL;
    HMENU hHelp = NULL;
    HMENU hContext = NULL; // tracked on a right click
    HICON hIconNew = NULL;
    HICON hIconOpen = NULL;
    HICON hIconSave = NULL;
    HICON hIconStatus = NULL;
    HICON hIconCut = NULL;
    HICON hIconCopy = NULL;
    HICON hIconPaste = NULL;
};

// Side bars painted so far and the last rectangle, for the tests.
extern int g_nSideBarPaints;
extern RECT g_rcLastSideBar;
constexpr COLORREF kSideBarTop = RGB(20, 40, 140);
constexpr COLORREF kSideBarBottom = RGB(90, 160, 250);

// The side bar of the demo's Help and context menus: a blue gradient kDemoSideBarWidth wide.
LONG CALLBACK DemoSideBar(HMENU hMenu, HDC hdc, RECT *prc);

// A 16 x 16 colour icon: a filled disc (round) or square of the colour on a transparent ground.
HICON MakeDemoIcon(COLORREF colour, bool bRound);

// File, View (checks, radio items, a default and a disabled item), Help with a side bar, and a context menu
// with icons and a side bar.
DemoMenus BuildDemoMenus();
// Destroys the menus that no window owns (the context menu) and the icons.
void FreeDemoMenus(DemoMenus *pMenus);

// A top-level window with the menu bar and a push button child; not yet skinned. Right clicks track the
// context menu.
HWND CreateDemoWindow(const DemoMenus &menus, int x, int y);
