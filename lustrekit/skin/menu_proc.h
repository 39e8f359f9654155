// Lustrekit internal skinned-menu window procedure and the popup-tree conversions it applies.
#pragma once

#include <windows.h>

// Window procedure of a window skinned by RedrawWindowMenu.
LRESULT CALLBACK SkinMenuProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// A fresh identifier for an item of the tree under hRoot: the next values of the library's pseudo-random sequence,
// skipping 0 and identifiers the tree already uses.
int NewMenuItemId(HMENU hRoot);

// Makes every item of the tree owner-drawn and gives identifier-less items one of their own.
void ConvertPopupTree(HMENU hRoot);
// Hands the tree back to the system's drawing, side bars excepted.
void RevertPopupTree(HMENU hRoot);
// On Windows XP, moves the system menu's Restore, Close and Minimize identifiers off (and back onto) their values.
void ShiftSystemIds(HMENU hMenu, bool bIn);
