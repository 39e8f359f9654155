// Tests of Lustrekit's skinned button painting under Wine: WM_DRAWITEM sent to a real parent paints into a
// memory canvas with known system colours, and the pixels are read back (face looks and states, state
// bitmaps, icon and text placement, focus frame, drop-down part, the 8-bit fall-back, no GDI left behind).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "lk_canvas.h"
#include "lk_button_host.h"

namespace {

constexpr COLORREF kFace = RGB(200, 190, 180);
constexpr COLORREF kShadow = RGB(100, 90, 80);
constexpr COLORREF kLight = RGB(250, 245, 240);
constexpr COLORREF k3dLight = RGB(230, 225, 220);
constexpr COLORREF kDkShadow = RGB(20, 25, 30);
constexpr COLORREF kWindow = RGB(252, 250, 248);
constexpr COLORREF kSelection = RGB(49, 106, 197);
constexpr COLORREF kText = RGB(10, 20, 30);
constexpr COLORREF kGrayText = RGB(128, 120, 110);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kIconRed = RGB(200, 0, 0);
constexpr COLORREF kTextColour = RGB(40, 160, 60);

enum Visual { kNormal, kHot, kPressed, kChecked, kDisabled, kFocused };

// Expected colours of the looks with the system colours above (worked out by hand from the looks' colour
// arithmetic: lighten, darken, mix and mid-colour of the face, the window and the selection colours).
struct XpFrame {
    COLORREF outer, inner, top, bottom;
};
constexpr XpFrame kXpNormal = {RGB(153, 145, 139), RGB(191, 186, 183), RGB(200, 190, 180), RGB(228, 223, 218)};
constexpr XpFrame kXpHot = {RGB(137, 147, 162), RGB(219, 226, 236), RGB(173, 188, 211), RGB(241, 245, 250)};
constexpr XpFrame kXpPressed = {RGB(135, 145, 161), RGB(191, 196, 204), RGB(232, 238, 247), RGB(179, 194, 218)};
struct FlatColours {
    COLORREF fill, frame;
};
constexpr FlatColours kFlatNormal = {RGB(214, 206, 199), RGB(134, 133, 137)};
constexpr FlatColours kFlatHot = {RGB(224, 230, 240), RGB(144, 154, 169)};
constexpr FlatColours kFlatPressed = {RGB(210, 219, 233), RGB(145, 157, 175)};

int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

std::string Hex(COLORREF c) {
    char buf[16];
    std::snprintf(buf, sizeof(buf), "%06lX", static_cast<unsigned long>(c));
    return buf;
}

// Bounding box of the canvas pixels of one colour.
RECT BoxOf(const TestCanvas &canvas, COLORREF colour, const RECT &within) {
    RECT box = {within.right, within.bottom, within.left - 1, within.top - 1};
    for (int y = within.top; y < within.bottom; ++y)
        for (int x = within.left; x < within.right; ++x)
            if (canvas.At(x, y) == colour) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

// Switches the screen to 8 bits per pixel (Wine emulates the mode) for the guard's life.
class EightBitScreen {
public:
    EightBitScreen() {
        DEVMODEA dm = {};
        dm.dmSize = sizeof(dm);
        EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &dm);
        dm.dmBitsPerPel = 8;
        dm.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        bChanged_ = ChangeDisplaySettingsA(&dm, 0) == DISP_CHANGE_SUCCESSFUL;
    }
    ~EightBitScreen() {
        if (bChanged_) {
            ChangeDisplaySettingsA(NULL, 0);
        }
    }
    EightBitScreen(const EightBitScreen &) = delete;
    EightBitScreen &operator=(const EightBitScreen &) = delete;

private:
    bool bChanged_ = false;
};

class SkinPaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (NumColorBits() < 24) {
            GTEST_SKIP() << "exact colours need a 24/32-bit screen";
        }
        PointerAt(parent_.Hwnd(), 590, 390);
        hIcon_ = MakeSolidIcon(16, kIconRed);
        LOGFONTA lf = {};
        lf.lfHeight = -12;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        std::strcpy(lf.lfFaceName, "Tahoma");
        hFont_ = CreateFontIndirectA(&lf);
        lf.lfHeight = -20;
        hFontBig_ = CreateFontIndirectA(&lf);
    }
    void TearDown() override {
        DestroyIcon(hIcon_);
        DeleteObject(hFont_);
        DeleteObject(hFontBig_);
    }

    // A skinned button of the given type at (10, 10) of the parent.
    HWND Button(int w, int h, const char *pszText, DWORD dwFlags,
                const std::function<void(BUTTON_SKIN &)> &fill = nullptr, DWORD type = BS_PUSHBUTTON) {
        HWND hwnd = parent_.AddButton(pszText, type, 10, 10, w, h);
        HFONT hFont = hFont_;
        SkinWith(hwnd, dwFlags, [&](BUTTON_SKIN &s) {
            s.hFont = hFont;
            s.crText = kTextColour;
            if (fill) {
                fill(s);
            }
        });
        return hwnd;
    }

    // Paints the button into the canvas through the parent's WM_DRAWITEM, in the visual state asked for.
    void Paint(HWND hwnd, TestCanvas &canvas, Visual visual) {
        canvas.Fill(RGB(1, 2, 3));
        if (visual == kChecked) {
            SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        }
        if (visual == kHot) {
            PointerAt(hwnd, 1, 1);
            SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
        }
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = visual == kPressed    ? ODS_SELECTED
                        : visual == kDisabled ? ODS_DISABLED
                        : visual == kFocused  ? ODS_FOCUS
                                              : 0;
        dis.hwndItem = hwnd;
        dis.hDC = canvas.Dc();
        dis.rcItem = {0, 0, canvas.Width(), canvas.Height()};
        EXPECT_EQ(SendMessageA(parent_.Hwnd(), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis)), 1);
        if (visual == kHot) {
            SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0);
        }
        if (visual == kChecked) {
            SendMessageA(hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }

    SysColorGuard colours_{{COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT, COLOR_3DDKSHADOW,
                            COLOR_WINDOW, COLOR_HIGHLIGHT, COLOR_BTNTEXT, COLOR_GRAYTEXT},
                           {kFace, kShadow, kLight, k3dLight, kDkShadow, kWindow, kSelection, kText, kGrayText}};
    TestParent parent_;
    HICON hIcon_ = NULL;
    HFONT hFont_ = NULL;
    HFONT hFontBig_ = NULL;
};

