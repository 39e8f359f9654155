// Standard MIDI File model: what the parser reads from an SMF (or RIFF RMID) image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw::smf {

// Outcome of reading a file. Anything but Ok on a file that still has a usable header is a damaged file whose
// events up to the damage were kept (see File::usable).
enum class Status {
    Ok,
    Empty,         // zero bytes
    NotSmf,        // no MThd chunk (nor an RMID wrapper holding one)
    BadHeader,     // MThd too short, or format / track count / division unusable
    Truncated,     // a chunk or event runs past the end of the data
    BadEvent,      // an event the file format does not allow (data byte with no running status, ...)
    MissingTracks, // fewer MTrk chunks than the header declares
    Irregular,     // read whole, but breaks a rule: stray bytes outside chunks or after a track's end, no
                   // End-of-Track, unknown format read as format 1, more MTrk chunks than declared
};

// Status bytes of the events that are not channel messages, and the meta types readers of events look at.
constexpr uint8_t kStatusSysEx = 0xF0;       // SysEx message; the payload follows the F0
constexpr uint8_t kStatusSysExEscape = 0xF7; // SysEx continuation, or bytes sent as they are
constexpr uint8_t kStatusMeta = 0xFF;
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kMetaTempo = 0x51;
constexpr uint32_t kTempoBytes = 3; // a tempo's payload: microseconds per quarter note, big-endian

// One event of a track. Channel messages keep their status and data bytes; SysEx and meta events refer to
// their payload inside File::bytes.
struct Event {
    uint32_t tick = 0;   // absolute time in ticks from the start of its track
    uint16_t track = 0;  // index of the MTrk chunk the event came from
    uint8_t status = 0;  // 0x80..0xEF channel message, 0xF0 / 0xF7 SysEx, 0xFF meta
    uint8_t meta = 0;    // meta type when status == 0xFF
    uint8_t data1 = 0;   // first data byte of a channel message
    uint8_t data2 = 0;   // second data byte (0 for program change and channel pressure)
    uint32_t offset = 0; // SysEx / meta payload: first byte in File::bytes
    uint32_t length = 0; // SysEx / meta payload: number of bytes

    bool isChannel() const { return status >= 0x80 && status < kStatusSysEx; }
    bool isMeta() const { return status == kStatusMeta; }
    bool isTempo() const { return isMeta() && meta == kMetaTempo && length == kTempoBytes; }
    uint8_t kind() const { return status & 0xF0; }    // 0x80 note off ... 0xE0 pitch bend
    uint8_t channel() const { return status & 0x0F; } // 0..15
};

struct File {
    uint16_t format = 0;                    // 0, 1 or 2
    uint16_t declaredTracks = 0;            // track count of the MThd chunk
    uint16_t division = 0;                  // raw MThd division: ticks per quarter note, or SMPTE when bit 15 is set
    std::vector<uint8_t> bytes;             // the SMF image (an RMID wrapper already removed); payloads point into it
    std::vector<std::vector<Event>> tracks; // one list per MTrk chunk read, in file order
    Status status = Status::Ok;             // the first problem met, Ok when none
    std::string error;                      // what that problem was, in English ("Track 3 is truncated")
    bool usable = false;                    // the header was valid: the events read can be played

    bool smpte() const { return (division & 0x8000) != 0; }
    // SMPTE division: frames per second (24, 25, 29 for 29.97 drop-frame, 30) and ticks per frame.
    int smpteFramesPerSecond() const { return -static_cast<int8_t>(division >> 8); }
    int ticksPerFrame() const { return division & 0xFF; }
};

// Parses an SMF or RMID image. Never throws for bad data and never reads outside [data, data + size).
Status ReadSmf(const uint8_t *data, size_t size, File &out);

// Reads a whole file from disk, then parses it. A file that cannot be opened gives NotSmf with a message.
Status ReadSmfFile(const std::string &path, File &out);

// Largest file accepted: far above any real MIDI file, and keeps every offset within 32 bits.
constexpr size_t kMaxFileBytes = 16u * 1024u * 1024u;

// Loads a file's bytes (at most kMaxFileBytes). False with an English message when it cannot be opened or read.
bool ReadFileBytes(const std::string &path, std::vector<uint8_t> &bytes, std::string &error);

} // namespace tw::smf
