// Portable fill arithmetic of Lustrekit: the pseudo-random sequence, fill-bitmap palettes and pattern pixels,
// and the colour steps of the own gradient renderer. All but the gradient steps is exact integer arithmetic.
#include "lk_fill_math.h"

#include <cmath>
#include <cstring>

namespace lk {

namespace {

constexpr uint32_t kRandomMultiplier = 214013u;
constexpr uint32_t kRandomIncrement = 2531011u;
constexpr int32_t kRampSteps = 128;
constexpr int32_t kPaletteMiddle = 128;
constexpr int32_t kLastIndex = 255;
constexpr int32_t kCubeScale = 128;
constexpr int32_t kCapsuleMaxEnd = 16;
constexpr int32_t kCapsuleEndDivisor = 6;
constexpr int32_t kStrokeCount = 200;
constexpr int32_t kStrokeValueDivisor = 819; // gives stroke values 0..40
constexpr int32_t kStrokeValueMax = 40;
constexpr int32_t kMaxStrokeSide = 32767;
constexpr uint64_t kMaxImageBytes = 0x7FFFFFFFull;

// Process-wide generator state; the user-interface thread is its only user.
uint32_t g_dwRandomSeed = kRandomInitialSeed;

// Pixels and the terms of every pattern, in 64 bits so that no size overflows; stored as their low 8 bits.
struct Canvas {
    const FillLayout &layout;
    uint8_t *pixels;
    int64_t depth;        // b
    int64_t noiseDivisor; // D

