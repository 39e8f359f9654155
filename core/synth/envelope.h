// Volume and modulation envelopes (delay, attack, hold, decay, sustain, release), advanced per control block.
#pragma once

namespace tw::synth {

// Stage lengths in samples and the sustain level, as a voice derives them from its generators.
struct EnvelopeParams {
    float delay = 0, attack = 0, hold = 0, decay = 0, release = 0; // samples
    float sustain = 1.0f; // level 0..1 in the envelope's own domain (see Envelope)
};

// The volume envelope works in a decibel domain: level 1 is 0 dB, 0 is -96 dB; the attack rises linearly in
// amplitude, decay and release fall linearly in decibels (exponentially in amplitude). The modulation envelope
// outputs its level directly: a convex attack, then linear decay and release.
class Envelope {
public:
    enum Stage { kDelay, kAttack, kHold, kDecay, kSustain, kRelease, kFinished };

    void start(const EnvelopeParams &params, bool volume);
    // Moves into the release stage from the current output; later blocks fall from there.
    void release();
    // Updates the release length (samples) without restarting the stage.
    void setRelease(float samples) { params_.release = samples < 1.0f ? 1.0f : samples; }
    // Advances n samples and returns the output at the end: amplitude 0..1 (volume) or level 0..1 (modulation).
    float advance(int n);
    // Output at the current position without advancing.
    float output() const;

    Stage stage() const { return stage_; }
    bool finished() const { return stage_ == kFinished; }
    bool releasing() const { return stage_ >= kRelease; }

private:
    void enterStage(Stage s);
    float stageLength() const;

    EnvelopeParams params_;
    Stage stage_ = kFinished;
    float pos_ = 0;   // samples spent in the current stage
    float level_ = 0; // decibel-domain level (volume) or linear level (modulation), 0..1
    mutable float amplitudeLevel_ = -1.0f, amplitude_ = 0.0f; // the last level turned into an amplitude
    float attackAmp_ = 0;                                     // linear amplitude during the volume attack
    bool volume_ = true;
};

// Triangle LFO starting at 0 after a delay, rising first; advanced per control block.
class Lfo {
public:
    void start(float delaySamples, float hz, float sampleRate) {
        delay_ = delaySamples;
        step_ = hz / sampleRate;
        phase_ = 0.0f;
    }
    void setFrequency(float hz, float sampleRate) { step_ = hz / sampleRate; }
    // Advances n samples; returns the value -1..1 at the new position.
    float advance(int n) {
        if (delay_ > 0.0f) {
            delay_ -= n;
            if (delay_ > 0.0f)
                return 0.0f;
            n = static_cast<int>(-delay_);
            delay_ = 0.0f;
        }
        phase_ += step_ * n;
        phase_ -= static_cast<float>(static_cast<int>(phase_));
        return value();
    }
    float value() const {
        if (delay_ > 0.0f)
            return 0.0f;
        // 0 -> 1 at a quarter period, -1 at three quarters.
        const float p = phase_ < 0.25f ? phase_ : (phase_ < 0.75f ? 0.5f - phase_ : phase_ - 1.0f);
        return 4.0f * p;
    }

private:
    float delay_ = 0, step_ = 0, phase_ = 0;
};

} // namespace tw::synth
