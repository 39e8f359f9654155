// The console's progress line: written only when its text changes, erased before the file's report.
#include "console_progress.h"

#include "engine.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

void BeginConsoleProgress(ConsoleProgress &progress, const char *pszFile, bool bWanted) {
    DWORD dwMode = 0;
    progress.pszFile = pszFile;
    progress.bShow = bWanted && GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &dwMode) != FALSE;
    progress.szShown[0] = '\0';
    progress.nLength = 0;
    progress.bLengthKnown = false;
}

void ShowConsoleProgress(unsigned int nElapsed, unsigned int nTotal, void *pContext) {
    ConsoleProgress &progress = *static_cast<ConsoleProgress *>(pContext);
    if (!progress.bLengthKnown) { // while the piece plays, the engine knows its start and end
        int nLength = GetSegmentEndSeconds() - GetSegmentStartSeconds();
        progress.nLength = nLength > 0 ? static_cast<unsigned int>(nLength) : 0;
        progress.bLengthKnown = true;
    }
    if (!progress.bShow)
        return;
    char szElapsed[kMinSecTextSize], szTotal[kMinSecTextSize], szText[sizeof progress.szShown];
    FormatMinSec(nElapsed, szElapsed);
    FormatMinSec(nTotal, szTotal);
    std::snprintf(szText, sizeof szText, "Time elapsed: %s / %s", szElapsed, szTotal);
    if (std::strcmp(szText, progress.szShown) == 0)
        return;
    std::printf("\r%s", szText);
    std::fflush(stdout);
    std::strcpy(progress.szShown, szText);
}

void EndConsoleProgress(ConsoleProgress &progress) {
    if (progress.szShown[0] == '\0')
        return;
    std::printf("\r%*s\r", static_cast<int>(std::strlen(progress.szShown)), "");
    std::fflush(stdout);
    progress.szShown[0] = '\0';
}
