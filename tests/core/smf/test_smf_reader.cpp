// Tests of the MIDI file parser on files built in memory, one defect at a time.
#include "smf_file.h"

#include "support/core/smf/smf_builder.h"

#include <gtest/gtest.h>

using namespace tw::smf;
using namespace smftest;

namespace {

File Read(const Bytes &bytes) {
    File file;
    ReadSmf(bytes.data(), bytes.size(), file);
    return file;
}

// Channel messages of all tracks, in file order.
std::vector<Event> ChannelEvents(const File &file) {
    std::vector<Event> out;
    for (const auto &track : file.tracks)
        for (const Event &e : track)
            if (e.isChannel())
                out.push_back(e);
    return out;
}

std::string Payload(const File &file, const Event &e) {
    return std::string(file.bytes.begin() + e.offset, file.bytes.begin() + e.offset + e.length);
}

const Bytes kTwoNotes = {0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x40, 0x00, 0x90, 0x3E, 0x40, 0x60, 0x3E, 0x00};

} // namespace

TEST(SmfHeader, RejectsEmptyAndForeignData) {
    EXPECT_EQ(Read({}).status, Status::Empty);
    EXPECT_EQ(ReadSmf(nullptr, 10, *std::make_unique<File>()), Status::Empty);
    std::string text = "not a midi file";
    File file = Read(Bytes(text.begin(), text.end()));
    EXPECT_EQ(file.status, Status::NotSmf);
    EXPECT_EQ(file.error, "Not a Standard MIDI File");
    EXPECT_FALSE(file.usable);
}

TEST(SmfHeader, ShortOrOverlongHeaderLengthIsUnusable) {
    Bytes shortHeader = Chunk("MThd", {0, 0, 0, 1});
    EXPECT_EQ(Read(shortHeader).status, Status::BadHeader);
    Bytes pastEnd = Chunk("MThd", {0, 0, 0, 1, 0, 96}, 100731768);
    File file = Read(pastEnd);
    EXPECT_EQ(file.status, Status::BadHeader);
    EXPECT_FALSE(file.usable);
}

TEST(SmfHeader, ExtraHeaderBytesAreSkipped) {
    Bytes bytes = Chunk("MThd", {0, 1, 0, 1, 0, 96, 0xAA, 0xBB, 0xCC, 0xDD});
    Append(bytes, Track(kTwoNotes));
    File file = Read(bytes);
    EXPECT_EQ(file.status, Status::Ok) << file.error;
    EXPECT_EQ(file.format, 1);
    EXPECT_EQ(file.division, 96);
    ASSERT_EQ(file.tracks.size(), 1u);
    EXPECT_EQ(ChannelEvents(file).size(), 4u);
}

TEST(SmfHeader, ZeroDivisionAndUnknownSmpteRateAreUnusable) {
    Bytes zero = Header(0, 1, 0);
    Append(zero, Track(kTwoNotes));
    EXPECT_EQ(Read(zero).status, Status::BadHeader);
    Bytes rate = Header(0, 1, 0xE378); // -29 is fine, -23 is not
    rate[12] = 0xE9;
    Append(rate, Track(kTwoNotes));
    EXPECT_EQ(Read(rate).status, Status::BadHeader);
}

TEST(SmfHeader, SmpteDivisionIsDecoded) {
    Bytes bytes = Header(1, 1, 0xE278); // -30 frames per second, 120 ticks per frame
    Append(bytes, Track(kTwoNotes));
    File file = Read(bytes);
    EXPECT_EQ(file.status, Status::Ok) << file.error;
    EXPECT_TRUE(file.smpte());
    EXPECT_EQ(file.smpteFramesPerSecond(), 30);
    EXPECT_EQ(file.ticksPerFrame(), 120);
}

TEST(SmfHeader, UnknownFormatIsReadAsFormat1) {
    Bytes bytes = Header(0x7401, 1, 240);
    Append(bytes, Track(kTwoNotes));
    File file = Read(bytes);
    EXPECT_EQ(file.status, Status::Irregular);
    EXPECT_TRUE(file.usable);
    EXPECT_EQ(file.format, 1);
    EXPECT_EQ(ChannelEvents(file).size(), 4u);
}

