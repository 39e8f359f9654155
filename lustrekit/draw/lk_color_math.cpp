// Portable colour arithmetic of Lustrekit: the exact integer rounding behind the exported colour functions.
#include "lk_color_math.h"

#include <cstdlib>

namespace lk {

namespace {

constexpr int kMixMainPercent = 86;
constexpr int kMixOtherPercent = 14;
constexpr int kMidMainTenths = 7;
constexpr int kMidOtherTenths = 3;
constexpr int kGrayRedWeight = 77;
constexpr int kGrayGreenWeight = 151;
constexpr int kGrayBlueWeight = 28;
constexpr int kGrayLift = 50;
constexpr int kGrayScale = 256;
constexpr int kPaletteDepthBits = 8;

} // namespace

int ChannelOf(Rgb colour, int channel) {
    if (channel == kBlueChannel) {
        return static_cast<int>(colour >> 16); // the blue byte and everything above it
    }
    return static_cast<int>((colour >> (8 * channel)) & 0xFF);
}

Rgb PackRgb(int red, int green, int blue) {
    return (static_cast<Rgb>(red) & 0xFF) | ((static_cast<Rgb>(green) & 0xFF) << 8) |
           ((static_cast<Rgb>(blue) & 0xFF) << 16);
}

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    if (c == 0) {
        return -1;
    }
    int64_t product = static_cast<int64_t>(a) * b;
    int64_t divisor = c;
    bool negative = (product < 0) != (divisor < 0);
    uint64_t num = static_cast<uint64_t>(product < 0 ? -product : product);
    uint64_t den = static_cast<uint64_t>(divisor < 0 ? -divisor : divisor);
    uint64_t quotient = (num + den / 2) / den; // halves go away from zero: the magnitude rounds up
    if (quotient > 0x7FFFFFFFull) {
        return -1;
    }
    int64_t result = static_cast<int64_t>(quotient);
    return static_cast<int32_t>(negative ? -result : result);
}

int32_t DivRound(int32_t a, int32_t b) {
    // Exact integer form of rounding the floating-point quotient: for 32-bit operands no tie is lost.
    return static_cast<int32_t>(DivRound64(a, b));
}

int64_t DivRound64(int64_t a, int64_t b) {
    if (b == 0) {
        return 0;
    }
    int64_t num = a;
    int64_t den = b;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t floorQ = num / den;
    int64_t rem = num % den;
    if (rem < 0) {
        floorQ -= 1;
        rem += den;
    }
    int64_t twice = 2 * rem;
    if (twice > den || (twice == den && (floorQ & 1) != 0)) {
        floorQ += 1;
    }
    return floorQ;
}

int32_t MulRound(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<int64_t>(a) * b);
}

Rgb LightenRgb(int32_t amount, Rgb colour) {
    int out[3];
    for (int ch = 0; ch < 3; ++ch) {
        int c = ChannelOf(colour, ch);
        out[ch] = c + MulDivRound(kChannelMax - c, amount, kChannelMax);
    }
    return PackRgb(out[0], out[1], out[2]);
}

Rgb DarkenRgb(int32_t amount, Rgb colour) {
    int out[3];
    for (int ch = 0; ch < 3; ++ch) {
        int c = ChannelOf(colour, ch);
        out[ch] = MulDivRound(c, kChannelMax - amount, kChannelMax);
    }
    return PackRgb(out[0], out[1], out[2]);
}

Rgb MixRgb(Rgb a, Rgb b) {
    int out[3];
    for (int ch = 0; ch < 3; ++ch) {
        out[ch] =
            MulDivRound(kMixMainPercent, ChannelOf(a, ch), 100) + MulDivRound(kMixOtherPercent, ChannelOf(b, ch), 100);
    }
    return PackRgb(out[0], out[1], out[2]);
}

Rgb MidRgb(Rgb a, Rgb b) {
    int out[3];
    for (int ch = 0; ch < 3; ++ch) {
        int sum =
            MulDivRound(kMidMainTenths, ChannelOf(a, ch), 10) + MulDivRound(kMidOtherTenths, ChannelOf(b, ch), 10);
        out[ch] = sum > kChannelMax ? kChannelMax : sum; // 179 + 77 would wrap to 0 when packed
    }
    return PackRgb(out[0], out[1], out[2]);
}

int32_t GrayLevel(Rgb colour) {
    int32_t sum = MulRound(ChannelOf(colour, kRedChannel), kGrayRedWeight) +
                  MulRound(ChannelOf(colour, kGreenChannel), kGrayGreenWeight) +
                  MulRound(ChannelOf(colour, kBlueChannel), kGrayBlueWeight) + kGrayLift;
    return DivRound(sum, kGrayScale);
}

Rgb XpHighlightRgb(Rgb window, Rgb highlight, int32_t bitsPerPixel) {
    if (bitsPerPixel <= kPaletteDepthBits) {
        return window;
    }
    return MidRgb(window, highlight);
}

} // namespace lk
