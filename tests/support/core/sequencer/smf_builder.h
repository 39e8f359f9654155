// Builds tw::smf::File values in memory for sequencer tests, without the SMF parser.
#pragma once

#include <cstdint>
#include <vector>

#include "core/smf/smf_file.h"

namespace tw::sequencer::test {

class FileBuilder {
public:
    explicit FileBuilder(uint16_t division = 96, uint16_t format = 1) {
        file_.format = format;
        file_.division = division;
        file_.usable = true;
    }
    FileBuilder &track() {
        file_.tracks.emplace_back();
        file_.declaredTracks = static_cast<uint16_t>(file_.tracks.size());
        return *this;
    }
    FileBuilder &channel(uint32_t tick, uint8_t status, uint8_t d1, uint8_t d2 = 0) {
        smf::Event e;
        e.tick = tick;
        e.status = status;
        e.data1 = d1;
        e.data2 = d2;
        return add(e);
    }
    FileBuilder &noteOn(uint32_t tick, int ch, int key, int vel = 100) {
        return channel(tick, static_cast<uint8_t>(0x90 | ch), static_cast<uint8_t>(key), static_cast<uint8_t>(vel));
    }
    FileBuilder &noteOff(uint32_t tick, int ch, int key) {
        return channel(tick, static_cast<uint8_t>(0x80 | ch), static_cast<uint8_t>(key), 64);
    }
    FileBuilder &program(uint32_t tick, int ch, int prog) {
        return channel(tick, static_cast<uint8_t>(0xC0 | ch), static_cast<uint8_t>(prog));
    }
    FileBuilder &control(uint32_t tick, int ch, int cc, int value) {
        return channel(tick, static_cast<uint8_t>(0xB0 | ch), static_cast<uint8_t>(cc), static_cast<uint8_t>(value));
    }
    FileBuilder &tempo(uint32_t tick, uint32_t micros) {
        return meta(tick, 0x51, {uint8_t(micros >> 16), uint8_t(micros >> 8), uint8_t(micros)});
    }
    FileBuilder &endOfTrack(uint32_t tick) { return meta(tick, 0x2F, {}); }
    FileBuilder &meta(uint32_t tick, uint8_t type, const std::vector<uint8_t> &payload) {
        smf::Event e;
        e.tick = tick;
        e.status = 0xFF;
        e.meta = type;
        return payloadEvent(e, payload);
    }
    FileBuilder &sysEx(uint32_t tick, const std::vector<uint8_t> &payload) {
        smf::Event e;
        e.tick = tick;
        e.status = 0xF0;
        return payloadEvent(e, payload);
    }
    smf::File &file() { return file_; }

private:
    FileBuilder &add(smf::Event e) {
        e.track = static_cast<uint16_t>(file_.tracks.size() - 1);
        file_.tracks.back().push_back(e);
        return *this;
    }
    FileBuilder &payloadEvent(smf::Event e, const std::vector<uint8_t> &payload) {
        e.offset = static_cast<uint32_t>(file_.bytes.size());
        e.length = static_cast<uint32_t>(payload.size());
        file_.bytes.insert(file_.bytes.end(), payload.begin(), payload.end());
        return add(e);
    }
    smf::File file_;
};

} // namespace tw::sequencer::test
