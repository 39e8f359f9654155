// Segment building: merge order, note pairing, lengths, format 2 and damaged payloads.
#include <gtest/gtest.h>

#include "core/sequencer/segment.h"
#include "support/core/sequencer/smf_builder.h"

using tw::sequencer::EventKind;
using tw::sequencer::Segment;
using tw::sequencer::SegmentEvent;
using tw::sequencer::test::FileBuilder;

namespace {

constexpr int64_t kSecond = 10000000;

std::vector<EventKind> Kinds(const Segment &s) {
    std::vector<EventKind> kinds;
    for (const SegmentEvent &e : s.events())
        kinds.push_back(e.kind);
    return kinds;
}

} // namespace

TEST(SegmentMergeTest, ProgramChangeInEarlierTrackPrecedesNotesAtSameTick) {
    FileBuilder b;
    b.track().tempo(0, 500000).endOfTrack(0);
    b.track().program(0, 0, 40).endOfTrack(96);
    b.track().noteOn(0, 0, 60).noteOff(96, 0, 60).endOfTrack(96);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    ASSERT_EQ(s.events().size(), 3u);
    EXPECT_EQ(s.events()[0].kind, EventKind::Patch);
    EXPECT_EQ(s.events()[1].kind, EventKind::NoteOn);
    EXPECT_EQ(s.events()[2].kind, EventKind::NoteOff);
}

TEST(SegmentMergeTest, EventsOfAllTracksComeOutInTimeOrder) {
    FileBuilder b;
    b.track().noteOn(10, 0, 60).noteOff(30, 0, 60);
    b.track().noteOn(5, 1, 62).noteOff(20, 1, 62);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    std::vector<uint32_t> ticks;
    for (const SegmentEvent &e : s.events())
        ticks.push_back(e.tick);
    EXPECT_EQ(ticks, (std::vector<uint32_t>{5, 10, 20, 30}));
}

TEST(SegmentMergeTest, FileOrderKeptWithinATrackAtEqualTicks) {
    FileBuilder b;
    b.track().control(0, 0, 7, 100).program(0, 0, 5).control(0, 0, 10, 64).noteOn(0, 0, 60).noteOff(1, 0, 60);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    EXPECT_EQ(Kinds(s), (std::vector<EventKind>{EventKind::Channel, EventKind::Patch, EventKind::Channel,
                                                EventKind::NoteOn, EventKind::NoteOff}));
}

TEST(SegmentNoteTest, OverlappingSameKeyNotesEndOldestFirst) {
    FileBuilder b;
    b.track().noteOn(0, 0, 60, 10).noteOn(10, 0, 60, 20).noteOff(20, 0, 60).noteOff(40, 0, 60);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    ASSERT_EQ(s.notes().size(), 2u);
    EXPECT_EQ(s.notes()[0].velocity, 10);
    EXPECT_EQ(s.notes()[0].endTick, 20u);
    EXPECT_EQ(s.notes()[1].endTick, 40u);
}

TEST(SegmentNoteTest, VelocityZeroNoteOnEndsTheNote) {
    FileBuilder b;
    b.track().noteOn(0, 3, 64).noteOn(48, 3, 64, 0);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    ASSERT_EQ(s.notes().size(), 1u);
    EXPECT_EQ(s.notes()[0].endTick, 48u);
    EXPECT_EQ(s.events()[1].kind, EventKind::NoteOff);
    EXPECT_EQ(s.events()[1].index, 0u);
}

TEST(SegmentNoteTest, NoteWithoutNoteOffEndsAtTrackEnd) {
    FileBuilder b;
    b.track().noteOn(0, 0, 60).endOfTrack(200);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    ASSERT_EQ(s.events().size(), 2u);
    EXPECT_EQ(s.events()[1].kind, EventKind::NoteOff);
    EXPECT_EQ(s.events()[1].tick, 200u);
    EXPECT_EQ(s.notes()[0].endTick, 200u);
}

TEST(SegmentNoteTest, StrayNoteOffIsDropped) {
    FileBuilder b;
    b.track().noteOff(0, 0, 60).noteOn(5, 0, 61).noteOff(6, 0, 61);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    EXPECT_EQ(Kinds(s), (std::vector<EventKind>{EventKind::NoteOn, EventKind::NoteOff}));
}

