// SaveCapturedWave end to end: the real capture effect found by FindFilter records, the WAV file is checked.
#include <windows.h>

#include <gtest/gtest.h>

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

// Step 0.5: every second output is the truncated mean of two neighbours; the last input is never s0.
TEST_F(CapturedWave, DoublingTheRateInterpolatesMeansBetweenNeighbours) {
    RecordThroughEffect(1, 22050, 16, Samples16({0, 100, -101, 7, 8}));
    std::vector<uint8_t> file = Save("double.wav", 44100);
    EXPECT_EQ((std::vector<int>{0, 50, 100, 0, -101, -47, 7, 7}), DataSamples(file));
}

TEST_F(CapturedWave, HalvingTheRateKeepsEverySecondSample) {
    RecordThroughEffect(1, 22050, 16, Samples16({10, 11, 20, 21, 30, 31, 40}));
    EXPECT_EQ((std::vector<int>{10, 20, 30}), DataSamples(Save("half.wav", 11025)));
}

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
