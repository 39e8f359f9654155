// The dialogs' shared look: the tiled background, transparent labels and the skinned push buttons.
#pragma once

#include <windows.h>

// The 128 x 128 background tile and the hot companion that is made with it (never painted).
extern HBITMAP g_hFillBitmap;
extern HBITMAP g_hFillBitmapAux;

// Start-up: creates both tiles. Close: deletes them and clears both handles.
void CreateDialogTile();
void DeleteDialogTile();

// WM_ERASEBKGND of both dialogs: repeats the tile over the client area. Returns TRUE.
INT_PTR PaintDialogTile(HWND hDlg, HDC hdc);

// WM_CTLCOLORSTATIC: labels drawn transparently over the tile; the main dialog's group boxes, sliders, output
// field and check box keep the system colours (FALSE).
INT_PTR MainDialogLabelColor(HDC hdc, HWND hControl);
INT_PTR AboutLabelColor(HDC hdc);

// Gives every push button of a dialog its Lustrekit skin: icon, tooltip and look.
void SkinMainDialogButtons(HWND hDlg);
void SkinAboutButtons(HWND hDlg);
