// Builds Standard MIDI File images in memory for the parser tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace smftest {

using Bytes = std::vector<uint8_t>;

inline void Append(Bytes &out, const Bytes &more) {
    out.insert(out.end(), more.begin(), more.end());
}

inline Bytes Be32(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

inline Bytes Le32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

// A chunk with the given id and body; length overrides the stored length when not negative.
inline Bytes Chunk(const std::string &id, const Bytes &body, int64_t length = -1) {
    Bytes out(id.begin(), id.end());
    Append(out, Be32(length < 0 ? uint32_t(body.size()) : uint32_t(length)));
    Append(out, body);
    return out;
}

inline Bytes Header(uint16_t format, uint16_t tracks, uint16_t division) {
    return Chunk("MThd", {uint8_t(format >> 8), uint8_t(format), uint8_t(tracks >> 8), uint8_t(tracks),
                          uint8_t(division >> 8), uint8_t(division)});
}

inline const Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

// An MTrk chunk: the events given, then End-of-Track.
inline Bytes Track(Bytes events, bool endOfTrack = true) {
    if (endOfTrack)
        Append(events, kEndOfTrack);
    return Chunk("MTrk", events);
}

// A format 0 file with one track holding the events given.
inline Bytes SingleTrack(const Bytes &events, bool endOfTrack = true) {
    Bytes out = Header(0, 1, 96);
    Append(out, Track(events, endOfTrack));
    return out;
}

// Writes the bytes to a scratch file, TEST_TEMP_DIR/name, and returns its path.
inline std::string WriteTempFile(const std::string &name, const Bytes &bytes) {
    std::string path = std::string(TEST_TEMP_DIR) + "/" + name;
    std::FILE *f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr) << path;
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

} // namespace smftest
