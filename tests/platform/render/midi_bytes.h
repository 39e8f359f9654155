// Small Standard MIDI Files as byte arrays for render tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw::render::test {

// Format 0, 96 ticks per quarter, default tempo: program 0 on channel 0, then the given keys one quarter each.
inline std::vector<uint8_t> ScaleMidi(const std::vector<int> &keys) {
    std::vector<uint8_t> track = {0x00, 0xC0, 0x00};
    for (int key : keys) {
        const uint8_t k = static_cast<uint8_t>(key);
        track.insert(track.end(), {0x00, 0x90, k, 100, 0x60, 0x80, k, 0x40});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    const uint32_t n = static_cast<uint32_t>(track.size());
    file.insert(file.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

} // namespace tw::render::test
