// Tunewright.exe end to end, driven from this process as a person would use it: opening and dropping files,
// listening, the settings controls, conversions to WAV and MP3, naming, Abort, bad output folders and a full
// disk, a failing engine and a crash, settings.ini, a second instance, Escape and closing during a conversion.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/core/smf/smf_builder.h"
#include "support/ui/ui_driver.h"

using namespace smftest;

namespace {

// Control identifiers of the main dialog.
enum {
    kOpen = 2004,
    kFileName = 2016,
    kPlayTime = 2032,
    kPlay = 2007,
    kStop = 2017,
    kVolume = 2024,
    kTempo = 2025,
    kTempoLabel = 2026,
    kToneLabel = 2027,
    kToneUp = 2028,
    kToneDown = 2029,
    kFormat = 2022,
    kWavQuality = 2011,
    kMp3Quality = 2023,
    kSetPath = 2013,
    kOutputPath = 2012,
    kSameDirectory = 2014,
    kAbort = 2018,
    kConvert = 2008,
    kDefault = 2030,
    kInstruments = 2031,
    kExit = 1,
    kConvertTime = 2015,
    kProgress = 2010
};

const DWORD kConvertTimeoutMs = 120000;

Bytes Vlq(uint32_t v) {
    Bytes out = {uint8_t(v & 0x7F)};
    while (v >>= 7)
        out.insert(out.begin(), uint8_t(0x80 | (v & 0x7F)));
    return out;
}

// Programs 0, 24 and 40 on channels 1-3, then nNotes quarter notes (120 bpm, 96 ticks) on all three.
Bytes Song(int nNotes) {
    Bytes events = {0x00, 0xC0, 0, 0x00, 0xC1, 24, 0x00, 0xC2, 40};
    for (int i = 0; i < nNotes; ++i) {
        uint8_t key = uint8_t(60 + (i % 12));
        Append(events, {0x00, 0x90, key, 100, 0x00, 0x91, uint8_t(key - 12), 90, 0x00, 0x92, uint8_t(key + 7), 90});
        Append(events, Vlq(96));
        Append(events, {0x80, key, 0, 0x00, 0x81, uint8_t(key - 12), 0, 0x00, 0x82, uint8_t(key + 7), 0});
    }
    return SingleTrack(events);
}

std::string WinPath(std::string path) {
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string FreshFolder(const std::string &name) {
    std::string folder = WinPath(std::string(TEST_TEMP_DIR) + "/e2e_" + name);
    CreateDirectoryA(folder.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    return folder;
}

std::vector<std::string> FilesIn(const std::string &folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    return names;
}

Bytes ReadAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// settings.ini beside the program, as the next start reads it.
void WriteSettings(const std::string &text) {
    std::ofstream("settings.ini", std::ios::binary) << "[Settings]\r\n" << text;
}

std::string ReadSettings() {
    std::ifstream in("settings.ini", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct WavInfo {
    uint32_t rate = 0, channels = 0, bits = 0;
    double seconds = 0;
    double rms = 0;
};

WavInfo ReadWav(const std::string &path) {
    Bytes b = ReadAll(path);
    WavInfo info;
    if (b.size() < 56)
        return info;
    auto u32 = [&](size_t at) {
        return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24);
    };
    info.channels = b[22] | b[23] << 8;
    info.rate = u32(24);
    info.bits = b[34] | b[35] << 8;
    uint32_t n = u32(52);
    info.seconds = info.rate ? n / 2.0 / info.rate : 0;
    double sum = 0;
    for (size_t i = 56; i + 1 < 56 + n && i + 1 < b.size(); i += 2) {
        double s = int16_t(b[i] | b[i + 1] << 8);
        sum += s * s;
    }
    info.rms = n ? std::sqrt(sum / (n / 2)) : 0;
    return info;
}

// Sample rate of the first MPEG audio frame, 0 when there is none.
int Mp3Rate(const std::string &path) {
    Bytes b = ReadAll(path);
    static const int kRates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    for (size_t i = 0; i + 3 < b.size(); ++i) {
        if (b[i] == 0xFF && (b[i + 1] & 0xE0) == 0xE0) {
            int version = (b[i + 1] >> 3) & 3, index = (b[i + 2] >> 2) & 3;
            if (version != 1 && index != 3)
                return kRates[version][index];
        }
    }
    return 0;
}

// Levels in dB of a WAV file's sound at 40 frequencies from 60 Hz to 8 kHz (a sixth of an octave apart), each
// the mean power over Hann-windowed frames of 2,048 samples: enough to tell two SoundFonts apart.
std::vector<double> SpectrumOf(const std::string &path) {
    Bytes b = ReadAll(path);
    std::vector<double> levels;
    if (b.size() < 56 + 4096)
        return levels;
    const double kPi = 3.14159265358979323846;
    const double rate = b[24] | b[25] << 8 | b[26] << 16;
    const size_t n = (b.size() - 56) / 2, kFrame = 2048;
    for (double f = 60; f < 8000; f *= std::pow(2.0, 1.0 / 6)) {
        double power = 0;
        for (size_t start = 0; start + kFrame <= n; start += kFrame) {
            double re = 0, im = 0;
            for (size_t i = 0; i < kFrame; ++i) {
                double w = 0.5 - 0.5 * std::cos(2 * kPi * i / kFrame);
                double x = w * int16_t(b[56 + 2 * (start + i)] | b[57 + 2 * (start + i)] << 8);
                re += x * std::cos(2 * kPi * f * i / rate);
                im += x * std::sin(2 * kPi * f * i / rate);
            }
            power += re * re + im * im;
        }
        levels.push_back(10 * std::log10(power + 1));
        if (levels.size() == 40)
            break;
    }
    return levels;
}

// The largest difference in dB between two spectra, frequency by frequency.
double SpectrumDistance(const std::vector<double> &a, const std::vector<double> &b) {
    double largest = a.size() == b.size() && !a.empty() ? 0 : 1e9;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        largest = std::max(largest, std::fabs(a[i] - b[i]));
    return largest;
}

class Tunewright : public ::testing::Test {
protected:
    void SetUp() override {
        m_output = FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_song = WinPath(WriteTempFile("e2e_known.mid", Song(8)));
        WriteSettings("Output=" + m_output + "\r\n");
    }
    void TearDown() override { DeleteFileA("settings.ini"); }

    // Starts the program with the known song open.
    void StartWithSong(ui::App &app) {
        ASSERT_NE(app.dialog(), nullptr) << "Tunewright's main dialog did not appear";
        ASSERT_TRUE(app.OpenFile(m_song));
        ASSERT_TRUE(app.WaitEnabled(kConvert, true, 5000));
    }
    // Presses Convert! and returns the message that ends the job ("" for none within the time-out), once the
    // dialog has come back (Abort disabled again, the title plain).
    std::string Convert(ui::App &app, const char *pszCaption = "Tunewright") {
        app.Click(kConvert);
        return JobMessage(app, pszCaption);
    }
    // The message that ends the running job, once the dialog has come back.
    std::string JobMessage(ui::App &app, const char *pszCaption = "Tunewright") {
        std::string message = app.TakeMessageBox(pszCaption, kConvertTimeoutMs);
        EXPECT_TRUE(WaitJobEnded(app));
        return message;
    }
    static bool WaitJobEnded(ui::App &app) {
        return ui::WaitFor(
            [&] {
                char szTitle[256];
                GetWindowTextA(app.dialog(), szTitle, sizeof szTitle);
                return !app.Enabled(kAbort) && app.Enabled(kConvert) && lstrcmpA(szTitle, "Tunewright") == 0;
            },
            10000);
    }

    std::string m_output, m_song;
};

} // namespace

TEST_F(Tunewright, OpenListsTheInstrumentsAndPlays) {
    ui::App app;
    StartWithSong(app);
    EXPECT_EQ(app.Text(kFileName), "e2e_known.mid");
    ASSERT_EQ(app.RowCount(), 3);
    EXPECT_EQ(app.RowText(0), "Piano :: Acoustic Grand Piano");
    EXPECT_EQ(app.RowText(1), "Guitar :: Acoustic Guitar (nylon)");
    EXPECT_EQ(app.RowText(2), "Strings :: Violin");
    for (int r = 0; r < 3; ++r)
        EXPECT_TRUE(app.RowChecked(r));
    EXPECT_TRUE(app.Enabled(kPlay) && app.Enabled(kStop) && app.Enabled(kDefault) && !app.Enabled(kAbort));

    // Play locks the instrument settings and moves the time; Stop gives them back.
    app.Click(kPlay);
    ASSERT_TRUE(app.WaitEnabled(kInstruments, false, 5000));
    EXPECT_FALSE(app.Enabled(kToneUp));
    EXPECT_TRUE(ui::WaitFor([&] { return app.Text(kPlayTime) == "00:01"; }, 5000)) << app.Text(kPlayTime);
    app.Click(kStop);
    EXPECT_TRUE(app.WaitEnabled(kInstruments, true, 5000));

    // A cancelled Open keeps the file: Play still finds it.
    app.Click(kOpen);
    HWND hOpen = nullptr;
    ASSERT_TRUE(
        ui::WaitFor([&] { return (hOpen = ui::FindProcessDialog(app.processId(), "Open", app.dialog())); }, 10000));
    PostMessageA(hOpen, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(ui::WaitFor([&] { return !IsWindow(hOpen); }, 5000));
    app.Click(kPlay);
    EXPECT_EQ(app.TakeMessageBox("Error", 1500), "");
    app.Click(kStop);
}

// Pictures of both dialogs as a person sees them, for looking at: build/<arch>/screenshots/*.bmp.
TEST_F(Tunewright, PicturesOfBothDialogs) {
    ui::App app;
    StartWithSong(app);
    std::string folder = WinPath(std::string(SCREENSHOT_DIR));
    CreateDirectoryA(folder.c_str(), nullptr);
    Sleep(500); // the labels repaint over the tile
    EXPECT_TRUE(ui::SaveWindowPicture(app.dialog(), folder + "\\tunewright-main.bmp"));
    app.Click(2001);
    HWND hAbout = nullptr;
    ASSERT_TRUE(ui::WaitFor(
        [&] { return (hAbout = ui::FindProcessDialog(app.processId(), "Tunewright :: About", app.dialog())); }, 5000));
    Sleep(500);
    EXPECT_TRUE(ui::SaveWindowPicture(hAbout, folder + "\\tunewright-about.bmp"));
    PostMessageA(hAbout, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(ui::WaitFor([&] { return !IsWindow(hAbout); }, 5000));
}

TEST_F(Tunewright, ToneTempoFormatAndDefaultControls) {
    ui::App app;
    StartWithSong(app);
    for (int i = 0; i < 15; ++i)
        app.Click(kToneUp);
    EXPECT_TRUE(ui::WaitFor([&] { return app.Text(kToneLabel) == "+7.0\nTone"; }, 3000)) << app.Text(kToneLabel);
    app.Click(kToneLabel);
    app.Click(kToneDown);
    EXPECT_TRUE(ui::WaitFor([&] { return app.Text(kToneLabel) == "-0.5\nTone"; }, 3000)) << app.Text(kToneLabel);
    app.Click(kToneLabel);

    app.SetSlider(kTempo, 0);
    EXPECT_TRUE(ui::WaitFor([&] { return app.Text(kTempoLabel) == "Tempo:\n50%"; }, 3000)) << app.Text(kTempoLabel);
    app.SetSlider(kTempo, 100);
    EXPECT_TRUE(ui::WaitFor([&] { return app.Text(kTempoLabel) == "Tempo:\n150%"; }, 3000)) << app.Text(kTempoLabel);
    app.Click(kTempoLabel);
    EXPECT_TRUE(ui::WaitFor([&] { return app.Text(kTempoLabel) == "Tempo:\n100%"; }, 3000));
    EXPECT_EQ(SendMessageA(app.control(kTempo), TBM_GETPOS, 0, 0), 50);

    // Mp3 at 48000 Hz, back to Wav: the WAV list takes its last entry.
    app.SelectListEntry(kFormat, 1);
    EXPECT_TRUE(IsWindowVisible(app.control(kMp3Quality)) && !IsWindowVisible(app.control(kWavQuality)));
    SendMessageA(app.control(kMp3Quality), CB_SETCURSEL, 3, 0);
    app.SelectListEntry(kFormat, 0);
    EXPECT_EQ(SendMessageA(app.control(kWavQuality), CB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(IsWindowVisible(app.control(kWavQuality)));

    app.SetRowChecked(1, false);
    EXPECT_FALSE(app.RowChecked(1));
    app.Click(kDefault);
    EXPECT_TRUE(ui::WaitFor([&] { return app.RowCount() == 3 && app.RowChecked(1); }, 3000));

    // Escape does nothing: the dialog stays.
    PostMessageA(app.control(kInstruments), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(app.control(kInstruments), WM_KEYUP, VK_ESCAPE, 0);
    Sleep(500);
    EXPECT_TRUE(IsWindow(app.dialog()));
    EXPECT_EQ(app.WaitForExit(0), DWORD(STILL_ACTIVE));
}

TEST_F(Tunewright, ConvertsToWavAtEachRateWithoutOverwriting) {
    ui::App app;
    StartWithSong(app);
    const uint32_t rates[] = {11025, 22050, 44100};
    for (int i = 0; i < 3; ++i) {
        SendMessageA(app.control(kWavQuality), CB_SETCURSEL, i, 0);
        EXPECT_EQ(Convert(app), "\"e2e_known.mid\" was converted!");
    }
    const char *names[] = {"e2e_known.wav", "e2e_known(1).wav", "e2e_known(2).wav"};
    for (int i = 0; i < 3; ++i) {
        WavInfo wav = ReadWav(m_output + "\\" + names[i]);
        EXPECT_EQ(wav.rate, rates[i]) << names[i];
        EXPECT_EQ(wav.channels, 1u);
        EXPECT_EQ(wav.bits, 16u);
        // 8 beats at 120 bpm, and the release of the last notes.
        EXPECT_GT(wav.seconds, 3.9) << names[i];
        EXPECT_LT(wav.seconds, 6.5) << names[i];
        EXPECT_GT(wav.rms, 300) << names[i];
    }
    EXPECT_EQ(FilesIn(m_output).size(), 3u);
    EXPECT_EQ(app.Text(kAbort), "Abort");
    EXPECT_FALSE(app.Enabled(kAbort));
    EXPECT_TRUE(app.Enabled(kOpen) && app.Enabled(kPlay) && app.Enabled(kInstruments));

    // With the same-directory box ticked the file goes beside the MIDI file, whatever the field shows.
    app.Click(kSameDirectory);
    ASSERT_TRUE(app.WaitEnabled(kSetPath, false, 3000));
    std::string beside = m_song.substr(0, m_song.rfind('\\')) + "\\e2e_known.wav";
    DeleteFileA(beside.c_str());
    EXPECT_EQ(Convert(app), "\"e2e_known.mid\" was converted!");
    EXPECT_EQ(ReadWav(beside).rate, 44100u);
    EXPECT_EQ(app.Text(kOutputPath), m_output);
    DeleteFileA(beside.c_str());
}

TEST_F(Tunewright, ConvertsToMp3AtEachRateAndLeavesNoTemporaryFile) {
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof szTemp, szTemp);
    size_t tempsBefore = FilesIn(WinPath(szTemp)).size();
    ui::App app;
    StartWithSong(app);
    app.SelectListEntry(kFormat, 1);
    const int rates[] = {11025, 22050, 44100, 48000};
    for (int i = 0; i < 4; ++i) {
        SendMessageA(app.control(kMp3Quality), CB_SETCURSEL, i, 0);
        EXPECT_EQ(Convert(app), "\"e2e_known.mid\" was converted!");
    }
    const char *names[] = {"e2e_known.mp3", "e2e_known(1).mp3", "e2e_known(2).mp3", "e2e_known(3).mp3"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Mp3Rate(m_output + "\\" + names[i]), rates[i]) << names[i];
    EXPECT_EQ(FilesIn(WinPath(szTemp)).size(), tempsBefore);
}

TEST_F(Tunewright, TempoAndMutingReachTheConvertedFile) {
    ui::App app;
    StartWithSong(app);
    app.SetSlider(kTempo, 0); // 50 %
    EXPECT_EQ(Convert(app), "\"e2e_known.mid\" was converted!");
    EXPECT_EQ(app.Text(kConvertTime), "Time elapsed: 00:07 / 00:07") << "4 s at 50 %: 8 s, less one";
    EXPECT_EQ(SendMessageA(app.control(kProgress), PBM_GETPOS, 0, 0), 100);
    app.SetSlider(kTempo, 100); // 150 %
    EXPECT_EQ(Convert(app), "\"e2e_known.mid\" was converted!");
    for (int r = 0; r < 3; ++r)
        app.SetRowChecked(r, false);
    EXPECT_EQ(Convert(app), "\"e2e_known.mid\" was converted!");
    WavInfo slow = ReadWav(m_output + "\\e2e_known.wav"), fast = ReadWav(m_output + "\\e2e_known(1).wav");
    WavInfo muted = ReadWav(m_output + "\\e2e_known(2).wav");
    // 4 s of notes take 8 s at 50 % and 2.7 s at 150 %; both keep the same release.
    EXPECT_NEAR(slow.seconds - fast.seconds, 8.0 - 8.0 / 3, 0.4) << slow.seconds << " " << fast.seconds;
    EXPECT_GT(fast.rms, 300);
    EXPECT_LT(muted.rms, 5) << "every instrument unticked";
}

TEST_F(Tunewright, AbortAndCloseDuringAConversionLeaveNoFile) {
    m_song = WinPath(WriteTempFile("e2e_long.mid", Song(3600))); // 30 minutes
    {
        ui::App app;
        StartWithSong(app);
        app.Click(kConvert);
        ASSERT_TRUE(app.WaitEnabled(kAbort, true, 10000)) << app.Situation();
        EXPECT_FALSE(app.Enabled(kOpen) || app.Enabled(kPlay) || app.Enabled(kInstruments) || app.Enabled(kVolume));
        char szTitle[256];
        GetWindowTextA(app.dialog(), szTitle, sizeof szTitle);
        EXPECT_STREQ(szTitle, "e2e_long.mid -- Tunewright");
        app.Click(kAbort);
        ASSERT_TRUE(WaitJobEnded(app));
        EXPECT_TRUE(app.Enabled(kOpen) && app.Enabled(kInstruments) && !app.Enabled(kAbort));
        EXPECT_TRUE(FilesIn(m_output).empty());

        // Closing while converting: the job is aborted, the program ends normally and saves its settings.
        DeleteFileA("settings.ini");
        app.Click(kConvert);
        ASSERT_TRUE(app.WaitEnabled(kAbort, true, 10000)) << app.Situation();
        PostMessageA(app.dialog(), WM_CLOSE, 0, 0);
        EXPECT_EQ(app.WaitForExit(20000), 0u);
        EXPECT_TRUE(FilesIn(m_output).empty());
        EXPECT_NE(ReadSettings().find("Output=" + m_output), std::string::npos);
    }
}

TEST_F(Tunewright, AnOutputFolderThatCannotBeWrittenGivesAMessageAndNoFile) {
    const std::string folders[] = {m_output + "\\missing", "Z:\\proc"};
    for (const std::string &folder : folders) {
        WriteSettings("Output=" + folder + "\r\n");
        ui::App app;
        StartWithSong(app);
        std::string message = Convert(app, "Error");
        EXPECT_NE(message.find(folder), std::string::npos) << message;
        EXPECT_TRUE(app.Enabled(kOpen));
        EXPECT_EQ(app.TakeMessageBox("Tunewright", 500), ""); // not reported as converted
    }
    EXPECT_TRUE(FilesIn(m_output).empty());
}

TEST_F(Tunewright, SettingsAreReadAtStartAndWrittenAtExit) {
    WriteSettings("bSameDirectory=1\r\nVolume=37\r\nOutput=" + m_output + "\r\n");
    ui::App app;
    ASSERT_NE(app.dialog(), nullptr);
    EXPECT_EQ(SendMessageA(app.control(kVolume), TBM_GETPOS, 0, 0), 37);
    EXPECT_EQ(IsDlgButtonChecked(app.dialog(), kSameDirectory), UINT(BST_CHECKED));
    EXPECT_FALSE(app.Enabled(kSetPath));
    EXPECT_EQ(app.Text(kOutputPath), m_output);
    app.SetSlider(kVolume, 20);
    app.Click(kSameDirectory);
    Sleep(300);
    app.Click(kExit);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
    EXPECT_EQ(ReadSettings(),
              "[Settings]\r\nbSameDirectory=0\r\nVolume=20\r\nOutput=" + m_output + "\r\nSoundFont=\r\n");
}

// Convert! while listening ends the listening first: the position timer stops (the play time keeps its text)
// and cannot stop the conversion's playback. The volume slider, moved to its lowest while converting, leaves
// the file at the level of a conversion with the slider untouched, and is taken again once the job is done.
TEST_F(Tunewright, ConvertingWhileListeningAndMovingTheVolumeKeepsTheFileWhole) {
    // 20 s: a conversion renders faster than it plays, and the slider must be moved while it renders.
    m_song = WinPath(WriteTempFile("e2e_twenty.mid", Song(40)));
    ui::App app;
    StartWithSong(app);
    EXPECT_EQ(Convert(app), "\"e2e_twenty.mid\" was converted!");
    // Faster than the 100 ms poll can follow: the bar still ends full, and the total is the piece's 20 s from
    // the segment's start, less the second the conversion's display leaves out.
    EXPECT_EQ(SendMessageA(app.control(kProgress), PBM_GETPOS, 0, 0), 100);
    EXPECT_EQ(app.Text(kConvertTime), "Time elapsed: 00:19 / 00:19");
    app.Click(kPlay);
    app.SetSlider(kVolume, 100); // it notifies again as the conversion disables it
    ASSERT_TRUE(ui::WaitFor([&] { return app.Text(kPlayTime) == "00:02"; }, 5000)) << app.Text(kPlayTime);
    app.Click(kConvert);
    ASSERT_TRUE(app.WaitEnabled(kAbort, true, 10000)) << app.Situation();
    std::string listened = app.Text(kPlayTime);
    app.SetSlider(kVolume, 99);
    app.SetSlider(kVolume, 100);
    EXPECT_EQ(JobMessage(app), "\"e2e_twenty.mid\" was converted!");
    EXPECT_NE(listened, "00:00");
    EXPECT_EQ(app.Text(kPlayTime), listened);
    EXPECT_TRUE(app.Enabled(kInstruments) && app.Enabled(kTempo) && app.Enabled(kToneUp) && app.Enabled(kDefault));

    WavInfo untouched = ReadWav(m_output + "\\e2e_twenty.wav"), moved = ReadWav(m_output + "\\e2e_twenty(1).wav");
    ASSERT_GT(untouched.rms, 300);
    EXPECT_NEAR(20 * std::log10(moved.rms / untouched.rms), 0.0, 0.3) << moved.rms << " " << untouched.rms;
    EXPECT_NEAR(moved.seconds, untouched.seconds, 0.05);

    app.SetSlider(kVolume, 30);
    app.Click(kExit);
    EXPECT_EQ(app.WaitForExit(10000), 0u);
    EXPECT_NE(ReadSettings().find("Volume=30\r\n"), std::string::npos);
}

// A file dropped on the dialog opens as with Open. A piece shorter than two seconds then plays to its end and
// converts: no division by its length in whole seconds, no "Failed", sane times.
TEST_F(Tunewright, ADroppedShortSongOpensPlaysAndConverts) {
    std::string song = WinPath(WriteTempFile("e2e_short.mid", Song(1))); // half a second
    ui::App app;
    ASSERT_NE(app.dialog(), nullptr);
    ASSERT_TRUE(ui::DropFile(app.control(kFileName), song));
    ASSERT_TRUE(app.WaitEnabled(kConvert, true, 5000));
    EXPECT_EQ(app.Text(kFileName), "e2e_short.mid");
    ASSERT_EQ(app.RowCount(), 3);
    EXPECT_EQ(app.RowText(1), "Guitar :: Acoustic Guitar (nylon)");
    EXPECT_TRUE(app.Enabled(kPlay) && app.Enabled(kDefault));
    app.Click(kPlay);
    ASSERT_TRUE(app.WaitEnabled(kInstruments, false, 5000));
    EXPECT_TRUE(app.WaitEnabled(kInstruments, true, 5000)) << "the timer ends the listening";
    EXPECT_TRUE(std::regex_match(app.Text(kPlayTime), std::regex("00:0[12]"))) << app.Text(kPlayTime);
    EXPECT_EQ(app.TakeMessageBox("Error", 300), "");

    EXPECT_EQ(Convert(app), "\"e2e_short.mid\" was converted!");
    EXPECT_TRUE(std::regex_match(app.Text(kConvertTime), std::regex("Time elapsed: 00:0[0-2] / 00:00")))
        << app.Text(kConvertTime);
    EXPECT_GT(ReadWav(m_output + "\\e2e_short.wav").rms, 300);
}

// A copy of the program beside this folder whose DirectMusic stand-in is its test build, with these settings.
std::string ProgramWithTestStandIn() {
    char szHere[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, szHere);
    std::string folder = std::string(szHere) + "\\test-stand-in";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char *pszName : {"Tunewright.exe", "Lustrekit.dll", "MidiFile.dll", "lame_enc.dll", "OrvaDMOFilter.dll",
                                "TimGM6mb.sf2", "settings.ini"})
        CopyFileA((std::string(szHere) + "\\" + pszName).c_str(), (folder + "\\" + pszName).c_str(), FALSE);
    CopyFileA(WinPath(TEST_DOUBLES_DIR "/TwDirectMusic.dll").c_str(), (folder + "\\TwDirectMusic.dll").c_str(), FALSE);
    return folder;
}

// The engine fails to stop the piece once it has played: the message, and the dialog is not left locked.
TEST_F(Tunewright, AFailedStopAtTheEndOfAConversionGivesTheControlsBack) {
    SetEnvironmentVariableA("TW_DMUSIC_FAIL_STOP", "1"); // the test build's switch
    ui::App app(ProgramWithTestStandIn());
    SetEnvironmentVariableA("TW_DMUSIC_FAIL_STOP", nullptr);
    StartWithSong(app);
    EXPECT_EQ(Convert(app, "Error"), "Stop MIDI Failed");
    EXPECT_TRUE(app.Enabled(kOpen) && app.Enabled(kPlay) && app.Enabled(kInstruments) && app.Enabled(kVolume));
    EXPECT_TRUE(FilesIn(m_output).empty());
}

// A crash on one of the program's threads (one started at an address without code) ends in "Failed", not in
// Wine's crash dialog.
TEST_F(Tunewright, ACrashEndsWithTheFailedMessage) {
    ui::App app;
    ASSERT_NE(app.dialog(), nullptr);
    HANDLE hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, app.processId());
    HANDLE hThread =
        CreateRemoteThread(hProcess, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(0x10), nullptr, 0, nullptr);
    ASSERT_NE(hThread, nullptr);
    EXPECT_EQ(app.TakeMessageBox("Error", 10000), "Failed");
    EXPECT_EQ(app.WaitForExit(10000), 0u);
    CloseHandle(hThread);
    CloseHandle(hProcess);
}

// A 64 KiB file system for the output folder, mounted for one test by the host agent (as root; elsewhere the
// agent's answer says why not).
class SmallDisk {
public:
    explicit SmallDisk(const std::string &name)
        : m_folder(WinPath(TEST_TEMP_DIR "/" + name)), m_unixPath(ui::LinuxPathOf(m_folder)) {
        CreateDirectoryA(m_folder.c_str(), nullptr);
        ui::HostAnswer answer = ui::AskHost({"mount-small-disk", m_unixPath, "64"}, 20000);
        m_bMounted = answer.nStatus == 0;
        m_why = answer.output;
    }
    ~SmallDisk() {
        if (m_bMounted)
            ui::AskHost({"unmount", m_unixPath}, 20000);
    }
    bool mounted() const { return m_bMounted; }
    const std::string &why() const { return m_why; }
    const std::string &folder() const { return m_folder; }

private:
    std::string m_folder, m_unixPath, m_why;
    bool m_bMounted = false;
};

TEST_F(Tunewright, ADiskThatFillsUpGivesAnErrorNamingTheFileAndLeavesNoFile) {
    SmallDisk disk("e2e_small_disk");
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here: " << disk.why();
    ULARGE_INTEGER total = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA((disk.folder() + "\\").c_str(), nullptr, &total, nullptr));
    ASSERT_LE(total.QuadPart, 64u * 1024);
    WriteSettings("Output=" + disk.folder() + "\r\n");
    ui::App app;
    StartWithSong(app);
    std::string message = Convert(app, "Error");
    EXPECT_NE(message.find("\"" + disk.folder() + "\\e2e_known.wav\""), std::string::npos) << message;
    EXPECT_TRUE(FilesIn(disk.folder()).empty());
    EXPECT_TRUE(app.Enabled(kOpen) && app.Enabled(kConvert));
}

// The browser the shell opens web addresses with, replaced by the recording fake_browser.exe for one test.
class BrowserKey {
public:
    BrowserKey() {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_hKey, nullptr);
        DWORD cb = sizeof m_szSaved;
        m_bSaved = RegQueryValueExA(m_hKey, nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(m_szSaved), &cb) ==
                   ERROR_SUCCESS;
        char szFolder[MAX_PATH];
        GetCurrentDirectoryA(sizeof szFolder, szFolder);
        std::string command = "\"" + std::string(szFolder) + "\\fake_browser.exe\" -nohome \"%1\"";
        RegSetValueExA(m_hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(command.c_str()),
                       DWORD(command.size() + 1));
    }
    ~BrowserKey() {
        if (m_bSaved)
            RegSetValueExA(m_hKey, nullptr, 0, REG_SZ, reinterpret_cast<BYTE *>(m_szSaved), lstrlenA(m_szSaved) + 1);
        else
            RegDeleteValueA(m_hKey, nullptr);
        RegCloseKey(m_hKey);
    }

private:
    static constexpr const char *kKey = "Software\\Classes\\http\\shell\\open\\command";
    HKEY m_hKey = nullptr;
    char m_szSaved[4096] = "";
    bool m_bSaved = false;
};

TEST_F(Tunewright, F1OpensTheHelpPageInTheBrowser) {
    BrowserKey browser;
    DeleteFileA("fake_browser.txt");
    ui::App app;
    ASSERT_NE(app.dialog(), nullptr);
    SetForegroundWindow(app.dialog());
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    ASSERT_TRUE(ui::WaitFor([] { return GetFileAttributesA("fake_browser.txt") != INVALID_FILE_ATTRIBUTES; }, 10000));
    Sleep(200);
    char szFolder[MAX_PATH];
    GetCurrentDirectoryA(sizeof szFolder, szFolder);
    Bytes recorded = ReadAll("fake_browser.txt");
    std::string asked(recorded.begin(), recorded.end());
    EXPECT_EQ(asked, std::string(szFolder) + "\\Help.html");
    DeleteFileA("fake_browser.txt");
}

TEST_F(Tunewright, ASecondInstanceBringsTheFirstToTheFront) {
    ui::App first;
    ASSERT_NE(first.dialog(), nullptr);
    ShowWindow(first.dialog(), SW_MINIMIZE);
    ASSERT_TRUE(ui::WaitFor([&] { return IsIconic(first.dialog()) != FALSE; }, 3000));
    ui::App second; // comes and goes without a window of its own
    EXPECT_EQ(second.dialog(), nullptr);
    EXPECT_EQ(second.WaitForExit(5000), 0u);
    EXPECT_TRUE(ui::WaitFor([&] { return !IsIconic(first.dialog()); }, 3000));
}

// "SoundFont..." in the system menu: the next conversion plays the chosen file; a damaged file is named in a
// message with the reason and the previous SoundFont goes on playing; the choice is in settings.ini at exit;
// "Default SoundFont" brings the program's own back.
TEST_F(Tunewright, ASoundFontChosenInTheSystemMenuPlaysAndADamagedOneLeavesTheLastInUse) {
    const std::string fluid = WinPath(TEST_SOUNDFONT_FLUID);
    const std::string damaged = WinPath(WriteTempFile(
        "e2e_damaged.sf2", Bytes{'R', 'I', 'F', 'F', 200, 0, 0, 0, 's', 'f', 'b', 'k', 'L', 'I', 'S', 'T'}));
    ui::App app;
    StartWithSong(app);
    ASSERT_EQ(Convert(app), "\"e2e_known.mid\" was converted!");
    std::vector<double> timGm = SpectrumOf(m_output + "\\e2e_known.wav");

    ASSERT_TRUE(app.ChooseSoundFont(fluid)) << app.Situation();
    EXPECT_EQ(app.TakeMessageBox("Error", 1000), "");
    ASSERT_EQ(Convert(app), "\"e2e_known.mid\" was converted!");
    std::vector<double> fluidR3 = SpectrumOf(m_output + "\\e2e_known(1).wav");
    EXPECT_GT(SpectrumDistance(timGm, fluidR3), 6.0) << "the conversion did not play the chosen SoundFont";

    ASSERT_TRUE(app.ChooseSoundFont(damaged)) << app.Situation();
    std::string message = app.TakeMessageBox("Error", 10000);
    EXPECT_NE(message.find("e2e_damaged.sf2"), std::string::npos) << message;
    EXPECT_NE(message.find("The SoundFont is damaged: "), std::string::npos) << message;
    ASSERT_EQ(Convert(app), "\"e2e_known.mid\" was converted!");
    EXPECT_LT(SpectrumDistance(fluidR3, SpectrumOf(m_output + "\\e2e_known(2).wav")), 0.5)
        << "the damaged SoundFont did not leave the last one playing";

    app.Click(kExit);
    ASSERT_EQ(app.WaitForExit(10000), 0u);
    EXPECT_NE(ReadSettings().find("\r\nSoundFont=" + fluid + "\r\n"), std::string::npos) << ReadSettings();

    // The next start plays the remembered SoundFont until "Default SoundFont".
    ui::App again;
    StartWithSong(again);
    ASSERT_EQ(Convert(again), "\"e2e_known.mid\" was converted!");
    EXPECT_LT(SpectrumDistance(fluidR3, SpectrumOf(m_output + "\\e2e_known(3).wav")), 0.5);
    ASSERT_NE(again.OpenSystemMenu(), nullptr);
    again.ChooseFromBottomOfMenu(1);
    EXPECT_EQ(again.TakeMessageBox("Error", 1000), "");
    ASSERT_EQ(Convert(again), "\"e2e_known.mid\" was converted!");
    EXPECT_LT(SpectrumDistance(timGm, SpectrumOf(m_output + "\\e2e_known(4).wav")), 0.5);
    again.Click(kExit);
    ASSERT_EQ(again.WaitForExit(10000), 0u);
    EXPECT_NE(ReadSettings().find("\r\nSoundFont=\r\n"), std::string::npos) << ReadSettings();
}

// The skinned system menu, photographed for looking at (build/<arch>/screenshots/tunewright-system-menu.bmp);
// with its items drawn by Lustrekit, Minimize, Restore and Close still do their work, also with the low bits that
// Lustrekit's shifting sets on Windows XP (the system ignores them).
TEST_F(Tunewright, TheSkinnedSystemMenuKeepsTheSystemsCommands) {
    ui::App app;
    StartWithSong(app);
    HWND hMenu = app.OpenSystemMenu();
    ASSERT_NE(hMenu, nullptr) << app.Situation();
    Sleep(500);
    std::string folder = WinPath(std::string(SCREENSHOT_DIR));
    CreateDirectoryA(folder.c_str(), nullptr);
    EXPECT_TRUE(ui::SaveWindowPicture(hMenu, folder + "\\tunewright-system-menu.bmp"));
    PostMessageA(app.dialog(), WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageA(app.dialog(), WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(ui::WaitFor([&] { return !IsWindowVisible(hMenu); }, 5000));

    for (WPARAM wLowBits : {0, 1}) {
        PostMessageA(app.dialog(), WM_SYSCOMMAND, SC_MINIMIZE + wLowBits, 0);
        EXPECT_TRUE(ui::WaitFor([&] { return IsIconic(app.dialog()) != FALSE; }, 5000)) << wLowBits;
        PostMessageA(app.dialog(), WM_SYSCOMMAND, SC_RESTORE + wLowBits, 0);
        EXPECT_TRUE(ui::WaitFor([&] { return IsIconic(app.dialog()) == FALSE; }, 5000)) << wLowBits;
    }
    PostMessageA(app.dialog(), WM_SYSCOMMAND, SC_CLOSE + 1, 0);
    EXPECT_EQ(app.WaitForExit(10000), 0u) << app.Situation();
}
