// Envelopes: volume envelope stage timings and shapes, key-number scaling, modulation envelope to pitch.
#include "support/core/synth/synth_test_util.h"

namespace tw::test {
namespace {

constexpr double kDelay = 0.02, kAttack = 0.1, kHold = 0.05, kFullDecay = 0.96, kFullRelease = 0.96;
constexpr int kSustainCb = 120;  // 12 dB below the peak
constexpr double kNoteOff = 0.5; // seconds after the note-on

Sf2Builder EnvelopeFont() {
    Sf2Builder b = SinePreset();
    b.instruments[0]
        .zones[0]
        .gen(synth::kDelayVolEnv, Timecents(kDelay))
        .gen(synth::kAttackVolEnv, Timecents(kAttack))
        .gen(synth::kHoldVolEnv, Timecents(kHold))
        .gen(synth::kDecayVolEnv, Timecents(kFullDecay))
        .gen(synth::kSustainVolEnv, kSustainCb)
        .gen(synth::kReleaseVolEnv, Timecents(kFullRelease));
    return b;
}

// Amplitude around a time (seconds from the note-on): the peak over one period of the 100-point test sine.
float AmplitudeAt(const Stereo &out, double seconds) {
    const size_t at = static_cast<size_t>(seconds * kRate) + synth::Synth::latencyFrames();
    return Peak(out.left, at - 50, at + 50);
}

Stereo PlayEnvelope(const Sf2Builder &b, int key = 60) {
    auto s = MakeSynth(b);
    s->noteOn(0, key, 127);
    Stereo out = Render(*s, static_cast<int>(kNoteOff * kRate));
    s->noteOff(0, key);
    Append(out, Render(*s, kRate));
    return out;
}

// Tolerances: one control block (64 frames, 1.5 ms) of timing, which is 2 % of amplitude in the 100 ms attack
// and about 0.15 dB in the decay and release slopes.
TEST(SynthEnvelope, VolumeEnvelopeStagesHaveTheirLengthsAndLevels) {
    const Stereo out = PlayEnvelope(EnvelopeFont());
    const float top = AmplitudeAt(out, kDelay + kAttack + kHold / 2);
    ASSERT_GT(top, 0.0f);
    EXPECT_LT(Peak(out.left, 0, static_cast<size_t>((kDelay - 0.002) * kRate)), top * 1e-4f) << "delay";
    EXPECT_NEAR(AmplitudeAt(out, kDelay + kAttack / 2) / top, 0.5, 0.03) << "attack is linear in amplitude";
    EXPECT_NEAR(AmplitudeAt(out, kDelay + kAttack / 4) / top, 0.25, 0.03);
    EXPECT_NEAR(AmplitudeAt(out, kDelay + kAttack + kHold - 0.003) / top, 1.0, 0.01) << "hold";
    // Decay falls linearly in dB: 96 dB over the full decay time, until the sustain level.
    const double decayStart = kDelay + kAttack + kHold;
    EXPECT_NEAR(Db(AmplitudeAt(out, decayStart + kFullDecay * 6 / 96) / top), -6.0, 0.3);
    EXPECT_NEAR(Db(AmplitudeAt(out, kNoteOff - 0.01) / top), -kSustainCb / 10.0, 0.2) << "sustain";
    // Release: 96 dB over the full release time from the sustain level.
    EXPECT_NEAR(Db(AmplitudeAt(out, kNoteOff + kFullRelease * 24 / 96) / top), -12.0 - 24.0, 0.5);
}

TEST(SynthEnvelope, ReleaseDuringAttackFallsFromTheLevelReached) {
    auto s = MakeSynth(EnvelopeFont());
    s->noteOn(0, 60, 127);
    Stereo out = Render(*s, static_cast<int>((kDelay + kAttack / 2) * kRate));
    s->noteOff(0, 60);
    Append(out, Render(*s, kRate));
    const double off = kDelay + kAttack / 2;
    const float before = AmplitudeAt(out, off - 0.002);
    EXPECT_LE(AmplitudeAt(out, off + 0.01), before * 1.01f) << "no jump up to the peak";
    EXPECT_NEAR(Db(AmplitudeAt(out, off + kFullRelease * 12 / 96) / before), -12.0, 0.6);
}

TEST(SynthEnvelope, KeyNumberScalingShortensDecayForHigherKeys) {
    Sf2Builder b = EnvelopeFont();
    b.instruments[0].zones[0].gen(synth::kKeynumToVolEnvDecay, 100); // 12 keys up: decay twice as fast
    const Stereo c4 = PlayEnvelope(b, 60), c5 = PlayEnvelope(b, 72);
    const double decayStart = kDelay + kAttack + kHold;
    const float topC4 = AmplitudeAt(c4, decayStart - 0.01), topC5 = AmplitudeAt(c5, decayStart - 0.01);
    EXPECT_NEAR(Db(AmplitudeAt(c4, decayStart + kFullDecay * 6 / 96) / topC4), -6.0, 0.3);
    EXPECT_NEAR(Db(AmplitudeAt(c5, decayStart + kFullDecay * 3 / 96) / topC5), -6.0, 0.3);
}

TEST(SynthEnvelope, ModulationEnvelopeDrivesPitch) {
    Sf2Builder b = SinePreset();
    b.instruments[0]
        .zones[0]
        .gen(synth::kModEnvToPitch, 1200)
        .gen(synth::kHoldModEnv, Timecents(0.2))
        .gen(synth::kSustainModEnv, 1000); // falls to nothing after the hold
    auto s = MakeSynth(b);
    s->noteOn(0, 60, 100);
    Stereo out = Render(*s, kRate);
    constexpr double kSineHz = kRate / 100.0;
    EXPECT_NEAR(CentsBetween(MeasureFrequency(out.left, 2205, 8000), kSineHz), 1200.0, 1.0);
    EXPECT_NEAR(CentsBetween(MeasureFrequency(out.left, 13000, 40000), kSineHz), 0.0, 1.0);
}

TEST(SynthEnvelope, VibratoLfoSwingsPitchBothWays) {
    Sf2Builder b = SinePreset();
    // 2 Hz vibrato of 100 cents: absolute cents of 2 Hz = 1200 * log2(2 / 8.176).
    b.instruments[0].zones[0].gen(synth::kVibLfoToPitch, 100).gen(synth::kFreqVibLFO, -2437);
    auto s = MakeSynth(b);
    s->noteOn(0, 60, 100);
    Stereo out = Render(*s, kRate);
    constexpr double kSineHz = kRate / 100.0;
    // Around the first crest (1/8 s) and trough (3/8 s) of the triangle, measured over 20 ms.
    EXPECT_NEAR(CentsBetween(MeasureFrequency(out.left, 4630, 6400), kSineHz), 100.0, 12.0);
    EXPECT_NEAR(CentsBetween(MeasureFrequency(out.left, 15650, 17420), kSineHz), -100.0, 12.0);
}

} // namespace
} // namespace tw::test
