// RunConvertJob: the steps of one conversion, in the order the dialog's controls and the engine expect.
#include "convert_job.h"

#include "convert_output.h"
#include "convert_worker.h"
#include "dialog_state.h"
#include "engine.h"
#include "format_time.h"
#include "instrument_list.h"
#include "main_dialog.h"
#include "process_state.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

namespace {

const int kNotificationAlmostEnd = 2; // DMUS_NOTIFICATION_SEGALMOSTEND
const DWORD kPollMs = 100;
const DWORD kSettleMs = 100;
const int kVolumeWhileConverting = 100; // +20 dB: the nominal level of a conversion
const int kTimeTextSize = 64;

const int kLockedDuringJob[] = {IDC_OPEN,         IDC_PLAY,          IDC_STOP,       IDC_CONVERT,   IDC_VOLUME,
                                IDC_TEMPO,        IDC_OUTPUT_FORMAT, IDC_WAV_QUALITY, IDC_MP3_QUALITY, IDC_SET_PATH,
                                IDC_SAME_DIRECTORY, IDC_INSTRUMENTS, IDC_TEMPO_LABEL, IDC_TONE_LABEL, IDC_TONE_UP,
                                IDC_TONE_DOWN,    IDC_DEFAULT};
const int kBackAfterJob[] = {IDC_OPEN,       IDC_OUTPUT_FORMAT, IDC_WAV_QUALITY, IDC_MP3_QUALITY, IDC_SAME_DIRECTORY,
                             IDC_VOLUME,     IDC_TEMPO,         IDC_PLAY,        IDC_STOP,        IDC_CONVERT,
                             IDC_INSTRUMENTS, IDC_TEMPO_LABEL,  IDC_TONE_LABEL,  IDC_TONE_UP,     IDC_TONE_DOWN,
                             IDC_DEFAULT};

// Where the job stopped, which decides how the dialog comes back.
enum JobEnd {
    kEndedBeforeLock, // nothing was disabled but Convert! itself
    kEndedLocked,     // the controls of the running job are disabled
};

// Steps up to the start of playback; a failure message names the step.
BOOL StartPlayback(HWND hDlg) {
    if (FAILED(StopMidi())) {
        ShowError(hDlg, "Stop MIDI Failed");
        return FALSE;
    }
    InitAudioPath();
    SetMasterVolume(kVolumeWhileConverting);
    SetMasterTempo(static_cast<int>(SendDlgItemMessageA(hDlg, IDC_TEMPO, TBM_GETPOS, 0, 0)));
    BuildProgramMapFromList(hDlg);
    const struct {
        HRESULT (*pfnStep)();
        const char *pszFailure;
    } steps[] = {{[] { return LoadMidiFile(g_szMidiPath); }, "Can't load MIDI File"},
                 {RemoveFilter, "Can't Remove Filter"},
                 {SetFilter, "Can't Set Filter"},
                 {[] { return PlayMidiFile(TRUE); }, "Can't Play MIDI File"}};
    for (const auto &step : steps) {
        if (FAILED(step.pfnStep())) {
            ShowError(hDlg, step.pszFailure);
            return FALSE;
        }
    }
    return TRUE;
}

void ShowJobTitle(HWND hDlg) {
    static char s_szTitle[kProcessBufferSize + 16];
    snprintf(s_szTitle, sizeof s_szTitle, "%s -- %s", g_szMidiTitle, "Tunewright");
    SendMessageA(hDlg, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s_szTitle));
}

// Polls every 100 ms until the segment is about to end or Abort is pressed, showing elapsed time and progress.
void PollUntilEnd(HWND hDlg) {
    unsigned int nStart = static_cast<unsigned int>(GetPlayTimeSeconds());
    unsigned int nEnd = static_cast<unsigned int>(GetSegmentEndSeconds());
    // A piece shorter than two seconds has no length to show.
    unsigned int nTotal = (nEnd > nStart + 1) ? nEnd - nStart - 1 : 0;
    char szTotal[kMinSecTextSize], szElapsed[kMinSecTextSize];
    char szShown[kTimeTextSize] = "", szText[kTimeTextSize];
    FormatMinSec(nTotal, szTotal);
    while (!g_bAbort) {
        if (GetSegmentNotification() == kNotificationAlmostEnd) {
            RemoveSegmentNotification();
            break;
        }
        unsigned int nElapsed = static_cast<unsigned int>(GetPlayTimeSeconds()) - nStart;
        FormatMinSec(nElapsed, szElapsed);
        snprintf(szText, sizeof szText, "Time elapsed: %s / %s", szElapsed, szTotal);
        if (strcmp(szText, szShown) != 0) {
            SetLabelText(hDlg, IDC_CONVERT_TIME, szText);
            strcpy(szShown, szText);
        }
        unsigned int nPercent = nTotal ? nElapsed * 100u / nTotal : 0;
        SendDlgItemMessageA(hDlg, IDC_PROGRESS, PBM_SETPOS, nPercent, 0);
        Sleep(kPollMs);
    }
}

void RestoreControls(HWND hDlg) {
    EnableControls(hDlg, kBackAfterJob, ARRAYSIZE(kBackAfterJob), TRUE);
    if (IsDlgButtonChecked(hDlg, IDC_SAME_DIRECTORY) != BST_CHECKED)
        EnableWindow(GetDlgItem(hDlg, IDC_SET_PATH), TRUE);
    EnableWindow(GetDlgItem(hDlg, IDC_ABORT), FALSE);
}

JobEnd RunLockedPart(HWND hDlg) {
    ShowJobTitle(hDlg);
    EnableControls(hDlg, kLockedDuringJob, ARRAYSIZE(kLockedDuringJob), FALSE);
    EnableWindow(GetDlgItem(hDlg, IDC_ABORT), TRUE);
    PollUntilEnd(hDlg);
    if (FAILED(StopMidi())) {
        ShowError(hDlg, "Stop MIDI Failed");
        return kEndedLocked;
    }
    Sleep(kSettleMs);
    if (!g_bAbort)
        WriteConvertedFile(hDlg);
    return kEndedLocked;
}

} // namespace

void RunConvertJob(HWND hDlg) {
    InterlockedExchange(&g_bAbort, 0);
    JobEnd end = StartPlayback(hDlg) ? RunLockedPart(hDlg) : kEndedBeforeLock;
    if (end == kEndedLocked)
        RestoreControls(hDlg);
    else
        EnableWindow(GetDlgItem(hDlg, IDC_CONVERT), TRUE); // the file is still open: Convert! may be tried again
    SendMessageA(hDlg, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Tunewright"));
    InterlockedExchange(&g_bAbort, 0);
}
