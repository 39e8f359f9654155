// The main dialog's instrument list: one checked row per program the file uses, and the program map built
// from it before every play and conversion.
#pragma once

#include <windows.h>

// Sets the list's check boxes, its one column and its subclass (the previous procedure in GWLP_USERDATA).
void InitInstrumentList(HWND hDlg);

// Deletes every row, then adds one ticked row per used program in ascending order (also maps each to itself).
void FillInstrumentList(HWND hDlg);

// Rebuilds g_programMap from the rows' check boxes and resets the channel table. Called while nothing plays.
void BuildProgramMapFromList(HWND hDlg);

// Check state of row nRow: TRUE ticked (sounds), FALSE muted.
BOOL IsInstrumentRowChecked(HWND hList, int nRow);
