// Sample playback: loop points hit sample-exactly (no drift), loop modes 0, 1 and 3, sample offsets.
#include "support/core/synth/synth_test_util.h"

namespace tw::test {
namespace {

constexpr uint32_t kLoopStart = 1000, kLoopEnd = 2000, kLoopLength = kLoopEnd - kLoopStart;
constexpr int kLoopSpike = 1010; // a positive spike inside the loop
constexpr int kTailSpike = 2500; // a negative spike after the loop end
constexpr int kLength = 3000;

// Zeros with one spike in the loop and one after it, so each pass and the tail show as single peaks.
Sf2Builder SpikeFont(int mode) {
    Sf2Builder b;
    std::vector<int16_t> data(kLength, 0);
    data[kLoopSpike] = 20000;
    data[kTailSpike] = -20000;
    int smp = b.addSample("spikes", data, kRate, 60, kLoopStart, kLoopEnd);
    b.addSimplePreset("Spikes", 0, 0, smp)
        .gen(synth::kSampleModes, mode)
        .gen(synth::kReleaseVolEnv, Timecents(2.0))
        .mod(kVelocityToFilterSource, synth::kInitialFilterFc, 0);
    return b;
}

// Frames where the signal has a local peak above threshold (positive) or below -threshold (negative).
std::vector<size_t> Peaks(const std::vector<float> &x, float threshold, bool positive) {
    std::vector<size_t> at;
    for (size_t i = 1; i + 1 < x.size(); ++i) {
        const float v = positive ? x[i] : -x[i];
        const float a = positive ? x[i - 1] : -x[i - 1], c = positive ? x[i + 1] : -x[i + 1];
        if (v > threshold && v >= a && v > c)
            at.push_back(i);
    }
    return at;
}

TEST(SynthLoops, LoopRepeatsEveryLoopLengthExactlyAtUnityPitch) {
    auto s = MakeSynth(SpikeFont(1));
    s->setMasterVolume(2000);
    s->noteOn(0, 60, 127);
    Stereo out = Render(*s, 60 * kLoopLength);
    const float top = Peak(out.left, 0, out.size());
    const std::vector<size_t> p = Peaks(out.left, top * 0.5f, true);
    ASSERT_GE(p.size(), 55u);
    // First pass: spike at its offset from the note start (plus the output latency).
    EXPECT_EQ(p[0], static_cast<size_t>(kLoopSpike + synth::Synth::latencyFrames()));
    for (size_t i = 1; i < p.size(); ++i)
        ASSERT_EQ(p[i] - p[i - 1], kLoopLength) << "pass " << i;
    // At unity pitch the spike is reproduced as a single point: neighbours stay near zero.
    EXPECT_LT(std::fabs(out.left[p[10] + 1]), top * 0.01f);
    EXPECT_LT(std::fabs(out.left[p[10] - 1]), top * 0.01f);
}

TEST(SynthLoops, LoopDoesNotDriftAtOtherPitches) {
    auto s = MakeSynth(SpikeFont(1));
    s->setMasterVolume(2000);
    const int key = 65; // +5 semitones
    const double ratio = std::pow(2.0, 5 / 12.0);
    s->noteOn(0, key, 127);
    Stereo out = Render(*s, 150 * kLoopLength);
    // Between points the interpolated spike is lower (0.56 of it half way): a lower threshold catches each pass.
    const std::vector<size_t> p = Peaks(out.left, Peak(out.left, 0, out.size()) * 0.3f, true);
    ASSERT_GE(p.size(), 150u);
    const double first = p[0];
    // Tolerance: the interpolated peak lands within one frame of the exact position, after any number of passes.
    for (size_t i = 0; i < p.size(); ++i)
        ASSERT_NEAR(static_cast<double>(p[i]), first + i * kLoopLength / ratio, 1.0) << "pass " << i;
}

TEST(SynthLoops, ModeThreePlaysOnPastTheLoopEndAfterRelease) {
    auto s = MakeSynth(SpikeFont(3));
    s->setMasterVolume(2000);
    s->noteOn(0, 60, 127);
    Stereo held = Render(*s, 5 * kLoopLength + 300);
    const float top = Peak(held.left, 0, held.size());
    EXPECT_TRUE(Peaks(held.left, top * 0.5f, false).empty()) << "tail played while the key was held";
    s->noteOff(0, 60);
    Stereo released = Render(*s, 3 * kLength);
    EXPECT_EQ(Peaks(released.left, top * 0.2f, false).size(), 1u) << "tail must play once after release";
    EXPECT_EQ(s->activeVoices(), 0) << "voice ends with its sample";
}

TEST(SynthLoops, ModeOneKeepsLoopingThroughTheRelease) {
    auto s = MakeSynth(SpikeFont(1));
    s->setMasterVolume(2000);
    s->noteOn(0, 60, 127);
    Stereo held = Render(*s, 5 * kLoopLength + 300);
    const float top = Peak(held.left, 0, held.size());
    s->noteOff(0, 60);
    Stereo released = Render(*s, 3 * kLength);
    EXPECT_TRUE(Peaks(released.left, top * 0.2f, false).empty());
    EXPECT_GE(Peaks(released.left, top * 0.2f, true).size(), 8u);
}

TEST(SynthLoops, ModeZeroPlaysTheSampleOnceAndEnds) {
    auto s = MakeSynth(SpikeFont(0));
    s->setMasterVolume(2000);
    s->noteOn(0, 60, 127);
    Stereo out = Render(*s, 4 * kLength);
    const float top = Peak(out.left, 0, out.size());
    EXPECT_EQ(Peaks(out.left, top * 0.5f, true).size(), 1u);
    const std::vector<size_t> tail = Peaks(out.left, top * 0.5f, false);
    ASSERT_EQ(tail.size(), 1u);
    EXPECT_EQ(tail[0], static_cast<size_t>(kTailSpike + synth::Synth::latencyFrames()));
    EXPECT_EQ(s->activeVoices(), 0);
}

TEST(SynthLoops, AddressOffsetsMoveStartAndLoopPoints) {
    Sf2Builder b = SpikeFont(1);
    b.instruments[0].zones[0].gen(synth::kStartAddrsOffset, 500).gen(synth::kEndloopAddrsOffset, -100);
    auto s = MakeSynth(b);
    s->setMasterVolume(2000);
    s->noteOn(0, 60, 127);
    Stereo out = Render(*s, 20 * kLoopLength);
    const std::vector<size_t> p = Peaks(out.left, Peak(out.left, 0, out.size()) * 0.5f, true);
    ASSERT_GE(p.size(), 10u);
    EXPECT_EQ(p[0], static_cast<size_t>(kLoopSpike - 500 + synth::Synth::latencyFrames()));
    EXPECT_EQ(p[2] - p[1], kLoopLength - 100);
}

} // namespace
} // namespace tw::test
