// The converting piece's elapsed and total time on one console line, rewritten in place as the dialog's time
// label is, and the piece's length for the line that reports the file.
#pragma once

#include "format_time.h"

struct ConsoleProgress {
    const char *pszFile;
    bool bShow;           // stdout is a console and progress was not turned off
    char szShown[96];     // the text on the line now ("" when none)
    unsigned int nLength; // the piece's length in whole seconds, from the segment's start
    bool bLengthKnown;
};

// Starts a line for pszFile; nothing is shown unless bWanted and stdout is a console.
void BeginConsoleProgress(ConsoleProgress &progress, const char *pszFile, bool bWanted);
// A CaptureProgressProc: pContext is the ConsoleProgress.
void ShowConsoleProgress(unsigned int nElapsed, unsigned int nTotal, void *pContext);
// Clears the line, so that the report takes its place.
void EndConsoleProgress(ConsoleProgress &progress);
