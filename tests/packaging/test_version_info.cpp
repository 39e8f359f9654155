// Every file Tunewright ships, and its installer, names the product, describes itself, carries the one version
// number and a copyright in its VERSIONINFO, as the file's Properties show them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct VersionInfo {
    std::vector<BYTE> block;
    std::string prefix; // "\StringFileInfo\<language><code page>\"

    bool Read(const std::string &path) {
        DWORD dwHandle = 0, cb = GetFileVersionInfoSizeA(path.c_str(), &dwHandle);
        if (cb == 0)
            return false;
        block.resize(cb);
        if (!GetFileVersionInfoA(path.c_str(), 0, cb, block.data()))
            return false;
        struct Translation {
            WORD wLanguage, wCodePage;
        } *pTranslation = nullptr;
        UINT cbTranslation = 0;
        if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void **>(&pTranslation),
                            &cbTranslation) ||
            cbTranslation < sizeof *pTranslation)
            return false;
        char szPrefix[64];
        snprintf(szPrefix, sizeof szPrefix, "\\StringFileInfo\\%04x%04x\\", pTranslation->wLanguage,
                 pTranslation->wCodePage);
        prefix = szPrefix;
        return true;
    }
    std::string Text(const char *pszName) const {
        char *pszValue = nullptr;
        UINT cch = 0;
        if (!VerQueryValueA(block.data(), (prefix + pszName).c_str(), reinterpret_cast<void **>(&pszValue), &cch))
            return "";
        return pszValue;
    }
    // The fixed part's file version, "a.b.c.d".
    std::string FileVersion() const {
        VS_FIXEDFILEINFO *pFixed = nullptr;
        UINT cb = 0;
        if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void **>(&pFixed), &cb) || cb < sizeof *pFixed)
            return "";
        char szVersion[64];
        snprintf(szVersion, sizeof szVersion, "%lu.%lu.%lu.%lu", HIWORD(pFixed->dwFileVersionMS),
                 LOWORD(pFixed->dwFileVersionMS), HIWORD(pFixed->dwFileVersionLS), LOWORD(pFixed->dwFileVersionLS));
        return szVersion;
    }
};

std::string WinPath(std::string path) {
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void ExpectVersionInfo(const std::string &path, const char *pszProduct) {
    SCOPED_TRACE(path);
    VersionInfo info;
    ASSERT_TRUE(info.Read(path)) << "no VERSIONINFO";
    EXPECT_EQ(info.Text("ProductName"), pszProduct);
    EXPECT_EQ(info.Text("FileVersion"), TUNEWRIGHT_VERSION);
    EXPECT_EQ(info.Text("ProductVersion"), TUNEWRIGHT_VERSION);
    EXPECT_EQ(info.FileVersion(), TUNEWRIGHT_VERSION ".0");
    EXPECT_GT(info.Text("FileDescription").size(), 10u) << info.Text("FileDescription");
    EXPECT_EQ(info.Text("LegalCopyright").find("Copyright (c) "), 0u) << info.Text("LegalCopyright");
}

} // namespace

TEST(VersionInfo, EveryShippedProgramAndDllCarriesTheVersion) {
    for (const char *pszName : {"Tunewright.exe", "TunewrightConvert.exe", "MidiFile.dll", "lame_enc.dll",
                                "TwDirectMusic.dll", "OrvaDMOFilter.dll"})
        ExpectVersionInfo(pszName, "Tunewright");
    ExpectVersionInfo("Lustrekit.dll", "Lustrekit");
    VersionInfo lame;
    ASSERT_TRUE(lame.Read("lame_enc.dll"));
    EXPECT_NE(lame.Text("LegalCopyright").find("LAME"), std::string::npos) << lame.Text("LegalCopyright");
}

TEST(VersionInfo, TheInstallerCarriesTheVersion) {
    ExpectVersionInfo(WinPath(TUNEWRIGHT_SETUP), "Tunewright");
}
