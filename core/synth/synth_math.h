// Unit conversions of the synthesizer: cents, timecents, centibels and the curves SoundFont modulators use.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace tw::synth {

constexpr float kPi = 3.14159265358979f;
constexpr float kLowestNoteHz = 8.175799f; // absolute cents 0 (MIDI key 0)

// 2^x to within a few float ulps, without the C library: every voice needs several per control block, and
// some runtimes (MinGW's among them) compute exp2f on the x87 stack at many times the cost.
inline float exp2Fast(float x) {
    if (!(x > -126.0f)) // NaN too
        return 0.0f;
    if (x > 127.0f)
        x = 127.0f;
    const int whole = static_cast<int>(x + (x >= 0.0f ? 0.5f : -0.5f)); // round to nearest
    const float f = x - static_cast<float>(whole);                      // [-0.5, 0.5]
    // Taylor series of 2^f = e^(f ln 2) to the 7th power: the remainder stays under 1e-8 on this range.
    float p = 1.5252734e-5f;
    p = p * f + 1.5403530e-4f;
    p = p * f + 1.3333558e-3f;
    p = p * f + 9.6181291e-3f;
    p = p * f + 5.5504109e-2f;
    p = p * f + 2.4022651e-1f;
    p = p * f + 6.9314718e-1f;
    p = p * f + 1.0f;
    const uint32_t bits = static_cast<uint32_t>(whole + 127) << 23;
    float scale;
    std::memcpy(&scale, &bits, sizeof scale);
    return p * scale;
}

// sin(x) for x in [0, pi] (clamped there), as the filter and the pan laws need; same reason as exp2Fast.
inline float sinHalfTurn(float x) {
    x = x < 0.0f ? 0.0f : (x > kPi ? kPi : x);
    if (x > 0.5f * kPi)
        x = kPi - x; // sin is symmetric about pi/2; the series then converges fast
    const float x2 = x * x;
    // Taylor series to x^11: the remainder on [0, pi/2] is under 1e-7.
    float p = -2.5052108e-8f;
    p = p * x2 + 2.7557319e-6f;
    p = p * x2 - 1.9841270e-4f;
    p = p * x2 + 8.3333333e-3f;
    p = p * x2 - 1.6666667e-1f;
    p = p * x2 + 1.0f;
    return p * x;
}

// cos(x) for x in [0, pi].
inline float cosHalfTurn(float x) {
    x = x < 0.0f ? 0.0f : (x > kPi ? kPi : x);
    const float y = 0.5f * kPi - x; // in [-pi/2, pi/2]
    return y < 0.0f ? -sinHalfTurn(-y) : sinHalfTurn(y);
}

// Frequency ratio of a pitch interval in cents.
inline float centsToRatio(float cents) {
    return exp2Fast(cents * (1.0f / 1200.0f));
}

// Hz of an absolute pitch in cents (SoundFont filter and LFO frequencies).
inline float absCentsToHz(float cents) {
    return kLowestNoteHz * centsToRatio(cents);
}

// Seconds of a SoundFont time in timecents (-32768 means instantaneous).
inline float timecentsToSeconds(float timecents) {
    return timecents <= -32768.0f ? 0.0f : exp2Fast(timecents * (1.0f / 1200.0f));
}

// Amplitude factor of an attenuation in centibels.
// 10^x computed as 2^(x log2 10): exp2 is much cheaper than pow.
inline float centibelsToGain(float centibels) {
    return exp2Fast(centibels * (-3.3219281f / 200.0f));
}

// Amplitude factor of a level in hundredths of a decibel.
inline float hundredthsDbToGain(float hundredths) {
    return std::pow(10.0f, hundredths * (1.0f / 2000.0f));
}

template <typename T> inline T clampTo(T v, T lo, T hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace tw::synth
