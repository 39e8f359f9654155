// Lustrekit skinned menus, flat-highlight look: XP-like light icon column and a framed selection.
#define LUSTREKIT_BUILDING
#include "menu_draw.h"

#include "gdi_scoped.h"

namespace {

constexpr int kGrayLimit = 216; // lighter backgrounds are mixed instead of lightened

struct FlatColours {
    COLORREF selFill;
    COLORREF selFrame;
    COLORREF background;
    COLORREF iconColumn;
    COLORREF line;
};

// Lightened toward white by its darkness while darker than kGrayLimit, else mixed with other.
COLORREF PaleColour(COLORREF colour, COLORREF other) {
    int g = GrayColor(colour);
    return g < kGrayLimit ? LightenColor(255 - g, colour) : MixedColor(colour, other);
}

FlatColours Colours(int bpp) {
    COLORREF sel = GetSysColor(COLOR_HIGHLIGHT);
    COLORREF menu = GetSysColor(COLOR_MENU);
    COLORREF win = GetSysColor(COLOR_WINDOW);
    COLORREF hl = GetXpHighlightColor();
    FlatColours c;
    c.line = GetSysColor(COLOR_GRAYTEXT);
    if (bpp <= 8) {
        c.selFill = hl;
        c.selFrame = sel;
        c.background = win;
        c.iconColumn = menu;
        return c;
    }
    c.selFill = LightenColor(64, MidColor(hl, menu));
    c.selFrame = DarkenColor(128, MixedColor(hl, menu));
    c.background = PaleColour(win, menu);
    c.iconColumn = PaleColour(menu, sel);
    return c;
}

void FillPlain(const MenuItemDraw &item, const FlatColours &c) {
    lk::FillColor(item.hdc, item.rcItem, c.iconColumn);
    RECT rcBack = item.rcItem;
    rcBack.left += item.colW;
    lk::FillColor(item.hdc, rcBack, c.background);
}

void DrawIconOrGlyph(const MenuItemDraw &item, const RECT &rc) {
    RECT rcIcon = IconRect(rc, item.colW);
    if (!item.bChecked) {
        if (item.hIcon != NULL) {
            DrawIcnRect(item.hdc, &rcIcon, item.hIcon, item.mode, 0);
        } else {
            DrawSysMenuGlyph(item.hdc, rc, item.hbmpItem, item.mode, item.colW);
        }
    } else if (item.hIcon == NULL) {
        DrawFlatCheck(item.hdc, rc, item.colW, item.mode, item.bRadio);
    } else {
        if (item.mode != kModeSelected) {
            RECT rcEdge = Inflated(rcIcon, -1);
            DrawEdge(item.hdc, &rcEdge, BDR_SUNKENOUTER, BF_RECT);
        }
        DrawIcnRect(item.hdc, &rcIcon, item.hIcon, item.mode == kModeSelected ? kModeNormal : item.mode, 0);
    }
}

void DrawTextItem(const MenuItemDraw &item, const FlatColours &c) {
    RECT rc = ShrinkTopBottom(item.rcItem);
    if (item.bSelShown) {
        lk::FillColor(item.hdc, rc, c.selFill);
        lk::FrameColor(item.hdc, rc, c.selFrame);
    } else {
        FillPlain(item, c);
    }
    DrawIconOrGlyph(item, rc);
    DrawItemText(item, item.hdc, rc);
}

void DrawSeparator(const MenuItemDraw &item, const FlatColours &c) {
    FillPlain(item, c);
    const RECT &rc = item.rcItem;
    int y = rc.top + (rc.bottom - rc.top) / 2 - 1;
    RECT rcLine = {rc.left + item.colW + kSeparatorLineGap, y, rc.right, y + 1};
    lk::FillColor(item.hdc, rcLine, c.line);
}

} // namespace

void DrawFlatSeparator(const MenuItemDraw &item) {
    DrawSeparator(item, Colours(item.bpp));
}

void DrawFlatText(const MenuItemDraw &item) {
    DrawTextItem(item, Colours(item.bpp));
}
