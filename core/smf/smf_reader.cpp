// Parses a Standard MIDI File image: the RIFF RMID wrapper, the MThd header and the chunk list.
#include "smf_file.h"

#include "byte_reader.h"
#include "smf_problems.h"
#include "smf_track.h"

#include <cstring>
#include <new>
#include <string>

namespace tw::smf {
namespace {

constexpr size_t kChunkHeaderBytes = 8; // four-character id and a 32-bit length
constexpr size_t kMinHeaderBytes = 6;   // format, track count, division
constexpr size_t kMaxTracks = 0xFFFF;   // Event::track is 16 bits
constexpr uint16_t kMaxFormat = 2;

// Finds the first occurrence of a four-character id at or after from; size when there is none.
size_t FindId(const uint8_t *data, size_t size, size_t from, const char *id) {
    for (size_t i = from; i + 4 <= size; ++i)
        if (std::memcmp(data + i, id, 4) == 0)
            return i;
    return size;
}

// "1 stray byte", "5 stray bytes".
std::string StrayBytes(size_t count) {
    return std::to_string(count) + (count == 1 ? " stray byte" : " stray bytes");
}

bool PrintableId(const uint8_t *id) {
    for (int i = 0; i < 4; ++i)
        if (id[i] < 0x20 || id[i] > 0x7E)
            return false;
    return true;
}

// Unwraps a RIFF RMID file to its "data" chunk. False (with out's status set) for any other RIFF file.
bool UnwrapRmid(const uint8_t *&data, size_t &size, File &out) {
    ByteReader in(data, size);
    uint32_t riffSize = 0;
    in.skip(4);
    in.le32(riffSize);
    if (!in.matches("RMID")) {
        out.status = Status::NotSmf;
        out.error = "Not a Standard MIDI File (a RIFF file of another kind)";
        return false;
    }
    in.skip(4);
    while (in.remaining() >= kChunkHeaderBytes) {
        bool isData = in.matches("data");
        uint32_t length = 0;
        in.skip(4);
        in.le32(length);
        if (isData) {
            data += in.pos();
            size = length < in.remaining() ? length : in.remaining();
            return true;
        }
        if (!in.skip(length) || !in.skip(length & 1)) // chunks are padded to even sizes
            break;
    }
    out.status = Status::NotSmf;
    out.error = "Not a Standard MIDI File (a RIFF MIDI file without MIDI data)";
    return false;
}

// Reads MThd at the reader's position. False (status set) when the header cannot be used.
bool ReadHeader(ByteReader &in, File &out, ProblemLog &log) {
    uint32_t length = 0;
    uint16_t format = 0;
    in.skip(4);
    if (!in.be32(length) || length < kMinHeaderBytes || length > in.remaining()) {
        out.status = Status::BadHeader;
        out.error = "The MIDI file header is damaged (its length is wrong)";
        return false;
    }
    size_t next = in.pos() + length; // longer headers are legal: the extra bytes are skipped
    in.be16(format);
    in.be16(out.declaredTracks);
    in.be16(out.division);
    in.seek(next);
    if (out.division == 0 || (out.smpte() && out.ticksPerFrame() == 0)) {
        out.status = Status::BadHeader;
        out.error = "The MIDI file header is damaged (its time division is 0)";
        return false;
    }
    int fps = out.smpteFramesPerSecond();
    if (out.smpte() && fps != 24 && fps != 25 && fps != 29 && fps != 30) {
        out.status = Status::BadHeader;
        out.error = "The MIDI file header is damaged (unknown SMPTE frame rate)";
        return false;
    }
    out.format = format;
    if (format > kMaxFormat) {
        out.format = 1;
        log.note(Status::Irregular, "Unknown MIDI file format %u, read as format 1", format);
    }
    return true;
}

// Goes on reading chunks after garbage: the next "MTrk", or the end when there is none.
void Resync(const uint8_t *data, ByteReader &in, ProblemLog &log) {
    size_t from = in.pos();
    size_t next = FindId(data, in.end(), from, "MTrk");
    if (next == from)
        return;
    if (next == in.end())
        log.note(Status::Irregular, "%s after the last chunk", StrayBytes(in.end() - from).c_str());
    else
        log.note(Status::Irregular, "%s between chunks", StrayBytes(next - from).c_str());
    in.seek(next);
}

void ReadMTrk(const uint8_t *data, ByteReader &in, uint32_t length, File &out, ProblemLog &log) {
    uint16_t index = static_cast<uint16_t>(out.tracks.size());
    size_t begin = in.pos();
    bool pastEnd = length > in.remaining();
    size_t end = pastEnd ? in.end() : begin + length;
    out.tracks.emplace_back();
    TrackEnd track = ReadTrack(data, begin, end, index, out.tracks.back(), log);
    if (pastEnd) {
        log.note(Status::Truncated, "Track %d is truncated: the file ends inside it", index + 1);
        // The length is wrong, not the track: more chunks may follow its End-of-Track.
        in.seek(track.endOfTrack ? track.pos : end);
        if (!in.atEnd())
            Resync(data, in, log);
        return;
    }
    if (!track.endOfTrack)
        log.note(Status::Irregular, "Track %d has no End-of-Track event", index + 1);
    else if (track.pos < end)
        log.note(Status::Irregular, "Track %d has %s after its end", index + 1, StrayBytes(end - track.pos).c_str());
    in.seek(end);
}

// Walks the chunks after MThd: tracks are read, unknown chunks skipped, garbage stepped over.
void ReadChunks(const uint8_t *data, ByteReader &in, File &out, ProblemLog &log) {
    while (!in.atEnd()) {
        if (in.remaining() < kChunkHeaderBytes) {
            log.note(Status::Irregular, "%s after the last chunk", StrayBytes(in.remaining()).c_str());
            return;
        }
        bool isTrack = in.matches("MTrk");
        bool printable = PrintableId(data + in.pos());
        if (!isTrack && !printable) {
            Resync(data, in, log);
            continue;
        }
        size_t chunk = in.pos();
        uint32_t length = 0;
        in.skip(4);
        in.be32(length);
        if (isTrack) {
            if (out.tracks.size() >= kMaxTracks) {
                log.note(Status::Irregular, "More than %lu tracks: the rest is ignored",
                         static_cast<unsigned long>(kMaxTracks));
                return;
            }
            ReadMTrk(data, in, length, out, log);
        } else if (!in.skip(length)) {
            // An unknown chunk that runs past the end is garbage that looks like text.
            in.seek(chunk + 1);
            Resync(data, in, log);
        }
    }
}

void CheckTrackCount(File &out, ProblemLog &log) {
    size_t found = out.tracks.size();
    if (found < out.declaredTracks)
        log.note(Status::MissingTracks, "The file declares %u tracks but holds only %lu", out.declaredTracks,
                 static_cast<unsigned long>(found));
    else if (found > out.declaredTracks)
        log.note(Status::Irregular, "The file declares %u tracks but holds %lu", out.declaredTracks,
                 static_cast<unsigned long>(found));
    else if (out.format == 0 && found > 1)
        log.note(Status::Irregular, "A format 0 file with %lu tracks", static_cast<unsigned long>(found));
}

Status ReadImage(const uint8_t *data, size_t size, File &out) {
    if (data == nullptr || size == 0) {
        out.status = Status::Empty;
        out.error = "The file is empty";
        return out.status;
    }
    if (size > kMaxFileBytes) {
        out.status = Status::NotSmf;
        out.error = "Not a Standard MIDI File (far too large)";
        return out.status;
    }
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && !UnwrapRmid(data, size, out))
        return out.status;
    size_t header = FindId(data, size, 0, "MThd");
    if (header == size) {
        out.status = Status::NotSmf;
        out.error = "Not a Standard MIDI File";
        return out.status;
    }
    // Payload offsets refer to the image from MThd on; bytes before it are not part of the file.
    out.bytes.assign(data + header, data + size);
    ProblemLog log(out);
    ByteReader in(out.bytes.data(), out.bytes.size());
    if (header > 0)
        log.note(Status::Irregular, "%s before the MIDI file header", StrayBytes(header).c_str());
    if (!ReadHeader(in, out, log))
        return out.status;
    out.usable = true;
    ReadChunks(out.bytes.data(), in, out, log);
    CheckTrackCount(out, log);
    return out.status;
}

} // namespace

Status ReadSmf(const uint8_t *data, size_t size, File &out) {
    out = File();
    try {
        return ReadImage(data, size, out);
    } catch (const std::bad_alloc &) {
        // Only a hostile file of millions of tiny events gets here; keep what fitted.
        ProblemLog(out).note(Status::Truncated, "Out of memory: only part of the file was read");
        return out.status;
    }
}

} // namespace tw::smf
