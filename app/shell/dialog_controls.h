// Small helpers for a dialog's controls, shared by the main dialog and the conversion job.
#pragma once

#include <windows.h>

// Sets a label's text and repaints the dialog's tile under it (the labels are transparent).
void SetLabelText(HWND hDlg, int nId, const char *pszText);

// Enables (TRUE) or disables each of the nCount controls of pIds, in order.
void EnableControls(HWND hDlg, const int *pIds, int nCount, BOOL bEnable);
