// Chooses the voice to steal when the pool is full, as the SoundFont players do: a released voice first (the
// oldest), else the quietest; never one started in the current control block, which has not been heard yet.
// Dense files steal on almost every note-on, so the candidates of a block are ranked once and handed out in
// order; a voice released after that joins them.
#pragma once

#include <cstdint>
#include <vector>

#include "voice.h"
#include "voice_pool.h"

namespace tw::synth {

class VictimFinder {
public:
    // Sizes the lists for slots voices; called once, when the synth is made.
    void allocate(size_t slots);
    // The slot to steal in control block block, or VoicePool::kNone when no voice may be stolen.
    int choose(const std::vector<Voice> &voices, const VoicePool &pool, uint32_t block);
    // A voice was released: it is a candidate from now on.
    void released(int slot, const Voice &voice, uint32_t block);
    // Loudness and states are taken afresh at the next choice (a new block, a reset).
    void forget() { rankedBlock_ = kNever; }

private:
    static constexpr uint32_t kNever = 0xFFFFFFFFu;
    static constexpr size_t kRanked = 32; // candidates ranked at once of each kind

    // A candidate's ranking keys, copied out of its voice: the sort then reads a small array, not the voices.
    struct Candidate {
        float loudness;
        uint32_t order;
        int slot;
    };

    static bool eligible(const Voice &v, uint32_t block) { return v.live() && v.startBlock() != block; }
    void rank(const std::vector<Voice> &voices, const VoicePool &pool, uint32_t block);
    int firstReleased(const std::vector<Voice> &voices, uint32_t block);
    int firstQuiet(const std::vector<Voice> &voices, uint32_t block);

    uint32_t rankedBlock_ = kNever;
    std::vector<int> released_, quiet_, late_; // ranked released, ranked unreleased, released since ranking
    size_t releasedNext_ = 0, quietNext_ = 0;
    bool releasedAll_ = false, quietAll_ = false; // the ranked list holds every candidate of its kind
    std::vector<Candidate> releasedKeys_, quietKeys_;
};

} // namespace tw::synth
