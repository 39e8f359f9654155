// The main dialog (template 102): its procedure and the handlers its files share.
#pragma once

#include <windows.h>

// The dialog procedure, run modally by the start-up with DialogBoxParamA.
INT_PTR CALLBACK MainDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Open (2004): the open-file dialog, then LoadMidiFileIntoDialog. A cancelled Open keeps the previous file.
void OnOpen(HWND hDlg);
// Reads the programs of the file in g_szMidiPath / g_szMidiTitle and shows it: Open's steps after the file dialog.
void LoadMidiFileIntoDialog(HWND hDlg);
// A file dropped on the dialog opens as Open would (ignored while a conversion runs).
void OnDropFiles(HWND hDlg, HDROP hDrop);

// Play (2007), Stop (2017) and the position timer.
void OnPlay(HWND hDlg);
void OnStop(HWND hDlg);
void OnPlaybackTimer(HWND hDlg);
// Ends the dialog's own playback state (timer, controls) without touching the engine; for Convert!.
void EndPlaybackState(HWND hDlg);

// Settings controls: tone, tempo label, output format, same-directory box, Set path, sliders.
void UpdateToneLabel(HWND hDlg);
void OnSameDirectory(HWND hDlg);
void OnOutputFormatChange(HWND hDlg);
void OnSetPath(HWND hDlg);
void OnSliderNotify(HWND hDlg, int nId);