// Pixels along the middle row of a 60 x 30 text-free button: x = 0, 1, 2 from the left, the centre, and the
// rightmost two.
struct FaceCase {
    const char *name;
    DWORD dwFlags;
    Visual visual;
    COLORREF left0, left1, left2, centre, right1, right0;
};

TEST_F(SkinPaintTest, EachLookAndStateHasItsExactFrameAndFillColours) {
    const XpFrame xp[] = {kXpNormal, kXpHot, kXpPressed};
    const FlatColours flat[] = {kFlatNormal, kFlatHot, kFlatPressed};
    const DWORD kPlainBorder = BSK_BORDER, kThin = BSK_BORDER | BSK_THINBORDER;
    const FaceCase cases[] = {
        {"xp normal", BSK_XPSTYLE, kNormal, xp[0].outer, kWhite, xp[0].inner, 0, kWhite, xp[0].outer},
        {"xp hot", BSK_XPSTYLE, kHot, xp[1].outer, kWhite, xp[1].inner, 0, kWhite, xp[1].outer},
        {"xp pressed", BSK_XPSTYLE, kPressed, xp[2].outer, kWhite, xp[2].inner, 0, kWhite, xp[2].outer},
        {"xp checked", BSK_XPSTYLE, kChecked, xp[2].outer, kWhite, xp[2].inner, 0, kWhite, xp[2].outer},
        {"xp disabled", BSK_XPSTYLE, kDisabled, xp[0].outer, kWhite, xp[0].inner, 0, kWhite, xp[0].outer},
        {"flat normal", BSK_FLATHILITE, kNormal, flat[0].frame, flat[0].fill, flat[0].fill, flat[0].fill, flat[0].fill,
         flat[0].frame},
        {"flat hot", BSK_FLATHILITE, kHot, flat[1].frame, flat[1].fill, flat[1].fill, flat[1].fill, flat[1].fill,
         flat[1].frame},
        {"flat pressed", BSK_FLATHILITE, kPressed, flat[2].frame, flat[2].fill, flat[2].fill, flat[2].fill,
         flat[2].fill, flat[2].frame},
        {"flat checked", BSK_FLATHILITE, kChecked, flat[2].frame, flat[2].fill, flat[2].fill, flat[2].fill,
         flat[2].fill, flat[2].frame},
        {"flat and xp: flat", BSK_FLATHILITE | BSK_XPSTYLE, kHot, flat[1].frame, flat[1].fill, flat[1].fill,
         flat[1].fill, flat[1].fill, flat[1].frame},
        {"edge raised", kPlainBorder, kNormal, k3dLight, kLight, kFace, kFace, kShadow, kDkShadow},
        {"edge sunken pressed", kPlainBorder, kPressed, kShadow, kDkShadow, kFace, kFace, k3dLight, kLight},
        {"edge sunken checked", kPlainBorder, kChecked, kShadow, kDkShadow, kFace, kFace, k3dLight, kLight},
        {"thin raised", kThin, kNormal, kLight, kFace, kFace, kFace, kFace, kShadow},
        {"thin sunken pressed", kThin, kPressed, kShadow, kFace, kFace, kFace, kFace, kLight},
        {"thin sunken checked", kThin, kChecked, kShadow, kFace, kFace, kFace, kFace, kLight},
        {"flat border, cold", kPlainBorder | BSK_FLAT, kNormal, kFace, kFace, kFace, kFace, kFace, kFace},
        {"flat border, hot", kPlainBorder | BSK_FLAT, kHot, k3dLight, kLight, kFace, kFace, kShadow, kDkShadow},
        {"no border", 0, kPressed, kFace, kFace, kFace, kFace, kFace, kFace},
        {"parent background", BSK_PARENTBKGND, kNormal, kParentBackground, kParentBackground, kParentBackground,
         kParentBackground, kParentBackground, kParentBackground},
    };
    TestCanvas canvas(60, 30, 0);
    for (const FaceCase &c : cases) {
        HWND hwnd = Button(60, 30, "", c.dwFlags, nullptr, BS_AUTOCHECKBOX);
        Paint(hwnd, canvas, c.visual);
        const int y = 15;
        EXPECT_EQ(Hex(canvas.At(0, y)), Hex(c.left0)) << c.name;
        EXPECT_EQ(Hex(canvas.At(1, y)), Hex(c.left1)) << c.name;
        EXPECT_EQ(Hex(canvas.At(2, y)), Hex(c.left2)) << c.name;
        EXPECT_EQ(Hex(canvas.At(58, y)), Hex(c.right1)) << c.name;
        EXPECT_EQ(Hex(canvas.At(59, y)), Hex(c.right0)) << c.name;
        if (c.centre != 0) {
            EXPECT_EQ(Hex(canvas.At(30, y)), Hex(c.centre)) << c.name;
        }
        if (c.dwFlags == BSK_XPSTYLE) { // the gradient runs from the top colour down to the bottom colour
            const XpFrame &f = xp[c.visual == kHot ? 1 : c.visual == kPressed || c.visual == kChecked ? 2 : 0];
            EXPECT_LE(Distance(canvas.At(30, 3), f.top), Distance(canvas.At(30, 3), f.bottom)) << c.name;
            EXPECT_LE(Distance(canvas.At(30, 26), f.bottom), Distance(canvas.At(30, 26), f.top)) << c.name;
            EXPECT_EQ(Hex(canvas.At(30, 0)), Hex(f.outer)) << c.name;
        }
        DestroyWindow(hwnd);
    }
}

