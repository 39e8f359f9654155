// The voice loops eight at a time with AVX2 (x64): eight outputs of the interpolation, eight frames of the mix,
// eight voices' filters side by side. Compiled for AVX2 alone; chosen only where the processor has it.
#include "voice_kernels.h"

#include "interpolation.h"

#if defined(__AVX2__)
#include <immintrin.h>

namespace tw::synth {

namespace {

inline __m128i pointsAt(const int16_t *data, uint64_t ph) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i *>(data + (ph >> 32) - 1));
}
inline __m128i rowAt(uint64_t ph) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i *>(interpRow(ph)));
}
inline __m256i pairOfPairs(__m128i a, __m128i b, __m128i c, __m128i d) {
    return _mm256_set_m128i(_mm_unpacklo_epi64(c, d), _mm_unpacklo_epi64(a, b));
}

// Eight outputs: the pairwise products summed per output as the scalar form sums them, all in exact integers.
inline void interpolate8(const int16_t *data, uint64_t phase, uint64_t inc, float *out) {
    uint64_t ph[8];
    for (int j = 0; j < 8; ++j, phase += inc)
        ph[j] = phase;
    const __m256i pa =
        pairOfPairs(pointsAt(data, ph[0]), pointsAt(data, ph[1]), pointsAt(data, ph[2]), pointsAt(data, ph[3]));
    const __m256i pb =
        pairOfPairs(pointsAt(data, ph[4]), pointsAt(data, ph[5]), pointsAt(data, ph[6]), pointsAt(data, ph[7]));
    const __m256i ca = pairOfPairs(rowAt(ph[0]), rowAt(ph[1]), rowAt(ph[2]), rowAt(ph[3]));
    const __m256i cb = pairOfPairs(rowAt(ph[4]), rowAt(ph[5]), rowAt(ph[6]), rowAt(ph[7]));
    // Per 128-bit lane: outputs (0, 1 | 2, 3) and (4, 5 | 6, 7); the sums come out as (0, 1, 4, 5 | 2, 3, 6, 7).
    const __m256i sums = _mm256_hadd_epi32(_mm256_madd_epi16(pa, ca), _mm256_madd_epi16(pb, cb));
    const __m256i ordered = _mm256_permute4x64_epi64(sums, _MM_SHUFFLE(3, 1, 2, 0));
    _mm256_storeu_ps(out, _mm256_mul_ps(_mm256_cvtepi32_ps(ordered), _mm256_set1_ps(kInterpScale)));
}

uint64_t interpolateAvx2(const int16_t *data, uint64_t phase, uint64_t inc, float *out, int count) {
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        interpolate8(data, phase, inc, out + k);
        phase += inc * 8;
    }
    for (; k < count; ++k) {
        const int16_t *p = data + (phase >> 32);
        out[k] = interpolate(p[-1], p[0], p[1], p[2], interpRow(phase));
        phase += inc;
    }
    return phase;
}

// kSends: bit 0 the reverb send, bit 1 the chorus send.
template <int kSends>
void mixEight(const float *in, int m, const MixGains &g, float *left, float *right, float *rev, float *cho) {
    const __m256 a0 = _mm256_set1_ps(g.a0), da = _mm256_set1_ps(g.da);
    const __m256 cl = _mm256_set1_ps(g.left), cr = _mm256_set1_ps(g.right);
    const __m256 cv = _mm256_set1_ps(g.reverb), cc = _mm256_set1_ps(g.chorus);
    __m256i pos = _mm256_add_epi32(_mm256_set1_epi32(g.base), _mm256_set_epi32(7, 6, 5, 4, 3, 2, 1, 0));
    const __m256i eight = _mm256_set1_epi32(8);
    int k = 0;
    for (; k + 8 <= m; k += 8) {
        const __m256 v =
            _mm256_mul_ps(_mm256_loadu_ps(in + k), _mm256_add_ps(a0, _mm256_mul_ps(da, _mm256_cvtepi32_ps(pos))));
        _mm256_storeu_ps(left + k, _mm256_add_ps(_mm256_loadu_ps(left + k), _mm256_mul_ps(v, cl)));
        _mm256_storeu_ps(right + k, _mm256_add_ps(_mm256_loadu_ps(right + k), _mm256_mul_ps(v, cr)));
        if (kSends & 1)
            _mm256_storeu_ps(rev + k, _mm256_add_ps(_mm256_loadu_ps(rev + k), _mm256_mul_ps(v, cv)));
        if (kSends & 2)
            _mm256_storeu_ps(cho + k, _mm256_add_ps(_mm256_loadu_ps(cho + k), _mm256_mul_ps(v, cc)));
        pos = _mm256_add_epi32(pos, eight);
    }
    for (; k < m; ++k) {
        const float v = in[k] * (g.a0 + g.da * static_cast<float>(g.base + k));
        left[k] += v * g.left;
        right[k] += v * g.right;
        if (kSends & 1)
            rev[k] += v * g.reverb;
        if (kSends & 2)
            cho[k] += v * g.chorus;
    }
}

void mixAvx2(const float *in, int m, const MixGains &g, float *left, float *right, float *rev, float *cho) {
    switch ((rev ? 1 : 0) | (cho ? 2 : 0)) {
    case 1:
        mixEight<1>(in, m, g, left, right, rev, cho);
        break;
    case 2:
        mixEight<2>(in, m, g, left, right, rev, cho);
        break;
    case 3:
        mixEight<3>(in, m, g, left, right, rev, cho);
        break;
    default:
        mixEight<0>(in, m, g, left, right, rev, cho);
        break;
    }
}

