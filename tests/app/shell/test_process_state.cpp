// Process state: buffers, the program folder and settings.ini (defaults, round trip, key order and format).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "output_naming.h"
#include "process_state.h"

namespace {

// Gives each test a fresh set of buffers and a settings file of its own in the scratch folder.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(AllocProcessBuffers());
        m_path = std::string(TEST_TEMP_DIR) + "/appcore_settings_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        DeleteFileA(m_path.c_str());
        lstrcpynA(g_szSettingsPath, m_path.c_str(), kProcessBufferSize);
        g_bSameDirectory = 0;
        g_nVolume = 0;
    }
    void TearDown() override {
        DeleteFileA(m_path.c_str());
        FreeProcessBuffers();
    }
    void WriteFile(const std::string &text) {
        std::ofstream out(m_path, std::ios::binary);
        out << text;
    }
    std::string ReadFile() {
        std::ifstream in(m_path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::string m_path;
};

TEST(ProcessBuffers, AllocatedZeroFilledAndNulledAfterFree) {
    ASSERT_TRUE(AllocProcessBuffers());
    char *buffers[] = {g_szProgramDir, g_szMidiPath, g_szMidiTitle, g_szOutputDir, g_szScratch, g_szSettingsPath};
    for (char *pBuffer : buffers) {
        ASSERT_NE(nullptr, pBuffer);
        EXPECT_EQ(kProcessBufferSize, HeapSize(GetProcessHeap(), 0, pBuffer));
        EXPECT_EQ('\0', pBuffer[0]);
        EXPECT_EQ('\0', pBuffer[kProcessBufferSize - 1]);
    }
    FreeProcessBuffers();
    for (char *pBuffer : {g_szProgramDir, g_szMidiPath, g_szMidiTitle, g_szOutputDir, g_szScratch, g_szSettingsPath}) {
        EXPECT_EQ(nullptr, pBuffer);
    }
    FreeProcessBuffers(); // a second free is harmless
}

TEST(ProcessBuffers, OperationsWithoutBuffersDoNothing) {
    FreeProcessBuffers();
    InitProgramDir();
    InitSettingsPath();
    LoadSettings();
    SaveSettings();
    EXPECT_EQ(nullptr, g_szProgramDir);
}

TEST(ProgramDir, FolderOfTheRunningProgramBecomesCurrentDirectory) {
    ASSERT_TRUE(AllocProcessBuffers());
    InitProgramDir();
    char szModule[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, szModule, MAX_PATH);
    std::string module = szModule;
    EXPECT_EQ(module.substr(0, module.rfind('\\')), g_szProgramDir);
    char szCurrent[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, szCurrent);
    EXPECT_STREQ(g_szProgramDir, szCurrent);
    InitSettingsPath();
    EXPECT_EQ(std::string(g_szProgramDir) + "\\settings.ini", g_szSettingsPath);
    FreeProcessBuffers();
}

TEST(ProgramDir, RootFolderGivesDriveAndRootSettingsPath) {
    ASSERT_TRUE(AllocProcessBuffers());
    lstrcpyA(g_szProgramDir, "C:\\prog.exe");
    CutAtLast(g_szProgramDir, '\\');
    InitSettingsPath();
    EXPECT_STREQ("C:", g_szProgramDir);
    EXPECT_STREQ("C:\\settings.ini", g_szSettingsPath);
    FreeProcessBuffers();
}

TEST_F(SettingsTest, MissingFileGivesDefaults) {
    g_bSameDirectory = 1;
    g_nVolume = 55;
    lstrcpyA(g_szOutputDir, "stale");
    LoadSettings();
    EXPECT_EQ(0, g_bSameDirectory);
    EXPECT_EQ(0, g_nVolume);
    EXPECT_STREQ("", g_szOutputDir);
}

TEST_F(SettingsTest, VolumeIsReadAndOutputKeyMayBeMissing) {
    WriteFile("[Settings]\r\nbSameDirectory=1\r\nVolume=37\r\n");
    LoadSettings();
    EXPECT_EQ(1, g_bSameDirectory);
    EXPECT_EQ(37, g_nVolume);
    EXPECT_STREQ("", g_szOutputDir);
}

TEST_F(SettingsTest, SaveWritesKeysInOrderAsDecimalText) {
    g_bSameDirectory = 1;
    g_nVolume = 37;
    lstrcpyA(g_szOutputDir, "C:\\Music\\wav");
    lstrcpyA(g_szSoundFont, "C:\\Fonts\\Big.sf3");
    SaveSettings();
    std::string text = ReadFile();
    size_t nSection = text.find("[Settings]");
    size_t nSame = text.find("bSameDirectory=1");
    size_t nVolume = text.find("Volume=37");
    size_t nOutput = text.find("Output=C:\\Music\\wav");
    size_t nSoundFont = text.find("SoundFont=C:\\Fonts\\Big.sf3");
    ASSERT_NE(std::string::npos, nSection) << text;
    ASSERT_NE(std::string::npos, nSame) << text;
    ASSERT_NE(std::string::npos, nVolume) << text;
    ASSERT_NE(std::string::npos, nOutput) << text;
    ASSERT_NE(std::string::npos, nSoundFont) << text;
    EXPECT_LT(nSection, nSame);
    EXPECT_LT(nSame, nVolume);
    EXPECT_LT(nVolume, nOutput);
    EXPECT_LT(nOutput, nSoundFont);
    g_szSoundFont[0] = '\0';
    LoadSettings();
    EXPECT_STREQ("C:\\Fonts\\Big.sf3", g_szSoundFont);
}

TEST_F(SettingsTest, RoundTripKeepsEveryValue) {
    g_bSameDirectory = 1;
    g_nVolume = 100;
    lstrcpyA(g_szOutputDir, "Z:\\tmp\\out put");
    SaveSettings();
    g_bSameDirectory = 0;
    g_nVolume = 0;
    g_szOutputDir[0] = '\0';
    LoadSettings();
    EXPECT_EQ(1, g_bSameDirectory);
    EXPECT_EQ(100, g_nVolume);
    EXPECT_STREQ("Z:\\tmp\\out put", g_szOutputDir);
}

TEST_F(SettingsTest, UnchangedSettingsAreStillSavedWithAllThreeKeys) {
    LoadSettings();
    SaveSettings();
    std::string text = ReadFile();
    EXPECT_NE(std::string::npos, text.find("bSameDirectory=0")) << text;
    EXPECT_NE(std::string::npos, text.find("Volume=0")) << text;
    EXPECT_NE(std::string::npos, text.find("Output=")) << text;
}

TEST_F(SettingsTest, OutputLongerThanTheReadBufferIsCutNotOverrun) {
    std::string longDir(3000, 'x');
    WriteFile("[Settings]\r\nOutput=" + longDir + "\r\n");
    LoadSettings();
    EXPECT_EQ(kSettingTextSize - 1, strlen(g_szOutputDir));
}

TEST_F(SettingsTest, HandEditedValuesOutOfRangeAreKeptInRange) {
    WriteFile("[Settings]\r\nbSameDirectory=7\r\nVolume=250\r\n");
    LoadSettings();
    EXPECT_EQ(1, g_bSameDirectory);
    EXPECT_EQ(100, g_nVolume);
    WriteFile("[Settings]\r\nVolume=-5\r\n");
    LoadSettings();
    EXPECT_EQ(0, g_nVolume);
}

TEST_F(SettingsTest, WrappersUseTheSettingsSection) {
    WriteSettingInt("Answer", 42);
    WriteSettingText("Name", "value");
    EXPECT_EQ(42, ReadSettingInt("Answer"));
    char szValue[kSettingTextSize] = {};
    ReadSettingText("Name", szValue);
    EXPECT_STREQ("value", szValue);
    ReadSettingText("Absent", szValue);
    EXPECT_STREQ("", szValue);
    EXPECT_NE(std::string::npos, ReadFile().find("Answer=42"));
}

} // namespace
