// SoundFont 2 synthesizer: MIDI channel messages in, float stereo out, rendered in blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tw::synth {

enum class LoadStatus { Ok, CannotOpen, NotSoundFont, Damaged, OutOfMemory };

// Which form of the voices' inner loops runs: the best the processor has, or a lower one (for comparisons).
// All of them give the same samples.
enum class SimdLevel { kAuto, kScalar, kSse2, kAvx2 };

struct SynthConfig {
    static constexpr int kDefaultVoices = 256;
    static constexpr int kMaxVoices = 4096;
    int sampleRate = 44100;         // output rate in Hz
    int maxVoices = kDefaultVoices; // voices sounding at once, 1..kMaxVoices; the pool is allocated once, here
    bool reverb = true;
    bool chorus = true;
    SimdLevel simd = SimdLevel::kAuto;
};

class SynthImpl;
class SoundFont; // soundfont.h

// The voices' mix of a span of frames, before reverb, chorus, master gain and limiter: see setDryBlock().
struct DryBlock {
    static constexpr int kCapacity = 4096 + 128;
    int frames = 0;
    float left[kCapacity], right[kCapacity], reverb[kCapacity], chorus[kCapacity];
    float gain[kCapacity]; // the master gain of each frame
};

// Owns a loaded SoundFont and the whole voice pool. Every message method and render() is real-time safe: no
// allocation, no lock, no I/O. One thread at a time drives a Synth; messages applied between two render()
// calls take effect at the first sample of the next call.
class Synth {
public:
    static constexpr int kBlockFrames = 64; // control-rate period: envelopes, LFOs and filters update per block

    explicit Synth(const SynthConfig &config = {});
    ~Synth();
    Synth(const Synth &) = delete;
    Synth &operator=(const Synth &) = delete;

    // Loads a SoundFont from memory or from a file; replaces any earlier one. error gets an English text.
    LoadStatus loadSoundFont(const uint8_t *data, size_t size, std::string &error);
    LoadStatus loadSoundFontFile(const std::string &path, std::string &error);
    // Plays a SoundFont loaded beforehand (SoundFont::loadFile) from now on: a slow load can run on another
    // thread while this synthesizer plays, and a failed one leaves the SoundFont in use alone.
    void useSoundFont(std::unique_ptr<SoundFont> font);

    // MIDI channel messages; channel 0..15, data values 0..127, pitch bend 0..16383 (8192 centre).
    void noteOn(int channel, int key, int velocity); // velocity 0 is a note off
    void noteOff(int channel, int key);
    void controlChange(int channel, int controller, int value);
    void programChange(int channel, int program);
    void pitchBend(int channel, int value);
    void channelPressure(int channel, int value);
    void keyPressure(int channel, int key, int value);
    void sysEx(const uint8_t *data, size_t size); // payload after F0, with or without the closing F7
    void reset(); // all sound off, controllers and programs to GM defaults, effects and limiter emptied

    // Master volume in hundredths of a decibel relative to the nominal level, -2000..+2000 (+2000: a typical
    // General MIDI file sounds full; a peak limiter keeps the output at or below -0.1 dBFS). Starts at 0.
    void setMasterVolume(int hundredthsDb);

    // Renders frames of stereo output (any count); each pointer receives frames floats in -1..1.
    void render(float *left, float *right, int frames);
    // The messages that follow, until the next render(), take effect this many frames into it (at most up to
    // the end of the current 64-frame control block). Lets a caller hand over a block's messages first and
    // render the block in one call: the voices are then mixed a whole block at a time.
    void setEventOffset(int frames);

    // Rendering in two stages, so that a second thread can run the effects while the next frames are mixed.
    // While a dry block is set, render() appends the voices' mix to it instead (up to its capacity; frames
    // past that are lost) and leaves its outputs alone. renderWet() then makes a filled block's output and
    // empties it. Blocks reach renderWet() in the order they were filled, on one thread at a time; render()
    // without a dry block, and reset(), wait until every filled block has been through renderWet().
    void setDryBlock(DryBlock *block);

    void renderWet(DryBlock &block, float *left, float *right);
    // Lets the thread that runs renderWet() share the voices' work while the blocks are filled: renderWet()
    // then takes voices between its pieces, and so does helpMix() (see WaitHelpingVoices). Meant for rendering
    // faster than real time, with two processors for two threads. The samples are the same to the bit with
    // help and without: crowded passes go in chunks summed in a fixed order, whichever thread took them. Set
    // before the second thread starts, cleared after it ends.
    void setWetThreadHelps(bool helps);
    // On the thread that runs renderWet(): mixes the voices of the pass in progress that nobody has taken yet;
    // false when there were none.
    bool helpMix();

    int activeVoices() const; // voices in the pool, fading ones included
    // Whether a voice of the key sounds on the channel (on, held or released; not fading out after a steal).
    bool keySounding(int channel, int key) const;
    int sampleRate() const;
    int maxVoices() const;
    SimdLevel simdLevel() const; // the form in use
    // Frames by which the output lags the messages: the peak limiter's look-ahead.
    static constexpr int latencyFrames() { return kLimiterLookAhead - 1; }
    static constexpr int kLimiterLookAhead = 64;

private:
    std::unique_ptr<SynthImpl> impl_;
};

} // namespace tw::synth
