// Resonant two-pole low-pass filter of a voice; coefficients are set once per control block.
#pragma once

#include <cmath>

#include "synth_math.h"

namespace tw::synth {

class LowPass {
public:
    // Sets cutoff (Hz) and resonance (peak height in centibels above the pass band). Returns false when the
    // filter would be transparent (cutoff near Nyquist, no resonance); the caller then skips process().
    bool set(float cutoffHz, float resonanceCb, float sampleRate) {
        const bool open = cutoffHz >= kOpenFraction * sampleRate && resonanceCb < 1.0f;
        if (open) {
            active_ = false;
            return false;
        }
        if (!active_) x1_ = x2_ = y1_ = y2_ = 0.0f;  // stale state from long ago would click
        active_ = true;
        const float limit = kMaxFraction * sampleRate;
        const float fc = cutoffHz > limit ? limit : cutoffHz;
        float q = std::pow(10.0f, resonanceCb * (1.0f / 200.0f));
        if (q < kButterworthQ) q = kButterworthQ;
        const float w0 = 2.0f * kPi * fc / sampleRate;
        const float cw = std::cos(w0), alpha = std::sin(w0) / (2.0f * q);
        const float a0 = 1.0f / (1.0f + alpha);
        b1_ = (1.0f - cw) * a0;
        b0_ = 0.5f * b1_;
        a1_ = -2.0f * cw * a0;
        a2_ = (1.0f - alpha) * a0;
        return true;
    }

    // Filters n samples in place.
    void process(float* buf, int n) {
        float x1 = x1_, x2 = x2_, y1 = y1_, y2 = y2_;
        const float b0 = b0_, b1 = b1_, a1 = a1_, a2 = a2_;
        for (int i = 0; i < n; ++i) {
            const float x = buf[i];
            const float y = b0 * (x + x2) + b1 * x1 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            buf[i] = y;
        }
        x1_ = x1;
        x2_ = x2;
        y1_ = y1;
        y2_ = y2;
    }

    void reset() {
        x1_ = x2_ = y1_ = y2_ = 0.0f;
        active_ = false;
    }

private:
    static constexpr float kOpenFraction = 0.45f;  // cutoff at or above this share of the rate counts as open
    static constexpr float kMaxFraction = 0.48f;
    static constexpr float kButterworthQ = 0.70710678f;

    float b0_ = 0, b1_ = 0, a1_ = 0, a2_ = 0;
    float x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
    bool active_ = false;
};

}  // namespace tw::synth
