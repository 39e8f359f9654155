// Tests of Lustrekit.dll's skinned-menu exports under Wine: results on windows and menus and on other handles,
// the side bar, conversion and reversion of popup trees between loops and looks, and measured item sizes.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/lustrekit/lk_menu_loop.h"

namespace {

constexpr UINT kBoldId = 901;
constexpr UINT kPlainId = 902;
constexpr int kBigIcon = 32;

// Restores the look and the disabled-selection switch a test changes.
class MenuSettingsGuard {
public:
    MenuSettingsGuard() : dwStyle_(GetStyleMenu()), disableSelect_(SetDisableSelect(1)) {
        SetDisableSelect(static_cast<DWORD>(disableSelect_));
    }
    ~MenuSettingsGuard() {
        SetStyleMenu(dwStyle_);
        SetDisableSelect(static_cast<DWORD>(disableSelect_));
    }

private:
    DWORD dwStyle_;
    int disableSelect_;
};

HFONT MenuFont(bool bBold) {
    NONCLIENTMETRICSA ncm;
    std::memset(&ncm, 0, sizeof(ncm));
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    if (bBold) {
        ncm.lfMenuFont.lfWeight = FW_BOLD;
    }
    return CreateFontIndirectA(&ncm.lfMenuFont);
}

SIZE Extent(const std::string &text, bool bBold) {
    HDC hdc = GetDC(NULL);
    HFONT hFont = MenuFont(bBold);
    HGDIOBJ hOld = SelectObject(hdc, hFont);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(hdc, hOld);
    DeleteObject(hFont);
    ReleaseDC(NULL, hdc);
    return size;
}

void AppendText(HMENU hMenu, UINT id, const char *pszText, UINT fState = 0) {
    AppendMenuA(hMenu, MF_STRING, id, pszText);
    MENUITEMINFOA mii;
    std::memset(&mii, 0, sizeof(mii));
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STATE;
    mii.fState = fState;
    SetMenuItemInfoA(hMenu, id, FALSE, &mii);
}

bool AllOwnerDrawn(HMENU hMenu, bool bOwnerDrawn) {
    for (int pos = 0; pos < GetMenuItemCount(hMenu); ++pos) {
        MENUITEMINFOA mii = ItemAt(hMenu, pos);
        bool bSideBar = (mii.fType & MFT_SEPARATOR) != 0 && mii.dwItemData != 0;
        bool bExpected = bOwnerDrawn || bSideBar;
        if (((mii.fType & MFT_OWNERDRAW) != 0) != bExpected) {
            return false;
        }
        if (mii.hSubMenu != NULL && !AllOwnerDrawn(mii.hSubMenu, bOwnerDrawn)) {
            return false;
        }
    }
    return true;
}

std::vector<UINT> Ids(HMENU hMenu) {
    std::vector<UINT> ids;
    for (int pos = 0; pos < GetMenuItemCount(hMenu); ++pos) {
        ids.push_back(ItemAt(hMenu, pos).wID);
    }
    return ids;
}

TEST(LustrekitMenus, ExportsAreUndecoratedAndRejectWhatIsNotAWindowOrMenu) {
    HMODULE hDll = GetModuleHandleA("Lustrekit.dll");
    ASSERT_NE(hDll, nullptr);
    for (const char *pszName : {"IsShellType", "SetWindowTransparent", "SetTransparentMenu", "SetStyleMenu",
                                "GetStyleMenu", "SetDisableSelect", "RedrawWindowMenu", "SetMenuItemIcon",
                                "SetMenuIcon", "AddLeftBorder", "RemoveLeftBorder"}) {
        EXPECT_NE(GetProcAddress(hDll, pszName), nullptr) << pszName;
    }
    MenuSettingsGuard guard;
    HWND hwndBogus = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7654321));
    HMENU hMenuBogus = reinterpret_cast<HMENU>(static_cast<INT_PTR>(0x7654321));
    EXPECT_EQ(RedrawWindowMenu(NULL), 0);
    EXPECT_EQ(RedrawWindowMenu(hwndBogus), 0);
    EXPECT_EQ(SetWindowTransparent(hwndBogus, 128), 0);
    EXPECT_EQ(AddLeftBorder(NULL, DemoSideBar, 1), 0);
    EXPECT_EQ(AddLeftBorder(hMenuBogus, DemoSideBar, 1), 0);
    EXPECT_EQ(RemoveLeftBorder(hMenuBogus), 0);
    EXPECT_EQ(SetMenuIcon(hMenuBogus, NULL, 3, NULL), 0);

    SetStyleMenu(MENUSTYLE_CLASSIC);
    EXPECT_EQ(SetStyleMenu(MENUSTYLE_FLAT), static_cast<DWORD>(MENUSTYLE_CLASSIC));
    EXPECT_EQ(GetStyleMenu(), static_cast<DWORD>(MENUSTYLE_FLAT));
    EXPECT_EQ(SetStyleMenu(MENUSTYLE_GRADIENT), static_cast<DWORD>(MENUSTYLE_FLAT));
    SetDisableSelect(0x1FF);
    EXPECT_EQ(SetDisableSelect(0), 0xFF);
    EXPECT_EQ(SetDisableSelect(1), 0);
    int previousAlpha = SetTransparentMenu(0x1C8);
    EXPECT_EQ(SetTransparentMenu(static_cast<DWORD>(previousAlpha)), 0xC8);

    // Wine reports a recent Windows by default: no layered windows, the window stays as it is.
    EXPECT_EQ(IsShellType(), 0);
    SkinnedDemo demo;
    EXPECT_EQ(SetWindowTransparent(demo.Hwnd(), 128), 0);
    EXPECT_EQ(GetWindowLongPtrA(demo.Hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    LONG_PTR skinProc = GetWindowLongPtrA(demo.Hwnd(), GWLP_WNDPROC);
    EXPECT_EQ(RedrawWindowMenu(demo.Hwnd()), 1);
    EXPECT_EQ(GetWindowLongPtrA(demo.Hwnd(), GWLP_WNDPROC), skinProc) << "subclassed once";
    EXPECT_NE(GetPropA(demo.Hwnd(), "OLD_WND_PROC_MENU"), nullptr);
}

TEST(LustrekitMenus, SideBarStandsInAColumnOfItsOwnAndGoesAgain) {
    HMENU hMenu = CreatePopupMenu();
    AppendText(hMenu, 11, "One");
    AppendText(hMenu, 12, "Two");
    EXPECT_EQ(RemoveLeftBorder(hMenu), 0) << "no side bar yet";
    EXPECT_EQ(GetMenuItemCount(hMenu), 2);
    EXPECT_EQ(ItemAt(hMenu, 0).fType & (MFT_MENUBREAK | MFT_MENUBARBREAK), 0u);

    for (DWORD barFlag : {0x100u, 0x101u}) {
        ASSERT_NE(AddLeftBorder(hMenu, DemoSideBar, barFlag), 0);
        ASSERT_EQ(GetMenuItemCount(hMenu), 3);
        MENUITEMINFOA bar = ItemAt(hMenu, 0);
        EXPECT_EQ(bar.fType & (MFT_OWNERDRAW | MFT_SEPARATOR), static_cast<UINT>(MFT_OWNERDRAW | MFT_SEPARATOR));
        EXPECT_EQ(bar.dwItemData, reinterpret_cast<ULONG_PTR>(DemoSideBar));
        EXPECT_NE(bar.wID, 0u);
        EXPECT_NE(bar.wID, 11u);
        EXPECT_NE(bar.wID, 12u);
        UINT fBreak = (barFlag & 0xFF) != 0 ? MFT_MENUBARBREAK : MFT_MENUBREAK;
        EXPECT_EQ(ItemAt(hMenu, 1).fType & (MFT_MENUBREAK | MFT_MENUBARBREAK), fBreak) << "low byte only";
        EXPECT_NE(RemoveLeftBorder(hMenu), 0);
        ASSERT_EQ(GetMenuItemCount(hMenu), 2);
        EXPECT_EQ(ItemAt(hMenu, 0).wID, 11u);
        EXPECT_EQ(ItemAt(hMenu, 0).fType & (MFT_MENUBREAK | MFT_MENUBARBREAK), 0u);
        char szText[16] = {};
        GetMenuStringA(hMenu, 11, szText, sizeof(szText), MF_BYCOMMAND);
        EXPECT_STREQ(szText, "One");
    }
    DestroyMenu(hMenu);
}

TEST(LustrekitMenus, ItemIconsComeFromTheCallerOrTheImageList) {
    HMENU hMenu = CreatePopupMenu();
    AppendText(hMenu, 21, "A");
    AppendText(hMenu, 22, "B");
    HICON hIcon = MakeDemoIcon(RGB(200, 0, 0), true);
    EXPECT_NE(SetMenuItemIcon(hMenu, 21, hIcon), 0);
    EXPECT_EQ(ItemAt(hMenu, 0).dwItemData, reinterpret_cast<ULONG_PTR>(hIcon));
    EXPECT_EQ(SetMenuItemIcon(hMenu, 99, hIcon), 0) << "no such command";

    HIMAGELIST hList = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 0);
    ImageList_AddIcon(hList, hIcon);
    ImageList_AddIcon(hList, hIcon);
    const DWORD pairs[] = {22, 1, 21, 0};
    SetMenuIcon(hMenu, hList, 2, pairs);
    for (int pos = 0; pos < 2; ++pos) {
        HICON hGot = reinterpret_cast<HICON>(ItemAt(hMenu, pos).dwItemData);
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(hGot, &info)) << pos;
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        EXPECT_NE(hGot, hIcon) << "a new icon from the list";
        DestroyIcon(hGot);
    }
    ImageList_Destroy(hList);
    DestroyIcon(hIcon);
    DestroyMenu(hMenu);
}

