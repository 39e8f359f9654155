// The synthesizer's internals: channels, the voice pool, the mix buses, effects and the output limiter.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "channel_state.h"
#include "limiter.h"
#include "reverb.h"
#include "soundfont.h"
#include "synth.h"
#include "voice.h"

namespace tw::synth {

// Which reset SysEx last arrived: decides how bank select and drum parts are read.
enum class MidiMode { kGm, kGs, kXg };

class SynthImpl {
public:
    explicit SynthImpl(const SynthConfig &config);

    LoadStatus loadSoundFont(const uint8_t *data, size_t size, std::string &error);
    LoadStatus loadSoundFontFile(const std::string &path, std::string &error);

    void noteOn(int channel, int key, int velocity);
    void noteOff(int channel, int key);
    void controlChange(int channel, int controller, int value);
    void programChange(int channel, int program);
    void pitchBend(int channel, int value);
    void channelPressure(int channel, int value);
    void keyPressure(int channel, int key, int value);
    void sysEx(const uint8_t *data, size_t size);
    void reset();
    void setMasterVolume(int hundredthsDb);
    void render(float *left, float *right, int frames);
    void setDryBlock(DryBlock *block) { dry_ = block; }
    void renderWet(DryBlock &block, float *left, float *right);

    int activeVoices() const;
    int sampleRate() const { return config_.sampleRate; }

    // Makes a loaded font the one every channel plays; the voices of the previous one stop.
    void installSoundFont(std::unique_ptr<SoundFont> font);

private:
    static constexpr int kBlock = Synth::kBlockFrames;
    static constexpr int kSpareVoices = 64; // extra slots where stolen voices fade out
    static constexpr int kMaxZonesPerNote = 32;
    static constexpr int kFilterLanes = 8; // voices filtered side by side: two SIMD groups of four

    // Rendering.
    void controlBlock();
    void renderChunk(float *left, float *right, int n);
    // The two stages of a chunk: the voices into the buses with the master gain per frame, then the rest.
    void mixVoices(const VoiceBuses &buses, float *gain, int n);
    void finishMix(const VoiceBuses &buses, const float *gain, float *left, float *right, int n);
    VoiceBuses dryBuses(DryBlock &block, int at) const; // the block's buses from frame at on
    void renderFiltered(Voice *const *group, int count, int n, const VoiceBuses &buses);

    // Voices.
    Voice *allocateVoice();
    Voice *chooseVictim();
    void startZones(int channel, int key, int velocity, int zoneCount);
    void releaseSustained(int channel);
    // Releases (or, under a held sustain pedal, sustains) the channel's voices still on for key.
    void endNotes(int channel, int key);
    static constexpr int kAnyKey = -1;
    void allNotesOff(int channel);
    void allSoundOff(int channel);

    // Channels, programs and SysEx.
    void resetChannels();
    void resetToMode(MidiMode mode);
    void resolvePreset(int channel);
    void gsSysEx(const uint8_t *data, size_t size);
    void setDrumPart(int channel, bool drum);

    SynthConfig config_;

    std::unique_ptr<SoundFont> font_; // null until a SoundFont loads
    ChannelState channels_[kChannelCount];
    MidiMode mode_ = MidiMode::kGm;
    std::vector<Voice> voices_;    // maxVoices sounding plus kSpareVoices fading
    size_t voiceEnd_ = 0;          // every voice from here on is free: the per-block loops stop here
    std::vector<ZoneVoice> zones_; // collectZones output, kMaxZonesPerNote entries
    uint32_t voiceOrder_ = 0;      // start counter: lower is older
    uint32_t noteCounter_ = 0;     // identifies the voices one note-on started

    // Mix buses for one control block at most.
    float mixLeft_[kBlock] = {}, mixRight_[kBlock] = {}, reverbBus_[kBlock] = {}, chorusBus_[kBlock] = {};
    float scratch_[kBlock] = {};
    float gain_[kBlock] = {};
    DryBlock *dry_ = nullptr;             // set: render() fills it instead of the outputs
    std::vector<Voice *> filteredVoices_; // this chunk's voices with an active filter (pool-sized)
    float laneScratch_[kFilterLanes][kBlock] = {}, padScratch_[kBlock] = {};
    LowPass padFilter_;
    int blockPos_ = 0; // frames of the current control block already rendered

    Reverb reverb_;
    Chorus chorus_;
    Limiter limiter_;
    float masterGain_ = 0, masterStart_ = 0, masterStep_ = 0, masterTarget_ = 0; // linear output gain
    bool masterSnap_ = true; // until the first render after a reset, a new level applies at once, without a ramp
    float dcPole_ = 0, dcInLeft_ = 0, dcInRight_ = 0, dcOutLeft_ = 0, dcOutRight_ = 0; // DC blocker
};

} // namespace tw::synth
