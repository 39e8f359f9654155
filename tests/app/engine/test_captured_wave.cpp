// SaveCapturedWave end to end: the real capture effect found by FindFilter records, the WAV file is checked.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "support/app/audio/audio_test_files.h"
#include "support/app/engine/capture_feed.h"
#include "support/app/engine/fake_viewer.h"
#include "capture_dmo.h"
#include "discard_file.h"
#include "engine.h"
#include "engine_state.h"
#include "error_descriptions.h"

namespace {

const char *const kFolder = "engine-wav";

bool g_bFailNextNothrowNew = false;

class CapturedWave : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterAndFindCaptureEffect(); }
    static void TearDownTestSuite() { ReleaseCaptureEffect(); }
    // Saves the recording and returns the file's bytes (empty when SaveCapturedWave failed).
    static std::vector<uint8_t> Save(const char *pszName, UINT nRate) {
        std::string path = AudioTempPath(kFolder, pszName);
        DeleteFileA(path.c_str());
        EXPECT_EQ(S_OK, SaveCapturedWave(path.c_str(), nRate));
        std::vector<uint8_t> file = ReadWholeFile(path);
        if (file.size() >= 56) {
            EXPECT_EQ(nRate, ReadU32(file, 24));
            EXPECT_EQ(file.size() - 56, ReadU32(file, 52)) << "data size";
            EXPECT_EQ(file.size() - 8, ReadU32(file, 4)) << "RIFF size";
        }
        return file;
    }
};

TEST_F(CapturedWave, FindFilterKeepsTheEffectsClassAndAttachesTheBlock) {
    EXPECT_EQ(sizeof(DSEFFECTDESC), g_captureEffectDesc.dwSize);
    EXPECT_EQ(static_cast<DWORD>(DSFX_LOCSOFTWARE), g_captureEffectDesc.dwFlags);
    EXPECT_TRUE(IsEqualCLSID(CLSID_OrvaDMOFilter, g_captureEffectDesc.guidDSFXClass));
    EXPECT_EQ(0u, g_captureEffectDesc.dwReserved1);
    EXPECT_EQ(GetProcessHeap(), g_captureBlock.hHeap);
    ASSERT_NE(nullptr, pCaptureControl);
}

TEST_F(CapturedWave, MonoAtTheTargetRateIsWrittenByteForByte) {
    std::vector<BYTE> bytes = Samples16({0, 1, -1, 32767, -32768, 1234, -4321, 99});
    RecordThroughEffect(1, 44100, 16, bytes);
    std::vector<uint8_t> file = Save("same-rate.wav", 44100);
    ASSERT_EQ(56 + bytes.size(), file.size());
    EXPECT_EQ(bytes, std::vector<BYTE>(file.begin() + 56, file.end()));
}

// The mean of both channels, truncated toward zero: a signal only on the right survives at half its level.
TEST_F(CapturedWave, StereoIsMixedToMonoSoARightPannedSignalSurvives) {
    RecordThroughEffect(2, 22050, 16, Samples16({0, 1000, 0, -1001, 1000, -3, 32767, 32767, -32768, -32768}));
    std::vector<uint8_t> file = Save("stereo.wav", 22050);
    EXPECT_EQ((std::vector<int>{500, -500, 498, 32767, -32768}), DataSamples(file));
}

// The rate change keeps the count linear interpolation made (positions 0, step, ... before the last input), so
// durations hold: up and down, whole and fractional steps.
TEST_F(CapturedWave, RateChangeKeepsTheInterpolationsSampleCount) {
    RecordThroughEffect(1, 22050, 16, Samples16({0, 100, -101, 7, 8}));
    EXPECT_EQ(8u, DataSamples(Save("double.wav", 44100)).size());
    RecordThroughEffect(1, 22050, 16, Samples16({10, 11, 20, 21, 30, 31, 40}));
    EXPECT_EQ(3u, DataSamples(Save("half.wav", 11025)).size());
    RecordThroughEffect(1, 44100, 16, Samples16(std::vector<int>(4410 * 3 + 2, 5)));
    EXPECT_EQ(3308u, DataSamples(Save("quarter.wav", 11025)).size()); // ceil(13231 / 4)
    RecordThroughEffect(1, 48000, 16, Samples16(std::vector<int>(1001, 5)));
    EXPECT_EQ(919u, DataSamples(Save("odd-step.wav", 44100)).size()); // ceil(1000 × 44100 / 48000)
}

