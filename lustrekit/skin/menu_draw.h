// Lustrekit internal drawing of skinned menu items: the item as the looks see it and the shared GDI steps.
#pragma once

#include <windows.h>

#include "lustrekit.h"
#include "menu_state.h"

// Draw modes of the icon and glyph helpers.
constexpr int kModeDisabled = 1;
constexpr int kModeSelected = 2;
constexpr int kModeNormal = 3;

constexpr int kTextGap = 4;          // text starts this far right of the icon column
constexpr int kSeparatorLineGap = 5; // separator lines start this far right of the icon column

// One item to draw, read from the popup and the DRAWITEMSTRUCT.
struct MenuItemDraw {
    HDC hdc;
    HMENU hPopup;
    RECT rcItem; // full item rectangle
    UINT fType;
    HICON hIcon;            // null when the item data is not an icon
    HBITMAP hbmpItem;       // the system menu's glyph bitmaps (HBMMENU_POPUP_*)
    SIDEBARPROC pfnSideBar; // separators only
    int colW;               // icon column width, pixels
    int accelX;             // accelerator offset from the text start, pixels
    bool bDisabled;
    bool bChecked;
    bool bRadio;
    bool bDefault;  // MFS_DEFAULT: drawn in the bold menu font
    bool bSelShown; // selected, and the selection is shown
    int mode;       // kMode*
    int bpp;        // screen bits per pixel
    char szText[kMenuTextChars + 1];
    int textLength;
};

// The WM_DRAWITEM answer of a skinned window: 1 when the item was drawn, else 0.
int DrawSkinMenuItem(const DRAWITEMSTRUCT *pdis);

// The plain separators and the text items of each drawn look.
void DrawFlatSeparator(const MenuItemDraw &item);
void DrawFlatText(const MenuItemDraw &item);
void DrawClassicSeparator(const MenuItemDraw &item);
void DrawClassicText(const MenuItemDraw &item);
void DrawGradientSeparator(const MenuItemDraw &item);
void DrawGradientText(const MenuItemDraw &item);

// The icon column of an item rectangle.
RECT IconRect(const RECT &rc, int colW);
// The text rectangle of an item rectangle.
RECT TextRect(const RECT &rc, int colW);
// Fills with a system colour's own brush.
void FillSysColour(HDC hdc, const RECT &rc, int index);
// Rectangle() with a pen and a brush of these colours.
void PenBrushRectangle(HDC hdc, const RECT &rc, COLORREF pen, COLORREF brush);
// Returns rc with top and bottom moved inward by 1.
RECT ShrinkTopBottom(const RECT &rc);
RECT Inflated(const RECT &rc, int d);

// Glyphs of the system menu (close, restore, maximize, minimize) in the icon column.
void DrawSysMenuGlyph(HDC hdc, const RECT &rc, HBITMAP hbmpItem, int mode, int colW);
// 'b' check mark or 'i' radio bullet in Marlett, centred in the icon column; bLower moves the check mark down 1.
void DrawCheckGlyph(HDC hdc, const RECT &rcIcon, bool bRadio, bool bLower);
void DrawFlatCheck(HDC hdc, const RECT &rc, int colW, int mode, bool bRadio);
void DrawClassicCheck(HDC hdc, const RECT &rc, int colW, int mode, bool bRadio);
void DrawGradientCheckBox(HDC hdc, const RECT &rc, int colW, int mode);
void DrawGradientCheck(HDC hdc, const RECT &rc, int colW, int mode, bool bRadio);
// The system glyph of an item without icon and check state, or its icon, in the icon column.
void DrawItemText(const MenuItemDraw &item, HDC hdc, const RECT &rc);