TEST(SmfHeader, HeaderOnlyFileIsValid) {
    File file = Read(Header(1, 0, 480));
    EXPECT_EQ(file.status, Status::Ok);
    EXPECT_TRUE(file.usable);
    EXPECT_TRUE(file.tracks.empty());
}

TEST(SmfEvents, RunningStatusAndAbsoluteTicks) {
    File file = Read(SingleTrack(kTwoNotes));
    ASSERT_EQ(file.status, Status::Ok) << file.error;
    std::vector<Event> events = ChannelEvents(file);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[1].status, 0x80);
    EXPECT_EQ(events[1].tick, 0x60u);
    EXPECT_EQ(events[3].status, 0x90); // note off as note on with velocity 0, by running status
    EXPECT_EQ(events[3].data1, 0x3E);
    EXPECT_EQ(events[3].data2, 0);
    EXPECT_EQ(events[3].tick, 0xC0u);
    EXPECT_EQ(file.tracks[0].back().meta, 0x2F);
}

TEST(SmfEvents, OneDataByteMessages) {
    File file = Read(SingleTrack({0x00, 0xC9, 0x05, 0x00, 0x06, 0x00, 0xD0, 0x40, 0x00, 0x91, 0x3C, 0x40}));
    ASSERT_EQ(file.status, Status::Ok) << file.error;
    std::vector<Event> events = ChannelEvents(file);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].kind(), 0xC0);
    EXPECT_EQ(events[0].channel(), 9);
    EXPECT_EQ(events[0].data1, 5);
    EXPECT_EQ(events[1].data1, 6);
    EXPECT_EQ(events[2].status, 0xD0);
    EXPECT_EQ(events[3].data2, 0x40);
}

TEST(SmfEvents, LongestDeltaTimeIsFourBytes) {
    File file = Read(SingleTrack({0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3C, 0x40}));
    ASSERT_EQ(file.status, Status::Ok) << file.error;
    EXPECT_EQ(ChannelEvents(file).at(0).tick, 0x0FFFFFFFu);
}

TEST(SmfEvents, TicksSaturateInsteadOfWrapping) {
    Bytes events;
    for (int i = 0; i < 20; ++i)
        Append(events, {0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3C, 0x40});
    File file = Read(SingleTrack(events));
    ASSERT_EQ(file.status, Status::Ok) << file.error;
    EXPECT_EQ(ChannelEvents(file).back().tick, 0xFFFFFFFFu);
}

TEST(SmfEvents, MetaAndSysExPayloadsPointIntoTheImage) {
    File file = Read(SingleTrack({0x00, 0xFF, 0x03, 0x04, 'L', 'e', 'a', 'd', 0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7, 0x00,
                                  0xF7, 0x02, 0xF3, 0x01}));
    ASSERT_EQ(file.status, Status::Ok) << file.error;
    const std::vector<Event> &track = file.tracks.at(0);
    ASSERT_EQ(track.size(), 4u);
    EXPECT_EQ(track[0].status, 0xFF);
    EXPECT_EQ(track[0].meta, 0x03);
    EXPECT_EQ(Payload(file, track[0]), "Lead");
    EXPECT_EQ(track[1].status, 0xF0);
    EXPECT_EQ(Payload(file, track[1]), std::string("\x7E\x09\xF7"));
    EXPECT_EQ(track[2].status, 0xF7);
    EXPECT_EQ(Payload(file, track[2]), std::string("\xF3\x01"));
}

TEST(SmfEvents, RunningStatusContinuesAcrossMetaAndSysEx) {
    File file = Read(SingleTrack({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x01, 0x01, 'x', 0x10, 0x3C, 0x00, 0x00, 0xF0,
                                  0x01, 0xF7, 0x10, 0x3E, 0x40}));
    EXPECT_EQ(file.status, Status::Ok) << file.error;
    std::vector<Event> events = ChannelEvents(file);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].status, 0x90);
    EXPECT_EQ(events[2].data1, 0x3E);
}

