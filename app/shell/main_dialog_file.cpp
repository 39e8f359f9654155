// Opening a MIDI file: the open-file dialog, a dropped file, the instrument list and the file-name label.
#include "main_dialog.h"

#include "dialog_controls.h"
#include "dialog_state.h"
#include "instrument_list.h"
#include "instrument_plan.h"
#include "midi_programs.h"
#include "process_state.h"
#include "resources/resource.h"

#include <commdlg.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

// The open-file record as the dialog fills it: the 76-byte form, without the Windows 2000 fields.
#ifndef _WIN64
static_assert(sizeof(OPENFILENAME_NT4A) == 76, "the open-file record is 76 bytes");
#endif

namespace {

const char kMidiFilter[] = "MIDI and Karaoke Files (*.MID, *.MIDI, *.KAR)\0*.MID;*.MIDI;*.KAR\0";
const DWORD kOpenFlags = OFN_EXPLORER | OFN_PATHMUSTEXIST; // 0x80800
const DWORD kFileBufferChars = 65535;
const size_t kLabelMaxChars = 23;
const size_t kLabelKeptChars = 20;
const int kOpenEnables[] = {IDC_DEFAULT, IDC_CONVERT, IDC_PLAY, IDC_STOP};

OPENFILENAME_NT4A g_openFileRecord;
// The file that was open before the dialog, given back when it is cancelled.
char g_szPreviousPath[kProcessBufferSize];
char g_szPreviousTitle[kProcessBufferSize];

void ShowFileName(HWND hDlg) {
    strcpy(g_szScratch, g_szMidiTitle);
    if (strlen(g_szScratch) > kLabelMaxChars)
        strcpy(g_szScratch + kLabelKeptChars, "...");
    SetLabelText(hDlg, IDC_FILE_NAME, g_szScratch);
}

BOOL AskForFile(HWND hDlg) {
    memset(&g_openFileRecord, 0, sizeof g_openFileRecord);
    strcpy(g_szScratch, g_szMidiPath);
    g_szMidiTitle[0] = '\0';
    g_szMidiPath[0] = '\0';
    if (g_szScratch[0] == '\0')
        snprintf(g_szScratch, kProcessBufferSize, "%s\\midi", g_szProgramDir);
    g_openFileRecord.lStructSize = sizeof g_openFileRecord;
    g_openFileRecord.hwndOwner = hDlg;
    g_openFileRecord.hInstance = g_hInstance;
    g_openFileRecord.lpstrFilter = kMidiFilter;
    g_openFileRecord.lpstrFile = g_szMidiPath;
    g_openFileRecord.nMaxFile = kFileBufferChars;
    g_openFileRecord.lpstrFileTitle = g_szMidiTitle;
    g_openFileRecord.nMaxFileTitle = kFileBufferChars;
    g_openFileRecord.lpstrInitialDir = g_szScratch;
    g_openFileRecord.Flags = kOpenFlags;
    return GetOpenFileNameA(reinterpret_cast<OPENFILENAMEA *>(&g_openFileRecord));
}

// The extensions the open-file dialog offers.
BOOL IsMidiFileName(const char *pszPath) {
    const char *pszDot = strrchr(pszPath, '.');
    return pszDot &&
           (lstrcmpiA(pszDot, ".mid") == 0 || lstrcmpiA(pszDot, ".midi") == 0 || lstrcmpiA(pszDot, ".kar") == 0);
}

} // namespace

void LoadMidiFileIntoDialog(HWND hDlg) {
    OnStop(hDlg);
    LoadUsedPrograms(g_szMidiPath);
    ResetProgramMap(g_usedPrograms);
    FillInstrumentList(hDlg);
    ShowFileName(hDlg);
    EnableControls(hDlg, kOpenEnables, ARRAYSIZE(kOpenEnables), TRUE);
}

void OnOpen(HWND hDlg) {
    strcpy(g_szPreviousPath, g_szMidiPath);
    strcpy(g_szPreviousTitle, g_szMidiTitle);
    if (!AskForFile(hDlg)) {
        // Cancelled: the label and the list still show the previous file, so it stays the open one.
        strcpy(g_szMidiPath, g_szPreviousPath);
        strcpy(g_szMidiTitle, g_szPreviousTitle);
        return;
    }
    LoadMidiFileIntoDialog(hDlg);
}

void OnDropFiles(HWND hDlg, HDROP hDrop) {
    char *pszDropped = g_szPreviousPath;
    if (!g_bConverting && DragQueryFileA(hDrop, 0, pszDropped, kFileBufferChars) > 0 && IsMidiFileName(pszDropped)) {
        strcpy(g_szMidiPath, pszDropped);
        const char *pszName = strrchr(g_szMidiPath, '\\');
        strcpy(g_szMidiTitle, pszName ? pszName + 1 : g_szMidiPath);
        LoadMidiFileIntoDialog(hDlg);
    }
    DragFinish(hDrop);
}
