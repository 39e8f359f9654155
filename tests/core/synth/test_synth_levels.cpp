// Levels: velocity and pan laws, master volume scale, the output limiter and the DC blocker.
#include "support/core/synth/synth_test_util.h"

namespace tw::test {
namespace {

constexpr int kSettle = 4410;
constexpr int kMeasure = 22050;

double NoteRms(synth::Synth &s, int key, int velocity, bool left = true) {
    s.noteOn(0, key, velocity);
    Stereo out = Render(s, kSettle + kMeasure);
    s.controlChange(0, 120, 0);
    Render(s, kRate / 10);
    return Rms(left ? out.left : out.right, kSettle, kSettle + kMeasure);
}

// SoundFont velocity law: attenuation 960 cB x concave(1 - velocity / 128) with concave(x) =
// -20/96 log10((1 - x)^2), that is a level of 40 log10(velocity / 128) dB.
double ExpectedVelocityDb(int velocity) {
    return 40.0 * std::log10(velocity / 128.0);
}

TEST(SynthLevels, VelocityFollowsTheConcaveAttenuationCurve) {
    auto s = MakeSynth(SinePreset());
    const double full = NoteRms(*s, 60, 127);
    for (int velocity : {100, 64, 32, 8}) {
        const double expected = ExpectedVelocityDb(velocity) - ExpectedVelocityDb(127);
        EXPECT_NEAR(Db(NoteRms(*s, 60, velocity) / full), expected, 0.1) << "velocity " << velocity;
    }
}

TEST(SynthLevels, PanIsEqualPowerAndReachesBothSides) {
    auto s = MakeSynth(SinePreset());
    s->controlChange(0, 10, 64);
    const double centreL = NoteRms(*s, 60, 100, true), centreR = NoteRms(*s, 60, 100, false);
    EXPECT_NEAR(Db(centreL / centreR), 0.0, 0.05);
    for (int pan : {0, 32, 96, 127}) {
        s->controlChange(0, 10, pan);
        const double l = NoteRms(*s, 60, 100, true), r = NoteRms(*s, 60, 100, false);
        // Constant power: L^2 + R^2 stays at the centre's value (within 0.1 dB).
        EXPECT_NEAR(10 * std::log10((l * l + r * r) / (2 * centreL * centreL)), 0.0, 0.1) << "pan " << pan;
        if (pan == 0) {
            EXPECT_LT(r, l * 1e-3);
        }
        if (pan == 127) {
            EXPECT_LT(l, r * 1e-3);
        }
    }
}

TEST(SynthLevels, VolumeAndExpressionControllersAttenuate) {
    auto s = MakeSynth(SinePreset());
    s->controlChange(0, 7, 127);
    const double full = NoteRms(*s, 60, 127);
    s->controlChange(0, 7, 64);
    // Same concave curve as velocity: CC7 64 is about 12 dB down.
    EXPECT_NEAR(Db(NoteRms(*s, 60, 127) / full), ExpectedVelocityDb(64) - ExpectedVelocityDb(127), 0.1);
    s->controlChange(0, 7, 127);
    s->controlChange(0, 11, 0);
    EXPECT_LT(NoteRms(*s, 60, 127), full * 1e-3);
}

TEST(SynthLevels, MasterVolumeZeroIsTwentyDecibelsBelowFull) {
    auto s = MakeSynth(SinePreset());
    s->setMasterVolume(2000);
    const double full = NoteRms(*s, 60, 64);
    s->setMasterVolume(0);
    EXPECT_NEAR(Db(NoteRms(*s, 60, 64) / full), -20.0, 0.01);
    s->setMasterVolume(-2000);
    EXPECT_NEAR(Db(NoteRms(*s, 60, 64) / full), -40.0, 0.01);
    s->setMasterVolume(5000); // clamped to +2000
    EXPECT_NEAR(Db(NoteRms(*s, 60, 64) / full), 0.0, 0.01);
}

TEST(SynthLevels, LimiterKeepsManyLoudVoicesAtOrBelowTheCeiling) {
    Sf2Builder b = SinePreset(100.0, 60, 32767);
    synth::SynthConfig config;
    auto s = MakeSynth(b, config, true);
    s->setMasterVolume(2000);
    const float ceiling = std::pow(10.0f, -0.1f / 20.0f);
    Stereo out;
    for (int key = 40; key < 100; ++key) {
        s->noteOn(key % 16, key, 127);
        Append(out, Render(*s, 37)); // staggered onsets: a fresh peak every few frames
    }
    Append(out, Render(*s, kRate));
    EXPECT_LE(Peak(out.left, 0, out.size()), ceiling);
    EXPECT_LE(Peak(out.right, 0, out.size()), ceiling);
    EXPECT_GT(Peak(out.left, 0, out.size()), ceiling * 0.9f) << "the test must actually drive the limiter";
}

TEST(SynthLevels, LimiterLeavesQuietSignalsUntouched) {
    auto s = MakeSynth(SinePreset());
    s->setMasterVolume(-1000);
    const double quiet = NoteRms(*s, 60, 100);
    s->setMasterVolume(0);
    EXPECT_NEAR(Db(NoteRms(*s, 60, 100) / quiet), 10.0, 0.01);
}

TEST(SynthLevels, OffCentreSampleLeavesNoDcInTheOutput) {
    Sf2Builder b;
    std::vector<int16_t> data = Sf2Builder::Sine(20000, 100.0, 8000);
    for (auto &v : data)
        v = static_cast<int16_t>(v + 8000);
    int smp = b.addSample("offset", data, kRate, 60, 0, 20000);
    b.addSimplePreset("Offset", 0, 0, smp).gen(synth::kSampleModes, 1);
    auto s = MakeSynth(b);
    s->noteOn(0, 60, 127);
    Stereo out = Render(*s, 2 * kRate);
    double mean = 0;
    for (size_t i = kRate; i < out.size(); ++i)
        mean += out.left[i];
    mean /= out.size() - kRate;
    // After a second the blocker has removed the offset to below 1 % of the signal.
    EXPECT_LT(std::fabs(mean), 0.01 * Rms(out.left, kRate, out.size()));
}

} // namespace
} // namespace tw::test
