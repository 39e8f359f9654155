// Tests of Lustrekit.dll's skinned menu item drawing under Wine: items are drawn through the owner-draw path
// of a skinned window into memory canvases with known system colours, and their pixels are read back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/lustrekit/lk_menu_loop.h"
#include "lk_canvas.h"

namespace {

constexpr int kW = 160;
constexpr int kH = 24;
constexpr int kColW = 22;
constexpr int kAccelX = 60;
constexpr int kMid = kH / 2;
constexpr int kFarX = 150; // right of the accelerator text
constexpr COLORREF kBack = RGB(1, 2, 3);
constexpr COLORREF kMenu = RGB(212, 208, 200);
constexpr COLORREF kSel = RGB(49, 106, 197);
constexpr COLORREF kWin = RGB(255, 255, 255);
constexpr COLORREF kGray = RGB(128, 128, 128);
constexpr COLORREF kMenuText = RGB(0, 0, 0);
constexpr COLORREF kSelText = RGB(255, 255, 254);
constexpr COLORREF kBtnHighlight = RGB(240, 248, 252);
constexpr COLORREF kBtnShadow = RGB(100, 90, 80);

enum : UINT {
    kPlain = 601,
    kIcon = 602,
    kCheck = 603,
    kRadio = 604,
    kClose = 605,
    kMinimize = 606,
    kRestore = 607,
    kMaximize = 608,
    kDefault = 609,
    kNotDefault = 610
};

const std::vector<int> kElements = {COLOR_MENU,     COLOR_HIGHLIGHT,     COLOR_WINDOW,       COLOR_GRAYTEXT,
                                    COLOR_MENUTEXT, COLOR_HIGHLIGHTTEXT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};

void AddItem(HMENU hMenu, UINT id, const char *pszText, UINT fType = MFT_STRING, HBITMAP hbmp = NULL) {
    MENUITEMINFOA mii;
    std::memset(&mii, 0, sizeof(mii));
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | (hbmp != NULL ? MIIM_BITMAP : 0);
    mii.wID = id;
    mii.fType = fType;
    mii.hbmpItem = hbmp;
    mii.dwTypeData = const_cast<char *>(pszText);
    InsertMenuItemA(hMenu, GetMenuItemCount(hMenu), TRUE, &mii);
}

// Draws menu texts without antialiasing for the life of the guard, so that glyph pixels have exact colours.
class CrispMenuFontGuard {
public:
    CrispMenuFontGuard() {
        std::memset(&saved_, 0, sizeof(saved_));
        saved_.cbSize = sizeof(saved_);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(saved_), &saved_, 0);
        NONCLIENTMETRICSA crisp = saved_;
        crisp.lfMenuFont.lfQuality = NONANTIALIASED_QUALITY;
        SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof(crisp), &crisp, 0);
    }
    ~CrispMenuFontGuard() { SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof(saved_), &saved_, 0); }
    CrispMenuFontGuard(const CrispMenuFontGuard &) = delete;
    CrispMenuFontGuard &operator=(const CrispMenuFontGuard &) = delete;

private:
    NONCLIENTMETRICSA saved_;
};

