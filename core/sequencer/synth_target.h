// Adapter that lets the player drive the SoundFont synthesizer.
#pragma once

#include "core/sequencer/sound_target.h"
#include "core/synth/synth.h"

namespace tw::sequencer {

class SynthTarget final : public SoundTarget {
public:
    explicit SynthTarget(synth::Synth &synth) : synth_(synth) {}
    void noteOn(int channel, int key, int velocity) override { synth_.noteOn(channel, key, velocity); }
    void noteOff(int channel, int key) override { synth_.noteOff(channel, key); }
    void controlChange(int channel, int controller, int value) override {
        synth_.controlChange(channel, controller, value);
    }
    void programChange(int channel, int program) override { synth_.programChange(channel, program); }
    void pitchBend(int channel, int value) override { synth_.pitchBend(channel, value); }
    void channelPressure(int channel, int value) override { synth_.channelPressure(channel, value); }
    void keyPressure(int channel, int key, int value) override { synth_.keyPressure(channel, key, value); }
    void sysEx(const uint8_t *data, size_t size) override { synth_.sysEx(data, size); }
    void reset() override { synth_.reset(); }
    void setMasterVolume(int hundredthsDb) override { synth_.setMasterVolume(hundredthsDb); }
    void setEventOffset(int frames) override { synth_.setEventOffset(frames); }
    void render(float *left, float *right, int frames) override { synth_.render(left, right, frames); }
    int sampleRate() const override { return synth_.sampleRate(); }

private:
    synth::Synth &synth_;
};

} // namespace tw::sequencer