TEST_F(SkinPaintTest, BelowNineBitsTheLooksFallBackToSystemColourFills) {
    EightBitScreen screen;
    if (NumColorBits() != 8) {
        GTEST_SKIP() << "the display cannot be switched to 8 bits per pixel";
    }
    struct Case {
        DWORD dwFlags;
        Visual visual;
        COLORREF frame, fill;
    } cases[] = {{BSK_XPSTYLE, kNormal, kShadow, kFace},
                 {BSK_XPSTYLE, kHot, kShadow, k3dLight},
                 {BSK_XPSTYLE, kPressed, kText, kWindow},
                 {BSK_FLATHILITE, kNormal, kShadow, kFace},
                 {BSK_FLATHILITE, kHot, kShadow, k3dLight},
                 {BSK_FLATHILITE, kChecked, kText, kWindow},
                 {BSK_FLATHILITE | BSK_XPSTYLE, kPressed, kText, kWindow}};
    TestCanvas canvas(60, 30, 0);
    for (const Case &c : cases) {
        HWND hwnd = Button(60, 30, "", c.dwFlags, nullptr, BS_AUTOCHECKBOX);
        Paint(hwnd, canvas, c.visual);
        for (POINT p : {POINT{0, 15}, POINT{59, 15}, POINT{30, 0}, POINT{30, 29}}) {
            EXPECT_EQ(Hex(canvas.At(p.x, p.y)), Hex(c.frame)) << c.dwFlags << " " << c.visual;
        }
        for (POINT p : {POINT{1, 15}, POINT{30, 2}, POINT{30, 15}}) {
            EXPECT_EQ(Hex(canvas.At(p.x, p.y)), Hex(c.fill)) << c.dwFlags << " " << c.visual;
        }
        DestroyWindow(hwnd);
    }
}