    uint8_t &At(int64_t x, int64_t y) const { return pixels[y * layout.stride + x]; }
    void Set(int64_t x, int64_t y, int64_t value) const { At(x, y) = static_cast<uint8_t>(value); }
    void AddNoise(int64_t x, int64_t y) const { Set(x, y, At(x, y) + NoiseTerm()); }
    int64_t NoiseTerm() const { return NextRandom() / noiseDivisor - (depth & 0xFF); }
};

int64_t Cube(int64_t v) {
    return v * v * v / kCubeScale / kCubeScale;
}

// Cubic shading term of one row or column: position p of n, light at the high end.
int64_t CubicShade(int64_t p, int64_t n, int64_t strength) {
    int64_t i = p * kLastIndex / n - 127;
    return strength * Cube(i) / kRampSteps + kPaletteMiddle;
}

void RenderNoise(const Canvas &cv) {
    for (int64_t y = 0; y < cv.layout.height; ++y) {
        for (int64_t x = 0; x < cv.layout.width; ++x) {
            cv.Set(x, y, NextRandom() / cv.noiseDivisor + kPaletteMiddle - cv.depth);
        }
    }
}

void RenderCushion(const Canvas &cv) {
    const int64_t w = cv.layout.width, h = cv.layout.height, b = cv.depth;
    for (int64_t y = 0; y < h; ++y) {
        int64_t i = y * kLastIndex / h - 127;
        for (int64_t x = 0; x < w; ++x) {
            int64_t j = (w - x) * kLastIndex / w - 127;
            int64_t k = (kRampSteps - b) * (Cube(i) + Cube(j)) / kRampSteps + kPaletteMiddle;
            int64_t clamped = k;
            if (k < b) {
                clamped = b;
            }
            if (k > kLastIndex - b) {
                clamped = kLastIndex - b;
            }
            cv.Set(x, y, clamped);
            cv.AddNoise(x, y);
        }
    }
}

void RenderHCubic(const Canvas &cv) {
    const int64_t w = cv.layout.width, h = cv.layout.height;
    for (int64_t x = 0; x < w; ++x) {
        int64_t k = CubicShade(w - x, w, kRampSteps - cv.depth);
        for (int64_t y = 0; y < h; ++y) {
            cv.Set(x, y, k);
            cv.AddNoise(x, y);
        }
    }
}

void RenderVCubic(const Canvas &cv, int64_t strength, bool withNoise) {
    const int64_t w = cv.layout.width, h = cv.layout.height;
    for (int64_t y = 0; y < h; ++y) {
        int64_t k = CubicShade(y, h, strength);
        for (int64_t x = 0; x < w; ++x) {
            cv.Set(x, y, k);
            if (withNoise) {
                cv.AddNoise(x, y);
            }
        }
    }
}

void RenderVLinear(const Canvas &cv) {
    const int64_t w = cv.layout.width, h = cv.layout.height, b = cv.depth;
    for (int64_t y = 0; y < h; ++y) {
        int64_t k = (kLastIndex - 2 * b) * y / h + b;
        for (int64_t x = 0; x < w; ++x) {
            cv.Set(x, y, k);
            cv.AddNoise(x, y);
        }
    }
}

void RenderHLinear(const Canvas &cv) {
    const int64_t w = cv.layout.width, h = cv.layout.height, b = cv.depth;
    for (int64_t x = 0; x < w; ++x) {
        int64_t k = (w - x) * (kLastIndex - 2 * b) / w + b;
        for (int64_t y = 0; y < h; ++y) {
            cv.Set(x, y, k);
            cv.AddNoise(x, y);
        }
    }
}

void RenderDiagonal(const Canvas &cv) {
    const int64_t w = cv.layout.width, h = cv.layout.height, b = cv.depth;
    const int64_t m = (kLastIndex - 2 * b) / 2;
    for (int64_t y = 0; y < h; ++y) {
        for (int64_t x = 0; x < w; ++x) {
            cv.Set(x, y, m * y / h + b + (w - x) * m / w);
            cv.AddNoise(x, y);
        }
    }
}

// Pattern 4 with stronger shading, then parabolic ends (light left, dark right), then noise on every pixel.
void RenderCapsule(const Canvas &cv) {
    const int64_t w = cv.layout.width, h = cv.layout.height, b = cv.depth;
    RenderVCubic(cv, kRampSteps - 2 * b, false);
    int64_t g = w / kCapsuleEndDivisor;
    if (g > kCapsuleMaxEnd) {
        g = kCapsuleMaxEnd;
    }
    const int64_t q = h * h / 4; // h >= 2, so q >= 1
    for (int64_t y = 0; y < h; ++y) {
        int64_t dy = y - h / 2;
        for (int64_t x = 0; x < w; ++x) {
            int64_t dx = x - w / 2;
            int64_t e = w / 2 - g + dy * dy * g / q;
            // With g == 0 (w < 6) neither end test can hold, so the divisions by g are never reached.
            if (g > 0 && dx > e) {
                cv.Set(x, y, b + (((w - x) * kRampSteps / g) & 0xFF));
            }
            if (g > 0 && dx + e < 0) {
                cv.Set(x, y, (kLastIndex - b) - ((x * kRampSteps / g) & 0xFF));
            }
            cv.AddNoise(x, y);
        }
    }
}

// One stroke pixel, given by column and line counted from the top; points off the image are skipped.
void SetStrokePixel(const Canvas &cv, int64_t column, int64_t line, int64_t value) {
    if (column < 0 || column >= cv.layout.width || line < 0 || line >= cv.layout.height) {
        return;
    }
    cv.Set(column, cv.layout.height - 1 - line, value);
}

void RenderStrokes(const Canvas &cv) {
    const int64_t w = cv.layout.width, h = cv.layout.height, b = cv.depth;
    const int64_t m = w < h ? w : h;
    for (int32_t s = 0; s < kStrokeCount; ++s) {
        int64_t cx = NextRandom() / (kMaxStrokeSide / w);
        int64_t cy = NextRandom() / (kMaxStrokeSide / h);
        int64_t len = (NextRandom() / (kMaxStrokeSide / m)) / 2;
        int64_t v = NextRandom() / kStrokeValueDivisor;
        int64_t j = 0;
        do {
            // cx and cy can reach w and h (32767 / (32767 / w) >= w): SetStrokePixel keeps them inside.
            if (cx - j > 0 && cy + j < h) {
                SetStrokePixel(cv, cx - j, cy + j, v);
            }
            if (cx + j < w && cy - j > 0) {
                SetStrokePixel(cv, cx + j, cy - j, v);
            }
            ++j;
        } while (j < len);
    }
    const int64_t ramp = (kLastIndex - 2 * b - kStrokeValueMax) / 2;
    for (int64_t y = 0; y < h; ++y) {
        for (int64_t x = 0; x < w; ++x) {
            cv.Set(x, y, cv.At(x, y) + ramp * y / h + (w - x) * ramp / w);
            cv.Set(x, y, cv.At(x, y) + NextRandom() / cv.noiseDivisor);
        }
    }
}

int64_t NoiseDivisor(int32_t depth) {
    int64_t twice = 2 * static_cast<int64_t>(depth);
    return kRandomMax / (twice > 1 ? twice : 1);
}

} // namespace

int32_t NextRandom() {
    g_dwRandomSeed = g_dwRandomSeed * kRandomMultiplier + kRandomIncrement;
    return static_cast<int32_t>((g_dwRandomSeed >> 16) & 0x7FFF);
}

uint32_t RandomSeed() {
    return g_dwRandomSeed;
}

void SetRandomSeed(uint32_t seed) {
    g_dwRandomSeed = seed;
}

int32_t RampChannel(int32_t i, Rgb from, Rgb to, int channel) {
    int64_t v = (static_cast<int64_t>(kRampSteps) - i) * ChannelOf(from, channel) +
                static_cast<int64_t>(i) * ChannelOf(to, channel);
    return static_cast<int32_t>(v / kRampSteps);
}

int32_t BlendChannel(int32_t value, Rgb colour, int32_t percent, int channel) {
    int64_t v = static_cast<int64_t>(value) * (100 - static_cast<int64_t>(percent)) +
                static_cast<int64_t>(ChannelOf(colour, channel)) * percent;
    return static_cast<int32_t>(v / 100);
}

FillStatus PrepareFillLayout(int32_t pattern, int32_t width, int32_t height, int32_t depth, FillLayout *layout) {
    if (width <= 0 || height <= 0) {
        return FillStatus::kEmptyRect;
    }
    uint64_t stride = ((8ull * static_cast<uint64_t>(width) + 31) / 32) * 4;
    uint64_t bytes = stride * static_cast<uint64_t>(height);
    if (bytes > kMaxImageBytes) {
        return FillStatus::kTooLarge;
    }
    if (pattern == kFillCapsule && height < 2) {
        return FillStatus::kSizeUnsupported;
    }
    if (pattern == kFillStrokes && (width > kMaxStrokeSide || height > kMaxStrokeSide)) {
        return FillStatus::kSizeUnsupported;
    }
    bool usesNoise = pattern >= kFillNoise && pattern <= kFillStrokes;
    if (usesNoise && NoiseDivisor(depth) == 0) {
        return FillStatus::kDepthUnsupported;
    }
    layout->width = width;
    layout->height = height;
    layout->stride = static_cast<int32_t>(stride);
    layout->pixelBytes = static_cast<uint32_t>(bytes);
    return FillStatus::kOk;
}

void BuildFillPalettes(Rgb shadow, Rgb face, Rgb highlight, int32_t tintPercent, Rgb tint, int32_t hotPercent,
                       uint8_t *palette, uint8_t *hotPalette) {
    const int32_t tintP = tintPercent & 0xFF;
    const int32_t hotP = hotPercent & 0xFF;
    auto store = [&](int32_t entry, int32_t i, Rgb from, Rgb to) {
        palette[entry * 4 + 3] = 0;
        if (hotP != 0 && hotPalette != nullptr) {
            hotPalette[entry * 4 + 3] = 0;
        }
        for (int ch = 0; ch < 3; ++ch) {
            int32_t v = RampChannel(i, from, to, ch);
            if (tintP != 0) {
                v = BlendChannel(v, tint, tintP, ch);
            }
            // Entries are blue, green, red, 0: channel c lands at byte 2 - c.
            if (hotP != 0 && hotPalette != nullptr) {
                hotPalette[entry * 4 + 2 - ch] = static_cast<uint8_t>(BlendChannel(v, highlight, hotP, ch));
            }
            palette[entry * 4 + 2 - ch] = static_cast<uint8_t>(v);
        }
    };
    for (int32_t i = 0; i <= kRampSteps; ++i) {
        store(i, i, shadow, face);
    }
    for (int32_t i = 1; i <= kRampSteps; ++i) {
        store(kRampSteps - 1 + i, i, face, highlight);
    }
}

FillStatus RenderFillPixels(int32_t pattern, int32_t depth, const FillLayout &layout, uint8_t *pixels) {
    FillLayout check;
    FillStatus status = PrepareFillLayout(pattern, layout.width, layout.height, depth, &check);
    if (status != FillStatus::kOk) {
        return status;
    }
    if (check.stride != layout.stride || check.pixelBytes != layout.pixelBytes) {
        return FillStatus::kBadLayout; // a layout not made by PrepareFillLayout could point past the pixels
    }
    std::memset(pixels, 0, layout.pixelBytes);
    const Canvas cv{layout, pixels, depth, NoiseDivisor(depth)};
    switch (pattern) {
    case kFillNoise:
        RenderNoise(cv);
        break;
    case kFillCushion:
        RenderCushion(cv);
        break;
    case kFillHCubic:
        RenderHCubic(cv);
        break;
    case kFillVCubic:
        RenderVCubic(cv, kRampSteps - cv.depth, true);
        break;
    case kFillVLinear:
        RenderVLinear(cv);
        break;
    case kFillHLinear:
        RenderHLinear(cv);
        break;
    case kFillDiagonal:
        RenderDiagonal(cv);
        break;
    case kFillCapsule:
        RenderCapsule(cv);
        break;
    case kFillStrokes:
        RenderStrokes(cv);
        break;
    default:
        break; // no pattern: every pixel stays palette entry 0
    }
    return FillStatus::kOk;
}

Rgb GradientStepColor(int32_t i, int32_t n, Rgb c1, Rgb c2) {
    if (n <= 0) {
        return PackRgb(ChannelOf(c1, kRedChannel), ChannelOf(c1, kGreenChannel), ChannelOf(c1, kBlueChannel));
    }
    int out[3];
    for (int ch = 0; ch < 3; ++ch) {
        int64_t c1c = ChannelOf(c1, ch);
        int64_t c2c = ChannelOf(c2, ch);
        // t = i / n in double precision; the product rounds to nearest, ties to even (SSE2 doubles on every
        // build, so no extended-precision intermediate moves a tie).
        const double t = static_cast<double>(i) / n;
        out[ch] = static_cast<int>(c1c - static_cast<int64_t>(std::nearbyint(t * static_cast<double>(c1c - c2c))));
    }
    return PackRgb(out[0], out[1], out[2]);
}

} // namespace lk
