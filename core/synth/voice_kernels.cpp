// The plain forms of the voice loops, the reference for the SIMD ones, and the choice among them at run time.
#include "voice_kernels.h"

#include "interpolation.h"

namespace tw::synth {

namespace {

uint64_t interpolateScalar(const int16_t *data, uint64_t phase, uint64_t inc, float *out, int count) {
    for (int k = 0; k < count; ++k) {
        const int16_t *p = data + (phase >> 32);
        out[k] = interpolate(p[-1], p[0], p[1], p[2], interpRow(phase));
        phase += inc;
    }
    return phase;
}

void mixScalar(const float *in, int m, const MixGains &g, float *left, float *right, float *reverb, float *chorus) {
    for (int k = 0; k < m; ++k) {
        const float v = in[k] * (g.a0 + g.da * static_cast<float>(g.base + k));
        left[k] += v * g.left;
        right[k] += v * g.right;
        if (reverb)
            reverb[k] += v * g.reverb;
        if (chorus)
            chorus[k] += v * g.chorus;
    }
}

void filterScalar(LowPass *const *filters, float *const *buffers, int count, int n) {
    for (int j = 0; j < count; ++j) {
        LowPass::State st = filters[j]->state();
        for (int k = 0; k < n; ++k)
            buffers[j][k] = filters[j]->tick(st, buffers[j][k]);
        filters[j]->setState(st);
    }
}

const VoiceKernels kScalar = {SimdLevel::kScalar, interpolateScalar, mixScalar, filterScalar, 1};

bool HasAvx2() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

SimdLevel DetectBest() {
    if (Avx2Kernels() && HasAvx2())
        return SimdLevel::kAvx2;
    if (Sse2Kernels())
        return SimdLevel::kSse2; // the build requires SSE2 wherever it has that form
    return SimdLevel::kScalar;
}

} // namespace

const VoiceKernels &ScalarKernels() {
    return kScalar;
}

SimdLevel BestSimdLevel() {
    static const SimdLevel best = DetectBest();
    return best;
}

const VoiceKernels &KernelsFor(SimdLevel level) {
    const SimdLevel best = BestSimdLevel();
    if (level == SimdLevel::kAuto || static_cast<int>(level) > static_cast<int>(best))
        level = best;
    if (level == SimdLevel::kAvx2)
        return *Avx2Kernels();
    if (level == SimdLevel::kSse2)
        return *Sse2Kernels();
    return kScalar;
}

} // namespace tw::synth
