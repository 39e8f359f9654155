// The text for a SoundFont that cannot be used: the dialog's message box and the console converter say the same.
#pragma once

#include <cstddef>

// "Can't use the SoundFont "PATH": REASON" into pszText (cchText bytes, always NUL-terminated).
void FormatSoundFontFailure(char *pszText, size_t cchText, const char *pszPath, const char *pszReason);