// A rate change that merely dropped samples would fold every tone above the new Nyquist frequency back into the
// audible band, and one that filtered too early would dull the treble below it.
class RateChangeSpectrum : public CapturedWave, public ::testing::WithParamInterface<UINT> {
protected:
    static constexpr UINT kSourceRate = 44100;
    static constexpr double kLevel = 0.12; // each tone's amplitude, of full scale (six at once stay below 0.75)

    // One second and a half of the tones at the source rate, saved at the target rate.
    std::vector<int> Convert(const std::vector<double> &frequencies, const char *pszName) {
        std::vector<int> samples(kSourceRate * 3 / 2);
        for (size_t i = 0; i < samples.size(); ++i) {
            double v = 0;
            for (double f : frequencies)
                v += kLevel * std::sin(2 * kPi * f * i / kSourceRate + f); // phases spread by the frequency
            samples[i] = static_cast<int>(std::lround(v * 32767));
        }
        RecordThroughEffect(1, kSourceRate, 16, Samples16(samples));
        return DataSamples(Save(pszName, GetParam()));
    }

    // The amplitude at frequency f (of full scale), over a Blackman-Harris window in the middle of the output:
    // its side lobes lie 92 dB down, and the transform is taken at f itself, so a tone's level is exact.
    double Amplitude(const std::vector<int> &out, double f) const {
        const size_t n = GetParam(), first = (out.size() - n) / 2;
        double re = 0, im = 0, sum = 0;
        for (size_t i = 0; i < n; ++i) {
            double x = 2 * kPi * i / (n - 1);
            double w = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
            re += w * out[first + i] * std::cos(2 * kPi * f * i / GetParam());
            im -= w * out[first + i] * std::sin(2 * kPi * f * i / GetParam());
            sum += w;
        }
        return 2 * std::hypot(re, im) / sum / 32767;
    }

    double Nyquist() const { return GetParam() / 2.0; }
    static constexpr double kPi = 3.14159265358979323846;
};

TEST_P(RateChangeSpectrum, TonesBelowNinetyPerCentOfTheNewNyquistKeepTheirLevelWithinHalfADecibel) {
    std::vector<double> frequencies;
    for (double fraction : {0.05, 0.2, 0.4, 0.6, 0.8, 0.9})
        frequencies.push_back(fraction * Nyquist() + 3.7); // off any round bin
    std::vector<int> out = Convert(frequencies, "passband.wav");
    ASSERT_GE(out.size(), size_t(GetParam()));
    for (double f : frequencies) {
        double dB = 20 * std::log10(Amplitude(out, f) / kLevel);
        EXPECT_NEAR(0.0, dB, 0.5) << f << " Hz at " << GetParam() << " Hz";
        std::printf("rate %u: gain at %.0f Hz %+.3f dB\n", GetParam(), f, dB);
    }
}

TEST_P(RateChangeSpectrum, TonesAboveTheNewNyquistLeaveAliasesAtLeast80DecibelsDown) {
    std::vector<double> frequencies;
    for (double fraction : {1.02, 1.3, 1.7, 2.4, 3.5})
        if (fraction * Nyquist() < kSourceRate / 2.0)
            frequencies.push_back(fraction * Nyquist() + 3.7);
    std::vector<int> out = Convert(frequencies, "stopband.wav");
    ASSERT_GE(out.size(), size_t(GetParam()));
    for (double f : frequencies) {
        double alias = std::fmod(f, double(GetParam())); // where a tone folds to once sampled at the new rate
        if (alias > Nyquist())
            alias = GetParam() - alias;
        double dB = 20 * std::log10(Amplitude(out, alias) / kLevel + 1e-12);
        EXPECT_LE(dB, -80.0) << f << " Hz folds to " << alias << " Hz at " << GetParam() << " Hz";
        std::printf("rate %u: %.0f Hz folds to %.0f Hz at %.1f dB\n", GetParam(), f, alias, dB);
    }
}

INSTANTIATE_TEST_SUITE_P(LowerRates, RateChangeSpectrum, ::testing::Values(11025u, 22050u));

// A whole stereo recording at the synth's rate to 22050 Hz: the byte count follows frames and step.
TEST_F(CapturedWave, StereoAt44100SavedAt22050HasHalfTheFrames) {
    std::vector<int> samples;
    for (int i = 0; i < 44100 * 2; ++i) {
        samples.push_back((i % 2 == 0) ? i % 1000 : -(i % 1000));
    }
    RecordThroughEffect(2, 44100, 16, Samples16(samples));
    std::vector<uint8_t> file = Save("stereo-half.wav", 22050);
    EXPECT_EQ(56u + 2 * 22050, file.size()); // 44,100 frames, positions 0, 2, ..., 44,098
}