// Where the 16 x 16 icon lands in a 90 x 30 button, and the centre of the text "Go" (half pixels).
struct LayoutCase {
    const char *name;
    const char *pszText;
    DWORD dwFlags;
    Visual visual;
    int iconX, iconY;     // top-left of the icon pixels
    COLORREF iconColour;  // its colour: drawn, lightened or a disabled silhouette
    int textCx2, textCy2; // twice the centre of the text rectangle; 0: no check
};

TEST_F(SkinPaintTest, IconAndTextSitWhereTheLayoutPutsThemAndOnlyThePlainLookPresses) {
    const COLORREF lightRed = RGB(214, 64, 64); // the icon's red lightened by 64
    const LayoutCase cases[] = {
        // icon rect (0,0,30,30), text rect (22,0,90,30)
        {"left, plain", "Go", 0, kNormal, 7, 7, kIconRed, 112, 30},
        {"left by default with a border", "Go", BSK_BORDER, kNormal, 8, 7, kIconRed, 111, 30},
        {"border pressed: icon and text move", "Go", BSK_BORDER, kPressed, 8, 8, kIconRed, 113, 32},
        {"left flag with focus frame room", "Go", BSK_ICONLEFT | BSK_BORDER | BSK_FOCUSRECT, kNormal, 8, 7, kIconRed, 0,
         0},
        {"right", "Go", BSK_ICONRIGHT, kNormal, 67, 7, kIconRed, 68, 30},
        {"top", "Go", BSK_ICONTOP, kNormal, 37, 2, kIconRed, 90, 45},
        {"icon alone is centred", "", 0, kNormal, 37, 7, kIconRed, 0, 0},
        {"icon alone pressed moves", "", 0, kPressed, 38, 8, kIconRed, 0, 0},
        {"plain pressed without border: text stays", "Go", BSK_ICONTOP, kPressed, 38, 3, kIconRed, 90, 45},
        {"xp lightens and does not press", "Go", BSK_XPSTYLE, kPressed, 7, 7, lightRed, 112, 30},
        {"flat lightens only when active", "Go", BSK_FLATHILITE, kNormal, 7, 7, kIconRed, 112, 30},
        {"flat hot", "Go", BSK_FLATHILITE, kHot, 7, 7, lightRed, 112, 30},
        {"flat pressed does not press", "Go", BSK_FLATHILITE, kPressed, 7, 7, lightRed, 112, 30},
        {"disabled silhouette", "Go", 0, kDisabled, 7, 7, kGrayText, 112, 30},
        {"text alone is centred", "Go", BSK_BORDER, kNormal, -1, -1, 0, 90, 30},
    };
    TestCanvas canvas(90, 30, 0);
    const RECT all = {0, 0, 90, 30};
    for (const LayoutCase &c : cases) {
        HICON hIcon = hIcon_;
        HWND hwnd =
            Button(90, 30, c.pszText, c.dwFlags, [&](BUTTON_SKIN &s) { s.hIcon = c.iconX >= 0 ? hIcon : NULL; });
        Paint(hwnd, canvas, c.visual);
        if (c.iconX >= 0) {
            // A disabled button's text shares the silhouette's gray: look left of the text only.
            RECT box = BoxOf(canvas, c.iconColour, c.visual == kDisabled ? RECT{0, 0, 24, 30} : all);
            EXPECT_EQ(box.left, c.iconX) << c.name;
            EXPECT_EQ(box.top, c.iconY) << c.name;
            EXPECT_EQ(box.right - box.left, 16) << c.name;
            EXPECT_EQ(box.bottom - box.top, 16) << c.name;
        }
        if (c.textCx2 != 0) {
            const COLORREF textColour = c.visual == kDisabled ? kGrayText : kTextColour;
            RECT box = BoxOf(canvas, textColour, all);
            if (c.visual == kDisabled) { // the gray silhouette shares the colour: look right of it only
                box = BoxOf(canvas, textColour, {24, 0, 90, 30});
            }
            ASSERT_LT(box.left, box.right) << c.name << ": no text drawn";
            EXPECT_NEAR(box.left + box.right, c.textCx2, 3) << c.name;
            EXPECT_NEAR(box.top + box.bottom, c.textCy2, 5) << c.name;
        }
        DestroyWindow(hwnd);
    }
}