// A loop converts the whole tree for a drawn look, the system look hands it back (side bars excepted), an
// unknown look leaves it alone; identifiers given to separators stay and are unique in the tree.
TEST(LustrekitMenus, LoopsConvertAndRevertTheTreeAsTheLookSays) {
    MenuSettingsGuard guard;
    SkinnedDemo demo;
    const DemoMenus &m = demo.Menus();
    SetStyleMenu(MENUSTYLE_CLASSIC);
    demo.Loop(m.hFile);
    EXPECT_TRUE(AllOwnerDrawn(m.hFile, true));
    EXPECT_TRUE(AllOwnerDrawn(m.hRecent, true)) << "submenus too";
    EXPECT_TRUE(AllOwnerDrawn(m.hView, false)) << "other popups wait for their own loop";
    std::vector<UINT> ids = Ids(m.hFile);
    std::set<UINT> unique(ids.begin(), ids.end());
    EXPECT_EQ(unique.size(), ids.size()) << "no identifier twice";
    EXPECT_EQ(unique.count(0), 0u) << "separators got identifiers";

    SetStyleMenu(MENUSTYLE_SYSTEM);
    demo.Loop(m.hFile);
    EXPECT_TRUE(AllOwnerDrawn(m.hFile, false));
    EXPECT_EQ(Ids(m.hFile), ids) << "identifiers stay";
    demo.Loop(m.hHelp);
    EXPECT_TRUE(AllOwnerDrawn(m.hHelp, false)) << "only the side bar stays owner-drawn";
    EXPECT_NE(ItemAt(m.hHelp, 0).fType & MFT_OWNERDRAW, 0u);

    SetStyleMenu(0x12345678);
    demo.Loop(m.hFile);
    EXPECT_TRUE(AllOwnerDrawn(m.hFile, false)) << "an unknown look changes nothing";
    SetStyleMenu(MENUSTYLE_GRADIENT);
    demo.EnterLoop(m.hFile);
    SendMessageA(demo.Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m.hView), 0);
    demo.ExitLoop(m.hFile);
    EXPECT_TRUE(AllOwnerDrawn(m.hFile, true));
    EXPECT_TRUE(AllOwnerDrawn(m.hView, false)) << "a popup opened inside the loop is not a top popup";

    // Outside a loop nothing is measured or drawn by the library.
    UINT w = 0, h = 0;
    EXPECT_FALSE(demo.Measure(IDM_FILE_NEW, &w, &h));
}