// A skinned window in a menu loop of a popup with every kind of item, its columns set, the colours known.
class MenuDrawTest : public ::testing::Test {
protected:
    MenuDrawTest() : colours_(kElements, {kMenu, kSel, kWin, kGray, kMenuText, kSelText, kBtnHighlight, kBtnShadow}) {
        dwStyle_ = GetStyleMenu();
        disableSelect_ = SetDisableSelect(1);
        hIcon_ = MakeDemoIcon(RGB(0, 200, 0), false);
        hMenu_ = CreatePopupMenu();
        AddItem(hMenu_, kPlain, "Plain\tCtrl+P");
        AddItem(hMenu_, kIcon, "Icon item");
        AddItem(hMenu_, kCheck, "Checked");
        AddItem(hMenu_, kRadio, "Radio", MFT_RADIOCHECK);
        AppendMenuA(hMenu_, MF_SEPARATOR, 0, NULL);
        AddItem(hMenu_, kClose, "Close", MFT_STRING, HBMMENU_POPUP_CLOSE);
        AddItem(hMenu_, kMinimize, "Minimize", MFT_STRING, HBMMENU_POPUP_MINIMIZE);
        AddItem(hMenu_, kRestore, "Restore", MFT_STRING, HBMMENU_POPUP_RESTORE);
        AddItem(hMenu_, kMaximize, "Maximize", MFT_STRING, HBMMENU_POPUP_MAXIMIZE);
        AddItem(hMenu_, kDefault, "Same text");
        AddItem(hMenu_, kNotDefault, "Same text");
        SetMenuDefaultItem(hMenu_, kDefault, FALSE);
        SetMenuItemIcon(hMenu_, kIcon, hIcon_);
        AddLeftBorder(hMenu_, DemoSideBar, 0);
        SetStyleMenu(MENUSTYLE_CLASSIC);
        demo_.EnterLoop(hMenu_);
        MENUINFO mi;
        std::memset(&mi, 0, sizeof(mi));
        mi.cbSize = sizeof(mi);
        mi.fMask = MIM_MENUDATA;
        mi.dwMenuData = MAKELONG(kColW, kAccelX);
        SetMenuInfo(hMenu_, &mi);
        NONCLIENTMETRICSA ncm;
        std::memset(&ncm, 0, sizeof(ncm));
        ncm.cbSize = sizeof(ncm);
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        hMenuFont_ = CreateFontIndirectA(&ncm.lfMenuFont);
    }
    ~MenuDrawTest() override {
        demo_.ExitLoop(hMenu_);
        DestroyMenu(hMenu_);
        DestroyIcon(hIcon_);
        DeleteObject(hMenuFont_);
        SetStyleMenu(dwStyle_);
        SetDisableSelect(static_cast<DWORD>(disableSelect_));
    }

    // Draws the item in the look into a fresh canvas with the menu font selected, as the system asks; the
    // window's answer.
    LRESULT Draw(TestCanvas &canvas, DWORD dwLook, UINT id, UINT state, RECT rc = {0, 0, kW, kH}) {
        SetStyleMenu(dwLook);
        canvas.Fill(kBack);
        SelectObject(canvas.Dc(), hMenuFont_);
        return demo_.Draw(hMenu_, id, state, canvas.Dc(), rc);
    }

public:
    LRESULT DrawItem(TestCanvas &canvas, DWORD dwLook, UINT id, UINT state) { return Draw(canvas, dwLook, id, state); }

protected:
    UINT SideBarId() const { return ItemAt(hMenu_, 0).wID; }
    UINT SeparatorId() const { return ItemAt(hMenu_, 5).wID; }

    SysColorGuard colours_;
    CrispMenuFontGuard crisp_;
    SkinnedDemo demo_;
    HMENU hMenu_ = NULL;
    HICON hIcon_ = NULL;
    HFONT hMenuFont_ = NULL;
    DWORD dwStyle_ = 0;
    int disableSelect_ = 1;
};

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Positions of the pixels of one colour inside a rectangle of the canvas.
std::vector<POINT> PixelsOf(const TestCanvas &canvas, const RECT &rc, COLORREF colour) {
    std::vector<POINT> points;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (canvas.At(x, y) == colour)
                points.push_back(POINT{x, y});
    return points;
}

RECT Box(const std::vector<POINT> &points) {
    RECT box = {kW, kH, -1, -1};
    for (const POINT &p : points) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

// A Marlett glyph in the menu font, as the library should draw it, black on white: its black pixels.
std::vector<POINT> ReferenceGlyph(char glyph, bool bCheckSize, const RECT &rc) {
    NONCLIENTMETRICSA ncm;
    std::memset(&ncm, 0, sizeof(ncm));
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    LOGFONTA lf = ncm.lfMenuFont;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "Marlett");
    if (bCheckSize && lf.lfHeight >= -14 && lf.lfHeight <= -1) {
        lf.lfHeight = -15;
    }
    TestCanvas ref(kW, kH, RGB(255, 255, 255));
    HFONT hFont = CreateFontIndirectA(&lf);
    HGDIOBJ hOld = SelectObject(ref.Dc(), hFont);
    SetBkMode(ref.Dc(), TRANSPARENT);
    SetTextColor(ref.Dc(), RGB(0, 0, 0));
    RECT r = rc;
    DrawTextA(ref.Dc(), &glyph, 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(ref.Dc(), hOld);
    DeleteObject(hFont);
    return PixelsOf(ref, RECT{0, 0, kW, kH}, RGB(0, 0, 0));
}

bool SamePoints(const std::vector<POINT> &a, const std::vector<POINT> &b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y)
            return false;
    return true;
}

