// Lustrekit skinned menus, gradient look: items composed off-screen over gradients, copied in one blit.
#define LUSTREKIT_BUILDING
#include "menu_draw.h"

#include "gdi_scoped.h"

namespace {

constexpr int kBlendAmount = 64;

COLORREF MenuColour() {
    return GetSysColor(COLOR_MENU);
}

void FillBackground(HDC hdc, const RECT &rc, int bpp) {
    if (bpp <= 8) {
        FillSysColour(hdc, rc, COLOR_MENU);
        return;
    }
    COLORREF menu = MenuColour();
    Gradient_Fill(hdc, &rc, DarkenColor(16, menu), LightenColor(128, menu), 0);
}

void FillSelection(HDC hdc, const RECT &rc, int bpp) {
    RECT rcInner = {1, 2, rc.right - 1, rc.bottom - 2};
    RECT rcFrame = {0, 1, rc.right, rc.bottom - 1};
    if (bpp <= 8) {
        FillSysColour(hdc, rc, COLOR_MENU);
        lk::FillColor(hdc, rcInner, GetXpHighlightColor());
        lk::FrameColor(hdc, rcFrame, GetSysColor(COLOR_HIGHLIGHT));
        return;
    }
    FillBackground(hdc, rc, bpp);
    COLORREF m = MidColor(GetXpHighlightColor(), MenuColour());
    COLORREF c0 = DarkenColor(16, m);
    COLORREF c1 = LightenColor(128, m);
    Gradient_Fill(hdc, &rcInner, c0, c1, 1);
    lk::FrameColor(hdc, rcFrame, DarkenColor(64, MixedColor(c0, c1)));
}

// Draws the icon (a lightened copy when selected) or the check or the system glyph into the off-screen item.
void DrawIconColumn(const MenuItemDraw &item, HDC hdc, const RECT &r) {
    int mode = item.mode;
    HICON hIcon = item.hIcon;
    HICON hCopy = NULL;
    if (hIcon != NULL && mode == kModeSelected) {
        hCopy = Icon_CopyAsBlend(item.hdc, hIcon, kBlendAmount);
        hIcon = hCopy;
        mode = kModeNormal;
    }
    if (!item.bChecked) {
        RECT rcIcon = {0, 0, item.colW, r.bottom};
        if (hIcon != NULL) {
            DrawIcnRect(hdc, &rcIcon, hIcon, mode, 0);
        } else {
            DrawSysMenuGlyph(hdc, r, item.hbmpItem, mode, item.colW);
        }
    } else {
        RECT rc = ShrinkTopBottom(r);
        if (hIcon == NULL) {
            DrawGradientCheck(hdc, rc, item.colW, mode, item.bRadio);
        } else {
            RECT rcIcon = IconRect(rc, item.colW);
            DrawGradientCheckBox(hdc, rc, item.colW, mode);
            DrawIcnRect(hdc, &rcIcon, hIcon, mode, 0);
        }
    }
    if (hCopy != NULL) {
        DestroyIcon(hCopy);
    }
}

void DrawTextItem(const MenuItemDraw &item) {
    int w = item.rcItem.right - item.rcItem.left;
    int h = item.rcItem.bottom - item.rcItem.top;
    lk::ScopedMemoryDC hdcMem(item.hdc);
    lk::ScopedBitmap hBmp(CreateCompatibleBitmap(item.hdc, w, h));
    lk::ScopedSelect bitmapInMem(hdcMem, hBmp);
    lk::ScopedSelect fontInMem(hdcMem, GetCurrentObject(item.hdc, OBJ_FONT));
    SetBkMode(hdcMem, TRANSPARENT);
    SetTextColor(hdcMem, GetTextColor(item.hdc));
    RECT r = {0, 0, w, h};
    if (item.bSelShown) {
        FillSelection(hdcMem, r, item.bpp);
    } else {
        FillBackground(hdcMem, r, item.bpp);
    }
    DrawIconColumn(item, hdcMem, r);
    DrawItemText(item, hdcMem, r);
    BitBlt(item.hdc, item.rcItem.left, item.rcItem.top, w, h, hdcMem, 0, 0, SRCCOPY);
}

void DrawSeparator(const MenuItemDraw &item) {
    const RECT &rc = item.rcItem;
    FillBackground(item.hdc, rc, item.bpp);
    int y = rc.top + (rc.bottom - rc.top) / 2 - 1;
    RECT rcLine = {rc.left + item.colW + kSeparatorLineGap, y, rc.right, y + 1};
    COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    if (item.bpp <= 8) {
        lk::FillColor(item.hdc, rcLine, gray);
    } else {
        Gradient_Fill(item.hdc, &rcLine, gray, MenuColour(), 0);
    }
}

} // namespace

void DrawGradientSeparator(const MenuItemDraw &item) {
    DrawSeparator(item);
}

void DrawGradientText(const MenuItemDraw &item) {
    DrawTextItem(item);
}
