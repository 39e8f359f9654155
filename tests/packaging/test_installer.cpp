// The installer on a computer Tunewright has never been on (a fresh Wine prefix), as a user meets it: a silent
// installation into Program Files with its shortcut, its entry in the list of programs, the capture effect
// registered for every user and "Open with" offered without taking MIDI files over; the installed Tunewright
// started (a picture of its dialog), the installed converter at work, songs opened from the command line in a new
// and in a running Tunewright; then a silent uninstallation that leaves nothing of its own behind and nothing of
// the user's or another program's touched.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/packaging/package_test_util.h"
#include "support/ui/ui_driver.h"

using namespace pkgtest;

namespace {

enum { kFileName = 2016, kPlay = 2007, kExit = 1 };

#ifdef _WIN64
const char kTitle[] = "Tunewright (64-bit)";
#else
const char kTitle[] = "Tunewright";
#endif
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kAppKey[] = "Software\\Classes\\Applications\\Tunewright.exe";
const char kProgIdKey[] = "Software\\Classes\\Tunewright.MidiFile";
const char *const kExtensions[] = {".mid", ".midi", ".kar"};

std::string UninstallKey() {
    return std::string(kUninstallKey) + kTitle;
}

std::string ExtensionKey(const char *pszExtension) {
    return std::string("Software\\Classes\\") + pszExtension;
}

std::string Quoted(const std::string &path) {
    return "\"" + path + "\"";
}

// Another program's claim on .mid, there before Tunewright: its default and its "Open with" entry.
void ClaimMidiForAnotherProgram() {
    HKEY hKey = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.mid", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey,
                    nullptr);
    RegSetValueExA(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>("Other.Player"), 13);
    RegCloseKey(hKey);
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\.mid\\OpenWithProgids", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &hKey, nullptr);
    RegSetValueExA(hKey, "Other.Player", 0, REG_SZ, reinterpret_cast<const BYTE *>(""), 1);
    RegCloseKey(hKey);
}

class Installer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        s_installDir = ShellFolder(CSIDL_PROGRAM_FILES) + "\\Tunewright";
        s_shortcut = ShellFolder(CSIDL_COMMON_PROGRAMS) + "\\" + kTitle + ".lnk";
        s_songs = ShellFolder(CSIDL_PERSONAL) + "\\songs";
        CreateDirectoryA(s_songs.c_str(), nullptr);
    }
    static std::string s_installDir, s_shortcut, s_songs;
};

std::string Installer::s_installDir, Installer::s_shortcut, Installer::s_songs;

} // namespace

