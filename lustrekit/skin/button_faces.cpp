// Lustrekit face looks of skinned buttons (gradient, flat highlight, low colour) and their line primitives.
#define LUSTREKIT_BUILDING
#include "button_faces.h"

#include "gdi_scoped.h"

#include "menu_font.h"

#include <cstddef>
#include <cstring>

#include "lustrekit.h"

namespace {

constexpr int kLowColorBits = 8;         // at or below this depth the derived colours would dither
constexpr int kFlatLightGrayLimit = 215; // above this gray level the face cannot be lightened visibly
constexpr UINT kArrowTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr LONG kArrowFontMin = -14; // menu fonts from -14 to -1 are too small for the glyph
constexpr LONG kArrowFontHeight = -15;
constexpr char kMarlettDown[] = "6";
constexpr char kMarlettRight[] = "4";

struct XpColors {
    COLORREF top, bottom, outer, inner;
};

XpColors XpColorsFor(int state) {
    const COLORREF hl = GetXpHighlightColor();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    XpColors c = {};
    if (state == kStateNormal) {
        c.top = face;
        c.bottom = LightenColor(128, face);
        c.outer = DarkenColor(64, MixedColor(c.top, c.bottom));
        c.inner = LightenColor(96, c.outer);
    } else if (state == kStateHot) {
        c.top = DarkenColor(24, hl);
        c.bottom = LightenColor(200, hl);
        const COLORREF mix = MixedColor(c.top, c.bottom);
        c.outer = DarkenColor(64, mix);
        c.inner = LightenColor(128, mix);
    } else {
        c.top = LightenColor(164, hl);
        c.bottom = DarkenColor(16, hl);
        c.outer = DarkenColor(70, MixedColor(c.bottom, c.top));
        c.inner = LightenColor(118, c.outer);
    }
    return c;
}

bool IsFaceState(int state) {
    return state == kStateNormal || state == kStateHot || state == kStatePressed;
}

} // namespace

void PaintXpFace(HDC hdc, RECT *pRect, int state) {
    if (NumColorBits() <= kLowColorBits) {
        PaintLowColorFace(hdc, pRect, state);
        return;
    }
    if (!IsFaceState(state)) {
        return;
    }
    const XpColors c = XpColorsFor(state);
    Gradient_Fill(hdc, pRect, c.top, c.bottom, 1);
    lk::FrameColor(hdc, *pRect, c.outer);
    InflateRect(pRect, -1, -1);
    FrameRect(hdc, pRect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    InflateRect(pRect, -1, -1);
    lk::FrameColor(hdc, *pRect, c.inner);
    InflateRect(pRect, 2, 2);
}

void PaintFlatHiliteFace(HDC hdc, RECT *pRect, int state) {
    if (NumColorBits() <= kLowColorBits) {
        PaintLowColorFace(hdc, pRect, state);
        return;
    }
    const COLORREF hl = GetXpHighlightColor();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF sel = GetSysColor(COLOR_HIGHLIGHT);
    COLORREF fill, frame;
    if (state == kStateNormal) {
        const int gray = GrayColor(face);
        fill = gray <= kFlatLightGrayLimit ? LightenColor(255 - gray, face) : MixedColor(face, sel);
        frame = DarkenColor(64, MixedColor(face, sel));
    } else if (state == kStateHot) {
        fill = LightenColor(128, MixedColor(hl, face));
        frame = DarkenColor(64, MixedColor(hl, face));
    } else if (state == kStatePressed) {
        fill = LightenColor(72, MixedColor(hl, face));
        frame = DarkenColor(64, MixedColor(hl, fill));
    } else {
        return;
    }
    lk::FillColor(hdc, *pRect, fill);
    lk::FrameColor(hdc, *pRect, frame);
}

void PaintLowColorFace(HDC hdc, RECT *pRect, int state) {
    static const int fills[] = {COLOR_BTNFACE, COLOR_3DLIGHT, COLOR_WINDOW};
    static const int frames[] = {COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNTEXT};
    if (!IsFaceState(state)) {
        return;
    }
    // System colour brushes belong to the system: nothing to delete.
    FillRect(hdc, pRect, GetSysColorBrush(fills[state]));
    FrameRect(hdc, pRect, GetSysColorBrush(frames[state]));
}

void FillStrip(HDC hdc, int left, int top, int right, int bottom, COLORREF colour) {
    RECT r = {left, top, right, bottom};
    COLORREF crOld = SetBkColor(hdc, colour);
    ExtTextOutA(hdc, 0, 0, ETO_OPAQUE, &r, NULL, 0, NULL);
    SetBkColor(hdc, crOld);
}

void Draw3dFrame(HDC hdc, const RECT *pRect, COLORREF crTopLeft, COLORREF crBottomRight) {
    const RECT &r = *pRect;
    FillStrip(hdc, r.left, r.top, r.right - 1, r.top + 1, crTopLeft);
    FillStrip(hdc, r.left, r.top, r.left + 1, r.bottom - 1, crTopLeft);
    FillStrip(hdc, r.right - 1, r.top, r.right, r.bottom, crBottomRight);
    FillStrip(hdc, r.left, r.bottom - 1, r.right, r.bottom, crBottomRight);
}

int DrawDottedLine(HDC hdc, int x, int y, int length, BOOL bHorizontal, COLORREF colour) {
    const int start = bHorizontal ? x : y;
    int last = start;
    for (int pos = start; pos == start || pos < start + length; pos += 2) {
        SetPixel(hdc, bHorizontal ? pos : x, bHorizontal ? y : pos, colour);
        last = pos;
    }
    return last;
}

void DrawMarlettArrow(HDC hdc, const RECT *pRect, BOOL bDown) {
    LOGFONTA lf = SystemMenuLogFont();
    if (lf.lfHeight >= kArrowFontMin && lf.lfHeight <= -1) {
        lf.lfHeight = kArrowFontHeight;
    }
    lf.lfCharSet = DEFAULT_CHARSET;
    std::memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
    std::strcpy(lf.lfFaceName, "Marlett");
    lk::ScopedFont hFont(CreateFontIndirectA(&lf));
    lk::ScopedSelect fontInDc(hdc, hFont);
    int oldMode = SetBkMode(hdc, TRANSPARENT);
    RECT r = *pRect;
    DrawTextA(hdc, bDown ? kMarlettDown : kMarlettRight, 1, &r, kArrowTextFormat);
    SetBkMode(hdc, oldMode);
}
