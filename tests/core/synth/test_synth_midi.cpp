// General MIDI behaviour: program and bank selection with fallback, drum channel and drum kits, GS drum parts,
// XG drum banks, and the GM/GS/XG reset messages.
#include "support/core/synth/synth_test_util.h"

namespace tw::test {
namespace {

constexpr double kMelodicHz = kRate / 100.0;  // bank 0 program 0
constexpr double kVariationHz = kRate / 50.0; // bank 8 program 0
constexpr double kProgramHz = kRate / 80.0;   // bank 0 program 1
constexpr double kKitHz = kRate / 200.0;      // bank 128 program 0
constexpr double kKit2Hz = kRate / 160.0;     // bank 128 program 16
constexpr double kToleranceCents = 5.0;       // enough to tell the presets apart

Sf2Builder GmFont() {
    Sf2Builder b;
    auto add = [&](const char *name, int bank, int program, double period) {
        int smp = b.addSample(name, Sf2Builder::Sine(static_cast<size_t>(period * 100), period), kRate, 60, 0,
                              static_cast<uint32_t>(period * 100));
        b.addSimplePreset(name, bank, program, smp).gen(synth::kSampleModes, 1);
    };
    add("Piano", 0, 0, 100.0);
    add("Bright", 0, 1, 80.0);
    add("Variation", 8, 0, 50.0);
    add("Standard", 128, 0, 200.0);
    add("Room", 128, 16, 160.0);
    return b;
}

// Frequency of key 60 on the channel (0 when silent).
double Sounding(synth::Synth &s, int channel) {
    s.noteOn(channel, 60, 100);
    Stereo out = Render(s, 8820);
    s.controlChange(channel, 120, 0);
    Render(s, 441);
    if (Peak(out.left, 0, out.size()) < 1e-6f)
        return 0.0;
    return MeasureFrequency(out.left, 2000, out.size());
}

void ExpectPreset(synth::Synth &s, int channel, double hz, const char *what) {
    const double f = Sounding(s, channel);
    ASSERT_GT(f, 0.0) << what << ": silent";
    EXPECT_NEAR(CentsBetween(f, hz), 0.0, kToleranceCents) << what;
}

void GsDataSet(synth::Synth &s, uint8_t a0, uint8_t a1, uint8_t a2, uint8_t value, bool goodChecksum = true) {
    const uint8_t checksum = static_cast<uint8_t>((128 - (a0 + a1 + a2 + value) % 128) % 128);
    const uint8_t msg[] = {
        0x41, 0x10, 0x42, 0x12, a0, a1, a2, value, static_cast<uint8_t>(goodChecksum ? checksum : checksum ^ 1), 0xF7};
    s.sysEx(msg, sizeof msg);
}

TEST(SynthMidi, ProgramChangeSelectsThePreset) {
    auto s = MakeSynth(GmFont());
    ExpectPreset(*s, 0, kMelodicHz, "power-on program 0");
    s->programChange(0, 1);
    ExpectPreset(*s, 0, kProgramHz, "program 1");
    s->programChange(0, 50); // missing everywhere: silence rather than a wrong instrument
    EXPECT_EQ(Sounding(*s, 0), 0.0);
}

TEST(SynthMidi, BankSelectFallsBackToBankZero) {
    auto s = MakeSynth(GmFont());
    s->controlChange(0, 0, 8);
    s->programChange(0, 0);
    ExpectPreset(*s, 0, kVariationHz, "bank 8 exists");
    s->controlChange(0, 0, 9);
    s->programChange(0, 1);
    ExpectPreset(*s, 0, kProgramHz, "bank 9 missing: bank 0 program 1");
    s->controlChange(0, 0, 8); // bank select alone changes nothing until the next program change
    ExpectPreset(*s, 0, kProgramHz, "bank select waits for a program change");
}

TEST(SynthMidi, ChannelTenPlaysDrumKitsWithFallbackToTheStandardKit) {
    auto s = MakeSynth(GmFont());
    ExpectPreset(*s, 9, kKitHz, "channel 10 starts with the standard kit");
    s->programChange(9, 16);
    ExpectPreset(*s, 9, kKit2Hz, "kit 16");
    s->programChange(9, 25);
    ExpectPreset(*s, 9, kKitHz, "missing kit 25: standard kit");
    s->controlChange(9, 0, 8); // a bank select on the drum channel does not leave the drum bank
    s->programChange(9, 0);
    ExpectPreset(*s, 9, kKitHz, "drum channel ignores melodic banks");
}

TEST(SynthMidi, GsDrumPartSysExTurnsAChannelIntoDrums) {
    auto s = MakeSynth(GmFont());
    GsDataSet(*s, 0x40, 0x00, 0x7F, 0x00); // GS reset
    GsDataSet(*s, 0x40, 0x12, 0x15, 0x01); // part block 2 = channel 2 (index 1) becomes a drum part
    s->programChange(1, 0);
    ExpectPreset(*s, 1, kKitHz, "GS drum part");
    GsDataSet(*s, 0x40, 0x12, 0x15, 0x00);
    ExpectPreset(*s, 1, kMelodicHz, "back to normal part");
    GsDataSet(*s, 0x40, 0x10, 0x15, 0x00); // block 0 is channel 10: it becomes melodic
    ExpectPreset(*s, 9, kMelodicHz, "channel 10 as a normal part");
    GsDataSet(*s, 0x40, 0x1B, 0x15, 0x02, false); // damaged checksum: ignored
    ExpectPreset(*s, 11, kMelodicHz, "bad checksum ignored");
}

TEST(SynthMidi, XgBankMsb127SelectsDrums) {
    auto s = MakeSynth(GmFont());
    const uint8_t xgOn[] = {0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
    s->sysEx(xgOn, sizeof xgOn);
    ExpectPreset(*s, 9, kKitHz, "XG channel 10 drums");
    s->controlChange(3, 0, 127);
    s->programChange(3, 16);
    ExpectPreset(*s, 3, kKit2Hz, "XG bank 127 on channel 4");
    s->controlChange(3, 0, 0);
    s->programChange(3, 0);
    ExpectPreset(*s, 3, kMelodicHz, "XG bank 0 melodic again");
}

TEST(SynthMidi, Gm2RhythmBankSelectsDrumsOnAnyChannel) {
    auto s = MakeSynth(GmFont());
    s->controlChange(5, 0, 120);
    s->programChange(5, 16);
    ExpectPreset(*s, 5, kKit2Hz, "GM2 bank 120");
    s->controlChange(5, 0, 121); // GM2 melodic bank: falls back to bank 0
    s->programChange(5, 1);
    ExpectPreset(*s, 5, kProgramHz, "GM2 bank 121");
}

TEST(SynthMidi, GmResetRestoresProgramsControllersAndDrums) {
    auto s = MakeSynth(GmFont());
    GsDataSet(*s, 0x40, 0x10, 0x15, 0x00); // channel 10 melodic
    s->programChange(0, 1);
    s->pitchBend(0, 0);
    s->controlChange(0, 7, 0);
    s->noteOn(0, 60, 100);
    const uint8_t gmOn[] = {0x7E, 0x7F, 0x09, 0x01, 0xF7};
    s->sysEx(gmOn, sizeof gmOn);
    Render(*s, kRate / 2);
    EXPECT_EQ(s->activeVoices(), 0) << "reset releases sounding notes";
    ExpectPreset(*s, 0, kMelodicHz, "program, bend and volume back to defaults");
    ExpectPreset(*s, 9, kKitHz, "channel 10 drums again");
}

TEST(SynthMidi, ResetSilencesAtOnceAndRestoresDefaults) {
    auto s = MakeSynth(GmFont());
    s->programChange(0, 1);
    s->noteOn(0, 60, 100);
    Render(*s, 441);
    s->reset();
    EXPECT_EQ(s->activeVoices(), 0);
    ExpectPreset(*s, 0, kMelodicHz, "program 0 after reset");
}

TEST(SynthMidi, OutOfRangeMessagesAreIgnored) {
    auto s = MakeSynth(GmFont());
    s->noteOn(16, 60, 100);
    s->noteOn(-1, 60, 100);
    s->noteOn(0, 128, 100);
    s->controlChange(0, 200, 5);
    s->programChange(17, 3);
    s->pitchBend(0, 99999);
    s->sysEx(nullptr, 4);
    const uint8_t shortGs[] = {0x41, 0x10, 0x42};
    s->sysEx(shortGs, sizeof shortGs);
    EXPECT_EQ(s->activeVoices(), 0);
    ExpectPreset(*s, 0, kMelodicHz * std::pow(2.0, 200 * 8191.0 / 8192 / 1200), "bend clamped to the top");
}

} // namespace
} // namespace tw::test
