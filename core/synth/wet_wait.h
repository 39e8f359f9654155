// The wet thread's wait for the next filled dry block, spent on the voices of the block being filled: the two
// threads then share the voices' work between the blocks, without a third thread to contend for two processors.
#pragma once

#include <thread>

#include "cpu_pause.h"
#include "synth.h"

namespace tw::synth {

// Takes the voices' chunks (Synth::helpMix) until ready() holds: spins a little, then yields. Returns false when
// nothing came for a while, and the caller then sleeps until the next block, which costs only the help the
// sleeping thread does not give. crowded says whether the last wait found chunks to take: when it did not, the
// piece has too few voices to share, and the wait ends after the pauses instead of yielding for about a
// millisecond, which would only keep the processor from the other threads and programs.
template <class Ready> bool WaitHelpingVoices(Synth &synth, Ready ready, bool &crowded) {
    constexpr int kSpins = 1000;  // pause loops before yielding (some microseconds)
    constexpr int kYields = 2000; // yields before sleeping
    const int rounds = kSpins + (crowded ? kYields : 0);
    crowded = false;
    for (int i = 0; i < rounds; ++i) {
        if (ready())
            return true;
        if (synth.helpMix()) {
            i = 0;
            crowded = true;
        } else if (i < kSpins) {
            CpuPause();
        } else {
            std::this_thread::yield();
        }
    }
    return ready();
}

} // namespace tw::synth