TEST(SegmentNoteTest, NotesPairPerChannel) {
    FileBuilder b;
    b.track().noteOn(0, 0, 60).noteOn(0, 1, 60).noteOff(10, 1, 60).noteOff(20, 0, 60);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    EXPECT_EQ(s.notes()[0].endTick, 20u);
    EXPECT_EQ(s.notes()[1].endTick, 10u);
}

TEST(SegmentPatchTest, PatchCarriesBankSelectedOnItsChannel) {
    FileBuilder b;
    b.track().control(0, 2, 0, 8).control(0, 2, 32, 3).program(0, 2, 25).program(0, 3, 1);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    const SegmentEvent &p2 = s.events()[2];
    EXPECT_EQ(p2.kind, EventKind::Patch);
    EXPECT_EQ(p2.bankMsb, 8);
    EXPECT_EQ(p2.bankLsb, 3);
    EXPECT_EQ(p2.data1, 25);
    EXPECT_EQ(s.events()[3].bankMsb, 0);
}

TEST(SegmentLengthTest, LengthIsLastEventOfLongestTrack) {
    FileBuilder b;
    b.track().tempo(0, 1000000).endOfTrack(0);
    b.track().noteOn(0, 0, 60).noteOff(96, 0, 60).endOfTrack(192);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    EXPECT_EQ(s.lengthTicks(), 192u);
    EXPECT_EQ(s.lengthReference(), 2 * kSecond);
    s.setTempoFactor(0.5);
    EXPECT_EQ(s.lengthReference(), 4 * kSecond);
}

TEST(SegmentLengthTest, TempoEventInALaterTrackApplies) {
    FileBuilder b;
    b.track().noteOn(0, 0, 60).noteOff(192, 0, 60);
    b.track().tempo(96, 250000);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    EXPECT_EQ(s.lengthReference(), kSecond / 2 + kSecond / 4);
}

TEST(SegmentFormat2Test, TracksPlayOneAfterAnotherEachFromDefaultTempo) {
    FileBuilder b(96, 2);
    b.track().tempo(0, 1000000).noteOn(0, 0, 60).endOfTrack(96); // 1 s
    b.track().noteOn(0, 0, 62).noteOff(96, 0, 62);               // 0.5 s at the default tempo
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    EXPECT_EQ(s.lengthTicks(), 192u);
    EXPECT_EQ(s.lengthReference(), kSecond + kSecond / 2);
    ASSERT_EQ(s.notes().size(), 2u);
    EXPECT_EQ(s.notes()[0].endTick, 96u); // closed at its own track's end, not carried into the next
    EXPECT_EQ(s.notes()[1].startTick, 96u);
    EXPECT_EQ(s.tempoMap().toReference(96), kSecond);
}

TEST(SegmentSysExTest, PayloadIsCopiedAndOutOfRangePayloadIgnored) {
    FileBuilder b;
    b.track().sysEx(0, {0x7E, 0x7F, 0x09, 0x01, 0xF7});
    b.file().tracks[0].push_back(b.file().tracks[0][0]);
    b.file().tracks[0][1].offset = 1000; // points outside the image
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    ASSERT_EQ(s.events().size(), 1u);
    EXPECT_EQ(s.events()[0].length, 5u);
    EXPECT_EQ(s.sysExBytes()[s.events()[0].index + 2], 0x09);
}

TEST(SegmentBuildTest, UnusableFileGivesEmptySegment) {
    FileBuilder b;
    b.track().noteOn(0, 0, 60);
    b.file().usable = false;
    Segment s;
    EXPECT_FALSE(s.build(b.file()));
    EXPECT_TRUE(s.events().empty());
    EXPECT_EQ(s.lengthTicks(), 0u);
}

TEST(SegmentBuildTest, SmpteFileTimesByFrames) {
    FileBuilder b(static_cast<uint16_t>((static_cast<uint8_t>(-30) << 8) | 10));
    b.track().noteOn(0, 0, 60).noteOff(300, 0, 60);
    Segment s;
    ASSERT_TRUE(s.build(b.file()));
    EXPECT_EQ(s.lengthReference(), kSecond);
}
