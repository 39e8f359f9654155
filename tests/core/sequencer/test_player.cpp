// Player: sample-exact dispatch, the hook per note, identical output whatever the chunk size, and the tail.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <random>

#include "support/core/sequencer/fake_target.h"
#include "core/sequencer/player.h"
#include "support/core/sequencer/smf_builder.h"

using tw::sequencer::EventHook;
using tw::sequencer::NoteEvent;
using tw::sequencer::PatchEvent;
using tw::sequencer::Player;
using tw::sequencer::Segment;
using tw::sequencer::test::FakeTarget;
using tw::sequencer::test::FileBuilder;

namespace {

constexpr int kRate = 44100;
bool g_countAllocations = false;
int g_allocations = 0;

struct Output {
    std::vector<float> left, right;
};

// tailApart: up to the tail with renderBeforeTail(), which must stop exactly at the segment's end here.
Output RenderAll(Player &player, const std::vector<int> &chunks, bool tailApart = false) {
    Output out;
    player.start();
    size_t c = 0;
    std::vector<float> l, r;
    // One call with the pattern's next size; returns the frames delivered.
    auto next = [&](bool beforeTail) {
        const int n = chunks[c++ % chunks.size()];
        l.assign(n, 1.0f);
        r.assign(n, 1.0f);
        const int got =
            beforeTail ? player.renderBeforeTail(l.data(), r.data(), n) : player.render(l.data(), r.data(), n);
        out.left.insert(out.left.end(), l.begin(), l.begin() + got);
        out.right.insert(out.right.end(), r.begin(), r.begin() + got);
        for (int i = got; i < n; ++i)
            EXPECT_EQ(l[i], 0.0f) << "padding after the last frame delivered must be silence";
        return got;
    };
    if (tailApart) {
        while (next(true) > 0) {
        }
        EXPECT_EQ(static_cast<int64_t>(out.left.size()), player.endSample());
    }
    while (!player.finished())
        next(false);
    return out;
}

// A short piece with tempo changes, awkward tick times, controllers and overlapping notes.
FileBuilder Piece() {
    FileBuilder b(7);
    b.track().tempo(0, 333333).tempo(9, 612345).tempo(20, 250001);
    b.track().program(0, 0, 5).control(0, 0, 7, 90).noteOn(1, 0, 60).noteOn(3, 0, 64, 70).noteOff(8, 0, 60);
    b.track().channel(5, 0xE1, 0, 70).noteOn(5, 1, 67).noteOff(13, 1, 67).noteOff(17, 0, 64).endOfTrack(21);
    return b;
}

class TransposeHook : public EventHook {
public:
    bool OnNote(NoteEvent &n) override {
        if (n.key == dropKey)
            return false;
        n.key += semitones;
        return true;
    }
    bool OnPatch(PatchEvent &p) override { return p.program != dropProgram; }
    int semitones = 0;
    int dropKey = -1;
    int dropProgram = -1;
};

std::vector<std::string> Texts(const FakeTarget &t) {
    std::vector<std::string> texts;
    for (const auto &m : t.messages)
        texts.push_back(m.what);
    return texts;
}

} // namespace

TEST(PlayerTimingTest, EventsArriveAtRoundedSampleOfTheirReferenceTime) {
    FileBuilder b = Piece();
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    Player player(target);
    player.load(s);
    RenderAll(player, {4096});
    // Every logged message (after the reset) sits at round(ref x rate / 10^7) of its event.
    size_t m = 1;
    for (const auto &e : s.events()) {
        const int64_t ref = s.tempoMap().toReference(e.tick);
        const int64_t expected = (ref * kRate + 5000000) / 10000000;
        ASSERT_LT(m, target.messages.size());
        EXPECT_EQ(target.messages[m].sample, expected) << target.messages[m].what;
        ++m;
    }
}

