// Lustrekit internal measuring of skinned menu items and the menu text they share with the drawing.
#pragma once

#include <windows.h>

constexpr LONG kBoldWeight = 700;

// The menu font of the non-client metrics (the 340-byte form), bold when bBold.
LOGFONTA MenuLogFont(bool bBold);
HFONT CreateMenuFont(bool bBold);

// WM_MEASUREITEM of a skinned popup: 1 when it filled in a size, else 0.
int MeasureSkinMenuItem(MEASUREITEMSTRUCT *pmis);

// Widest label of the popup's items: the text up to and including the first tab, bold for default items.
int MaxLabelWidth(HDC hdc, HMENU hPopup);

// Draws an item text: the accelerator after a tab at rect.left + accelX, or the part after a backspace
// right-aligned to end there, and the label in the rectangle.
void DrawMenuText(HDC hdc, const char *pszText, int length, const RECT *prc, int accelX);
