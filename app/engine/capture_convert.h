// Sample conversions of a recording: narrowing to 16 bits, mixing to mono, linear-interpolation rate change.
#pragma once

#include <cstddef>
#include <cstdint>

// Keeps the upper 16 bits of each nBytesPerSample-byte little-endian sample (3 or 4), packed in place from the
// start of pb. Returns the new byte count (2 per sample).
size_t NarrowTo16(uint8_t *pb, size_t cb, unsigned nBytesPerSample);

// Replaces each frame of nChannels 16-bit samples by their mean (truncated toward zero), packed in place.
// Returns the new byte count (2 per frame); a partial last frame is dropped.
size_t MixToMono(uint8_t *pb, size_t cb, unsigned nChannels);

// The capacity in bytes the rate change from nSourceRate to nTargetRate needs for cb input bytes: cb × k, k the
// smallest integer with k × source ≥ target. 0 when that exceeds what a WAV file's data can hold.
size_t ResampledCapacity(size_t cb, unsigned nSourceRate, unsigned nTargetRate);

// Linear interpolation between neighbours at positions 0, step, 2 × step, ... (step = source / target) while
// a next sample exists; each output is s0 × (1 − f) + s1 × f truncated toward zero. The position is double
// precision, so it keeps advancing over the longest recording. Returns the output byte count (≤ cbOutMax).
size_t Resample(const uint8_t *pbIn, size_t cbIn, double dStep, uint8_t *pbOut, size_t cbOutMax);
