// Tests of Lustrekit's portable colour arithmetic: the worked examples and whole-range sweeps against exact
// rational references, which catch rounding faults such as dividing by 256 for 255 or rounding halves down.
#include <gtest/gtest.h>

#include <cstdint>

#include "lk_color_math.h"

namespace {

using lk::Rgb;

Rgb Rgb3(int r, int g, int b) {
    return lk::PackRgb(r, g, b);
}

// round(num / den) for num >= 0, den > 0, halves up: the reference for MulDiv on non-negative terms.
int64_t RoundHalfUp(int64_t num, int64_t den) {
    return (2 * num + den) / (2 * den);
}

TEST(MulDivRoundingFaults, HalvesGoAwayFromZero) {
    EXPECT_EQ(lk::MulDivRound(7, 255, 10), 179);   // 178.5
    EXPECT_EQ(lk::MulDivRound(-7, 255, 10), -179); // -178.5
    EXPECT_EQ(lk::MulDivRound(7, -255, 10), -179);
    EXPECT_EQ(lk::MulDivRound(3, 255, 10), 77); // 76.5
    EXPECT_EQ(lk::MulDivRound(1, 1, 3), 0);
    EXPECT_EQ(lk::MulDivRound(2, 1, 3), 1);
}

TEST(MulDivRoundingFaults, ZeroDivisorAndOverflowGiveMinusOne) {
    EXPECT_EQ(lk::MulDivRound(5, 5, 0), -1);
    EXPECT_EQ(lk::MulDivRound(0x40000000, 8, 1), -1);
    EXPECT_EQ(lk::MulDivRound(0x40000000, 8, 4), -1);          // 2^31 does not fit either
    EXPECT_EQ(lk::MulDivRound(0x40000000, 8, 16), 0x20000000); // the 64-bit product is kept
}

TEST(DivRoundTieFaults, TiesGoToEven) {
    EXPECT_EQ(lk::DivRound(5, 2), 2);
    EXPECT_EQ(lk::DivRound(7, 2), 4);
    EXPECT_EQ(lk::DivRound(-3, 2), -2);
    EXPECT_EQ(lk::DivRound(-5, 2), -2);
    EXPECT_EQ(lk::DivRound(3, 2), 2);
    EXPECT_EQ(lk::DivRound(5, -2), -2);
    EXPECT_EQ(lk::DivRound(10368, 256), 40); // 40.5
    EXPECT_EQ(lk::DivRound(3968, 256), 16);  // 15.5
    EXPECT_EQ(lk::DivRound(7, 3), 2);
    EXPECT_EQ(lk::DivRound(-7, 3), -2);
    EXPECT_EQ(lk::DivRound(8, 3), 3);
    EXPECT_EQ(lk::DivRound(-8, 3), -3);
    EXPECT_EQ(lk::DivRound(1, 0), 0);
}

TEST(ColourFunctionExamples, LightenDarkenMixMid) {
    EXPECT_EQ(lk::LightenRgb(128, Rgb3(0, 0, 0)), Rgb3(128, 128, 128));
    EXPECT_EQ(lk::LightenRgb(64, Rgb3(200, 100, 0)), Rgb3(214, 139, 64));
    EXPECT_EQ(lk::DarkenRgb(64, Rgb3(255, 255, 255)), Rgb3(191, 191, 191));
    EXPECT_EQ(lk::MixRgb(Rgb3(255, 255, 255), Rgb3(0, 0, 0)), Rgb3(219, 219, 219));
    EXPECT_EQ(lk::MixRgb(Rgb3(0, 0, 0), Rgb3(255, 255, 255)), Rgb3(36, 36, 36));
    EXPECT_EQ(lk::MidRgb(Rgb3(255, 255, 255), Rgb3(0, 0, 0)), Rgb3(179, 179, 179));
    EXPECT_EQ(lk::MidRgb(Rgb3(0, 0, 0), Rgb3(255, 255, 255)), Rgb3(77, 77, 77));
    EXPECT_EQ(lk::MidRgb(Rgb3(255, 255, 255), Rgb3(0, 0, 255)), Rgb3(179, 179, 255));
}

TEST(ColourFunctionExamples, GrayLevels) {
    EXPECT_EQ(lk::GrayLevel(Rgb3(255, 255, 255)), 255);
    EXPECT_EQ(lk::GrayLevel(Rgb3(0, 0, 0)), 0);
    EXPECT_EQ(lk::GrayLevel(Rgb3(255, 0, 0)), 77);
    EXPECT_EQ(lk::GrayLevel(Rgb3(0, 255, 0)), 151);
    EXPECT_EQ(lk::GrayLevel(Rgb3(0, 0, 255)), 28);
    EXPECT_EQ(lk::GrayLevel(Rgb3(134, 0, 0)), 40); // 40.5, tie to even
    EXPECT_EQ(lk::GrayLevel(Rgb3(45, 3, 0)), 16);  // 15.5, tie to even
}

TEST(ColourFunctionExamples, XpHighlightDependsOnDepth) {
    const Rgb window = Rgb3(255, 255, 255);
    const Rgb highlight = Rgb3(49, 106, 197);
    EXPECT_EQ(lk::XpHighlightRgb(window, highlight, 32), Rgb3(194, 211, 238));
    EXPECT_EQ(lk::XpHighlightRgb(window, highlight, 16), Rgb3(194, 211, 238));
    EXPECT_EQ(lk::XpHighlightRgb(window, highlight, 8), window);
    EXPECT_EQ(lk::XpHighlightRgb(window, highlight, 1), window);
}

// Every amount/channel pair of LightenColor and DarkenColor against the exact rational, on all three channels.
TEST(ColourRangeSweeps, LightenAndDarkenMatchExactRationalForAllPairs) {
    for (int amount = 0; amount <= 255; ++amount) {
        auto lighter = [amount](int c) { return c + static_cast<int>(RoundHalfUp(int64_t(255 - c) * amount, 255)); };
        auto darker = [amount](int c) { return static_cast<int>(RoundHalfUp(int64_t(c) * (255 - amount), 255)); };
        for (int c = 0; c <= 255; ++c) {
            const int g = 255 - c, b = c / 2;
            ASSERT_EQ(lk::LightenRgb(amount, Rgb3(c, g, b)), Rgb3(lighter(c), lighter(g), lighter(b)))
                << "amount " << amount << " channel " << c;
            ASSERT_EQ(lk::DarkenRgb(amount, Rgb3(c, g, b)), Rgb3(darker(c), darker(g), darker(b)))
                << "amount " << amount << " channel " << c;
        }
    }
}

TEST(ColourRangeSweeps, LightenAndDarkenEndsAreExact) {
    for (int c = 0; c <= 255; ++c) {
        Rgb colour = Rgb3(c, 255 - c, (c * 7) & 0xFF);
        EXPECT_EQ(lk::LightenRgb(0, colour), colour);
        EXPECT_EQ(lk::LightenRgb(255, colour), Rgb3(255, 255, 255));
        EXPECT_EQ(lk::DarkenRgb(0, colour), colour);
        EXPECT_EQ(lk::DarkenRgb(255, colour), Rgb3(0, 0, 0));
        EXPECT_EQ(lk::LightenRgb(128, colour) >> 24, 0u);
    }
}

TEST(ColourRangeSweeps, MixAndMidMatchTermwiseRoundingForAllPairs) {
    for (int a = 0; a <= 255; ++a) {
        for (int b = 0; b <= 255; ++b) {
            int mix = static_cast<int>(RoundHalfUp(86 * a, 100) + RoundHalfUp(14 * b, 100));
            int mid = static_cast<int>(RoundHalfUp(7 * a, 10) + RoundHalfUp(3 * b, 10));
            ASSERT_LE(mix, 255);
            if (mid > 255) {
                mid = 255;
            }
            ASSERT_EQ(lk::MixRgb(Rgb3(a, b, a), Rgb3(b, a, b)),
                      Rgb3(mix, static_cast<int>(RoundHalfUp(86 * b, 100) + RoundHalfUp(14 * a, 100)), mix))
                << a << "," << b;
            ASSERT_EQ(lk::MidRgb(Rgb3(a, a, a), Rgb3(b, b, b)), Rgb3(mid, mid, mid)) << a << "," << b;
        }
    }
}

// The gray level against the exact rational with ties to even, over every colour with a stride on blue.
TEST(ColourRangeSweeps, GrayLevelMatchesExactRational) {
    for (int r = 0; r <= 255; ++r) {
        for (int g = 0; g <= 255; ++g) {
            for (int b = 0; b <= 255; b += 5) {
                int64_t num = 77 * r + 151 * g + 28 * b + 50;
                int64_t q = num / 256, rem = num % 256;
                int64_t expected = (rem > 128 || (rem == 128 && (q & 1))) ? q + 1 : q;
                ASSERT_EQ(lk::GrayLevel(Rgb3(r, g, b)), expected) << r << "," << g << "," << b;
            }
        }
    }
}

TEST(ColourChannelLayout, RedIsLowByteAndResultsHaveZeroHighByte) {
    EXPECT_EQ(lk::ChannelOf(0x00332211u, lk::kRedChannel), 0x11);
    EXPECT_EQ(lk::ChannelOf(0x00332211u, lk::kGreenChannel), 0x22);
    EXPECT_EQ(lk::ChannelOf(0x00332211u, lk::kBlueChannel), 0x33);
    EXPECT_EQ(lk::PackRgb(0x111, 0x122, 0x133), 0x00332211u);
    EXPECT_EQ(lk::LightenRgb(64, Rgb3(200, 0, 0)), Rgb3(214, 64, 64)); // channels are not mixed up
}

} // namespace
