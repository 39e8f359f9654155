// Output naming: numbered alternatives so that an existing file is never overwritten.
#include "output_naming.h"

#include <stdio.h>
#include <string.h>

void CutAtLast(char *pszText, char ch) {
    for (size_t i = strlen(pszText); i-- > 1;) {
        if (pszText[i] == ch) {
            pszText[i] = '\0';
            return;
        }
    }
}

namespace {

bool NameExists(DWORD dwError) {
    return dwError == ERROR_FILE_EXISTS || dwError == ERROR_ALREADY_EXISTS;
}

// Creates the empty file; ERROR_SUCCESS, or why not. A name too long for the buffer is reported, not cut.
DWORD CreateEmpty(const char *pszPath, int nWritten, size_t cchPath) {
    if (nWritten < 0 || size_t(nWritten) >= cchPath)
        return ERROR_FILENAME_EXCED_RANGE;
    HANDLE hFile =
        CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(hFile);
    return ERROR_SUCCESS;
}

} // namespace

DWORD ReserveOutputName(const char *pszFolder, const char *pszBase, const char *pszExt, char *pszPath, size_t cchPath) {
    DWORD dwError = CreateEmpty(pszPath, snprintf(pszPath, cchPath, "%s\\%s.%s", pszFolder, pszBase, pszExt), cchPath);
    for (int n = 1; NameExists(dwError) && n < kMaxOutputNameTries; ++n) {
        dwError =
            CreateEmpty(pszPath, snprintf(pszPath, cchPath, "%s\\%s(%d).%s", pszFolder, pszBase, n, pszExt), cchPath);
    }
    return NameExists(dwError) ? ERROR_FILE_EXISTS : dwError;
}