TEST(SmfDefects, DataByteWithoutStatusSkipsToNextStatus) {
    File file = Read(SingleTrack({0x00, 0x3C, 0x40, 0x90, 0x3C, 0x40}));
    EXPECT_EQ(file.status, Status::BadEvent);
    EXPECT_EQ(file.error, "Track 1 has a data byte with no status byte before it");
    EXPECT_TRUE(file.usable);
    std::vector<Event> events = ChannelEvents(file);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].data1, 0x3C);
}

TEST(SmfDefects, HighDataByteDropsOnlyItsEvent) {
    // Bank select with value 0xFF, then a program change 0xFF: both dropped, the note after them kept in step.
    File file = Read(SingleTrack({0x00, 0xB0, 0x00, 0xFF, 0x00, 0xC9, 0xFF, 0x00, 0x90, 0x2C, 0x46}));
    EXPECT_EQ(file.status, Status::BadEvent);
    std::vector<Event> events = ChannelEvents(file);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].status, 0x90);
    EXPECT_EQ(events[0].data1, 0x2C);
    for (const Event &e : events)
        EXPECT_LT(e.data1, 0x80);
}

TEST(SmfDefects, IllegalStatusBytesAreSkippedWithTheirData) {
    // System common and real-time bytes with the data bytes they carry on the wire.
    const std::vector<Bytes> illegal = {{0xF1, 0x7F}, {0xF2, 0x7F, 0x7F},
                                        {0xF3, 0x7F}, {0xF4},
                                        {0xF5},       {0xF6},
                                        {0xF8},       {0xF9},
                                        {0xFA},       {0xFB},
                                        {0xFC},       {0xFD},
                                        {0xFE}};
    for (const Bytes &message : illegal) {
        Bytes events = {0x00};
        Append(events, message);
        Append(events, kTwoNotes);
        File file = Read(SingleTrack(events));
        EXPECT_EQ(file.status, Status::BadEvent) << int(message[0]);
        EXPECT_NE(file.error.find("illegal status byte"), std::string::npos);
        EXPECT_EQ(ChannelEvents(file).size(), 4u) << int(message[0]);
    }
}

TEST(SmfDefects, OverlongDeltaTimeIsIgnored) {
    File file = Read(SingleTrack({0x00, 0x90, 0x3C, 0x40, 0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3E, 0x40}));
    EXPECT_EQ(file.status, Status::BadEvent);
    std::vector<Event> events = ChannelEvents(file);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].tick, 0u);
}

TEST(SmfDefects, OverlongOrTruncatedMetaLengthEndsTheTrack) {
    File overlong = Read(SingleTrack({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x01, 0x81, 0x81, 0x81, 0x81, 0x01}));
    EXPECT_EQ(overlong.status, Status::BadEvent);
    EXPECT_EQ(ChannelEvents(overlong).size(), 1u);
    File pastEnd = Read(SingleTrack({0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x01, 0x7F, 'x'}, false));
    EXPECT_EQ(pastEnd.status, Status::Truncated);
    EXPECT_EQ(ChannelEvents(pastEnd).size(), 1u);
}

TEST(SmfDefects, ChunkLengthPastEndKeepsTheEventsRead) {
    Bytes bytes = Header(0, 1, 96);
    Bytes body = kTwoNotes;
    Append(body, {0x00, 0xFF, 0x2F}); // End-of-Track cut short
    Append(bytes, Chunk("MTrk", body, body.size() + 1));
    File file = Read(bytes);
    EXPECT_EQ(file.status, Status::Truncated);
    EXPECT_EQ(file.error, "Track 1 is truncated: an event runs past its end");
    EXPECT_TRUE(file.usable);
    EXPECT_EQ(ChannelEvents(file).size(), 4u);
}

TEST(SmfDefects, EventCrossingChunkEndEndsTheTrack) {
    Bytes bytes = Header(1, 2, 96);
    Append(bytes, Chunk("MTrk", {0x00, 0x90, 0x3C, 0x40, 0x00, 0x90, 0x3E}));
    Append(bytes, Track(kTwoNotes));
    File file = Read(bytes);
    EXPECT_EQ(file.status, Status::Truncated);
    ASSERT_EQ(file.tracks.size(), 2u);
    EXPECT_EQ(file.tracks[0].size(), 1u);
    EXPECT_EQ(ChannelEvents(file).size(), 5u);
}

