// Tests of zone resolution: generator precedence, ranges, global zones, modulators and stereo pairs.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/synth/sf2_builder.h"
#include "soundfont.h"
#include "synth.h"

using tw::synth::LoadStatus;
using tw::synth::Modulator;
using tw::synth::SoundFont;
using tw::synth::ZoneVoice;
using tw::test::Sf2Builder;
namespace sy = tw::synth;

namespace {

constexpr int kCapacity = 16;

void Load(const Sf2Builder& b, SoundFont& sf) {
    std::vector<uint8_t> bytes = b.build();
    std::string error;
    ASSERT_EQ(sf.load(bytes.data(), bytes.size(), error), LoadStatus::Ok) << error;
}

int Collect(const SoundFont& sf, int bank, int program, int key, int vel, std::vector<ZoneVoice>& out) {
    out.assign(kCapacity, ZoneVoice());
    int preset = sf.findPreset(bank, program);
    return preset < 0 ? -1 : sf.collectZones(preset, key, vel, out.data(), kCapacity);
}

const Modulator* FindMod(const ZoneVoice& v, uint16_t source, uint16_t destination) {
    for (int i = 0; i < v.modulatorCount; ++i)
        if (v.modulators[i].source == source && v.modulators[i].destination == destination) return &v.modulators[i];
    return nullptr;
}

// Modulator sources as SoundFont 2.04 encodes them (index | CC flag | direction | polarity | curve).
constexpr uint16_t kVelocityToAttenuation = 0x0502, kCc7ToAttenuation = 0x0587, kPitchWheel = 0x020E;
constexpr uint16_t kCc1 = 0x0081, kCc74 = 0x00CA;

}  // namespace

TEST(SoundFontZones, SimplePresetGetsDefaultsAndSample) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(1000, 100), 22050, 69, 100, 900);
    b.addSimplePreset("Piano", 0, 0, s);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 60, 100, z), 1);
    EXPECT_EQ(z[0].gen[sy::kInitialFilterFc], 13500);
    EXPECT_EQ(z[0].gen[sy::kAttackVolEnv], -12000);
    EXPECT_EQ(z[0].gen[sy::kScaleTuning], 100);
    EXPECT_EQ(z[0].gen[sy::kOverridingRootKey], -1);
    EXPECT_EQ(z[0].gen[sy::kKeynum], -1);
    ASSERT_NE(z[0].sample, nullptr);
    EXPECT_EQ(z[0].sample->sampleRate, 22050u);
    EXPECT_EQ(z[0].sample->originalPitch, 69);
    EXPECT_EQ(z[0].sample->end - z[0].sample->start, 1000u);
    EXPECT_EQ(z[0].sample->loopStart - z[0].sample->start, 100u);
    EXPECT_EQ(z[0].sample->loopEnd - z[0].sample->start, 900u);
    EXPECT_EQ(sf.samples()[z[0].sample->start + 25], Sf2Builder::Sine(1000, 100)[25]);
    EXPECT_EQ(sf.findPreset(0, 1), -1);
    EXPECT_EQ(sf.findPreset(128, 0), -1);
}

TEST(SoundFontZones, EveryZoneStartsWithTheTenDefaultModulators) {
    Sf2Builder b;
    b.addSimplePreset("Piano", 0, 0, b.addSample("sine", Sf2Builder::Sine(500, 50)));
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 60, 100, z), 1);
    EXPECT_EQ(z[0].modulatorCount, 10);
    const Modulator* vel = FindMod(z[0], kVelocityToAttenuation, sy::kInitialAttenuation);
    ASSERT_NE(vel, nullptr);
    EXPECT_EQ(vel->amount, 960);
    const Modulator* bend = FindMod(z[0], kPitchWheel, sy::kInitialPitch);
    ASSERT_NE(bend, nullptr);
    EXPECT_EQ(bend->amount, 12700);
    EXPECT_EQ(bend->amountSource, 0x0010);
    EXPECT_NE(FindMod(z[0], kCc7ToAttenuation, sy::kInitialAttenuation), nullptr);
    EXPECT_NE(FindMod(z[0], kCc1, sy::kVibLfoToPitch), nullptr);
    EXPECT_EQ(FindMod(z[0], kCc74, sy::kInitialFilterFc), nullptr);
}
