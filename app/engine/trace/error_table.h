// Tables behind GetErrorDescription: one sorted table per error family, plus the texts of shared codes.
#pragma once

#include <windows.h>

#include <cstddef>

// One code and its standard description.
struct ErrorText {
    HRESULT hr;
    const char *pszText;
};

// A family's codes, sorted by ascending (unsigned) code, each code once.
struct ErrorTable {
    const char *pszFamily;
    const ErrorText *pEntries;
    size_t nEntries;
};

// Families searched by GetErrorDescription, in the order their texts are joined when two share a code. Codes a
// family merely borrows from COM or Win32 (DSERR_GENERIC is E_FAIL) are listed under COM or Win32 only.
extern const ErrorTable *const g_errorFamilies[];
extern const size_t g_nErrorFamilies;

// Win32 error numbers (ERROR_*), used for small non-negative codes and for HRESULT_FROM_WIN32 forms.
extern const ErrorTable g_win32Errors;

// Codes two families define with different meanings: both texts joined with " & ", in family order.
extern const ErrorTable g_sharedErrors;

// The family tables themselves (one source file each).
extern const ErrorTable g_comErrors;
extern const ErrorTable g_dmusicErrors;
extern const ErrorTable g_dsoundErrors;
extern const ErrorTable g_dinputErrors;
extern const ErrorTable g_dshowErrors;
extern const ErrorTable g_ddrawErrors;
extern const ErrorTable g_dplayErrors;
extern const ErrorTable g_dplay8Errors;

// Binary search of one table; null when the code is not listed.
const char *FindErrorText(const ErrorTable &table, HRESULT hr);

#define ERROR_TABLE(name, family, entries)                                                                             \
    const ErrorTable name = {family, entries, sizeof(entries) / sizeof(entries[0])}
