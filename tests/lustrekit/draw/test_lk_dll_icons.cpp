// Tests of Lustrekit.dll's icon and bitmap drawing under Wine: icons built in memory are drawn into memory
// canvases and the pixels read back (placement, disabled, embossed and raised looks, lightened copies, DDBs).
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "lk_canvas.h"
#include "lustrekit.h"

namespace {

constexpr COLORREF kBackground = RGB(10, 200, 10);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A 32-bit DDB-compatible colour bitmap from a per-pixel function (x, y from the top-left).
HBITMAP MakeColourBitmap(int w, int h, const std::function<COLORREF(int, int)> &colourAt) {
    TestCanvas source(w, h, kBlack);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            source.Set(x, y, colourAt(x, y));
    HDC hdcScreen = GetDC(NULL);
    HBITMAP hBmp = CreateCompatibleBitmap(hdcScreen, w, h);
    ReleaseDC(NULL, hdcScreen);
    HDC hdcMem = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(hdcMem, hBmp);
    BitBlt(hdcMem, 0, 0, w, h, source.Dc(), 0, 0, SRCCOPY);
    SelectObject(hdcMem, old);
    DeleteDC(hdcMem);
    return hBmp;
}

// A colour icon: opaque(x, y) decides the mask (black = opaque); transparent pixels are black in the colour
// bitmap, so drawing leaves the target there.
HICON MakeIcon(int w, int h, const std::function<bool(int, int)> &opaque,
               const std::function<COLORREF(int, int)> &colourAt) {
    std::vector<uint8_t> maskBits(((w + 15) / 16) * 2 * h, 0);
    const int maskStride = ((w + 15) / 16) * 2;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!opaque(x, y))
                maskBits[y * maskStride + x / 8] |= uint8_t(0x80 >> (x % 8));
    HBITMAP hMask = CreateBitmap(w, h, 1, 1, maskBits.data());
    HBITMAP hColour = MakeColourBitmap(w, h, [&](int x, int y) { return opaque(x, y) ? colourAt(x, y) : kBlack; });
    ICONINFO info = {TRUE, 0, 0, hMask, hColour};
    HICON hIcon = CreateIconIndirect(&info);
    DeleteObject(hMask);
    DeleteObject(hColour);
    return hIcon;
}

HICON MakeSolidIcon(int size, COLORREF colour) {
    return MakeIcon(
        size, size, [](int, int) { return true; }, [colour](int, int) { return colour; });
}

// Bounding box of the pixels that are not the background.
RECT PaintedBox(const TestCanvas &canvas) {
    RECT box = {canvas.Width(), canvas.Height(), -1, -1};
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.At(x, y) != kBackground) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

class IconTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (NumColorBits() < 24) {
            GTEST_SKIP() << "exact colours need a 24/32-bit screen";
        }
    }
    // Distinct system colours, so every look's colours can be told apart.
    SysColorGuard guard_{{COLOR_GRAYTEXT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
                         {RGB(120, 121, 122), RGB(250, 240, 230), RGB(60, 50, 40)}};
    TestCanvas canvas_{64, 64, kBackground};
};

TEST_F(IconTest, IconIsCentredWithOffsetsRoundedHalfToEven) {
    struct Case {
        int iconSize, rectSize, expectedOffset;
    } cases[] = {{16, 21, 2}, {16, 23, 4}, {32, 29, -2}, {16, 16, 0}, {16, 19, 2}, {16, 17, 0}};
    for (const Case &c : cases) {
        canvas_.Fill(kBackground);
        HICON hIcon = MakeSolidIcon(c.iconSize, RGB(200, 0, 0));
        RECT r = {10, 12, 10 + c.rectSize, 12 + c.rectSize};
        EXPECT_NE(DrawIcnRect(canvas_.Dc(), &r, hIcon, ICNLOOK_NORMAL, 0), 0);
        RECT box = PaintedBox(canvas_);
        EXPECT_EQ(box.left, 10 + c.expectedOffset) << c.iconSize << " in " << c.rectSize;
        EXPECT_EQ(box.top, 12 + c.expectedOffset) << c.iconSize << " in " << c.rectSize;
        EXPECT_EQ(box.right - box.left, c.iconSize);
        EXPECT_EQ(canvas_.At(box.left, box.top), RGB(200, 0, 0));
        DestroyIcon(hIcon);
    }
}

TEST_F(IconTest, OnlyTheTwoLowestLookBitsCount) {
    HICON hIcon = MakeSolidIcon(16, RGB(200, 0, 0));
    RECT r = {0, 0, 20, 20};
    for (int look : {3, 4, 0x100}) {
        canvas_.Fill(kBackground);
        DrawIcnRect(canvas_.Dc(), &r, hIcon, look, 0);
        EXPECT_EQ(canvas_.At(2, 2), RGB(200, 0, 0)) << look; // drawn normally
    }
    canvas_.Fill(kBackground);
    DrawIcnRect(canvas_.Dc(), &r, hIcon, 5, 0x100); // look 1, embossed low byte 0: gray silhouette
    EXPECT_EQ(canvas_.At(2, 2), RGB(120, 121, 122));
    DestroyIcon(hIcon);
}

