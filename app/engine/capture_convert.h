// Sample conversions of a recording: narrowing to 16 bits and mixing to mono.
#pragma once

#include <cstddef>
#include <cstdint>

// Keeps the upper 16 bits of each nBytesPerSample-byte little-endian sample (3 or 4), packed in place from the
// start of pb. Returns the new byte count (2 per sample).
size_t NarrowTo16(uint8_t *pb, size_t cb, unsigned nBytesPerSample);

// Replaces each frame of nChannels 16-bit samples by their mean (truncated toward zero), packed in place.
// Returns the new byte count (2 per frame); a partial last frame is dropped.
size_t MixToMono(uint8_t *pb, size_t cb, unsigned nChannels);
