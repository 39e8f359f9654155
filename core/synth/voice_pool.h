// Which voice slots are in use, in slot order, and which of them play each channel's keys: note-on, note-off and
// stealing touch only the voices concerned instead of walking the whole pool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "channel_state.h"

namespace tw::synth {

class VoicePool {
public:
    static constexpr int kNone = -1;

    // Sizes the index for slots voices; the only allocation, made when the synth is created.
    void allocate(size_t slots);

    // The lowest free slot, or kNone.
    int firstFree() const;
    // Marks a slot in use and files it under its channel and key.
    void take(int slot, int channel, int key);
    // Marks a slot free and takes it off its key's list.
    void give(int slot);
    bool used(int slot) const { return (bits_[static_cast<size_t>(slot) >> 6] >> (slot & 63)) & 1u; }
    int usedCount() const { return usedCount_; }
    void clear();

    // Calls f(slot) for every slot in use, lowest first. f may give() the slot it is called for.
    template <typename F> void forEachUsed(F f) const {
        for (size_t w = 0; w < bits_.size(); ++w) {
            uint64_t word = bits_[w];
            while (word) {
                const int bit = __builtin_ctzll(word);
                word &= word - 1;
                f(static_cast<int>(w * 64 + bit));
            }
        }
    }
    // The slots filed under a channel's key: first, then next() until kNone. A slot given back while walking
    // must be stepped past (next()) before give().
    int firstOfKey(int channel, int key) const { return heads_[channel * kKeys + key]; }
    int next(int slot) const { return next_[slot]; }

private:
    static constexpr int kKeys = 128;

    std::vector<uint64_t> bits_; // one bit per slot: in use
    std::vector<int32_t> next_, prev_;
    std::vector<int16_t> keyOf_; // channel * 128 + key of each slot in use
    int32_t heads_[kChannelCount * kKeys];
    int usedCount_ = 0;
};

} // namespace tw::synth
