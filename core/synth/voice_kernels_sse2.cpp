// The voice loops four at a time with SSE2: four outputs of the interpolation, four frames of the mix, four
// voices' filters side by side.
#include "voice_kernels.h"

#include "interpolation.h"

#ifdef TW_SYNTH_SSE2
#include <emmintrin.h>

namespace tw::synth {

namespace {

uint64_t interpolateSse2(const int16_t *data, uint64_t phase, uint64_t inc, float *out, int count) {
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        interpolate4(data, phase, inc, out + k);
        phase += inc * 4;
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
void mixFour(const float *in, int m, const MixGains &g, float *left, float *right, float *rev, float *cho) {
    const __m128 a0 = _mm_set1_ps(g.a0), da = _mm_set1_ps(g.da);
    const __m128 cl = _mm_set1_ps(g.left), cr = _mm_set1_ps(g.right);
    const __m128 cv = _mm_set1_ps(g.reverb), cc = _mm_set1_ps(g.chorus);
    __m128i pos = _mm_add_epi32(_mm_set1_epi32(g.base), _mm_set_epi32(3, 2, 1, 0));
    const __m128i four = _mm_set1_epi32(4);
    int k = 0;
    for (; k + 4 <= m; k += 4) {
        const __m128 v = _mm_mul_ps(_mm_loadu_ps(in + k), _mm_add_ps(a0, _mm_mul_ps(da, _mm_cvtepi32_ps(pos))));
        _mm_storeu_ps(left + k, _mm_add_ps(_mm_loadu_ps(left + k), _mm_mul_ps(v, cl)));
        _mm_storeu_ps(right + k, _mm_add_ps(_mm_loadu_ps(right + k), _mm_mul_ps(v, cr)));
        if (kSends & 1)
            _mm_storeu_ps(rev + k, _mm_add_ps(_mm_loadu_ps(rev + k), _mm_mul_ps(v, cv)));
        if (kSends & 2)
            _mm_storeu_ps(cho + k, _mm_add_ps(_mm_loadu_ps(cho + k), _mm_mul_ps(v, cc)));
        pos = _mm_add_epi32(pos, four);
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

void mixSse2(const float *in, int m, const MixGains &g, float *left, float *right, float *rev, float *cho) {
    switch ((rev ? 1 : 0) | (cho ? 2 : 0)) {
    case 1:
        mixFour<1>(in, m, g, left, right, rev, cho);
        break;
    case 2:
        mixFour<2>(in, m, g, left, right, rev, cho);
        break;
    case 3:
        mixFour<3>(in, m, g, left, right, rev, cho);
        break;
    default:
        mixFour<0>(in, m, g, left, right, rev, cho);
        break;
    }
}

// One group of four filters, one per SIMD lane.
struct LaneGroup {
    __m128 b0, b1, a1, a2, x1, x2, y1, y2;

    void load(LowPass *const *f) {
        LowPass::Coefficients c[4];
        LowPass::State s[4];
        for (int j = 0; j < 4; ++j) {
            c[j] = f[j]->coefficients();
            s[j] = f[j]->state();
        }
        b0 = _mm_set_ps(c[3].b0, c[2].b0, c[1].b0, c[0].b0);
        b1 = _mm_set_ps(c[3].b1, c[2].b1, c[1].b1, c[0].b1);
        a1 = _mm_set_ps(c[3].a1, c[2].a1, c[1].a1, c[0].a1);
        a2 = _mm_set_ps(c[3].a2, c[2].a2, c[1].a2, c[0].a2);
        x1 = _mm_set_ps(s[3].x1, s[2].x1, s[1].x1, s[0].x1);
        x2 = _mm_set_ps(s[3].x2, s[2].x2, s[1].x2, s[0].x2);
        y1 = _mm_set_ps(s[3].y1, s[2].y1, s[1].y1, s[0].y1);
        y2 = _mm_set_ps(s[3].y2, s[2].y2, s[1].y2, s[0].y2);
    }
    // The same arithmetic as LowPass::tick(), lane by lane.
    __m128 step(__m128 x) {
        const __m128 t =
            _mm_sub_ps(_mm_add_ps(_mm_mul_ps(b0, _mm_add_ps(x, x2)), _mm_mul_ps(b1, x1)), _mm_mul_ps(a2, y2));
        const __m128 y = _mm_sub_ps(t, _mm_mul_ps(a1, y1));
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
    void store(LowPass *const *f) const {
        alignas(16) float s[4][4];
        _mm_store_ps(s[0], x1);
        _mm_store_ps(s[1], x2);
        _mm_store_ps(s[2], y1);
        _mm_store_ps(s[3], y2);
        for (int j = 0; j < 4; ++j)
            f[j]->setState({s[0][j], s[1][j], s[2][j], s[3][j]});
    }
};

// Four frames of four voices' buffers: transposed into frame vectors, filtered, transposed back.
inline void stepFour(LaneGroup &g, float *const *p, int k) {
    __m128 r0 = _mm_loadu_ps(p[0] + k), r1 = _mm_loadu_ps(p[1] + k), r2 = _mm_loadu_ps(p[2] + k),
           r3 = _mm_loadu_ps(p[3] + k);
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    r0 = g.step(r0);
    r1 = g.step(r1);
    r2 = g.step(r2);
    r3 = g.step(r3);
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    _mm_storeu_ps(p[0] + k, r0);
    _mm_storeu_ps(p[1] + k, r1);
    _mm_storeu_ps(p[2] + k, r2);
    _mm_storeu_ps(p[3] + k, r3);
}

inline void stepOne(LaneGroup &g, float *const *p, int k) {
    alignas(16) float out[4];
    _mm_store_ps(out, g.step(_mm_set_ps(p[3][k], p[2][k], p[1][k], p[0][k])));
    for (int j = 0; j < 4; ++j)
        p[j][k] = out[j];
}

// kGroups groups side by side: their recursions are independent, so one hides the other's latency.
template <int kGroups> void processGroups(LowPass *const *filters, float *const *buffers, int n) {
    LaneGroup g[kGroups];
    for (int i = 0; i < kGroups; ++i)
        g[i].load(filters + 4 * i);
    int k = 0;
    for (; k + 4 <= n; k += 4)
        for (int i = 0; i < kGroups; ++i)
            stepFour(g[i], buffers + 4 * i, k);
    for (; k < n; ++k)
        for (int i = 0; i < kGroups; ++i)
            stepOne(g[i], buffers + 4 * i, k);
    for (int i = 0; i < kGroups; ++i)
        g[i].store(filters + 4 * i);
}

void filterSse2(LowPass *const *filters, float *const *buffers, int count, int n) {
    if (count == 8)
        processGroups<2>(filters, buffers, n);
    else
        processGroups<1>(filters, buffers, n);
}

const VoiceKernels kSse2 = {SimdLevel::kSse2, interpolateSse2, mixSse2, filterSse2, 4};

} // namespace

const VoiceKernels *Sse2Kernels() {
    return &kSse2;
}

} // namespace tw::synth

#else

namespace tw::synth {
const VoiceKernels *Sse2Kernels() {
    return nullptr;
}
} // namespace tw::synth

#endif
