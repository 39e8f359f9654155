// Test helpers for the synthesizer: a synth loaded from a built SoundFont, rendering, and signal measurements.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "support/core/synth/sf2_builder.h"
#include "synth.h"

namespace tw::test {

constexpr int kRate = 44100;
constexpr double kCentsPerOctave = 1200.0;
// Default modulator source "note-on velocity, negative, linear": an instrument modulator with this source and
// destination and amount 0 replaces the default velocity-to-filter modulator, leaving the filter open.
constexpr uint16_t kVelocityToFilterSource = 0x0102;

struct Stereo {
    std::vector<float> left, right;
    size_t size() const { return left.size(); }
};

// A synth with the given SoundFont loaded (effects off unless asked) at master volume 0.
inline std::unique_ptr<synth::Synth> MakeSynth(const Sf2Builder &builder, synth::SynthConfig config = {},
                                               bool effects = false) {
    if (!effects)
        config.reverb = config.chorus = false;
    auto s = std::make_unique<synth::Synth>(config);
    const std::vector<uint8_t> bytes = builder.build();
    std::string error;
    EXPECT_EQ(s->loadSoundFont(bytes.data(), bytes.size(), error), synth::LoadStatus::Ok) << error;
    return s;
}

inline Stereo Render(synth::Synth &s, int frames) {
    Stereo out;
    out.left.resize(frames);
    out.right.resize(frames);
    s.render(out.left.data(), out.right.data(), frames);
    return out;
}

inline void Append(Stereo &to, const Stereo &more) {
    to.left.insert(to.left.end(), more.left.begin(), more.left.end());
    to.right.insert(to.right.end(), more.right.begin(), more.right.end());
}

// Frequency of a periodic signal from its rising zero crossings (linearly interpolated) in [from, to).
inline double MeasureFrequency(const std::vector<float> &x, size_t from, size_t to, int rate = kRate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to && i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double t = (i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0)
                first = t;
            last = t;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return (crossings - 1) * rate / (last - first);
}

inline double CentsBetween(double f, double reference) {
    return kCentsPerOctave * std::log2(f / reference);
}

inline float Peak(const std::vector<float> &x, size_t from, size_t to) {
    float p = 0.0f;
    for (size_t i = from; i < to && i < x.size(); ++i)
        p = std::max(p, std::fabs(x[i]));
    return p;
}

inline double Rms(const std::vector<float> &x, size_t from, size_t to) {
    double sum = 0;
    size_t n = 0;
    for (size_t i = from; i < to && i < x.size(); ++i, ++n)
        sum += static_cast<double>(x[i]) * x[i];
    return n ? std::sqrt(sum / n) : 0.0;
}

inline double Db(double ratio) {
    return 20.0 * std::log10(ratio);
}

inline float MaxStep(const std::vector<float> &x, size_t from, size_t to) {
    float m = 0.0f;
    for (size_t i = std::max<size_t>(from, 1); i < to && i < x.size(); ++i)
        m = std::max(m, std::fabs(x[i] - x[i - 1]));
    return m;
}

// Timecents of a duration in seconds.
inline int Timecents(double seconds) {
    return static_cast<int>(std::lround(1200.0 * std::log2(seconds)));
}

// A SoundFont with one looping sine preset (bank 0, program 0) whose filter stays open.
inline Sf2Builder SinePreset(double periodFrames = 100.0, int rootKey = 60, int amplitude = 16000) {
    Sf2Builder b;
    const size_t frames = static_cast<size_t>(periodFrames * 200);
    int s = b.addSample("sine", Sf2Builder::Sine(frames, periodFrames, amplitude), kRate, static_cast<uint8_t>(rootKey),
                        0, static_cast<uint32_t>(frames));
    b.addSimplePreset("Sine", 0, 0, s)
        .gen(synth::kSampleModes, 1)
        .mod(kVelocityToFilterSource, synth::kInitialFilterFc, 0);
    return b;
}

} // namespace tw::test
