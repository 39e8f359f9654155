// 4-point cubic (Catmull-Rom) interpolation of 16-bit sample data, with a coefficient table per fraction.
#pragma once

#include <cstdint>

#if defined(__SSE2__) || defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>
#define TW_SYNTH_SSE2 1
#endif

namespace tw::synth {

constexpr int kInterpBits = 10;  // fraction resolution of the table
constexpr int kInterpSteps = 1 << kInterpBits;

// Row i serves fractions [i, i + 1) / kInterpSteps and holds the coefficients of the middle of that range, so
// plain truncation of the fraction gives the same error bound as rounding.
struct InterpTable {
    alignas(16) float c[kInterpSteps][4];
};

constexpr InterpTable MakeInterpTable() {
    InterpTable t{};
    for (int i = 0; i < kInterpSteps; ++i) {
        const float f = (i + 0.5f) / kInterpSteps, f2 = f * f, f3 = f2 * f;
        t.c[i][0] = -0.5f * f3 + f2 - 0.5f * f;
        t.c[i][1] = 1.5f * f3 - 2.5f * f2 + 1.0f;
        t.c[i][2] = -1.5f * f3 + 2.0f * f2 + 0.5f * f;
        t.c[i][3] = 0.5f * f3 - 0.5f * f2;
    }
    return t;
}

inline constexpr InterpTable kInterp = MakeInterpTable();

// Table row for the fractional part of a 32.32 position.
inline const float* interpRow(uint64_t phase) { return kInterp.c[static_cast<uint32_t>(phase) >> (32 - kInterpBits)]; }

// Interpolated value from the points before, at, and two after the position. The sum order matches
// interpolate4() so that both paths give identical results.
inline float interpolate(float p0, float p1, float p2, float p3, const float* c) {
    return (p0 * c[0] + p1 * c[1]) + (p2 * c[2] + p3 * c[3]);
}

// Four consecutive outputs from data positions phase, phase + inc, ...; every point read must exist.
inline void interpolate4(const int16_t* data, uint64_t phase, uint64_t inc, float* out) {
#ifdef TW_SYNTH_SSE2
    __m128 v[4];
    for (int j = 0; j < 4; ++j) {
        const int16_t* p = data + (phase >> 32) - 1;
        __m128i raw = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        raw = _mm_srai_epi32(_mm_unpacklo_epi16(raw, raw), 16);
        v[j] = _mm_mul_ps(_mm_cvtepi32_ps(raw), _mm_load_ps(interpRow(phase)));
        phase += inc;
    }
    _MM_TRANSPOSE4_PS(v[0], v[1], v[2], v[3]);
    _mm_storeu_ps(out, _mm_add_ps(_mm_add_ps(v[0], v[1]), _mm_add_ps(v[2], v[3])));
#else
    for (int j = 0; j < 4; ++j) {
        const int16_t* p = data + (phase >> 32);
        out[j] = interpolate(p[-1], p[0], p[1], p[2], interpRow(phase));
        phase += inc;
    }
#endif
}

}  // namespace tw::synth
