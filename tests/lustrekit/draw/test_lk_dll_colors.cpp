// Tests of Lustrekit.dll's colour exports, linked at load time through the import library as an application
// links them: the worked examples, whole-range sweeps against exact rationals and the system-colour functions.
#include <gtest/gtest.h>

#include "lk_canvas.h"
#include "lustrekit.h"

namespace {

// round(num / den) for num >= 0, den > 0, halves up: MulDiv's rule on non-negative terms.
int RoundHalfUp(long long num, long long den) {
    return static_cast<int>((2 * num + den) / (2 * den));
}

TEST(DllLinkFaults, ExportsAreUndecoratedAndBoundAtLoadTime) {
    HMODULE hLib = GetModuleHandleA("Lustrekit.dll");
    ASSERT_NE(hLib, (HMODULE)NULL) << "Lustrekit.dll must be loaded by the import table before main";
    const char *names[] = {"LightenColor", "DarkenColor",      "MixedColor",    "MidColor",     "GetXpHighlightColor",
                           "GrayColor",    "NumColorBits",     "Gradient_Fill", "DrawGradient", "CreateFillBmp",
                           "DrawIcnRect",  "Icon_CopyAsBlend", "DrawDDB"};
    for (const char *name : names) {
        EXPECT_NE(GetProcAddress(hLib, name), (FARPROC)NULL) << name;
    }
    EXPECT_EQ(GetProcAddress(hLib, "LightenColor@8"), (FARPROC)NULL);
    EXPECT_EQ(GetProcAddress(hLib, "_LightenColor@8"), (FARPROC)NULL);
    EXPECT_EQ(reinterpret_cast<void *>(&LightenColor), reinterpret_cast<void *>(GetProcAddress(hLib, "LightenColor")));
}

TEST(DllColourExamples, LightenDarkenMixMidGray) {
    EXPECT_EQ(LightenColor(128, RGB(0, 0, 0)), RGB(128, 128, 128));
    EXPECT_EQ(LightenColor(64, RGB(200, 100, 0)), RGB(214, 139, 64));
    EXPECT_EQ(DarkenColor(64, RGB(255, 255, 255)), RGB(191, 191, 191));
    EXPECT_EQ(MixedColor(RGB(255, 255, 255), RGB(0, 0, 0)), RGB(219, 219, 219));
    EXPECT_EQ(MixedColor(RGB(0, 0, 0), RGB(255, 255, 255)), RGB(36, 36, 36));
    EXPECT_EQ(MidColor(RGB(255, 255, 255), RGB(0, 0, 0)), RGB(179, 179, 179));
    EXPECT_EQ(MidColor(RGB(0, 0, 0), RGB(255, 255, 255)), RGB(77, 77, 77));
    EXPECT_EQ(MidColor(RGB(255, 255, 255), RGB(0, 0, 255)), RGB(179, 179, 255));
    EXPECT_EQ(GrayColor(RGB(255, 255, 255)), 255);
    EXPECT_EQ(GrayColor(RGB(0, 0, 0)), 0);
    EXPECT_EQ(GrayColor(RGB(255, 0, 0)), 77);
    EXPECT_EQ(GrayColor(RGB(0, 255, 0)), 151);
    EXPECT_EQ(GrayColor(RGB(0, 0, 255)), 28);
    EXPECT_EQ(GrayColor(RGB(134, 0, 0)), 40);
    EXPECT_EQ(GrayColor(RGB(45, 3, 0)), 16);
}

// All 256 x 256 amount/channel pairs, each channel checked on its own byte (a red/blue swap shows too).
TEST(DllColourSweeps, LightenDarkenMatchExactRationalForAllPairs) {
    for (int amount = 0; amount <= 255; ++amount) {
        for (int c = 0; c <= 255; ++c) {
            int up = c + RoundHalfUp((255LL - c) * amount, 255);
            int down = RoundHalfUp(static_cast<long long>(c) * (255 - amount), 255);
            ASSERT_EQ(LightenColor(amount, RGB(c, 0, 255)), RGB(up, amount, 255)) << amount << " " << c;
            ASSERT_EQ(LightenColor(amount, RGB(0, c, 0)), RGB(amount, up, amount)) << amount << " " << c;
            ASSERT_EQ(DarkenColor(amount, RGB(255, 0, c)), RGB(255 - amount, 0, down)) << amount << " " << c;
        }
    }
}

TEST(DllColourSweeps, MixMidMatchTermwiseRoundingForAllPairs) {
    for (int a = 0; a <= 255; ++a) {
        for (int b = 0; b <= 255; ++b) {
            int mix = RoundHalfUp(86 * a, 100) + RoundHalfUp(14 * b, 100);
            int mid = RoundHalfUp(7 * a, 10) + RoundHalfUp(3 * b, 10);
            mid = mid > 255 ? 255 : mid;
            ASSERT_EQ(MixedColor(RGB(a, 0, a), RGB(b, 0, b)), RGB(mix, 0, mix)) << a << "," << b;
            ASSERT_EQ(MidColor(RGB(0, a, 0), RGB(0, b, 0)), RGB(0, mid, 0)) << a << "," << b;
        }
    }
}

TEST(DllColourSweeps, GrayMatchesExactRationalTiesToEven) {
    for (int r = 0; r <= 255; ++r) {
        for (int g = 0; g <= 255; g += 3) {
            for (int b = 0; b <= 255; b += 17) {
                int num = 77 * r + 151 * g + 28 * b + 50;
                int q = num / 256, rem = num % 256;
                int expected = (rem > 128 || (rem == 128 && (q & 1))) ? q + 1 : q;
                ASSERT_EQ(GrayColor(RGB(r, g, b)), expected) << r << "," << g << "," << b;
            }
        }
    }
}

TEST(DllSystemColourFaults, NumColorBitsReadsTheScreen) {
    HDC hdc = GetDC(NULL);
    int bits = GetDeviceCaps(hdc, BITSPIXEL);
    ReleaseDC(NULL, hdc);
    EXPECT_EQ(NumColorBits(), bits == -1 ? 8 : bits);
}

TEST(DllSystemColourFaults, XpHighlightIsSeventyThirtyOfWindowAndHighlight) {
    SysColorGuard guard({COLOR_WINDOW, COLOR_HIGHLIGHT}, {RGB(255, 255, 255), RGB(49, 106, 197)});
    if (NumColorBits() > 8) {
        EXPECT_EQ(GetXpHighlightColor(), RGB(194, 211, 238));
    } else {
        EXPECT_EQ(GetXpHighlightColor(), RGB(255, 255, 255));
    }
}

} // namespace
