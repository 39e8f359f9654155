// The portable zip on a computer Tunewright has never been on (a fresh Wine prefix). Unpacked into a folder it
// starts, registers its capture effect where it lies, converts and keeps its settings beside itself; moved, it
// registers itself again; run from the temporary folder, it says why it does not register there. In a folder that
// cannot be written (as Program Files for a standard user) its settings go to %APPDATA% and its conversions to the
// Music folder. A Music folder that cannot be written and a registration that Windows refuses everywhere each give
// a message naming the folder or the file; a refused machine-wide registration becomes the user's own.
#include <windows.h>

#include <aclapi.h>
#include <commctrl.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/packaging/package_test_util.h"
#include "support/ui/ui_driver.h"

using namespace pkgtest;

namespace {

enum { kFileName = 2016, kVolume = 2024, kOutputPath = 2012, kConvert = 2008, kExit = 1 };

const DWORD kConvertTimeoutMs = 60000;

std::string ReadText(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool SamePath(const std::string &a, const std::string &b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// Makes a registry key read-only for everyone until destroyed, as Windows keeps HKLM\Software\Classes for a
// standard user; the key's own permissions come back afterwards.
class ReadOnlyKey {
public:
    ReadOnlyKey(HKEY hRoot, const char *pszKey) {
        if (RegOpenKeyExA(hRoot, pszKey, 0, READ_CONTROL | WRITE_DAC, &m_hKey) != ERROR_SUCCESS)
            return;
        DWORD cb = 0;
        RegGetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, nullptr, &cb);
        m_saved.resize(cb);
        if (cb == 0 || RegGetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, m_saved.data(), &cb) != ERROR_SUCCESS)
            return;
        PSECURITY_DESCRIPTOR pReadOnly = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;OICI;KR;;;WD)", SDDL_REVISION_1, &pReadOnly,
                                                                  nullptr))
            return;
        m_bSet = RegSetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, pReadOnly) == ERROR_SUCCESS;
        LocalFree(pReadOnly);
    }
    ~ReadOnlyKey() {
        if (m_bSet)
            RegSetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, m_saved.data());
        if (m_hKey != nullptr)
            RegCloseKey(m_hKey);
    }
    bool set() const { return m_bSet; }

private:
    HKEY m_hKey = nullptr;
    std::vector<BYTE> m_saved;
    bool m_bSet = false;
};

// A folder made read-only by the host agent for as long as this lives.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string &folder) : m_folder(folder) {
        ui::HostAnswer answer = ui::AskHost({"make-read-only", folder}, 20000);
        m_bSet = answer.nStatus == 0;
        m_why = answer.output;
    }
    ~ReadOnlyFolder() {
        if (m_bSet)
            ui::AskHost({"make-writable", m_folder}, 20000);
    }
    bool set() const { return m_bSet; }
    const std::string &why() const { return m_why; }

private:
    std::string m_folder, m_why;
    bool m_bSet = false;
};

