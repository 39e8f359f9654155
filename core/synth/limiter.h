// Look-ahead stereo peak limiter: output never exceeds the ceiling, gain changes are smooth.
#pragma once

#include "synth.h"

namespace tw::synth {

class Limiter {
public:
    static constexpr int kLookAhead = Synth::kLimiterLookAhead; // frames; the gain ramps down over this span

    // Allocates the delay and history buffers; ceiling is linear full scale, release in seconds.
    void setup(float sampleRate, float ceiling, float releaseSeconds);
    // Limits n frames of input into output (buffers may be the same); output lags input by latency() frames.
    void process(const float *inLeft, const float *inRight, float *outLeft, float *outRight, int n);
    void clear();

    static constexpr int latency() { return kLookAhead - 1; }
    // Gain applied to the latest output frame (1 when idle).
    float currentGain() const { return gain_; }

private:
    static constexpr int kRing = 128; // power of two above kLookAhead
    bool passThrough(const float *inLeft, const float *inRight, float *outLeft, float *outRight, int n);

    float ceiling_ = 1.0f, target_ = 1.0f, releaseCoeff_ = 0.0f;
    float delayLeft_[kRing] = {}, delayRight_[kRing] = {};
    // Sliding minimum of the required gain over the look-ahead span: a monotonic queue of (frame, gain).
    unsigned queueFrame_[kRing] = {};
    float queueGain_[kRing] = {};
    unsigned head_ = 0, tail_ = 0;   // queue indices (mod kRing)
    float history_[kLookAhead] = {}; // the sliding minimum's recent values, averaged for a smooth ramp
    double sum_ = kLookAhead;
    unsigned frame_ = 0;
    unsigned quietFrames_ = 0; // consecutive frames that needed no gain reduction
    float gain_ = 1.0f;
};

} // namespace tw::synth
