// RunConvertJob: one conversion of the dialog, with its controls locked while the piece plays.
#include "convert_job.h"

#include "capture_session.h"
#include "convert_output.h"
#include "dialog_controls.h"
#include "dialog_state.h"
#include "format_time.h"
#include "instrument_list.h"
#include "process_state.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

namespace {

const int kTimeTextSize = 64;
const int kLockedDuringJob[] = {IDC_OPEN,           IDC_PLAY,          IDC_STOP,        IDC_CONVERT,     IDC_VOLUME,
                                IDC_TEMPO,          IDC_OUTPUT_FORMAT, IDC_WAV_QUALITY, IDC_MP3_QUALITY, IDC_SET_PATH,
                                IDC_SAME_DIRECTORY, IDC_INSTRUMENTS,   IDC_TEMPO_LABEL, IDC_TONE_LABEL,  IDC_TONE_UP,
                                IDC_TONE_DOWN,      IDC_DEFAULT};
const int kBackAfterJob[] = {IDC_OPEN,           IDC_OUTPUT_FORMAT, IDC_WAV_QUALITY, IDC_MP3_QUALITY,
                             IDC_SAME_DIRECTORY, IDC_VOLUME,        IDC_TEMPO,       IDC_PLAY,
                             IDC_STOP,           IDC_CONVERT,       IDC_INSTRUMENTS, IDC_TEMPO_LABEL,
                             IDC_TONE_LABEL,     IDC_TONE_UP,       IDC_TONE_DOWN,   IDC_DEFAULT};

// The time label's last text, so that the transparent label is only repainted when it changes.
char g_szShownTime[kTimeTextSize];

void BuildPlanFromDialog(void *pDialog) {
    BuildProgramMapFromList(static_cast<HWND>(pDialog));
}

void ShowProgress(unsigned int nElapsed, unsigned int nTotal, void *pDialog) {
    HWND hDlg = static_cast<HWND>(pDialog);
    char szTotal[kMinSecTextSize], szElapsed[kMinSecTextSize], szText[kTimeTextSize];
    FormatMinSec(nTotal, szTotal);
    FormatMinSec(nElapsed, szElapsed);
    snprintf(szText, sizeof szText, "Time elapsed: %s / %s", szElapsed, szTotal);
    if (strcmp(szText, g_szShownTime) != 0) {
        SetLabelText(hDlg, IDC_CONVERT_TIME, szText);
        strcpy(g_szShownTime, szText);
    }
    SendDlgItemMessageA(hDlg, IDC_PROGRESS, PBM_SETPOS, nTotal ? nElapsed * 100u / nTotal : 0, 0);
}

void ShowJobTitle(HWND hDlg) {
    static char s_szTitle[kProcessBufferSize + 16];
    snprintf(s_szTitle, sizeof s_szTitle, "%s -- %s", g_szMidiTitle, "Tunewright");
    SendMessageA(hDlg, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s_szTitle));
}

void LockControls(HWND hDlg) {
    EnableControls(hDlg, kLockedDuringJob, ARRAYSIZE(kLockedDuringJob), FALSE);
    EnableWindow(GetDlgItem(hDlg, IDC_ABORT), TRUE);
}

void RestoreControls(HWND hDlg) {
    EnableControls(hDlg, kBackAfterJob, ARRAYSIZE(kBackAfterJob), TRUE);
    if (IsDlgButtonChecked(hDlg, IDC_SAME_DIRECTORY) != BST_CHECKED)
        EnableWindow(GetDlgItem(hDlg, IDC_SET_PATH), TRUE);
    EnableWindow(GetDlgItem(hDlg, IDC_ABORT), FALSE);
}

} // namespace

void RunConvertJob(HWND hDlg) {
    InterlockedExchange(&g_bAbort, 0);
    int nTempo = static_cast<int>(SendDlgItemMessageA(hDlg, IDC_TEMPO, TBM_GETPOS, 0, 0));
    const char *pszFailure = BeginCapture(g_szMidiPath, nTempo, BuildPlanFromDialog, hDlg);
    if (pszFailure != nullptr) {
        ShowError(hDlg, pszFailure);
        // Nothing but Convert! was locked, and the file is still open: it may be tried again.
        EnableWindow(GetDlgItem(hDlg, IDC_CONVERT), TRUE);
    } else {
        ShowJobTitle(hDlg);
        LockControls(hDlg);
        g_szShownTime[0] = '\0';
        pszFailure = FinishCapture(kDialogPacing, &g_bAbort, ShowProgress, hDlg);
        if (pszFailure != nullptr)
            ShowError(hDlg, pszFailure);
        else if (!g_bAbort)
            WriteConvertedFile(hDlg);
        RestoreControls(hDlg);
    }
    SendMessageA(hDlg, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Tunewright"));
    InterlockedExchange(&g_bAbort, 0);
}