TEST_F(CapturedWave, Wider24And32BitSamplesKeepTheirUpper16Bits) {
    RecordThroughEffect(1, 44100, 24, {0x12, 0x34, 0x56, 0xFF, 0x00, 0x80, 0x00, 0x01, 0x00});
    EXPECT_EQ((std::vector<int>{0x5634, -32768, 1}), DataSamples(Save("24bit.wav", 44100)));
    RecordThroughEffect(2, 44100, 32, {0x01, 0x02, 0x10, 0x00, 0x01, 0x02, 0x30, 0x00, 0, 0, 0, 0x80, 0, 0, 0, 0x80});
    EXPECT_EQ((std::vector<int>{0x20, -32768}), DataSamples(Save("32bit.wav", 44100)));
}

TEST_F(CapturedWave, FewerThanTwoSamplesGiveAnEmptyFile) {
    RecordThroughEffect(1, 22050, 16, Samples16({1234}));
    EXPECT_EQ(56u, Save("one-sample.wav", 44100).size());
    RecordThroughEffect(2, 22050, 16, {});
    EXPECT_EQ(56u, Save("no-sample.wav", 11025).size());
}

TEST_F(CapturedWave, OpenOrAllocationFailureTracesOneLineAndLeavesNoFile) {
    RecordThroughEffect(1, 22050, 16, Samples16({1, 2, 3, 4}));
    FakeViewer viewer;
    std::string path = AudioTempPath(kFolder, "no-such-folder/out.wav");
    EXPECT_EQ(E_FAIL, SaveCapturedWave(path.c_str(), 22050));
    EXPECT_EQ("g_pWaveFile->Open - FAILED", viewer.Text());
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(nullptr, g_pWaveFile);

    RecordThroughEffect(1, 22050, 16, Samples16({1, 2, 3, 4}));
    FakeViewer viewer2;
    path = AudioTempPath(kFolder, "no-memory.wav");
    DeleteFileA(path.c_str());
    g_bFailNextNothrowNew = true; // the WAV writer's object
    EXPECT_EQ(E_FAIL, SaveCapturedWave(path.c_str(), 22050));
    EXPECT_FALSE(g_bFailNextNothrowNew) << "no no-throw allocation was made";
    EXPECT_EQ("new WaveFile - FAILED", viewer2.Text());
    EXPECT_FALSE(FileExists(path));
}

