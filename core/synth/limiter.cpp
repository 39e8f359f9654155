// Peak limiter: the required gain's sliding minimum, box-smoothed over the look-ahead so the gain is already
// down when a peak leaves the delay line; slow exponential recovery afterwards.
#include "limiter.h"

#include <cmath>

namespace tw::synth {

void Limiter::setup(float sampleRate, float ceiling, float releaseSeconds) {
    ceiling_ = ceiling;
    constexpr float kMargin = 0.9995f; // aim slightly below the ceiling; the hard clamp then never acts
    target_ = ceiling * kMargin;
    releaseCoeff_ = 1.0f - std::exp(-1.0f / (releaseSeconds * sampleRate));
    clear();
}

void Limiter::clear() {
    for (int i = 0; i < kRing; ++i)
        delayLeft_[i] = delayRight_[i] = 0.0f;
    for (auto &h : history_)
        h = 1.0f;
    sum_ = kLookAhead;
    head_ = tail_ = 0;
    frame_ = 0;
    gain_ = 1.0f;
    quietFrames_ = 0;
}

bool Limiter::passThrough(const float *inLeft, const float *inRight, float *outLeft, float *outRight, int n) {
    constexpr unsigned kMask = kRing - 1;
    constexpr unsigned kDelay = latency();
    // Only when the whole look-ahead history asked for no reduction and the gain has fully recovered: then the
    // limiter is a plain delay as long as no input frame exceeds the target.
    if (quietFrames_ < 2u * kLookAhead || gain_ != 1.0f || n > kRing - kLookAhead)
        return false;
    float peak = 0.0f;
    for (int k = 0; k < n; ++k) {
        const float l = std::fabs(inLeft[k]), r = std::fabs(inRight[k]);
        peak = l > peak ? l : peak;
        peak = r > peak ? r : peak;
    }
    if (peak > target_)
        return false;
    unsigned f = frame_;
    for (int k = 0; k < n; ++k, ++f) {
        delayLeft_[f & kMask] = inLeft[k];
        delayRight_[f & kMask] = inRight[k];
        outLeft[k] = delayLeft_[(f - kDelay) & kMask];
        outRight[k] = delayRight_[(f - kDelay) & kMask];
    }
    frame_ = f;
    quietFrames_ += n;
    // The state the per-frame path would have reached: one queue entry asking for nothing, history all 1.
    head_ = 0;
    tail_ = 1;
    queueFrame_[0] = f - 1;
    queueGain_[0] = 1.0f;
    sum_ = kLookAhead;
    return true;
}

void Limiter::process(const float *inLeft, const float *inRight, float *outLeft, float *outRight, int n) {
    constexpr unsigned kMask = kRing - 1;
    constexpr unsigned kDelay = latency();
    constexpr float kRecovered = 1.0f - 1e-6f;
    if (passThrough(inLeft, inRight, outLeft, outRight, n))
        return;
    for (int k = 0; k < n; ++k) {
        const float l = inLeft[k], r = inRight[k];
        const float al = std::fabs(l), ar = std::fabs(r);
        const float peak = al > ar ? al : ar; // std::fmax would be a library call: it must handle NaN
        const float need = peak > target_ ? target_ / peak : 1.0f;
        const unsigned f = frame_;
        delayLeft_[f & kMask] = l;
        delayRight_[f & kMask] = r;

        while (head_ != tail_ && queueGain_[(tail_ - 1) & kMask] >= need)
            --tail_;
        queueFrame_[tail_ & kMask] = f;
        queueGain_[tail_ & kMask] = need;
        ++tail_;
        while (f - queueFrame_[head_ & kMask] >= static_cast<unsigned>(kLookAhead))
            ++head_;
        const float held = queueGain_[head_ & kMask];

        float &slot = history_[f % kLookAhead];
        sum_ += static_cast<double>(held) - slot;
        slot = held;
        float smooth = static_cast<float>(sum_ * (1.0 / kLookAhead));
        if (smooth > 1.0f)
            smooth = 1.0f;
        gain_ = smooth < gain_ ? smooth : gain_ + (smooth - gain_) * releaseCoeff_;
        if (gain_ > kRecovered && smooth == 1.0f)
            gain_ = 1.0f;
        quietFrames_ = need < 1.0f ? 0 : quietFrames_ + 1;

        const unsigned d = (f - kDelay) & kMask;
        float ol = delayLeft_[d] * gain_, orr = delayRight_[d] * gain_;
        ol = ol > ceiling_ ? ceiling_ : (ol < -ceiling_ ? -ceiling_ : ol);
        orr = orr > ceiling_ ? ceiling_ : (orr < -ceiling_ ? -ceiling_ : orr);
        outLeft[k] = ol;
        outRight[k] = orr;
        frame_ = f + 1;
    }
}

} // namespace tw::synth
