// The rate change through libsoxr: a linear-phase windowed-sinc filter, fed and drained in fixed blocks.
#include "rate_change.h"

#include <soxr.h>

#include <algorithm>

namespace {

const size_t kBlockSamples = 8192; // output samples handed to the sink at a time
const size_t kFeedSamples = 8192;  // input samples given to the resampler at a time

// Frees the resampler whichever way the rate change ends.
class Resampler {
public:
    Resampler(unsigned nSourceRate, unsigned nTargetRate) {
        soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
        io.flags |= SOXR_NO_DITHER; // its dither is seeded from the clock: files would differ run to run
        soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
        soxr_error_t error = nullptr;
        m_p = soxr_create(nSourceRate, nTargetRate, 1, &error, &io, &quality, &runtime);
        if (error != nullptr) {
            soxr_delete(m_p);
            m_p = nullptr;
        }
    }
    ~Resampler() { soxr_delete(m_p); }
    Resampler(const Resampler &) = delete;
    Resampler &operator=(const Resampler &) = delete;

    bool Ready() const { return m_p != nullptr; }
    // Takes up to nIn samples (none: the end of the input, the filter's tail follows); fills up to nOut.
    bool Process(const int16_t *pnIn, size_t nIn, size_t *pnUsed, int16_t *pnOut, size_t nOut, size_t *pnDone) {
        return soxr_process(m_p, pnIn, nIn, pnUsed, pnOut, nOut, pnDone) == nullptr;
    }

private:
    soxr_t m_p = nullptr;
};

} // namespace

size_t RateChangedLength(size_t nIn, unsigned nSourceRate, unsigned nTargetRate) {
    if (nIn < 2 || nSourceRate == 0 || nTargetRate == 0) {
        return 0;
    }
    // The positions k × source / target below nIn − 1: k < (nIn − 1) × target / source, in exact integers.
    unsigned long long span = static_cast<unsigned long long>(nIn - 1) * nTargetRate;
    return static_cast<size_t>((span + nSourceRate - 1) / nSourceRate);
}

RateChangeResult ChangeSampleRate(const int16_t *pnIn, size_t nIn, unsigned nSourceRate, unsigned nTargetRate,
                                  RateChangeSink pfnSink, void *pContext) {
    size_t nWanted = RateChangedLength(nIn, nSourceRate, nTargetRate);
    if (nWanted == 0) {
        return RateChangeResult::Ok;
    }
    Resampler resampler(nSourceRate, nTargetRate);
    if (!resampler.Ready()) {
        return RateChangeResult::CannotStart;
    }
    int16_t anBlock[kBlockSamples];
    size_t nRead = 0, nMade = 0;
    bool bFlushed = false;
    while (nMade < nWanted && !bFlushed) {
        size_t nFeed = std::min(kFeedSamples, nIn - nRead);
        size_t nUsed = 0, nDone = 0;
        size_t nRoom = std::min(kBlockSamples, nWanted - nMade);
        // Once the input is used up, a null input asks for what the filter still holds.
        if (!resampler.Process(nFeed > 0 ? pnIn + nRead : nullptr, nFeed, &nUsed, anBlock, nRoom, &nDone)) {
            return RateChangeResult::CannotStart;
        }
        nRead += nUsed;
        bFlushed = nFeed == 0 && nDone == 0;
        if (nDone > 0 && !pfnSink(pContext, anBlock, nDone)) {
            return RateChangeResult::Stopped;
        }
        nMade += nDone;
    }
    // The filter's own count can fall a sample short of the interpolation's: silence makes up the difference.
    std::fill(anBlock, anBlock + kBlockSamples, static_cast<int16_t>(0));
    while (nMade < nWanted) {
        size_t nPad = std::min(kBlockSamples, nWanted - nMade);
        if (!pfnSink(pContext, anBlock, nPad)) {
            return RateChangeResult::Stopped;
        }
        nMade += nPad;
    }
    return RateChangeResult::Ok;
}
