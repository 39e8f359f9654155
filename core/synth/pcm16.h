// The synthesizer's float output as interleaved 16-bit PCM: the one conversion every consumer uses.
#pragma once

#include <cstdint>

namespace tw::synth {

// Full scale 1.0 becomes 32767; rounded to nearest (ties to even) and saturated at both ends. NaN becomes
// -32768 rather than anything undefined.
void interleavePcm16(const float *left, const float *right, int frames, int16_t *out);

} // namespace tw::synth
