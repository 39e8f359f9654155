// What the dialog and the console share for a conversion: output names that never overwrite, MM:SS texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "format_time.h"
#include "output_naming.h"
#include "recording_writer.h"

namespace {

std::string Folder(const char *name) {
    std::string folder = std::string(TEST_TEMP_DIR) + "\\shell_" + name;
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void Touch(const std::string &path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(h, "x", 1, &written, nullptr);
    CloseHandle(h);
}

std::string Contents(const std::string &path) {
    char buffer[16] = {};
    DWORD read = 0;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ReadFile(h, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(h);
    return std::string(buffer, read);
}

} // namespace

TEST(OutputNaming, NumbersTheNameAndNeverTouchesExistingFiles) {
    std::string folder = Folder("numbering");
    for (const char *name : {"song.wav", "song(1).wav", "song(2).wav", "song(3).wav"})
        DeleteFileA((folder + "\\" + name).c_str());
    Touch(folder + "\\song.wav");
    Touch(folder + "\\song(1).wav");
    char path[MAX_PATH];
    ASSERT_EQ(ReserveOutputName(folder.c_str(), "song", "wav", path, sizeof path), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(std::string(path), folder + "\\song(2).wav");
    EXPECT_EQ(Contents(path), "");                   // reserved empty, closed
    EXPECT_EQ(Contents(folder + "\\song.wav"), "x"); // the others kept
    EXPECT_EQ(Contents(folder + "\\song(1).wav"), "x");
    ASSERT_EQ(ReserveOutputName(folder.c_str(), "song", "wav", path, sizeof path), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(std::string(path), folder + "\\song(3).wav");
}

TEST(OutputNaming, AFolderThatCannotTakeTheFileStopsAtOnce) {
    char path[MAX_PATH];
    std::string missing = std::string(TEST_TEMP_DIR) + "\\no_such_folder_here";
    DWORD error = ReserveOutputName(missing.c_str(), "song", "wav", path, sizeof path);
    EXPECT_TRUE(error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) << error;
    // A name longer than the buffer is refused rather than cut to another name.
    char small[8];
    EXPECT_EQ(ReserveOutputName("C:", "a-long-name", "wav", small, sizeof small), DWORD(ERROR_FILENAME_EXCED_RANGE));
}

TEST(OutputNaming, BaseNameAndFolderCuts) {
    char title[] = "my.song.mid";
    CutAtLast(title, '.');
    EXPECT_STREQ(title, "my.song");
    char dotFirst[] = ".mid";
    CutAtLast(dotFirst, '.');
    EXPECT_STREQ(dotFirst, ".mid"); // the only dot is the first character
    char path[] = "C:\\music\\a.mid";
    CutAtLast(path, '\\');
    EXPECT_STREQ(path, "C:\\music");
    char bare[] = "a.mid";
    CutAtLast(bare, '\\');
    EXPECT_STREQ(bare, "a.mid");
    char deep[] = "C:\\Program Files\\Tunewright\\Tunewright.exe"; // the program folder at start-up
    CutAtLast(deep, '\\');
    EXPECT_STREQ(deep, "C:\\Program Files\\Tunewright");
}

TEST(FormatMinSec, TwoDigitsEachHoursDropped) {
    struct Case {
        unsigned int seconds;
        const char *text;
    } cases[] = {{0, "00:00"},  {754, "12:34"}, {3725, "02:05"},       {3900, "05:00"},
                 {59, "00:59"}, {600, "10:00"}, {4294967295u, "28:15"}};
    for (const Case &c : cases) {
        char text[kMinSecTextSize];
        FormatMinSec(c.seconds, text);
        EXPECT_STREQ(text, c.text) << c.seconds;
    }
}

// Without a usable temporary folder an MP3 job stops before anything is written, with a message that names the
// cause instead of whatever the path buffer held, and leaves the output folder as it was.
TEST(RecordingWriter, AnUnusableTemporaryFolderStopsAnMp3WithAPlainMessage) {
    std::string folder = Folder("no_temp");
    char szOldTmp[MAX_PATH] = {}, szOldTemp[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", szOldTmp, MAX_PATH);
    GetEnvironmentVariableA("TEMP", szOldTemp, MAX_PATH);
    std::string tooLong = "C:\\" + std::string(5000, 'x'); // longer than any path the writer can take
    SetEnvironmentVariableA("TMP", tooLong.c_str());
    SetEnvironmentVariableA("TEMP", tooLong.c_str());
    char szPath[4096], szError[4096];
    memset(szError, 'G', sizeof szError - 1); // garbage the message must not show
    szError[sizeof szError - 1] = '\0';
    RecordingRequest request = {folder.c_str(), "song.mid", TRUE, 44100};
    BOOL bWritten = WriteRecording(request, szPath, szError, sizeof szError);
    SetEnvironmentVariableA("TMP", szOldTmp[0] ? szOldTmp : nullptr);
    SetEnvironmentVariableA("TEMP", szOldTemp[0] ? szOldTemp : nullptr);
    EXPECT_FALSE(bWritten);
    EXPECT_STREQ(szError, "The temporary folder cannot be found (its path is missing or too long).");
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA((folder + "\\*.mp3").c_str(), &found);
    EXPECT_EQ(hFind, INVALID_HANDLE_VALUE);
    if (hFind != INVALID_HANDLE_VALUE)
        FindClose(hFind);
}
