// Voice set-up from a zone, per-block control (envelopes, LFOs, pitch, filter, gains) and the inner DSP loop.
#include "voice.h"

#include <cmath>

#include "interpolation.h"
#include "synth_math.h"

namespace tw::synth {

namespace {
constexpr float kSampleScale = 1.0f / 32768.0f;
constexpr float kAttenuationScale = 0.4f; // generator attenuation as EMU hardware applies it
constexpr float kMaxAttenuationCb = 1440.0f;
constexpr float kMinTimecents = -12000.0f; // 1 ms
constexpr float kMaxTimecents = 8000.0f;   // about 100 s
constexpr float kMinFilterCents = 1500.0f, kMaxFilterCents = 13500.0f;
constexpr float kMaxResonanceCb = 960.0f;
constexpr double kMaxRatio = 256.0;       // playback speed limit; keeps the 32.32 step in range
constexpr float kEnvelopeSilence = 1e-4f; // -80 dB: a decayed envelope counts as silent
constexpr float kOutputSilence = 3e-5f;   // -90 dB of full scale: a released voice this quiet is inaudible
constexpr uint32_t kCoarseOffset = 32768; // sample points per coarse address offset unit
constexpr int kLoopContinuous = 1, kLoopUntilRelease = 3;
constexpr float kVolSustainFullScale = 960.0f;  // volume envelope sustain: attenuation in cB
constexpr float kModSustainFullScale = 1000.0f; // modulation envelope sustain: decrease in 0.1 %
constexpr int kReverbBus = 1, kChorusBus = 2;   // send buses a mix pass writes

// Both envelopes have eight generators in this order, from the delay's on.
enum EnvelopeGenerator {
    kEnvDelay,
    kEnvAttack,
    kEnvHold,
    kEnvDecay,
    kEnvSustain,
    kEnvRelease,
    kEnvKeyToHold,
    kEnvKeyToDecay
};
static_assert(kKeynumToVolEnvDecay - kDelayVolEnv == kEnvKeyToDecay && kSustainVolEnv - kDelayVolEnv == kEnvSustain &&
                  kKeynumToModEnvDecay - kDelayModEnv == kEnvKeyToDecay && kSustainModEnv - kDelayModEnv == kEnvSustain,
              "envelope generator order");

float timeSamples(float timecents, float rate) {
    return timecentsToSeconds(clampTo(timecents, kMinTimecents, kMaxTimecents)) * rate;
}

// Delays at the format's minimum (the default, about 1 ms) mean "no delay": the note sounds from its first frame.
float delaySamples(float timecents, float rate) {
    return timecents <= kMinTimecents ? 0.0f : timeSamples(timecents, rate);
}

int64_t clamp64(int64_t v, int64_t lo, int64_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
} // namespace

bool Voice::start(const ZoneVoice &zone, const int16_t *data, size_t count, int channel, int key, int velocity,
                  const ChannelState &state, float outputRate, uint32_t order) {
    if (!zone.sample || !data)
        return false;
    zone_ = zone;
    outputRate_ = outputRate;
    setupSample(zone, data, count);
    if (end_ <= start_)
        return false;
    channel_ = channel;
    key_ = key;
    note_.key = zone.gen[kKeynum] >= 0 && zone.gen[kKeynum] <= 127 ? zone.gen[kKeynum] : key;
    note_.velocity = zone.gen[kVelocity] > 0 && zone.gen[kVelocity] <= 127 ? zone.gen[kVelocity] : velocity;
    exclusiveClass_ = zone.gen[kExclusiveClass];
    order_ = order;
    state_ = State::kOn;
    ending_ = false;
    killGain_ = 1.0f;
    killStep_ = 0.0f;
    loudness_ = 0.0f;
    blockLeft_ = 0;
    amp_ = ampStep_ = ampTarget_ = 0.0f;
    firstFrame_ = 0;
    blockDone_ = 0;
    loopStopFrame_ = -1;
    serial_ = state.serial;
    updateModulated(state);
    setupEnvelopes(note_.key);
    modLfo_.start(delaySamples(gen(kDelayModLFO), outputRate), absCentsToHz(gen(kFreqModLFO)), outputRate);
    vibLfo_.start(delaySamples(gen(kDelayVibLFO), outputRate), absCentsToHz(gen(kFreqVibLFO)), outputRate);
    filter_.reset();
    filterOn_ = false;
    increment_ = 0;
    lastCents_ = lastFilterFc_ = lastFilterQ_ = lastAttenCb_ = -1e9f; // force the first computation
    return true;
}

void Voice::setupSample(const ZoneVoice &zone, const int16_t *data, size_t count) {
    const SampleInfo &s = *zone.sample;
    const int16_t *g = zone.gen;
    const int64_t limit = static_cast<int64_t>(s.end) < static_cast<int64_t>(count) ? s.end : count;
    const int64_t end =
        clamp64(s.end + g[kEndAddrsOffset] + int64_t(kCoarseOffset) * g[kEndAddrsCoarseOffset], s.start, limit);
    const int64_t start =
        clamp64(s.start + g[kStartAddrsOffset] + int64_t(kCoarseOffset) * g[kStartAddrsCoarseOffset], s.start, end);
    const int64_t loopStart = clamp64(
        s.loopStart + g[kStartloopAddrsOffset] + int64_t(kCoarseOffset) * g[kStartloopAddrsCoarseOffset], start, end);
    const int64_t loopEnd = clamp64(
        s.loopEnd + g[kEndloopAddrsOffset] + int64_t(kCoarseOffset) * g[kEndloopAddrsCoarseOffset], loopStart, end);
    data_ = data;
    start_ = static_cast<uint32_t>(start);
    end_ = static_cast<uint32_t>(end);
    loopStart_ = static_cast<uint32_t>(loopStart);
    loopEnd_ = static_cast<uint32_t>(loopEnd);
    loopMode_ = g[kSampleModes] & 3;
    if (loopMode_ != kLoopContinuous && loopMode_ != kLoopUntilRelease)
        loopMode_ = 0;
    if (loopEnd_ - loopStart_ < 2)
        loopMode_ = 0; // too short to loop: play straight through
    looping_ = loopMode_ != 0;
    wrapped_ = false;
    phase_ = static_cast<uint64_t>(start_) << 32;
    sampleRatio_ = static_cast<float>(s.sampleRate) / outputRate_;
}

EnvelopeParams Voice::envelopeParams(int first, float sustainFullScale, int key) const {
    const float rate = outputRate_;
    const float keyOffset = 60.0f - key; // key-number scaling is relative to middle C
    EnvelopeParams p;
    p.delay = delaySamples(gen(first + kEnvDelay), rate);
    p.attack = timeSamples(gen(first + kEnvAttack), rate);
    p.hold = timeSamples(gen(first + kEnvHold) + keyOffset * gen(first + kEnvKeyToHold), rate);
    p.decay = timeSamples(gen(first + kEnvDecay) + keyOffset * gen(first + kEnvKeyToDecay), rate);
    p.sustain = clampTo(1.0f - gen(first + kEnvSustain) / sustainFullScale, 0.0f, 1.0f);
    p.release = timeSamples(gen(first + kEnvRelease), rate);
    return p;
}

void Voice::setupEnvelopes(int key) {
    volEnv_.start(envelopeParams(kDelayVolEnv, kVolSustainFullScale, key), true);
    modEnv_.start(envelopeParams(kDelayModEnv, kModSustainFullScale, key), false);
}

void Voice::updateModulated(const ChannelState &state) {
    evaluateModulators(zone_.modulators, zone_.modulatorCount, state, note_, modSums_);
    const SampleInfo &s = *zone_.sample;
    const int rootKey = zone_.gen[kOverridingRootKey] >= 0 && zone_.gen[kOverridingRootKey] <= 127
                            ? zone_.gen[kOverridingRootKey]
                            : (s.originalPitch > 127 ? 60 : s.originalPitch);
    pitchCents_ = (note_.key - rootKey) * gen(kScaleTuning) + gen(kCoarseTune) * 100.0f + gen(kFineTune) +
                  modSums_[kInitialPitch] + s.pitchCorrection + state.tuningCents();
    attenuationCb_ = clampTo(kAttenuationScale * zone_.gen[kInitialAttenuation] + modSums_[kInitialAttenuation], 0.0f,
                             kMaxAttenuationCb);
    const float pan = clampTo(gen(kPan), -500.0f, 500.0f);
    const float angle = (pan + 500.0f) * (0.5f * kPi / 1000.0f);
    panLeft_ = cosHalfTurn(angle);
    panRight_ = sinHalfTurn(angle);
    reverbSend_ = clampTo(gen(kReverbEffectsSend) / 1000.0f, 0.0f, 1.0f);
    chorusSend_ = clampTo(gen(kChorusEffectsSend) / 1000.0f, 0.0f, 1.0f);
    filterFc_ = gen(kInitialFilterFc);
    filterQ_ = clampTo(gen(kInitialFilterQ), 0.0f, kMaxResonanceCb);
    modLfoToPitch_ = gen(kModLfoToPitch);
    vibLfoToPitch_ = gen(kVibLfoToPitch);
    modEnvToPitch_ = gen(kModEnvToPitch);
    modLfoToFilter_ = gen(kModLfoToFilterFc);
    modEnvToFilter_ = gen(kModEnvToFilterFc);
    modLfoToVolume_ = gen(kModLfoToVolume);
    modLfo_.setFrequency(absCentsToHz(gen(kFreqModLFO)), outputRate_);
    vibLfo_.setFrequency(absCentsToHz(gen(kFreqVibLFO)), outputRate_);
}

void Voice::control(const ChannelState &state, int n, int blockFrames) {
    if (state_ == State::kFree || n <= 0)
        return;
    if (loopStopFrame_ >= 0) { // the release came after the last frame rendered
        looping_ = false;
        loopStopFrame_ = -1;
    }
    if (serial_ != state.serial) {
        serial_ = state.serial;
        updateModulated(state);
    }
    const float env = volEnv_.advance(n);
    const float modEnv = modEnv_.advance(n);
    const float modLfo = modLfo_.advance(n);
    const float vib = vibLfo_.advance(n);

    // Pitch and filter coefficients are recomputed only when their inputs moved: most notes hold them still.
    const float cents = pitchCents_ + modLfo * modLfoToPitch_ + vib * vibLfoToPitch_ + modEnv * modEnvToPitch_;
    if (cents != lastCents_ || increment_ == 0) {
        lastCents_ = cents;
        double ratio = static_cast<double>(sampleRatio_) * centsToRatio(cents);
        if (ratio > kMaxRatio)
            ratio = kMaxRatio;
        increment_ = static_cast<uint64_t>(ratio * 4294967296.0);
        if (increment_ == 0)
            increment_ = 1;
    }
    const float fc =
        clampTo(filterFc_ + modLfo * modLfoToFilter_ + modEnv * modEnvToFilter_, kMinFilterCents, kMaxFilterCents);
    if (fc != lastFilterFc_ || filterQ_ != lastFilterQ_) {
        lastFilterFc_ = fc;
        lastFilterQ_ = filterQ_;
        filterOn_ = filter_.set(absCentsToHz(fc), filterQ_, outputRate_);
    }

    const float atten = clampTo(attenuationCb_ - modLfo * modLfoToVolume_, 0.0f, kMaxAttenuationCb);
    if (atten != lastAttenCb_) {
        lastAttenCb_ = atten;
        lastAttenGain_ = centibelsToGain(atten);
    }
    float amp = env * lastAttenGain_;
    loudness_ = amp * killGain_;
    if (state_ == State::kKilled) {
        killGain_ -= killStep_ * n;
        if (killGain_ <= 0.0f) {
            killGain_ = 0.0f;
            ending_ = true;
        }
        amp *= killGain_;
    }
    const Envelope::Stage stage = volEnv_.stage();
    if (stage == Envelope::kFinished || (stage >= Envelope::kDecay && env < kEnvelopeSilence) ||
        (stage == Envelope::kRelease && amp < kOutputSilence)) {
        ending_ = true;
    }
    if (ending_)
        amp = 0.0f;
    const float a = amp * kSampleScale;
    amp_ = ampTarget_; // where the previous block's ramp ended
    ampTarget_ = a;
    ampStep_ = (a - amp_) / static_cast<float>(n);
    coef_[0] = panLeft_;
    coef_[1] = panRight_;
    coef_[2] = reverbSend_;
    coef_[3] = chorusSend_;
    blockLeft_ = n;
    firstFrame_ = blockFrames - n;
    blockDone_ = 0;
}

void Voice::release(int atFrame) {
    if (state_ == State::kFree || state_ == State::kKilled || state_ == State::kReleased)
        return;
    state_ = State::kReleased;
    volEnv_.release();
    modEnv_.release();
    if (loopMode_ == kLoopUntilRelease && looping_) {
        if (atFrame <= nextFrame())
            looping_ = false;
        else
            loopStopFrame_ = atFrame; // frames before it, not yet rendered, still loop
    }
}

void Voice::kill() {
    if (state_ == State::kFree || state_ == State::kKilled)
        return;
    state_ = State::kKilled;
    killStep_ = 1.0f / (kKillFadeSeconds * outputRate_);
}

int Voice::fetch(int64_t index) const {
    if (looping_) {
        const int64_t len = loopEnd_ - loopStart_;
        while (index >= loopEnd_)
            index -= len;
        if (wrapped_ && index < loopStart_)
            index += len;
    }
    if (index < start_)
        index = start_;
    if (index >= end_)
        return 0;
    return data_[index];
}

int Voice::generate(int n, float *out) {
    const int16_t *d = data_;
    uint64_t phase = phase_;
    const uint64_t inc = increment_;
    int i = 0;
    while (i < n) {
        const uint32_t low = wrapped_ ? loopStart_ : start_;
        const uint32_t limit = looping_ ? loopEnd_ : end_;
        uint32_t idx = static_cast<uint32_t>(phase >> 32);
        if (idx > low && static_cast<uint64_t>(idx) + 3 <= limit) {
            // Every point the interpolation reads is inside [low, limit): no wrapping needed.
            const uint64_t lastPhase = (static_cast<uint64_t>(limit - 3) << 32) | 0xFFFFFFFFu;
            // Usually the rest of the block ends before the limit: then no 64-bit division is needed.
            int m = n - i;
            if (phase + inc * static_cast<uint64_t>(m - 1) > lastPhase) {
                const uint64_t count = (lastPhase - phase) / inc + 1;
                m = count < static_cast<uint64_t>(m) ? static_cast<int>(count) : m;
            }
            phase = kernels_->interpolate(d, phase, inc, out + i, m);
            i += m;
            continue;
        }
        if (looping_) {
            const uint64_t span = static_cast<uint64_t>(loopEnd_ - loopStart_) << 32;
            while ((phase >> 32) >= loopEnd_) {
                phase -= span;
                wrapped_ = true;
            }
            idx = static_cast<uint32_t>(phase >> 32);
        } else if (idx >= end_) {
            break;
        }
        out[i++] = interpolate(fetch(int64_t(idx) - 1), fetch(idx), fetch(int64_t(idx) + 1), fetch(int64_t(idx) + 2),
                               interpRow(phase));
        phase += inc;
    }
    phase_ = phase;
    return i;
}

int Voice::generateSpan(int n, float *out) {
    if (loopStopFrame_ < 0)
        return generate(n, out);
    const int looped = loopStopFrame_ - nextFrame();
    if (looped >= n)
        return generate(n, out);
    int m = 0;
    if (looped > 0)
        m = generate(looped, out); // still looping: always all of them
    looping_ = false;
    loopStopFrame_ = -1;
    return m + generate(n - m, out + m);
}

// The filter's recursion, the amplitude ramp and the spread to the buses in one pass per sample. The ramp is
// evaluated from the block start so that any split of the block gives the same samples; it reaches its target
// on the block's last frame, so a new note sounds from its first frame.
template <int kSends> void Voice::mixFiltered(const float *in, int m, const VoiceBuses &buses) {
    const MixGains g = gains();
    float *__restrict left = buses.left;
    float *__restrict right = buses.right;
    float *__restrict rev = buses.reverb; // used only when kSends says it exists
    float *__restrict cho = buses.chorus;
    LowPass::State fs = filter_.state();
    for (int k = 0; k < m; ++k) {
        const float x = filter_.tick(fs, in[k]);
        const float v = x * (g.a0 + g.da * static_cast<float>(g.base + k));
        left[k] += v * g.left;
        right[k] += v * g.right;
        if (kSends & kReverbBus)
            rev[k] += v * g.reverb;
        if (kSends & kChorusBus)
            cho[k] += v * g.chorus;
    }
    filter_.setState(fs);
}

void Voice::render(int n, float *scratch, const VoiceBuses &buses) {
    if (state_ == State::kFree)
        return;
    const int m = generateSpan(n, scratch);
    if (!filterOn_) {
        finish(n, m, scratch, buses);
        return;
    }
    switch ((reverbBus(buses) ? kReverbBus : 0) | (chorusBus(buses) ? kChorusBus : 0)) {
    case kReverbBus:
        mixFiltered<kReverbBus>(scratch, m, buses);
        break;
    case kChorusBus:
        mixFiltered<kChorusBus>(scratch, m, buses);
        break;
    case kReverbBus | kChorusBus:
        mixFiltered<kReverbBus | kChorusBus>(scratch, m, buses);
        break;
    default:
        mixFiltered<0>(scratch, m, buses);
        break;
    }
    endChunk(n, m);
}

void Voice::finish(int n, int m, const float *in, const VoiceBuses &buses) {
    kernels_->mix(in, m, gains(), buses.left, buses.right, reverbBus(buses), chorusBus(buses));
    endChunk(n, m);
}

void Voice::endChunk(int n, int m) {
    blockDone_ += n;
    blockLeft_ -= n;
    if (m < n || (ending_ && blockLeft_ <= 0))
        state_ = State::kFree;
}

} // namespace tw::synth
