// Tests of Lustrekit.dll's fills under Wine: CreateFillBmp pixels read back through GetDIBits and compared
// with the portable generator replaying the same random sequence, DrawGradient rows and columns, Gradient_Fill.
#include <gtest/gtest.h>

#include <climits>

#include <vector>

#include "lk_fill_math.h"
#include "lk_canvas.h"
#include "lustrekit.h"

namespace {

// Shadow black, face mid-gray and highlight white make the palette the identity (entry k is gray k), so a
// pixel's red byte is its palette index; every check still compares against the generator's own palette.
const std::vector<int> kFillElements = {COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNHIGHLIGHT};
const std::vector<COLORREF> kIdentityColours = {RGB(0, 0, 0), RGB(128, 128, 128), RGB(255, 255, 255)};

COLORREF PaletteColour(const std::vector<uint8_t> &palette, int index) {
    return RGB(palette[index * 4 + 2], palette[index * 4 + 1], palette[index * 4 + 0]);
}

class FillBitmapTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (NumColorBits() < 24) {
            GTEST_SKIP() << "palette colours are only kept exactly on a 24/32-bit screen";
        }
    }
    SysColorGuard guard_{kFillElements, kIdentityColours};

    // Calls CreateFillBmp and checks both bitmaps pixel by pixel against the portable generator, whose own
    // copy of the sequence advances in step with the DLL's (both start at 12,345,678 in this process).
    void ExpectFill(int pattern, RECT rect, int depth, int hotPercent, int tintPercent, COLORREF tint,
                    std::vector<uint8_t> *indicesOut = nullptr) {
        HBITMAP hBmp = reinterpret_cast<HBITMAP>(1), hHot = reinterpret_cast<HBITMAP>(1);
        CreateFillBmp(pattern, &rect, depth, hotPercent, tintPercent, tint, &hBmp, &hHot);
        lk::FillLayout layout;
        if (lk::PrepareFillLayout(pattern, rect.right - rect.left, rect.bottom - rect.top, depth, &layout) !=
            lk::FillStatus::kOk) {
            EXPECT_EQ(hBmp, (HBITMAP)NULL);
            EXPECT_EQ(hHot, (HBITMAP)NULL);
            return;
        }
        std::vector<uint8_t> pixels(layout.pixelBytes), pal(lk::kPaletteBytes), hotPal(lk::kPaletteBytes);
        lk::RenderFillPixels(pattern, depth, layout, pixels.data());
        lk::BuildFillPalettes(GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT),
                              tintPercent, tint, hotPercent, pal.data(), hotPal.data());
        ASSERT_NE(hBmp, (HBITMAP)NULL);
        ExpectBitmap(hBmp, layout, pixels, pal, "bitmap");
        if ((hotPercent & 0xFF) != 0) {
            ASSERT_NE(hHot, (HBITMAP)NULL);
            ExpectBitmap(hHot, layout, pixels, hotPal, "hot bitmap");
            DeleteObject(hHot);
        } else {
            EXPECT_EQ(hHot, (HBITMAP)NULL);
        }
        DeleteObject(hBmp);
        if (indicesOut != nullptr) {
            *indicesOut = pixels;
        }
    }

    void ExpectBitmap(HBITMAP hBmp, const lk::FillLayout &layout, const std::vector<uint8_t> &pixels,
                      const std::vector<uint8_t> &pal, const char *what) {
        int w = 0, h = 0;
        std::vector<COLORREF> got = ReadBitmap(hBmp, &w, &h);
        ASSERT_EQ(w, layout.width) << what;
        ASSERT_EQ(h, layout.height) << what;
        ASSERT_EQ(got.size(), size_t(w) * h) << what;
        for (int line = 0; line < h; ++line) {
            for (int x = 0; x < w; ++x) {
                int index = pixels[size_t(h - 1 - line) * layout.stride + x]; // first stored row is the bottom
                ASSERT_EQ(got[size_t(line) * w + x], PaletteColour(pal, index))
                    << what << " x " << x << " line " << line << " index " << index;
            }
        }
    }
};

TEST_F(FillBitmapTest, EveryPatternMatchesTheGeneratorWithHotPalette) {
    for (int pattern = 0; pattern <= 10; ++pattern) {
        SCOPED_TRACE(pattern);
        ExpectFill(pattern, RECT{0, 0, 37, 19}, 45, 30, 0, 0);
        ExpectFill(pattern, RECT{50, 60, 58, 63}, 0, 100, 0, 0); // position ignored, padded rows
    }
}

