// Playable segment: the tracks of a Standard MIDI File merged in time order, notes paired, with its tempo map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/sequencer/tempo_map.h"

namespace tw::smf {
struct File;
struct Event;
} // namespace tw::smf

namespace tw::sequencer {

// Bank select controllers: the segment records the bank each program change selects, the player sends it.
constexpr uint8_t kBankMsbController = 0;
constexpr uint8_t kBankLsbController = 32;

enum class EventKind : uint8_t {
    NoteOn,  // index: the note in Segment::notes()
    NoteOff, // index: the note it ends
    Patch,   // program change; bank fields hold the bank selected on its channel
    Channel, // any other channel message (controllers, pitch bend, pressure), passed as it is
    SysEx,   // index / length: payload in Segment::sysExBytes(), the bytes after F0
};

struct SegmentEvent {
    uint32_t tick = 0; // segment ticks
    EventKind kind = EventKind::Channel;
    uint8_t status = 0; // channel messages: status byte
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    uint8_t bankMsb = 0; // Patch only
    uint8_t bankLsb = 0; // Patch only
    uint32_t index = 0;
    uint32_t length = 0;
};

struct Note {
    uint32_t startTick = 0;
    uint32_t endTick = 0; // its note-off, or the end of its track when the file has none
    uint8_t channel = 0;
    uint8_t key = 0;
    uint8_t velocity = 0;
};

class Segment {
public:
    // Builds the segment from a parsed file (format 0 and 1 tracks play together, format 2 tracks one after
    // another). Returns false when the file is not usable; the segment is then empty.
    bool build(const smf::File &file);

    const std::vector<SegmentEvent> &events() const { return events_; }
    const std::vector<Note> &notes() const { return notes_; }
    const std::vector<uint8_t> &sysExBytes() const { return sysEx_; }

    const TempoMap &tempoMap() const { return tempo_; }
    // Master tempo factor 0.5..1.5, scaling every tempo of the file.
    void setTempoFactor(double factor) { tempo_.setFactor(factor); }

    uint32_t lengthTicks() const { return lengthTicks_; }
    // Length in reference time (100 ns units) at the current tempo factor.
    int64_t lengthReference() const { return tempo_.toReference(lengthTicks_); }

private:
    struct ChannelBanks {
        uint8_t msb[16] = {};
        uint8_t lsb[16] = {};
    };
    void buildSection(const smf::File &file, size_t firstTrack, size_t trackCount, uint32_t offset,
                      ChannelBanks &banks);
    void addChannelEvent(const smf::Event &e, uint32_t tick, ChannelBanks &banks, std::vector<int32_t> &openHead,
                         std::vector<int32_t> &openTail, std::vector<int32_t> &nextOpen);
    void addMetaOrSysEx(const smf::File &file, const smf::Event &e, uint32_t tick);

    std::vector<SegmentEvent> events_;
    std::vector<Note> notes_;
    std::vector<uint8_t> sysEx_;
    TempoMap tempo_;
    uint32_t lengthTicks_ = 0;
};

} // namespace tw::sequencer
