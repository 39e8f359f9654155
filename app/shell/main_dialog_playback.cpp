// Listening: Play, Stop and the 10 ms timer that moves the position display.
#include "main_dialog.h"

#include "dialog_controls.h"
#include "dialog_state.h"
#include "engine.h"
#include "format_time.h"
#include "instrument_list.h"
#include "process_state.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <string.h>

namespace {

const UINT_PTR kPlaybackTimer = 1;
const UINT kPlaybackTimerMs = 10;
const int kPlayTimeChars = 265;
const int kLockedWhilePlaying[] = {IDC_INSTRUMENTS, IDC_TEMPO,     IDC_TEMPO_LABEL, IDC_TONE_LABEL,
                                   IDC_TONE_UP,     IDC_TONE_DOWN, IDC_DEFAULT};

// Clock times of the playing piece, in whole seconds (dialog thread).
unsigned int g_nPlayStart = 0;
unsigned int g_nPlayEnd = 0;

} // namespace

void OnPlay(HWND hDlg) {
    EnableControls(hDlg, kLockedWhilePlaying, ARRAYSIZE(kLockedWhilePlaying), FALSE);
    StopMidi();
    InitAudioPath();
    SetMasterVolume(100 - static_cast<int>(SendDlgItemMessageA(hDlg, IDC_VOLUME, TBM_GETPOS, 0, 0)));
    SetMasterTempo(static_cast<int>(SendDlgItemMessageA(hDlg, IDC_TEMPO, TBM_GETPOS, 0, 0)));
    RemoveFilter();
    BuildProgramMapFromList(hDlg);
    if (FAILED(LoadMidiFile(g_szMidiPath))) {
        ShowError(hDlg, "Can't load MIDI File");
        return;
    }
    if (FAILED(PlayMidiFile(FALSE))) {
        ShowError(hDlg, "Can't Play MIDI File");
        return;
    }
    g_nPlayStart = static_cast<unsigned int>(GetPlayTimeSeconds());
    g_nPlayEnd = static_cast<unsigned int>(GetSegmentEndSeconds());
    SetTimer(hDlg, kPlaybackTimer, kPlaybackTimerMs, nullptr);
}

void EndPlaybackState(HWND hDlg) {
    KillTimer(hDlg, kPlaybackTimer);
    EnableControls(hDlg, kLockedWhilePlaying, ARRAYSIZE(kLockedWhilePlaying), TRUE);
}

void OnStop(HWND hDlg) {
    StopMidi();
    EndPlaybackState(hDlg);
}

void OnPlaybackTimer(HWND hDlg) {
    unsigned int nNow = static_cast<unsigned int>(GetPlayTimeSeconds());
    FormatMinSec(nNow - g_nPlayStart, g_szScratch);
    char szShown[kPlayTimeChars + 1];
    GetDlgItemTextA(hDlg, IDC_PLAY_TIME, szShown, kPlayTimeChars);
    if (strcmp(szShown, g_szScratch) != 0)
        SetLabelText(hDlg, IDC_PLAY_TIME, g_szScratch);
    // A piece that ends in the second it starts shows its whole length at once.
    unsigned int nLength = g_nPlayEnd - g_nPlayStart;
    unsigned int nPercent = nLength ? (nNow - g_nPlayStart) * 100u / nLength : 100;
    SendDlgItemMessageA(hDlg, IDC_POSITION, TBM_SETPOS, TRUE, nPercent);
    if (nNow > g_nPlayEnd)
        PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED), 0);
}
