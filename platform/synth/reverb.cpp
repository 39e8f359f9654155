// Room reverb (parallel damped combs into series all-passes) and the modulated-delay chorus.
#include "reverb.h"

#include <cmath>

#include "synth_math.h"

namespace tw::synth {

namespace {
// Delay lengths in samples at 44.1 kHz; the right side is detuned by a small spread for width.
constexpr int kCombTuning[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllPassTuning[4] = {556, 441, 341, 225};
constexpr int kStereoSpread = 23;
constexpr float kTuningRate = 44100.0f;
constexpr float kInputGain = 0.015f;
constexpr float kWetScale = 3.0f;
constexpr float kRoomScale = 0.28f, kRoomOffset = 0.7f, kDampScale = 0.4f;
constexpr float kAllPassFeedback = 0.5f;
constexpr float kAntiDenormal = 1e-20f;  // keeps the feedback paths out of denormal range on any FPU

int scaled(int length, float rate) {
    const int n = static_cast<int>(length * rate / kTuningRate);
    return n < 1 ? 1 : n;
}

// Sine of a phase in periods (0..1), good to about 0.1 %: enough for a modulation sweep.
inline float fastSine(float phase) {
    const float x = phase < 0.5f ? phase * 4.0f - 1.0f : 3.0f - phase * 4.0f;  // triangle -1..1
    return x * (1.5f - 0.5f * x * x);  // smoothed towards a sine
}
}  // namespace

void Reverb::setup(float sampleRate) {
    for (int side = 0; side < 2; ++side) {
        const int spread = side * kStereoSpread;
        for (int i = 0; i < kCombs; ++i) combs_[side][i].line.assign(scaled(kCombTuning[i] + spread, sampleRate), 0.f);
        for (int i = 0; i < kAllPasses; ++i)
            allPasses_[side][i].line.assign(scaled(kAllPassTuning[i] + spread, sampleRate), 0.f);
    }
    clear();
}

void Reverb::setParameters(float roomSize, float damping, float width, float level) {
    feedback_ = roomSize * kRoomScale + kRoomOffset;
    damp1_ = damping * kDampScale;
    damp2_ = 1.0f - damp1_;
    const float wet = level * kWetScale;
    wet1_ = wet * (width * 0.5f + 0.5f);
    wet2_ = wet * ((1.0f - width) * 0.5f);
}

void Reverb::clear() {
    for (auto& side : combs_)
        for (auto& c : side) {
            for (auto& v : c.line) v = 0.0f;
            c.pos = 0;
            c.store = 0.0f;
        }
    for (auto& side : allPasses_)
        for (auto& a : side) {
            for (auto& v : a.line) v = 0.0f;
            a.pos = 0;
        }
}

void Reverb::process(const float* send, float* left, float* right, int n) {
    const float feedback = feedback_, damp1 = damp1_, damp2 = damp2_;
    float out[2] = {};
    for (int k = 0; k < n; ++k) {
        const float in = send[k] * kInputGain + kAntiDenormal;
        for (int side = 0; side < 2; ++side) {
            float acc = 0.0f;
            for (Comb& c : combs_[side]) {
                float* line = c.line.data();
                const float y = line[c.pos];
                c.store = y * damp2 + c.store * damp1;
                line[c.pos] = in + c.store * feedback;
                if (++c.pos == static_cast<int>(c.line.size())) c.pos = 0;
                acc += y;
            }
            for (AllPass& a : allPasses_[side]) {
                float* line = a.line.data();
                const float buffered = line[a.pos];
                line[a.pos] = acc + buffered * kAllPassFeedback;
                acc = buffered - acc;
                if (++a.pos == static_cast<int>(a.line.size())) a.pos = 0;
            }
            out[side] = acc;
        }
        left[k] += out[0] * wet1_ + out[1] * wet2_;
        right[k] += out[1] * wet1_ + out[0] * wet2_;
    }
}

void Chorus::setup(float sampleRate) {
    rate_ = sampleRate;
    constexpr float kMaxDelaySeconds = 0.05f;
    int size = 1;
    while (size < static_cast<int>(kMaxDelaySeconds * sampleRate) + 4) size <<= 1;
    line_.assign(size, 0.0f);
    mask_ = size - 1;
    clear();
}

void Chorus::setParameters(int voices, float level, float speedHz, float depthMs) {
    constexpr float kMinDelayMs = 2.0f, kMaxDepthMs = 40.0f;
    voices_ = clampTo(voices, 1, kMaxVoices);
    phaseStep_ = speedHz / rate_;
    depth_ = clampTo(depthMs, 0.0f, kMaxDepthMs) * 0.001f * rate_ * 0.5f;
    baseDelay_ = kMinDelayMs * 0.001f * rate_ + depth_;
    // Voices spread from left to right at equal power, together at the requested level.
    for (int v = 0; v < voices_; ++v) {
        const float position = voices_ == 1 ? 0.5f : static_cast<float>(v) / (voices_ - 1);
        const float g = level / voices_;
        gainLeft_[v] = g * std::cos(position * 0.5f * kPi);
        gainRight_[v] = g * std::sin(position * 0.5f * kPi);
    }
}

void Chorus::clear() {
    for (auto& v : line_) v = 0.0f;
    pos_ = 0;
    phase_ = 0.0f;
}

void Chorus::process(const float* send, float* left, float* right, int n) {
    float* line = line_.data();
    const float voiceOffset = 1.0f / voices_;
    for (int k = 0; k < n; ++k) {
        line[pos_] = send[k];
        float l = 0.0f, r = 0.0f;
        for (int v = 0; v < voices_; ++v) {
            float p = phase_ + v * voiceOffset;
            if (p >= 1.0f) p -= 1.0f;
            const float delay = baseDelay_ + depth_ * fastSine(p);
            const int whole = static_cast<int>(delay);
            const float frac = delay - whole;
            const float a = line[(pos_ - whole) & mask_], b = line[(pos_ - whole - 1) & mask_];
            const float y = a + (b - a) * frac;
            l += y * gainLeft_[v];
            r += y * gainRight_[v];
        }
        left[k] += l;
        right[k] += r;
        pos_ = (pos_ + 1) & mask_;
        phase_ += phaseStep_;
        if (phase_ >= 1.0f) phase_ -= 1.0f;
    }
}

}  // namespace tw::synth
