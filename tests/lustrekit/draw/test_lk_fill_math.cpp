// Tests of Lustrekit's portable fill arithmetic: the random sequence, palettes, every pattern's pixel indices
// (replayed against an independent transcription of the formulas) and the gradient steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "lk_fill_math.h"

namespace {

using lk::Rgb;

Rgb Rgb3(int r, int g, int b) {
    return lk::PackRgb(r, g, b);
}

// The generator written out on its own, so a wrong constant or shift in the library shows.
struct ReferenceRandom {
    uint32_t seed;
    int64_t Next() {
        seed = seed * 214013u + 2531011u;
        return (seed >> 16) & 0x7FFF;
    }
};

// Pixels indexed [stored row from the bottom][column], as the formulas state them.
using Image = std::vector<std::vector<int64_t>>;

// The patterns transcribed straight from their formulas, with random numbers drawn in the stated order.
Image ReferencePattern(int pattern, int64_t w, int64_t h, int64_t b, uint32_t seed) {
    ReferenceRandom rnd{seed};
    Image img(h, std::vector<int64_t>(w, 0));
    const int64_t d = 32767 / std::max<int64_t>(1, 2 * b);
    auto noise = [&] { return rnd.Next() / d - (b & 0xFF); };
    auto cube = [](int64_t v) { return v * v * v / 128 / 128; };
    auto rowMajor = [&](auto pixelValue, bool withNoise) {
        for (int64_t y = 0; y < h; ++y)
            for (int64_t x = 0; x < w; ++x)
                img[y][x] = pixelValue(x, y) + (withNoise ? noise() : 0);
    };
    switch (pattern) {
    case 1:
        rowMajor([&](int64_t, int64_t) { return rnd.Next() / d + 128 - b; }, false);
        break;
    case 2:
        rowMajor(
            [&](int64_t x, int64_t y) {
                int64_t k = (128 - b) * (cube(y * 255 / h - 127) + cube((w - x) * 255 / w - 127)) / 128 + 128;
                int64_t out = k < b ? b : k;
                return k > 255 - b ? 255 - b : out;
            },
            true);
        break;
    case 3:
        for (int64_t x = 0; x < w; ++x)
            for (int64_t y = 0; y < h; ++y)
                img[y][x] = (128 - b) * cube((w - x) * 255 / w - 127) / 128 + 128 + noise();
        break;
    case 4:
        rowMajor([&](int64_t, int64_t y) { return (128 - b) * cube(y * 255 / h - 127) / 128 + 128; }, true);
        break;
    case 5:
        rowMajor([&](int64_t, int64_t y) { return (255 - 2 * b) * y / h + b; }, true);
        break;
    case 6:
        for (int64_t x = 0; x < w; ++x)
            for (int64_t y = 0; y < h; ++y)
                img[y][x] = (w - x) * (255 - 2 * b) / w + b + noise();
        break;
    case 7: {
        int64_t m = (255 - 2 * b) / 2;
        rowMajor([&](int64_t x, int64_t y) { return m * y / h + b + (w - x) * m / w; }, true);
        break;
    }
    case 8: {
        int64_t g = std::min<int64_t>(w / 6, 16), q = h * h / 4;
        rowMajor(
            [&](int64_t x, int64_t y) {
                int64_t v = (128 - 2 * b) * cube(y * 255 / h - 127) / 128 + 128;
                int64_t dy = y - h / 2, dx = x - w / 2, e = w / 2 - g + dy * dy * g / q;
                if (g && dx > e)
                    v = b + (((w - x) * 128 / g) & 0xFF);
                if (g && dx + e < 0)
                    v = (255 - b) - ((x * 128 / g) & 0xFF);
                return v;
            },
            true);
        break;
    }
    case 9: {
        // Strokes by line from the top; kept only where the point is on the image.
        for (int s = 0; s < 200; ++s) {
            int64_t cx = rnd.Next() / (32767 / w), cy = rnd.Next() / (32767 / h);
            int64_t len = (rnd.Next() / (32767 / std::min(w, h))) / 2, v = rnd.Next() / 819;
            for (int64_t j = 0; j == 0 || j < len; ++j) {
                if (cx - j > 0 && cy + j < h && cx - j < w)
                    img[h - 1 - (cy + j)][cx - j] = v;
                if (cx + j < w && cy - j > 0 && cy - j < h)
                    img[h - 1 - (cy - j)][cx + j] = v;
            }
        }
        int64_t m = (255 - 2 * b - 40) / 2;
        for (int64_t y = 0; y < h; ++y)
            for (int64_t x = 0; x < w; ++x)
                img[y][x] = (int64_t(uint8_t(img[y][x] + m * y / h + (w - x) * m / w))) + rnd.Next() / d;
        break;
    }
    default:
        break;
    }
    return img;
}

struct Rendered {
    lk::FillLayout layout;
    std::vector<uint8_t> pixels;
    int At(int x, int y) const { return pixels[size_t(y) * layout.stride + x]; }
};

Rendered Render(int pattern, int w, int h, int depth, uint32_t seed) {
    Rendered r;
    EXPECT_EQ(lk::PrepareFillLayout(pattern, w, h, depth, &r.layout), lk::FillStatus::kOk);
    r.pixels.assign(r.layout.pixelBytes, 0xEE); // exact size: any write past it trips the sanitizer
    lk::SetRandomSeed(seed);
    EXPECT_EQ(lk::RenderFillPixels(pattern, depth, r.layout, r.pixels.data()), lk::FillStatus::kOk);
    return r;
}

void ExpectMatchesReference(int pattern, int w, int h, int depth, uint32_t seed) {
    Rendered r = Render(pattern, w, h, depth, seed);
    Image ref = ReferencePattern(pattern, w, h, depth, seed);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(r.At(x, y), uint8_t(ref[y][x]))
                << "pattern " << pattern << " " << w << "x" << h << " depth " << depth << " at x " << x << " y " << y;
        }
    }
}

