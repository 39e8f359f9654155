// Reverb and chorus: the send controllers reach them, tails decay, output stays finite and stereo.
#include "support/core/synth/synth_test_util.h"

namespace tw::test {
namespace {

Sf2Builder ShortNote() {
    Sf2Builder b;
    // 45 whole periods: no DC, so nothing but effects can follow the burst.
    int smp = b.addSample("burst", Sf2Builder::Sine(2205, 49.0, 20000), kRate, 60, 0, 0);
    b.addSimplePreset("Burst", 0, 0, smp);
    return b;
}

Stereo PlayBurst(bool reverb, bool chorus, int reverbSend, int chorusSend) {
    synth::SynthConfig config;
    config.reverb = reverb;
    config.chorus = chorus;
    auto s = MakeSynth(ShortNote(), config, true);
    s->setMasterVolume(2000);
    s->controlChange(0, 91, reverbSend);
    s->controlChange(0, 93, chorusSend);
    s->noteOn(0, 60, 127);
    return Render(*s, 4 * kRate);
}

bool AllFinite(const Stereo &x) {
    for (size_t i = 0; i < x.size(); ++i)
        if (!std::isfinite(x.left[i]) || !std::isfinite(x.right[i]))
            return false;
    return true;
}

// The burst lasts 50 ms; what follows 100 ms later is effect tail only.
constexpr size_t kTailStart = kRate / 20 + kRate / 10;

TEST(SynthEffects, ReverbSendLeavesATailThatDecays) {
    const Stereo dry = PlayBurst(true, true, 0, 0);
    const Stereo wet = PlayBurst(true, false, 127, 0);
    ASSERT_TRUE(AllFinite(wet));
    // Without a send only the DC blocker's settling remains after the burst.
    const double early = Rms(wet.left, kTailStart, kTailStart + kRate / 10);
    EXPECT_GT(early, 10 * Rms(dry.left, kTailStart, kTailStart + kRate / 10)) << "the reverb answers";
    // Tolerance: room size 0.2 dies away within about a second; 3 s later it is 60 dB below its start.
    EXPECT_LT(Rms(wet.left, 3 * kRate, 4 * kRate), early * 1e-3);
    // Two decorrelated sides: the tails differ.
    double diff = 0;
    for (size_t i = kTailStart; i < kTailStart + kRate / 10; ++i)
        diff += std::fabs(wet.left[i] - wet.right[i]);
    EXPECT_GT(diff, 1e-3);
}

TEST(SynthEffects, ChorusSendAddsDelayedCopiesOnBothSides) {
    const Stereo chorus = PlayBurst(false, true, 0, 127), dry = PlayBurst(false, true, 0, 0);
    ASSERT_TRUE(AllFinite(chorus));
    // The delays reach at most 2 + 8 ms: the copies sound just after the burst on both sides...
    const size_t end = kRate / 20 + synth::Synth::latencyFrames();
    EXPECT_GT(Rms(chorus.left, end + 50, end + 400), 10 * Rms(dry.left, end + 50, end + 400));
    EXPECT_GT(Rms(chorus.right, end + 50, end + 400), 10 * Rms(dry.right, end + 50, end + 400));
    // ...and are over 100 ms later: below -80 dBFS (what is left is the DC blocker settling).
    EXPECT_LT(Rms(chorus.left, kTailStart, kTailStart + kRate / 10), 1e-4);
}

TEST(SynthEffects, DisabledEffectsIgnoreTheSends) {
    const Stereo off = PlayBurst(false, false, 127, 127), dry = PlayBurst(false, false, 0, 0);
    EXPECT_EQ(off.left, dry.left);
    EXPECT_EQ(off.right, dry.right);
}

TEST(SynthEffects, ResetClearsTheTails) {
    synth::SynthConfig config;
    auto s = MakeSynth(ShortNote(), config, true);
    s->controlChange(0, 91, 127);
    s->noteOn(0, 60, 127);
    Render(*s, kRate / 10);
    s->reset();
    const Stereo after = Render(*s, kRate / 10 + synth::Synth::latencyFrames());
    // Only the limiter's look-ahead still holds pre-reset frames.
    EXPECT_LT(Peak(after.left, synth::Synth::latencyFrames(), after.size()), 1e-6f);
}

} // namespace
} // namespace tw::test
