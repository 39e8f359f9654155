// Portable colour arithmetic of Lustrekit: the exact integer rounding behind the exported colour functions.
#pragma once

#include <cstdint>

namespace lk {

// A colour as 0x00BBGGRR: red in bits 0-7, green in bits 8-15, blue in bits 16 and up (COLORREF layout).
using Rgb = uint32_t;

constexpr int kRedChannel = 0;
constexpr int kGreenChannel = 1;
constexpr int kBlueChannel = 2;
constexpr int kChannelMax = 255;

// Channel c (0 red, 1 green, 2 blue) of a colour; blue is every bit above bit 15, as the library reads it.
int ChannelOf(Rgb colour, int channel);

// Packs three channels as 0x00BBGGRR, each reduced to its low 8 bits.
Rgb PackRgb(int red, int green, int blue);

// a * b / c with a 64-bit product, rounded to nearest with halves away from zero (the Windows MulDiv rule).
// Returns -1 when c is 0 or the result does not fit 32 bits, as MulDiv does.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

// a / b rounded to nearest, ties to even (5/2 -> 2, 7/2 -> 4, -3/2 -> -2). b must not be 0 (returns 0 then).
int32_t DivRound(int32_t a, int32_t b);

// DivRound for 64-bit operands (exact: the quotient of the integers, ties to even).
int64_t DivRound64(int64_t a, int64_t b);

// a * b; kept as a named step because the colour formulas are written in terms of it.
int32_t MulRound(int32_t a, int32_t b);

// Each channel moved toward white by amount/255: c + MulDiv(255 - c, amount, 255).
Rgb LightenRgb(int32_t amount, Rgb colour);

// Each channel moved toward black by amount/255: MulDiv(c, 255 - amount, 255).
Rgb DarkenRgb(int32_t amount, Rgb colour);

// 86 % of a plus 14 % of b per channel, each term rounded on its own.
Rgb MixRgb(Rgb a, Rgb b);

// 70 % of a plus 30 % of b per channel, each term rounded on its own, held at 255.
Rgb MidRgb(Rgb a, Rgb b);

// Gray level 0..255: (77 r + 151 g + 28 b + 50) / 256, ties to even.
int32_t GrayLevel(Rgb colour);

// The XP-like selection colour: the window colour at 8 bits per pixel or less, else MidRgb(window, highlight).
Rgb XpHighlightRgb(Rgb window, Rgb highlight, int32_t bitsPerPixel);

} // namespace lk