TEST(SmfDefects, WrongTrackLengthPastEndResumesAfterEndOfTrack) {
    // The first track's length is far too large, but the next tracks follow its End-of-Track.
    Bytes bytes = Header(1, 3, 96);
    Bytes first = kTwoNotes;
    Append(first, kEndOfTrack);
    Append(bytes, Chunk("MTrk", first, 47872));
    Append(bytes, Track(kTwoNotes));
    Append(bytes, Track(kTwoNotes));
    File file = Read(bytes);
    EXPECT_EQ(file.status, Status::Truncated);
    EXPECT_EQ(file.tracks.size(), 3u);
    EXPECT_EQ(ChannelEvents(file).size(), 12u);
}

TEST(SmfDefects, MissingEndOfTrackIsIrregular) {
    File file = Read(SingleTrack(kTwoNotes, false));
    EXPECT_EQ(file.status, Status::Irregular);
    EXPECT_EQ(file.error, "Track 1 has no End-of-Track event");
    EXPECT_EQ(ChannelEvents(file).size(), 4u);
}

TEST(SmfDefects, BytesAfterEndOfTrackAreNotEvents) {
    Bytes body = kTwoNotes;
    Append(body, kEndOfTrack);
    Append(body, {0x00, 0x90, 0x40, 0x40});
    Bytes bytes = Header(0, 1, 96);
    Append(bytes, Chunk("MTrk", body));
    File file = Read(bytes);
    EXPECT_EQ(file.status, Status::Irregular);
    EXPECT_EQ(file.error, "Track 1 has 4 stray bytes after its end");
    EXPECT_EQ(ChannelEvents(file).size(), 4u);
}

TEST(SmfDefects, StrayBytesOutsideChunks) {
    Bytes trailing = SingleTrack(kTwoNotes);
    trailing.push_back(0x00);
    File file = Read(trailing);
    EXPECT_EQ(file.status, Status::Irregular);
    EXPECT_EQ(file.error, "1 stray byte after the last chunk");

    Bytes between = Header(1, 2, 96);
    Append(between, Track(kTwoNotes));
    Append(between, Bytes(108, 0x00));
    Append(between, Track(kTwoNotes));
    file = Read(between);
    EXPECT_EQ(file.error, "108 stray bytes between chunks");
    EXPECT_EQ(file.tracks.size(), 2u);

    Bytes leading(128, 0x11);
    Append(leading, SingleTrack(kTwoNotes));
    file = Read(leading);
    EXPECT_EQ(file.status, Status::Irregular);
    EXPECT_EQ(file.error, "128 stray bytes before the MIDI file header");
    EXPECT_EQ(ChannelEvents(file).size(), 4u);
    EXPECT_EQ(file.bytes.size(), leading.size() - 128); // payload offsets count from MThd
}

TEST(SmfDefects, UnknownChunksAreSkipped) {
    Bytes bytes = Header(0, 1, 96);
    Append(bytes, Chunk("Junk", Bytes(27, 0x90)));
    Append(bytes, Track(kTwoNotes));
    File file = Read(bytes);
    EXPECT_EQ(file.status, Status::Ok) << file.error;
    EXPECT_EQ(ChannelEvents(file).size(), 4u);

    Bytes pastEnd = SingleTrack(kTwoNotes);
    Append(pastEnd, Chunk("<SCR", Bytes(20, 'x'), 1230001184));
    file = Read(pastEnd);
    EXPECT_EQ(file.status, Status::Irregular);
    EXPECT_EQ(file.tracks.size(), 1u);
}

