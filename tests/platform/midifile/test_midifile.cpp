// Tests of MidiFile.dll: the record it fills, the callbacks it makes, its results and error texts.
#include "midifile.h"
#include "smf_file.h"

#include "support/platform/midifile/program_scan.h"
#include "support/core/smf/smf_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

using namespace smftest;

namespace {

// What a callback saw: the slot and the record's event fields.
struct Seen {
    int slot;
    int track;
    int status;
    int data1;
    int data2;
    uint32_t tick;
    std::string payload;
};

std::vector<Seen> g_seen;
int g_stopAfter = -1; // slot-9 calls before a callback asks to stop; -1 never

template <int Slot> int WINAPI Record(MidiReadRecord *r) {
    std::string payload = r->payload ? std::string(reinterpret_cast<const char *>(r->payload), r->payloadLength) : "";
    g_seen.push_back({Slot, r->track, r->status, r->data1, r->data2, r->tick, payload});
    if (Slot == MIDI_CB_EVENT && g_stopAfter >= 0 && g_stopAfter-- == 0)
        return 1;
    return 0;
}

template <int... Slots> MidiCallbackTable TableOf() {
    MidiCallbackTable table = {};
    ((table.slots[Slots] = Record<Slots>), ...);
    return table;
}

MidiCallbackTable AllSlots() {
    return TableOf<0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17>();
}

std::string TempFile(const std::string &name, const Bytes &bytes) {
    return WriteTempFile("midifile_" + name, bytes);
}

int ReadWith(const MidiCallbackTable &table, const std::string &path, MidiReadRecord &record) {
    g_seen.clear();
    std::memset(&record, 0, sizeof record);
    record.table = &table;
    record.path = path.c_str();
    return MidiReadFile(&record);
}

std::vector<Seen> SeenIn(int slot) {
    std::vector<Seen> out;
    for (const Seen &s : g_seen)
        if (s.slot == slot)
            out.push_back(s);
    return out;
}

std::string ErrorText(const MidiReadRecord *record, int result) {
    char text[80];
    MidiGetErr(record, text, sizeof text, result);
    return text;
}

// Two tracks: a conductor track with a tempo and a name, and a track with a SysEx and channel messages.
Bytes TwoTrackSong() {
    Bytes song = Header(1, 2, 480);
    Append(song, Track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g'}));
    Append(song, Track({0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7, 0x00, 0xC9, 0x10, 0x00, 0xB0, 0x07,
                        0x64, 0x10, 0x90, 0x3C, 0x40, 0x20, 0x3C, 0x00, 0x00, 0xE0, 0x00, 0x40,
                        0x00, 0xA0, 0x3C, 0x10, 0x00, 0xD0, 0x20, 0x00, 0x80, 0x3E, 0x00}));
    return song;
}

} // namespace

TEST(MidiFileRecord, LibraryFillsTheHeaderAndEventFields) {
    MidiCallbackTable table = AllSlots();
    MidiReadRecord record;
    std::string path = TempFile("song.mid", TwoTrackSong());
    ASSERT_EQ(ReadWith(table, path, record), MIDI_OK);
    EXPECT_EQ(record.format, 1);
    EXPECT_EQ(record.tracks, 2);
    EXPECT_EQ(record.division, 480);
    EXPECT_EQ(record.table, &table); // caller's fields are kept
    EXPECT_EQ(record.path, path.c_str());
    EXPECT_EQ(record.tracksFound, 2);
    // The last event seen: End-of-Track of track 1.
    EXPECT_EQ(record.track, 1);
    EXPECT_EQ(record.status, 0xFF);
    EXPECT_EQ(record.data1, 0x2F);
}

TEST(MidiFileEvents, EveryEventReachesSlot9InFileOrder) {
    MidiCallbackTable table = TableOf<MIDI_CB_EVENT>();
    MidiReadRecord record;
    ASSERT_EQ(ReadWith(table, TempFile("song.mid", TwoTrackSong()), record), MIDI_OK);
    struct Expect {
        int track, status, data1, data2;
        uint32_t tick;
    };
    const Expect expected[] = {{0, 0xFF, 0x51, 0, 0},     {0, 0xFF, 0x03, 0, 0},  {0, 0xFF, 0x2F, 0, 0},
                               {1, 0xF0, 0x7E, 0, 0},     {1, 0xC9, 0x10, 0, 0},  {1, 0xB0, 0x07, 0x64, 0},
                               {1, 0x90, 0x3C, 0x40, 16}, {1, 0x90, 0x3C, 0, 48}, {1, 0xE0, 0x00, 0x40, 48},
                               {1, 0xA0, 0x3C, 0x10, 48}, {1, 0xD0, 0x20, 0, 48}, {1, 0x80, 0x3E, 0, 48},
                               {1, 0xFF, 0x2F, 0, 48}};
    ASSERT_EQ(g_seen.size(), std::size(expected));
    for (size_t i = 0; i < g_seen.size(); ++i) {
        EXPECT_EQ(g_seen[i].track, expected[i].track) << i;
        EXPECT_EQ(g_seen[i].status, expected[i].status) << i;
        EXPECT_EQ(g_seen[i].data1, expected[i].data1) << i;
        EXPECT_EQ(g_seen[i].data2, expected[i].data2) << i;
        EXPECT_EQ(g_seen[i].tick, expected[i].tick) << i;
    }
    EXPECT_EQ(g_seen[0].payload, std::string("\x07\xA1\x20"));
    EXPECT_EQ(g_seen[3].payload, std::string("\x7E\x09\xF7"));
}

TEST(MidiFileEvents, KindSlotsFollowSlot9) {
    MidiCallbackTable table = AllSlots();
    MidiReadRecord record;
    ASSERT_EQ(ReadWith(table, TempFile("song.mid", TwoTrackSong()), record), MIDI_OK);
    ASSERT_GE(g_seen.size(), 3u);
    EXPECT_EQ(g_seen[0].slot, MIDI_CB_HEADER);
    EXPECT_EQ(g_seen[1].slot, MIDI_CB_TRACK_START);
    EXPECT_EQ(g_seen[2].slot, MIDI_CB_EVENT);
    EXPECT_EQ(g_seen[3].slot, MIDI_CB_TEMPO);
    EXPECT_EQ(g_seen.back().slot, MIDI_CB_DONE);
    std::map<int, int> counts;
    for (const Seen &s : g_seen)
        ++counts[s.slot];
    EXPECT_EQ(counts[MIDI_CB_EVENT], 13);
    EXPECT_EQ(counts[MIDI_CB_TRACK_START], 2);
    EXPECT_EQ(counts[MIDI_CB_TRACK_END], 2);
    EXPECT_EQ(counts[MIDI_CB_PROGRAM_CHANGE], 1);
    EXPECT_EQ(counts[MIDI_CB_NOTE_ON], 2);
    EXPECT_EQ(counts[MIDI_CB_NOTE_OFF], 1);
    EXPECT_EQ(counts[MIDI_CB_CONTROL_CHANGE], 1);
    EXPECT_EQ(counts[MIDI_CB_PITCH_BEND], 1);
    EXPECT_EQ(counts[MIDI_CB_KEY_PRESSURE], 1);
    EXPECT_EQ(counts[MIDI_CB_CHANNEL_PRESSURE], 1);
    EXPECT_EQ(counts[MIDI_CB_SYSEX], 1);
    EXPECT_EQ(counts[MIDI_CB_TEXT], 1);
    EXPECT_EQ(counts[MIDI_CB_META], 2); // the two End-of-Track events
    EXPECT_EQ(counts[MIDI_CB_PROBLEM], 0);
    EXPECT_EQ(counts[MIDI_CB_RESERVED], 0);
    for (const Seen &s : SeenIn(MIDI_CB_PROGRAM_CHANGE))
        EXPECT_EQ(s.status, 0xC9);
}

TEST(MidiFileEvents, NonZeroFromACallbackStopsReading) {
    MidiCallbackTable table = TableOf<MIDI_CB_EVENT, MIDI_CB_DONE>();
    MidiReadRecord record;
    g_stopAfter = 4;
    int result = ReadWith(table, TempFile("song.mid", TwoTrackSong()), record);
    g_stopAfter = -1;
    EXPECT_EQ(result, MIDI_ERR_STOPPED);
    EXPECT_EQ(g_seen.size(), 5u);
    EXPECT_EQ(ErrorText(&record, result), "Reading was stopped by the caller");
}

TEST(MidiFileEvents, NullTableReadsWithoutCalls) {
    MidiReadRecord record = {};
    std::string path = TempFile("song.mid", TwoTrackSong());
    record.path = path.c_str();
    EXPECT_EQ(MidiReadFile(&record), MIDI_OK);
    EXPECT_EQ(record.format, 1);
}

TEST(MidiFileErrors, HostileFilesAreRejectedWithTheirText) {
    MidiCallbackTable table = AllSlots();
    MidiReadRecord record;
    struct Case {
        std::string name;
        Bytes bytes;
        int result;
        std::string text;
    };
    Bytes garbageHeader = Chunk("MThd", {0, 1, 0, 1, 0, 96}, 100731768);
    const Case cases[] = {
        {"empty.mid", {}, MIDI_ERR_EMPTY, "The file is empty"},
        {"text.mid", {'n', 'o', 't', ' ', 'a', ' ', 'm', 'i', 'd', 'i'}, MIDI_ERR_NOT_MIDI, "Not a Standard MIDI File"},
        {"header.mid", garbageHeader, MIDI_ERR_HEADER, "The MIDI file header is damaged (its length is wrong)"},
    };
    for (const Case &c : cases) {
        int result = ReadWith(table, TempFile(c.name, c.bytes), record);
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(ErrorText(&record, result), c.text) << c.name;
        ASSERT_EQ(g_seen.size(), 1u) << c.name; // the problem callback only
        EXPECT_EQ(g_seen[0].slot, MIDI_CB_PROBLEM);
        EXPECT_EQ(record.result, c.result);
    }
    int result = ReadWith(table, std::string(TEST_TEMP_DIR) + "/no such file.mid", record);
    EXPECT_EQ(result, MIDI_ERR_OPEN);
    EXPECT_EQ(ErrorText(&record, result), "The file cannot be opened");
    MidiReadRecord noPath = {};
    EXPECT_EQ(MidiReadFile(&noPath), MIDI_ERR_ARGUMENT);
    EXPECT_EQ(MidiReadFile(nullptr), MIDI_ERR_ARGUMENT);
}

TEST(MidiFileErrors, EventsBeforeTheDamageAreDelivered) {
    Bytes cut = Header(1, 3, 96);
    Append(cut, Track({0x00, 0xC0, 0x05, 0x00, 0xC1, 0x06}));
    Append(cut, Chunk("MTrk", {0x00, 0xC2, 0x07, 0x00, 0x90, 0x3C}, 40));
    MidiCallbackTable table = TableOf<MIDI_CB_PROGRAM_CHANGE, MIDI_CB_PROBLEM, MIDI_CB_DONE>();
    MidiReadRecord record;
    int result = ReadWith(table, TempFile("cut.mid", cut), record);
    EXPECT_EQ(result, MIDI_ERR_TRUNCATED);
    EXPECT_EQ(ErrorText(&record, result), "Track 2 is truncated: an event runs past its end");
    std::vector<Seen> programs = SeenIn(MIDI_CB_PROGRAM_CHANGE);
    ASSERT_EQ(programs.size(), 3u);
    EXPECT_EQ(programs[2].data1, 7);
    EXPECT_EQ(SeenIn(MIDI_CB_PROBLEM).size(), 1u);
    EXPECT_EQ(SeenIn(MIDI_CB_DONE).size(), 1u);
}

TEST(MidiFileErrors, HighDataBytesNeverReachTheCaller) {
    // A program change with data byte 0xFF, as in real damaged files.
    MidiCallbackTable table = TableOf<MIDI_CB_EVENT>();
    MidiReadRecord record;
    int result = ReadWith(table, TempFile("ff.mid", SingleTrack({0x00, 0xC9, 0xFF, 0x00, 0xC0, 0x01})), record);
    EXPECT_EQ(result, MIDI_ERR_BAD_EVENT);
    for (const Seen &s : g_seen) {
        if (s.status < 0xF0) {
            EXPECT_LT(s.data1, 0x80);
        }
    }
    EXPECT_EQ(g_seen.size(), 2u);
}

TEST(MidiFileErrors, IrregularFileIsReadWholeWithAWarning) {
    Bytes trailing = SingleTrack({0x00, 0xC0, 0x05});
    trailing.push_back(0x00);
    MidiCallbackTable table = TableOf<MIDI_CB_PROGRAM_CHANGE, MIDI_CB_DONE>();
    MidiReadRecord record;
    int result = ReadWith(table, TempFile("trailing.mid", trailing), record);
    EXPECT_EQ(result, MIDI_WARN_IRREGULAR);
    EXPECT_EQ(ErrorText(&record, result), "1 stray byte after the last chunk");
    EXPECT_EQ(SeenIn(MIDI_CB_PROGRAM_CHANGE).size(), 1u);
    EXPECT_EQ(SeenIn(MIDI_CB_DONE).size(), 1u);
}

TEST(MidiFileErrors, GetErrFitsEveryBuffer) {
    MidiReadRecord record = {};
    char buffer[80];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(MidiGetErr(&record, buffer, 0, MIDI_ERR_NOT_MIDI), 0);
    EXPECT_EQ(buffer[0], 'x'); // nothing written for size 0
    EXPECT_EQ(MidiGetErr(&record, buffer, -5, MIDI_ERR_NOT_MIDI), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(MidiGetErr(&record, buffer, 1, MIDI_ERR_NOT_MIDI), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], 'x');
    EXPECT_EQ(MidiGetErr(&record, buffer, 4, MIDI_ERR_NOT_MIDI), 3);
    EXPECT_STREQ(buffer, "Not");
    EXPECT_EQ(buffer[4], 'x');
    EXPECT_EQ(MidiGetErr(&record, buffer, 80, MIDI_ERR_NOT_MIDI), 24);
    EXPECT_STREQ(buffer, "Not a Standard MIDI File");
    EXPECT_EQ(MidiGetErr(&record, nullptr, 80, MIDI_ERR_NOT_MIDI), 0);
    MidiGetErr(nullptr, buffer, 80, 12345);
    EXPECT_STREQ(buffer, "Unknown result 12345");
    MidiGetErr(&record, buffer, 80, MIDI_OK);
    EXPECT_STREQ(buffer, "No error");
}

TEST(MidiFileErrors, DetailBelongsToItsOwnRecordAndResult) {
    MidiCallbackTable table = {};
    MidiReadRecord first, second = {};
    int result = ReadWith(table, std::string(TEST_MIDI_DIR) + "/dwm_chunksize_The-Trial.mid", first);
    EXPECT_EQ(result, MIDI_ERR_TRUNCATED);
    EXPECT_EQ(ErrorText(&first, result), "Track 10 is truncated: the file ends inside it");
    EXPECT_EQ(ErrorText(&second, result), "The MIDI file is truncated");
    EXPECT_EQ(ErrorText(&first, MIDI_ERR_EMPTY), "The file is empty");
}

TEST(MidiFileCorpus, EveryCorpusFileIsReadSafely) {
    std::FILE *manifest = std::fopen(TEST_MIDI_DIR "/MANIFEST.tsv", "rb");
    ASSERT_NE(manifest, nullptr);
    char line[8192];
    std::fgets(line, sizeof line, manifest); // column names
    MidiCallbackTable table = AllSlots();
    int files = 0;
    while (std::fgets(line, sizeof line, manifest)) {
        std::string name(line, std::strcspn(line, "\t"));
        MidiReadRecord record;
        int result = ReadWith(table, std::string(TEST_MIDI_DIR) + "/" + name, record);
        EXPECT_NE(result, MIDI_ERR_OPEN) << name;
        EXPECT_NE(result, MIDI_ERR_STOPPED) << name;
        EXPECT_FALSE(ErrorText(&record, result).empty()) << name;
        for (const Seen &s : g_seen) {
            if (s.slot == MIDI_CB_EVENT && s.status < 0xF0) {
                ASSERT_TRUE(s.data1 < 0x80 && s.data2 < 0x80) << name;
            }
        }
        ++files;
    }
    std::fclose(manifest);
    EXPECT_GE(files, 120);
}

// The programs MidiFile.dll reports for each openmsx song equal those of the portable parser and of a strict
// scan written separately.
TEST(MidiFileCorpus, OpenmsxProgramsAgreeThreeWays) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(TEST_OPENMSX_DIR "/*.mid", &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int songs = 0;
    MidiCallbackTable table = TableOf<MIDI_CB_EVENT>();
    do {
        std::string path = std::string(TEST_OPENMSX_DIR) + "/" + found.cFileName;
        MidiReadRecord record;
        ASSERT_EQ(ReadWith(table, path, record), MIDI_OK) << path;
        std::set<int> fromDll, fromParser, fromScan;
        for (const Seen &s : g_seen)
            if ((s.status & 0xF0) == 0xC0)
                fromDll.insert(s.data1);
        tw::smf::File file;
        tw::smf::ReadSmfFile(path, file);
        for (const auto &track : file.tracks)
            for (const tw::smf::Event &e : track)
                if (e.isChannel() && e.kind() == 0xC0)
                    fromParser.insert(e.data1);
        ASSERT_TRUE(scan::Programs(scan::Load(path), fromScan)) << path;
        EXPECT_FALSE(fromDll.empty()) << path;
        EXPECT_EQ(fromDll, fromParser) << path;
        EXPECT_EQ(fromDll, fromScan) << path;
        ++songs;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_EQ(songs, 31);
}
