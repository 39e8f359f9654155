// Voice management: sustain pedal, note-off scope, exclusive classes, voice stealing without clicks,
// all sound off / all notes off, exact-sample events.
#include "support/core/synth/synth_test_util.h"

namespace tw::test {
namespace {

constexpr int kBlock = synth::Synth::kBlockFrames;

Sf2Builder ReleasingSine(double releaseSeconds = 0.1) {
    Sf2Builder b = SinePreset();
    b.instruments[0].zones[0].gen(synth::kReleaseVolEnv, Timecents(releaseSeconds));
    return b;
}

TEST(SynthVoices, SustainPedalHoldsReleasedNotesUntilLifted) {
    auto s = MakeSynth(ReleasingSine());
    s->noteOn(0, 60, 100);
    Render(*s, 4410);
    s->controlChange(0, 64, 127);
    s->noteOff(0, 60);
    Stereo held = Render(*s, kRate / 2);
    const float before = Peak(held.left, 0, 441);
    EXPECT_NEAR(Peak(held.left, held.size() - 441, held.size()) / before, 1.0, 0.01) << "pedal holds the note";
    s->controlChange(0, 64, 0);
    Render(*s, kRate / 2); // 0.1 s release: gone well before 0.5 s
    EXPECT_EQ(s->activeVoices(), 0);
}

TEST(SynthVoices, NoteOffReleasesOnlyItsKeyAndChannel) {
    auto s = MakeSynth(ReleasingSine());
    s->noteOn(0, 60, 100);
    s->noteOn(0, 64, 100);
    s->noteOn(1, 60, 100);
    Render(*s, 4410);
    s->noteOff(0, 60);
    s->noteOn(2, 70, 0); // velocity 0 is a note-off for a key not sounding: nothing happens
    Render(*s, kRate / 2);
    EXPECT_EQ(s->activeVoices(), 2);
    s->controlChange(1, 123, 0); // all notes off on channel 1
    Render(*s, kRate / 2);
    EXPECT_EQ(s->activeVoices(), 1);
    s->controlChange(0, 120, 0); // all sound off: fades in a few milliseconds despite the release time
    Render(*s, 441);
    EXPECT_EQ(s->activeVoices(), 0);
}

TEST(SynthVoices, AllNotesOffUnderTheSustainPedalHoldsEveryKeyUntilLifted) {
    auto s = MakeSynth(ReleasingSine());
    s->noteOn(0, 0, 100);
    s->noteOn(0, 127, 100);
    s->noteOn(1, 60, 100);
    Render(*s, 4410);
    s->controlChange(0, 64, 127);
    s->controlChange(0, 123, 0); // all notes off while the pedal is down: both keys, lowest and highest, held
    Render(*s, kRate / 2);
    EXPECT_EQ(s->activeVoices(), 3);
    s->controlChange(0, 64, 0);
    Render(*s, kRate / 2); // 0.1 s release
    EXPECT_EQ(s->activeVoices(), 1) << "channel 1 is untouched";
}

TEST(SynthVoices, ExclusiveClassCutsTheOtherNoteOfItsClass) {
    Sf2Builder b;
    int smp = b.addSample("sine", Sf2Builder::Sine(20000, 100.0), kRate, 60, 0, 20000);
    int inst = b.addInstrument("Hats");
    b.instrumentZone(inst, smp).keys(42, 42).gen(synth::kSampleModes, 1).gen(synth::kExclusiveClass, 1);
    b.instrumentZone(inst, smp).keys(46, 46).gen(synth::kSampleModes, 1).gen(synth::kExclusiveClass, 1);
    b.instrumentZone(inst, smp).keys(50, 50).gen(synth::kSampleModes, 1);
    b.presetZone(b.addPreset("Kit", 128, 0), inst);
    b.presetZone(b.addPreset("Hats as a melody", 0, 0), inst); // the same class 1 zones on a melodic channel
    auto s = MakeSynth(b);
    s->noteOn(9, 46, 100); // open hat
    s->noteOn(9, 50, 100); // no class: unaffected
    Render(*s, 4410);
    s->noteOn(9, 42, 100); // closed hat cuts the open one
    Render(*s, 441);       // 10 ms: the cut voice's fade is over
    EXPECT_EQ(s->activeVoices(), 2);
    s->noteOn(10, 46, 100); // another channel's class 1 sounds and does not cut channel 9's
    Render(*s, 441);
    EXPECT_EQ(s->activeVoices(), 3);
    s->noteOn(10, 42, 100); // but cuts its own channel's note of the class
    Render(*s, 441);
    EXPECT_EQ(s->activeVoices(), 3);
}

// Max step between neighbouring samples with and without a stolen voice: a hard cut of a voice shows as a
// step of its full amplitude; the fade keeps steps within 25 % above the no-stealing case.
TEST(SynthVoices, StealingFadesTheVictimWithoutAClick) {
    auto run = [](int maxVoices) {
        synth::SynthConfig config;
        config.maxVoices = maxVoices;
        auto s = MakeSynth(SinePreset(100.0, 60, 32000), config);
        s->setMasterVolume(0);
        for (int i = 0; i < 4; ++i)
            s->noteOn(0, 60 + i * 5, 127);
        Stereo out = Render(*s, 4410);
        s->noteOn(0, 90, 40); // fifth note: with four voices the quietest/oldest is stolen
        Append(out, Render(*s, 4410));
        return std::make_pair(out, s->activeVoices());
    };
    const auto [stolen, voicesStolen] = run(4);
    const auto [free, voicesFree] = run(16);
    EXPECT_EQ(voicesStolen, 4);
    EXPECT_EQ(voicesFree, 5);
    const float limit = MaxStep(free.left, 4000, free.size()) * 1.25f;
    EXPECT_LE(MaxStep(stolen.left, 4000, stolen.size()), limit);
}

TEST(SynthVoices, PoolOfTwoHundredFiftySixVoicesPlaysAtOnce) {
    auto s = MakeSynth(SinePreset());
    for (int ch = 0; ch < 16; ++ch)
        for (int key = 30; key < 46; ++key)
            s->noteOn(ch == 9 ? 15 : ch, key + (ch == 9 ? 16 : 0), 100);
    Render(*s, 441);
    EXPECT_EQ(s->activeVoices(), 256);
}

// The same events at the same sample positions give bit-identical output however the render calls are cut.
TEST(SynthVoices, RenderSplitDoesNotChangeTheOutput) {
    struct Event {
        int at, key;
        bool on;
    };
    const Event events[] = {{0, 60, true},    {100, 64, true},   {101, 67, true},   {777, 60, false},
                            {2000, 72, true}, {2063, 64, false}, {5000, 67, false}, {5001, 72, false}};
    auto play = [&](const std::vector<int> &cuts) {
        auto s = MakeSynth(ReleasingSine(), {}, true);
        s->setMasterVolume(2000);
        Stereo out;
        int pos = 0;
        size_t next = 0, cut = 0;
        const int total = 9000;
        while (pos < total) {
            while (next < std::size(events) && events[next].at == pos) {
                if (events[next].on)
                    s->noteOn(0, events[next].key, 100);
                else
                    s->noteOff(0, events[next].key);
                ++next;
            }
            int end = total;
            if (next < std::size(events))
                end = std::min(end, events[next].at);
            end = std::min(end, pos + cuts[cut++ % cuts.size()]);
            Append(out, Render(*s, end - pos));
            pos = end;
        }
        return out;
    };
    // A block's messages handed over first, each with its offset, and the block rendered in one call.
    auto playByBlocks = [&] {
        auto s = MakeSynth(ReleasingSine(), {}, true);
        s->setMasterVolume(2000);
        Stereo out;
        size_t next = 0;
        for (int pos = 0; pos < 9000; pos += kBlock) {
            for (; next < std::size(events) && events[next].at < pos + kBlock; ++next) {
                s->setEventOffset(events[next].at - pos);
                if (events[next].on)
                    s->noteOn(0, events[next].key, 100);
                else
                    s->noteOff(0, events[next].key);
            }
            Append(out, Render(*s, std::min(kBlock, 9000 - pos)));
        }
        return out;
    };
    const Stereo whole = play({1 << 20});
    for (const std::vector<int> &cuts : {std::vector<int>{1}, {kBlock}, {7, 13, 64, 200, 3}, {1000}}) {
        const Stereo split = play(cuts);
        ASSERT_EQ(split.size(), whole.size());
        EXPECT_EQ(split.left, whole.left);
        EXPECT_EQ(split.right, whole.right);
    }
    const Stereo byBlocks = playByBlocks();
    EXPECT_EQ(byBlocks.left, whole.left) << "messages at offsets";
    EXPECT_EQ(byBlocks.right, whole.right);
}

TEST(SynthVoices, NoteSoundsFromItsExactSample) {
    Sf2Builder b;
    int smp = b.addSample("dc", std::vector<int16_t>(5000, 16000), kRate, 60, 0, 5000);
    b.addSimplePreset("Dc", 0, 0, smp).gen(synth::kSampleModes, 1);
    for (int at : {0, 1, 63, 64, 1000, 1001}) {
        auto s = MakeSynth(b);
        Stereo out = Render(*s, at);
        s->noteOn(0, 60, 100);
        Append(out, Render(*s, 500));
        const size_t first = static_cast<size_t>(at + synth::Synth::latencyFrames());
        EXPECT_EQ(out.left[first - 1], 0.0f) << "note at " << at;
        EXPECT_NE(out.left[first], 0.0f) << "note at " << at;
    }
}

} // namespace
} // namespace tw::test