TEST_F(FillBitmapTest, ApplicationNoiseTileIndicesStayIn83To173) {
    std::vector<uint8_t> indices;
    ExpectFill(FILLBMP_NOISE, RECT{0, 0, 128, 128}, 45, 5, 0, 0, &indices);
    for (uint8_t i : indices) {
        ASSERT_GE(i, 83);
        ASSERT_LE(i, 173);
    }
}

TEST_F(FillBitmapTest, TintAndSingleColourFallback) {
    ExpectFill(FILLBMP_CUSHION, RECT{0, 0, 20, 20}, 10, 0, 100, RGB(12, 200, 99));
    ExpectFill(0, RECT{0, 0, 9, 9}, 45, 0, 50, RGB(200, 100, 50));
    // Palette entry 0 is the shadow colour, tinted: every pixel shows it.
    HBITMAP hBmp = NULL, hHot = NULL;
    RECT rect = {0, 0, 6, 4};
    CreateFillBmp(10, &rect, 45, 0, 50, RGB(200, 100, 50), &hBmp, &hHot);
    int w = 0, h = 0;
    for (COLORREF c : ReadBitmap(hBmp, &w, &h)) {
        ASSERT_EQ(c, RGB(100, 50, 25));
    }
    EXPECT_EQ(w * h, 24);
    DeleteObject(hBmp);
}

TEST_F(FillBitmapTest, HotBitmapIsNullWhenHotLowByteIsZero) {
    ExpectFill(FILLBMP_VLINEAR, RECT{0, 0, 10, 255}, 0, 0, 0, 0);
    ExpectFill(FILLBMP_VLINEAR, RECT{0, 0, 10, 255}, 0, 0x100, 0, 0);
    ExpectFill(FILLBMP_HLINEAR, RECT{0, 0, 10, 10}, 0, 0x164, 0x10A, RGB(1, 2, 3));
}

// Sizes that would divide by zero or make no image: null handles, no crash, and the sequence is untouched
// (the next ExpectFill would fail if the DLL had drawn random numbers).
TEST_F(FillBitmapTest, RefusedSizesGiveNullHandlesAndDrawNoRandomNumbers) {
    ExpectFill(FILLBMP_NOISE, RECT{10, 10, 10, 20}, 45, 5, 0, 0);
    ExpectFill(FILLBMP_NOISE, RECT{10, 10, 20, 5}, 45, 5, 0, 0);
    ExpectFill(FILLBMP_CAPSULE, RECT{0, 0, 40, 1}, 0, 5, 0, 0);
    ExpectFill(FILLBMP_STROKES, RECT{0, 0, 32768, 1}, 0, 5, 0, 0);
    ExpectFill(FILLBMP_NOISE, RECT{0, 0, 4, 4}, 20000, 5, 0, 0);
    HBITMAP hBmp = reinterpret_cast<HBITMAP>(1), hHot = reinterpret_cast<HBITMAP>(1);
    EXPECT_FALSE(CreateFillBmp(FILLBMP_NOISE, NULL, 45, 5, 0, 0, &hBmp, &hHot));
    EXPECT_EQ(hBmp, (HBITMAP)NULL);
    EXPECT_EQ(hHot, (HBITMAP)NULL);
    RECT rect = {0, 0, 4, 4};
    EXPECT_FALSE(CreateFillBmp(FILLBMP_NOISE, &rect, 45, 5, 0, 0, NULL, NULL));
    // Inverted, with coordinates whose 32-bit difference would wrap round to a width of 6.
    RECT wrapping = {LONG_MAX, 0, LONG_MIN + 5, 4};
    hBmp = hHot = reinterpret_cast<HBITMAP>(1);
    EXPECT_FALSE(CreateFillBmp(FILLBMP_NOISE, &wrapping, 45, 5, 0, 0, &hBmp, &hHot));
    EXPECT_EQ(hBmp, (HBITMAP)NULL);
    EXPECT_EQ(hHot, (HBITMAP)NULL);
    ExpectFill(FILLBMP_NOISE, RECT{0, 0, 16, 16}, 45, 5, 0, 0);
    ExpectFill(FILLBMP_CAPSULE, RECT{0, 0, 40, 2}, 3, 5, 0, 0);
    ExpectFill(FILLBMP_STROKES, RECT{0, 0, 128, 128}, 45, 5, 0, 0);
}

class GradientTest : public ::testing::Test {
protected:
    static constexpr COLORREF kBackground = RGB(1, 2, 3);
    TestCanvas canvas_{80, 60, kBackground};

    bool Outside(int x, int y, const RECT &r) { return x < r.left || x >= r.right || y < r.top || y >= r.bottom; }
    void ExpectOutsideUntouched(const RECT &r) {
        for (int y = 0; y < canvas_.Height(); ++y) {
            for (int x = 0; x < canvas_.Width(); ++x) {
                if (Outside(x, y, r)) {
                    ASSERT_EQ(canvas_.At(x, y), kBackground) << x << "," << y;
                }
            }
        }
    }
};