TEST_F(SkinPaintTest, TextColoursFontsAndStateBitmapsFollowTheState) {
    const COLORREF hotText = RGB(200, 40, 40), pressedText = RGB(40, 40, 200);
    const COLORREF bmp[] = {RGB(90, 0, 0), RGB(0, 90, 0), RGB(0, 0, 90), RGB(90, 90, 0)};
    HBITMAP hBmps[4];
    for (int i = 0; i < 4; ++i) {
        hBmps[i] = MakeBitmap(90, 30, [&](int, int) { return bmp[i]; });
    }
    HFONT hBig = hFontBig_;
    auto fill = [&](BUTTON_SKIN &s) {
        s.crTextHot = hotText;
        s.crTextPressed = pressedText;
        s.hFontHot = hBig;
        s.hBmpNormal = hBmps[0];
        s.hBmpHot = hBmps[1];
        s.hBmpPressed = hBmps[2];
        s.hBmpDisabled = hBmps[3];
    };
    struct Case {
        Visual visual;
        COLORREF text, bitmap;
        bool bBigFont;
    } cases[] = {{kNormal, kTextColour, bmp[0], false},
                 {kHot, hotText, bmp[1], true},
                 {kPressed, pressedText, bmp[2], true},
                 {kChecked, pressedText, bmp[2], true},
                 {kDisabled, kGrayText, bmp[3], false}};
    TestCanvas canvas(90, 30, 0);
    int smallHeight = 0;
    for (const Case &c : cases) {
        HWND hwnd = Button(90, 30, "Hg", BSK_BORDER, fill, BS_AUTOCHECKBOX);
        Paint(hwnd, canvas, c.visual);
        EXPECT_EQ(Hex(canvas.At(2, 2)), Hex(c.bitmap)) << c.visual; // inside the 2-pixel edge
        EXPECT_NE(Hex(canvas.At(1, 1)), Hex(c.bitmap)) << c.visual;
        RECT box = BoxOf(canvas, c.text, {0, 0, 90, 30});
        ASSERT_LT(box.top, box.bottom) << c.visual << ": no text in " << Hex(c.text);
        if (c.visual == kNormal) {
            smallHeight = box.bottom - box.top;
        } else {
            EXPECT_EQ(box.bottom - box.top > smallHeight + 2, c.bBigFont) << c.visual;
        }
        DestroyWindow(hwnd);
    }
    // Without a bitmap for the state nothing stands in; a thin border shrinks the bitmap by 1 only.
    HWND hwnd = Button(90, 30, "", BSK_BORDER | BSK_THINBORDER, [&](BUTTON_SKIN &s) { s.hBmpNormal = hBmps[0]; });
    Paint(hwnd, canvas, kHot);
    EXPECT_EQ(Hex(canvas.At(5, 5)), Hex(kFace));
    Paint(hwnd, canvas, kNormal);
    EXPECT_EQ(Hex(canvas.At(1, 1)), Hex(bmp[0]));
    EXPECT_EQ(Hex(canvas.At(0, 1)), Hex(kLight));
    DestroyWindow(hwnd);
    for (HBITMAP h : hBmps) {
        DeleteObject(h);
    }
}