struct PixelCase {
    const char *pszWhat;
    DWORD dwLook;
    UINT id;
    UINT state;
    BYTE disableSelect;
    int x;
    int y;
    COLORREF expected;
};

// The looks' colours with the system colours above, worked out from their colour arithmetic (the XP highlight,
// from the window and selection colours, is RGB(194, 211, 238)).
constexpr COLORREF kFlatSelFill = RGB(214, 221, 234);
constexpr COLORREF kFlatSelFrame = RGB(98, 105, 116);
constexpr COLORREF kFlatBackground = RGB(249, 248, 247); // the window and menu colours mixed
constexpr COLORREF kFlatIconColumn = RGB(220, 216, 210);
constexpr COLORREF kFlatCheckPen = RGB(87, 98, 116);
constexpr COLORREF kFlatCheckBrush = RGB(215, 226, 244);
constexpr COLORREF kClassicCheckFill = RGB(228, 226, 221); // the menu colour lightened by 96
constexpr COLORREF kGradientLeft = RGB(199, 195, 187);     // the menu colour darkened by 16
constexpr COLORREF kGradientRight = RGB(234, 232, 228);    // about the menu colour lightened by 128
constexpr COLORREF kGradSelTop = RGB(187, 197, 213);
constexpr COLORREF kGradSelFrame = RGB(145, 151, 163);
constexpr COLORREF kGradCheckFrame = RGB(139, 148, 166);

constexpr UINT kSelected = ODS_SELECTED;
constexpr UINT kDisabledSelected = ODS_SELECTED | ODS_GRAYED;

const PixelCase kPixelCases[] = {
    {"flat item background", MENUSTYLE_FLAT, kPlain, 0, 1, kFarX, kMid, kFlatBackground},
    {"flat icon column", MENUSTYLE_FLAT, kPlain, 0, 1, 5, kMid, kFlatIconColumn},
    {"flat selection fill", MENUSTYLE_FLAT, kPlain, kSelected, 1, kFarX, kMid, kFlatSelFill},
    {"flat selection frame", MENUSTYLE_FLAT, kPlain, kSelected, 1, kW - 1, kMid, kFlatSelFrame},
    {"flat selection leaves the top row", MENUSTYLE_FLAT, kPlain, kSelected, 1, kFarX, 0, kBack},
    {"flat disabled selected, shown", MENUSTYLE_FLAT, kPlain, kDisabledSelected, 1, kFarX, kMid, kFlatSelFill},
    {"flat disabled selected, hidden", MENUSTYLE_FLAT, kPlain, kDisabledSelected, 0, kFarX, kMid, kFlatBackground},
    {"flat check box pen", MENUSTYLE_FLAT, kCheck, ODS_CHECKED, 1, 2, kMid, kFlatCheckPen},
    {"flat check box brush", MENUSTYLE_FLAT, kCheck, ODS_CHECKED, 1, 4, 5, kFlatCheckBrush},
    {"classic background", MENUSTYLE_CLASSIC, kPlain, 0, 1, kFarX, kMid, kMenu},
    {"classic selection", MENUSTYLE_CLASSIC, kPlain, kSelected, 1, 1, kMid, kSel},
    {"classic disabled selected, hidden", MENUSTYLE_CLASSIC, kPlain, kDisabledSelected, 0, kFarX, kMid, kMenu},
    {"classic selection beside the icon", MENUSTYLE_CLASSIC, kIcon, kSelected, 1, kColW + 1, kMid, kSel},
    {"classic raised icon frame, light", MENUSTYLE_CLASSIC, kIcon, kSelected, 1, 0, kMid, kBtnHighlight},
    {"classic raised icon frame, dark", MENUSTYLE_CLASSIC, kIcon, kSelected, 1, kColW - 1, kMid, kBtnShadow},
    {"classic check box fill", MENUSTYLE_CLASSIC, kCheck, ODS_CHECKED, 1, 2, 3, kClassicCheckFill},
    {"classic check box sunken edge", MENUSTYLE_CLASSIC, kCheck, ODS_CHECKED, 1, 0, kMid, kBtnShadow},
    {"gradient start", MENUSTYLE_GRADIENT, kPlain, 0, 1, 0, kMid, kGradientLeft},
    {"gradient selection frame", MENUSTYLE_GRADIENT, kPlain, kSelected, 1, 0, kMid, kGradSelFrame},
    {"gradient selection top", MENUSTYLE_GRADIENT, kPlain, kSelected, 1, kFarX, 2, kGradSelTop},
    {"gradient disabled selected, hidden", MENUSTYLE_GRADIENT, kPlain, kDisabledSelected, 0, 0, kMid, kGradientLeft},
    {"gradient check box frame", MENUSTYLE_GRADIENT, kCheck, ODS_CHECKED, 1, 0, kMid, kGradCheckFrame},
};

