// Tests of zone resolution: generator precedence, ranges, global zones, modulators and stereo pairs.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/core/synth/sf2_builder.h"
#include "soundfont.h"
#include "synth.h"

using tw::synth::LoadStatus;
using tw::synth::Modulator;
using tw::synth::SoundFont;
using tw::synth::ZoneVoice;
using tw::test::Sf2Builder;
using tw::test::Sf2Zone;
namespace sy = tw::synth;

namespace {

constexpr int kCapacity = 16;

void Load(const Sf2Builder &b, SoundFont &sf) {
    std::vector<uint8_t> bytes = b.build();
    std::string error;
    ASSERT_EQ(sf.load(bytes.data(), bytes.size(), error), LoadStatus::Ok) << error;
}

int Collect(const SoundFont &sf, int bank, int program, int key, int vel, std::vector<ZoneVoice> &out) {
    out.assign(kCapacity, ZoneVoice());
    int preset = sf.findPreset(bank, program);
    return preset < 0 ? -1 : sf.collectZones(preset, key, vel, out.data(), kCapacity);
}

const Modulator *FindMod(const ZoneVoice &v, uint16_t source, uint16_t destination) {
    for (int i = 0; i < v.modulatorCount; ++i)
        if (v.modulators[i].source == source && v.modulators[i].destination == destination)
            return &v.modulators[i];
    return nullptr;
}

// Modulator sources as SoundFont 2.04 encodes them (index | CC flag | direction | polarity | curve).
constexpr uint16_t kVelocityToAttenuation = 0x0502, kCc7ToAttenuation = 0x0587, kPitchWheel = 0x020E;
constexpr uint16_t kCc1 = 0x0081, kCc74 = 0x00CA;

} // namespace

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
    const Modulator *vel = FindMod(z[0], kVelocityToAttenuation, sy::kInitialAttenuation);
    ASSERT_NE(vel, nullptr);
    EXPECT_EQ(vel->amount, 960);
    const Modulator *bend = FindMod(z[0], kPitchWheel, sy::kInitialPitch);
    ASSERT_NE(bend, nullptr);
    EXPECT_EQ(bend->amount, 12700);
    EXPECT_EQ(bend->amountSource, 0x0010);
    EXPECT_NE(FindMod(z[0], kCc7ToAttenuation, sy::kInitialAttenuation), nullptr);
    EXPECT_NE(FindMod(z[0], kCc1, sy::kVibLfoToPitch), nullptr);
    EXPECT_EQ(FindMod(z[0], kCc74, sy::kInitialFilterFc), nullptr);
}

TEST(SoundFontZones, InstrumentGeneratorsAreAbsoluteAndLocalBeatsGlobal) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(500, 50));
    int inst = b.addInstrument("Inst");
    b.instrumentGlobal(inst).gen(sy::kInitialAttenuation, 100).gen(sy::kReleaseVolEnv, 1200).gen(sy::kPan, -200);
    b.instrumentZone(inst, s).keys(0, 59).gen(sy::kInitialAttenuation, 40);
    b.instrumentZone(inst, s).keys(60, 127).gen(sy::kPan, 300).gen(sy::kPan, 350); // the later duplicate wins
    b.presetZone(b.addPreset("P", 0, 0), inst);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 40, 100, z), 1);
    EXPECT_EQ(z[0].gen[sy::kInitialAttenuation], 40);
    EXPECT_EQ(z[0].gen[sy::kReleaseVolEnv], 1200);
    EXPECT_EQ(z[0].gen[sy::kPan], -200);
    ASSERT_EQ(Collect(sf, 0, 0, 80, 100, z), 1);
    EXPECT_EQ(z[0].gen[sy::kInitialAttenuation], 100);
    EXPECT_EQ(z[0].gen[sy::kPan], 350);
}

TEST(SoundFontZones, PresetGeneratorsAddAndPresetLocalBeatsPresetGlobal) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(500, 50));
    int inst = b.addInstrument("Inst");
    b.instrumentZone(inst, s).gen(sy::kInitialAttenuation, 100).gen(sy::kCoarseTune, -3).gen(sy::kAttackVolEnv, 0);
    int p = b.addPreset("P", 0, 0);
    b.presetGlobal(p).gen(sy::kInitialAttenuation, 30).gen(sy::kCoarseTune, 12);
    b.presetZone(p, inst).keys(0, 63).gen(sy::kInitialAttenuation, 50).gen(sy::kAttackVolEnv, 1200);
    b.presetZone(p, inst).keys(64, 127);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 60, 100, z), 1);
    EXPECT_EQ(z[0].gen[sy::kInitialAttenuation], 150); // local preset 50 replaces global 30, then adds to 100
    EXPECT_EQ(z[0].gen[sy::kCoarseTune], 9);
    EXPECT_EQ(z[0].gen[sy::kAttackVolEnv], 1200);
    EXPECT_EQ(z[0].gen[sy::kInitialFilterFc], 13500); // untouched by the preset: the instrument default
    ASSERT_EQ(Collect(sf, 0, 0, 70, 100, z), 1);
    EXPECT_EQ(z[0].gen[sy::kInitialAttenuation], 130);
}