TEST(RandomSequenceFaults, StartsAtFixedSeedAndFollowsTheRecurrence) {
    EXPECT_EQ(lk::kRandomInitialSeed, 12345678u);
    lk::SetRandomSeed(lk::kRandomInitialSeed);
    ReferenceRandom ref{12345678u};
    for (int i = 0; i < 10000; ++i) {
        int32_t v = lk::NextRandom();
        ASSERT_EQ(v, ref.Next());
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
    EXPECT_EQ(lk::RandomSeed(), ref.seed);
    lk::SetRandomSeed(0);
    EXPECT_EQ(lk::NextRandom(), 38); // 2531011 >> 16
}

TEST(PaletteFaults, RampAndBlendChannelsTruncate) {
    EXPECT_EQ(lk::RampChannel(0, Rgb3(10, 0, 0), Rgb3(200, 0, 0), lk::kRedChannel), 10);
    EXPECT_EQ(lk::RampChannel(128, Rgb3(10, 0, 0), Rgb3(200, 0, 0), lk::kRedChannel), 200);
    EXPECT_EQ(lk::RampChannel(1, Rgb3(0, 0, 0), Rgb3(0, 0, 255), lk::kBlueChannel), 1); // 1.99
    EXPECT_EQ(lk::BlendChannel(100, Rgb3(0, 201, 0), 50, lk::kGreenChannel), 150);      // 150.5
    EXPECT_EQ(lk::BlendChannel(100, Rgb3(0, 0, 0), 200, lk::kRedChannel), -100);
    EXPECT_EQ(lk::BlendChannel(1, Rgb3(0, 0, 0), 150, lk::kRedChannel), 0); // -0.5 truncates toward zero
}

// Shadow black, face mid-gray, highlight white make the palette the identity: entry k is gray k.
TEST(PaletteFaults, GrayRampIsIdentityWithFaceOverwrittenAtEntry128) {
    std::vector<uint8_t> pal(lk::kPaletteBytes, 0xAA);
    lk::BuildFillPalettes(Rgb3(0, 0, 0), Rgb3(128, 128, 128), Rgb3(255, 255, 255), 0, 0, 0, pal.data(), nullptr);
    for (int k = 0; k < 256; ++k) {
        EXPECT_EQ(pal[k * 4 + 0], k);
        EXPECT_EQ(pal[k * 4 + 1], k);
        EXPECT_EQ(pal[k * 4 + 2], k);
        EXPECT_EQ(pal[k * 4 + 3], 0);
    }
}

TEST(PaletteFaults, EntriesAreBlueGreenRedAndEndsAreShadowAndHighlight) {
    const Rgb shadow = Rgb3(10, 20, 30), face = Rgb3(100, 110, 120), highlight = Rgb3(250, 240, 230);
    std::vector<uint8_t> pal(lk::kPaletteBytes);
    lk::BuildFillPalettes(shadow, face, highlight, 0, 0, 0, pal.data(), nullptr);
    EXPECT_EQ(pal[0], 30);
    EXPECT_EQ(pal[1], 20);
    EXPECT_EQ(pal[2], 10);
    EXPECT_EQ(pal[255 * 4 + 0], 230);
    EXPECT_EQ(pal[255 * 4 + 2], 250);
    // Entry 128 is one step past the face toward the highlight, not the face itself.
    EXPECT_EQ(pal[128 * 4 + 2], (127 * 100 + 250) / 128);
    EXPECT_EQ(pal[127 * 4 + 2], (1 * 10 + 127 * 100) / 128);
}

TEST(PaletteFaults, FullTintMakesEveryEntryTheTint) {
    std::vector<uint8_t> pal(lk::kPaletteBytes), hot(lk::kPaletteBytes, 0x55);
    const Rgb tint = Rgb3(12, 34, 56);
    lk::BuildFillPalettes(Rgb3(1, 2, 3), Rgb3(100, 110, 120), Rgb3(250, 240, 230), 100 + 0x300, tint, 0, pal.data(),
                          hot.data());
    for (int k = 0; k < 256; ++k) {
        ASSERT_EQ(pal[k * 4 + 0], 56);
        ASSERT_EQ(pal[k * 4 + 1], 34);
        ASSERT_EQ(pal[k * 4 + 2], 12);
    }
    EXPECT_EQ(hot[0], 0x55) << "hotPercent 0 must leave the hot palette alone";
}

TEST(PaletteFaults, HotPaletteBlendsTintedEntriesTowardHighlightByLowByte) {
    const Rgb shadow = Rgb3(40, 50, 60), face = Rgb3(120, 130, 140), highlight = Rgb3(255, 250, 245);
    const Rgb tint = Rgb3(200, 0, 100);
    std::vector<uint8_t> pal(lk::kPaletteBytes), hot(lk::kPaletteBytes);
    lk::BuildFillPalettes(shadow, face, highlight, 20, tint, 0x105, pal.data(), hot.data());
    for (int k = 0; k < 256; ++k) {
        for (int ch = 0; ch < 3; ++ch) {
            int v = k <= 127 ? lk::RampChannel(k, shadow, face, ch) : lk::RampChannel(k - 127, face, highlight, ch);
            v = lk::BlendChannel(v, tint, 20, ch);
            ASSERT_EQ(pal[k * 4 + 2 - ch], v) << k;
            ASSERT_EQ(hot[k * 4 + 2 - ch], lk::BlendChannel(v, highlight, 5, ch)) << k;
        }
    }
}

TEST(FillLayoutFaults, StrideIsPaddedToFourBytes) {
    lk::FillLayout layout;
    ASSERT_EQ(lk::PrepareFillLayout(1, 1, 3, 0, &layout), lk::FillStatus::kOk);
    EXPECT_EQ(layout.stride, 4);
    EXPECT_EQ(layout.pixelBytes, 12u);
    ASSERT_EQ(lk::PrepareFillLayout(1, 5, 2, 0, &layout), lk::FillStatus::kOk);
    EXPECT_EQ(layout.stride, 8);
    ASSERT_EQ(lk::PrepareFillLayout(1, 128, 128, 45, &layout), lk::FillStatus::kOk);
    EXPECT_EQ(layout.stride, 128);
}

TEST(FillLayoutFaults, SizesThatWouldDivideByZeroOrOverflowAreRefused) {
    lk::FillLayout layout;
    EXPECT_EQ(lk::PrepareFillLayout(1, 0, 10, 0, &layout), lk::FillStatus::kEmptyRect);
    EXPECT_EQ(lk::PrepareFillLayout(1, 10, -1, 0, &layout), lk::FillStatus::kEmptyRect);
    EXPECT_EQ(lk::PrepareFillLayout(8, 10, 1, 0, &layout), lk::FillStatus::kSizeUnsupported);
    EXPECT_EQ(lk::PrepareFillLayout(8, 10, 2, 0, &layout), lk::FillStatus::kOk);
    EXPECT_EQ(lk::PrepareFillLayout(9, 32768, 1, 0, &layout), lk::FillStatus::kSizeUnsupported);
    EXPECT_EQ(lk::PrepareFillLayout(9, 1, 32768, 0, &layout), lk::FillStatus::kSizeUnsupported);
    EXPECT_EQ(lk::PrepareFillLayout(1, 32768, 1, 0, &layout), lk::FillStatus::kOk);
    EXPECT_EQ(lk::PrepareFillLayout(1, 10, 10, 16384, &layout), lk::FillStatus::kDepthUnsupported);
    EXPECT_EQ(lk::PrepareFillLayout(1, 10, 10, 16383, &layout), lk::FillStatus::kOk);
    EXPECT_EQ(lk::PrepareFillLayout(0, 10, 10, 16384, &layout), lk::FillStatus::kOk); // no noise, no divisor
    EXPECT_EQ(lk::PrepareFillLayout(1, 0x7FFFFFFF, 0x7FFFFFFF, 0, &layout), lk::FillStatus::kTooLarge);
    EXPECT_EQ(lk::PrepareFillLayout(1, 10, 10, -5, &layout), lk::FillStatus::kOk);
}

TEST(FillLayoutFaults, ForgedLayoutIsRefusedBeforeAnyWrite) {
    lk::FillLayout layout;
    ASSERT_EQ(lk::PrepareFillLayout(1, 8, 8, 0, &layout), lk::FillStatus::kOk);
    std::vector<uint8_t> pixels(layout.pixelBytes, 0xEE);
    layout.height = 9; // stride * height no longer matches pixelBytes
    EXPECT_EQ(lk::RenderFillPixels(1, 0, layout, pixels.data()), lk::FillStatus::kBadLayout);
    EXPECT_EQ(pixels[0], 0xEE);
}

TEST(PatternIndexFaults, ApplicationNoiseTileStaysIn83To173) {
    Rendered r = Render(lk::kFillNoise, 128, 128, 45, lk::kRandomInitialSeed);
    int low = 255, high = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            low = std::min(low, r.At(x, y));
            high = std::max(high, r.At(x, y));
        }
    EXPECT_GE(low, 83);
    EXPECT_LE(high, 173);
    EXPECT_LT(low, 90); // the whole range is used, not a narrowed one
    EXPECT_GT(high, 166);
}

