// Stereo room reverb on the mono reverb send bus: eight damped combs and four all-passes per side.
#pragma once

#include <vector>

namespace tw::synth {

class Reverb {
public:
    // Allocates the delay lines for the output rate; call once, outside rendering.
    void setup(float sampleRate);
    // roomSize, damping and width 0..1; level is the wet gain.
    void setParameters(float roomSize, float damping, float width, float level);
    // Adds the reverberated send bus to left and right (n frames).
    void process(const float *send, float *left, float *right, int n);
    void clear();

private:
    struct Comb {
        std::vector<float> line;
        int pos = 0;
        float store = 0;
    };
    struct AllPass {
        std::vector<float> line;
        int pos = 0;
    };
    static constexpr int kCombs = 8, kAllPasses = 4;
    static constexpr int kChunk = 64; // frames per pass; shorter than every delay line

    template <bool kDamped> void runCombs(Comb *combs, const float *in, float *acc, int n) const;
    static void runAllPasses(AllPass *allPasses, float *acc, int n);

    Comb combs_[2][kCombs];
    AllPass allPasses_[2][kAllPasses];
    float feedback_ = 0.756f, damp1_ = 0.0f, damp2_ = 1.0f, wet1_ = 0, wet2_ = 0;
};

// Three-voice stereo chorus on the mono chorus send bus: sine-modulated delays spread across the stereo field.
class Chorus {
public:
    void setup(float sampleRate);
    // Voice count 1..kMaxVoices, level (wet gain), speed in Hz, depth in milliseconds.
    void setParameters(int voices, float level, float speedHz, float depthMs);
    void process(const float *send, float *left, float *right, int n);
    void clear();

    static constexpr int kMaxVoices = 3;

private:
    static constexpr int kLfoFrames = 64; // modulation update period
    void updateDelays();
    void runVoicesSse(const float *send, float *left, float *right, int run);

    std::vector<float> line_;
    int lfoFrame_ = 0;                                               // frames since the last modulation update
    float delayStart_[kMaxVoices] = {}, delayStep_[kMaxVoices] = {}; // samples, samples per frame
    int mask_ = 0, pos_ = 0, voices_ = 3;
    float rate_ = 44100.0f, phase_ = 0, phaseStep_ = 0; // phase in periods, 0..1
    float baseDelay_ = 0, depth_ = 0;                   // samples
    float gainLeft_[kMaxVoices] = {}, gainRight_[kMaxVoices] = {};
};

} // namespace tw::synth
