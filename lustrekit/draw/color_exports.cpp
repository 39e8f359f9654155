// Lustrekit exports of the colour functions: thin Win32 wrappers over the portable colour arithmetic.
#define LUSTREKIT_BUILDING
#include "lustrekit.h"

#include "lk_color_math.h"

namespace {

// GetDeviceCaps reports -1 when the capability cannot be read.
constexpr int kUnreadableBits = -1;
constexpr int kFallbackBits = 8;

} // namespace

COLORREF WINAPI LightenColor(int amount, COLORREF colour) {
    return lk::LightenRgb(amount, colour);
}

COLORREF WINAPI DarkenColor(int amount, COLORREF colour) {
    return lk::DarkenRgb(amount, colour);
}

COLORREF WINAPI MixedColor(COLORREF a, COLORREF b) {
    return lk::MixRgb(a, b);
}

COLORREF WINAPI MidColor(COLORREF a, COLORREF b) {
    return lk::MidRgb(a, b);
}

COLORREF WINAPI GetXpHighlightColor(void) {
    return lk::XpHighlightRgb(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_HIGHLIGHT), NumColorBits());
}

int WINAPI GrayColor(COLORREF colour) {
    return lk::GrayLevel(colour);
}

int WINAPI NumColorBits(void) {
    HDC hdcScreen = GetDC(NULL);
    if (hdcScreen == NULL) {
        return kFallbackBits;
    }
    int bits = GetDeviceCaps(hdcScreen, BITSPIXEL);
    ReleaseDC(NULL, hdcScreen);
    return bits == kUnreadableBits ? kFallbackBits : bits;
}