TEST_F(GradientTest, DrawGradientBlackToWhiteOverFourRows) {
    ASSERT_TRUE(canvas_.Valid());
    RECT r = {5, 7, 15, 11};
    EXPECT_NE(DrawGradient(canvas_.Dc(), &r, RGB(0, 0, 0), RGB(255, 255, 255), 1), 0);
    const int rows[4] = {0, 64, 128, 191};
    for (int i = 0; i < 4; ++i)
        for (int x = 5; x < 15; ++x)
            ASSERT_EQ(canvas_.At(x, 7 + i), RGB(rows[i], rows[i], rows[i])) << "row " << i;
    ExpectOutsideUntouched(r);
}

TEST_F(GradientTest, DrawGradientRowsAndColumnsMatchGeneratorSteps) {
    const COLORREF c1 = RGB(10, 200, 30), c2 = RGB(250, 5, 128);
    for (DWORD vertical : {DWORD(1), DWORD(0), DWORD(0x100), DWORD(0x1FF)}) {
        canvas_.Fill(kBackground);
        RECT r = {11, 3, 64, 34};
        ASSERT_NE(DrawGradient(canvas_.Dc(), &r, c1, c2, vertical), 0);
        bool bVertical = (vertical & 0xFF) != 0;
        int n = bVertical ? 31 : 53;
        for (int y = 3; y < 34; ++y) {
            for (int x = 11; x < 64; ++x) {
                int i = bVertical ? y - 3 : x - 11;
                ASSERT_EQ(canvas_.At(x, y), lk::GradientStepColor(i, n, c1, c2))
                    << "vertical " << vertical << " x " << x << " y " << y;
            }
        }
        EXPECT_EQ(canvas_.At(11, 3), c1);
        ExpectOutsideUntouched(r);
    }
}

TEST_F(GradientTest, DrawGradientRefusesEmptyAndInvertedRectangles) {
    RECT empty = {10, 10, 10, 30}, inverted = {30, 30, 10, 10};
    EXPECT_EQ(DrawGradient(canvas_.Dc(), &empty, 0, RGB(255, 255, 255), 1), 0);
    EXPECT_EQ(DrawGradient(canvas_.Dc(), &inverted, 0, RGB(255, 255, 255), 0), 0);
    EXPECT_EQ(DrawGradient(canvas_.Dc(), NULL, 0, RGB(255, 255, 255), 0), 0);
    RECT wrapping = {LONG_MAX, 0, LONG_MIN + 5, 4}; // a 32-bit difference would wrap round to 6
    EXPECT_EQ(DrawGradient(canvas_.Dc(), &wrapping, 0, RGB(255, 255, 255), 0), 0);
    ExpectOutsideUntouched(RECT{0, 0, 0, 0});
}

// GradientFill is the system's renderer: colours are checked at the ends and for monotony, with a tolerance
// of 2 per channel at the first line or column.
TEST_F(GradientTest, GradientFillDirectionFollowsLowByteOnly) {
    RECT r = {4, 4, 68, 52};
    for (DWORD vertical : {DWORD(0x100), DWORD(0x101)}) {
        canvas_.Fill(kBackground);
        EXPECT_EQ(Gradient_Fill(canvas_.Dc(), &r, RGB(0, 0, 0), RGB(0, 0, 255), vertical), 0);
        bool bVertical = (vertical & 0xFF) != 0;
        // Along the gradient the blue byte grows; across it every pixel is the same.
        for (int y = 4; y < 52; ++y) {
            for (int x = 4; x < 68; ++x) {
                COLORREF across = bVertical ? canvas_.At(4, y) : canvas_.At(x, 4);
                ASSERT_EQ(canvas_.At(x, y), across) << "vertical " << vertical << " at " << x << "," << y;
            }
        }
        int last = -1;
        int n = bVertical ? 48 : 64;
        for (int i = 0; i < n; ++i) {
            int blue = GetBValue(bVertical ? canvas_.At(4, 4 + i) : canvas_.At(4 + i, 4));
            ASSERT_GE(blue, last) << "vertical " << vertical << " step " << i;
            last = blue;
        }
        EXPECT_LE(GetBValue(canvas_.At(4, 4)), 2);
        EXPECT_GE(last, 240);
        ExpectOutsideUntouched(r);
    }
    EXPECT_EQ(Gradient_Fill(canvas_.Dc(), NULL, 0, 0, 0), 0);
}

} // namespace