// At 8 bits per pixel or less every look uses plain system colours (the XP highlight is then the window colour).
const PixelCase kPixelCases8[] = {
    {"flat item background", MENUSTYLE_FLAT, kPlain, 0, 1, kFarX, kMid, kWin},
    {"flat icon column", MENUSTYLE_FLAT, kPlain, 0, 1, 5, kMid, kMenu},
    {"flat selection fill", MENUSTYLE_FLAT, kPlain, kSelected, 1, kFarX, kMid, kWin},
    {"flat selection frame", MENUSTYLE_FLAT, kPlain, kSelected, 1, kW - 1, kMid, kSel},
    {"flat check box pen", MENUSTYLE_FLAT, kCheck, ODS_CHECKED, 1, 2, kMid, kWin},
    {"flat check box brush", MENUSTYLE_FLAT, kCheck, ODS_CHECKED, 1, 4, 5, kMenu},
    {"classic check box fill", MENUSTYLE_CLASSIC, kCheck, ODS_CHECKED, 1, 2, 3, kMenu},
    {"gradient background left", MENUSTYLE_GRADIENT, kPlain, 0, 1, 0, kMid, kMenu},
    {"gradient background right", MENUSTYLE_GRADIENT, kPlain, 0, 1, kW - 1, kMid, kMenu},
    {"gradient selection frame", MENUSTYLE_GRADIENT, kPlain, kSelected, 1, 0, kMid, kSel},
    {"gradient selection inside", MENUSTYLE_GRADIENT, kPlain, kSelected, 1, kFarX, 2, kWin},
    {"gradient selection outside", MENUSTYLE_GRADIENT, kPlain, kSelected, 1, kFarX, 0, kMenu},
    {"gradient check box pen", MENUSTYLE_GRADIENT, kCheck, ODS_CHECKED, 1, 0, kMid, kWin},
};

template <size_t N> void ExpectPixels(MenuDrawTest *pTest, TestCanvas &canvas, const PixelCase (&cases)[N]) {
    for (const PixelCase &c : cases) {
        SetDisableSelect(c.disableSelect);
        EXPECT_EQ(pTest->DrawItem(canvas, c.dwLook, c.id, c.state), 1) << c.pszWhat;
        EXPECT_EQ(canvas.At(c.x, c.y), c.expected) << c.pszWhat;
    }
}

// Fill and frame colours of each look's states, the disabled-selection switch, the check boxes.
TEST_F(MenuDrawTest, LooksPaintTheirColoursWhereTheyShould) {
    if (NumColorBits() <= 8) {
        GTEST_SKIP() << "the screen has 8 bits per pixel or less";
    }
    TestCanvas canvas(kW, kH, kBack);
    ASSERT_TRUE(canvas.Valid());
    ExpectPixels(this, canvas, kPixelCases);
    // The gradient runs to about a half-lightened menu colour at the right edge.
    Draw(canvas, MENUSTYLE_GRADIENT, kPlain, 0);
    EXPECT_TRUE(Near(canvas.At(kW - 1, kMid), kGradientRight, 3));
}

// Needs a display of 8 bits per pixel: xvfb-run -s '-screen 0 1024x768x8' scripts/lib/wine-run <this test>.
TEST_F(MenuDrawTest, EightBitLooksUsePlainColours) {
    if (NumColorBits() > 8) {
        GTEST_SKIP() << "needs a screen of 8 bits per pixel or less";
    }
    TestCanvas canvas(kW, kH, kBack);
    ASSERT_TRUE(canvas.Valid());
    ExpectPixels(this, canvas, kPixelCases8);
}

