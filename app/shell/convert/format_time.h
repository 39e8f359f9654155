// MM:SS texts of the position and conversion time labels.
#pragma once

// Buffer size that holds any FormatMinSec text with its NUL.
const int kMinSecTextSize = 8;

// Writes nSeconds as two-digit minutes, a colon and two-digit seconds, hours dropped (3725 gives "02:05").
void FormatMinSec(unsigned int nSeconds, char *pszText);
