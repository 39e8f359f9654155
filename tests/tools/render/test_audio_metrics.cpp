// Comparison metrics: onset detection accuracy, matching tolerance, envelope level matching, spectra.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/render/audio_metrics.h"

using tw::render::CompareAudio;
using tw::render::DetectOnsets;

namespace {

constexpr int kRate = 44100;

// Decaying tone bursts starting at the given times (seconds).
std::vector<float> Bursts(const std::vector<double> &starts, double seconds, double gain = 0.5, double freq = 440) {
    std::vector<float> x(static_cast<size_t>(seconds * kRate), 0.0f);
    for (double t0 : starts) {
        const size_t s0 = static_cast<size_t>(t0 * kRate);
        for (size_t i = s0; i < x.size() && i < s0 + kRate; ++i) {
            const double t = double(i - s0) / kRate;
            x[i] += static_cast<float>(gain * std::exp(-t * 20) * std::sin(2 * M_PI * freq * t));
        }
    }
    return x;
}

const std::vector<double> kStarts = {0.1, 0.4, 0.75, 1.0, 1.3, 1.62, 2.0};

} // namespace

TEST(OnsetDetectorTest, FindsEachBurstWithin5Ms) {
    const std::vector<double> onsets = DetectOnsets(Bursts(kStarts, 2.5), kRate);
    ASSERT_EQ(onsets.size(), kStarts.size());
    for (size_t i = 0; i < kStarts.size(); ++i)
        EXPECT_NEAR(onsets[i], kStarts[i], 0.005);
}

TEST(OnsetDetectorTest, TremoloOnAHeldNoteIsNotAnOnset) {
    std::vector<float> x(2 * kRate);
    for (size_t i = kRate / 10; i < x.size(); ++i) {
        const double t = double(i) / kRate;
        x[i] = static_cast<float>(0.3 * (0.75 + 0.25 * std::sin(2 * M_PI * 6 * t)) * std::sin(2 * M_PI * 440 * t));
    }
    const std::vector<double> onsets = DetectOnsets(x, kRate);
    ASSERT_EQ(onsets.size(), 1u);
    EXPECT_NEAR(onsets[0], 0.1, 0.005);
}

TEST(OnsetDetectorTest, SilenceHasNoOnsets) {
    EXPECT_TRUE(DetectOnsets(std::vector<float>(kRate, 0.0f), kRate).empty());
}

TEST(CompareAudioTest, IdenticalSignalsAgreeFully) {
    const std::vector<float> a = Bursts(kStarts, 2.5);
    const auto r = CompareAudio(a, a, kRate);
    EXPECT_DOUBLE_EQ(r.onsetAgreement, 1.0);
    EXPECT_NEAR(r.envelopeCorrelation, 1.0, 1e-9);
    EXPECT_NEAR(r.spectralCorrelation, 1.0, 1e-9);
    EXPECT_DOUBLE_EQ(r.durationB - r.durationA, 0.0);
}

TEST(CompareAudioTest, QuieterCopyStillMatchesAfterLevelMatching) {
    const auto r = CompareAudio(Bursts(kStarts, 2.5), Bursts(kStarts, 2.5, 0.05), kRate);
    EXPECT_DOUBLE_EQ(r.onsetAgreement, 1.0);
    EXPECT_GT(r.envelopeCorrelation, 0.99);
}

TEST(CompareAudioTest, OnsetsTwentyMillisecondsLateDoNotMatch) {
    std::vector<double> late;
    for (double t : kStarts)
        late.push_back(t + 0.020);
    const auto r = CompareAudio(Bursts(kStarts, 2.5), Bursts(late, 2.5), kRate);
    EXPECT_LT(r.onsetAgreement, 0.2);
}

TEST(CompareAudioTest, DifferentTimbreLowersSpectralCorrelation) {
    const auto same = CompareAudio(Bursts(kStarts, 2.5, 0.5, 440), Bursts(kStarts, 2.5, 0.5, 440), kRate);
    const auto other = CompareAudio(Bursts(kStarts, 2.5, 0.5, 440), Bursts(kStarts, 2.5, 0.5, 3000), kRate);
    EXPECT_LT(other.spectralCorrelation, same.spectralCorrelation - 0.05);
}

TEST(CompareAudioTest, DurationDifferenceInSeconds) {
    const auto r = CompareAudio(Bursts(kStarts, 2.5), Bursts(kStarts, 3.0), kRate);
    EXPECT_NEAR(r.durationB - r.durationA, 0.5, 1e-6);
}

TEST(CompareAudioTest, TinySampleRateFromAWavHeaderStillFinishes) {
    // 10 Hz makes a 50 ms envelope frame shorter than one sample; it used to loop for ever.
    const std::vector<float> a(40, 0.25f), b(40, -0.25f);
    const tw::render::CompareResult r = CompareAudio(a, b, 10);
    EXPECT_DOUBLE_EQ(r.durationA, 4.0);
    EXPECT_TRUE(std::isfinite(r.envelopeCorrelation));
}
