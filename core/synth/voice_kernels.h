// The voices' inner loops (interpolation, filter, envelope gain and mixing) in plain C++ and in SIMD forms: four
// at once with SSE2, eight with AVX2 (x64, chosen at run time). Every form gives the same samples to the bit: the
// interpolation sums are integers, and the float work is the same operations in the same order, without fused
// multiply-add. The plain form is the reference the others are tested against.
#pragma once

#include <cstdint>

#include "lowpass.h"
#include "synth.h"

namespace tw::synth {

// A voice's gain across its part of a control block: frame k of the part gets (a0 + da * (base + k)), spread
// to the buses with the pan and send coefficients.
struct MixGains {
    float a0, da;
    int base;
    float left, right, reverb, chorus;
};

struct VoiceKernels {
    SimdLevel level;
    // count outputs of 4-point interpolation from data at the 32.32 position phase, stepping by inc; every point
    // read must exist. Returns the position after the last output.
    uint64_t (*interpolate)(const int16_t *data, uint64_t phase, uint64_t inc, float *out, int count);
    // Adds m frames of in, times the gain ramp, to left and right and to the sends that are not null.
    void (*mix)(const float *in, int m, const MixGains &g, float *left, float *right, float *reverb, float *chorus);
    // Runs count filters over n samples of their buffers, in place; count is a multiple of filterGroup and at most
    // 2 * filterGroup.
    void (*filter)(LowPass *const *filters, float *const *buffers, int count, int n);
    int filterGroup; // filters that run side by side in one SIMD group
};

// The kernels of the given level, or of the best one this processor has when it lacks that level (kAuto: the
// best one).
const VoiceKernels &KernelsFor(SimdLevel level);
// The best level this processor and build offer.
SimdLevel BestSimdLevel();

// The forms, each in its own file: the SIMD ones are compiled for their instruction sets only.
const VoiceKernels &ScalarKernels();
const VoiceKernels *Sse2Kernels(); // null where the build has no SSE2 form
const VoiceKernels *Avx2Kernels(); // null where the build has no AVX2 form

} // namespace tw::synth