TEST(SoundFontZones, PresetLevelSampleGeneratorsAreIgnored) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(500, 50));
    int inst = b.addInstrument("Inst");
    b.instrumentZone(inst, s).gen(sy::kOverridingRootKey, 48).gen(sy::kSampleModes, 1);
    int p = b.addPreset("P", 0, 0);
    b.presetZone(p, inst)
        .gen(sy::kOverridingRootKey, 20)
        .gen(sy::kSampleModes, 3)
        .gen(sy::kStartAddrsOffset, 10)
        .gen(sy::kEndloopAddrsCoarseOffset, 1)
        .gen(sy::kKeynum, 30)
        .gen(sy::kVelocity, 30)
        .gen(sy::kExclusiveClass, 5);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 60, 100, z), 1);
    EXPECT_EQ(z[0].gen[sy::kOverridingRootKey], 48);
    EXPECT_EQ(z[0].gen[sy::kSampleModes], 1);
    EXPECT_EQ(z[0].gen[sy::kStartAddrsOffset], 0);
    EXPECT_EQ(z[0].gen[sy::kEndloopAddrsCoarseOffset], 0);
    EXPECT_EQ(z[0].gen[sy::kKeynum], -1);
    EXPECT_EQ(z[0].gen[sy::kVelocity], -1);
    EXPECT_EQ(z[0].gen[sy::kExclusiveClass], 0);
}

TEST(SoundFontZones, KeyAndVelocityRangesOfBothLevelsIntersect) {
    Sf2Builder b;
    int lo = b.addSample("lo", Sf2Builder::Sine(500, 50));
    int hi = b.addSample("hi", Sf2Builder::Sine(500, 25));
    int inst = b.addInstrument("Split");
    b.instrumentZone(inst, lo).keys(0, 59);
    b.instrumentZone(inst, hi).keys(60, 127).vels(64, 127);
    b.instrumentZone(inst, hi).keys(60, 127).vels(0, 63).gen(sy::kInitialAttenuation, 60);
    b.presetZone(b.addPreset("P", 0, 0), inst).keys(36, 96);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    EXPECT_EQ(Collect(sf, 0, 0, 35, 100, z), 0); // outside the preset's range
    EXPECT_EQ(Collect(sf, 0, 0, 97, 100, z), 0);
    ASSERT_EQ(Collect(sf, 0, 0, 59, 100, z), 1);
    EXPECT_EQ(z[0].sample->name, "lo");
    EXPECT_EQ(z[0].gen[sy::kKeyRange], 36 | (59 << 8));
    ASSERT_EQ(Collect(sf, 0, 0, 60, 64, z), 1);
    EXPECT_EQ(z[0].sample->name, "hi");
    EXPECT_EQ(z[0].gen[sy::kInitialAttenuation], 0);
    EXPECT_EQ(z[0].gen[sy::kVelRange], 64 | (127 << 8));
    ASSERT_EQ(Collect(sf, 0, 0, 96, 63, z), 1);
    EXPECT_EQ(z[0].gen[sy::kInitialAttenuation], 60);
}

TEST(SoundFontZones, MisplacedAndUnknownGeneratorsAreIgnored) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(500, 50));
    int inst = b.addInstrument("Inst");
    Sf2Zone &zone = b.instrumentZone(inst, s).gen(14, 300).gen(59, 300).gen(99, 300).gen(sy::kPan, 50);
    zone.trailing.emplace_back(sy::kPan, 400); // after the sample generator: ignored
    int p = b.addPreset("P", 0, 0);
    b.presetZone(p, inst).gen(sy::kSampleID, 5); // a sample generator in a preset: ignored
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 60, 100, z), 1);
    EXPECT_EQ(z[0].gen[sy::kPan], 50);
    EXPECT_EQ(z[0].gen[14], 0);
    EXPECT_EQ(z[0].gen[sy::kInitialPitch], 0);
    EXPECT_EQ(z[0].sample->name, "sine");
}

