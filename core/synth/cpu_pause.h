// A spin-wait's pause: lets the other hardware thread of the core run and saves power while a flag is polled.
#pragma once

#if defined(__SSE2__) || defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tw::synth {

inline void CpuPause() {
#if defined(__SSE2__) || defined(__x86_64__) || defined(_M_X64)
    _mm_pause();
#endif
}

} // namespace tw::synth