bool CanCreateFileIn(const std::string &folder) {
    std::string probe = folder + "\\probe.tmp";
    HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

std::string RegisteredServer(HKEY hRoot) {
    return RegText(hRoot, kEffectServerKey);
}

DWORD Regsvr32(const std::string &folder, bool bRegister) {
    return RunAndWait(std::string("regsvr32 /s ") + (bRegister ? "" : "/u ") + "\"" + folder + "\\OrvaDMOFilter.dll\"");
}

void DeleteFolder(const std::string &folder) {
    for (const std::string &name : Entries(folder)) {
        if (name.back() == '\\')
            DeleteFolder(folder + "\\" + name.substr(0, name.size() - 1));
        else
            DeleteFileA((folder + "\\" + name).c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

class PortableZip : public ::testing::Test {
protected:
    // The zip is unpacked once, as Explorer's Extract All would, into Documents\Tunewright-zip.
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        s_documents = ShellFolder(CSIDL_PERSONAL);
        s_unpacked = s_documents + "\\Tunewright-zip";
        ui::HostAnswer answer = ui::AskHost({"unzip", WinPath(TUNEWRIGHT_ZIP), s_unpacked}, 60000);
        ASSERT_EQ(answer.nStatus, 0) << answer.output;
        s_pristine = s_unpacked + "\\Tunewright";
        CreateDirectoryA((s_documents + "\\songs").c_str(), nullptr);
    }

    // A fresh copy of the unpacked folder at Documents\<name>\Tunewright.
    static std::string FreshCopy(const std::string &name) {
        std::string folder = s_documents + "\\" + name;
        DeleteFolder(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        EXPECT_TRUE(CopyFolder(s_pristine, folder + "\\Tunewright"));
        return folder + "\\Tunewright";
    }
    static std::string Song(const std::string &name) { return WriteSong(s_documents + "\\songs\\" + name, 8); }
    static std::string Quoted(const std::string &path) { return "\"" + path + "\""; }

    // Convert! in the dialog, and the message that reports the end of the job.
    static std::string Convert(ui::App &app, const char *pszCaption) {
        EXPECT_TRUE(app.WaitEnabled(kConvert, true, 10000));
        app.Click(kConvert);
        std::string message = app.TakeMessageBox(pszCaption, kConvertTimeoutMs);
        EXPECT_TRUE(app.WaitEnabled(kConvert, true, 10000));
        return message;
    }

    static std::string s_documents, s_unpacked, s_pristine;
};

std::string PortableZip::s_documents, PortableZip::s_unpacked, PortableZip::s_pristine;

} // namespace

TEST_F(PortableZip, UnpackedItRegistersWhereItLiesConvertsAndKeepsItsSettingsBesideItself) {
    for (const char *pszName : kShippedFiles)
        EXPECT_TRUE(FileExists(s_pristine + "\\" + pszName)) << pszName;
    EXPECT_NE(ReadText(s_pristine + "\\licenses\\LAME-COPYING.txt").find("GNU LIBRARY GENERAL PUBLIC LICENSE"),
              std::string::npos);
    EXPECT_FALSE(AudioEffectListed(L"OrvaDMOFilter")) << "a fresh computer has no capture effect yet";

    std::string folder = FreshCopy("Portable");
    std::string song = Song("portable.mid");
    {
        ui::App app(folder, Quoted(song));
        ASSERT_NE(app.dialog(), nullptr) << "Tunewright's dialog did not appear";
        EXPECT_TRUE(ui::WaitFor([&] { return app.Text(kFileName) == "portable.mid"; }, 10000)) << app.Text(kFileName);
        EXPECT_TRUE(SamePath(RegisteredServer(HKEY_LOCAL_MACHINE), folder + "\\OrvaDMOFilter.dll"))
            << RegisteredServer(HKEY_LOCAL_MACHINE);
        EXPECT_EQ(app.Text(kOutputPath), folder + "\\wav");
        EXPECT_EQ(Convert(app, "Tunewright"), "\"portable.mid\" was converted!");
        EXPECT_GT(WavLevel(folder + "\\wav\\portable.wav"), 300);
        app.SetSlider(kVolume, 25);
        app.Click(kExit);
        EXPECT_EQ(app.WaitForExit(10000), 0u);
    }
    std::string settings = ReadText(folder + "\\settings.ini");
    EXPECT_NE(settings.find("Volume=25\r\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Output=" + folder + "\\wav\r\n"), std::string::npos) << settings;
    EXPECT_FALSE(FileExists(ShellFolder(CSIDL_APPDATA) + "\\Tunewright")) << "a writable folder keeps its settings";
    ui::App again(folder);
    ASSERT_NE(again.dialog(), nullptr);
    EXPECT_EQ(SendMessageA(again.control(kVolume), TBM_GETPOS, 0, 0), 25);
}

TEST_F(PortableZip, MovedItRegistersItselfAgainAtTheNextStart) {
    std::string before = FreshCopy("BeforeMove");
    Regsvr32(before, false);
    {
        ui::App app(before);
        ASSERT_NE(app.dialog(), nullptr);
    }
    ASSERT_TRUE(SamePath(RegisteredServer(HKEY_LOCAL_MACHINE), before + "\\OrvaDMOFilter.dll"));
    std::string after = s_documents + "\\AfterMove";
    DeleteFolder(after);
    ASSERT_TRUE(MoveFileA((s_documents + "\\BeforeMove").c_str(), after.c_str()));
    after += "\\Tunewright";
    ui::App app(after);
    ASSERT_NE(app.dialog(), nullptr) << "the registration that pointed at the old folder was not renewed";
    EXPECT_TRUE(SamePath(RegisteredServer(HKEY_LOCAL_MACHINE), after + "\\OrvaDMOFilter.dll"))
        << RegisteredServer(HKEY_LOCAL_MACHINE);
}

TEST_F(PortableZip, FromTheTemporaryFolderItSaysWhyAndRegistersNothing) {
    Regsvr32(s_pristine, false);
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEffectClassKey));
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof szTemp, szTemp);
    std::string zipFolder = std::string(szTemp) + "Temp1_Tunewright.zip";
    CreateDirectoryA(zipFolder.c_str(), nullptr);
    std::string folder = zipFolder + "\\Tunewright";
    ASSERT_TRUE(CopyFolder(s_pristine, folder));
    char szLong[MAX_PATH * 2];
    GetLongPathNameA(folder.c_str(), szLong, sizeof szLong);
    ErrorEnd end = StartAndTakeError(folder);
    EXPECT_EQ(end.text.find("FindFilter Failed\n\n"), 0u) << end.text;
    EXPECT_NE(end.text.find("temporary folder"), std::string::npos) << end.text;
    EXPECT_TRUE(end.text.find(folder) != std::string::npos || end.text.find(szLong) != std::string::npos) << end.text;
    EXPECT_EQ(end.dwExitCode, 0u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEffectClassKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEffectClassKey));
    DeleteFolder(zipFolder);
}

