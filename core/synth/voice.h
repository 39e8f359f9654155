// One sounding zone of a note: sample playback with 4-point interpolation, envelopes, LFOs, filter, gains.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel_state.h"
#include "envelope.h"
#include "lowpass.h"
#include "modulation.h"
#include "soundfont.h"
#include "voice_kernels.h"

namespace tw::synth {

// Mix buses a voice adds into; each holds at least the frames of one render call.
struct VoiceBuses {
    float *left;
    float *right;
    float *reverb; // mono send, nullptr when the effect is off
    float *chorus; // mono send, nullptr when the effect is off
};

class Voice {
public:
    enum class State : uint8_t { kFree, kOn, kSustained, kReleased, kKilled };

    // Starts playing zone for a note; data is the SoundFont's whole 16-bit sample pool of count points.
    // Returns false when the zone cannot sound (no sample or an empty range).
    bool start(const ZoneVoice &zone, const int16_t *data, size_t count, int channel, int key, int velocity,
               const ChannelState &state, float outputRate, uint32_t order);

    // The inner loops to use; set once, before the first start().
    void setKernels(const VoiceKernels *kernels) { kernels_ = kernels; }

    // Computes the targets reached after the next n frames: a control block of blockFrames, or its rest for a
    // voice that starts part way through it.
    void control(const ChannelState &state, int n, int blockFrames);
    // The frame of the current control block this voice renders next.
    int nextFrame() const { return firstFrame_ + blockDone_; }

    // Renders n frames (up to the end of the current control block) from nextFrame() on into buses, which
    // point at that frame; scratch holds n floats. Marks the voice free when it has ended.
    void render(int n, float *scratch, const VoiceBuses &buses);

    // The same in three steps, so that the caller can filter four voices at once in between:
    // produce() interpolates up to n frames into out and returns how many the sample had; the caller then runs
    // filter() over them when filtered() says so; finish() mixes them and ends the block's part.
    int produce(int n, float *out) { return generateSpan(n, out); }
    bool filtered() const { return filterOn_; }
    LowPass &filter() { return filter_; }
    void finish(int n, int m, const float *in, const VoiceBuses &buses);

    // Key released at frame atFrame of the current control block: enters the release stages (from the next
    // block on); loop mode 3 then plays on to the sample's end from that frame.
    void release(int atFrame);
    // Held by the sustain pedal after its key was released.
    void sustain() { state_ = State::kSustained; }
    // Fades out over kKillFadeSeconds; the voice stops counting as a sounding voice.
    void kill();
    // Silences at once (reset, pool exhausted by faders).
    void stop() { state_ = State::kFree; }

    State state() const { return state_; }
    bool free() const { return state_ == State::kFree; }
    bool live() const { return state_ != State::kFree && state_ != State::kKilled; }
    int channel() const { return channel_; }
    int key() const { return key_; }
    int exclusiveClass() const { return exclusiveClass_; }
    uint32_t order() const { return order_; }
    uint32_t noteId() const { return noteId_; }
    // The note-on that started the voice, and the control block it started in (a count of blocks).
    void setStarted(uint32_t noteId, uint32_t block) {
        noteId_ = noteId;
        startBlock_ = block;
    }
    uint32_t startBlock() const { return startBlock_; }
    // Current amplitude of the voice relative to full scale: stealing picks the quietest.
    float loudness() const { return loudness_; }
    float killGain() const { return killGain_; }

    static constexpr float kKillFadeSeconds = 0.003f;

private:
    void setupSample(const ZoneVoice &zone, const int16_t *data, size_t count);
    void setupEnvelopes(int key);
    // Envelope times in samples for a key from the eight generators starting at first.
    EnvelopeParams envelopeParams(int first, float sustainFullScale, int key) const;
    void updateModulated(const ChannelState &state);
    int generate(int n, float *out);
    // generate(), stopping the loop where a release of loop mode 3 asks.
    int generateSpan(int n, float *out);
    MixGains gains() const { return {amp_, ampStep_, blockDone_ + 1, coef_[0], coef_[1], coef_[2], coef_[3]}; }
    // The send buses this voice feeds: null where the effect is off or the send is zero.
    float *reverbBus(const VoiceBuses &buses) const { return coef_[2] != 0.0f ? buses.reverb : nullptr; }
    float *chorusBus(const VoiceBuses &buses) const { return coef_[3] != 0.0f ? buses.chorus : nullptr; }
    // Filter, gain ramp and mix per sample: the reference form, for a filtered voice rendered on its own.
    template <int kSends> void mixFiltered(const float *in, int m, const VoiceBuses &buses);
    void endChunk(int n, int m);
    int fetch(int64_t index) const;
    float gen(int g) const { return static_cast<float>(zone_.gen[g]) + modSums_[g]; }

    // Sample playback.
    const int16_t *data_ = nullptr;
    uint32_t start_ = 0, end_ = 0, loopStart_ = 0, loopEnd_ = 0; // points into data_, end exclusive
    uint64_t phase_ = 0;                                         // 32.32 fixed-point position in data_
    uint64_t increment_ = 0;                                     // 32.32 step per output frame
    bool looping_ = false;                                       // currently looping (mode 3 stops at release)
    bool wrapped_ = false;                                       // passed the loop end at least once
    int loopMode_ = 0;
    float sampleRatio_ = 1.0f; // sample rate / output rate

    // Note and zone.
    ZoneVoice zone_;
    NoteContext note_;
    int channel_ = 0, key_ = 0, exclusiveClass_ = 0;
    uint32_t order_ = 0, noteId_ = 0, serial_ = 0, startBlock_ = 0;
    const VoiceKernels *kernels_ = &ScalarKernels();
    State state_ = State::kFree;
    float outputRate_ = 44100.0f;

    // Modulated parameters, refreshed when the channel's serial changes.
    float modSums_[kGeneratorCount] = {};
    float pitchCents_ = 0; // relative to the sample's own pitch
    float attenuationCb_ = 0;
    float panLeft_ = 0.7071f, panRight_ = 0.7071f;
    float reverbSend_ = 0, chorusSend_ = 0;                           // 0..1
    float filterFc_ = 13500, filterQ_ = 0;                            // absolute cents, centibels
    float modLfoToPitch_ = 0, vibLfoToPitch_ = 0, modEnvToPitch_ = 0; // cents
    float modLfoToFilter_ = 0, modEnvToFilter_ = 0;                   // cents
    float modLfoToVolume_ = 0;                                        // centibels

    float lastCents_ = 0, lastFilterFc_ = 0, lastFilterQ_ = 0; // inputs of the current step and coefficients
    float lastAttenCb_ = -1.0f, lastAttenGain_ = 1.0f;         // attenuation of the last block and its gain

    Envelope volEnv_, modEnv_;
    Lfo modLfo_, vibLfo_;
    LowPass filter_;
    bool filterOn_ = false;

    // Amplitude (sample scale included) ramped linearly across the control block: value at the block start,
    // per-frame step, value at the block end. Pan and send coefficients hold for the block.
    float amp_ = 0, ampStep_ = 0, ampTarget_ = 0;
    float coef_[4] = {};     // left, right, reverb send, chorus send
    int firstFrame_ = 0;     // frame of the control block where the current ramp starts
    int blockDone_ = 0;      // frames of the ramp already rendered
    int loopStopFrame_ = -1; // frame of the current control block where the loop ends (a release), or -1
    float killGain_ = 1.0f, killStep_ = 0.0f;
    float loudness_ = 0;
    int blockLeft_ = 0;   // frames left in the current control block
    bool ending_ = false; // the voice has reached silence; it frees itself after the current block
};

} // namespace tw::synth
