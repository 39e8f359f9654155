// Dialog control helpers: enabling a set of controls, and a transparent label's new text.
#include "dialog_controls.h"

void EnableControls(HWND hDlg, const int *pIds, int nCount, BOOL bEnable) {
    for (int i = 0; i < nCount; ++i)
        EnableWindow(GetDlgItem(hDlg, pIds[i]), bEnable);
}

void SetLabelText(HWND hDlg, int nId, const char *pszText) {
    HWND hLabel = GetDlgItem(hDlg, nId);
    SetWindowTextA(hLabel, pszText);
    RECT rc;
    GetWindowRect(hLabel, &rc);
    MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT *>(&rc), 2);
    InvalidateRect(hDlg, &rc, TRUE);
}