TEST_F(SkinPaintTest, FocusFrameIsDotsOfTheMixedGrayInsideTheBorderOrTheEdge) {
    const COLORREF focus = RGB(129, 125, 119); // the gray text and text colours mixed, lightened by 32
    struct Case {
        DWORD dwFlags;
        int inset;
    } cases[] = {{BSK_FOCUSRECT, 1}, {BSK_FOCUSRECT | BSK_BORDER, 4}, {BSK_FOCUSRECT | BSK_BORDER | BSK_THINBORDER, 4}};
    const int w = 40, h = 20;
    TestCanvas canvas(w, h, 0);
    for (const Case &c : cases) {
        HWND hwnd = Button(w, h, "", c.dwFlags);
        Paint(hwnd, canvas, kFocused);
        const int l = c.inset, t = c.inset, fw = w - 2 * c.inset, fh = h - 2 * c.inset;
        auto expected = [&](int x, int y) {
            const int xr = l + 1 + ((fw - 2) / 2) * 2; // last x of the top line
            const int yb = t + 1 + ((fh - 2) / 2) * 2; // last y of the left line
            auto dotted = [](int v, int start, int length) {
                return v >= start && (v == start || v < start + length) && (v - start) % 2 == 0;
            };
            return (y == t && dotted(x, l + 1, fw - 1)) || (x == xr + 1 && dotted(y, t + 1, fh - 1)) ||
                   (x == l && dotted(y, t + 1, fh - 1)) || (y == yb + 1 && dotted(x, l + 1, fw - 1));
        };
        int wrong = 0, dots = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool bDot = canvas.At(x, y) == focus;
                dots += bDot;
                if (bDot != expected(x, y)) {
                    ++wrong;
                    ADD_FAILURE() << "flags " << std::hex << c.dwFlags << std::dec << ": pixel " << x << "," << y
                                  << (bDot ? " is" : " is not") << " a focus dot";
                }
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(dots, 20);
        Paint(hwnd, canvas, kNormal); // no focus, no frame
        EXPECT_EQ(BoxOf(canvas, focus, {0, 0, w, h}).right, -1);
        DestroyWindow(hwnd);
    }
}

TEST_F(SkinPaintTest, DropDownPartHasItsSeparatorGlyphAndOpenEdge) {
    HMENU hMenu = CreatePopupMenu();
    AppendMenuA(hMenu, MF_STRING, 40001, "Item");
    struct Case {
        DWORD dwFlags;
        int glyph; // 0 none, 1 down, 2 right
    } cases[] = {{BSK_MENUBELOW, 1}, {BSK_MENUBELOWARROW, 1}, {BSK_MENURIGHT, 2}, {0, 0}};
    const int w = 120, h = 30, arrowLeft = w - BSK_ARROW_WIDTH;
    TestCanvas canvas(w, h, 0);
    for (const Case &c : cases) {
        HWND hwnd = Button(w, h, "", c.dwFlags, [hMenu](BUTTON_SKIN &s) { s.hMenu = hMenu; });
        Paint(hwnd, canvas, kNormal);
        for (int y = 0; y < h; ++y) {
            bool bLine = y >= 4 && y < h - 4;
            EXPECT_EQ(canvas.At(arrowLeft, y) == kShadow, bLine) << y;
            EXPECT_EQ(canvas.At(arrowLeft + 1, y) == kLight, bLine) << y;
        }
        RECT glyph = BoxOf(canvas, kTextColour, {arrowLeft + 2, 0, w, h});
        if (c.glyph == 0) {
            EXPECT_EQ(glyph.right, arrowLeft + 1) << "no glyph";
        } else {
            ASSERT_LT(glyph.left, glyph.right) << c.dwFlags;
            const int gw = glyph.right - glyph.left, gh = glyph.bottom - glyph.top;
            EXPECT_EQ(gw > gh, c.glyph == 1) << gw << " x " << gh;
            EXPECT_NEAR(glyph.left + glyph.right, arrowLeft * 2 + BSK_ARROW_WIDTH, 3); // centred
            EXPECT_NEAR(glyph.top + glyph.bottom, h, 3);
        }
        if (c.glyph == 1) { // while its menu is open the arrow part is sunken instead
            TestCanvas open(w, h, 0);
            g_parentLog.onMenuIdle = [&] { Paint(hwnd, open, kNormal); };
            PointerAt(hwnd, w - 5, 15);
            SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(w - 5, 15));
            SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(w - 5, 15)); // closes the marked state
            EXPECT_EQ(Hex(open.At(arrowLeft, 15)), Hex(kShadow));                  // BDR_SUNKENOUTER: shadow top-left
            EXPECT_EQ(Hex(open.At(arrowLeft + 5, 3)), Hex(kShadow));
            EXPECT_EQ(Hex(open.At(w - 4, 15)), Hex(kLight)); // light bottom-right, 3 in
            EXPECT_EQ(Hex(open.At(arrowLeft + 5, h - 4)), Hex(kLight));
            EXPECT_EQ(Hex(open.At(arrowLeft + 1, 15)), Hex(kFace)); // no separator
        }
        DestroyWindow(hwnd);
    }
    DestroyMenu(hMenu);
}

