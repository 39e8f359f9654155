// The synthesizer's internals: channels, the voice pool, the mix buses, effects and the output limiter.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "channel_state.h"
#include "limiter.h"
#include "reverb.h"
#include "soundfont.h"
#include "synth.h"
#include "voice.h"
#include "voice_kernels.h"
#include "victim_finder.h"
#include "voice_pool.h"

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
    void setEventOffset(int frames);
    void setDryBlock(DryBlock *block) { dry_ = block; }
    void renderWet(DryBlock &block, float *left, float *right);
    void setWetThreadHelps(bool helps) { wetHelps_ = helps; }
    bool helpMix();

    int activeVoices() const { return pool_.usedCount(); }
    bool keySounding(int channel, int key) const;
    int sampleRate() const { return config_.sampleRate; }
    int maxVoices() const { return config_.maxVoices; }
    SimdLevel simdLevel() const { return kernels_->level; }

    // Makes a loaded font the one every channel plays; the voices of the previous one stop.
    void installSoundFont(std::unique_ptr<SoundFont> font);

private:
    static constexpr int kBlock = Synth::kBlockFrames;
    // Extra slots where stolen voices fade out: a dense file steals on nearly every note-on, and each victim
    // fades for a few blocks.
    static constexpr int kMinSpareVoices = 64;
    static constexpr int kMaxZonesPerNote = 32;
    static constexpr int kMaxFilterLanes = 16; // voices filtered side by side: two SIMD groups at most
    static constexpr int kChunkVoices = 16;    // voices of a chunk of a pass
    // Voices from which a pass goes in chunks, shared with the wet thread when it helps: below, the work of a
    // pass is too short to pay for handing chunks between two processors.
    static constexpr int kShareVoices = 48;
    static constexpr int kChunkSpins = 2000; // pauses while the wet thread ends its chunk, before yielding

    // Rendering. A control block's voices are mixed into the block buses lazily: messages take effect at the
    // event position, and the voices are rendered up to it only when a message needs the sound before it (a
    // voice cut off) or when the frames are delivered.
    // What one thread needs to render voices: its buses (the wet thread's; the caller's thread uses the block's) and
    // its scratch space.
    struct Workspace {
        float left[kBlock], right[kBlock], reverb[kBlock], chorus[kBlock];
        float scratch[kBlock];
        float lanes[kMaxFilterLanes][kBlock], pad[kBlock];
        LowPass padFilter;
        std::vector<Voice *> filtered; // pool-sized
    };
    // A pass over the voices in use. From kShareVoices on the voices go in chunks, each rendered into buses of its
    // own and summed in chunk order, whichever thread took it: the samples do not depend on the help.
    struct Pass {
        enum Kind { kControl, kRender } kind;
        int from, to; // frames of the block (render)
        int count;    // voices, in passSlots_
    };
    struct ChunkBuses {
        float left[kBlock], right[kBlock], reverb[kBlock], chorus[kBlock];
    };
    void runPass(Pass::Kind kind, int from, int to);
    bool claimChunks(Workspace &ws, bool fromBack);
    void runChunk(int chunk, Workspace &ws);
    void runShare(const Pass &pass, const int *slots, int count, Workspace &ws, const VoiceBuses &buses);

    void beginBlock();
    void mixThrough(int frame); // every voice's mix complete up to this frame of the block
    void renderVoices(const int *slots, int count, int from, int to, Workspace &ws, const VoiceBuses &buses);
    void renderFiltered(Voice *const *group, int count, int n, Workspace &ws, const VoiceBuses &buses);
    void sweepEnded();
    void deliver(int from, int n, float *left, float *right);
    void finishMix(const VoiceBuses &buses, const float *gain, float *left, float *right, int n);
    VoiceBuses blockBuses(int at);
    static VoiceBuses offset(const VoiceBuses &buses, int at);
    VoiceBuses dryBuses(DryBlock &block, int at) const; // the block's buses from frame at on

    // Voices.
    Voice *allocateVoice();
    void releaseVoice(int slot);
    void startZones(int channel, int key, int velocity, int zoneCount);
    void killVoice(int slot);
    void stopVoice(int slot);
    void stopAll();
    void releaseSustained(int channel);
    // Releases (or, under a held sustain pedal, sustains) the channel's voices still on for key.
    void endNotes(int channel, int key);
    static constexpr int kAnyKey = -1;
    void allNotesOff(int channel);
    void allSoundOff(int channel);
    int slotOf(const Voice &v) const { return static_cast<int>(&v - voices_.data()); }

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
    std::vector<Voice> voices_; // maxVoices sounding plus the spare ones fading
    VoicePool pool_;            // which of voices_ are in use
    VictimFinder victims_;
    std::vector<uint8_t> counted_; // per slot: counted in liveCount_
    int liveCount_ = 0;            // voices on, sustained or released (not fading out, not free)
    std::vector<ZoneVoice> zones_; // collectZones output, kMaxZonesPerNote entries
    const VoiceKernels *kernels_;
    uint32_t voiceOrder_ = 0;  // start counter: lower is older
    uint32_t noteCounter_ = 0; // identifies the voices one note-on started

    // Mix buses of the current control block, indexed by its frames.
    float mixLeft_[kBlock] = {}, mixRight_[kBlock] = {}, reverbBus_[kBlock] = {}, chorusBus_[kBlock] = {};
    float gain_[kBlock] = {};
    DryBlock *dry_ = nullptr; // set: render() fills it instead of the outputs
    bool wetHelps_ = false;   // the renderWet() thread takes chunks too
    std::unique_ptr<Workspace> own_, helperSpace_;
    std::vector<int> passSlots_; // the slots of the current pass (pool-sized)
    Pass pass_{};                // the current chunked pass: written before claim_ is published
    std::unique_ptr<ChunkBuses[]> chunkBuses_;
    // The current pass's chunks: pass serial (bits 32..63), end of the chunks left (16..31), first left (0..15).
    // Each on a cache line of its own: the wet thread reads claim_ while it waits, and must not pull the lines
    // this thread writes as it renders.
    alignas(64) std::atomic<uint64_t> claim_{0};
    alignas(64) std::atomic<int> chunksDone_{0};
    alignas(64) uint32_t passSerial_ = 0;
    int blockPos_ = 0;        // frames of the current control block already delivered
    int voicesDone_ = 0;      // frames of the current control block whose voices are in the buses
    int eventPos_ = 0;        // frame of the current control block where messages take effect
    bool blockBegun_ = false; // the current control block's control pass has run
    uint32_t blockCount_ = 0; // control blocks begun since the synth was made: a voice's start block

    Reverb reverb_;
    Chorus chorus_;
    Limiter limiter_;
    float masterGain_ = 0, masterStart_ = 0, masterStep_ = 0, masterTarget_ = 0; // linear output gain
    bool masterSnap_ = true; // until the first render after a reset, a new level applies at once, without a ramp
    float dcPole_ = 0, dcInLeft_ = 0, dcInRight_ = 0, dcOutLeft_ = 0, dcOutRight_ = 0; // DC blocker
};

} // namespace tw::synth
