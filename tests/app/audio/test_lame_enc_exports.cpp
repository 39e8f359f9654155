// lame_enc.dll's export table: the nine entry points answer by ordinal and never by name.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

// GetProcAddress answers FARPROC; the entries are cdecl functions with LAME's own signatures.
template <typename Fn> Fn EntryByOrdinal(HMODULE hDll, WORD wOrdinal) {
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(hDll, MAKEINTRESOURCEA(wOrdinal))));
}

struct Export {
    WORD wOrdinal;
    const char *pszName;
};

const Export kExports[] = {
    {100, "lame_init"},
    {101, "lame_close"},
    {102, "lame_init_params"},
    {110, "lame_encode_buffer_interleaved"},
    {120, "lame_encode_flush"},
    {1002, "lame_set_in_samplerate"},
    {1004, "lame_set_num_channels"},
    {1006, "lame_set_bWriteVbrTag"},
    {1012, "lame_set_out_samplerate"},
};

TEST(LameEncExports, EveryEntryIsReachableByOrdinalOnly) {
    HMODULE hDll = LoadLibraryA("lame_enc.dll");
    ASSERT_TRUE(hDll != NULL);
    for (const Export &e : kExports) {
        EXPECT_TRUE(GetProcAddress(hDll, MAKEINTRESOURCEA(e.wOrdinal)) != NULL) << e.wOrdinal;
        EXPECT_TRUE(GetProcAddress(hDll, e.pszName) == NULL) << e.pszName;
    }
    // Gaps between the ordinals are empty, not other LAME functions.
    for (WORD wGap : {WORD(103), WORD(111), WORD(1003), WORD(1013)}) {
        EXPECT_TRUE(GetProcAddress(hDll, MAKEINTRESOURCEA(wGap)) == NULL) << wGap;
    }
    FreeLibrary(hDll);
}

TEST(LameEncExports, OrdinalsDriveARealEncoder) {
    typedef void *(*InitFn)();
    typedef int (*SetFn)(void *, int);
    typedef int (*ParamsFn)(void *);
    typedef int (*CloseFn)(void *);
    HMODULE hDll = LoadLibraryA("lame_enc.dll");
    ASSERT_TRUE(hDll != NULL);
    InitFn pInit = EntryByOrdinal<InitFn>(hDll, 100);
    CloseFn pClose = EntryByOrdinal<CloseFn>(hDll, 101);
    ParamsFn pParams = EntryByOrdinal<ParamsFn>(hDll, 102);
    SetFn pChannels = EntryByOrdinal<SetFn>(hDll, 1004);
    ASSERT_TRUE(pInit && pClose && pParams && pChannels);
    void *pLame = pInit();
    ASSERT_TRUE(pLame != NULL);
    // LAME accepts one or two channels only: the answer shows 1004 really is the channel setting.
    EXPECT_EQ(0, pChannels(pLame, 1));
    EXPECT_EQ(0, pParams(pLame));
    EXPECT_EQ(0, pClose(pLame));
    FreeLibrary(hDll);
}

} // namespace