// Opaque 8 x 8 blue square at (4, 4) with one opaque white pixel at (6, 6) inside a 16 x 16 icon.
HICON MakeSquareIcon() {
    return MakeIcon(
        16, 16, [](int x, int y) { return x >= 4 && x < 12 && y >= 4 && y < 12; },
        [](int x, int y) { return x == 6 && y == 6 ? kWhite : RGB(0, 0, 200); });
}

TEST_F(IconTest, DisabledLookIsGraySilhouetteWithoutWhitePixels) {
    HICON hIcon = MakeSquareIcon();
    RECT r = {20, 20, 36, 36}; // icon at (20, 20)
    SetTextColor(canvas_.Dc(), RGB(1, 1, 1));
    SetBkColor(canvas_.Dc(), RGB(2, 2, 2));
    EXPECT_NE(DrawIcnRect(canvas_.Dc(), &r, hIcon, ICNLOOK_DISABLED, 0), 0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            bool silhouette = x >= 4 && x < 12 && y >= 4 && y < 12 && !(x == 6 && y == 6);
            ASSERT_EQ(canvas_.At(20 + x, 20 + y), silhouette ? RGB(120, 121, 122) : kBackground) << x << "," << y;
        }
    }
    EXPECT_EQ(GetTextColor(canvas_.Dc()), RGB(1, 1, 1)) << "text colour restored";
    EXPECT_EQ(GetBkColor(canvas_.Dc()), RGB(2, 2, 2)) << "background colour restored";
    DestroyIcon(hIcon);
}

TEST_F(IconTest, EmbossedLookPutsShadowUpLeftOverHighlight) {
    HICON hIcon = MakeSquareIcon();
    RECT r = {20, 20, 36, 36};
    DrawIcnRect(canvas_.Dc(), &r, hIcon, ICNLOOK_DISABLED, 1);
    auto inSilhouette = [](int x, int y) { return x >= 4 && x < 12 && y >= 4 && y < 12 && !(x == 6 && y == 6); };
    for (int y = -2; y < 18; ++y) {
        for (int x = -2; x < 18; ++x) {
            COLORREF expected = kBackground;
            if (inSilhouette(x, y)) {
                expected = RGB(250, 240, 230);
            }
            if (inSilhouette(x + 1, y + 1)) {
                expected = RGB(60, 50, 40); // drawn second, one pixel up and left
            }
            ASSERT_EQ(canvas_.At(20 + x, 20 + y), expected) << x << "," << y;
        }
    }
    DestroyIcon(hIcon);
}

