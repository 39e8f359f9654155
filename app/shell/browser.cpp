// OpenInBrowser: the registry's browser command, cut to its program path, started with the text.
#include "browser.h"

#include <windows.h>

#include <shellapi.h>
#include <stdio.h>
#include <string.h>

namespace {

const DWORD kCommandBytes = 4096;
const size_t kExtensionChars = 4; // ".exe"

BOOL ReadBrowserCommand(char *pszCommand) {
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return FALSE;
    DWORD cbData = kCommandBytes - 1; // keeps the block's last byte as the terminator
    LONG nResult = RegQueryValueExA(hKey, nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(pszCommand), &cbData);
    RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS;
}

} // namespace

char *BrowserPathFromCommand(char *pszCommand) {
    char *pszPath = pszCommand[0] == '"' ? pszCommand + 1 : pszCommand;
    size_t nLength = strlen(pszPath);
    if (nLength < kExtensionChars)
        return nullptr;
    // Scans back from four characters before the end; the scan stays inside the text.
    for (size_t i = nLength - kExtensionChars + 1; i-- > 0;) {
        if (strncmp(pszPath + i, ".EXE", kExtensionChars) == 0 || strncmp(pszPath + i, ".exe", kExtensionChars) == 0) {
            pszPath[i + kExtensionChars] = '\0';
            return pszPath;
        }
    }
    return nullptr;
}

void QuoteArgument(const char *pszText, char *pszArgument, size_t cchArgument) {
    BOOL bQuote = strchr(pszText, ' ') != nullptr && pszText[0] != '"';
    snprintf(pszArgument, cchArgument, bQuote ? "\"%s\"" : "%s", pszText);
}

void OpenInBrowser(const char *pszText) {
    char *pszCommand = static_cast<char *>(GlobalAlloc(GPTR, kCommandBytes));
    if (pszCommand == nullptr)
        return;
    char *pszBrowser = ReadBrowserCommand(pszCommand) ? BrowserPathFromCommand(pszCommand) : nullptr;
    if (pszBrowser != nullptr) {
        size_t cchArgument = strlen(pszText) + 3;
        char *pszArgument = static_cast<char *>(GlobalAlloc(GPTR, cchArgument));
        if (pszArgument != nullptr) {
            QuoteArgument(pszText, pszArgument, cchArgument);
            ShellExecuteA(nullptr, "open", pszBrowser, pszArgument, nullptr, SW_SHOWNORMAL);
            GlobalFree(pszArgument);
        }
    } else {
        ShellExecuteA(nullptr, "open", pszText, nullptr, nullptr, SW_SHOWNORMAL);
    }
    GlobalFree(pszCommand);
}
