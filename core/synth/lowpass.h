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
        if (!active_)
            x1_ = x2_ = y1_ = y2_ = 0.0f; // stale state from long ago would click
        active_ = true;
        const float limit = kMaxFraction * sampleRate;
        const float fc = cutoffHz > limit ? limit : cutoffHz;
        // Resonance: the SoundFont amount (cB) less the 3 dB a two-pole filter has at its cutoff anyway, so 0 is
        // Butterworth; the pass band drops by half the amount, keeping loud resonances from overloading.
        // Envelopes and LFOs move the cutoff every block; the resonance hardly ever changes.
        if (resonanceCb != resonanceCb_) {
            resonanceCb_ = resonanceCb;
            q_ = exp2Fast((resonanceCb * 0.1f - kButterworthDb) * (3.3219281f / 20.0f));
            passGain_ = exp2Fast(resonanceCb * (-3.3219281f / 400.0f));
        }
        const float w0 = 2.0f * kPi * fc / sampleRate;
        const float cw = cosHalfTurn(w0), alpha = sinHalfTurn(w0) / (2.0f * q_);
        const float a0 = 1.0f / (1.0f + alpha);
        b1_ = (1.0f - cw) * a0 * passGain_;
        b0_ = 0.5f * b1_;
        a1_ = -2.0f * cw * a0;
        a2_ = (1.0f - alpha) * a0;
        return true;
    }

    // Recursion memory, copied into locals by the caller's inner loop.
    struct State {
        float x1, x2, y1, y2;
    };
    State state() const { return {x1_, x2_, y1_, y2_}; }
    void setState(const State &s) {
        x1_ = s.x1;
        x2_ = s.x2;
        y1_ = s.y1;
        y2_ = s.y2;
    }
    // One sample through the filter. The terms not depending on the last output are summed first: only one
    // multiply and one subtraction sit on the recursion's critical path.
    float tick(State &s, float x) const {
        const float t = b0_ * (x + s.x2) + b1_ * s.x1 - a2_ * s.y2;
        const float y = t - a1_ * s.y1;
        s.x2 = s.x1;
        s.x1 = x;
        s.y2 = s.y1;
        s.y1 = y;
        return y;
    }

    struct Coefficients {
        float b0, b1, a1, a2;
    };
    Coefficients coefficients() const { return {b0_, b1_, a1_, a2_}; }

    void reset() {
        x1_ = x2_ = y1_ = y2_ = 0.0f;
        active_ = false;
    }

private:
    static constexpr float kOpenFraction = 0.45f; // cutoff at or above this share of the rate counts as open
    static constexpr float kMaxFraction = 0.48f;
    static constexpr float kButterworthDb = 3.0103f; // a Butterworth low-pass is 3 dB down at its cutoff

    float b0_ = 0, b1_ = 0, a1_ = 0, a2_ = 0;
    float resonanceCb_ = -1.0f, q_ = 1.0f, passGain_ = 1.0f; // q and gain of the resonance last set
    float x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
    bool active_ = false;
};

} // namespace tw::synth