// Icon column = largest item height; accelerator column = widest label with its tab; bold for default items.
// Wine reports a recent Windows (generation 0), whose items are measured with their accelerators, as from 6 on.
TEST(LustrekitMenus, MeasuredSizesGiveTheIconAndAcceleratorColumns) {
    MenuSettingsGuard guard;
    SetStyleMenu(MENUSTYLE_FLAT);
    SkinnedDemo demo;
    HMENU hMenu = CreatePopupMenu();
    AppendText(hMenu, kBoldId, "&Open\tCtrl+O", MFS_DEFAULT);
    AppendText(hMenu, kPlainId, "&Open\tCtrl+O");
    AppendMenuA(hMenu, MF_SEPARATOR, 0, NULL);
    AppendText(hMenu, 903, "Tiny");
    AppendText(hMenu, 904, "Big");
    HICON hBig = CreateIcon(GetModuleHandleA(NULL), kBigIcon, kBigIcon, 1, 1,
                            std::vector<BYTE>(kBigIcon * kBigIcon / 8, 0).data(),
                            std::vector<BYTE>(kBigIcon * kBigIcon / 8, 0).data());
    HICON hSmall = MakeDemoIcon(RGB(0, 100, 0), false);
    SetMenuItemIcon(hMenu, kPlainId, hSmall);
    SetMenuItemIcon(hMenu, 904, hBig);
    demo.EnterLoop(hMenu);
    UINT sepId = ItemAt(hMenu, 2).wID;

    const SIZE boldLabel = Extent("&Open\t", true);
    const SIZE boldAccel = Extent("Ctrl+O", true);
    const SIZE plainAccel = Extent("Ctrl+O", false);
    const SIZE longText = Extent("Tiny", false);
    const int textHeight = Extent("&Open\tCtrl+O", false).cy;
    const int smallHeight = std::max<int>(textHeight + 7, kDemoIconSize + 4);
    const int firstHeight = textHeight + 7;
    const int label = boldLabel.cx; // every item with a tab is as wide as the widest label
    ASSERT_GT(boldLabel.cx, Extent("&Open\t", false).cx);
    ASSERT_GT(boldLabel.cx, longText.cx);
    UINT w = 0, h = 0;
    ASSERT_TRUE(demo.Measure(kBoldId, &w, &h));
    EXPECT_EQ(h, static_cast<UINT>(firstHeight + 2));
    EXPECT_EQ(w, static_cast<UINT>(label + boldAccel.cx + firstHeight + 6)) << "bold accelerator";
    ASSERT_TRUE(demo.Measure(kPlainId, &w, &h));
    EXPECT_EQ(h, static_cast<UINT>(smallHeight + 2));
    EXPECT_EQ(w, static_cast<UINT>(label + plainAccel.cx + smallHeight + 6));
    ASSERT_TRUE(demo.Measure(sepId, &w, &h));
    EXPECT_EQ(h, 6u);
    EXPECT_EQ(w, 8u);
    ASSERT_TRUE(demo.Measure(903, &w, &h));
    EXPECT_EQ(w, static_cast<UINT>(longText.cx + smallHeight + 6));
    ASSERT_TRUE(demo.Measure(904, &w, &h));
    EXPECT_EQ(h, static_cast<UINT>(kBigIcon + 4 + 2));
    DWORD dwData = MenuData(hMenu);
    EXPECT_EQ(LOWORD(dwData), kBigIcon + 4) << "icon column: the largest item height";
    EXPECT_EQ(HIWORD(dwData), label) << "accelerator column: the widest label";

    // Measuring starts afresh at the first item.
    ASSERT_TRUE(demo.Measure(kBoldId, &w, &h));
    EXPECT_EQ(LOWORD(MenuData(hMenu)), firstHeight);
    demo.ExitLoop(hMenu);

    // The side bar asks its callback for the width.
    SetStyleMenu(MENUSTYLE_CLASSIC);
    demo.EnterLoop(demo.Menus().hHelp);
    ASSERT_TRUE(demo.Measure(ItemAt(demo.Menus().hHelp, 0).wID, &w, &h));
    EXPECT_EQ(w, static_cast<UINT>(kDemoSideBarWidth));
    EXPECT_EQ(h, 5u);
    demo.ExitLoop(demo.Menus().hHelp);

    // A separator carrying the application's own data, not code: measured and drawn as a plain separator.
    HMENU hOwnData = CreatePopupMenu();
    AppendText(hOwnData, 911, "Item");
    AppendMenuA(hOwnData, MF_SEPARATOR, 0, NULL);
    MENUITEMINFOA data;
    std::memset(&data, 0, sizeof(data));
    data.cbSize = sizeof(data);
    data.fMask = MIIM_DATA;
    data.dwItemData = 0x12345678;
    SetMenuItemInfoA(hOwnData, 1, TRUE, &data);
    demo.EnterLoop(hOwnData);
    UINT ownSepId = ItemAt(hOwnData, 1).wID;
    ASSERT_TRUE(demo.Measure(ownSepId, &w, &h));
    EXPECT_EQ(h, 6u);
    EXPECT_EQ(w, 8u);
    HDC hdc = CreateCompatibleDC(NULL);
    HBITMAP hBmp = CreateCompatibleBitmap(hdc, 40, 6);
    HGDIOBJ hOld = SelectObject(hdc, hBmp);
    EXPECT_EQ(demo.Draw(hOwnData, ownSepId, 0, hdc, RECT{0, 0, 40, 6}), 1);
    SelectObject(hdc, hOld);
    DeleteObject(hBmp);
    DeleteDC(hdc);
    demo.ExitLoop(hOwnData);
    DestroyMenu(hOwnData);
    DestroyMenu(hMenu);
    DestroyIcon(hBig);
    DestroyIcon(hSmall);
}

} // namespace
