// The SoundFont commands of the system menu: a file dialog for .sf2 and .sf3, the engine told, the choice kept.
#include "soundfont_menu.h"

#include "dialog_state.h"
#include "engine.h"
#include "lustrekit.h"
#include "process_state.h"
#include "resources/resource.h"
#include "soundfont_failure.h"

#include <commdlg.h>

namespace {

const char kSoundFontFilter[] = "SoundFont Files (*.sf2, *.sf3)\0*.sf2;*.sf3\0";
const DWORD kReasonSize = 1024;
const size_t kMessageSize = kSettingTextSize + kReasonSize + 64;

// Loads the SoundFont (the wait cursor shows meanwhile); a failure is shown naming the file and the reason.
bool UseSoundFont(HWND hDlg, const char *pszPath, const char *pszShownName) {
    HCURSOR hPrevious = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    char szReason[kReasonSize];
    HRESULT hr = SetEngineSoundFont(pszPath, szReason, kReasonSize);
    SetCursor(hPrevious);
    if (SUCCEEDED(hr)) {
        return true;
    }
    static char s_szMessage[kMessageSize];
    FormatSoundFontFailure(s_szMessage, kMessageSize, pszShownName, szReason);
    ShowError(hDlg, s_szMessage);
    return false;
}

void ChooseSoundFontFile(HWND hDlg) {
    static char s_szFile[kSettingTextSize];
    lstrcpynA(s_szFile, g_szSoundFont, kSettingTextSize);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hDlg;
    ofn.lpstrFilter = kSoundFontFilter;
    ofn.lpstrFile = s_szFile;
    ofn.nMaxFile = kSettingTextSize - 1;
    ofn.lpstrTitle = "SoundFont";
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn)) {
        return;
    }
    if (UseSoundFont(hDlg, s_szFile, s_szFile)) {
        lstrcpynA(g_szSoundFont, s_szFile, kSettingTextSize);
    }
}

} // namespace

void AddSoundFontMenu(HWND hDlg) {
    // Lustrekit gives the window its own copy of the system menu, then the commands join it.
    RedrawWindowMenu(hDlg);
    SetStyleMenu(MENUSTYLE_FLAT); // the flat highlight of the dialog's flat buttons
    HMENU hMenu = GetSystemMenu(hDlg, FALSE);
    AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(hMenu, MF_STRING, IDM_SOUNDFONT, "SoundFont...");
    AppendMenuA(hMenu, MF_STRING, IDM_DEFAULT_SOUNDFONT, "Default SoundFont");
}

void ApplySavedSoundFont(HWND hDlg) {
    if (g_szSoundFont[0] != '\0') {
        UseSoundFont(hDlg, g_szSoundFont, g_szSoundFont);
    }
}

void UpdateSoundFontMenu(HWND hDlg) {
    HMENU hMenu = GetSystemMenu(hDlg, FALSE);
    UINT uState = g_bConverting ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(hMenu, IDM_SOUNDFONT, MF_BYCOMMAND | uState);
    EnableMenuItem(hMenu, IDM_DEFAULT_SOUNDFONT, MF_BYCOMMAND | uState);
}

BOOL OnSoundFontCommand(HWND hDlg, WPARAM wCommand) {
    UINT uCommand = static_cast<UINT>(wCommand) & 0xFFF0; // the system keeps the low four bits for itself
    if (uCommand != IDM_SOUNDFONT && uCommand != IDM_DEFAULT_SOUNDFONT) {
        return FALSE;
    }
    if (g_bConverting) { // a keyboard shortcut can still arrive while the commands are greyed
        return TRUE;
    }
    if (uCommand == IDM_SOUNDFONT) {
        ChooseSoundFontFile(hDlg);
    } else if (UseSoundFont(hDlg, "", "the default")) {
        g_szSoundFont[0] = '\0';
    }
    return TRUE;
}
