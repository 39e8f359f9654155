// Tests of the used-program table that the dialog fills from a MIDI file through MidiFile.dll.
#include "midi_programs.h"

#include "support/platform/midifile/program_scan.h"
#include "support/core/smf/smf_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

using namespace smftest;

namespace {

std::string TempFile(const std::string &name, const Bytes &bytes) {
    return WriteTempFile("programs_" + name, bytes);
}

// The used entries of g_usedPrograms, checking that each holds its own index and the rest hold -1.
std::set<int> UsedPrograms() {
    std::set<int> used;
    for (int p = 0; p < kProgramTableSize; ++p) {
        if (g_usedPrograms[p] == kNoProgram)
            continue;
        EXPECT_EQ(g_usedPrograms[p], p);
        used.insert(p);
    }
    return used;
}

std::set<int> LoadFile(const std::string &name, const Bytes &bytes) {
    LoadUsedPrograms(TempFile(name, bytes).c_str());
    return UsedPrograms();
}

} // namespace

TEST(UsedPrograms, FileWithoutProgramChangeListsProgram0Only) {
    EXPECT_EQ(LoadFile("none.mid", SingleTrack({0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x40})), std::set<int>{0});
}

TEST(UsedPrograms, RepeatedProgramsGiveOneEntryEach) {
    // Program 0 explicitly, program 33 on three channels and twice on one, program 0 again.
    Bytes events = {0x00, 0xC0, 0x00, 0x00, 0xC1, 0x21, 0x00, 0xC2, 0x21, 0x00,
                    0xC3, 0x21, 0x10, 0xC1, 0x21, 0x00, 0x21, 0x00, 0xC5, 0x00};
    EXPECT_EQ(LoadFile("repeat.mid", SingleTrack(events)), (std::set<int>{0, 33}));
}

TEST(UsedPrograms, PercussionChannelIsCountedLikeAnyOther) {
    EXPECT_EQ(LoadFile("drums.mid", SingleTrack({0x00, 0xC9, 0x19, 0x00, 0x99, 0x24, 0x64})), (std::set<int>{0, 25}));
}

TEST(UsedPrograms, SecondFileStartsFromAResetTable) {
    EXPECT_EQ(LoadFile("first.mid", SingleTrack({0x00, 0xC0, 0x30, 0x00, 0xC1, 0x50})), (std::set<int>{0, 48, 80}));
    EXPECT_EQ(LoadFile("second.mid", SingleTrack({0x00, 0xC0, 0x10})), (std::set<int>{0, 16}));
}

TEST(UsedPrograms, ReadingAddsToTheTableItIsGiven) {
    // ReadMidiPrograms itself does not reset: the dialog does, before it.
    LoadFile("first.mid", SingleTrack({0x00, 0xC0, 0x30}));
    ReadMidiPrograms(TempFile("second.mid", SingleTrack({0x00, 0xC0, 0x10})).c_str());
    EXPECT_EQ(UsedPrograms(), (std::set<int>{0, 16, 48}));
}

TEST(UsedPrograms, UnreadableFilesLeaveProgram0) {
    EXPECT_EQ(LoadFile("empty.mid", {}), std::set<int>{0});
    std::string text = "<HTML>not midi</HTML>";
    EXPECT_EQ(LoadFile("page.mid", Bytes(text.begin(), text.end())), std::set<int>{0});
    LoadUsedPrograms((std::string(TEST_TEMP_DIR) + "/no such file.mid").c_str());
    EXPECT_EQ(UsedPrograms(), std::set<int>{0});
}

TEST(UsedPrograms, ProgramsBeforeTheDamageAreKept) {
    Bytes cut = Header(1, 2, 96);
    Append(cut, Track({0x00, 0xC0, 0x05}));
    Append(cut, Chunk("MTrk", {0x00, 0xC2, 0x07, 0x00, 0xC3}, 40));
    EXPECT_EQ(LoadFile("cut.mid", cut), (std::set<int>{0, 5, 7}));
}

TEST(UsedPrograms, DamagedProgramByteMarksNothing) {
    // A program change whose data byte is 0xFF, as in real damaged files, must not mark entry 255.
    EXPECT_EQ(LoadFile("ff.mid", SingleTrack({0x00, 0xC9, 0xFF, 0x00, 0xC0, 0x01})), (std::set<int>{0, 1}));
    std::string path = std::string(TEST_MIDI_DIR) + "/dwm_chparam_Death_-_Without_Judgement.mid";
    LoadUsedPrograms(path.c_str());
    EXPECT_EQ(g_usedPrograms[255], kNoProgram);
}

TEST(UsedPrograms, OnMidiEventIgnoresAllButProgramChanges) {
    for (int p = 0; p < kProgramTableSize; ++p)
        g_usedPrograms[p] = kNoProgram;
    MidiReadRecord record = {};
    const uint8_t statuses[] = {0x90, 0xB0, 0xE0, 0xD0, 0xF0, 0xFF, 0xCF};
    for (uint8_t status : statuses) {
        record.status = status;
        record.data1 = 0x2A;
        EXPECT_EQ(OnMidiEvent(&record), 0);
    }
    record.status = 0xC0;
    record.data1 = 0x80; // a reader that let a damaged byte through
    EXPECT_EQ(OnMidiEvent(&record), 0);
    EXPECT_EQ(UsedPrograms(), std::set<int>{42});
}

TEST(UsedPrograms, OpenmsxSongsMatchAStrictScan) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(TEST_OPENMSX_DIR "/*.mid", &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int songs = 0;
    do {
        std::string path = std::string(TEST_OPENMSX_DIR) + "/" + found.cFileName;
        std::set<int> expected = {0};
        ASSERT_TRUE(scan::Programs(scan::Load(path), expected)) << path;
        LoadUsedPrograms(path.c_str());
        EXPECT_EQ(UsedPrograms(), expected) << path;
        ++songs;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_EQ(songs, 31);
}