TEST_F(PortableZip, InAFolderThatCannotBeWrittenSettingsGoToAppDataAndConversionsToMusic) {
    std::string folder = FreshCopy("ReadOnly");
    const std::string kOldSettings = "[Settings]\r\nVolume=37\r\n";
    std::ofstream(folder + "\\settings.ini", std::ios::binary) << kOldSettings;
    std::vector<std::string> contents = Entries(folder);
    std::string song = Song("readonly.mid");
    std::string music = ShellFolder(CSIDL_MYMUSIC) + "\\Tunewright";
    std::string appData = ShellFolder(CSIDL_APPDATA) + "\\Tunewright";
    ReadOnlyFolder readOnly(folder);
    if (!readOnly.set())
        GTEST_SKIP() << "the folder cannot be made read-only here: " << readOnly.why();
    ASSERT_FALSE(CanCreateFileIn(folder));
    {
        ui::App app(folder, Quoted(song));
        ASSERT_NE(app.dialog(), nullptr) << "Tunewright's dialog did not appear";
        EXPECT_TRUE(ui::WaitFor([&] { return app.Text(kFileName) == "readonly.mid"; }, 10000));
        EXPECT_EQ(SendMessageA(app.control(kVolume), TBM_GETPOS, 0, 0), 37) << "the folder's settings carry over";
        EXPECT_EQ(app.Text(kOutputPath), music);
        EXPECT_EQ(Convert(app, "Tunewright"), "\"readonly.mid\" was converted!");
        EXPECT_EQ(app.TakeMessageBox("Error", 300), "");
        EXPECT_GT(WavLevel(music + "\\readonly.wav"), 300);
        app.SetSlider(kVolume, 12);
        app.Click(kExit);
        EXPECT_EQ(app.WaitForExit(10000), 0u);
    }
    std::string settings = ReadText(appData + "\\settings.ini");
    EXPECT_NE(settings.find("Volume=12\r\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Output=" + music + "\r\n"), std::string::npos) << settings;
    EXPECT_EQ(ReadText(folder + "\\settings.ini"), kOldSettings);
    EXPECT_EQ(Entries(folder), contents);
}