TEST(SoundFontZones, EmptyAndOutOfMidiRangesNeverSound) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(500, 50));
    int inst = b.addInstrument("Inst");
    b.instrumentZone(inst, s).keys(70, 60);   // reversed: empty
    b.instrumentZone(inst, s).keys(200, 255); // above the MIDI range
    b.instrumentZone(inst, s).vels(0, 0);     // velocity 0 is a note off
    b.instrumentZone(inst, s).keys(120, 200).gen(sy::kPan, 7);
    b.presetZone(b.addPreset("P", 0, 0), inst);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    for (int key : {0, 60, 65, 70, 119})
        EXPECT_EQ(Collect(sf, 0, 0, key, 100, z), 0) << key;
    ASSERT_EQ(Collect(sf, 0, 0, 127, 100, z), 1);
    EXPECT_EQ(z[0].gen[sy::kPan], 7);
    EXPECT_EQ(z[0].gen[sy::kKeyRange], 120 | (127 << 8));
}

TEST(SoundFontZones, GlobalRangeAppliesToZonesWithoutOne) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(500, 50));
    int inst = b.addInstrument("Inst");
    b.instrumentGlobal(inst).keys(40, 50);
    b.instrumentZone(inst, s);
    b.instrumentZone(inst, s).keys(45, 80).gen(sy::kPan, 100);
    b.presetZone(b.addPreset("P", 0, 0), inst);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    EXPECT_EQ(Collect(sf, 0, 0, 42, 100, z), 1);
    EXPECT_EQ(Collect(sf, 0, 0, 47, 100, z), 2);
    ASSERT_EQ(Collect(sf, 0, 0, 70, 100, z), 1);
    EXPECT_EQ(z[0].gen[sy::kPan], 100);
}

TEST(SoundFontZones, OnlyTheFirstZoneWithoutSampleIsGlobal) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(500, 50));
    int inst = b.addInstrument("Inst");
    b.instrumentZone(inst, s).keys(0, 63);
    b.instrumentZone(inst, -1).gen(sy::kInitialAttenuation, 500); // not first: ignored, not a global zone
    b.instrumentZone(inst, s).keys(64, 127);
    b.presetZone(b.addPreset("P", 0, 0), inst);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 80, 100, z), 1);
    EXPECT_EQ(z[0].gen[sy::kInitialAttenuation], 0);
}

TEST(SoundFontZones, InstrumentModulatorsReplaceDefaultsAndPresetModulatorsAdd) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(500, 50));
    int inst = b.addInstrument("Inst");
    b.instrumentGlobal(inst).mod(kCc1, sy::kVibLfoToPitch, 20).mod(kCc74, sy::kInitialFilterFc, 1000);
    b.instrumentZone(inst, s)
        .mod(kVelocityToAttenuation, sy::kInitialAttenuation, 480) // replaces the default 960
        .mod(kCc7ToAttenuation, sy::kInitialAttenuation, 0)        // switches the CC7 default off
        .mod(kCc74, sy::kInitialFilterFc, 2000)                    // replaces the global zone's
        .mod(0x0000, sy::kPan, 500)                                // no source: does nothing, dropped
        .mod(kCc1, 0x8001, 100);                                   // linked modulator: not supported, dropped
    int p = b.addPreset("P", 0, 0);
    b.presetZone(p, inst).mod(kCc74, sy::kInitialFilterFc, -500).mod(kCc1, sy::kModLfoToVolume, 40);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 60, 100, z), 1);
    ASSERT_NE(FindMod(z[0], kVelocityToAttenuation, sy::kInitialAttenuation), nullptr);
    EXPECT_EQ(FindMod(z[0], kVelocityToAttenuation, sy::kInitialAttenuation)->amount, 480);
    EXPECT_EQ(FindMod(z[0], kCc7ToAttenuation, sy::kInitialAttenuation), nullptr);
    ASSERT_NE(FindMod(z[0], kCc1, sy::kVibLfoToPitch), nullptr);
    EXPECT_EQ(FindMod(z[0], kCc1, sy::kVibLfoToPitch)->amount, 20);
    ASSERT_NE(FindMod(z[0], kCc74, sy::kInitialFilterFc), nullptr);
    EXPECT_EQ(FindMod(z[0], kCc74, sy::kInitialFilterFc)->amount, 1500);
    ASSERT_NE(FindMod(z[0], kCc1, sy::kModLfoToVolume), nullptr);
    EXPECT_EQ(FindMod(z[0], kCc1, sy::kModLfoToVolume)->amount, 40);
    EXPECT_EQ(FindMod(z[0], 0x0000, sy::kPan), nullptr);
    EXPECT_EQ(z[0].modulatorCount, 9 + 2); // ten defaults less CC7, plus CC74 and the preset's CC1 to volume
}

