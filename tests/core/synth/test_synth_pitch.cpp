// Pitch accuracy: key range, root key and sample rate, pitch bend and its range, RPN tuning.
#include "support/core/synth/synth_test_util.h"

#include "synth_math.h"

namespace tw::test {
namespace {

constexpr double kToleranceCents = 1.0;
constexpr double kSineHz = kRate / 100.0; // the test sine: 441 Hz at its root key
constexpr int kSettle = 4410;             // frames skipped before measuring (attack, ramps)
constexpr int kMeasure = 44100;

double PlayAndMeasure(synth::Synth &s, int channel, int key) {
    s.noteOn(channel, key, 100);
    Stereo out = Render(s, kSettle + kMeasure);
    s.noteOff(channel, key);
    Render(s, kRate / 2);
    return MeasureFrequency(out.left, kSettle, kSettle + kMeasure);
}

TEST(SynthPitch, EveryKeyWithinOneCentOfEqualTemperament) {
    auto s = MakeSynth(SinePreset(100.0, 69));
    for (int key = 21; key <= 108; key += 3) {
        const double expected = kSineHz * std::pow(2.0, (key - 69) / 12.0);
        EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, key), expected), 0.0, kToleranceCents) << "key " << key;
    }
}

TEST(SynthPitch, SampleRateAndRootKeyOfTheSampleAreHonoured) {
    Sf2Builder b;
    // 22050 Hz sample, period 50 points: 441 Hz at its root key 57.
    int smp = b.addSample("half", Sf2Builder::Sine(10000, 50.0), 22050, 57, 0, 10000);
    b.addSimplePreset("Half", 0, 0, smp)
        .gen(synth::kSampleModes, 1)
        .mod(kVelocityToFilterSource, synth::kInitialFilterFc, 0);
    auto s = MakeSynth(b);
    EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, 57), kSineHz), 0.0, kToleranceCents);
    EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, 64), kSineHz * std::pow(2.0, 7 / 12.0)), 0.0, kToleranceCents);
}

TEST(SynthPitch, CoarseFineTuneAndOverridingRootKeyShiftPitch) {
    Sf2Builder b;
    int smp = b.addSample("sine", Sf2Builder::Sine(20000, 100.0), kRate, 60, 0, 20000);
    b.addSimplePreset("Tuned", 0, 0, smp)
        .gen(synth::kSampleModes, 1)
        .gen(synth::kCoarseTune, 2)
        .gen(synth::kFineTune, -30)
        .gen(synth::kOverridingRootKey, 62)
        .mod(kVelocityToFilterSource, synth::kInitialFilterFc, 0);
    auto s = MakeSynth(b);
    // Key 62 on root 62: unshifted, then +200 - 30 cents.
    EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, 62), kSineHz), 170.0, kToleranceCents);
}

TEST(SynthPitch, PitchBendFollowsTheDefaultTwoSemitoneRange) {
    auto s = MakeSynth(SinePreset());
    s->pitchBend(0, 16383);
    EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, 60), kSineHz), 200.0 * 8191 / 8192, kToleranceCents);
    s->pitchBend(0, 0);
    EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, 60), kSineHz), -200.0, kToleranceCents);
    s->pitchBend(0, 8192);
    EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, 60), kSineHz), 0.0, kToleranceCents);
}

TEST(SynthPitch, BendWhileSoundingRetunesTheHeldNote) {
    auto s = MakeSynth(SinePreset());
    s->noteOn(0, 60, 100);
    Render(*s, kSettle);
    s->pitchBend(0, 12288); // half way up
    Stereo out = Render(*s, kSettle + kMeasure);
    EXPECT_NEAR(CentsBetween(MeasureFrequency(out.left, kSettle, kSettle + kMeasure), kSineHz), 100.0, kToleranceCents);
}

TEST(SynthPitch, RpnBendRangeAndTuningApply) {
    auto s = MakeSynth(SinePreset());
    // RPN 0: bend range 12 semitones.
    s->controlChange(0, 101, 0);
    s->controlChange(0, 100, 0);
    s->controlChange(0, 6, 12);
    s->controlChange(0, 38, 0);
    s->pitchBend(0, 12288);
    EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, 60), kSineHz), 600.0, kToleranceCents);
    s->pitchBend(0, 8192);
    // RPN 2: coarse tuning -3 semitones; RPN 1: fine tuning +50 cents.
    s->controlChange(0, 100, 2);
    s->controlChange(0, 6, 64 - 3);
    s->controlChange(0, 100, 1);
    s->controlChange(0, 6, 96); // (96 << 7) - 8192 = +4096 of 8192: +50 cents
    s->controlChange(0, 38, 0);
    EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, 60), kSineHz), -250.0, kToleranceCents);
    // NRPN selection makes data entry go nowhere.
    s->controlChange(0, 99, 1);
    s->controlChange(0, 98, 1);
    s->controlChange(0, 6, 64);
    EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, 60), kSineHz), -250.0, kToleranceCents);
    // Reset All Controllers keeps the tuning but recentres the bend.
    s->pitchBend(0, 0);
    s->controlChange(0, 121, 0);
    EXPECT_NEAR(CentsBetween(PlayAndMeasure(*s, 0, 60), kSineHz), -250.0, kToleranceCents);
}

// The synthesizer's own exp2, sin and cos stand in for the C library's on every control block: each must agree
// with it to float precision over the whole range the voices use.
TEST(SynthMath, OwnExp2SinAndCosAgreeWithTheLibrary) {
    double worstExp = 0, worstTrig = 0;
    for (double d = -125.9; d <= 127.0; d += 0.0137) {
        const float x = static_cast<float>(d);
        const double exact = std::exp2(static_cast<double>(x));
        worstExp = std::max(worstExp, std::abs(synth::exp2Fast(x) - exact) / exact);
    }
    for (double d = 0; d <= 3.14159; d += 0.0011) {
        const float x = static_cast<float>(d);
        worstTrig = std::max(worstTrig, std::abs(synth::sinHalfTurn(x) - std::sin(static_cast<double>(x))));
        worstTrig = std::max(worstTrig, std::abs(synth::cosHalfTurn(x) - std::cos(static_cast<double>(x))));
    }
    EXPECT_LT(worstExp, 4e-7);
    EXPECT_LT(worstTrig, 4e-7);
    EXPECT_EQ(0.0f, synth::exp2Fast(-200.0f));
    EXPECT_EQ(0.0f, synth::exp2Fast(std::nanf("")));
    EXPECT_FLOAT_EQ(1.0f, synth::exp2Fast(0.0f));
}

} // namespace
} // namespace tw::test
