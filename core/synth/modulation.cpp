// Modulator evaluation: the SoundFont 2.04 source enumerations, the four curve types and the transforms.
#include "modulation.h"

#include <cmath>

#include "synth_math.h"

namespace tw::synth {

namespace {

enum SourceIndex {
    kSrcNone = 0,
    kSrcVelocity = 2,
    kSrcKey = 3,
    kSrcPolyPressure = 10,
    kSrcChannelPressure = 13,
    kSrcPitchWheel = 14,
    kSrcBendRange = 16,
    kSrcLink = 127
};
enum CurveType { kLinear = 0, kConcave = 1, kConvex = 2, kSwitch = 3 };
constexpr uint16_t kSourceIsCc = 0x80, kSourceNegative = 0x100, kSourceBipolar = 0x200;
constexpr uint16_t kTransformAbsolute = 2;
constexpr uint16_t kDestinationIsLink = 0x8000;

// Concave curve of SoundFont 2.04: 20/96 dB scaled, 0 at x = 0 and 1 at x = 1.
float concaveCurve(float x) {
    if (x <= 0.0f)
        return 0.0f;
    if (x >= 1.0f)
        return 1.0f;
    const float v = 1.0f - x;
    return clampTo(-(20.0f / 96.0f) * std::log10(v * v), 0.0f, 1.0f);
}

// The curve at the 129 points k / 128 that 7-bit sources (velocity, key, controllers) reach, and their mirror
// images: every note-on evaluates it for its velocity.
struct ConcaveTable {
    float at[129];
    ConcaveTable() {
        for (int k = 0; k <= 128; ++k)
            at[k] = concaveCurve(static_cast<float>(k) / 128.0f);
    }
};

const ConcaveTable kConcaveTable; // made at load time: no first-use guard on the rendering thread

float concave(float x) {
    const float scaled = x * 128.0f; // exact for multiples of 1/128
    if (scaled >= 0.0f && scaled <= 128.0f) {
        const int k = static_cast<int>(scaled);
        if (static_cast<float>(k) == scaled)
            return kConcaveTable.at[k];
    }
    return concaveCurve(x);
}

} // namespace

float modulatorSourceValue(uint16_t source, const ChannelState &channel, const NoteContext &note) {
    const int index = source & 0x7F;
    float x; // normalised 0..1 before the curve
    if (source & kSourceIsCc) {
        x = channel.cc[index] / 128.0f;
    } else {
        switch (index) {
        case kSrcNone:
            return 1.0f;
        case kSrcVelocity:
            x = note.velocity / 128.0f;
            break;
        case kSrcKey:
            x = note.key / 128.0f;
            break;
        case kSrcPolyPressure:
            x = channel.keyPressure[note.key & 127] / 128.0f;
            break;
        case kSrcChannelPressure:
            x = channel.channelPressure / 128.0f;
            break;
        case kSrcPitchWheel:
            x = channel.pitchBend / 16384.0f;
            break;
        // Scaled so that the standard amount 12700 gives exactly the range in cents.
        case kSrcBendRange:
            x = channel.bendRangeCents / 12700.0f;
            break;
        default:
            return 0.0f; // links and unknown sources contribute nothing
        }
    }
    if (source & kSourceNegative)
        x = 1.0f - x;
    const bool bipolar = (source & kSourceBipolar) != 0;
    switch ((source >> 10) & 0x3F) {
    case kLinear:
        break;
    case kConcave:
        x = bipolar ? (x >= 0.5f ? 0.5f + 0.5f * concave(2.0f * x - 1.0f) : 0.5f - 0.5f * concave(1.0f - 2.0f * x))
                    : concave(x);
        break;
    case kConvex:
        x = bipolar ? (x >= 0.5f ? 0.5f + 0.5f * (1.0f - concave(2.0f - 2.0f * x))
                                 : 0.5f - 0.5f * (1.0f - concave(2.0f * x)))
                    : 1.0f - concave(1.0f - x);
        break;
    case kSwitch:
        x = x >= 0.5f ? 1.0f : 0.0f;
        break;
    default:
        return 0.0f;
    }
    return bipolar ? 2.0f * x - 1.0f : x;
}

void evaluateModulators(const Modulator *mods, int count, const ChannelState &channel, const NoteContext &note,
                        float *sums) {
    for (int g = 0; g < kGeneratorCount; ++g)
        sums[g] = 0.0f;
    for (int i = 0; i < count; ++i) {
        const Modulator &m = mods[i];
        if ((m.destination & kDestinationIsLink) || m.destination >= kGeneratorCount || m.amount == 0)
            continue;
        // Links, and a primary source of "no controller", contribute nothing.
        if (!(m.source & kSourceIsCc) && ((m.source & 0x7F) == kSrcLink || (m.source & 0x7F) == kSrcNone))
            continue;
        float v = modulatorSourceValue(m.source, channel, note) * m.amount;
        if (v == 0.0f)
            continue;
        v *= modulatorSourceValue(m.amountSource, channel, note);
        if (m.transform == kTransformAbsolute)
            v = std::fabs(v);
        sums[m.destination] += v;
    }
}

} // namespace tw::synth
