// The system's menu font, read through the 340-byte non-client metrics record every Windows version accepts.
#pragma once

#include <windows.h>

#include <stddef.h>

// NONCLIENTMETRICSA without the Vista field iPaddedBorderWidth, which older systems refuse.
struct NonClientMetricsV1 {
    UINT cbSize;
    int iBorderWidth;
    int iScrollWidth;
    int iScrollHeight;
    int iCaptionWidth;
    int iCaptionHeight;
    LOGFONTA lfCaptionFont;
    int iSmCaptionWidth;
    int iSmCaptionHeight;
    LOGFONTA lfSmCaptionFont;
    int iMenuWidth;
    int iMenuHeight;
    LOGFONTA lfMenuFont;
    LOGFONTA lfStatusFont;
    LOGFONTA lfMessageFont;
};
static_assert(offsetof(NonClientMetricsV1, lfMessageFont) == offsetof(NONCLIENTMETRICSA, lfMessageFont),
              "NonClientMetricsV1 must lay out as NONCLIENTMETRICSA");
#ifndef _WIN64
static_assert(sizeof(NonClientMetricsV1) == 340, "NONCLIENTMETRICSA without iPaddedBorderWidth is 340 bytes");
#endif

// The menu font of the system's non-client metrics (zero-filled if the system does not answer).
LOGFONTA SystemMenuLogFont();