TEST_F(IconTest, RaisedLookHasGrayShadowDownRightAndIconUpLeft) {
    HICON hIcon = MakeSquareIcon();
    RECT r = {20, 20, 36, 36};
    SetTextColor(canvas_.Dc(), kBlack);
    SetBkColor(canvas_.Dc(), RGB(5, 5, 5));
    DrawIcnRect(canvas_.Dc(), &r, hIcon, ICNLOOK_RAISED, 0);
    auto inSquare = [](int x, int y) { return x >= 4 && x < 12 && y >= 4 && y < 12; };
    for (int y = -2; y < 18; ++y) {
        for (int x = -2; x < 18; ++x) {
            COLORREF expected = kBackground;
            if (inSquare(x - 1, y - 1)) {
                expected = RGB(120, 121, 122); // the shadow, also under the icon's white pixel
            }
            if (inSquare(x + 1, y + 1)) {
                expected = (x + 1 == 6 && y + 1 == 6) ? kWhite : RGB(0, 0, 200);
            }
            ASSERT_EQ(canvas_.At(20 + x, 20 + y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(GetBkColor(canvas_.Dc()), kWhite) << "the raised look leaves the background colour white";
    DestroyIcon(hIcon);
}

TEST_F(IconTest, BlendedCopyLightensOpaquePixelsOnlyWhateverTheAmount) {
    HICON hIcon = MakeIcon(
        16, 16, [](int x, int) { return x < 8; }, [](int, int y) { return y < 8 ? kBlack : RGB(255, 0, 0); });
    for (int amount : {0, 200}) {
        HICON hCopy = Icon_CopyAsBlend(canvas_.Dc(), hIcon, amount);
        ASSERT_NE(hCopy, (HICON)NULL);
        canvas_.Fill(kBackground);
        DrawIconEx(canvas_.Dc(), 0, 0, hCopy, 16, 16, 0, NULL, DI_NORMAL);
        EXPECT_EQ(canvas_.At(1, 1), RGB(64, 64, 64)) << amount;
        EXPECT_EQ(canvas_.At(1, 12), RGB(255, 64, 64)) << amount;
        EXPECT_EQ(canvas_.At(12, 1), kBackground) << amount;
        EXPECT_EQ(canvas_.At(12, 12), kBackground) << amount;
        DestroyIcon(hCopy);
    }
    canvas_.Fill(kBackground);
    DrawIconEx(canvas_.Dc(), 0, 0, hIcon, 16, 16, 0, NULL, DI_NORMAL);
    EXPECT_EQ(canvas_.At(1, 1), kBlack) << "the icon passed in is not changed";
    DestroyIcon(hIcon);
}

TEST_F(IconTest, BadIconsAndRectanglesDrawNothing) {
    RECT r = {0, 0, 20, 20};
    EXPECT_EQ(DrawIcnRect(canvas_.Dc(), &r, NULL, ICNLOOK_NORMAL, 0), 0);
    EXPECT_EQ(DrawIcnRect(canvas_.Dc(), &r, reinterpret_cast<HICON>(0x1234), ICNLOOK_DISABLED, 1), 0);
    HICON hIcon = MakeSolidIcon(16, RGB(200, 0, 0));
    EXPECT_EQ(DrawIcnRect(canvas_.Dc(), NULL, hIcon, ICNLOOK_NORMAL, 0), 0);
    EXPECT_EQ(Icon_CopyAsBlend(canvas_.Dc(), NULL, 64), (HICON)NULL);
    EXPECT_EQ(DrawDDB(canvas_.Dc(), &r, NULL, 1), 0);
    EXPECT_EQ(PaintedBox(canvas_).right, -1);
    DestroyIcon(hIcon);
}

TEST_F(IconTest, MonochromeIconIsPlacedByHalfItsMaskHeight) {
    // 16 x 16 monochrome icon: AND plane all 0 (opaque), XOR plane all 0 (black).
    std::vector<uint8_t> andBits(32, 0x00), xorBits(32, 0x00);
    HICON hIcon = CreateIcon(GetModuleHandleA(NULL), 16, 16, 1, 1, andBits.data(), xorBits.data());
    ASSERT_NE(hIcon, (HICON)NULL);
    RECT r = {10, 10, 31, 31};
    DrawIcnRect(canvas_.Dc(), &r, hIcon, ICNLOOK_NORMAL, 0);
    RECT box = PaintedBox(canvas_);
    EXPECT_EQ(box.left, 12);
    EXPECT_EQ(box.top, 12);
    EXPECT_EQ(box.bottom - box.top, 16);
    HICON hCopy = Icon_CopyAsBlend(canvas_.Dc(), hIcon, 64);
    EXPECT_NE(hCopy, (HICON)NULL);
    DestroyIcon(hCopy);
    DestroyIcon(hIcon);
}

COLORREF Pattern(int x, int y) {
    return RGB(x * 10 + 5, y * 10 + 5, 77);
}

TEST_F(IconTest, PlainDdbCopiesTopLeftUnscaled) {
    HBITMAP hBmp = MakeColourBitmap(20, 20, Pattern);
    RECT r = {30, 31, 40, 41};
    EXPECT_NE(DrawDDB(canvas_.Dc(), &r, hBmp, 0), 0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            bool inside = x >= 30 && x < 40 && y >= 31 && y < 41;
            ASSERT_EQ(canvas_.At(x, y), inside ? Pattern(x - 30, y - 31) : kBackground) << x << "," << y;
        }
    DeleteObject(hBmp);
}

TEST_F(IconTest, TransparentDdbStretchesAndLeavesKeyColourOut) {
    const COLORREF key = RGB(255, 0, 255);
    auto source = [key](int x, int y) { return (x + y) % 3 == 0 ? key : Pattern(x, y); }; // (0, 0) is the key
    HBITMAP hBmp = MakeColourBitmap(10, 10, source);
    RECT r = {7, 9, 27, 29};
    SetTextColor(canvas_.Dc(), RGB(1, 1, 1));
    SetBkColor(canvas_.Dc(), RGB(2, 2, 2));
    SetStretchBltMode(canvas_.Dc(), HALFTONE);
    EXPECT_NE(DrawDDB(canvas_.Dc(), &r, hBmp, 0x80000000u), 0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            COLORREF expected = kBackground;
            if (x >= 7 && x < 27 && y >= 9 && y < 29) {
                COLORREF s = source((x - 7) / 2, (y - 9) / 2);
                expected = s == key ? kBackground : s;
            }
            ASSERT_EQ(canvas_.At(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(GetTextColor(canvas_.Dc()), RGB(1, 1, 1));
    EXPECT_EQ(GetBkColor(canvas_.Dc()), RGB(2, 2, 2));
    EXPECT_EQ(GetStretchBltMode(canvas_.Dc()), HALFTONE);
    DeleteObject(hBmp);
}

} // namespace
