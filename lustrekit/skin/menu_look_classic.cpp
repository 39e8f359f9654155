// Lustrekit skinned menus, classic look: system menu colours, 3D icon frames and embossed disabled text.
#define LUSTREKIT_BUILDING
#include "menu_draw.h"

#include "gdi_scoped.h"

namespace {

constexpr int kReadableShift = 96;

// Gray text on the selection, moved off the highlight colour when the scheme makes them equal.
COLORREF DisabledSelectedText() {
    COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    COLORREF sel = GetSysColor(COLOR_HIGHLIGHT);
    if (gray != sel) {
        return gray;
    }
    COLORREF lighter = LightenColor(kReadableShift, sel);
    return lighter == gray ? DarkenColor(kReadableShift, lighter) : lighter;
}

void FillBackground(const MenuItemDraw &item) {
    if (!item.bSelShown) {
        FillSysColour(item.hdc, item.rcItem, COLOR_MENU);
        return;
    }
    RECT rc = item.rcItem;
    if (item.hIcon != NULL || item.bChecked) {
        rc.left += item.colW + 1;
    }
    FillSysColour(item.hdc, rc, COLOR_HIGHLIGHT);
    if (!item.bDisabled) {
        SetTextColor(item.hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        SetTextColor(item.hdc, DisabledSelectedText());
    }
}

void DrawCheckedIcon(const MenuItemDraw &item, const RECT &rcIcon) {
    RECT rcInner = Inflated(rcIcon, -1);
    RECT rcEdge = rcIcon;
    if (item.mode == kModeDisabled) {
        DrawEdge(item.hdc, &rcEdge, BDR_SUNKENOUTER, BF_RECT);
    } else if (item.mode == kModeSelected) {
        FillSysColour(item.hdc, rcInner, COLOR_MENU);
        DrawEdge(item.hdc, &rcEdge, BDR_SUNKENINNER, BF_TOPLEFT);
    } else {
        lk::FillColor(item.hdc, rcInner, LightenColor(kReadableShift, GetSysColor(COLOR_MENU)));
        DrawEdge(item.hdc, &rcEdge, BDR_SUNKENOUTER, BF_RECT);
    }
}

void DrawIconOrGlyph(const MenuItemDraw &item, const RECT &rc) {
    RECT rcIcon = IconRect(rc, item.colW);
    int iconMode = item.mode == kModeSelected ? kModeNormal : item.mode;
    if (item.bChecked && item.hIcon == NULL) {
        DrawClassicCheck(item.hdc, rc, item.colW, item.mode, item.bRadio);
        return;
    }
    if (item.hIcon == NULL) {
        DrawSysMenuGlyph(item.hdc, rc, item.hbmpItem, item.mode, item.colW);
        return;
    }
    if (item.bChecked) {
        DrawCheckedIcon(item, rcIcon);
    } else if (item.bSelShown) {
        RECT rcEdge = rcIcon;
        DrawEdge(item.hdc, &rcEdge, BDR_RAISEDINNER, BF_RECT);
    }
    DrawIcnRect(item.hdc, &rcIcon, item.hIcon, iconMode, 1);
}

void DrawText3D(const MenuItemDraw &item, const RECT &rc) {
    if (!item.bDisabled || item.bSelShown) {
        DrawItemText(item, item.hdc, rc);
        return;
    }
    RECT rcLight = rc;
    OffsetRect(&rcLight, 1, 1);
    SetTextColor(item.hdc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawItemText(item, item.hdc, rcLight);
    SetTextColor(item.hdc, GetSysColor(COLOR_BTNSHADOW));
    DrawItemText(item, item.hdc, rc);
}

void DrawSeparator(const MenuItemDraw &item) {
    const RECT &rc = item.rcItem;
    FillSysColour(item.hdc, rc, COLOR_MENU);
    int inset = item.colW / 2 + 1;
    int y = rc.top + (rc.bottom - rc.top) / 2 - 1;
    RECT rcStrip = {rc.left + inset, y, rc.right - inset, y + 2};
    FillSysColour(item.hdc, rcStrip, COLOR_BTNHIGHLIGHT);
    rcStrip.right -= 1;
    rcStrip.bottom -= 1;
    FillSysColour(item.hdc, rcStrip, COLOR_BTNSHADOW);
}

} // namespace

void DrawClassicSeparator(const MenuItemDraw &item) {
    DrawSeparator(item);
}

void DrawClassicText(const MenuItemDraw &item) {
    RECT rc = ShrinkTopBottom(item.rcItem);
    FillBackground(item);
    DrawIconOrGlyph(item, rc);
    DrawText3D(item, rc);
}
