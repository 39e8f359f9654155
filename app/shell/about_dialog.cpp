// About box: OK, Escape and the home-page button. Controls: product text, "Visit Home Page..." 2101, OK 1.
#include "about_dialog.h"

#include "browser.h"
#include "dialog_look.h"
#include "dialog_state.h"
#include "resources/resource.h"

#include <type_traits>

static_assert(std::is_same<decltype(&AboutDialogProc), DLGPROC>::value, "a dialog procedure");

const char kHomePageAddress[] = "https://tunewright.org/";

void RunAboutDialog(HWND hOwner) {
    DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ABOUT), hOwner, AboutDialogProc, 0);
}

INT_PTR CALLBACK AboutDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM /*lParam*/) {
    switch (uMsg) {
    case WM_INITDIALOG:
        SkinAboutButtons(hDlg);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_EXIT:
            EndDialog(hDlg, 1);
            return TRUE;
        case IDC_ESCAPE:
            EndDialog(hDlg, 0);
            return TRUE;
        case IDC_HOME_PAGE:
            OpenInBrowser(kHomePageAddress);
            EndDialog(hDlg, 0);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_ERASEBKGND:
        return PaintDialogTile(hDlg, reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORSTATIC:
        return AboutLabelColor(reinterpret_cast<HDC>(wParam));
    case WM_CLOSE:
        EndDialog(hDlg, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
