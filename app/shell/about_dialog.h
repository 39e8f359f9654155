// The About box (template 104) with its link to the home page.
#pragma once

#include <windows.h>

// The product's home page, opened by "Visit Home Page...".
extern const char kHomePageAddress[];

// Runs the About box modally, owned by hOwner.
void RunAboutDialog(HWND hOwner);

// The About box's dialog procedure.
INT_PTR CALLBACK AboutDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
