// Sample conversions of a recording, in single passes over 16-bit little-endian data.
#include "capture_convert.h"

namespace {

int16_t Get16(const uint8_t *pb) {
    return static_cast<int16_t>(static_cast<uint16_t>(pb[0] | (pb[1] << 8)));
}

void Put16(uint8_t *pb, int nValue) {
    uint16_t u = static_cast<uint16_t>(nValue);
    pb[0] = static_cast<uint8_t>(u & 0xFF);
    pb[1] = static_cast<uint8_t>(u >> 8);
}

} // namespace

size_t NarrowTo16(uint8_t *pb, size_t cb, unsigned nBytesPerSample) {
    size_t nSamples = cb / nBytesPerSample;
    for (size_t i = 0; i < nSamples; ++i) {
        // The upper two bytes of the sample: bits 8..23 of 24, bits 16..31 of 32.
        const uint8_t *pbSample = pb + i * nBytesPerSample + (nBytesPerSample - 2);
        uint8_t bLow = pbSample[0], bHigh = pbSample[1];
        pb[2 * i] = bLow;
        pb[2 * i + 1] = bHigh;
    }
    return nSamples * 2;
}

size_t MixToMono(uint8_t *pb, size_t cb, unsigned nChannels) {
    size_t cbFrame = 2 * static_cast<size_t>(nChannels);
    size_t nFrames = cb / cbFrame;
    if (nChannels == 2) {
        // The usual recording: a division by a constant two, which the compiler turns into a shift.
        for (size_t i = 0; i < nFrames; ++i) {
            Put16(pb + 2 * i, (Get16(pb + 4 * i) + Get16(pb + 4 * i + 2)) / 2);
        }
        return nFrames * 2;
    }
    for (size_t i = 0; i < nFrames; ++i) {
        long lSum = 0;
        for (unsigned c = 0; c < nChannels; ++c) {
            lSum += Get16(pb + i * cbFrame + 2 * c);
        }
        Put16(pb + 2 * i, static_cast<int>(lSum / static_cast<long>(nChannels)));
    }
    return nFrames * 2;
}
