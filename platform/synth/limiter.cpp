// Peak limiter: the required gain's sliding minimum, box-smoothed over the look-ahead so the gain is already
// down when a peak leaves the delay line; slow exponential recovery afterwards.
#include "limiter.h"

#include <cmath>

namespace tw::synth {

void Limiter::setup(float sampleRate, float ceiling, float releaseSeconds) {
    ceiling_ = ceiling;
    constexpr float kMargin = 0.9995f;  // aim slightly below the ceiling; the hard clamp then never acts
    target_ = ceiling * kMargin;
    releaseCoeff_ = 1.0f - std::exp(-1.0f / (releaseSeconds * sampleRate));
    clear();
}

void Limiter::clear() {
    for (int i = 0; i < kRing; ++i) delayLeft_[i] = delayRight_[i] = 0.0f;
    for (auto& h : history_) h = 1.0f;
    sum_ = kLookAhead;
    head_ = tail_ = 0;
    frame_ = 0;
    gain_ = 1.0f;
}

void Limiter::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int n) {
    constexpr unsigned kMask = kRing - 1;
    constexpr unsigned kDelay = latency();
    for (int k = 0; k < n; ++k) {
        const float l = inLeft[k], r = inRight[k];
        const float peak = std::fmax(std::fabs(l), std::fabs(r));
        const float need = peak > target_ ? target_ / peak : 1.0f;
        const unsigned f = frame_;
        delayLeft_[f & kMask] = l;
        delayRight_[f & kMask] = r;

        while (head_ != tail_ && queueGain_[(tail_ - 1) & kMask] >= need) --tail_;
        queueFrame_[tail_ & kMask] = f;
        queueGain_[tail_ & kMask] = need;
        ++tail_;
        while (f - queueFrame_[head_ & kMask] >= static_cast<unsigned>(kLookAhead)) ++head_;
        const float held = queueGain_[head_ & kMask];

        float& slot = history_[f % kLookAhead];
        sum_ += static_cast<double>(held) - slot;
        slot = held;
        float smooth = static_cast<float>(sum_ * (1.0 / kLookAhead));
        if (smooth > 1.0f) smooth = 1.0f;
        gain_ = smooth < gain_ ? smooth : gain_ + (smooth - gain_) * releaseCoeff_;

        const unsigned d = (f - kDelay) & kMask;
        float ol = delayLeft_[d] * gain_, orr = delayRight_[d] * gain_;
        ol = ol > ceiling_ ? ceiling_ : (ol < -ceiling_ ? -ceiling_ : ol);
        orr = orr > ceiling_ ? ceiling_ : (orr < -ceiling_ ? -ceiling_ : orr);
        outLeft[k] = ol;
        outRight[k] = orr;
        frame_ = f + 1;
    }
}

}  // namespace tw::synth
