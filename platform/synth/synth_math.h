// Unit conversions of the synthesizer: cents, timecents, centibels and the curves SoundFont modulators use.
#pragma once

#include <cmath>
#include <cstdint>

namespace tw::synth {

constexpr float kPi = 3.14159265358979f;
constexpr float kLowestNoteHz = 8.175799f; // absolute cents 0 (MIDI key 0)

// Frequency ratio of a pitch interval in cents.
inline float centsToRatio(float cents) {
    return std::exp2(cents * (1.0f / 1200.0f));
}

// Hz of an absolute pitch in cents (SoundFont filter and LFO frequencies).
inline float absCentsToHz(float cents) {
    return kLowestNoteHz * centsToRatio(cents);
}

// Seconds of a SoundFont time in timecents (-32768 means instantaneous).
inline float timecentsToSeconds(float timecents) {
    return timecents <= -32768.0f ? 0.0f : std::exp2(timecents * (1.0f / 1200.0f));
}

// Amplitude factor of an attenuation in centibels.
// 10^x computed as 2^(x log2 10): exp2 is much cheaper than pow.
inline float centibelsToGain(float centibels) {
    return std::exp2(centibels * (-3.3219281f / 200.0f));
}

// Amplitude factor of a level in hundredths of a decibel.
inline float hundredthsDbToGain(float hundredths) {
    return std::pow(10.0f, hundredths * (1.0f / 2000.0f));
}

template <typename T> inline T clampTo(T v, T lo, T hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace tw::synth