// The label at the text start, the accelerator at the popup's accelerator offset.
TEST_F(MenuDrawTest, AcceleratorStandsInItsColumn) {
    TestCanvas canvas(kW, kH, kBack);
    for (DWORD dwLook : {DWORD(MENUSTYLE_FLAT), DWORD(MENUSTYLE_CLASSIC), DWORD(MENUSTYLE_GRADIENT)}) {
        Draw(canvas, dwLook, kPlain, 0);
        const int textX = kColW + 4;
        RECT label = Box(PixelsOf(canvas, RECT{0, 0, textX + kAccelX, kH}, kMenuText));
        RECT accel = Box(PixelsOf(canvas, RECT{textX + kAccelX - 2, 0, kW, kH}, kMenuText));
        EXPECT_GE(label.left, textX) << dwLook;
        EXPECT_LT(label.right, textX + kAccelX / 2) << dwLook;
        EXPECT_GE(accel.left, textX + kAccelX) << dwLook;
        EXPECT_LT(accel.left, textX + kAccelX + 4) << dwLook;
    }
}

// The default item's text is drawn in the bold menu font, in every look.
TEST_F(MenuDrawTest, DefaultItemIsBold) {
    TestCanvas canvas(kW, kH, kBack);
    const RECT text = {kColW + 4, 0, kW, kH};
    for (DWORD dwLook : {DWORD(MENUSTYLE_FLAT), DWORD(MENUSTYLE_CLASSIC), DWORD(MENUSTYLE_GRADIENT)}) {
        Draw(canvas, dwLook, kNotDefault, 0);
        std::vector<POINT> plain = PixelsOf(canvas, text, kMenuText);
        Draw(canvas, dwLook, kDefault, 0);
        std::vector<POINT> bold = PixelsOf(canvas, text, kMenuText);
        EXPECT_GT(Box(bold).right, Box(plain).right) << std::hex << dwLook;
        EXPECT_GT(bold.size(), plain.size() + plain.size() / 4) << std::hex << dwLook;
    }
}

// Classic disabled text is embossed: the light copy one pixel right of and below the shadow-coloured one; on the
// selection a gray that equals the highlight colour is lightened to stay readable.
TEST_F(MenuDrawTest, ClassicDisabledTextIsEmbossedOrKeptReadable) {
    TestCanvas canvas(kW, kH, kBack);
    Draw(canvas, MENUSTYLE_CLASSIC, kPlain, ODS_GRAYED);
    RECT text = {kColW + 4, 0, kW, kH};
    std::vector<POINT> light = PixelsOf(canvas, text, kBtnHighlight);
    std::vector<POINT> dark = PixelsOf(canvas, text, kBtnShadow);
    ASSERT_FALSE(light.empty());
    ASSERT_FALSE(dark.empty());
    RECT lightBox = Box(light);
    RECT darkBox = Box(dark);
    EXPECT_EQ(lightBox.right, darkBox.right + 1);
    EXPECT_EQ(lightBox.bottom, darkBox.bottom + 1);

    SysColorGuard grayIsHighlight({COLOR_GRAYTEXT}, {kSel});
    Draw(canvas, MENUSTYLE_CLASSIC, kPlain, kDisabledSelected);
    EXPECT_FALSE(PixelsOf(canvas, text, RGB(127, 162, 219)).empty()); // the gray text lightened by 96
    EXPECT_TRUE(PixelsOf(canvas, text, kSel).size() > 100u) << "the selection itself";
}

