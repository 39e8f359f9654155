// The output-format and quality lists: their entries, and what is selected in them.
#include "quality_lists.h"

#include "output_formats.h"
#include "resources/resource.h"

namespace {

void FillQualityList(HWND hDlg, int nId, int nRates, int nSelected) {
    for (int i = 0; i < nRates; ++i)
        SendDlgItemMessageA(hDlg, nId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kSampleRateTexts[i]));
    SendDlgItemMessageA(hDlg, nId, CB_SETCURSEL, nSelected, 0);
}

} // namespace

void InitOutputLists(HWND hDlg) {
    SendDlgItemMessageA(hDlg, IDC_OUTPUT_FORMAT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Wav"));
    SendDlgItemMessageA(hDlg, IDC_OUTPUT_FORMAT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Mp3"));
    SendDlgItemMessageA(hDlg, IDC_OUTPUT_FORMAT, CB_SETCURSEL, kFormatWav, 0);
    FillQualityList(hDlg, IDC_MP3_QUALITY, kMp3RateCount, kDefaultQuality);
    ShowWindow(GetDlgItem(hDlg, IDC_MP3_QUALITY), SW_HIDE);
    FillQualityList(hDlg, IDC_WAV_QUALITY, kWavRateCount, kDefaultQuality);
}

BOOL IsMp3Selected(HWND hDlg) {
    return SendDlgItemMessageA(hDlg, IDC_OUTPUT_FORMAT, CB_GETCURSEL, 0, 0) == kFormatMp3;
}

UINT SelectedSampleRate(HWND hDlg, int nListId) {
    LRESULT nIndex = SendDlgItemMessageA(hDlg, nListId, CB_GETCURSEL, 0, 0);
    if (nIndex < 0 || nIndex >= kMp3RateCount)
        return kRateWithoutSelection;
    return kSampleRates[nIndex];
}