// The random pattern also renders up to the tail apart, as a conversion on two threads does.
TEST(PlayerTimingTest, SameOutputForChunkSizes1_64_441AndRandom) {
    FileBuilder b = Piece();
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    std::vector<std::vector<int>> patterns = {{1}, {64}, {441}, {}};
    std::mt19937 rng(7);
    for (int i = 0; i < 500; ++i)
        patterns[3].push_back(1 + static_cast<int>(rng() % 700));
    Output reference;
    std::vector<FakeTarget::Message> referenceLog;
    for (size_t p = 0; p < patterns.size(); ++p) {
        FakeTarget target;
        Player player(target);
        player.load(s);
        const Output out = RenderAll(player, patterns[p], p == 3);
        if (p == 0) {
            reference = out;
            referenceLog = target.messages;
            continue;
        }
        EXPECT_EQ(out.left, reference.left) << "pattern " << p; // bit-identical
        EXPECT_EQ(out.right, reference.right) << "pattern " << p;
        EXPECT_EQ(target.messages, referenceLog) << "pattern " << p;
    }
    EXPECT_GT(reference.left.size(), 0u);
}

TEST(PlayerTimingTest, TempoFactorMovesEventsAndEnd) {
    FileBuilder b;
    b.track().noteOn(96, 0, 60).noteOff(192, 0, 60);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    s.setTempoFactor(1.25);
    FakeTarget target;
    Player player(target);
    player.load(s);
    EXPECT_EQ(player.endSample(), kRate * 4 / 5); // 1 s / 1.25
    RenderAll(player, {1000});
    EXPECT_EQ(target.messages[1].sample, kRate * 2 / 5);
}

TEST(PlayerTimingTest, PositionClockCountsDeliveredSamplesIn100ns) {
    FileBuilder b;
    b.track().noteOn(0, 0, 60).noteOff(960, 0, 60);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    Player player(target);
    player.load(s);
    player.start();
    std::vector<float> l(kRate), r(kRate);
    ASSERT_EQ(player.render(l.data(), r.data(), kRate), kRate);
    EXPECT_EQ(player.positionReference(), 10000000);
    ASSERT_EQ(player.render(l.data(), r.data(), 441), 441);
    EXPECT_EQ(player.positionReference(), 10100000);
    EXPECT_FALSE(player.pastEnd());
    while (player.render(l.data(), r.data(), 1000) == 1000 && !player.pastEnd()) {
    }
    EXPECT_TRUE(player.pastEnd());
    EXPECT_GE(player.positionSamples(), 5 * kRate) << "ten quarters at 120 bpm";
}

TEST(PlayerHookTest, TransposedNoteOffFollowsItsNoteOn) {
    FileBuilder b;
    b.track().noteOn(0, 0, 60).noteOff(10, 0, 60).endOfTrack(20);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    TransposeHook hook;
    hook.semitones = 5;
    Player player(target);
    player.setHook(&hook);
    player.load(s);
    player.start();
    hook.semitones = -3; // the note-off must not ask the hook again
    RenderAll(player, {64});
    EXPECT_EQ(Texts(target), (std::vector<std::string>{"reset", "reset", "on 0 57 100", "off 0 57"}));
}

TEST(PlayerHookTest, DroppedNoteSendsNoNoteOffAndOthersStillPlay) {
    FileBuilder b;
    b.track().noteOn(0, 0, 60).noteOn(0, 0, 62).noteOff(10, 0, 60).noteOff(10, 0, 62);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    TransposeHook hook;
    hook.dropKey = 60;
    Player player(target);
    player.setHook(&hook);
    player.load(s);
    RenderAll(player, {64});
    EXPECT_EQ(Texts(target), (std::vector<std::string>{"reset", "on 0 62 100", "off 0 62"}));
}

TEST(PlayerHookTest, NoteTransposedOutOfRangeIsNotPlayed) {
    FileBuilder b;
    b.track().noteOn(0, 0, 120).noteOff(10, 0, 120);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    TransposeHook hook;
    hook.semitones = 14;
    Player player(target);
    player.setHook(&hook);
    player.load(s);
    RenderAll(player, {64});
    EXPECT_EQ(Texts(target), (std::vector<std::string>{"reset"}));
}

