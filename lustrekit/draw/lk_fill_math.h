// Portable fill arithmetic of Lustrekit: the pseudo-random sequence, fill-bitmap palettes and pattern pixels,
// and the colour steps of the own gradient renderer. Everything here is exact integer arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lk_color_math.h"

namespace lk {

// Pattern codes of the fill bitmaps; any other code gives a bitmap of palette entry 0.
enum FillPattern : int32_t {
    kFillNoise = 1,
    kFillCushion = 2,
    kFillHCubic = 3,
    kFillVCubic = 4,
    kFillVLinear = 5,
    kFillHLinear = 6,
    kFillDiagonal = 7,
    kFillCapsule = 8,
    kFillStrokes = 9,
};

enum class FillStatus {
    kOk,
    kEmptyRect,        // width or height is zero or negative
    kTooLarge,         // the image would not fit a 32-bit size
    kSizeUnsupported,  // the pattern would divide by zero at this size (capsule below height 2, strokes above 32,767)
    kDepthUnsupported, // the depth makes the noise divisor 0 (depth above 16,383)
    kBadLayout         // the layout's stride or size does not belong to its width and height
};

constexpr int kPaletteEntries = 256;
constexpr int kPaletteBytes = kPaletteEntries * 4; // blue, green, red, 0 per entry
constexpr int kRandomMax = 32767;
constexpr uint32_t kRandomInitialSeed = 12345678u;

// Size of one 8-bit fill image: rows padded to 4 bytes, stored bottom-up.
struct FillLayout {
    int32_t width = 0;       // pixels
    int32_t height = 0;      // pixels
    int32_t stride = 0;      // bytes per stored row
    uint32_t pixelBytes = 0; // height * stride
};

// Next value 0..32767 of the library's process-wide sequence (seed * 214013 + 2531011, bits 16-30).
int32_t NextRandom();

// Current seed of the sequence; 12,345,678 before the first draw.
uint32_t RandomSeed();

// Puts the sequence at a known seed; the library itself never reseeds (tests use this to replay images).
void SetRandomSeed(uint32_t seed);

// ((128 - i) * from_c + i * to_c) / 128 for channel c, integer division.
int32_t RampChannel(int32_t i, Rgb from, Rgb to, int channel);

// (value * (100 - percent) + colour_c * percent) / 100, truncating toward zero.
int32_t BlendChannel(int32_t value, Rgb colour, int32_t percent, int channel);

// Checks the size and depth against the pattern and fills in the layout; kOk when the image can be made.
FillStatus PrepareFillLayout(int32_t pattern, int32_t width, int32_t height, int32_t depth, FillLayout *layout);

// Builds the 256-entry palette (shadow toward face, then face toward highlight, tinted by the low byte of
// tintPercent) and, when hotPalette is not null, the hot palette blended toward highlight by the low byte of
// hotPercent. Each palette is kPaletteBytes long.
void BuildFillPalettes(Rgb shadow, Rgb face, Rgb highlight, int32_t tintPercent, Rgb tint, int32_t hotPercent,
                       uint8_t *palette, uint8_t *hotPalette);

// Writes the palette indices of a pattern into pixels (layout.pixelBytes long, first row = bottom line),
// drawing random numbers in the pattern's fixed order. The layout must come from PrepareFillLayout.
FillStatus RenderFillPixels(int32_t pattern, int32_t depth, const FillLayout &layout, uint8_t *pixels);

// Colour of step i of n of a gradient from c1 to c2: c1_c - round(i/n * (c1_c - c2_c)), ties to even.
Rgb GradientStepColor(int32_t i, int32_t n, Rgb c1, Rgb c2);

} // namespace lk