// One test: every step needs the one before it.
TEST_F(Installer, InstallsSilentlyWorksAndUninstallsWithoutATrace) {
    ASSERT_FALSE(FileExists(s_installDir)) << "not a fresh computer";
    ClaimMidiForAnotherProgram();

    // Silent installation.
    ASSERT_EQ(RunAndWait(Quoted(WinPath(TUNEWRIGHT_SETUP)) + " /S", 180000), 0u);
    for (const char *pszName : kShippedFiles)
        EXPECT_TRUE(FileExists(s_installDir + "\\" + pszName)) << pszName;
    EXPECT_TRUE(FileExists(s_installDir + "\\Uninstall.exe"));
    EXPECT_TRUE(FileExists(s_shortcut)) << s_shortcut;
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, UninstallKey(), "DisplayName"), kTitle);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, UninstallKey(), "DisplayVersion"), TUNEWRIGHT_VERSION);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallString"), Quoted(s_installDir + "\\Uninstall.exe"));
    EXPECT_EQ(lstrcmpiA(RegText(HKEY_LOCAL_MACHINE, kEffectServerKey).c_str(),
                        (s_installDir + "\\OrvaDMOFilter.dll").c_str()),
              0)
        << "the effect registered for every user, from the installed copy: "
        << RegText(HKEY_LOCAL_MACHINE, kEffectServerKey);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEffectClassKey));
    EXPECT_TRUE(AudioEffectListed(L"OrvaDMOFilter"));
    for (const char *pszExtension : kExtensions) {
        EXPECT_TRUE(
            ValueExists(HKEY_LOCAL_MACHINE, ExtensionKey(pszExtension) + "\\OpenWithProgids", "Tunewright.MidiFile"))
            << pszExtension;
        EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, std::string(kAppKey) + "\\SupportedTypes", pszExtension));
    }
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, std::string(kAppKey) + "\\shell\\open\\command"),
              Quoted(s_installDir + "\\Tunewright.exe") + " \"%1\"");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\Classes\\.mid"), "Other.Player")
        << "the default program for .mid stays the user's choice";

    // The installed Tunewright starts without registering anything itself.
    {
        ui::App app(s_installDir);
        ASSERT_NE(app.dialog(), nullptr) << "the installed Tunewright's dialog did not appear";
        CreateDirectoryA(WinPath(SCREENSHOT_DIR).c_str(), nullptr);
        Sleep(500); // the labels repaint over the tile
        EXPECT_TRUE(ui::SaveWindowPicture(app.dialog(), WinPath(SCREENSHOT_DIR) + "\\installed-main.bmp"));
        app.Click(kExit);
        EXPECT_EQ(app.WaitForExit(10000), 0u);
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEffectClassKey));

    // The installed converter.
    std::string output = ShellFolder(CSIDL_MYMUSIC) + "\\converted";
    CreateDirectoryA(output.c_str(), nullptr);
    std::string song = WriteSong(s_songs + "\\installed.mid", 8);
    EXPECT_EQ(
        RunAndWait(Quoted(s_installDir + "\\TunewrightConvert.exe") + " --out " + Quoted(output) + " " + Quoted(song),
                   120000),
        0u);
    EXPECT_GT(WavLevel(output + "\\installed.wav"), 300);

    // A song named on the command line: a new Tunewright opens it; a running one opens the next and comes back.
    std::string second = WriteSong(s_songs + "\\second song.mid", 4);
    {
        // Named as a person types it in the song's folder: unquoted and relative to where Tunewright starts.
        char szHere[MAX_PATH];
        GetCurrentDirectoryA(sizeof szHere, szHere);
        SetCurrentDirectoryA(s_songs.c_str());
        ui::App app(s_installDir, "installed.mid");
        SetCurrentDirectoryA(szHere);
        ASSERT_NE(app.dialog(), nullptr);
        EXPECT_TRUE(ui::WaitFor([&] { return app.Text(kFileName) == "installed.mid"; }, 10000)) << app.Text(kFileName);
        EXPECT_TRUE(app.WaitEnabled(kPlay, true, 5000));
        ShowWindow(app.dialog(), SW_MINIMIZE);
        ASSERT_TRUE(ui::WaitFor([&] { return IsIconic(app.dialog()) != FALSE; }, 3000));
        ui::App other(s_installDir, Quoted(second));
        EXPECT_EQ(other.dialog(), nullptr) << "the second Tunewright shows no window of its own";
        EXPECT_EQ(other.WaitForExit(20000), 0u);
        EXPECT_TRUE(ui::WaitFor([&] { return app.Text(kFileName) == "second song.mid"; }, 10000))
            << app.Text(kFileName);
        EXPECT_TRUE(ui::WaitFor([&] { return !IsIconic(app.dialog()); }, 3000)) << "it comes back to the front";
        // A file that is not there: the running Tunewright says so and keeps the song it has.
        ui::App missing(s_installDir, Quoted(s_songs + "\\missing.mid"));
        EXPECT_EQ(missing.WaitForExit(20000), 0u);
        EXPECT_NE(app.TakeMessageBox("Error", 10000).find("\"" + s_songs + "\\missing.mid\" cannot be found"),
                  std::string::npos);
        EXPECT_EQ(app.Text(kFileName), "second song.mid");
        app.Click(kExit);
        EXPECT_EQ(app.WaitForExit(10000), 0u);
    }

    // Silent uninstallation: the uninstaller runs from a copy of itself, so its end shows in the folder.
    std::string uninstall = RegText(HKEY_LOCAL_MACHINE, UninstallKey(), "QuietUninstallString");
    ASSERT_EQ(uninstall, Quoted(s_installDir + "\\Uninstall.exe") + " /S");
    ASSERT_EQ(RunAndWait(uninstall, 60000), 0u);
    EXPECT_TRUE(ui::WaitFor([&] { return !FileExists(s_installDir + "\\Uninstall.exe"); }, 60000));
    EXPECT_TRUE(ui::WaitFor([&] { return !KeyExists(HKEY_LOCAL_MACHINE, UninstallKey()); }, 10000));
    Sleep(500);

    for (const char *pszName : kShippedFiles)
        EXPECT_FALSE(FileExists(s_installDir + "\\" + pszName)) << pszName;
    // What Tunewright wrote beside itself (Wine lets every program write there) is the user's and stays.
    std::vector<std::string> left = Entries(s_installDir);
    for (const std::string &name : left)
        EXPECT_EQ(name, "settings.ini") << "left in the installation folder";
    EXPECT_FALSE(FileExists(s_shortcut));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEffectClassKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEffectDmoKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEffectClassKey));
    EXPECT_FALSE(AudioEffectListed(L"OrvaDMOFilter"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProgIdKey));
    for (const char *pszExtension : kExtensions)
        EXPECT_FALSE(
            ValueExists(HKEY_LOCAL_MACHINE, ExtensionKey(pszExtension) + "\\OpenWithProgids", "Tunewright.MidiFile"))
            << pszExtension;
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, "Software\\Classes\\.mid"), "Other.Player");
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "Software\\Classes\\.mid\\OpenWithProgids", "Other.Player"));
    EXPECT_GT(WavLevel(output + "\\installed.wav"), 300) << "the user's converted file stays";
}
