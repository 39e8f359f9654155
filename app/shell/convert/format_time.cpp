// FormatMinSec: seconds as MM:SS, the hours dropped.
#include "format_time.h"

#include <stdio.h>

void FormatMinSec(unsigned int nSeconds, char *pszText) {
    unsigned int nInHour = nSeconds % 3600;
    unsigned int nMinutes = nInHour / 60;
    unsigned int nRest = nInHour % 60;
    const char *pszFormat = nMinutes < 10 ? (nRest < 10 ? "0%d:0%d" : "0%d:%d") : (nRest < 10 ? "%d:0%d" : "%d:%d");
    sprintf(pszText, pszFormat, nMinutes, nRest);
}
