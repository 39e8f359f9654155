// Status code to description: binary search over constant per-family tables, no allocation.
#include "error_descriptions.h"

#include "error_table.h"

namespace {

const char kUnknownCode[] = "n/a";

// Codes 0 and 1 are S_OK and S_FALSE; from 2 on, a small non-negative value is a Win32 error number.
const HRESULT kFirstPlainWin32Code = 2;
const HRESULT kLastPlainWin32Code = 0xFFFF;

// HRESULT_FROM_WIN32 forms: failure severity, facility Win32, error number in the low word.
const unsigned long kWin32FormMask = 0xFFFF0000UL;
const unsigned long kWin32FormBase = 0x80070000UL;
const unsigned long kWin32NumberMask = 0x0000FFFFUL;

// The Win32 error number a code stands for, or -1 when it is not one.
HRESULT Win32NumberOf(HRESULT hr) {
    if (hr >= kFirstPlainWin32Code && hr <= kLastPlainWin32Code) {
        return hr;
    }
    unsigned long uCode = static_cast<unsigned long>(hr);
    if ((uCode & kWin32FormMask) == kWin32FormBase) {
        return static_cast<HRESULT>(uCode & kWin32NumberMask);
    }
    return -1;
}

} // namespace

const char *FindErrorText(const ErrorTable &table, HRESULT hr) {
    unsigned long uCode = static_cast<unsigned long>(hr);
    size_t nLow = 0;
    size_t nHigh = table.nEntries;
    while (nLow < nHigh) {
        size_t nMid = nLow + (nHigh - nLow) / 2;
        unsigned long uMid = static_cast<unsigned long>(table.pEntries[nMid].hr);
        if (uMid == uCode) {
            return table.pEntries[nMid].pszText;
        }
        if (uMid < uCode) {
            nLow = nMid + 1;
        } else {
            nHigh = nMid;
        }
    }
    return nullptr;
}

// Pointers, so the list is fixed at compile time and usable before any constructor has run.
const ErrorTable *const g_errorFamilies[] = {&g_comErrors,   &g_dmusicErrors, &g_dsoundErrors, &g_dinputErrors,
                                             &g_dshowErrors, &g_ddrawErrors,  &g_dplayErrors,  &g_dplay8Errors};
const size_t g_nErrorFamilies = sizeof(g_errorFamilies) / sizeof(g_errorFamilies[0]);

const char *GetErrorDescription(HRESULT hr) {
    const char *pszFirst = nullptr;
    int nFound = 0;
    for (size_t i = 0; i < g_nErrorFamilies; ++i) {
        const char *pszText = FindErrorText(*g_errorFamilies[i], hr);
        if (pszText != nullptr) {
            if (nFound == 0) {
                pszFirst = pszText;
            }
            ++nFound;
        }
    }
    if (nFound > 1) {
        const char *pszShared = FindErrorText(g_sharedErrors, hr);
        return pszShared != nullptr ? pszShared : pszFirst;
    }
    if (nFound == 1) {
        return pszFirst;
    }
    HRESULT nWin32 = Win32NumberOf(hr);
    const char *pszWin32 = nWin32 >= 0 ? FindErrorText(g_win32Errors, nWin32) : nullptr;
    return pszWin32 != nullptr ? pszWin32 : kUnknownCode;
}
