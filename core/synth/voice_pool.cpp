// VoicePool: a bit per slot for the slots in use, and doubly linked lists of the slots of each channel's key.
#include "voice_pool.h"

#include <algorithm>

namespace tw::synth {

void VoicePool::allocate(size_t slots) {
    bits_.assign((slots + 63) / 64, 0);
    next_.assign(slots, kNone);
    prev_.assign(slots, kNone);
    keyOf_.assign(slots, 0);
    std::fill(std::begin(heads_), std::end(heads_), kNone);
    usedCount_ = 0;
}

void VoicePool::clear() {
    std::fill(bits_.begin(), bits_.end(), 0);
    std::fill(next_.begin(), next_.end(), kNone);
    std::fill(prev_.begin(), prev_.end(), kNone);
    std::fill(std::begin(heads_), std::end(heads_), kNone);
    usedCount_ = 0;
}

int VoicePool::firstFree() const {
    for (size_t w = 0; w < bits_.size(); ++w) {
        const uint64_t freeBits = ~bits_[w];
        if (freeBits) {
            const size_t slot = w * 64 + static_cast<size_t>(__builtin_ctzll(freeBits));
            return slot < next_.size() ? static_cast<int>(slot) : kNone; // past the end: the pool is full
        }
    }
    return kNone;
}

void VoicePool::take(int slot, int channel, int key) {
    bits_[static_cast<size_t>(slot) >> 6] |= uint64_t(1) << (slot & 63);
    ++usedCount_;
    const int list = channel * kKeys + key;
    keyOf_[slot] = static_cast<int16_t>(list);
    prev_[slot] = kNone;
    next_[slot] = heads_[list];
    if (heads_[list] != kNone)
        prev_[heads_[list]] = slot;
    heads_[list] = slot;
}

void VoicePool::give(int slot) {
    if (!used(slot))
        return;
    bits_[static_cast<size_t>(slot) >> 6] &= ~(uint64_t(1) << (slot & 63));
    --usedCount_;
    if (prev_[slot] != kNone)
        next_[prev_[slot]] = next_[slot];
    else
        heads_[keyOf_[slot]] = next_[slot];
    if (next_[slot] != kNone)
        prev_[next_[slot]] = prev_[slot];
    next_[slot] = prev_[slot] = kNone;
}

} // namespace tw::synth
