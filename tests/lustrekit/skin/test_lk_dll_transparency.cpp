// Tests of Lustrekit.dll's window transparency under Wine: the demo host runs as each Windows version Wine can
// pretend to be (its per-program version setting) and reports the shell generation, what SetWindowTransparent
// did to its window and child, and whether an open skinned popup menu was layered with fade and animation off.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "support/lustrekit/lk_menu_loop.h"

namespace {

using Report = std::map<std::string, long>;

constexpr char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\lustrekit_menu_demo.exe";
constexpr DWORD kDemoTimeoutMs = 60000;

struct VersionCase {
    const char *pszWine; // Wine's name of the version
    DWORD dwMajor;       // what that version reports
    DWORD dwMinor;
    int shellType; // IsShellType's answer for it
};

constexpr VersionCase kVersions[] = {
    {"nt351", 3, 51, 1}, {"win95", 4, 0, 3}, {"nt40", 4, 0, 3},   {"win98", 4, 10, 4},
    {"winme", 4, 90, 5}, {"win2k", 5, 0, 6}, {"winxp", 5, 1, 7},  {"win2003", 5, 2, 8},
    {"vista", 6, 0, 0},  {"win7", 6, 1, 0},  {"win10", 10, 0, 0},
};

std::string ProgramDir() {
    char szPath[MAX_PATH] = {};
    GetModuleFileNameA(NULL, szPath, sizeof(szPath));
    std::string path = szPath;
    return path.substr(0, path.find_last_of('\\') + 1);
}

void SetDemoVersion(const char *pszVersion) {
    HKEY hKey = NULL;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kAppDefaultsKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey, NULL) !=
        ERROR_SUCCESS) {
        return;
    }
    if (pszVersion != NULL) {
        RegSetValueExA(hKey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(pszVersion),
                       static_cast<DWORD>(std::strlen(pszVersion) + 1));
    } else {
        RegDeleteValueA(hKey, "Version");
    }
    RegCloseKey(hKey);
}

Report ReadReport(const std::string &path) {
    Report report;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos) {
            report[line.substr(0, eq)] = std::strtol(line.c_str() + eq + 1, NULL, 10);
        }
    }
    return report;
}

// Runs the demo's transparency probe as the given Windows version; empty when it did not report.
Report RunDemoAs(const char *pszVersion) {
    std::string reportPath = std::string(TEST_TEMP_DIR) + "\\menu_demo_" + pszVersion + ".txt";
    DeleteFileA(reportPath.c_str());
    SetDemoVersion(pszVersion);
    std::string command = "\"" + ProgramDir() + "lustrekit_menu_demo.exe\" --report \"" + reportPath + "\"";
    STARTUPINFOA si;
    std::memset(&si, 0, sizeof(si));
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    std::memset(&pi, 0, sizeof(pi));
    Report report;
    if (CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        if (WaitForSingleObject(pi.hProcess, kDemoTimeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 1);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        report = ReadReport(reportPath);
    }
    SetDemoVersion(NULL);
    DeleteFileA(reportPath.c_str());
    return report;
}

long At(const Report &r, const char *pszKey) {
    auto it = r.find(pszKey);
    return it == r.end() ? -999 : it->second;
}

// Every version Wine lets a 64-bit program be gives IsShellType's table value; the others are reported.
TEST(LustrekitTransparency, ShellTypeFollowsTheVersionTable) {
    int accepted = 0;
    for (const VersionCase &v : kVersions) {
        Report r = RunDemoAs(v.pszWine);
        ASSERT_FALSE(r.empty()) << v.pszWine << ": the demo did not report";
        bool bAccepted =
            At(r, "major") == static_cast<long>(v.dwMajor) && At(r, "minor") == static_cast<long>(v.dwMinor);
        if (!bAccepted) {
            std::cout << "Wine runs the demo set to " << v.pszWine << " as " << At(r, "major") << "." << At(r, "minor")
                      << "; shell type " << At(r, "shell") << "\n";
            continue;
        }
        ++accepted;
        EXPECT_EQ(At(r, "shell"), v.shellType) << v.pszWine;
        EXPECT_EQ(At(r, "nonwindow_result"), 0) << v.pszWine;
        // Below generation 6 the call answers with the generation and leaves the window alone.
        EXPECT_EQ(At(r, "window_result"), v.shellType < 6 ? v.shellType : 0) << v.pszWine;
        EXPECT_EQ(At(r, "main_layered"), v.shellType >= 6 ? 1 : 0) << v.pszWine;
        // Only Windows XP moves the system menu's Restore, Close and Minimize identifiers while it is open.
        EXPECT_EQ(At(r, "sys_shifted_open"), v.shellType == 7 ? 3 : 0) << v.pszWine;
        EXPECT_EQ(At(r, "sys_plain_after"), 3) << v.pszWine;
    }
    EXPECT_GE(accepted, 3);
}

// The layered path: the window and its child at alpha 255 for 0x1FF, then 128; an open transparent menu's popup
// window layered with the menu alpha while fade and animation are off, both back on after it closed.
TEST(LustrekitTransparency, LayeredWindowsAndMenusWhereTheSystemHasThem) {
    Report r = RunDemoAs("winxp");
    ASSERT_FALSE(r.empty());
    ASSERT_GE(At(r, "shell"), 6) << "Wine did not run the demo as Windows XP or later of its generation";
    EXPECT_EQ(At(r, "window_result"), 0);
    EXPECT_EQ(At(r, "main_layered"), 1);
    EXPECT_EQ(At(r, "main_alpha"), 255) << "0x1FF counts as 255";
    EXPECT_EQ(At(r, "child_layered"), 1);
    EXPECT_EQ(At(r, "child_alpha"), 255);
    EXPECT_EQ(At(r, "main128_alpha"), 128);
    EXPECT_GE(At(r, "menu_windows"), 1);
    EXPECT_EQ(At(r, "menu_layered"), At(r, "menu_windows"));
    EXPECT_EQ(At(r, "menu_alpha"), 180);
    EXPECT_EQ(At(r, "fade_open"), 0);
    EXPECT_EQ(At(r, "animation_open"), 0);
    EXPECT_EQ(At(r, "fade_after"), 1);
    EXPECT_EQ(At(r, "animation_after"), 1);
}

// A recent Windows reports 0: nothing becomes layered, yet the menu effects still come back after the loop.
TEST(LustrekitTransparency, RecentWindowsKeepsWindowsAndMenusOpaque) {
    Report r = RunDemoAs("win10");
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(At(r, "shell"), 0);
    EXPECT_EQ(At(r, "window_result"), 0);
    EXPECT_EQ(At(r, "main_layered"), 0);
    EXPECT_EQ(At(r, "child_layered"), 0);
    EXPECT_GE(At(r, "menu_windows"), 1);
    EXPECT_EQ(At(r, "menu_layered"), 0);
    EXPECT_EQ(At(r, "fade_after"), 1);
    EXPECT_EQ(At(r, "animation_after"), 1);
}

enum class WhileOpen { kClose, kAlphaOffThenClose, kDestroyWindow };

constexpr UINT_PTR kTimerWhileOpen = 7;
constexpr UINT_PTR kTimerSafety = 8;
WhileOpen g_whileOpen = WhileOpen::kClose;
BOOL g_bFadeWhileOpen = -1;
BOOL g_bAnimationWhileOpen = -1;

BOOL SystemFlag(UINT uiAction) {
    BOOL bOn = FALSE;
    SystemParametersInfoA(uiAction, 0, &bOn, 0);
    return bOn;
}

void SetSystemFlag(UINT uiAction, BOOL bOn) {
    SystemParametersInfoA(uiAction, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(bOn)), 0);
}

