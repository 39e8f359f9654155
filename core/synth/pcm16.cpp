// Four frames a step where SSE2 is there: the C library's rounding costs as much as the synthesizer's mixing
// under some runtimes.
#include "pcm16.h"

#include <cmath>

#include "interpolation.h" // TW_SYNTH_SSE2

namespace tw::synth {

namespace {
constexpr float kFullScale = 32767.0f, kLowest = -32768.0f;

int16_t toPcm(float v) {
    const float scaled = v * kFullScale;
    if (!(scaled > kLowest))
        return -32768;
    return static_cast<int16_t>(scaled < kFullScale ? std::lrint(scaled) : 32767);
}
} // namespace

void interleavePcm16(const float *left, const float *right, int frames, int16_t *out) {
    int i = 0;
#ifdef TW_SYNTH_SSE2
    const __m128 scale = _mm_set1_ps(kFullScale), lo = _mm_set1_ps(kLowest), hi = _mm_set1_ps(kFullScale);
    auto toInt = [&](const float *p) {
        // max() yields the bound for NaN, which min() keeps.
        return _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_loadu_ps(p), scale), lo), hi));
    };
    for (; i + 4 <= frames; i += 4) {
        const __m128i l = toInt(left + i), r = toInt(right + i);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 2 * i),
                         _mm_packs_epi32(_mm_unpacklo_epi32(l, r), _mm_unpackhi_epi32(l, r)));
    }
#endif
    for (; i < frames; ++i) {
        out[2 * i] = toPcm(left[i]);
        out[2 * i + 1] = toPcm(right[i]);
    }
}

} // namespace tw::synth
