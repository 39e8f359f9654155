// 4-point cubic (Catmull-Rom) interpolation of 16-bit sample data with fixed-point coefficients per fraction.
#pragma once

#include <cstdint>

#if defined(__SSE2__) || defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>
#define TW_SYNTH_SSE2 1
#endif

namespace tw::synth {

constexpr int kInterpBits = 10; // fraction resolution of the table
constexpr int kInterpSteps = 1 << kInterpBits;
constexpr int kCoefOne = 1 << 14;               // coefficient fixed point: 1.0
constexpr float kInterpScale = 1.0f / kCoefOne; // interpolated sums back to sample units

// Row i serves fractions [i, i + 1) / kInterpSteps and holds the coefficients of the middle of that range, so
// truncating the fraction costs no more than rounding would. Each row sums to exactly 1.0: DC passes unchanged.
struct InterpTable {
    alignas(16) int16_t c[kInterpSteps][4];
};

constexpr int RoundToInt(double v) {
    return static_cast<int>(v < 0 ? v - 0.5 : v + 0.5);
}

constexpr InterpTable MakeInterpTable() {
    InterpTable t{};
    for (int i = 0; i < kInterpSteps; ++i) {
        const double f = (i + 0.5) / kInterpSteps, f2 = f * f, f3 = f2 * f;
        const int c0 = RoundToInt(kCoefOne * (-0.5 * f3 + f2 - 0.5 * f));
        const int c2 = RoundToInt(kCoefOne * (-1.5 * f3 + 2.0 * f2 + 0.5 * f));
        const int c3 = RoundToInt(kCoefOne * (0.5 * f3 - 0.5 * f2));
        t.c[i][0] = static_cast<int16_t>(c0);
        t.c[i][1] = static_cast<int16_t>(kCoefOne - c0 - c2 - c3);
        t.c[i][2] = static_cast<int16_t>(c2);
        t.c[i][3] = static_cast<int16_t>(c3);
    }
    return t;
}

inline constexpr InterpTable kInterp = MakeInterpTable();

// Table row for the fractional part of a 32.32 position.
inline const int16_t *interpRow(uint64_t phase) {
    return kInterp.c[static_cast<uint32_t>(phase) >> (32 - kInterpBits)];
}

// Interpolated value (in sample units) from the points before, at, and two after the position. Integer sums
// are exact, so this and interpolate4() agree to the bit.
inline float interpolate(int p0, int p1, int p2, int p3, const int16_t *c) {
    const int32_t sum = (p0 * c[0] + p1 * c[1]) + (p2 * c[2] + p3 * c[3]);
    return static_cast<float>(sum) * kInterpScale;
}

// Four consecutive outputs from data positions phase, phase + inc, ...; every point read must exist.
inline void interpolate4(const int16_t *data, uint64_t phase, uint64_t inc, float *out) {
#ifdef TW_SYNTH_SSE2
    const uint64_t ph1 = phase + inc, ph2 = ph1 + inc, ph3 = ph2 + inc;
    auto points = [data](uint64_t ph) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i *>(data + (ph >> 32) - 1));
    };
    auto coefs = [](uint64_t ph) { return _mm_loadl_epi64(reinterpret_cast<const __m128i *>(interpRow(ph))); };
    const __m128i pa = _mm_unpacklo_epi64(points(phase), points(ph1));
    const __m128i pb = _mm_unpacklo_epi64(points(ph2), points(ph3));
    const __m128i ca = _mm_unpacklo_epi64(coefs(phase), coefs(ph1));
    const __m128i cb = _mm_unpacklo_epi64(coefs(ph2), coefs(ph3));
    // Pairwise products summed: (p0c0 + p1c1, p2c2 + p3c3) per output; then add the pairs.
    const __m128 ma = _mm_castsi128_ps(_mm_madd_epi16(pa, ca));
    const __m128 mb = _mm_castsi128_ps(_mm_madd_epi16(pb, cb));
    const __m128i first = _mm_castps_si128(_mm_shuffle_ps(ma, mb, _MM_SHUFFLE(2, 0, 2, 0)));
    const __m128i second = _mm_castps_si128(_mm_shuffle_ps(ma, mb, _MM_SHUFFLE(3, 1, 3, 1)));
    _mm_storeu_ps(out, _mm_mul_ps(_mm_cvtepi32_ps(_mm_add_epi32(first, second)), _mm_set1_ps(kInterpScale)));
#else
    for (int j = 0; j < 4; ++j) {
        const int16_t *p = data + (phase >> 32);
        out[j] = interpolate(p[-1], p[0], p[1], p[2], interpRow(phase));
        phase += inc;
    }
#endif
}

} // namespace tw::synth