namespace tw::test {
namespace {

TEST(SynthVoices, OutOfRangeConfigurationIsClamped) {
    synth::SynthConfig config;
    config.maxVoices = 0;
    config.sampleRate = 1;
    auto s = MakeSynth(SinePreset(), config);
    EXPECT_EQ(s->sampleRate(), 8000);
    s->noteOn(0, 60, 100);
    s->noteOn(0, 64, 100); // a pool of one, whose voice started in this block: the second note does not sound
    Render(*s, 441);
    EXPECT_EQ(s->activeVoices(), 1);
}

} // namespace
} // namespace tw::test

namespace tw::test {
namespace {

// Each voice on a channel of its own, so that keySounding() tells which one a steal took. Velocity sets the
// loudness the steal compares; a 5 s release keeps released voices sounding.
TEST(SynthVoices, FullPoolStealsReleasedThenQuietestAndNeverAVoiceOfTheSameBlock) {
    synth::SynthConfig config;
    config.maxVoices = 6;
    auto s = MakeSynth(ReleasingSine(5.0), config);
    auto on = [&](int ch, int velocity = 127) { s->noteOn(ch, 60, velocity); };
    auto sounding = [&](int ch) { return s->keySounding(ch, 60); };
    on(0), on(1, 30), on(2), on(3), on(4), on(5);
    Render(*s, 441);
    s->noteOff(4, 60);
    s->noteOff(2, 60); // released after 4, but started before it: the older released voice
    Render(*s, kBlock);
    on(6);
    EXPECT_FALSE(sounding(2)) << "the oldest released voice goes first";
    EXPECT_TRUE(sounding(4));
    on(7);
    EXPECT_FALSE(sounding(4)) << "then the other released one";
    EXPECT_TRUE(sounding(1));
    on(8);
    EXPECT_FALSE(sounding(1)) << "then the quietest";
    on(10); // channel 9 is the drum part, which this font lacks
    EXPECT_FALSE(sounding(0)) << "equally loud: the oldest";
    on(11), on(12);
    EXPECT_FALSE(sounding(3));
    EXPECT_FALSE(sounding(5));
    on(13); // every voice left started in this block: none may go, the new note does not sound
    EXPECT_FALSE(sounding(13));
    for (int ch : {6, 7, 8, 10, 11, 12})
        EXPECT_TRUE(sounding(ch)) << "channel " << ch << " started in the same block";
    Render(*s, kBlock);
    on(14); // a block later they may
    EXPECT_TRUE(sounding(14));
    EXPECT_FALSE(sounding(6));
    Render(*s, 441);
    EXPECT_EQ(s->activeVoices(), 6) << "the victims have faded out";
}

// Two zones per note on every key of every channel: 4,096 voices from a pool taken when the synth was made.
TEST(SynthVoices, PoolOfFourThousandNinetySixVoicesPlaysAtOnce) {
    Sf2Builder b;
    const int smp = b.addSample("sine", Sf2Builder::Sine(20000, 100.0), kRate, 60, 0, 20000);
    const int inst = b.addInstrument("Layered");
    for (int layer = 0; layer < 2; ++layer)
        b.instrumentZone(inst, smp)
            .gen(synth::kSampleModes, 1)
            .mod(kVelocityToFilterSource, synth::kInitialFilterFc, 0);
    b.presetZone(b.addPreset("Layered", 0, 0), inst);
    b.presetZone(b.addPreset("Layered kit", 128, 0), inst);
    synth::SynthConfig config;
    config.maxVoices = synth::SynthConfig::kMaxVoices;
    auto s = MakeSynth(b, config);
    EXPECT_EQ(s->maxVoices(), 4096);
    for (int ch = 0; ch < 16; ++ch)
        for (int key = 0; key < 128; ++key)
            s->noteOn(ch, key, 100);
    const Stereo out = Render(*s, 441);
    EXPECT_EQ(s->activeVoices(), 4096);
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i]));
    config.maxVoices = 5000;
    EXPECT_EQ(MakeSynth(b, config)->maxVoices(), 4096) << "more is a configuration mistake";
}

} // namespace
} // namespace tw::test
