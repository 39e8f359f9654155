// Segment building: merges the tracks of an SMF in time order (file order at equal ticks) and pairs each note-on
// with its note-off.
#include "core/sequencer/segment.h"

#include <algorithm>

#include "core/smf/smf_file.h"

namespace tw::sequencer {

namespace {

constexpr int kChannels = 16;
constexpr int kKeys = 128;

uint32_t SaturatedAdd(uint32_t a, uint32_t b) {
    return a > UINT32_MAX - b ? UINT32_MAX : a + b;
}

uint32_t TracksLength(const smf::File &file, size_t first, size_t count) {
    uint32_t length = 0;
    for (size_t t = first; t < first + count; ++t) {
        if (!file.tracks[t].empty())
            length = std::max(length, file.tracks[t].back().tick);
    }
    return length;
}

bool PayloadInside(const smf::File &file, const smf::Event &e) {
    return e.offset <= file.bytes.size() && e.length <= file.bytes.size() - e.offset;
}

} // namespace

bool Segment::build(const smf::File &file) {
    events_.clear();
    notes_.clear();
    sysEx_.clear();
    lengthTicks_ = 0;
    const double factor = tempo_.factor();
    tempo_ = TempoMap();
    tempo_.setFactor(factor);
    if (!file.usable)
        return false;
    tempo_.setDivision(file.division);

    ChannelBanks banks;
    const size_t trackCount = file.tracks.size();
    if (file.format == 2) {
        // Each track is a piece of its own, starting at the default tempo where the previous one ended.
        for (size_t t = 0; t < trackCount; ++t) {
            tempo_.addTempo(lengthTicks_, kDefaultTempo);
            buildSection(file, t, 1, lengthTicks_, banks);
            lengthTicks_ = SaturatedAdd(lengthTicks_, TracksLength(file, t, 1));
        }
    } else {
        buildSection(file, 0, trackCount, 0, banks);
        lengthTicks_ = TracksLength(file, 0, trackCount);
    }
    return true;
}

void Segment::buildSection(const smf::File &file, size_t firstTrack, size_t trackCount, uint32_t offset,
                           ChannelBanks &banks) {
    std::vector<const smf::Event *> merged;
    for (size_t t = firstTrack; t < firstTrack + trackCount; ++t) {
        for (const smf::Event &e : file.tracks[t])
            merged.push_back(&e);
    }
    // Stable: at equal ticks the file order stays, so a program change precedes the notes that follow it.
    std::stable_sort(merged.begin(), merged.end(),
                     [](const smf::Event *a, const smf::Event *b) { return a->tick < b->tick; });

    // Open notes per channel and key, oldest first: a note-off ends the earliest note still sounding.
    // nextOpen is indexed by note, so it starts with an entry for every note of earlier sections.
    std::vector<int32_t> openHead(kChannels * kKeys, -1), openTail(kChannels * kKeys, -1);
    std::vector<int32_t> nextOpen(notes_.size(), -1);
    for (const smf::Event *e : merged) {
        const uint32_t tick = SaturatedAdd(e->tick, offset);
        if (e->isChannel()) {
            addChannelEvent(*e, tick, banks, openHead, openTail, nextOpen);
        } else {
            addMetaOrSysEx(file, *e, tick);
        }
    }
    // Notes the file never ends stop at the end of their track rather than hanging on.
    const uint32_t end = SaturatedAdd(offset, TracksLength(file, firstTrack, trackCount));
    for (size_t slot = 0; slot < openHead.size(); ++slot) {
        for (int32_t n = openHead[slot]; n >= 0; n = nextOpen[n]) {
            notes_[n].endTick = end;
            SegmentEvent off;
            off.tick = end;
            off.kind = EventKind::NoteOff;
            off.index = static_cast<uint32_t>(n);
            events_.push_back(off);
        }
    }
}

void Segment::addChannelEvent(const smf::Event &e, uint32_t tick, ChannelBanks &banks, std::vector<int32_t> &openHead,
                              std::vector<int32_t> &openTail, std::vector<int32_t> &nextOpen) {
    SegmentEvent ev;
    ev.tick = tick;
    ev.status = e.status;
    ev.data1 = e.data1 & 0x7F;
    ev.data2 = e.data2 & 0x7F;
    const uint8_t kind = e.kind();
    const int channel = e.channel();
    const size_t slot = static_cast<size_t>(channel * kKeys + ev.data1);
    if (kind == 0x90 && ev.data2 > 0) {
        ev.kind = EventKind::NoteOn;
        ev.index = static_cast<uint32_t>(notes_.size());
        notes_.push_back({tick, tick, static_cast<uint8_t>(channel), ev.data1, ev.data2});
        nextOpen.push_back(-1);
        const int32_t n = static_cast<int32_t>(ev.index);
        if (openTail[slot] >= 0) {
            nextOpen[openTail[slot]] = n;
        } else {
            openHead[slot] = n;
        }
        openTail[slot] = n;
    } else if (kind == 0x80 || kind == 0x90) {
        const int32_t n = openHead[slot];
        if (n < 0)
            return; // a note-off with no note sounding: nothing to end
        openHead[slot] = nextOpen[n];
        if (openHead[slot] < 0)
            openTail[slot] = -1;
        nextOpen[n] = -1;
        notes_[n].endTick = tick;
        ev.kind = EventKind::NoteOff;
        ev.index = static_cast<uint32_t>(n);
    } else if (kind == 0xC0) {
        ev.kind = EventKind::Patch;
        ev.bankMsb = banks.msb[channel];
        ev.bankLsb = banks.lsb[channel];
    } else {
        if (kind == 0xB0 && ev.data1 == kBankMsbController)
            banks.msb[channel] = ev.data2;
        if (kind == 0xB0 && ev.data1 == kBankLsbController)
            banks.lsb[channel] = ev.data2;
        ev.kind = EventKind::Channel;
    }
    events_.push_back(ev);
}

void Segment::addMetaOrSysEx(const smf::File &file, const smf::Event &e, uint32_t tick) {
    if (!PayloadInside(file, e))
        return;
    const uint8_t *payload = file.bytes.data() + e.offset;
    if (e.isTempo()) {
        tempo_.addTempo(tick, (uint32_t(payload[0]) << 16) | (uint32_t(payload[1]) << 8) | payload[2]);
    } else if (e.status == smf::kStatusSysEx && e.length > 0) {
        SegmentEvent ev;
        ev.tick = tick;
        ev.kind = EventKind::SysEx;
        ev.status = e.status;
        ev.index = static_cast<uint32_t>(sysEx_.size());
        ev.length = e.length;
        sysEx_.insert(sysEx_.end(), payload, payload + e.length);
        events_.push_back(ev);
    }
}

} // namespace tw::sequencer
