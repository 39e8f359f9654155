// The SoundFont commands of the main dialog's system menu ("SoundFont...", "Default SoundFont") and the
// SoundFont remembered in settings.ini.
#pragma once

#include <windows.h>

// Adds the two commands to the dialog's system menu and skins the menu with Lustrekit in the dialog's look.
void AddSoundFontMenu(HWND hDlg);

// Gives the engine the SoundFont the settings remember (g_szSoundFont); a failure says so in a message box and
// the default plays, while the settings keep the file for the next start.
void ApplySavedSoundFont(HWND hDlg);

// WM_INITMENUPOPUP of the system menu: the commands are greyed while a conversion runs.
void UpdateSoundFontMenu(HWND hDlg);

// WM_SYSCOMMAND: TRUE when it was one of the two commands (handled), FALSE for the system's own.
BOOL OnSoundFontCommand(HWND hDlg, WPARAM wCommand);
