// The band-limited rate change of a recording's 16-bit mono samples, streamed to a sink in blocks.
#pragma once

#include <cstddef>
#include <cstdint>

// Output samples for nIn input samples: as many as linear interpolation between neighbours made (positions 0,
// step, 2 × step, ... before the last input sample, step = source / target), so that durations stay as they were.
size_t RateChangedLength(size_t nIn, unsigned nSourceRate, unsigned nTargetRate);

// Takes one block of output samples; returns false to end the rate change (a failed write).
typedef bool (*RateChangeSink)(void *pContext, const int16_t *pnSamples, size_t nSamples);

enum class RateChangeResult {
    Ok,
    CannotStart, // the resampler could not be created (out of memory)
    Stopped,     // the sink refused a block
};

// Resamples nIn samples at nSourceRate to exactly RateChangedLength(...) samples at nTargetRate with an
// anti-aliasing filter (flat within 0.01 dB to 91 % of the lower Nyquist frequency, rejection past it far below
// 16-bit noise), rounding without dither so that the same input always gives the same bytes. The input is read
// in place; only small fixed blocks are held besides it.
RateChangeResult ChangeSampleRate(const int16_t *pnIn, size_t nIn, unsigned nSourceRate, unsigned nTargetRate,
                                  RateChangeSink pfnSink, void *pContext);
