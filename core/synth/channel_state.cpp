// MIDI channel controller handling: defaults, Reset All Controllers and RPN data entry.
#include "channel_state.h"

namespace tw::synth {

namespace {
constexpr int kRpnNone = 0x3FFF;
constexpr int kRpnBendRange = 0, kRpnFineTune = 1, kRpnCoarseTune = 2;
constexpr uint8_t kDefaultVolume = 100, kDefaultPan = 64, kDefaultExpression = 127, kDefaultReverb = 40;
} // namespace

void ChannelState::resetAll(bool drumPart) {
    for (auto &c : cc)
        c = 0;
    cc[kCcVolume] = kDefaultVolume;
    cc[kCcPan] = kDefaultPan;
    cc[kCcReverbSend] = kDefaultReverb;
    program = 0;
    bankMsb = bankLsb = 0;
    presetIndex = -1;
    drum = drumPart;
    bendRangeCents = 200;
    fineTuneCents = 0.0f;
    coarseTuneSemitones = 0;
    resetControllers();
}

void ChannelState::resetControllers() {
    cc[kCcModWheel] = 0;
    cc[kCcExpression] = kDefaultExpression;
    for (int c = 64; c <= 69; ++c)
        cc[c] = 0;
    for (auto &p : keyPressure)
        p = 0;
    pitchBend = kPitchBendCentre;
    channelPressure = 0;
    rpn = kRpnNone;
    cc[kCcRpnLsb] = cc[kCcRpnMsb] = cc[kCcNrpnLsb] = cc[kCcNrpnMsb] = 127;
    ++serial;
}

bool ChannelState::setController(int controller, int value) {
    cc[controller & 127] = static_cast<uint8_t>(value & 127);
    ++serial;
    switch (controller) {
    case kCcBankMsb:
        bankMsb = value;
        break;
    case kCcBankLsb:
        bankLsb = value;
        break;
    case kCcRpnLsb:
    case kCcRpnMsb:
        rpn = (cc[kCcRpnMsb] << 7) | cc[kCcRpnLsb];
        break;
    case kCcNrpnLsb:
    case kCcNrpnMsb:
        rpn = kRpnNone;
        break; // NRPNs are accepted and ignored
    case kCcDataEntryMsb:
        cc[kCcDataEntryLsb] = 0; // a new coarse value starts with a zero fine part
        [[fallthrough]];
    case kCcDataEntryLsb:
        if (rpn != kRpnNone) {
            applyDataEntry();
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

void ChannelState::applyDataEntry() {
    const int msb = cc[kCcDataEntryMsb], lsb = cc[kCcDataEntryLsb];
    switch (rpn) {
    case kRpnBendRange:
        bendRangeCents = msb * 100 + (lsb < 100 ? lsb : 99);
        break;
    case kRpnFineTune:
        fineTuneCents = ((msb << 7 | lsb) - 8192) * (100.0f / 8192.0f);
        break;
    case kRpnCoarseTune:
        coarseTuneSemitones = msb - 64;
        break;
    default:
        break;
    }
}

} // namespace tw::synth
