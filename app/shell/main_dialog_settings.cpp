// The dialog's settings controls: tone, tempo and volume, output format and quality, output folder.
#include "main_dialog.h"

#include "dialog_state.h"
#include "engine.h"
#include "instrument_plan.h"
#include "output_formats.h"
#include "process_state.h"
#include "quality_lists.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <type_traits>

namespace {

const int kLabelChars = 32;
const UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN; // 3

BROWSEINFOA g_browseRecord;

int CALLBACK BrowseCallbackProc(HWND hBrowser, UINT uMsg, LPARAM /*lParam*/, LPARAM lpData) {
    if (uMsg == BFFM_INITIALIZED && lpData != 0)
        SendMessageA(hBrowser, BFFM_SETSELECTIONA, TRUE, lpData);
    return 0;
}
static_assert(std::is_same<decltype(&BrowseCallbackProc), BFFCALLBACK>::value, "the folder browser's callback");

// Sets a control's text only when it changes: the sliders notify on every repaint.
void SetTextIfChanged(HWND hDlg, int nId, const char *pszText) {
    char szShown[kLabelChars];
    GetDlgItemTextA(hDlg, nId, szShown, sizeof szShown);
    if (strcmp(szShown, pszText) != 0)
        SetDlgItemTextA(hDlg, nId, pszText);
}

} // namespace

void UpdateToneLabel(HWND hDlg) {
    if (g_transpose < kTransposeMin)
        g_transpose = kTransposeMin;
    if (g_transpose > kTransposeMax)
        g_transpose = kTransposeMax;
    char szText[kLabelChars];
    snprintf(szText, sizeof szText, g_transpose >= 0 ? "+%.1f\nTone" : "%.1f\nTone", g_transpose * 0.5);
    SetDlgItemTextA(hDlg, IDC_TONE_LABEL, szText);
}

void OnSameDirectory(HWND hDlg) {
    g_bSameDirectory = IsDlgButtonChecked(hDlg, IDC_SAME_DIRECTORY) == BST_CHECKED ? 1 : 0;
    EnableWindow(GetDlgItem(hDlg, IDC_SET_PATH), !g_bSameDirectory);
    EnableWindow(GetDlgItem(hDlg, IDC_OUTPUT_PATH), !g_bSameDirectory);
}

void OnOutputFormatChange(HWND hDlg) {
    BOOL bMp3 = IsMp3Selected(hDlg);
    ShowWindow(GetDlgItem(hDlg, IDC_WAV_QUALITY), bMp3 ? SW_HIDE : SW_SHOW);
    ShowWindow(GetDlgItem(hDlg, IDC_MP3_QUALITY), bMp3 ? SW_SHOW : SW_HIDE);
    if (!bMp3) {
        LRESULT nIndex = SendDlgItemMessageA(hDlg, IDC_MP3_QUALITY, CB_GETCURSEL, 0, 0);
        if (nIndex > kLastWavQuality)
            nIndex = kLastWavQuality;
        SendDlgItemMessageA(hDlg, IDC_WAV_QUALITY, CB_SETCURSEL, nIndex, 0);
    }
}

void OnSetPath(HWND hDlg) {
    memset(&g_browseRecord, 0, sizeof g_browseRecord);
    g_browseRecord.hwndOwner = hDlg;
    g_browseRecord.lpszTitle = "Select a folder";
    g_browseRecord.ulFlags = kBrowseFlags;
    g_browseRecord.lpfn = BrowseCallbackProc;
    g_browseRecord.lParam = reinterpret_cast<LPARAM>(g_szOutputDir);
    LPITEMIDLIST pItems = SHBrowseForFolderA(&g_browseRecord);
    if (pItems == nullptr)
        return;
    SHGetPathFromIDListA(pItems, g_szOutputDir);
    CoTaskMemFree(pItems);
    SetDlgItemTextA(hDlg, IDC_OUTPUT_PATH, g_szOutputDir);
}

void OnSliderNotify(HWND hDlg, int nId) {
    int nPosition = static_cast<int>(SendDlgItemMessageA(hDlg, nId, TBM_GETPOS, 0, 0));
    if (nId == IDC_TEMPO) {
        char szText[kLabelChars];
        snprintf(szText, sizeof szText, "Tempo:\n%d%%", TempoPercentOfPosition(nPosition));
        SetTextIfChanged(hDlg, IDC_TEMPO_LABEL, szText);
        return;
    }
    g_nVolume = nPosition;
    // A conversion renders at its own fixed level; the slider acts on listening only.
    if (!g_bConverting)
        SetMasterVolume(100 - nPosition);
}
