// The recording's conversions where the end-to-end tests cannot reach: a rate change longer than a float counts,
// channel counts above two, and recordings that the heap cannot hold.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "support/app/audio/audio_test_files.h"
#include "support/app/engine/capture_feed.h"
#include "support/app/engine/fake_viewer.h"
#include "capture_convert.h"
#include "rate_change.h"
#include "engine.h"

namespace {

// Past 2^24 samples a single-precision count or position goes wrong; the length is exact integer arithmetic.
TEST(CaptureConvert, RateChangedLengthOfMoreThanTwoTo24SamplesIsExact) {
    const size_t nIn = (size_t(1) << 24) + 6;
    EXPECT_EQ(2 * (nIn - 1), RateChangedLength(nIn, 22050, 44100));
    EXPECT_EQ((nIn - 1 + 3) / 4, RateChangedLength(nIn, 44100, 11025));
    // Four hours at 48,000 Hz: (nIn − 1) × target no longer fits 32 bits.
    const size_t nLong = size_t(48000) * 3600 * 4;
    EXPECT_EQ((static_cast<unsigned long long>(nLong - 1) * 44100 + 47999) / 48000,
              RateChangedLength(nLong, 48000, 44100));
    EXPECT_EQ(0u, RateChangedLength(1, 44100, 22050));
}

TEST(CaptureConvert, FramesBecomeTheirMeanTruncatedTowardZeroAndAPartialFrameIsDropped) {
    std::vector<uint8_t> pb = Samples16({6, 6, 6, 6, 6, 7, -6, -6, -6, -6, -6, -7, 1, 2});
    EXPECT_EQ(4u, MixToMono(pb.data(), pb.size(), 6));
    EXPECT_EQ(Samples16({6, -6}), std::vector<uint8_t>(pb.begin(), pb.begin() + 4));
    // Stereo has a path of its own; full scale must not overflow it.
    std::vector<uint8_t> stereo = Samples16({-3, 0, 3, 0, -32768, -32768, 32767, 32767, 5});
    EXPECT_EQ(8u, MixToMono(stereo.data(), stereo.size(), 2));
    EXPECT_EQ(Samples16({-1, 1, -32768, 32767}), std::vector<uint8_t>(stereo.begin(), stereo.begin() + 8));
}

// A heap that holds the recording once: too small for it, E_FAIL with one trace line and no file; big enough,
// the rate change streams from it without a second copy, however much longer its output is.
class SmallHeap : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterAndFindCaptureEffect(); }
    static void TearDownTestSuite() { ReleaseCaptureEffect(); }
    void SetUp() override { m_hHeap = HeapCreate(0, 0, 256 * 1024); } // fixed: it never grows past 256 KB
    void TearDown() override {
        g_captureBlock.hHeap = GetProcessHeap();
        HeapDestroy(m_hHeap);
    }
    HANDLE m_hHeap = nullptr;
};

TEST_F(SmallHeap, RecordingThatCannotBeFetchedFailsBeforeAnyFileExists) {
    RecordThroughEffect(2, 44100, 16, std::vector<BYTE>(1024 * 1024, 1));
    g_captureBlock.hHeap = m_hHeap;
    std::string path = AudioTempPath("engine-wav", "no-memory.wav");
    DeleteFileA(path.c_str());
    FakeViewer viewer;
    EXPECT_EQ(E_FAIL, SaveCapturedWave(path.c_str(), 22050));
    EXPECT_EQ("HeapAlloc - FAILED", viewer.Text());
    EXPECT_FALSE(FileExists(path));
}

TEST_F(SmallHeap, RateChangeNeedsNoSecondCopyOfTheRecording) {
    RecordThroughEffect(1, 11025, 16, std::vector<BYTE>(160 * 1024, 1)); // fits once; its output is four times that
    g_captureBlock.hHeap = m_hHeap;
    std::string path = AudioTempPath("engine-wav", "rate-in-small-heap.wav");
    DeleteFileA(path.c_str());
    EXPECT_EQ(S_OK, SaveCapturedWave(path.c_str(), 44100));
    EXPECT_EQ(56u + 2 * RateChangedLength(80 * 1024, 11025, 44100), ReadWholeFile(path).size());
}

} // namespace
