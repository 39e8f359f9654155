// The recording's conversions where the end-to-end tests cannot reach: a rate change longer than a float counts,
// channel counts above two, and recordings that the heap cannot hold.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "support/app/audio/audio_test_files.h"
#include "support/app/engine/capture_feed.h"
#include "support/app/engine/fake_viewer.h"
#include "capture_convert.h"
#include "engine.h"

namespace {

// A single-precision position stops advancing by 0.5 at 2^24 (and rounds to even from 2^23): past there it
// would never reach the end of the input.
TEST(CaptureConvert, DoublingARecordingOfMoreThanTwoTo24SamplesReachesItsEnd) {
    const size_t nIn = (size_t(1) << 24) + 6;
    std::vector<uint8_t> in(2 * nIn);
    for (size_t i = 0; i < nIn; ++i) {
        int16_t s = static_cast<int16_t>(i % 2000);
        in[2 * i] = static_cast<uint8_t>(s & 0xFF);
        in[2 * i + 1] = static_cast<uint8_t>((s >> 8) & 0xFF);
    }
    size_t cbMax = ResampledCapacity(in.size(), 22050, 44100);
    ASSERT_EQ(2 * in.size(), cbMax);
    std::vector<uint8_t> out(cbMax);
    size_t cbOut = Resample(in.data(), in.size(), 0.5, out.data(), out.size());
    ASSERT_EQ(2 * 2 * (nIn - 1), cbOut);
    // The last pair: input sample nIn - 2 and the mean of it and the last one.
    int16_t s0 = static_cast<int16_t>((nIn - 2) % 2000), s1 = static_cast<int16_t>((nIn - 1) % 2000);
    EXPECT_EQ(s0, static_cast<int16_t>(out[cbOut - 4] | (out[cbOut - 3] << 8)));
    EXPECT_EQ((s0 + s1) / 2, static_cast<int16_t>(out[cbOut - 2] | (out[cbOut - 1] << 8)));
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

// A heap too small for the recording, or for the rate change's second buffer: E_FAIL, one trace line, and no file.
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

TEST_F(SmallHeap, RateChangeWithoutMemoryFailsAndLeavesNoFile) {
    RecordThroughEffect(1, 11025, 16, std::vector<BYTE>(100 * 1024, 1)); // fits; four times that does not
    g_captureBlock.hHeap = m_hHeap;
    std::string path = AudioTempPath("engine-wav", "no-memory-for-rate.wav");
    DeleteFileA(path.c_str());
    FakeViewer viewer;
    EXPECT_EQ(E_FAIL, SaveCapturedWave(path.c_str(), 44100));
    EXPECT_EQ("HeapAlloc - FAILED", viewer.Text());
    EXPECT_FALSE(FileExists(path));
}

} // namespace