TEST(PatternIndexFaults, VLinearDepth0RowYHasIndexY) {
    Rendered r = Render(lk::kFillVLinear, 3, 255, 0, 99u);
    ReferenceRandom rnd{99u};
    for (int y = 0; y < 255; ++y)
        for (int x = 0; x < 3; ++x)
            ASSERT_EQ(r.At(x, y), y + (rnd.Next() == 32767 ? 1 : 0)) << "row " << y;
}

TEST(PatternIndexFaults, UnknownPatternsAreEntryZeroAndDrawNoRandomNumbers) {
    for (int pattern : {0, 10, -3}) {
        Rendered r = Render(pattern, 7, 5, 45, 777u);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(r.At(x, y), 0);
        EXPECT_EQ(lk::RandomSeed(), 777u);
    }
}

// Every pattern, replayed against the transcription: odd sizes, padded strides, depths at both ends.
TEST(PatternIndexFaults, EveryPatternMatchesItsFormulaAndDrawOrder) {
    const int sizes[][2] = {{128, 128}, {37, 19}, {5, 9}, {1, 1}, {200, 7}, {6, 40}, {97, 2}};
    for (int pattern = 1; pattern <= 9; ++pattern) {
        for (const auto &s : sizes) {
            if (pattern == 8 && s[1] < 2) {
                continue;
            }
            for (int depth : {0, 5, 45, 127}) {
                ExpectMatchesReference(pattern, s[0], s[1], depth, 12345678u + pattern * 1000 + depth);
            }
        }
    }
}

