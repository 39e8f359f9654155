// One MIDI channel's state: controllers, RPN parameters, bank and program, pitch bend, pressure, drum flag.
#pragma once

#include <cstdint>

namespace tw::synth {

// Controller numbers the synthesizer interprets.
enum Controller : uint8_t {
    kCcBankMsb = 0,
    kCcModWheel = 1,
    kCcDataEntryMsb = 6,
    kCcVolume = 7,
    kCcPan = 10,
    kCcExpression = 11,
    kCcBankLsb = 32,
    kCcDataEntryLsb = 38,
    kCcSustain = 64,
    kCcReverbSend = 91,
    kCcChorusSend = 93,
    kCcNrpnLsb = 98,
    kCcNrpnMsb = 99,
    kCcRpnLsb = 100,
    kCcRpnMsb = 101,
    kCcAllSoundOff = 120,
    kCcResetAllControllers = 121,
    kCcAllNotesOff = 123,
    kCcOmniOff = 124,
    kCcOmniOn = 125,
    kCcMonoOn = 126,
    kCcPolyOn = 127,
};

constexpr int kChannelCount = 16;
constexpr int kDrumChannel = 9;
constexpr int kPitchBendCentre = 8192;
constexpr int kDrumBank = 128;

// Per-channel state. serial changes whenever something a modulator reads changes, so voices know to
// re-evaluate their modulators at the next control block.
struct ChannelState {
    uint8_t cc[128] = {};
    uint8_t keyPressure[128] = {};
    int pitchBend = kPitchBendCentre; // 0..16383
    int channelPressure = 0;          // 0..127
    int program = 0;
    int bankMsb = 0, bankLsb = 0; // as received; applied at the next program change
    int presetIndex = -1;         // SoundFont preset in use, -1 if none sounds
    bool drum = false;
    int bendRangeCents = 200;    // RPN 0
    float fineTuneCents = 0.0f;  // RPN 1, -100..+100
    int coarseTuneSemitones = 0; // RPN 2, -64..+63
    int rpn = 0x3FFF;            // selected RPN, 0x3FFF when none (or an NRPN) is selected
    uint32_t serial = 0;

    // Back to power-on defaults; drum tells whether the channel starts as a drum part.
    void resetAll(bool drumPart);
    // Reset All Controllers: modulation, expression, pedals, bend, pressure and RPN selection; volume, pan,
    // effect sends, bank and program stay.
    void resetControllers();
    // Applies a controller value; returns true when a tuning or bend-range parameter changed.
    bool setController(int controller, int value);

    bool sustainOn() const { return cc[kCcSustain] >= 64; }
    // Tuning from RPN 1 and 2 in cents.
    float tuningCents() const { return fineTuneCents + coarseTuneSemitones * 100.0f; }

private:
    void applyDataEntry();
};

} // namespace tw::synth
