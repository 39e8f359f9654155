// Reads every file of the third-party MIDI corpus and the openmsx songs, checking what MANIFEST.tsv says of them.
#include "smf_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace tw::smf;

namespace {

using Row = std::map<std::string, std::string>;

// MANIFEST.tsv: one row per file, columns named by the first line.
std::vector<Row> ReadManifest() {
    std::ifstream in(std::string(TEST_MIDI_DIR) + "/MANIFEST.tsv");
    std::vector<std::string> names;
    std::vector<Row> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream cellStream(line);
        std::string cell;
        while (std::getline(cellStream, cell, '\t'))
            cells.push_back(cell);
        if (names.empty()) {
            names = cells;
            continue;
        }
        Row row;
        for (size_t i = 0; i < names.size(); ++i)
            row[names[i]] = i < cells.size() ? cells[i] : "";
        rows.push_back(row);
    }
    return rows;
}

bool HasTag(const Row &row, const std::string &tag) {
    return row.at("tags").find(tag) != std::string::npos;
}

// True when every tag of the row is one of those given.
bool OnlyTags(const Row &row, const std::set<std::string> &allowed) {
    std::stringstream tags(row.at("tags"));
    std::string tag;
    bool any = false;
    while (std::getline(tags, tag, ',')) {
        if (allowed.count(tag) == 0)
            return false;
        any = true;
    }
    return any;
}

size_t CountOr0(const std::string &text) {
    return text.empty() ? 0 : std::stoul(text);
}

// Note-on events with a velocity above 0.
size_t NotesOn(const File &file) {
    size_t count = 0;
    for (const auto &track : file.tracks)
        for (const Event &e : track)
            count += e.isChannel() && e.kind() == 0x90 && e.data2 > 0;
    return count;
}

void ExpectPayloadsInside(const File &file, const std::string &name) {
    for (const auto &track : file.tracks)
        for (const Event &e : track)
            ASSERT_LE(size_t(e.offset) + e.length, file.bytes.size()) << name;
}

} // namespace

TEST(SmfCorpus, ManifestListsTheCorpus) {
    EXPECT_GE(ReadManifest().size(), 120u);
}

TEST(SmfCorpus, EveryFileReadsWithoutFault) {
    for (const Row &row : ReadManifest()) {
        const std::string &name = row.at("filename");
        File file;
        ReadSmfFile(std::string(TEST_MIDI_DIR) + "/" + name, file);
        ExpectPayloadsInside(file, name);
        EXPECT_EQ(file.status == Status::Ok, file.error.empty()) << name;
        const std::string &container = row.at("container");
        if (container == "empty") {
            EXPECT_EQ(file.status, Status::Empty) << name;
        } else if (container == "none") {
            EXPECT_EQ(file.status, Status::NotSmf) << name;
        }
        // The parser does not judge what meta events say (key, tempo or SMPTE values): the player does.
        bool onlyMetaContent = OnlyTags(row, {"bad-key-signature", "bad-meta-length", "bad-SMPTE-offset"});
        if (row.at("status").rfind("well-formed", 0) == 0 || onlyMetaContent) {
            EXPECT_EQ(file.status, Status::Ok) << name << ": " << file.error;
        } else {
            EXPECT_NE(file.status, Status::Ok) << name;
        }
    }
}

// Tracks and notes agree with the manifest wherever a file's damage leaves only one sensible reading: files with
// data bytes lacking a status byte are resynchronised by guesswork, and a header that is garbage is refused.
TEST(SmfCorpus, TracksAndNotesMatchTheManifest) {
    int compared = 0;
    for (const Row &row : ReadManifest()) {
        const std::string &name = row.at("filename");
        const std::string &container = row.at("container");
        if (container == "none" || container == "empty" || HasTag(row, "running-status-without-status") ||
            HasTag(row, "bad-MThd-length"))
            continue;
        File file;
        ReadSmfFile(std::string(TEST_MIDI_DIR) + "/" + name, file);
        ASSERT_TRUE(file.usable) << name << ": " << file.error;
        if (!HasTag(row, "unknown-format")) {
            EXPECT_EQ(std::to_string(file.format), row.at("format")) << name;
        }
        EXPECT_EQ(std::to_string(file.declaredTracks), row.at("tracks_header")) << name;
        EXPECT_EQ(file.tracks.size(), CountOr0(row.at("mtrk_found"))) << name;
        EXPECT_EQ(NotesOn(file), CountOr0(row.at("notes_on"))) << name;
        EXPECT_EQ(file.smpte(), row.at("division").find("SMPTE") != std::string::npos) << name;
        ++compared;
    }
    EXPECT_GE(compared, 90);
}

TEST(SmfCorpus, DamageIsNamedInTheError) {
    File file;
    ReadSmfFile(std::string(TEST_MIDI_DIR) + "/dwm_chunksize_The-Trial.mid", file);
    EXPECT_EQ(file.error, "Track 10 is truncated: the file ends inside it");
    ReadSmfFile(std::string(TEST_MIDI_DIR) + "/jz_test-illegal-message-f4.mid", file);
    EXPECT_EQ(file.error, "Track 1 has an illegal status byte 0xF4 (skipped)");
    ReadSmfFile(std::string(TEST_MIDI_DIR) + "/dwm_nohdr_k.mid", file);
    EXPECT_EQ(file.error, "Not a Standard MIDI File (a RIFF file of another kind)");
}

TEST(SmfCorpus, AllOpenmsxSongsReadCleanly) {
    int songs = 0;
    for (const auto &entry : std::filesystem::directory_iterator(TEST_OPENMSX_DIR)) {
        if (entry.path().extension() != ".mid")
            continue;
        File file;
        ReadSmfFile(entry.path().string(), file);
        EXPECT_EQ(file.status, Status::Ok) << entry.path() << ": " << file.error;
        EXPECT_TRUE(file.usable);
        EXPECT_EQ(file.tracks.size(), file.declaredTracks) << entry.path();
        EXPECT_GT(NotesOn(file), 0u) << entry.path();
        ++songs;
    }
    EXPECT_EQ(songs, 31);
}
