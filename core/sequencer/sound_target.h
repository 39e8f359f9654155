// What the player drives: a synthesizer taking channel messages and rendering float stereo.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw::sequencer {

// Mirrors tw::synth::Synth so the player can be tested against a stand-in; see synth_target.h for the real one.
// Every call comes from the rendering thread and must be real-time safe.
class SoundTarget {
public:
    virtual ~SoundTarget() = default;
    virtual void noteOn(int channel, int key, int velocity) = 0;
    virtual void noteOff(int channel, int key) = 0;
    virtual void controlChange(int channel, int controller, int value) = 0;
    virtual void programChange(int channel, int program) = 0;
    virtual void pitchBend(int channel, int value) = 0; // 0..16383, 8192 centre
    virtual void channelPressure(int channel, int value) = 0;
    virtual void keyPressure(int channel, int key, int value) = 0;
    virtual void sysEx(const uint8_t *data, size_t size) = 0; // payload after F0
    virtual void reset() = 0;
    virtual void setMasterVolume(int hundredthsDb) = 0;
    // The messages that follow take effect this many frames into the next render() (within the current 64-frame
    // grid block); 0 after every render().
    virtual void setEventOffset(int frames) = 0;
    virtual void render(float *left, float *right, int frames) = 0;
    virtual int sampleRate() const = 0;
};

} // namespace tw::sequencer
