// A MIDI file named on the command line (Explorer's "Open with"): opened by this instance's dialog once it has
// started, or handed to the instance that already runs, which opens it and comes to the front.
#pragma once

#include <windows.h>

// Posted by the dialog to itself: open the file that the command line or another instance asked for.
const UINT WM_APP_OPEN_FILE = WM_APP + 2;

// Keeps the file the command line names (quoted or not), as a full path against the folder the program was
// started in: call it before InitProgramDir changes the current directory. No argument, no file.
void TakeCommandLineFile(const char *pszCmdLine);

// TRUE when the command line named a file.
BOOL HasCommandLineFile();

// Second instance: hands the file to the running instance's main dialog and lets it come to the front. Waits
// for a dialog that is still starting; FALSE when none took the file.
BOOL SendFileToRunningInstance();

// Main dialog, at the end of its initialisation: takes files from other instances (also from one that runs
// without administrator rights while this one has them), and opens the command line's file once it runs.
void StartOpenRequests(HWND hDlg);

// Main dialog: g_uOpenMessage asking whether this is Tunewright's dialog. TRUE (with the answer set) when the
// message was that question.
BOOL AnswerInstanceQuery(HWND hDlg, WPARAM wParam);

// Main dialog: WM_COPYDATA. A file from another instance is queued, the dialog comes to the front, and TRUE is
// returned; anything else gives FALSE.
BOOL OnOpenFileCopyData(HWND hDlg, const COPYDATASTRUCT *pData);

// Main dialog: WM_APP_OPEN_FILE. Opens the queued file as Open would, or says why it cannot.
void OnOpenQueuedFile(HWND hDlg);
