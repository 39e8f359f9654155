// Reads the events of one MTrk chunk, leniently: damaged events are skipped or end the track.
#include "smf_track.h"

#include "byte_reader.h"

#include <limits>

namespace tw::smf {
namespace {

constexpr uint8_t kStatusBit = 0x80;

// Data bytes that follow a channel status byte.
int ChannelDataBytes(uint8_t status) {
    uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

// Data bytes of the system common messages F1-F6, which a file may not hold but which some files do.
int SystemCommonDataBytes(uint8_t status) {
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 1;
    case 0xF2:
        return 2;
    default:
        return 0; // F4-F6 and the real-time bytes F8-FE carry no data
    }
}

uint32_t AddTicks(uint32_t tick, uint32_t delta) {
    uint32_t limit = std::numeric_limits<uint32_t>::max();
    return delta > limit - tick ? limit : tick + delta;
}

class TrackReader {
public:
    TrackReader(const uint8_t *data, size_t begin, size_t end, uint16_t track, std::vector<Event> &events,
                ProblemLog &log)
        : in_(data, end, begin), track_(track), events_(events), log_(log) {}

    TrackEnd run() {
        TrackEnd result;
        while (!in_.atEnd()) {
            if (!readDelta() || !readEvent(result.endOfTrack))
                break;
            if (result.endOfTrack)
                break;
        }
        result.pos = in_.pos();
        return result;
    }

private:
    int number() const { return track_ + 1; }

    void truncated() { log_.note(Status::Truncated, "Track %d is truncated: an event runs past its end", number()); }

    bool readDelta() {
        uint32_t delta = 0;
        switch (in_.vlq(delta)) {
        case ByteReader::Vlq::Ok:
            break;
        case ByteReader::Vlq::Truncated:
            truncated();
            return false;
        case ByteReader::Vlq::TooLong:
            // The bytes are garbage rather than time: keep the events in place.
            log_.note(Status::BadEvent, "Track %d has a delta time longer than 4 bytes", number());
            delta = 0;
            break;
        }
        tick_ = AddTicks(tick_, delta);
        return true;
    }

    // Reads the status byte (or uses running status) and the event after it. False ends the track.
    bool readEvent(bool &endOfTrack) {
        uint8_t b;
        if (!in_.peek(b)) {
            truncated();
            return false;
        }
        if (b < kStatusBit && running_ == 0) {
            log_.note(Status::BadEvent, "Track %d has a data byte with no status byte before it", number());
            // Lenient players skip to the next status byte and read on from there.
            while (in_.peek(b) && b < kStatusBit)
                in_.skip(1);
            if (in_.atEnd())
                return false;
        }
        uint8_t status = running_;
        if (b >= kStatusBit) {
            status = b;
            in_.skip(1);
        }
        if (status < kStatusSysEx)
            return readChannel(status);
        if (status == kStatusMeta)
            return readMeta(endOfTrack);
        if (status == kStatusSysEx || status == kStatusSysExEscape)
            return readPayload(status, 0);
        return skipSystemCommon(status);
    }

    bool readChannel(uint8_t status) {
        running_ = status;
        uint8_t bytes[2] = {0, 0};
        int count = ChannelDataBytes(status);
        bool valid = true;
        for (int i = 0; i < count; ++i) {
            if (!in_.u8(bytes[i])) {
                truncated();
                return false;
            }
            valid = valid && bytes[i] < kStatusBit;
        }
        if (!valid) {
            // Taking the bytes as data keeps the next delta time in step; the event itself is dropped.
            log_.note(Status::BadEvent, "Track %d has a channel message with a data byte of 128 or more", number());
            return true;
        }
        Event e = base(status);
        e.data1 = bytes[0];
        e.data2 = bytes[1];
        events_.push_back(e);
        return true;
    }

    bool readMeta(bool &endOfTrack) {
        uint8_t type;
        if (!in_.u8(type)) {
            truncated();
            return false;
        }
        if (!readPayload(kStatusMeta, type))
            return false;
        endOfTrack = type == kMetaEndOfTrack;
        return true;
    }

    // Meta or SysEx payload: a length, then that many bytes. Running status is kept across it, as real
    // files expect.
    bool readPayload(uint8_t status, uint8_t type) {
        uint32_t length = 0;
        ByteReader::Vlq vlq = in_.vlq(length);
        if (vlq == ByteReader::Vlq::TooLong) {
            log_.note(Status::BadEvent, "Track %d has an event length longer than 4 bytes", number());
            return false;
        }
        if (vlq == ByteReader::Vlq::Truncated || length > in_.remaining()) {
            truncated();
            return false;
        }
        Event e = base(status);
        e.meta = type;
        e.offset = static_cast<uint32_t>(in_.pos());
        e.length = length;
        in_.skip(length);
        events_.push_back(e);
        return true;
    }

    // System common and real-time bytes have no place in a file; skip them with their data bytes.
    bool skipSystemCommon(uint8_t status) {
        log_.note(Status::BadEvent, "Track %d has an illegal status byte 0x%02X (skipped)", number(), status);
        for (int i = SystemCommonDataBytes(status); i > 0; --i) {
            uint8_t b;
            if (!in_.peek(b) || b >= kStatusBit)
                break;
            in_.skip(1);
        }
        return true;
    }

    Event base(uint8_t status) const {
        Event e;
        e.tick = tick_;
        e.track = track_;
        e.status = status;
        return e;
    }

    ByteReader in_;
    uint16_t track_;
    std::vector<Event> &events_;
    ProblemLog &log_;
    uint32_t tick_ = 0;
    uint8_t running_ = 0;
};

} // namespace

TrackEnd ReadTrack(const uint8_t *data, size_t begin, size_t end, uint16_t track, std::vector<Event> &events,
                   ProblemLog &log) {
    return TrackReader(data, begin, end, track, events, log).run();
}

} // namespace tw::smf