TEST(PlayerHookTest, DroppedPatchIsNotSentAndChangedBankIsSelectedFirst) {
    class BankHook : public EventHook {
        bool OnPatch(PatchEvent &p) override {
            if (p.program == 9)
                return false;
            p.bankMsb = 1;
            return true;
        }
    } hook;
    FileBuilder b;
    b.track().program(0, 0, 9).program(0, 1, 3);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    Player player(target);
    player.setHook(&hook);
    player.load(s);
    RenderAll(player, {64});
    EXPECT_EQ(Texts(target), (std::vector<std::string>{"reset", "cc 1 0 1", "cc 1 32 0", "prog 1 3"}));
}

TEST(PlayerHookTest, OtherChannelMessagesAndSysExPassUnchanged) {
    FileBuilder b;
    b.track().control(0, 2, 64, 127).channel(0, 0xE2, 0x7F, 0x7F).channel(0, 0xD2, 33).channel(0, 0xA2, 60, 5);
    b.sysEx(1, {0x41, 0x10, 0xF7});
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    Player player(target);
    player.load(s);
    RenderAll(player, {64});
    EXPECT_EQ(Texts(target),
              (std::vector<std::string>{"reset", "cc 2 64 127", "bend 2 16383", "cp 2 33", "kp 2 60 5", "sysex 3 65"}));
}

TEST(PlayerLevelTest, MasterVolumeIsClampedAndReachesSynthOnStartAndNextRender) {
    FakeTarget target;
    Player player(target);
    player.setMasterVolume(5000);
    EXPECT_EQ(player.masterVolume(), 2000);
    player.setMasterVolume(-9000);
    EXPECT_EQ(player.masterVolume(), -2000);
    Segment s;
    FileBuilder b;
    b.track().noteOn(0, 0, 60).endOfTrack(960);
    s.build(b.file());
    player.load(s);
    player.start();
    EXPECT_EQ(target.volume, -2000);
    player.setMasterVolume(150);
    EXPECT_EQ(target.volume, -2000) << "the synthesizer is only touched from the rendering call";
    float l[16], r[16];
    player.render(l, r, 16);
    EXPECT_EQ(target.volume, 150);
}

TEST(PlayerTailTest, TailEndsOnceOutputStaysBelowMinus60Db) {
    FileBuilder b;
    b.track().noteOn(0, 0, 69, 127).noteOff(96, 0, 69); // 0.5 s, then an exponential release
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target(kRate, 0.9995f); // about 13.8 ms per 1/e: under -60 dB after ~0.1 s
    Player player(target);
    player.load(s);
    const Output out = RenderAll(player, {441});
    const size_t end = static_cast<size_t>(player.endSample());
    ASSERT_GT(out.left.size(), end);
    EXPECT_LT(out.left.size(), end + kRate / 2) << "tail must stop long before the 2 s cap";
    // The last 50 ms are all under -60 dBFS, and the sample before them was not (tolerance: exact threshold).
    const size_t quiet = kRate * 50 / 1000;
    for (size_t i = out.left.size() - quiet; i < out.left.size(); ++i)
        ASSERT_LT(std::fabs(out.left[i]), 0.001f);
    EXPECT_GE(std::fabs(out.left[out.left.size() - quiet - 1]), 0.001f);
}

TEST(PlayerTailTest, StuckNoteStopsTwoSecondsAfterTheEnd) {
    FileBuilder b;
    b.track().control(0, 0, 64, 127).noteOn(0, 0, 69).noteOff(96, 0, 69); // pedal never released
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    Player player(target);
    player.load(s);
    const Output out = RenderAll(player, {1000});
    EXPECT_EQ(static_cast<int64_t>(out.left.size()), player.endSample() + 2 * kRate);
}

