// The voice low-pass filter: cutoff, resonance and pass-band level, modulation envelope sweeps.
#include "support/core/synth/synth_test_util.h"

namespace tw::test {
namespace {

constexpr int kCutoffCents = 8321; // 1000 Hz: 1200 log2(1000 / 8.176)
constexpr int kSettle = 8820, kMeasure = 22050;

// Sine of 1000 Hz at key 69; keys 45 and 57 give 250 and 500 Hz, 81 gives 2000 Hz.
Sf2Builder FilterFont(int cutoffCents, int resonanceCb) {
    Sf2Builder b;
    int smp = b.addSample("sine", Sf2Builder::Sine(44100, 44.1), kRate, 69, 0, 44100);
    b.addSimplePreset("Open", 0, 0, smp)
        .gen(synth::kSampleModes, 1)
        .mod(kVelocityToFilterSource, synth::kInitialFilterFc, 0);
    b.addSimplePreset("Filtered", 0, 1, smp)
        .gen(synth::kSampleModes, 1)
        .gen(synth::kInitialFilterFc, cutoffCents)
        .gen(synth::kInitialFilterQ, resonanceCb)
        .mod(kVelocityToFilterSource, synth::kInitialFilterFc, 0);
    return b;
}

// Level of the filtered preset relative to the open one at a key, in dB.
double ResponseDb(synth::Synth &s, int key) {
    double rms[2];
    for (int program = 0; program < 2; ++program) {
        s.programChange(0, program);
        s.noteOn(0, key, 127);
        Stereo out = Render(s, kSettle + kMeasure);
        s.controlChange(0, 120, 0);
        Render(s, 441);
        rms[program] = Rms(out.left, kSettle, kSettle + kMeasure);
    }
    return Db(rms[1] / rms[0]);
}

// Tolerance 0.1 dB: the filter is a standard two-pole design evaluated exactly at these frequencies.
TEST(SynthFilter, WithoutResonanceTheCutoffIsThreeDecibelsDown) {
    auto s = MakeSynth(FilterFont(kCutoffCents, 0));
    EXPECT_NEAR(ResponseDb(*s, 45), 0.0, 0.1);   // 250 Hz: pass band
    EXPECT_NEAR(ResponseDb(*s, 69), -3.0, 0.1);  // cutoff
    EXPECT_NEAR(ResponseDb(*s, 81), -12.4, 0.2); // an octave above: 12 dB per octave beyond the knee
}

TEST(SynthFilter, ResonancePeaksAtTheCutoffAndLowersThePassBand) {
    auto s = MakeSynth(FilterFont(kCutoffCents, 100)); // 10 dB
    const double pass = ResponseDb(*s, 45), peak = ResponseDb(*s, 69);
    EXPECT_NEAR(pass, -4.5, 0.2) << "pass band lowered by half the resonance (plus the rising skirt)";
    EXPECT_NEAR(peak - pass, 6.5, 0.3) << "peak stands out by the resonance less the Butterworth 3 dB";
}

TEST(SynthFilter, FullyOpenFilterIsTransparent) {
    auto s = MakeSynth(FilterFont(13500, 0));
    EXPECT_NEAR(ResponseDb(*s, 81), 0.0, 0.01);
}

TEST(SynthFilter, ModulationEnvelopeAttackIsConvex) {
    Sf2Builder b = SinePreset();
    b.instruments[0].zones[0].gen(synth::kModEnvToPitch, 1200).gen(synth::kAttackModEnv, 0); // 1 s attack
    auto s = MakeSynth(b);
    s->noteOn(0, 60, 100);
    Stereo out = Render(*s, kRate / 2);
    // Convex curve 1 + 40/96 log10(t): about 0.58 of the way at 0.1 s and 0.87 at 0.4 s (linear: 0.1 and 0.4).
    constexpr double kSineHz = kRate / 100.0;
    const double at100ms = CentsBetween(MeasureFrequency(out.left, 4000, 4900), kSineHz);
    const double at400ms = CentsBetween(MeasureFrequency(out.left, 17200, 18100), kSineHz);
    EXPECT_NEAR(at100ms, 1200 * (1 + 40.0 / 96 * std::log10(0.1)), 40.0);
    EXPECT_NEAR(at400ms, 1200 * (1 + 40.0 / 96 * std::log10(0.4)), 20.0);
}

} // namespace
} // namespace tw::test
