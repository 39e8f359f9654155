// One sounding zone of a note: sample playback with 4-point interpolation, envelopes, LFOs, filter, gains.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel_state.h"
#include "envelope.h"
#include "lowpass.h"
#include "modulation.h"
#include "soundfont.h"

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

    // Computes the targets reached after the next n frames (a control block, or its rest for a new voice).
    void control(const ChannelState &state, int n);

    // Renders n frames (n <= the frames of the current control block) into buses; scratch holds n floats.
    // Marks the voice free when it has ended.
    void render(int n, float *scratch, const VoiceBuses &buses);

    // The same in three steps, so that the caller can filter four voices at once in between:
    // produce() interpolates up to n frames into out and returns how many the sample had; the caller then runs
    // filter() over them when filtered() says so; finish() mixes them and ends the block's part.
    int produce(int n, float *out) { return generate(n, out); }
    bool filtered() const { return filterOn_; }
    LowPass &filter() { return filter_; }
    void finish(int n, int m, const float *in, const VoiceBuses &buses);

    // Key released: enters the release stages (loop mode 3 then plays on to the sample's end).
    void release();
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
    void setNoteId(uint32_t id) { noteId_ = id; }
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
    // kSends: bit 0 reverb bus, bit 1 chorus bus; buses with a zero send are skipped.
    template <bool kFiltered, int kSends> void mix(const float *in, int m, const VoiceBuses &buses);
    template <bool kFiltered> void mixAny(const float *in, int m, const VoiceBuses &buses);
    int sendMask(const VoiceBuses &buses) const;
    void endChunk(int n, int m);
    template <int kSends>
    int mixVector(const float *in, int m, int base, float *left, float *right, float *rev, float *cho) const;
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
    uint32_t order_ = 0, noteId_ = 0, serial_ = 0;
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
    float coef_[4] = {}; // left, right, reverb send, chorus send
    int blockDone_ = 0;  // frames of the current control block already rendered
    float killGain_ = 1.0f, killStep_ = 0.0f;
    float loudness_ = 0;
    int blockLeft_ = 0;   // frames left in the current control block
    bool ending_ = false; // the voice has reached silence; it frees itself after the current block
};

} // namespace tw::synth
