// Low-pass filters side by side, four per SIMD group: the recursion's latency is shared by the voices.
#include "lowpass.h"

#if defined(__SSE2__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define TW_LOWPASS_SSE 1
#endif

namespace tw::synth {

#ifdef TW_LOWPASS_SSE
namespace {

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

} // namespace
#endif

void LowPass::process(LowPass *const *filters, float *const *buffers, int count, int n) {
#ifdef TW_LOWPASS_SSE
    if (count == 8) {
        processGroups<2>(filters, buffers, n);
        return;
    }
    if (count == 4) {
        processGroups<1>(filters, buffers, n);
        return;
    }
#endif
    for (int j = 0; j < count; ++j) {
        State st = filters[j]->state();
        for (int k = 0; k < n; ++k)
            buffers[j][k] = filters[j]->tick(st, buffers[j][k]);
        filters[j]->setState(st);
    }
}

} // namespace tw::synth