TEST(PatternIndexFaults, ColumnMajorPatternsDrawNoiseDownEachColumn) {
    // Noise of pattern 6 (depth 45) at (x, y) is random number x * h + y, not y * w + x.
    Rendered r = Render(lk::kFillHLinear, 4, 3, 45, 5u);
    ReferenceRandom rnd{5u};
    const int d = 32767 / 90;
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 3; ++y)
            ASSERT_EQ(r.At(x, y), uint8_t((4 - x) * 165 / 4 + 45 + rnd.Next() / d - 45));
}

TEST(PatternIndexFaults, CapsuleEndsAreLightLeftAndDarkRight) {
    Rendered r = Render(lk::kFillCapsule, 120, 30, 0, 1u);
    const int mid = 15;
    // g = 16: the middle row's end zones are about 16 pixels wide; noise at depth 0 is 0 or 1.
    EXPECT_GE(r.At(0, mid), 255 - 1);                       // (255 - 0) - 0
    EXPECT_LE(r.At(119, mid), ((1 * 128 / 16) & 0xFF) + 1); // b + (w - x) * 128 / g
    EXPECT_NEAR(r.At(60, mid), 128, 1);                     // the cubic body in the middle
}

TEST(PatternIndexFaults, NarrowCapsuleHasNoEnds) {
    // w < 6 gives g = 0: the end formulas (which divide by g) must not be reached.
    Rendered r = Render(lk::kFillCapsule, 5, 8, 10, 3u);
    ReferenceRandom rnd{3u};
    for (int y = 0; y < 8; ++y) {
        int64_t i = y * 255 / 8 - 127;
        int64_t k = (128 - 20) * (i * i * i / 16384) / 128 + 128;
        for (int x = 0; x < 5; ++x)
            ASSERT_EQ(r.At(x, y), uint8_t(k + rnd.Next() / (32767 / 20) - 10)) << x << "," << y;
    }
}

