// SoundFont modulators: source values from channel state, curves, and their sums per generator.
#pragma once

#include "channel_state.h"
#include "soundfont.h"

namespace tw::synth {

// What a voice's modulators read besides the channel: the note that started it.
struct NoteContext {
    int key = 60;
    int velocity = 100;
};

// Adds every modulator's contribution (amount x source x amount source, transformed) to sums, indexed by
// generator; sums has kGeneratorCount entries and is cleared first. Linked modulators are ignored.
void evaluateModulators(const Modulator *mods, int count, const ChannelState &channel, const NoteContext &note,
                        float *sums);

// Value of one modulator source enumeration, mapped through its curve, polarity and direction: 0..1 unipolar,
// -1..1 bipolar.
float modulatorSourceValue(uint16_t source, const ChannelState &channel, const NoteContext &note);

} // namespace tw::synth