// Check marks and radio bullets are Marlett 'b' and 'i' in the icon column; the system menu's bitmaps give 'r',
// '0', '2' and '1'.
TEST_F(MenuDrawTest, GlyphsAreTheMarlettCharacters) {
    TestCanvas canvas(kW, kH, kBack);
    const RECT column = {0, 0, kColW, kH};
    const RECT shrunk = {0, 1, kColW, kH - 1};
    struct GlyphCase {
        DWORD dwLook;
        UINT id;
        UINT state;
        char glyph;
        bool bCheckSize;
        RECT at;
    };
    const GlyphCase cases[] = {
        {MENUSTYLE_CLASSIC, kCheck, ODS_CHECKED, 'b', true, shrunk},
        {MENUSTYLE_CLASSIC, kRadio, ODS_CHECKED, 'i', true, shrunk},
        {MENUSTYLE_FLAT, kCheck, ODS_CHECKED, 'b', true, RECT{0, 2, kColW, kH - 1}},
        {MENUSTYLE_FLAT, kRadio, ODS_CHECKED, 'i', true, shrunk},
        {MENUSTYLE_GRADIENT, kRadio, ODS_CHECKED, 'i', true, shrunk},
        {MENUSTYLE_CLASSIC, kClose, 0, 'r', false, shrunk},
        {MENUSTYLE_CLASSIC, kMinimize, 0, '0', false, shrunk},
        {MENUSTYLE_FLAT, kRestore, 0, '2', false, shrunk},
        {MENUSTYLE_GRADIENT, kMaximize, 0, '1', false, column},
    };
    for (const GlyphCase &c : cases) {
        Draw(canvas, c.dwLook, c.id, c.state);
        std::vector<POINT> drawn = PixelsOf(canvas, column, kMenuText);
        std::vector<POINT> expected = ReferenceGlyph(c.glyph, c.bCheckSize, c.at);
        ASSERT_FALSE(expected.empty()) << "Marlett is installed: " << c.glyph;
        EXPECT_TRUE(SamePoints(drawn, expected)) << c.glyph << " in look " << std::hex << c.dwLook;
    }
    // Selected: a shade of gray below right, the text colour above left; disabled: the shade alone.
    const COLORREF shade = RGB(124, 124, 124); // the gray text darkened by 8
    Draw(canvas, MENUSTYLE_CLASSIC, kClose, kSelected);
    RECT shadeBox = Box(PixelsOf(canvas, column, shade));
    RECT textBox = Box(PixelsOf(canvas, column, kSelText));
    EXPECT_EQ(shadeBox.left, textBox.left + 2);
    EXPECT_EQ(shadeBox.top, textBox.top + 2);
    Draw(canvas, MENUSTYLE_FLAT, kClose, ODS_GRAYED);
    EXPECT_FALSE(PixelsOf(canvas, column, shade).empty());
    EXPECT_TRUE(PixelsOf(canvas, column, kMenuText).empty());
}

// The side bar is painted by its callback over the clip box, from -3 in the flat look and from the item's left
// otherwise, also with the system look; the system look draws nothing else, an unknown look nothing at all.
TEST_F(MenuDrawTest, SideBarsAndTheSystemLook) {
    TestCanvas canvas(kW, kH, kBack);
    const RECT item = {5, 0, 5 + kDemoSideBarWidth, 6};
    struct BarCase {
        DWORD dwLook;
        LONG left;
    };
    for (const BarCase &c : {BarCase{MENUSTYLE_FLAT, -3}, BarCase{MENUSTYLE_CLASSIC, 5}, BarCase{MENUSTYLE_GRADIENT, 5},
                             BarCase{MENUSTYLE_SYSTEM, 5}}) {
        int before = g_nSideBarPaints;
        EXPECT_EQ(Draw(canvas, c.dwLook, SideBarId(), 0, item), 1);
        EXPECT_EQ(g_nSideBarPaints, before + 1);
        EXPECT_EQ(g_rcLastSideBar.left, c.left) << std::hex << c.dwLook;
        EXPECT_EQ(g_rcLastSideBar.right, item.right);
        EXPECT_EQ(g_rcLastSideBar.top, 0);
        EXPECT_EQ(g_rcLastSideBar.bottom, kH) << "the clip box's height";
        EXPECT_EQ(canvas.At(10, 0), kSideBarTop) << "painted by the callback";
    }
    Draw(canvas, MENUSTYLE_SYSTEM, kPlain, kSelected);
    EXPECT_EQ(PixelsOf(canvas, RECT{0, 0, kW, kH}, kBack).size(), static_cast<size_t>(kW * kH));
    Draw(canvas, MENUSTYLE_SYSTEM, SeparatorId(), 0);
    EXPECT_EQ(PixelsOf(canvas, RECT{0, 0, kW, kH}, kBack).size(), static_cast<size_t>(kW * kH));
    EXPECT_EQ(Draw(canvas, 0x10000000, kPlain, 0), 0);
    EXPECT_EQ(PixelsOf(canvas, RECT{0, 0, kW, kH}, kBack).size(), static_cast<size_t>(kW * kH));
}

} // namespace