TEST(SmfDefects, TrackCountMismatches) {
    Bytes missing = Header(1, 30, 96);
    Append(missing, Track(kTwoNotes));
    File file = Read(missing);
    EXPECT_EQ(file.status, Status::MissingTracks);
    EXPECT_EQ(file.error, "The file declares 30 tracks but holds only 1");
    EXPECT_TRUE(file.usable);

    Bytes extra = Header(0, 0, 96);
    Append(extra, Track(kTwoNotes));
    file = Read(extra);
    EXPECT_EQ(file.status, Status::Irregular);
    EXPECT_EQ(file.tracks.size(), 1u);

    Bytes format0 = Header(0, 2, 96);
    Append(format0, Track(kTwoNotes));
    Append(format0, Track(kTwoNotes));
    file = Read(format0);
    EXPECT_EQ(file.error, "A format 0 file with 2 tracks");
    EXPECT_EQ(file.tracks.size(), 2u);
}

TEST(SmfDefects, AbsurdTrackCountAllocatesNothingFromIt) {
    Bytes bytes = Header(1, 0xFFFF, 96);
    Append(bytes, Track({}));
    File file = Read(bytes);
    EXPECT_EQ(file.status, Status::MissingTracks);
    EXPECT_EQ(file.declaredTracks, 0xFFFF);
    EXPECT_EQ(file.tracks.size(), 1u);
    EXPECT_LT(file.tracks.capacity(), 16u);
}

TEST(SmfRmid, DataChunkIsUnwrapped) {
    Bytes smf = SingleTrack(kTwoNotes);
    Bytes body = {'R', 'M', 'I', 'D'};
    Bytes disp = {'D', 'I', 'S', 'P'};
    Append(disp, Le32(3));
    Append(disp, {1, 2, 3, 0}); // odd size, padded
    Append(body, disp);
    Append(body, {'d', 'a', 't', 'a'});
    Append(body, Le32(uint32_t(smf.size())));
    Append(body, smf);
    Bytes riff = {'R', 'I', 'F', 'F'};
    Append(riff, Le32(uint32_t(body.size())));
    Append(riff, body);
    File file = Read(riff);
    EXPECT_EQ(file.status, Status::Ok) << file.error;
    EXPECT_EQ(file.bytes, smf);
    EXPECT_EQ(ChannelEvents(file).size(), 4u);
}

TEST(SmfRmid, OtherRiffFilesAreNotMidi) {
    Bytes wave = {'R', 'I', 'F', 'F', 0x24, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    Append(wave, SingleTrack(kTwoNotes)); // an MThd in the audio must not be taken for MIDI
    File file = Read(wave);
    EXPECT_EQ(file.status, Status::NotSmf);
    EXPECT_FALSE(file.usable);

    Bytes noData = {'R', 'I', 'F', 'F', 12, 0, 0, 0, 'R', 'M', 'I', 'D', 'L', 'I', 'S', 'T', 0, 0, 0, 0};
    file = Read(noData);
    EXPECT_EQ(file.status, Status::NotSmf);
    EXPECT_EQ(file.error, "Not a Standard MIDI File (a RIFF MIDI file without MIDI data)");
}

TEST(SmfFileIo, MissingFileIsReportedNotThrown) {
    File file;
    EXPECT_EQ(ReadSmfFile(TEST_TEMP_DIR "/no-such-file.mid", file), Status::NotSmf);
    EXPECT_EQ(file.error, "The file cannot be opened");
    EXPECT_FALSE(file.usable);
}

TEST(SmfFileIo, EveryPrefixOfAFileIsReadSafely) {
    Bytes bytes = Header(1, 2, 96);
    Append(bytes, Track({0x00, 0xFF, 0x03, 0x02, 'A', 'B', 0x00, 0xF0, 0x02, 0x01, 0xF7}));
    Append(bytes, Track(kTwoNotes));
    for (size_t size = 0; size <= bytes.size(); ++size) {
        File file;
        Status status = ReadSmf(bytes.data(), size, file);
        for (const auto &track : file.tracks)
            for (const Event &e : track)
                EXPECT_LE(size_t(e.offset) + e.length, file.bytes.size());
        if (size == bytes.size())
            EXPECT_EQ(status, Status::Ok);
        else
            EXPECT_NE(status, Status::Ok) << size;
    }
}