// A control interface whose answers a test sets: by default 4 bytes of 16-bit mono at 22050 Hz.
class ScriptedControl : public ICaptureControl {
public:
    STDMETHODIMP QueryInterface(REFIID, void **ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP AttachBlock(CaptureBlock *) override { return S_OK; }
    STDMETHODIMP UpdateBlock(CaptureBlock *pBlock) override {
        pBlock->wfx = m_wfx;
        return m_hrUpdate;
    }
    STDMETHODIMP GetCapturedSize(DWORD *pcbCaptured) override {
        *pcbCaptured = SUCCEEDED(m_hrSize) ? 4 : 0;
        return m_hrSize;
    }
    STDMETHODIMP CopyCaptured(BYTE *pb, DWORD cb) override {
        memset(pb, 0x11, cb);
        return m_hrCopy;
    }
    WAVEFORMATEX m_wfx = {WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    HRESULT m_hrSize = S_OK, m_hrUpdate = S_OK, m_hrCopy = S_OK;
};

// A recording in a format the conversion does not know, or a call of the effect that fails or copies less than
// was recorded, is refused before any file is made, traced under the call's own name.
TEST_F(CapturedWave, AnUnusableRecordingIsTracedUnderItsCallAndLeavesNoFile) {
    struct Case {
        const char *name;
        void (*set)(ScriptedControl &);
        std::string trace;
    } cases[] = {
        {"8-bit samples", [](ScriptedControl &c) { c.m_wfx = {WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 0}; },
         "pCaptureControl->UpdateBlock - FAILED"},
        {"size unknown", [](ScriptedControl &c) { c.m_hrSize = E_UNEXPECTED; },
         "pCaptureControl->GetCapturedSize - FAILED\r\n" + std::string(GetErrorDescription(E_UNEXPECTED))},
        {"no format", [](ScriptedControl &c) { c.m_hrUpdate = E_POINTER; },
         "pCaptureControl->UpdateBlock - FAILED\r\n" + std::string(GetErrorDescription(E_POINTER))},
        {"copy failed", [](ScriptedControl &c) { c.m_hrCopy = E_FAIL; },
         "pCaptureControl->CopyCaptured - FAILED\r\n" + std::string(GetErrorDescription(E_FAIL))},
        {"copy cut short", [](ScriptedControl &c) { c.m_hrCopy = S_FALSE; },
         "pCaptureControl->CopyCaptured - FAILED\r\n" + std::string(GetErrorDescription(S_FALSE))},
    };
    ICaptureControl *pRealControl = pCaptureControl;
    WAVEFORMATEX wfxReal = g_captureBlock.wfx;
    for (const Case &c : cases) {
        ScriptedControl control;
        c.set(control);
        pCaptureControl = &control;
        FakeViewer viewer;
        std::string path = AudioTempPath(kFolder, "unusable.wav");
        DeleteFileA(path.c_str());
        EXPECT_EQ(E_FAIL, SaveCapturedWave(path.c_str(), 22050)) << c.name;
        EXPECT_EQ(c.trace, viewer.Text()) << c.name;
        EXPECT_FALSE(FileExists(path)) << c.name;
    }
    ScriptedControl good;
    pCaptureControl = &good;
    std::string path = AudioTempPath(kFolder, "scripted.wav");
    DeleteFileA(path.c_str());
    EXPECT_EQ(S_OK, SaveCapturedWave(path.c_str(), 22050)) << "the script itself makes a file";
    EXPECT_TRUE(FileExists(path));
    pCaptureControl = pRealControl;
    g_captureBlock.wfx = wfxReal;
}

// The file type of Z:/dev/full, FILE_TYPE_UNKNOWN when it cannot be opened.
DWORD DeviceFileType() {
    HANDLE hFull =
        CreateFileA("Z:/dev/full", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFull == INVALID_HANDLE_VALUE) {
        return FILE_TYPE_UNKNOWN;
    }
    DWORD dwType = GetFileType(hFull);
    CloseHandle(hFull);
    return dwType;
}

// A full device: the write (or the closing flush) fails, is traced once and reported, and the device is left alone.
TEST_F(CapturedWave, WriteOrCloseFailureOnAFullDeviceFailsAndDeletesNothing) {
    ASSERT_NE(static_cast<DWORD>(FILE_TYPE_DISK), DeviceFileType()) << "/dev/full must not look like a disk file";

    std::vector<int> samples(100000, 77);
    RecordThroughEffect(1, 44100, 16, Samples16(samples));
    FakeViewer viewer;
    EXPECT_EQ(E_FAIL, SaveCapturedWave("Z:/dev/full", 44100));
    EXPECT_EQ("g_pWaveFile->Write - FAILED", viewer.Text());
    EXPECT_EQ(static_cast<DWORD>(FILE_TYPE_CHAR), DeviceFileType()) << "/dev/full is still there";
    EXPECT_EQ(nullptr, g_pWaveFile);

    // A few samples stay in the writer's buffer: the full device shows only when Close flushes it.
    RecordThroughEffect(1, 44100, 16, Samples16({1, 2, 3, 4}));
    FakeViewer viewer2;
    EXPECT_EQ(E_FAIL, SaveCapturedWave("Z:/dev/full", 44100));
    EXPECT_EQ("g_pWaveFile->Close - FAILED", viewer2.Text());
    EXPECT_EQ(nullptr, g_pWaveFile);
}

// What a failed save leaves is deleted when it is a file; the same call on a device or a folder does nothing.
TEST(DiscardFailedFile, DeletesAHalfWrittenFileButNoDeviceOrFolder) {
    std::string path = AudioTempPath(kFolder, "half-written.wav");
    WriteWholeFile(path, std::vector<uint8_t>(100, 1));
    ASSERT_TRUE(FileExists(path));
    DiscardFailedFile(path.c_str());
    EXPECT_FALSE(FileExists(path));

    std::string folder = AudioTempPath(kFolder, "a-folder");
    CreateDirectoryA(folder.c_str(), nullptr);
    DiscardFailedFile(folder.c_str());
    EXPECT_TRUE(FileExists(folder));
    DiscardFailedFile("Z:/dev/full");
    EXPECT_EQ(static_cast<DWORD>(FILE_TYPE_CHAR), DeviceFileType());
}

} // namespace

// Replaces the library's no-throw allocation for this program, so that a test can make the next one fail.
void *operator new(std::size_t cb, const std::nothrow_t &) noexcept {
    if (g_bFailNextNothrowNew) {
        g_bFailNextNothrowNew = false;
        return nullptr;
    }
    return std::malloc(cb != 0 ? cb : 1);
}
