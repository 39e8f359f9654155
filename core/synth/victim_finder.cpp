// VictimFinder: candidates ranked once per control block, each list consumed from its front.
#include "victim_finder.h"

#include <algorithm>

namespace tw::synth {

void VictimFinder::allocate(size_t slots) {
    released_.reserve(slots);
    quiet_.reserve(slots);
    late_.reserve(slots);
    releasedKeys_.reserve(slots);
    quietKeys_.reserve(slots);
}

// Keeps the kKept first of keys by less, in order, as slots in list; tells whether that is all of them.
template <size_t kKept, typename Key, typename Less>
static bool keepFirst(std::vector<Key> &keys, Less less, std::vector<int> &list) {
    const bool all = keys.size() <= kKept;
    if (!all) {
        std::nth_element(keys.begin(), keys.begin() + kKept, keys.end(), less);
        keys.resize(kKept);
    }
    std::sort(keys.begin(), keys.end(), less);
    list.clear();
    for (const Key &c : keys)
        list.push_back(c.slot);
    return all;
}

void VictimFinder::rank(const std::vector<Voice> &voices, const VoicePool &pool, uint32_t block) {
    releasedKeys_.clear();
    quietKeys_.clear();
    late_.clear();
    pool.forEachUsed([&](int slot) {
        const Voice &v = voices[slot];
        if (!eligible(v, block))
            return;
        (v.state() == Voice::State::kReleased ? releasedKeys_ : quietKeys_).push_back({v.loudness(), v.order(), slot});
    });
    releasedAll_ = keepFirst<kRanked>(
        releasedKeys_, [](const Candidate &a, const Candidate &b) { return a.order < b.order; }, released_);
    quietAll_ = keepFirst<kRanked>(
        quietKeys_,
        [](const Candidate &a, const Candidate &b) {
            return a.loudness != b.loudness ? a.loudness < b.loudness : a.order < b.order;
        },
        quiet_);
    releasedNext_ = quietNext_ = 0;
    rankedBlock_ = block;
}

int VictimFinder::firstReleased(const std::vector<Voice> &voices, uint32_t block) {
    while (releasedNext_ < released_.size()) {
        const Voice &v = voices[released_[releasedNext_]];
        if (eligible(v, block) && v.state() == Voice::State::kReleased)
            break;
        ++releasedNext_;
    }
    int best = releasedNext_ < released_.size() ? released_[releasedNext_] : VoicePool::kNone;
    for (int slot : late_) {
        const Voice &v = voices[slot];
        if (eligible(v, block) && v.state() == Voice::State::kReleased &&
            (best == VoicePool::kNone || v.order() < voices[best].order()))
            best = slot;
    }
    return best;
}

int VictimFinder::firstQuiet(const std::vector<Voice> &voices, uint32_t block) {
    while (quietNext_ < quiet_.size()) {
        const Voice &v = voices[quiet_[quietNext_]];
        if (eligible(v, block) && v.state() != Voice::State::kReleased)
            return quiet_[quietNext_];
        ++quietNext_;
    }
    return VoicePool::kNone;
}

int VictimFinder::choose(const std::vector<Voice> &voices, const VoicePool &pool, uint32_t block) {
    if (rankedBlock_ != block)
        rank(voices, pool, block);
    for (int attempt = 0; attempt < 2; ++attempt) {
        int slot = firstReleased(voices, block);
        if (slot == VoicePool::kNone && !releasedAll_) {
            rank(voices, pool, block); // the ranked ones are gone; younger ones remain
            continue;
        }
        if (slot == VoicePool::kNone)
            slot = firstQuiet(voices, block);
        if (slot == VoicePool::kNone && !quietAll_) {
            rank(voices, pool, block);
            continue;
        }
        return slot;
    }
    return VoicePool::kNone;
}

void VictimFinder::released(int slot, const Voice &voice, uint32_t block) {
    if (rankedBlock_ != block || !eligible(voice, block) || voice.state() != Voice::State::kReleased)
        return;
    if (late_.size() == late_.capacity()) {
        forget();
        return;
    }
    late_.push_back(slot);
}

} // namespace tw::synth