TEST(SoundFontZones, LoneHalfOfAStereoPairPlaysBothSidesPanned) {
    Sf2Builder b;
    auto st = b.addStereoSample("st", Sf2Builder::Noise(300, 1), Sf2Builder::Noise(300, 2));
    b.addSimplePreset("Lone", 0, 0, st.first);
    int inst = b.addInstrument("Both");
    b.instrumentZone(inst, st.first).gen(sy::kPan, -300);
    b.instrumentZone(inst, st.second).gen(sy::kPan, 300);
    b.presetZone(b.addPreset("Both", 0, 1), inst);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 60, 100, z), 2);
    EXPECT_EQ(z[0].sample->name, "stL");
    EXPECT_EQ(z[0].gen[sy::kPan], -500);
    EXPECT_EQ(z[1].sample->name, "stR");
    EXPECT_EQ(z[1].gen[sy::kPan], 500);
    EXPECT_EQ(z[1].gen[sy::kSampleID], st.second);
    // Both halves already present: no twins, the file's own pans kept.
    ASSERT_EQ(Collect(sf, 0, 1, 60, 100, z), 2);
    EXPECT_EQ(z[0].gen[sy::kPan], -300);
    EXPECT_EQ(z[1].gen[sy::kPan], 300);
}

TEST(SoundFontZones, LoopsAreClampedAndOddHeadersRepaired) {
    Sf2Builder b;
    int past = b.addSample("past", Sf2Builder::Ramp(200, 0, 2000), 0, 255, 50, 190);
    b.samples[past].loopEnd = 400; // beyond the sample: pulled back to its end
    int reversed = b.addSample("reversed", Sf2Builder::Ramp(200, 0, 2000), 22050, 72, 150, 100);
    b.addSimplePreset("A", 0, 0, past);
    b.addSimplePreset("B", 0, 1, reversed);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 60, 100, z), 1);
    const sy::SampleInfo *a = z[0].sample;
    EXPECT_EQ(a->loopStart - a->start, 50u);
    EXPECT_EQ(a->loopEnd, a->end);
    EXPECT_EQ(a->sampleRate, 44100u); // rate 0 read as 44,100 Hz
    EXPECT_EQ(a->originalPitch, 60);  // 255 (unpitched) plays at its recorded pitch
    ASSERT_EQ(Collect(sf, 0, 1, 60, 100, z), 1);
    EXPECT_EQ(z[0].sample->loopStart, z[0].sample->start); // reversed loop: the whole sample
    EXPECT_EQ(z[0].sample->loopEnd, z[0].sample->end);
}

TEST(SoundFontZones, RomSamplesAreSkipped) {
    Sf2Builder b;
    int rom = b.addSample("rom", Sf2Builder::Sine(100, 10));
    int ram = b.addSample("ram", Sf2Builder::Sine(100, 10));
    b.samples[rom].type = 0x8001;
    int inst = b.addInstrument("Mixed");
    b.instrumentZone(inst, rom);
    b.instrumentZone(inst, ram);
    b.presetZone(b.addPreset("P", 0, 0), inst);
    SoundFont sf;
    Load(b, sf);
    std::vector<ZoneVoice> z;
    ASSERT_EQ(Collect(sf, 0, 0, 60, 100, z), 1);
    EXPECT_EQ(z[0].sample->name, "ram");
}

TEST(SoundFontZones, LookupFirstDefinitionWinsAndCapacityIsRespected) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(100, 10));
    b.addSimplePreset("First", 8, 5, s);
    b.addSimplePreset("Second", 8, 5, s);
    int inst = b.addInstrument("Layers");
    for (int i = 0; i < 5; ++i)
        b.instrumentZone(inst, s);
    b.presetZone(b.addPreset("Layers", 128, 0), inst);
    SoundFont sf;
    Load(b, sf);
    ASSERT_GE(sf.findPreset(8, 5), 0);
    EXPECT_EQ(sf.presets()[sf.findPreset(8, 5)].name, "First");
    EXPECT_EQ(sf.findPreset(-1, 0), -1);
    EXPECT_EQ(sf.findPreset(8, 128), -1);
    ZoneVoice out[3];
    EXPECT_EQ(sf.collectZones(sf.findPreset(128, 0), 60, 100, out, 3), 3);
    EXPECT_EQ(sf.collectZones(-1, 60, 100, out, 3), 0);
    EXPECT_EQ(sf.collectZones(99, 60, 100, out, 3), 0);
}

TEST(SoundFontZones, ProgramsBeyondMidiRangeStayOutOfTheLookup) {
    Sf2Builder b;
    int s = b.addSample("sine", Sf2Builder::Sine(100, 10));
    b.addSimplePreset("Odd", 0, 128 + 3, s); // would alias bank 1 program 3 in a bank * 128 + program key
    b.addSimplePreset("Real", 1, 3, s);
    SoundFont sf;
    Load(b, sf);
    ASSERT_GE(sf.findPreset(1, 3), 0);
    EXPECT_EQ(sf.presets()[sf.findPreset(1, 3)].name, "Real");
    EXPECT_EQ(sf.findPreset(0, 131), -1);
}
