// Small Standard MIDI Files as byte arrays for render tests.
#pragma once

#include <cstdint>
#include <vector>

#include "support/core/smf/smf_builder.h"

namespace tw::render::test {

// Format 0, 96 ticks per quarter, default tempo: program 0 on channel 0, then the given keys one quarter each.
inline std::vector<uint8_t> ScaleMidi(const std::vector<int> &keys) {
    smftest::Bytes events = {0x00, 0xC0, 0x00};
    for (int key : keys) {
        const uint8_t k = static_cast<uint8_t>(key);
        events.insert(events.end(), {0x00, 0x90, k, 100, 0x60, 0x80, k, 0x40});
    }
    return smftest::SingleTrack(events);
}

} // namespace tw::render::test