// Eight filters, one per lane.
struct LaneGroup8 {
    __m256 b0, b1, a1, a2, x1, x2, y1, y2;

    void load(LowPass *const *f) {
        float c[4][8], s[4][8];
        for (int j = 0; j < 8; ++j) {
            const LowPass::Coefficients k = f[j]->coefficients();
            const LowPass::State st = f[j]->state();
            c[0][j] = k.b0, c[1][j] = k.b1, c[2][j] = k.a1, c[3][j] = k.a2;
            s[0][j] = st.x1, s[1][j] = st.x2, s[2][j] = st.y1, s[3][j] = st.y2;
        }
        b0 = _mm256_loadu_ps(c[0]), b1 = _mm256_loadu_ps(c[1]), a1 = _mm256_loadu_ps(c[2]), a2 = _mm256_loadu_ps(c[3]);
        x1 = _mm256_loadu_ps(s[0]), x2 = _mm256_loadu_ps(s[1]), y1 = _mm256_loadu_ps(s[2]), y2 = _mm256_loadu_ps(s[3]);
    }
    // The same arithmetic as LowPass::tick(), lane by lane.
    __m256 step(__m256 x) {
        const __m256 t = _mm256_sub_ps(_mm256_add_ps(_mm256_mul_ps(b0, _mm256_add_ps(x, x2)), _mm256_mul_ps(b1, x1)),
                                       _mm256_mul_ps(a2, y2));
        const __m256 y = _mm256_sub_ps(t, _mm256_mul_ps(a1, y1));
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
    void store(LowPass *const *f) const {
        float s[4][8];
        _mm256_storeu_ps(s[0], x1);
        _mm256_storeu_ps(s[1], x2);
        _mm256_storeu_ps(s[2], y1);
        _mm256_storeu_ps(s[3], y2);
        for (int j = 0; j < 8; ++j)
            f[j]->setState({s[0][j], s[1][j], s[2][j], s[3][j]});
    }
};

// Rows of eight to columns of eight: r[i][j] becomes r[j][i].
inline void transpose8(__m256 *r) {
    const __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]), t1 = _mm256_unpackhi_ps(r[0], r[1]);
    const __m256 t2 = _mm256_unpacklo_ps(r[2], r[3]), t3 = _mm256_unpackhi_ps(r[2], r[3]);
    const __m256 t4 = _mm256_unpacklo_ps(r[4], r[5]), t5 = _mm256_unpackhi_ps(r[4], r[5]);
    const __m256 t6 = _mm256_unpacklo_ps(r[6], r[7]), t7 = _mm256_unpackhi_ps(r[6], r[7]);
    const __m256 s0 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s1 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 s2 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s3 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 s4 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s5 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 s6 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s7 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(3, 2, 3, 2));
    r[0] = _mm256_permute2f128_ps(s0, s4, 0x20);
    r[1] = _mm256_permute2f128_ps(s1, s5, 0x20);
    r[2] = _mm256_permute2f128_ps(s2, s6, 0x20);
    r[3] = _mm256_permute2f128_ps(s3, s7, 0x20);
    r[4] = _mm256_permute2f128_ps(s0, s4, 0x31);
    r[5] = _mm256_permute2f128_ps(s1, s5, 0x31);
    r[6] = _mm256_permute2f128_ps(s2, s6, 0x31);
    r[7] = _mm256_permute2f128_ps(s3, s7, 0x31);
}

// Eight frames of eight voices' buffers: transposed into frame vectors, filtered, transposed back.
inline void stepEight(LaneGroup8 &g, float *const *p, int k) {
    __m256 r[8];
    for (int j = 0; j < 8; ++j)
        r[j] = _mm256_loadu_ps(p[j] + k);
    transpose8(r);
    for (int j = 0; j < 8; ++j)
        r[j] = g.step(r[j]);
    transpose8(r);
    for (int j = 0; j < 8; ++j)
        _mm256_storeu_ps(p[j] + k, r[j]);
}

inline void stepOne(LaneGroup8 &g, float *const *p, int k) {
    float in[8], out[8];
    for (int j = 0; j < 8; ++j)
        in[j] = p[j][k];
    _mm256_storeu_ps(out, g.step(_mm256_loadu_ps(in)));
    for (int j = 0; j < 8; ++j)
        p[j][k] = out[j];
}

template <int kGroups> void processGroups(LowPass *const *filters, float *const *buffers, int n) {
    LaneGroup8 g[kGroups];
    for (int i = 0; i < kGroups; ++i)
        g[i].load(filters + 8 * i);
    int k = 0;
    for (; k + 8 <= n; k += 8)
        for (int i = 0; i < kGroups; ++i)
            stepEight(g[i], buffers + 8 * i, k);
    for (; k < n; ++k)
        for (int i = 0; i < kGroups; ++i)
            stepOne(g[i], buffers + 8 * i, k);
    for (int i = 0; i < kGroups; ++i)
        g[i].store(filters + 8 * i);
}

void filterAvx2(LowPass *const *filters, float *const *buffers, int count, int n) {
    if (count == 16)
        processGroups<2>(filters, buffers, n);
    else
        processGroups<1>(filters, buffers, n);
}

const VoiceKernels kAvx2 = {SimdLevel::kAvx2, interpolateAvx2, mixAvx2, filterAvx2, 8};

} // namespace

const VoiceKernels *Avx2Kernels() {
    return &kAvx2;
}

} // namespace tw::synth

#else

namespace tw::synth {
const VoiceKernels *Avx2Kernels() {
    return nullptr;
}
} // namespace tw::synth

#endif