TEST_F(PortableZip, AMusicFolderThatCannotBeWrittenGivesAMessageNamingTheOutputFolder) {
    std::string folder = FreshCopy("ReadOnlyAgain");
    std::string song = Song("nomusic.mid");
    std::string musicRoot = ShellFolder(CSIDL_MYMUSIC), music = musicRoot + "\\Tunewright";
    DeleteFolder(music);
    DeleteFileA((ShellFolder(CSIDL_APPDATA) + "\\Tunewright\\settings.ini").c_str());
    ReadOnlyFolder readOnly(folder);
    if (!readOnly.set())
        GTEST_SKIP() << "the folder cannot be made read-only here: " << readOnly.why();
    ui::App app(folder, Quoted(song));
    ASSERT_NE(app.dialog(), nullptr);
    ASSERT_TRUE(ui::WaitFor([&] { return app.Text(kFileName) == "nomusic.mid"; }, 10000));
    {
        ReadOnlyFolder readOnlyMusic(musicRoot);
        ASSERT_TRUE(readOnlyMusic.set()) << readOnlyMusic.why();
        std::string message = Convert(app, "Error");
        EXPECT_NE(message.find("Cannot create the output folder \"" + music + "\""), std::string::npos) << message;
        EXPECT_FALSE(FileExists(music));
    }
    // Nothing is stuck: once the folder can be written, the same conversion goes through.
    EXPECT_EQ(Convert(app, "Tunewright"), "\"nomusic.mid\" was converted!");
    EXPECT_GT(WavLevel(music + "\\nomusic.wav"), 300);
}

TEST_F(PortableZip, ARegistrationRefusedEverywhereGivesAMessageNamingTheFile) {
    std::string folder = FreshCopy("Refused");
    Regsvr32(folder, false);
    {
        ReadOnlyKey machine(HKEY_LOCAL_MACHINE, "Software\\Classes"), user(HKEY_CURRENT_USER, "Software\\Classes");
        ASSERT_TRUE(machine.set() && user.set());
        ErrorEnd end = StartAndTakeError(folder);
        EXPECT_EQ(end.text.find("FindFilter Failed\n\n"), 0u) << end.text;
        EXPECT_NE(end.text.find("\"" + folder + "\\OrvaDMOFilter.dll\" could not be registered"), std::string::npos)
            << end.text;
        EXPECT_EQ(end.dwExitCode, 0u);
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEffectClassKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEffectClassKey));
    EXPECT_FALSE(FileExists(folder + "\\settings.ini")) << "a start that fails saves nothing";
}

TEST_F(PortableZip, AMachineWideRegistrationRefusedBecomesTheUsersOwnAndBothAreRemoved) {
    std::string folder = FreshCopy("PerUser");
    std::string dll = folder + "\\OrvaDMOFilter.dll";
    Regsvr32(folder, false);
    {
        ReadOnlyKey machine(HKEY_LOCAL_MACHINE, "Software\\Classes");
        ASSERT_TRUE(machine.set());
        EXPECT_EQ(Regsvr32(folder, true), 0u);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEffectClassKey));
        EXPECT_TRUE(SamePath(RegisteredServer(HKEY_CURRENT_USER), dll)) << RegisteredServer(HKEY_CURRENT_USER);
        EXPECT_EQ(RegText(HKEY_CURRENT_USER, kEffectServerKey, "ThreadingModel"), "Both");
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kEffectDmoKey));
        // Windows merges the user's classes into HKEY_CLASSES_ROOT; Wine (8.0) does not, so it lists no effect.
        std::cout << "DMO enumeration lists the user's own registration: "
                  << (AudioEffectListed(L"OrvaDMOFilter") ? "yes" : "no") << "\n";
    }
    // A registration for every user takes the user's own away, which would hide it from this user.
    EXPECT_EQ(Regsvr32(folder, true), 0u);
    EXPECT_TRUE(SamePath(RegisteredServer(HKEY_LOCAL_MACHINE), dll));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEffectClassKey));
    EXPECT_TRUE(AudioEffectListed(L"OrvaDMOFilter"));

    // Both at once (the machine's, then the user's while the machine refuses): unregistering removes both.
    {
        ReadOnlyKey machine(HKEY_LOCAL_MACHINE, "Software\\Classes");
        ASSERT_TRUE(machine.set());
        EXPECT_EQ(Regsvr32(folder, true), 0u);
        ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kEffectClassKey));
        EXPECT_NE(Regsvr32(folder, false), 0u) << "the machine's entry cannot go while the machine refuses";
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEffectClassKey));
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEffectClassKey));
        EXPECT_EQ(Regsvr32(folder, true), 0u);
    }
    EXPECT_EQ(Regsvr32(folder, false), 0u);
    for (HKEY hRoot : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        EXPECT_FALSE(KeyExists(hRoot, kEffectClassKey));
        EXPECT_FALSE(KeyExists(hRoot, kEffectDmoKey));
    }
    EXPECT_FALSE(AudioEffectListed(L"OrvaDMOFilter"));
}