// Strokes centred at x == w or y == h once wrote one pixel past the image; the sanitizer and the exact-size
// buffer catch any such write over many seeds.
TEST(PatternIndexFaults, StrokesNeverWriteOutsideTheImage) {
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        for (const auto &s : {std::pair<int, int>{128, 128}, {200, 13}, {3, 3}, {1, 50}}) {
            Rendered r = Render(lk::kFillStrokes, s.first, s.second, 3, seed);
            ASSERT_EQ(r.pixels.size(), r.layout.pixelBytes);
            for (int y = 0; y < s.second; ++y)
                for (int x = s.first; x < r.layout.stride; ++x)
                    ASSERT_EQ(r.At(x, y), 0) << "row padding written, seed " << seed;
        }
    }
}

TEST(GradientStepFaults, BlackToWhiteOverFourRows) {
    const Rgb black = Rgb3(0, 0, 0), white = Rgb3(255, 255, 255);
    EXPECT_EQ(lk::GradientStepColor(0, 4, black, white), Rgb3(0, 0, 0));
    EXPECT_EQ(lk::GradientStepColor(1, 4, black, white), Rgb3(64, 64, 64));
    EXPECT_EQ(lk::GradientStepColor(2, 4, black, white), Rgb3(128, 128, 128)); // -127.5 rounds to even -128
    EXPECT_EQ(lk::GradientStepColor(3, 4, black, white), Rgb3(191, 191, 191));
    EXPECT_EQ(lk::GradientStepColor(2, 4, white, black), Rgb3(127, 127, 127)); // 255 - 128
}

TEST(GradientStepFaults, StepsRoundTheDoubleProductHalfEvenAndStopShortOfColour2) {
    // Exact ties (n a power of two) round to even, whatever the channel.
    for (int n : {2, 4, 8, 16, 64}) {
        for (int i = 0; i < n; ++i) {
            for (int c1 : {0, 1, 100, 255}) {
                for (int c2 : {0, 3, 128, 255}) {
                    int64_t num = int64_t(i) * (c1 - c2);
                    int64_t r = int64_t(std::floor(double(num) / n));
                    int64_t twice = 2 * (num - r * n);
                    if (twice > n || (twice == n && (r & 1)))
                        ++r;
                    ASSERT_EQ(lk::GradientStepColor(i, n, Rgb3(c1, 0, 0), Rgb3(c2, 0, 0)), Rgb3(int(c1 - r), 0, 0))
                        << i << "/" << n << " " << c1 << "->" << c2;
                }
            }
        }
    }
    // t = 23 / 40 is not representable: 0.575 * 100 is 57.49999999999999 in doubles, so the step is 43, not the
    // 42 that the exact rational 57.5 would give after rounding to even.
    EXPECT_EQ(lk::GradientStepColor(23, 40, Rgb3(100, 0, 0), Rgb3(0, 0, 0)), Rgb3(43, 0, 0));
    for (int n = 2; n <= 70; ++n)
        EXPECT_NE(lk::GradientStepColor(n - 1, n, Rgb3(0, 0, 0), Rgb3(255, 0, 0)), Rgb3(255, 0, 0));
}

} // namespace