TEST(PlayerTailTest, EmptySegmentEndsAfterBriefSilence) {
    FileBuilder b;
    b.track();
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    Player player(target);
    player.load(s);
    const Output out = RenderAll(player, {64});
    EXPECT_EQ(out.left.size(), static_cast<size_t>(kRate * 50 / 1000));
}

TEST(PlayerTailTest, RestartPlaysTheSameSamplesAgain) {
    FileBuilder b = Piece();
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    Player player(target);
    player.load(s);
    const Output first = RenderAll(player, {333});
    const Output second = RenderAll(player, {64});
    EXPECT_EQ(first.left, second.left);
}

// Counts heap allocations while a test asks for it: the render path must make none. The replaced operators pair
// malloc with free, which GCC cannot see through and warns about wherever the library inlines a delete.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void *operator new(size_t size) {
    if (g_countAllocations)
        ++g_allocations;
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void *operator new(size_t size, const std::nothrow_t &) noexcept {
    if (g_countAllocations)
        ++g_allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void *p) noexcept {
    std::free(p);
}
void operator delete(void *p, const std::nothrow_t &) noexcept {
    std::free(p);
}
void operator delete(void *p, size_t) noexcept {
    std::free(p);
}

TEST(PlayerRealTimeTest, RenderAllocatesNothing) {
    FileBuilder b = Piece();
    b.sysEx(2, {0x7E, 0x7F, 0x09, 0x01, 0xF7});
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    FakeTarget target;
    target.logging = false;
    TransposeHook hook;
    hook.semitones = 2;
    Player player(target);
    player.setHook(&hook);
    player.load(s);
    player.start();
    std::vector<float> l(300), r(300);
    g_allocations = 0;
    g_countAllocations = true;
    while (!player.finished())
        player.render(l.data(), r.data(), 300);
    g_countAllocations = false;
    EXPECT_EQ(g_allocations, 0);
}

// Whatever the hook does per note, every note-on that reaches the synthesizer gets its note-off.
TEST(PlayerHookTest, RandomFilesAndHooksLeaveNoNoteHanging) {
    class RandomHook : public EventHook {
    public:
        explicit RandomHook(unsigned seed) : rng_(seed) {}
        bool OnNote(NoteEvent &n) override {
            n.key += static_cast<int>(rng_() % 29) - 14;
            n.channel = static_cast<int>(rng_() % 3);
            return rng_() % 4 != 0;
        }

    private:
        std::mt19937 rng_;
    };
    std::mt19937 rng(11);
    for (int round = 0; round < 20; ++round) {
        FileBuilder b(960, round % 3 == 2 ? 2 : 1);
        for (int t = 0; t < 3; ++t) {
            b.track();
            uint32_t tick = 0;
            for (int e = 0; e < 40; ++e) {
                tick += rng() % 8;
                const int ch = static_cast<int>(rng() % 3), key = 55 + static_cast<int>(rng() % 6);
                if (rng() % 2) {
                    b.noteOn(tick, ch, key, static_cast<int>(rng() % 128)); // velocity 0 included
                } else {
                    b.noteOff(tick, ch, key);
                }
            }
        }
        Segment s;
        ASSERT_TRUE(s.build(b.file()));
        FakeTarget target(8000);
        RandomHook hook(round);
        Player player(target);
        player.setHook(&hook);
        player.load(s);
        RenderAll(player, {97});
        std::map<std::pair<int, int>, int> sounding;
        for (const auto &m : target.messages) {
            int ch = 0, key = 0, vel = 0;
            if (std::sscanf(m.what.c_str(), "on %d %d %d", &ch, &key, &vel) == 3)
                ++sounding[{ch, key}];
            if (std::sscanf(m.what.c_str(), "off %d %d", &ch, &key) == 2) {
                const std::pair<int, int> note(ch, key);
                ASSERT_GT(sounding[note], 0) << "note-off for a key never started, round " << round;
                --sounding[note];
            }
        }
        for (const auto &[note, count] : sounding)
            EXPECT_EQ(count, 0) << "round " << round << " key " << note.second;
    }
}
