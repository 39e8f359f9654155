// Lustrekit skinned menus: the Marlett glyphs of the system menu and the check and radio marks with their boxes.
#define LUSTREKIT_BUILDING
#include "menu_draw.h"

#include "gdi_scoped.h"

#include <cstring>

#include "menu_measure.h"

namespace {

constexpr char kMarlett[] = "Marlett";
constexpr char kGlyphCheck = 'b';
constexpr char kGlyphBullet = 'i';
constexpr LONG kMarlettSmallHeight = -15; // small menu fonts draw the marks at this height
constexpr int kGlyphShade = 8;
const UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

HFONT CreateMarlett(bool bCheckSize) {
    LOGFONTA lf = MenuLogFont(false);
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, kMarlett);
    if (bCheckSize && lf.lfHeight >= -14 && lf.lfHeight <= -1) {
        lf.lfHeight = kMarlettSmallHeight;
    }
    return CreateFontIndirectA(&lf);
}

char SysGlyph(HBITMAP hbmpItem) {
    if (hbmpItem == HBMMENU_POPUP_CLOSE) {
        return 'r';
    }
    if (hbmpItem == HBMMENU_POPUP_RESTORE) {
        return '2';
    }
    if (hbmpItem == HBMMENU_POPUP_MAXIMIZE) {
        return '1';
    }
    if (hbmpItem == HBMMENU_POPUP_MINIMIZE) {
        return '0';
    }
    return '\0';
}

void DrawGlyphAt(HDC hdc, char glyph, const RECT &rc, int dx, int dy) {
    RECT r = rc;
    OffsetRect(&r, dx, dy);
    DrawTextA(hdc, &glyph, 1, &r, kCentred);
}

struct CheckColours {
    COLORREF pen;
    COLORREF brush;
};

} // namespace

void DrawSysMenuGlyph(HDC hdc, const RECT &rc, HBITMAP hbmpItem, int mode, int colW) {
    char glyph = SysGlyph(hbmpItem);
    if (glyph == '\0') {
        return;
    }
    lk::ScopedFont hFont(CreateMarlett(false));
    lk::ScopedSelect fontInDc(hdc, hFont);
    COLORREF previous = GetTextColor(hdc);
    COLORREF shade = DarkenColor(kGlyphShade, GetSysColor(COLOR_GRAYTEXT));
    RECT r = IconRect(rc, colW);
    if (mode == kModeDisabled) {
        SetTextColor(hdc, shade);
        DrawGlyphAt(hdc, glyph, r, 0, 0);
    } else if (mode == kModeSelected) {
        SetTextColor(hdc, shade);
        DrawGlyphAt(hdc, glyph, r, 1, 1);
        SetTextColor(hdc, previous);
        DrawGlyphAt(hdc, glyph, r, -1, -1);
    } else {
        DrawGlyphAt(hdc, glyph, r, 0, 0);
    }
    SetTextColor(hdc, previous);
}

void DrawCheckGlyph(HDC hdc, const RECT &rcIcon, bool bRadio, bool bLower) {
    lk::ScopedFont hFont(CreateMarlett(true));
    lk::ScopedSelect fontInDc(hdc, hFont);
    RECT r = rcIcon;
    if (!bRadio && bLower) {
        r.top += 1;
    }
    DrawGlyphAt(hdc, bRadio ? kGlyphBullet : kGlyphCheck, r, 0, 0);
}

void DrawFlatCheck(HDC hdc, const RECT &rc, int colW, int mode, bool bRadio) {
    COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    COLORREF sel = GetSysColor(COLOR_HIGHLIGHT);
    COLORREF menu = GetSysColor(COLOR_MENU);
    COLORREF hl = GetXpHighlightColor();
    COLORREF mix = MixedColor(hl, sel);
    bool bFew = NumColorBits() <= 8;
    CheckColours c;
    if (mode == kModeDisabled) {
        c = bFew ? CheckColours{gray, menu} : CheckColours{DarkenColor(8, gray), LightenColor(128, gray)};
    } else if (mode == kModeSelected) {
        c = bFew ? CheckColours{sel, hl} : CheckColours{DarkenColor(128, mix), mix};
    } else {
        c = bFew ? CheckColours{hl, menu} : CheckColours{DarkenColor(128, mix), LightenColor(128, mix)};
    }
    RECT rcIcon = IconRect(rc, colW);
    PenBrushRectangle(hdc, Inflated(rcIcon, -2), c.pen, c.brush);
    DrawCheckGlyph(hdc, rcIcon, bRadio, true);
}

void DrawClassicCheck(HDC hdc, const RECT &rc, int colW, int mode, bool bRadio) {
    RECT rcIcon = IconRect(rc, colW);
    RECT rcInner = Inflated(rcIcon, -1);
    COLORREF previous = GetTextColor(hdc);
    COLORREF menu = GetSysColor(COLOR_MENU);
    if (mode == kModeDisabled) {
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
        DrawEdge(hdc, &rcIcon, BDR_SUNKENOUTER, BF_RECT);
    } else if (mode == kModeSelected) {
        SetTextColor(hdc, RGB(0, 0, 0));
        FillSysColour(hdc, rcInner, COLOR_MENU);
        DrawEdge(hdc, &rcIcon, BDR_SUNKENINNER, BF_TOPLEFT);
    } else {
        SetTextColor(hdc, RGB(0, 0, 0));
        lk::FillColor(hdc, rcInner, NumColorBits() <= 8 ? menu : LightenColor(96, menu));
        DrawEdge(hdc, &rcIcon, BDR_SUNKENOUTER, BF_RECT);
    }
    DrawCheckGlyph(hdc, rcIcon, bRadio, false);
    SetTextColor(hdc, previous);
}

void DrawGradientCheckBox(HDC hdc, const RECT &rc, int colW, int mode) {
    RECT rcIcon = IconRect(rc, colW);
    COLORREF hl = GetXpHighlightColor();
    COLORREF sel = GetSysColor(COLOR_HIGHLIGHT);
    COLORREF menu = GetSysColor(COLOR_MENU);
    if (NumColorBits() <= 8) {
        CheckColours c = mode == kModeDisabled   ? CheckColours{GetSysColor(COLOR_GRAYTEXT), menu}
                         : mode == kModeSelected ? CheckColours{sel, hl}
                                                 : CheckColours{hl, menu};
        PenBrushRectangle(hdc, rcIcon, c.pen, c.brush);
        return;
    }
    COLORREF c0 = DarkenColor(mode == kModeSelected ? 48 : 24, hl);
    COLORREF c1 = mode == kModeDisabled   ? LightenColor(128, MixedColor(hl, sel))
                  : mode == kModeSelected ? LightenColor(128, hl)
                                          : LightenColor(200, hl);
    Gradient_Fill(hdc, &rcIcon, c0, c1, 1);
    lk::FrameColor(hdc, rcIcon, DarkenColor(64, MixedColor(c0, c1)));
}

void DrawGradientCheck(HDC hdc, const RECT &rc, int colW, int mode, bool bRadio) {
    DrawGradientCheckBox(hdc, rc, colW, mode);
    DrawCheckGlyph(hdc, IconRect(rc, colW), bRadio, true);
}
