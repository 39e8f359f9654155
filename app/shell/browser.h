// Opening a web address or a local HTML file in the user's web browser.
#pragma once

#include <stddef.h>

// Finds the browser that opens http addresses (HKEY_CLASSES_ROOT\http\shell\open\command) and starts it with
// pszText as its argument. Without a usable registry value the shell opens pszText itself.
void OpenInBrowser(const char *pszText);

// The browser's program path from an "open" command line: a leading quotation mark skipped and the text cut
// after the last ".EXE" or ".exe". Returns a pointer into pszCommand (modified), or null when neither is found.
char *BrowserPathFromCommand(char *pszCommand);

// Writes pszText as one command-line argument into pszArgument (cchArgument bytes): quoted when it holds a blank.
void QuoteArgument(const char *pszText, char *pszArgument, size_t cchArgument);
