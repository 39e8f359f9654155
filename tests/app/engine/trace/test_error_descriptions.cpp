// Status descriptions: the fixed rows, unknown codes, Win32 forms, shared codes and the tables' order.
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>

#include <dinput.h>
#include <dmerror.h>
#include <dsound.h>
#include <vfwmsgs.h>

#include <gtest/gtest.h>

#include <string>

#include "error_descriptions.h"
#include "error_table.h"

namespace {

const ErrorTable *const kAllTables[] = {&g_comErrors,   &g_dmusicErrors, &g_dsoundErrors, &g_dinputErrors,
                                        &g_dshowErrors, &g_ddrawErrors,  &g_dplayErrors,  &g_dplay8Errors,
                                        &g_win32Errors, &g_sharedErrors};

TEST(ErrorDescriptionRows, FixedRowsReadExactly) {
    EXPECT_STREQ("The function completed successfully", GetErrorDescription(0));
    EXPECT_STREQ("Call successful, but returned FALSE", GetErrorDescription(1));
    EXPECT_STREQ("The system cannot find the file specified.", GetErrorDescription(2));
    EXPECT_STREQ("Access is denied.", GetErrorDescription(5));
}

TEST(ErrorDescriptionRows, UnknownCodesGiveNa) {
    EXPECT_STREQ("n/a", GetErrorDescription(static_cast<HRESULT>(0x8BADF00DUL)));
    EXPECT_STREQ("n/a", GetErrorDescription(static_cast<HRESULT>(0x88780001UL)));
    EXPECT_STREQ("n/a", GetErrorDescription(-1));
    EXPECT_STREQ("n/a", GetErrorDescription(0x7FFFFFFF));
    EXPECT_STREQ("n/a", GetErrorDescription(0x10000)); // beyond the Win32 error numbers
}

TEST(ErrorDescriptionRows, Win32NumbersAndTheirHresultFormsAgree) {
    EXPECT_STREQ(GetErrorDescription(ERROR_PATH_NOT_FOUND),
                 GetErrorDescription(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)));
    EXPECT_STREQ("The system cannot find the path specified.", GetErrorDescription(ERROR_PATH_NOT_FOUND));
    EXPECT_STREQ("The system cannot find the file specified.",
                 GetErrorDescription(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)));
    // Error 1 only has its Win32 meaning in the HRESULT form; the plain value 1 is S_FALSE.
    EXPECT_STREQ("Incorrect function.", GetErrorDescription(HRESULT_FROM_WIN32(ERROR_INVALID_FUNCTION)));
}

TEST(ErrorDescriptionRows, BorrowedComCodesKeepOneText) {
    // DSERR_GENERIC and DIERR_GENERIC are E_FAIL: one text, never a join of the same meaning.
    EXPECT_STREQ(GetErrorDescription(E_FAIL), GetErrorDescription(DSERR_GENERIC));
    EXPECT_EQ(std::string::npos, std::string(GetErrorDescription(E_OUTOFMEMORY)).find(" & "));
    EXPECT_EQ(std::string::npos, std::string(GetErrorDescription(E_ACCESSDENIED)).find(" & "));
}

TEST(ErrorDescriptionRows, FamiliesAnswerTheirOwnCodes) {
    EXPECT_STREQ("The specified WAVE format is not supported", GetErrorDescription(DSERR_BADFORMAT));
    EXPECT_STREQ("Class not registered", GetErrorDescription(REGDB_E_CLASSNOTREG));
    EXPECT_STREQ("File open failed - either file doesn't exist or is locked.",
                 GetErrorDescription(DMUS_E_LOADER_FAILEDOPEN));
    EXPECT_NE(std::string("n/a"), GetErrorDescription(DMUS_S_FREE));
    EXPECT_NE(std::string("n/a"), GetErrorDescription(VFW_E_BAD_KEY));
}

TEST(ErrorDescriptionJoin, DeviceFullSharesItsCodeWithInvalidSubtype) {
    EXPECT_STREQ("The device is full. & An invalid media subtype was specified.",
                 GetErrorDescription(static_cast<HRESULT>(DIERR_DEVICEFULL)));
    EXPECT_EQ(static_cast<HRESULT>(DIERR_DEVICEFULL), VFW_E_INVALIDSUBTYPE);
}

TEST(ErrorDescriptionJoin, DirectSoundObjectNotFoundJoinsDirectMusicNotFound) {
    std::string text = GetErrorDescription(DSERR_OBJECTNOTFOUND);
    EXPECT_EQ(0u, text.find("The requested item was not contained by the object. & "));
}

// Every code listed by more than one family must come back as the family texts joined in family order, and a
// code listed once must come back as its one text: catches a missing or stale shared row.
TEST(ErrorDescriptionJoin, EveryCodeGivesItsFamiliesTextsInOrder) {
    int nShared = 0;
    for (size_t f = 0; f < g_nErrorFamilies; ++f) {
        const ErrorTable &table = *g_errorFamilies[f];
        for (size_t i = 0; i < table.nEntries; ++i) {
            HRESULT hr = table.pEntries[i].hr;
            std::string expected;
            int nFamilies = 0;
            for (size_t g = 0; g < g_nErrorFamilies; ++g) {
                const char *pszText = FindErrorText(*g_errorFamilies[g], hr);
                if (pszText != nullptr) {
                    expected += (nFamilies++ == 0 ? "" : " & ");
                    expected += pszText;
                }
            }
            nShared += nFamilies > 1 ? 1 : 0;
            EXPECT_EQ(expected, GetErrorDescription(hr)) << table.pszFamily << " code 0x" << std::hex << hr;
        }
    }
    EXPECT_GT(nShared, 0);
    // Each shared row stands for a code at least two families list.
    for (size_t i = 0; i < g_sharedErrors.nEntries; ++i) {
        int nFamilies = 0;
        for (size_t g = 0; g < g_nErrorFamilies; ++g) {
            nFamilies += FindErrorText(*g_errorFamilies[g], g_sharedErrors.pEntries[i].hr) != nullptr ? 1 : 0;
        }
        EXPECT_GE(nFamilies, 2) << "shared row 0x" << std::hex << g_sharedErrors.pEntries[i].hr;
    }
}

// Binary search needs strictly ascending codes; an out-of-order row would silently vanish from lookups.
TEST(ErrorDescriptionTables, EveryTableIsStrictlyAscendingWithTexts) {
    size_t nTotal = 0;
    for (const ErrorTable *pTable : kAllTables) {
        ASSERT_GT(pTable->nEntries, 0u) << pTable->pszFamily;
        for (size_t i = 0; i < pTable->nEntries; ++i) {
            ASSERT_NE(nullptr, pTable->pEntries[i].pszText);
            EXPECT_GT(strlen(pTable->pEntries[i].pszText), 0u);
            if (i > 0) {
                EXPECT_LT(static_cast<unsigned long>(pTable->pEntries[i - 1].hr),
                          static_cast<unsigned long>(pTable->pEntries[i].hr))
                    << pTable->pszFamily << " row " << i;
            }
            EXPECT_STREQ(pTable->pEntries[i].pszText, FindErrorText(*pTable, pTable->pEntries[i].hr));
        }
        nTotal += pTable->nEntries;
    }
    EXPECT_GE(nTotal, 500u); // several hundred codes across the families
}

} // namespace