void CALLBACK WhileOpenProc(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    if (id == kTimerSafety) {
        EndMenu();
        return;
    }
    g_bFadeWhileOpen = SystemFlag(SPI_GETMENUFADE);
    g_bAnimationWhileOpen = SystemFlag(SPI_GETMENUANIMATION);
    if (g_whileOpen == WhileOpen::kDestroyWindow) {
        DestroyWindow(hwnd);
        return;
    }
    if (g_whileOpen == WhileOpen::kAlphaOffThenClose) {
        SetTransparentMenu(0);
    }
    EndMenu();
}

// Puts the user's menu effects back whatever a test leaves.
class MenuEffectsGuard {
public:
    MenuEffectsGuard() : bFade_(SystemFlag(SPI_GETMENUFADE)), bAnimation_(SystemFlag(SPI_GETMENUANIMATION)) {}
    ~MenuEffectsGuard() {
        SetSystemFlag(SPI_SETMENUFADE, bFade_);
        SetSystemFlag(SPI_SETMENUANIMATION, bAnimation_);
        SetTransparentMenu(0);
    }

private:
    BOOL bFade_;
    BOOL bAnimation_;
};

// A real menu loop of a transparent skinned menu switches fade and animation off while it is open; they come
// back when it closes, when the alpha is switched off meanwhile, and when the window is destroyed under it.
TEST(LustrekitTransparency, MenuEffectsComeBackHoweverTheMenuEnds) {
    MenuEffectsGuard guard;
    for (WhileOpen how : {WhileOpen::kClose, WhileOpen::kAlphaOffThenClose, WhileOpen::kDestroyWindow}) {
        SetSystemFlag(SPI_SETMENUFADE, TRUE);
        SetSystemFlag(SPI_SETMENUANIMATION, TRUE);
        ASSERT_TRUE(SystemFlag(SPI_GETMENUFADE)) << "Wine keeps the menu fade setting";
        SetTransparentMenu(200);
        g_whileOpen = how;
        g_bFadeWhileOpen = g_bAnimationWhileOpen = -1;
        {
            SkinnedDemo demo;
            SetTimer(demo.Hwnd(), kTimerWhileOpen, 200, WhileOpenProc);
            SetTimer(demo.Hwnd(), kTimerSafety, 5000, WhileOpenProc);
            TrackPopupMenu(demo.Menus().hContext, TPM_LEFTALIGN, 100, 100, 0, demo.Hwnd(), NULL);
            SkinnedDemo::DrainQuit();
        }
        int n = static_cast<int>(how);
        EXPECT_EQ(g_bFadeWhileOpen, FALSE) << n;
        EXPECT_EQ(g_bAnimationWhileOpen, FALSE) << n;
        EXPECT_TRUE(SystemFlag(SPI_GETMENUFADE)) << n;
        EXPECT_TRUE(SystemFlag(SPI_GETMENUANIMATION)) << n;
    }
    // After a window went in the middle of its loop, the next window's loop is a loop of its own.
    SkinnedDemo next;
    SetStyleMenu(MENUSTYLE_CLASSIC);
    next.Loop(next.Menus().hFile);
    EXPECT_NE(ItemAt(next.Menus().hFile, 0).fType & MFT_OWNERDRAW, 0u);
}

} // namespace
