// Room reverb (parallel damped combs into series all-passes) and the modulated-delay chorus.
#include "reverb.h"

#include <algorithm>
#include <cmath>

#include "synth_math.h"

#if defined(__SSE2__) || defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>
#define TW_CHORUS_SSE2 1
#endif

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
constexpr float kAntiDenormal = 1e-20f; // keeps the feedback paths out of denormal range on any FPU

int scaled(int length, float rate) {
    const int n = static_cast<int>(length * rate / kTuningRate);
    return n < 1 ? 1 : n;
}

// Sine of a phase in periods (0..1), good to about 0.1 %: enough for a modulation sweep.
inline float fastSine(float phase) {
    const float x = phase < 0.5f ? phase * 4.0f - 1.0f : 3.0f - phase * 4.0f; // triangle -1..1
    return x * (1.5f - 0.5f * x * x);                                         // smoothed towards a sine
}
} // namespace

void Reverb::setup(float sampleRate) {
    for (int side = 0; side < 2; ++side) {
        const int spread = side * kStereoSpread;
        for (int i = 0; i < kCombs; ++i)
            combs_[side][i].line.assign(scaled(kCombTuning[i] + spread, sampleRate), 0.f);
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
    for (auto &side : combs_)
        for (auto &c : side) {
            for (auto &v : c.line)
                v = 0.0f;
            c.pos = 0;
            c.store = 0.0f;
        }
    for (auto &side : allPasses_)
        for (auto &a : side) {
            for (auto &v : a.line)
                v = 0.0f;
            a.pos = 0;
        }
}

// Comb-major over the block: each delay line's position stays in a register and the loops have no wrap test
// inside. Every line is longer than a block, so no sample feeds back within the same block.
template <bool kDamped> void Reverb::runCombs(Comb *combs, const float *in, float *acc, int n) const {
    const float feedback = feedback_, damp1 = damp1_, damp2 = damp2_;
    for (int c = 0; c < kCombs; ++c) {
        Comb &comb = combs[c];
        float *line = comb.line.data();
        const int length = static_cast<int>(comb.line.size());
        int pos = comb.pos;
        float store = comb.store;
        for (int k = 0; k < n;) {
            const int run = std::min(n - k, length - pos);
            float *__restrict p = line + pos;
            const float *__restrict x = in + k;
            float *__restrict a = acc + k;
            if (kDamped) {
                for (int i = 0; i < run; ++i) {
                    const float y = p[i];
                    store = y * damp2 + store * damp1;
                    p[i] = x[i] + store * feedback;
                    a[i] += y;
                }
            } else {
                // Undamped: no recursion inside the run, so it vectorises.
                store = p[run - 1];
                for (int i = 0; i < run; ++i) {
                    const float y = p[i];
                    p[i] = x[i] + y * feedback;
                    a[i] += y;
                }
            }
            k += run;
            pos += run;
            if (pos == length)
                pos = 0;
        }
        comb.pos = pos;
        comb.store = store;
    }
}

void Reverb::runAllPasses(AllPass *allPasses, float *acc, int n) {
    for (int a = 0; a < kAllPasses; ++a) {
        AllPass &ap = allPasses[a];
        float *line = ap.line.data();
        const int length = static_cast<int>(ap.line.size());
        int pos = ap.pos;
        for (int k = 0; k < n;) {
            const int run = std::min(n - k, length - pos);
            float *__restrict p = line + pos;
            for (int i = 0; i < run; ++i) {
                const float buffered = p[i];
                const float x = acc[k + i];
                p[i] = x + buffered * kAllPassFeedback;
                acc[k + i] = buffered - x;
            }
            k += run;
            pos += run;
            if (pos == length)
                pos = 0;
        }
        ap.pos = pos;
    }
}

void Reverb::process(const float *send, float *left, float *right, int n) {
    for (int done = 0; done < n; done += kChunk) {
        const int m = std::min(kChunk, n - done);
        float in[kChunk], acc[2][kChunk] = {};
        for (int k = 0; k < m; ++k)
            in[k] = send[done + k] * kInputGain + kAntiDenormal;
        for (int side = 0; side < 2; ++side) {
            if (damp1_ != 0.0f)
                runCombs<true>(combs_[side], in, acc[side], m);
            else
                runCombs<false>(combs_[side], in, acc[side], m);
            runAllPasses(allPasses_[side], acc[side], m);
        }
        const float wet1 = wet1_, wet2 = wet2_;
        for (int k = 0; k < m; ++k) {
            left[done + k] += acc[0][k] * wet1 + acc[1][k] * wet2;
            right[done + k] += acc[1][k] * wet1 + acc[0][k] * wet2;
        }
    }
}

void Chorus::setup(float sampleRate) {
    rate_ = sampleRate;
    constexpr float kMaxDelaySeconds = 0.05f;
    int size = 1;
    while (size < static_cast<int>(kMaxDelaySeconds * sampleRate) + 4)
        size <<= 1;
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
    for (auto &v : line_)
        v = 0.0f;
    pos_ = 0;
    phase_ = 0.0f;
    lfoFrame_ = 0;
}

// The modulation is evaluated every kLfoFrames frames of the chorus's own running count and interpolated
// linearly between, so the delays do not depend on how the caller splits its blocks.
void Chorus::updateDelays() {
    const float voiceOffset = 1.0f / voices_;
    float next = phase_ + phaseStep_ * kLfoFrames;
    if (next >= 1.0f)
        next -= 1.0f;
    for (int v = 0; v < voices_; ++v) {
        float p = phase_ + v * voiceOffset, q = next + v * voiceOffset;
        if (p >= 1.0f)
            p -= 1.0f;
        if (q >= 1.0f)
            q -= 1.0f;
        delayStart_[v] = baseDelay_ + depth_ * fastSine(p);
        delayStep_[v] = (baseDelay_ + depth_ * fastSine(q) - delayStart_[v]) * (1.0f / kLfoFrames);
    }
    phase_ = next;
}

#ifdef TW_CHORUS_SSE2
// The three voices side by side in SIMD lanes (the fourth lane idle, with zero gain).
void Chorus::runVoicesSse(const float *send, float *left, float *right, int run) {
    float *line = line_.data();
    const __m128 start = _mm_set_ps(0.0f, delayStart_[2], delayStart_[1], delayStart_[0]);
    const __m128 step = _mm_set_ps(0.0f, delayStep_[2], delayStep_[1], delayStep_[0]);
    const __m128 gl = _mm_set_ps(0.0f, gainLeft_[2], gainLeft_[1], gainLeft_[0]);
    const __m128 gr = _mm_set_ps(0.0f, gainRight_[2], gainRight_[1], gainRight_[0]);
    const __m128i mask = _mm_set1_epi32(mask_);
    alignas(16) int32_t at[4];
    alignas(16) float out[4];
    for (int i = 0; i < run; ++i) {
        line[pos_] = send[i];
        const __m128 delay = _mm_add_ps(start, _mm_mul_ps(step, _mm_set1_ps(static_cast<float>(lfoFrame_ + i))));
        const __m128i whole = _mm_cvttps_epi32(delay);
        const __m128 frac = _mm_sub_ps(delay, _mm_cvtepi32_ps(whole));
        _mm_store_si128(reinterpret_cast<__m128i *>(at),
                        _mm_and_si128(_mm_sub_epi32(_mm_set1_epi32(pos_), whole), mask));
        const __m128 a = _mm_set_ps(0.0f, line[at[2]], line[at[1]], line[at[0]]);
        const __m128 b =
            _mm_set_ps(0.0f, line[(at[2] - 1) & mask_], line[(at[1] - 1) & mask_], line[(at[0] - 1) & mask_]);
        const __m128 y = _mm_add_ps(a, _mm_mul_ps(_mm_sub_ps(b, a), frac));
        const __m128 yl = _mm_mul_ps(y, gl), yr = _mm_mul_ps(y, gr);
        // Lanes 0..2 summed for each side: (l0 + l1 + l2) and (r0 + r1 + r2).
        const __m128 lo = _mm_unpacklo_ps(yl, yr); // l0 r0 l1 r1
        const __m128 hi = _mm_unpackhi_ps(yl, yr); // l2 r2 l3 r3
        _mm_store_ps(out, _mm_add_ps(_mm_add_ps(lo, _mm_movehl_ps(lo, lo)), hi));
        left[i] += out[0];
        right[i] += out[1];
        pos_ = (pos_ + 1) & mask_;
    }
}
#endif

void Chorus::process(const float *send, float *left, float *right, int n) {
    float *line = line_.data();
    const int mask = mask_;
    for (int k = 0; k < n;) {
        if (lfoFrame_ == 0)
            updateDelays();
        const int run = std::min(n - k, kLfoFrames - lfoFrame_);
#ifdef TW_CHORUS_SSE2
        if (voices_ == kMaxVoices) {
            runVoicesSse(send + k, left + k, right + k, run);
            k += run;
            lfoFrame_ = (lfoFrame_ + run) % kLfoFrames;
            continue;
        }
#endif
        for (int i = 0; i < run; ++i) {
            line[pos_] = send[k + i];
            const float at = static_cast<float>(lfoFrame_ + i);
            float l = 0.0f, r = 0.0f;
            for (int v = 0; v < voices_; ++v) {
                const float delay = delayStart_[v] + delayStep_[v] * at;
                const int whole = static_cast<int>(delay);
                const float frac = delay - whole;
                const float a = line[(pos_ - whole) & mask], b = line[(pos_ - whole - 1) & mask];
                const float y = a + (b - a) * frac;
                l += y * gainLeft_[v];
                r += y * gainRight_[v];
            }
            left[k + i] += l;
            right[k + i] += r;
            pos_ = (pos_ + 1) & mask;
        }
        k += run;
        lfoFrame_ = (lfoFrame_ + run) % kLfoFrames;
    }
}

} // namespace tw::synth
