// Four low-pass filters at once: the recursion's latency is paid once for four voices.
#include "lowpass.h"

#if defined(__SSE2__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define TW_LOWPASS_SSE 1
#endif

namespace tw::synth {

void LowPass::process4(LowPass *const filters[4], float *const buffers[4], int n) {
#ifdef TW_LOWPASS_SSE
    LowPass *const *f = filters;
    const __m128 b0 = _mm_set_ps(f[3]->b0_, f[2]->b0_, f[1]->b0_, f[0]->b0_);
    const __m128 b1 = _mm_set_ps(f[3]->b1_, f[2]->b1_, f[1]->b1_, f[0]->b1_);
    const __m128 a1 = _mm_set_ps(f[3]->a1_, f[2]->a1_, f[1]->a1_, f[0]->a1_);
    const __m128 a2 = _mm_set_ps(f[3]->a2_, f[2]->a2_, f[1]->a2_, f[0]->a2_);
    __m128 x1 = _mm_set_ps(f[3]->x1_, f[2]->x1_, f[1]->x1_, f[0]->x1_);
    __m128 x2 = _mm_set_ps(f[3]->x2_, f[2]->x2_, f[1]->x2_, f[0]->x2_);
    __m128 y1 = _mm_set_ps(f[3]->y1_, f[2]->y1_, f[1]->y1_, f[0]->y1_);
    __m128 y2 = _mm_set_ps(f[3]->y2_, f[2]->y2_, f[1]->y2_, f[0]->y2_);
    float *const p0 = buffers[0];
    float *const p1 = buffers[1];
    float *const p2 = buffers[2];
    float *const p3 = buffers[3];
    auto step = [&](__m128 x) {
        const __m128 t =
            _mm_sub_ps(_mm_add_ps(_mm_mul_ps(b0, _mm_add_ps(x, x2)), _mm_mul_ps(b1, x1)), _mm_mul_ps(a2, y2));
        const __m128 y = _mm_sub_ps(t, _mm_mul_ps(a1, y1));
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    };
    int k = 0;
    // Four frames at a time: transpose voice-major data into frame vectors and back.
    for (; k + 4 <= n; k += 4) {
        __m128 r0 = _mm_loadu_ps(p0 + k), r1 = _mm_loadu_ps(p1 + k), r2 = _mm_loadu_ps(p2 + k),
               r3 = _mm_loadu_ps(p3 + k);
        _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
        r0 = step(r0);
        r1 = step(r1);
        r2 = step(r2);
        r3 = step(r3);
        _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
        _mm_storeu_ps(p0 + k, r0);
        _mm_storeu_ps(p1 + k, r1);
        _mm_storeu_ps(p2 + k, r2);
        _mm_storeu_ps(p3 + k, r3);
    }
    alignas(16) float out[4];
    for (; k < n; ++k) {
        _mm_store_ps(out, step(_mm_set_ps(p3[k], p2[k], p1[k], p0[k])));
        p0[k] = out[0];
        p1[k] = out[1];
        p2[k] = out[2];
        p3[k] = out[3];
    }
    alignas(16) float s[4][4];
    _mm_store_ps(s[0], x1);
    _mm_store_ps(s[1], x2);
    _mm_store_ps(s[2], y1);
    _mm_store_ps(s[3], y2);
    for (int j = 0; j < 4; ++j) {
        f[j]->x1_ = s[0][j];
        f[j]->x2_ = s[1][j];
        f[j]->y1_ = s[2][j];
        f[j]->y2_ = s[3][j];
    }
#else
    for (int j = 0; j < 4; ++j) {
        State st = filters[j]->state();
        for (int k = 0; k < n; ++k)
            buffers[j][k] = filters[j]->tick(st, buffers[j][k]);
        filters[j]->setState(st);
    }
#endif
}

} // namespace tw::synth
