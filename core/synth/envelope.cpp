// Envelope stage machine: the volume envelope in the decibel domain, the modulation envelope linear.
#include "envelope.h"

#include <cmath>

#include "synth_math.h"

namespace tw::synth {

namespace {
constexpr float kEnvelopeRangeDb = 96.0f;
constexpr float kFinishedLevel = 0.0f;

// Decibel-domain level (1 = 0 dB, 0 = -96 dB) of a linear amplitude.
float amplitudeToLevel(float amp) {
    if (amp <= 1e-5f)
        return 0.0f;
    const float level = 1.0f + 20.0f * std::log10(amp) / kEnvelopeRangeDb;
    return level < 0.0f ? 0.0f : level;
}

// The modulation envelope's attack follows the SoundFont convex curve: 1 + 40/96 log10(x), rising fast early.
float convexAttack(float x) {
    constexpr float kMinimum = 0.004216965f; // 10^(-96/40): the curve's zero
    if (x <= kMinimum)
        return 0.0f;
    if (x >= 1.0f)
        return 1.0f;
    return 1.0f + (40.0f / 96.0f) * std::log10(x);
}

float levelToAmplitude(float level) {
    if (level >= 1.0f)
        return 1.0f;
    if (level <= 0.0f)
        return 0.0f;
    return exp2Fast((level - 1.0f) * (kEnvelopeRangeDb / 20.0f * 3.3219281f)); // 10^x = 2^(x log2 10)
}
} // namespace

void Envelope::start(const EnvelopeParams &params, bool volume) {
    params_ = params;
    volume_ = volume;
    level_ = 0.0f;
    attackAmp_ = 0.0f;
    enterStage(kDelay);
}

void Envelope::enterStage(Stage s) {
    stage_ = s;
    pos_ = 0.0f;
    switch (s) {
    case kAttack:
        attackAmp_ = 0.0f;
        break;
    case kHold:
        level_ = 1.0f;
        attackAmp_ = 1.0f;
        break;
    default:
        break;
    }
}

float Envelope::stageLength() const {
    switch (stage_) {
    case kDelay:
        return params_.delay;
    case kAttack:
        return params_.attack;
    case kHold:
        return params_.hold;
    default:
        return 0.0f;
    }
}

void Envelope::release() {
    if (stage_ >= kRelease)
        return;
    if (stage_ == kDelay) {
        level_ = 0.0f;
    } else if (stage_ == kAttack) {
        // Falling from the output reached, expressed in this envelope's domain.
        level_ = volume_ ? amplitudeToLevel(attackAmp_) : convexAttack(attackAmp_);
    }
    stage_ = kRelease;
    pos_ = 0.0f;
    if (level_ <= kFinishedLevel)
        stage_ = kFinished;
}

float Envelope::advance(int n) {
    float left = static_cast<float>(n);
    while (left > 0.0f) {
        switch (stage_) {
        case kDelay:
        case kAttack:
        case kHold: {
            const float remain = stageLength() - pos_;
            if (remain > left) {
                pos_ += left;
                if (stage_ == kAttack)
                    attackAmp_ = pos_ / params_.attack;
                left = 0.0f;
            } else {
                left -= remain > 0.0f ? remain : 0.0f;
                enterStage(static_cast<Stage>(stage_ + 1));
                if (stage_ == kHold)
                    level_ = 1.0f;
            }
            break;
        }
        case kDecay: {
            // Full range in decay samples; stops at the sustain level.
            const float step = params_.decay > 0.0f ? 1.0f / params_.decay : 1.0f;
            level_ -= step * left;
            left = 0.0f;
            if (level_ <= params_.sustain) {
                level_ = params_.sustain;
                stage_ = kSustain;
            }
            if (volume_ && level_ <= kFinishedLevel)
                stage_ = kFinished;
            break;
        }
        case kSustain:
            left = 0.0f;
            break;
        case kRelease: {
            const float step = 1.0f / (params_.release > 1.0f ? params_.release : 1.0f);
            level_ -= step * left;
            left = 0.0f;
            if (level_ <= kFinishedLevel) {
                level_ = 0.0f;
                stage_ = kFinished;
            }
            break;
        }
        case kFinished:
            left = 0.0f;
            break;
        }
    }
    return output();
}

float Envelope::output() const {
    switch (stage_) {
    case kDelay:
        return 0.0f;
    case kAttack:
        return volume_ ? attackAmp_ : convexAttack(attackAmp_);
    case kHold:
        return 1.0f;
    case kFinished:
        return 0.0f;
    default:
        if (!volume_)
            return level_;
        if (level_ != amplitudeLevel_) { // a sustained note holds its level for many blocks
            amplitudeLevel_ = level_;
            amplitude_ = levelToAmplitude(level_);
        }
        return amplitude_;
    }
}

} // namespace tw::synth
