// The skinned-menu demo window: menus with icons, accelerators, checks, radio, default and disabled items.
#include "lk_menu_fixture.h"

#include <cstring>
#include <initializer_list>
#include <type_traits>

int g_nSideBarPaints = 0;
RECT g_rcLastSideBar = {0, 0, 0, 0};

namespace {

constexpr char kDemoClass[] = "LustrekitMenuDemo";
constexpr int kDemoWidth = 420;
constexpr int kDemoHeight = 300;

const DemoMenus *g_pDemoMenus = NULL;

void AddItem(HMENU hMenu, UINT id, const char *pszText, UINT fState = MFS_ENABLED, UINT fType = MFT_STRING) {
    MENUITEMINFOA mii;
    std::memset(&mii, 0, sizeof(mii));
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
    mii.wID = id;
    mii.fType = fType;
    mii.fState = fState;
    mii.dwTypeData = const_cast<char *>(pszText);
    InsertMenuItemA(hMenu, GetMenuItemCount(hMenu), TRUE, &mii);
}

void AddSeparator(HMENU hMenu) {
    AppendMenuA(hMenu, MF_SEPARATOR, 0, NULL);
}

void AddSubmenu(HMENU hMenu, HMENU hSub, const char *pszText) {
    AppendMenuA(hMenu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(hSub), pszText);
}

HMENU BuildFile(DemoMenus *m) {
    HMENU hFile = CreatePopupMenu();
    m->hRecent = CreatePopupMenu();
    AddItem(m->hRecent, IDM_FILE_RECENT1, "&1 song.mid");
    AddItem(m->hRecent, IDM_FILE_RECENT2, "&2 tune.kar");
    AddItem(hFile, IDM_FILE_NEW, "&New\tCtrl+N");
    AddItem(hFile, IDM_FILE_OPEN, "&Open...\tCtrl+O", MFS_DEFAULT);
    AddItem(hFile, IDM_FILE_SAVE, "&Save\tCtrl+S", MFS_GRAYED);
    AddSeparator(hFile);
    AddSubmenu(hFile, m->hRecent, "&Recent files");
    AddSeparator(hFile);
    AddItem(hFile, IDM_FILE_EXIT, "E&xit\tAlt+F4");
    SetMenuItemIcon(hFile, IDM_FILE_NEW, m->hIconNew);
    SetMenuItemIcon(hFile, IDM_FILE_OPEN, m->hIconOpen);
    SetMenuItemIcon(hFile, IDM_FILE_SAVE, m->hIconSave);
    return hFile;
}

HMENU BuildView(DemoMenus *m) {
    HMENU hView = CreatePopupMenu();
    AddItem(hView, IDM_VIEW_TOOLBAR, "&Toolbar", MFS_CHECKED);
    AddItem(hView, IDM_VIEW_STATUS, "&Status bar", MFS_CHECKED);
    AddSeparator(hView);
    AddItem(hView, IDM_VIEW_SMALL, "S&mall", MFS_ENABLED, MFT_RADIOCHECK);
    AddItem(hView, IDM_VIEW_MEDIUM, "M&edium", MFS_CHECKED, MFT_RADIOCHECK);
    AddItem(hView, IDM_VIEW_LARGE, "&Large", MFS_GRAYED | MFS_CHECKED, MFT_RADIOCHECK);
    AddSeparator(hView);
    AddItem(hView, IDM_VIEW_REFRESH, "&Refresh\tF5", MFS_DEFAULT);
    AddItem(hView, IDM_VIEW_LOCKED, "Loc&ked", MFS_GRAYED);
    SetMenuItemIcon(hView, IDM_VIEW_STATUS, m->hIconStatus);
    return hView;
}

HMENU BuildHelp() {
    HMENU hHelp = CreatePopupMenu();
    AddItem(hHelp, IDM_HELP_CONTENTS, "&Contents\tF1");
    AddItem(hHelp, IDM_HELP_ABOUT, "&About...");
    AddLeftBorder(hHelp, DemoSideBar, 1);
    return hHelp;
}

HMENU BuildContext(DemoMenus *m) {
    HMENU hContext = CreatePopupMenu();
    AddItem(hContext, IDM_EDIT_CUT, "Cu&t\tCtrl+X");
    AddItem(hContext, IDM_EDIT_COPY, "&Copy\tCtrl+C");
    AddItem(hContext, IDM_EDIT_PASTE, "&Paste\tCtrl+V", MFS_GRAYED);
    AddSeparator(hContext);
    AddItem(hContext, IDM_EDIT_DELETE, "&Delete\tDel");
    SetMenuItemIcon(hContext, IDM_EDIT_CUT, m->hIconCut);
    SetMenuItemIcon(hContext, IDM_EDIT_COPY, m->hIconCopy);
    SetMenuItemIcon(hContext, IDM_EDIT_PASTE, m->hIconPaste);
    AddLeftBorder(hContext, DemoSideBar, 0);
    return hContext;
}

LRESULT CALLBACK DemoWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CONTEXTMENU:
        if (g_pDemoMenus != NULL) {
            TrackPopupMenu(g_pDemoMenus->hContext, TPM_LEFTALIGN | TPM_TOPALIGN, LOWORD(lParam), HIWORD(lParam), 0,
                           hwnd, NULL);
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDM_FILE_EXIT) {
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace

LONG CALLBACK DemoSideBar(HMENU, HDC hdc, RECT *prc) {
    if (hdc == NULL || prc == NULL) {
        return kDemoSideBarWidth;
    }
    ++g_nSideBarPaints;
    g_rcLastSideBar = *prc;
    Gradient_Fill(hdc, prc, kSideBarTop, kSideBarBottom, 1);
    return 0;
}
static_assert(std::is_same<decltype(&DemoSideBar), SIDEBARPROC>::value, "side-bar callback type");

HICON MakeDemoIcon(COLORREF colour, bool bRound) {
    HDC hdcScreen = GetDC(NULL);
    HBITMAP hColour = CreateCompatibleBitmap(hdcScreen, kDemoIconSize, kDemoIconSize);
    ReleaseDC(NULL, hdcScreen);
    HBITMAP hMask = CreateBitmap(kDemoIconSize, kDemoIconSize, 1, 1, NULL);
    HDC hdc = CreateCompatibleDC(NULL);
    RECT rc = {0, 0, kDemoIconSize, kDemoIconSize};
    HGDIOBJ hOld = SelectObject(hdc, hMask);
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(hdc, GetStockObject(BLACK_BRUSH));
    SelectObject(hdc, GetStockObject(BLACK_PEN));
    bRound ? Ellipse(hdc, 1, 1, 15, 15) : Rectangle(hdc, 2, 2, 14, 14);
    SelectObject(hdc, hColour);
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HBRUSH hBrush = CreateSolidBrush(colour);
    SelectObject(hdc, hBrush);
    bRound ? Ellipse(hdc, 1, 1, 15, 15) : Rectangle(hdc, 2, 2, 14, 14);
    SelectObject(hdc, hOld);
    DeleteObject(hBrush);
    DeleteDC(hdc);
    ICONINFO info = {TRUE, 0, 0, hMask, hColour};
    HICON hIcon = CreateIconIndirect(&info);
    DeleteObject(hMask);
    DeleteObject(hColour);
    return hIcon;
}

DemoMenus BuildDemoMenus() {
    DemoMenus m;
    m.hIconNew = MakeDemoIcon(RGB(40, 170, 60), false);
    m.hIconOpen = MakeDemoIcon(RGB(230, 180, 30), true);
    m.hIconSave = MakeDemoIcon(RGB(40, 90, 210), false);
    m.hIconStatus = MakeDemoIcon(RGB(200, 40, 40), true);
    m.hIconCut = MakeDemoIcon(RGB(220, 60, 160), true);
    m.hIconCopy = MakeDemoIcon(RGB(60, 160, 200), false);
    m.hIconPaste = MakeDemoIcon(RGB(150, 110, 60), false);
    m.hFile = BuildFile(&m);
    m.hView = BuildView(&m);
    m.hHelp = BuildHelp();
    m.hContext = BuildContext(&m);
    m.hBar = CreateMenu();
    AddSubmenu(m.hBar, m.hFile, "&File");
    AddSubmenu(m.hBar, m.hView, "&View");
    AddSubmenu(m.hBar, m.hHelp, "&Help");
    return m;
}

void FreeDemoMenus(DemoMenus *pMenus) {
    if (g_pDemoMenus == pMenus) {
        g_pDemoMenus = NULL;
    }
    if (IsMenu(pMenus->hBar)) {
        DestroyMenu(pMenus->hBar);
    }
    DestroyMenu(pMenus->hContext);
    for (HICON hIcon : {pMenus->hIconNew, pMenus->hIconOpen, pMenus->hIconSave, pMenus->hIconStatus, pMenus->hIconCut,
                        pMenus->hIconCopy, pMenus->hIconPaste}) {
        DestroyIcon(hIcon);
    }
    *pMenus = DemoMenus();
}

HWND CreateDemoWindow(const DemoMenus &menus, int x, int y) {
    HINSTANCE hInst = GetModuleHandleA(NULL);
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof(wc));
    wc.lpfnWndProc = DemoWndProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kDemoClass;
    RegisterClassA(&wc); // a second registration fails harmlessly
    g_pDemoMenus = &menus;
    HWND hwnd = CreateWindowExA(0, kDemoClass, "Lustrekit menus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, kDemoWidth,
                                kDemoHeight, NULL, menus.hBar, hInst, NULL);
    CreateWindowExA(0, "BUTTON", "A child button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 160, 28, hwnd,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DEMO_BUTTON)), hInst, NULL);
    return hwnd;
}