// Sets the system menu font's height for the guard's life (the arrow glyph's font is made from it).
class MenuFontHeight {
public:
    explicit MenuFontHeight(LONG height) {
        saved_.cbSize = sizeof(saved_);
        bOk_ = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(saved_), &saved_, 0);
        NONCLIENTMETRICSA ncm = saved_;
        ncm.lfMenuFont.lfHeight = height;
        bOk_ = bOk_ && SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    }
    ~MenuFontHeight() {
        if (bOk_) {
            SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof(saved_), &saved_, 0);
        }
    }
    bool Ok() const { return bOk_; }

private:
    NONCLIENTMETRICSA saved_ = {};
    bool bOk_ = false;
};

TEST_F(SkinPaintTest, ArrowGlyphFontIsAtLeastFifteenPixelsHigh) {
    HMENU hMenu = CreatePopupMenu();
    const int w = 120, h = 40;
    HWND hwnd = Button(w, h, "", BSK_MENUBELOW, [hMenu](BUTTON_SKIN &s) { s.hMenu = hMenu; });
    TestCanvas canvas(w, h, 0);
    auto glyphWidth = [&](LONG menuFontHeight) {
        MenuFontHeight font(menuFontHeight);
        EXPECT_TRUE(font.Ok());
        Paint(hwnd, canvas, kNormal);
        RECT box = BoxOf(canvas, kTextColour, {w - BSK_ARROW_WIDTH + 2, 0, w, h});
        return box.right - box.left;
    };
    const int forced = glyphWidth(-15);
    EXPECT_GT(forced, 0);
    for (LONG height : {-1L, -12L, -14L}) {
        EXPECT_EQ(glyphWidth(height), forced) << height; // raised to -15
    }
    EXPECT_GT(glyphWidth(-20), forced); // larger fonts stay
    DestroyWindow(hwnd);
    DestroyMenu(hMenu);
}

TEST_F(SkinPaintTest, PaintingLeavesNoGdiObjectBehind) {
    HMENU hMenu = CreatePopupMenu();
    HBITMAP hBmp = MakeBitmap(20, 20, [](int x, int) { return x < 10 ? RGB(255, 0, 255) : RGB(0, 0, 200); });
    HICON hIcon = hIcon_;
    HFONT hBig = hFontBig_;
    auto fill = [&](BUTTON_SKIN &s) {
        s.hIcon = hIcon;
        s.hIconHot = hIcon;
        s.hBmpNormal = s.hBmpHot = s.hBmpPressed = s.hBmpDisabled = hBmp;
        s.hFontHot = hBig;
        s.hMenu = hMenu;
    };
    const DWORD looks[] = {BSK_XPSTYLE | BSK_FOCUSRECT | BSK_MENURIGHT,
                           BSK_FLATHILITE | BSK_MENUBELOW | BSK_FOCUSRECT | BSK_TRANSPARENTBMP,
                           BSK_BORDER | BSK_THINBORDER | BSK_PARENTBKGND | BSK_FOCUSRECT,
                           BSK_BORDER | BSK_PARENTBKGND | BSK_ICONTOP | BSK_MENUBELOWARROW};
    TestCanvas canvas(120, 40, 0);
    for (DWORD dwFlags : looks) {
        HWND hwnd = Button(120, 40, "Leak check", dwFlags, fill);
        for (Visual v : {kNormal, kHot, kPressed, kDisabled, kFocused}) {
            Paint(hwnd, canvas, v); // warm up: the system's own caches fill once
        }
        const int before = CountGdiObjects();
        for (int i = 0; i < 10; ++i) {
            for (Visual v : {kNormal, kHot, kPressed, kDisabled, kFocused}) {
                Paint(hwnd, canvas, v);
            }
        }
        EXPECT_EQ(CountGdiObjects(), before) << std::hex << dwFlags;
        DestroyWindow(hwnd);
    }
    DestroyMenu(hMenu);
    DeleteObject(hBmp);
}

} // namespace
