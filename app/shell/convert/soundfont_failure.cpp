// The failure text of a SoundFont choice.
#include "soundfont_failure.h"

#include <cstdio>

void FormatSoundFontFailure(char *pszText, size_t cchText, const char *pszPath, const char *pszReason) {
    if (cchText == 0) {
        return;
    }
    snprintf(pszText, cchText, "Can't use the SoundFont \"%s\": %s", pszPath, pszReason);
}
