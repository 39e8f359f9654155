// Plays a segment into a synthesizer, sample-exact, for real-time pull and offline rendering alike.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "core/sequencer/event_hook.h"
#include "core/sequencer/segment.h"
#include "core/sequencer/sound_target.h"

namespace tw::sequencer {

constexpr int kMinMasterVolume = -2000; // hundredths of a decibel
constexpr int kMaxMasterVolume = 2000;
constexpr float kTailSilence = 0.001f;     // -60 dBFS: the level under which the tail counts as gone
constexpr int kTailQuietMilliseconds = 50; // the tail must stay under that level this long
constexpr int kMaxTailSeconds = 2;         // never render longer than this past the segment's end

// Events sound at round(reference time x rate / 10^7) samples. The synthesizer is always called on the same
// sample boundaries (a fixed 64-frame grid split at event positions), whatever frame counts the caller asks
// for, so a real-time callback and an offline loop produce identical samples.
class Player {
public:
    static constexpr int kGridFrames = 64;

    explicit Player(SoundTarget &target);

    // Takes a segment to play (kept by reference; it must outlive the player or the next load) and prepares
    // its sample positions at the segment's current tempo factor. Not real-time safe: allocates.
    void load(const Segment &segment);
    void setHook(EventHook *hook) { hook_ = hook; }
    // Master volume in hundredths of a decibel, clamped to -2000..+2000. May be called from any thread while
    // another renders; the synthesizer gets it at the start of the next render call (or at start()).
    void setMasterVolume(int hundredthsDb);
    int masterVolume() const { return masterVolume_.load(std::memory_order_relaxed); }

    // Resets the synthesizer and rewinds to the start of the segment.
    void start();
    // Renders up to frames of stereo output; returns how many were written (fewer only at the end, the rest
    // of both buffers then holds silence). Allocates nothing.
    int render(float *left, float *right, int frames);
    // As render(), but stops where the tail begins: whatever follows depends on the output's level, so it is
    // rendered by render(). Returns 0 there, with every frame before it delivered.
    int renderBeforeTail(float *left, float *right, int frames);
    bool finished() const { return finished_; }

    // Position of the next sample to deliver, in reference time (100 ns units) and in samples.
    int64_t positionReference() const;
    // Both may be read from another thread (a position display) while the rendering thread plays.
    int64_t positionSamples() const { return delivered_.load(std::memory_order_relaxed); }
    // True once the whole segment has been delivered and only its tail remains (the end notification point).
    bool pastEnd() const { return positionSamples() >= endSample_; }
    // Sample at which the segment's length ends at the prepared tempo factor.
    int64_t endSample() const { return endSample_; }
    int sampleRate() const { return rate_; }

private:
    struct NoteState {
        bool sounding;
        uint8_t channel;
        uint8_t key;
    };

    int64_t toSample(int64_t ref) const;
    int renderFrames(float *left, float *right, int frames, bool beforeTail);
    // Every event is (or is about to be) dispatched and the segment's length is rendered: the next block
    // is tail.
    bool tailReached() const;
    void fillBlock();
    void dispatch(const SegmentEvent &event);
    void dispatchNote(const SegmentEvent &event);
    void dispatchPatch(const SegmentEvent &event);
    void dispatchChannel(const SegmentEvent &event);
    int trimAtQuietTail(int frames);

    SoundTarget &target_;
    EventHook *hook_ = nullptr;
    const Segment *segment_ = nullptr;
    std::vector<int64_t> eventSamples_; // sample position of each segment event
    std::vector<NoteState> notes_;      // what each note's note-off must end
    int rate_ = 44100;
    std::atomic<int> masterVolume_{0}; // written by any thread, read by the rendering thread
    int appliedVolume_ = 0;            // what the synthesizer was last given (rendering thread)
    int64_t endSample_ = 0;
    int64_t capSample_ = 0;
    int64_t rendered_ = 0;              // samples the synthesizer has produced
    std::atomic<int64_t> delivered_{0}; // samples handed to the caller; written by the rendering thread only
    size_t nextEvent_ = 0;
    int64_t quietRun_ = 0; // consecutive tail samples under the silence level
    int64_t quietNeeded_ = 0;
    bool finished_ = true;
    float blockLeft_[kGridFrames] = {};
    float blockRight_[kGridFrames] = {};
    int blockLength_ = 0;
    int blockRead_ = 0;
    bool lastBlock_ = false;
};

} // namespace tw::sequencer
