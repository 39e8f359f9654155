// Main dialog procedure: initialisation, the command table, notifications and the close handling.
//
// Controls: Open 2004, file name 2016, play time 2032, Play 2007, Stop 2017, position 2009, volume 2024,
// tempo 2025 with its label button 2026, tone label 2027, tone + 2028 and - 2029, output format 2022, WAV and
// MP3 quality 2011 / 2023, Set path 2013, output path 2012, same-directory box 2014, progress 2010, conversion
// time 2015, Abort 2018, Convert! 2008, Default 2030, instruments 2031, About 2001, Exit 1; the system menu's
// SoundFont commands.
#include "main_dialog.h"

#include "about_dialog.h"
#include "browser.h"
#include "convert_worker.h"
#include "dialog_look.h"
#include "dialog_controls.h"
#include "dialog_state.h"
#include "effect_registration.h"
#include "engine.h"
#include "instrument_list.h"
#include "instrument_plan.h"
#include "open_request.h"
#include "process_state.h"
#include "quality_lists.h"
#include "soundfont_menu.h"
#include "resources/resource.h"
#include "settings_location.h"

#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <type_traits>

static_assert(std::is_same<decltype(&MainDialogProc), DLGPROC>::value, "a dialog procedure");

namespace {

const int kSliderMax = 100;
const int kPositionTickStep = 5;
const int kTempoTickStep = 10;
const int kOutputPathChars = 4096;
const size_t kFailureTextSize = 2048;
const int kStartDisabled[] = {IDC_DEFAULT, IDC_PLAY, IDC_STOP, IDC_POSITION, IDC_CONVERT, IDC_ABORT};

// Set while the dialog waits for an aborted conversion to end before it closes.
BOOL g_bCloseAfterJob = FALSE;

void InitSliders(HWND hDlg) {
    SendDlgItemMessageA(hDlg, IDC_POSITION, TBM_SETRANGE, FALSE, MAKELPARAM(0, kSliderMax));
    SendDlgItemMessageA(hDlg, IDC_POSITION, TBM_SETPOS, TRUE, 0);
    for (int tick = kPositionTickStep; tick < kSliderMax; tick += kPositionTickStep)
        SendDlgItemMessageA(hDlg, IDC_POSITION, TBM_SETTIC, 0, tick);
    SendDlgItemMessageA(hDlg, IDC_VOLUME, TBM_SETRANGE, FALSE, MAKELPARAM(0, kSliderMax));
    SendDlgItemMessageA(hDlg, IDC_VOLUME, TBM_SETPOS, TRUE, 0);
    SendDlgItemMessageA(hDlg, IDC_VOLUME, TBM_SETPOS, TRUE, g_nVolume);
    SendDlgItemMessageA(hDlg, IDC_TEMPO, TBM_SETRANGE, FALSE, MAKELPARAM(0, kSliderMax));
    SendDlgItemMessageA(hDlg, IDC_TEMPO, TBM_SETPOS, TRUE, kTempoPositionNormal);
    for (int tick = kTempoTickStep; tick < kSliderMax; tick += kTempoTickStep)
        SendDlgItemMessageA(hDlg, IDC_TEMPO, TBM_SETTIC, 0, tick);
}

// The engine and the capture effect; the program cannot run without either.
void StartEngine(HWND hDlg) {
    if (FAILED(InitDirectMusic(GetDesktopWindow()))) {
        ShowError(hDlg, "Init DirectMusic Failed");
        ExitProcess(0);
    }
    if (FindFilter() != S_OK) {
        // Not registered, or registered where the DLL no longer is (a folder that moved): register this copy.
        char szText[kFailureTextSize] = "FindFilter Failed\n\n";
        size_t cch = strlen(szText);
        BOOL bRegistered = RegisterCaptureEffect(g_szProgramDir, szText + cch, sizeof szText - cch);
        if (FindFilter() != S_OK) {
            if (bRegistered)
                FormatEffectNotListed(g_szProgramDir, szText + cch, sizeof szText - cch);
            ShowError(hDlg, szText);
            ExitProcess(0);
        }
    }
}

void OnInitDialog(HWND hDlg) {
    SkinMainDialogButtons(hDlg);
    InitInstrumentList(hDlg);
    CheckDlgButton(hDlg, IDC_SAME_DIRECTORY, g_bSameDirectory ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_SAME_DIRECTORY, BN_CLICKED), 0);
    static HFONT s_hFileNameFont = CreateFontA(20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    SendDlgItemMessageA(hDlg, IDC_FILE_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(s_hFileNameFont), FALSE);
    if (g_szOutputDir[0] == '\0')
        lstrcpynA(g_szOutputDir, DefaultOutputDir(), kProcessBufferSize);
    SetDlgItemTextA(hDlg, IDC_OUTPUT_PATH, g_szOutputDir);
    EnableControls(hDlg, kStartDisabled, ARRAYSIZE(kStartDisabled), FALSE);
    InitSliders(hDlg);
    InitOutputLists(hDlg);
    DragAcceptFiles(hDlg, TRUE);
    StartConvertWorker(hDlg);
    StartEngine(hDlg);
    AddSoundFontMenu(hDlg);
    ApplySavedSoundFont(hDlg);
    StartOpenRequests(hDlg);
}

// Exit and the close box: stop, keep the output folder for the settings, end. A running conversion is aborted
// first and the dialog closes once the worker has finished with the engine.
void OnClose(HWND hDlg) {
    if (g_bConverting) {
        g_bCloseAfterJob = TRUE;
        InterlockedExchange(&g_bAbort, 1);
        EnableWindow(GetDlgItem(hDlg, IDC_ABORT), FALSE);
        return;
    }
    StopMidi();
    GetDlgItemTextA(hDlg, IDC_OUTPUT_PATH, g_szOutputDir, kOutputPathChars);
    DeleteDialogTile();
    EndDialog(hDlg, 0);
}

void OnHelp() {
    snprintf(g_szScratch, kProcessBufferSize, "%s\\Help.html", g_szProgramDir);
    OpenInBrowser(g_szScratch);
}

void OnConvert(HWND hDlg) {
    EnableWindow(GetDlgItem(hDlg, IDC_CONVERT), FALSE);
    // A conversion started while listening: the dialog's playback ends here, so that its timer cannot act on the
    // performance the worker is about to set up.
    EndPlaybackState(hDlg);
    InterlockedExchange(&g_bConverting, 1);
    SetEvent(g_hConvertEvent);
}

void OnToneStep(HWND hDlg, int nStep) {
    g_transpose = nStep == 0 ? 0 : g_transpose + nStep;
    UpdateToneLabel(hDlg);
}

BOOL OnCommand(HWND hDlg, int nId, int nCode) {
    switch (nId) {
    case IDC_EXIT:
        OnClose(hDlg);
        return TRUE;
    case IDC_HELP_COMMAND:
        OnHelp();
        return TRUE;
    case IDC_ABOUT:
        RunAboutDialog(hDlg);
        return TRUE;
    case IDC_OPEN:
        OnOpen(hDlg);
        return TRUE;
    case IDC_PLAY:
        OnPlay(hDlg);
        return TRUE;
    case IDC_CONVERT:
        OnConvert(hDlg);
        return TRUE;
    case IDC_SET_PATH:
        OnSetPath(hDlg);
        return TRUE;
    case IDC_SAME_DIRECTORY:
        OnSameDirectory(hDlg);
        return TRUE;
    case IDC_STOP:
        OnStop(hDlg);
        return TRUE;
    case IDC_ABORT:
        EnableWindow(GetDlgItem(hDlg, IDC_ABORT), FALSE);
        InterlockedExchange(&g_bAbort, 1);
        return TRUE;
    case IDC_OUTPUT_FORMAT:
        if (nCode == CBN_SELCHANGE)
            OnOutputFormatChange(hDlg);
        return TRUE;
    case IDC_TEMPO_LABEL:
        SendDlgItemMessageA(hDlg, IDC_TEMPO, TBM_SETPOS, TRUE, kTempoPositionNormal);
        SetDlgItemTextA(hDlg, IDC_TEMPO_LABEL, "Tempo:\n100%");
        return TRUE;
    case IDC_TONE_LABEL:
        OnToneStep(hDlg, 0);
        return TRUE;
    case IDC_TONE_UP:
        OnToneStep(hDlg, 1);
        return TRUE;
    case IDC_TONE_DOWN:
        OnToneStep(hDlg, -1);
        return TRUE;
    case IDC_DEFAULT:
        FillInstrumentList(hDlg);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL OnNotify(HWND hDlg, const NMHDR *pHeader) {
    if (pHeader->idFrom == IDC_INSTRUMENTS) {
        if (pHeader->code == LVN_ENDSCROLL)
            InvalidateRect(pHeader->hwndFrom, nullptr, FALSE);
    } else if (pHeader->idFrom == IDC_TEMPO || pHeader->idFrom == IDC_VOLUME) {
        OnSliderNotify(hDlg, static_cast<int>(pHeader->idFrom));
    }
    return TRUE;
}

void OnJobEnded(HWND hDlg) {
    InterlockedExchange(&g_bConverting, 0);
    if (g_bCloseAfterJob) {
        g_bCloseAfterJob = FALSE;
        OnClose(hDlg);
    }
}

} // namespace

INT_PTR CALLBACK MainDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == g_uOpenMessage && g_uOpenMessage != 0) {
        if (AnswerInstanceQuery(hDlg, wParam))
            return TRUE;
        SetForegroundWindow(hDlg);
        ShowWindow(hDlg, SW_SHOWNORMAL);
        return TRUE;
    }
    switch (uMsg) {
    case WM_INITDIALOG:
        OnInitDialog(hDlg);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(hDlg, LOWORD(wParam), HIWORD(wParam));
    case WM_TIMER:
        OnPlaybackTimer(hDlg);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(hDlg, reinterpret_cast<const NMHDR *>(lParam));
    case WM_HELP:
        OnHelp();
        return TRUE;
    case WM_DROPFILES:
        OnDropFiles(hDlg, reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        return OnSoundFontCommand(hDlg, wParam);
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam) != 0) // the system menu
            UpdateSoundFontMenu(hDlg);
        return FALSE;
    case WM_APP_JOB_ENDED:
        OnJobEnded(hDlg);
        return TRUE;
    case WM_COPYDATA:
        return OnOpenFileCopyData(hDlg, reinterpret_cast<const COPYDATASTRUCT *>(lParam));
    case WM_APP_OPEN_FILE:
        OnOpenQueuedFile(hDlg);
        return TRUE;
    case WM_ERASEBKGND:
        return PaintDialogTile(hDlg, reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORSTATIC:
        return MainDialogLabelColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE:
        OnClose(hDlg);
        return TRUE;
    case WM_DESTROY:
        FreeDirectMusic();
        ReleaseMutex(g_hMutex);
        return TRUE;
    default:
        return FALSE;
    }
}
