// MIDI message handling: notes and the voice pool, controllers, programs with bank fallback, reset SysEx.
#include "synth_impl.h"

#include <algorithm>

namespace tw::synth {

namespace {
constexpr uint8_t kSysExEnd = 0xF7;
constexpr uint8_t kUniversalNonRealTime = 0x7E, kGeneralMidi = 0x09;
constexpr uint8_t kGmOn = 0x01, kGmOff = 0x02, kGm2On = 0x03;
constexpr uint8_t kRoland = 0x41, kRolandGs = 0x42, kRolandDataSet = 0x12;
constexpr uint8_t kYamaha = 0x43, kYamahaXg = 0x4C;
constexpr int kXgDrumBank = 127, kXgSfxBank = 126;
constexpr int kGm2RhythmBank = 120;

bool validChannel(int ch) {
    return ch >= 0 && ch < kChannelCount;
}
int clamp7(int v) {
    return v < 0 ? 0 : (v > 127 ? 127 : v);
}
} // namespace

// ---- notes and voices

void SynthImpl::noteOn(int channel, int key, int velocity) {
    if (!validChannel(channel) || key < 0 || key > 127)
        return;
    if (velocity <= 0) {
        noteOff(channel, key);
        return;
    }
    ChannelState &c = channels_[channel];
    if (!font_ || c.presetIndex < 0)
        return;
    // A repeated key ends the previous note's voices the way a key release would.
    for (int s = pool_.firstOfKey(channel, key); s != VoicePool::kNone; s = pool_.next(s))
        if (voices_[s].live())
            releaseVoice(s);
    const int count = font_->collectZones(c.presetIndex, key, clamp7(velocity), zones_.data(), kMaxZonesPerNote);
    for (int i = 0; i < count; ++i) {
        const int cls = zones_[i].gen[kExclusiveClass];
        if (cls == 0)
            continue;
        pool_.forEachUsed([&](int slot) {
            const Voice &v = voices_[slot];
            if (v.live() && v.channel() == channel && v.exclusiveClass() == cls)
                killVoice(slot);
        });
    }
    startZones(channel, key, clamp7(velocity), count);
}

void SynthImpl::startZones(int channel, int key, int velocity, int zoneCount) {
    ++noteCounter_;
    const ChannelState &c = channels_[channel];
    const float rate = static_cast<float>(config_.sampleRate);
    for (int i = 0; i < zoneCount; ++i) {
        Voice *v = allocateVoice();
        if (!v)
            return;
        if (!v->start(zones_[i], font_->samples(), font_->sampleCount(), channel, key, velocity, c, rate,
                      ++voiceOrder_)) {
            continue;
        }
        const int slot = slotOf(*v);
        v->setStarted(noteCounter_, blockCount_);
        pool_.take(slot, channel, key);
        counted_[slot] = 1;
        ++liveCount_;
        // Mid-block starts get their first control update for the rest of the block: sound from this sample.
        if (blockBegun_)
            v->control(c, kBlock - eventPos_, kBlock);
    }
}

void SynthImpl::releaseVoice(int slot) {
    voices_[slot].release(eventPos_);
    victims_.released(slot, voices_[slot], blockCount_);
}

void SynthImpl::killVoice(int slot) {
    if (counted_[slot]) {
        counted_[slot] = 0;
        --liveCount_;
    }
    voices_[slot].kill();
}

void SynthImpl::stopVoice(int slot) {
    if (counted_[slot]) {
        counted_[slot] = 0;
        --liveCount_;
    }
    voices_[slot].stop();
    pool_.give(slot);
}

void SynthImpl::stopAll() {
    for (Voice &v : voices_)
        v.stop();
    pool_.clear();
    victims_.forget();
    std::fill(counted_.begin(), counted_.end(), 0);
    liveCount_ = 0;
}

// A free slot for a new voice. A full pool first makes room by fading out a victim; when every slot, the spare
// ones too, still sounds or fades, the fader closest to silence is cut. Null when no voice may be taken.
Voice *SynthImpl::allocateVoice() {
    if (liveCount_ >= config_.maxVoices) {
        const int victim = victims_.choose(voices_, pool_, blockCount_);
        if (victim == VoicePool::kNone)
            return nullptr; // every sounding voice started in this block
        killVoice(victim);
    }
    int slot = pool_.firstFree();
    if (slot == VoicePool::kNone) {
        int faded = VoicePool::kNone;
        pool_.forEachUsed([&](int s) {
            const Voice &v = voices_[s];
            if (v.state() == Voice::State::kKilled &&
                (faded == VoicePool::kNone || v.killGain() < voices_[faded].killGain()))
                faded = s;
        });
        if (faded == VoicePool::kNone)
            return nullptr;
        mixThrough(eventPos_); // the fader sounds up to here
        stopVoice(faded);
        slot = faded;
    }
    return &voices_[slot];
}

void SynthImpl::noteOff(int channel, int key) {
    if (validChannel(channel))
        endNotes(channel, key);
}

// One pass over the key's voices or, with kAnyKey, over every voice of the channel.
void SynthImpl::endNotes(int channel, int key) {
    const bool held = channels_[channel].sustainOn();
    auto end = [&](int slot) {
        Voice &v = voices_[slot];
        if (v.state() != Voice::State::kOn || v.channel() != channel)
            return;
        if (held)
            v.sustain();
        else
            releaseVoice(slot);
    };
    if (key != kAnyKey) {
        for (int s = pool_.firstOfKey(channel, key); s != VoicePool::kNone; s = pool_.next(s))
            end(s);
        return;
    }
    pool_.forEachUsed(end);
}

void SynthImpl::releaseSustained(int channel) {
    pool_.forEachUsed([&](int slot) {
        const Voice &v = voices_[slot];
        if (v.state() == Voice::State::kSustained && v.channel() == channel)
            releaseVoice(slot);
    });
}

void SynthImpl::allNotesOff(int channel) {
    endNotes(channel, kAnyKey);
}

void SynthImpl::allSoundOff(int channel) {
    pool_.forEachUsed([&](int slot) {
        if (voices_[slot].channel() == channel)
            killVoice(slot);
    });
}

// ---- channel messages

void SynthImpl::controlChange(int channel, int controller, int value) {
    if (!validChannel(channel) || controller < 0 || controller > 127)
        return;
    ChannelState &c = channels_[channel];
    value = clamp7(value);
    switch (controller) {
    case kCcAllSoundOff:
        allSoundOff(channel);
        return;
    case kCcResetAllControllers:
        c.resetControllers();
        releaseSustained(channel);
        return;
    case kCcAllNotesOff:
    case kCcOmniOff:
    case kCcOmniOn:
    case kCcMonoOn:
    case kCcPolyOn:
        allNotesOff(channel);
        return;
    default:
        break;
    }
    const bool wasHeld = c.sustainOn();
    c.setController(controller, value);
    if (controller == kCcSustain && wasHeld && !c.sustainOn())
        releaseSustained(channel);
}

void SynthImpl::programChange(int channel, int program) {
    if (!validChannel(channel))
        return;
    channels_[channel].program = clamp7(program);
    resolvePreset(channel);
}

void SynthImpl::pitchBend(int channel, int value) {
    if (!validChannel(channel))
        return;
    channels_[channel].pitchBend = value < 0 ? 0 : (value > 16383 ? 16383 : value);
    ++channels_[channel].serial;
}

void SynthImpl::channelPressure(int channel, int value) {
    if (!validChannel(channel))
        return;
    channels_[channel].channelPressure = clamp7(value);
    ++channels_[channel].serial;
}

void SynthImpl::keyPressure(int channel, int key, int value) {
    if (!validChannel(channel) || key < 0 || key > 127)
        return;
    channels_[channel].keyPressure[key] = static_cast<uint8_t>(clamp7(value));
    ++channels_[channel].serial;
}

// Finds the preset for the channel's bank and program: drums in bank 128 (falling back to the standard kit),
// melodic banks falling back to bank 0.
void SynthImpl::resolvePreset(int channel) {
    ChannelState &c = channels_[channel];
    if (mode_ == MidiMode::kXg)
        c.drum = c.bankMsb == kXgDrumBank || c.bankMsb == kXgSfxBank;
    const bool drum = c.drum || (mode_ == MidiMode::kGm && (c.bankMsb == kXgDrumBank || c.bankMsb == kGm2RhythmBank));
    if (!font_) {
        c.presetIndex = -1;
        return;
    }
    int index;
    if (drum) {
        index = font_->findPreset(kDrumBank, c.program);
        if (index < 0)
            index = font_->findPreset(kDrumBank, 0);
    } else {
        const int bank = c.bankMsb == kXgDrumBank || c.bankMsb == kGm2RhythmBank ? 0 : c.bankMsb;
        index = font_->findPreset(bank, c.program);
        if (index < 0 && bank != 0)
            index = font_->findPreset(0, c.program);
    }
    c.presetIndex = index;
}

void SynthImpl::resetChannels() {
    for (int ch = 0; ch < kChannelCount; ++ch) {
        channels_[ch].resetAll(ch == kDrumChannel);
        if (mode_ == MidiMode::kXg && ch == kDrumChannel)
            channels_[ch].bankMsb = kXgDrumBank;
        resolvePreset(ch);
    }
}

void SynthImpl::reset() {
    stopAll();
    mode_ = MidiMode::kGm;
    resetChannels();
    // Everything that carries sound or timing from one piece to the next starts afresh, so that a piece
    // renders the same whatever this synthesizer played before.
    reverb_.clear();
    chorus_.clear();
    limiter_.clear();
    dcInLeft_ = dcInRight_ = dcOutLeft_ = dcOutRight_ = 0.0f;
    blockPos_ = voicesDone_ = eventPos_ = 0;
    blockBegun_ = false;
    ++blockCount_;
    masterGain_ = masterTarget_;
    masterSnap_ = true;
}

void SynthImpl::setDrumPart(int channel, bool drum) {
    channels_[channel].drum = drum;
    resolvePreset(channel);
}

// ---- system exclusive

// A GM, GS or XG reset: sounding notes are released, then every channel takes that mode's defaults.
void SynthImpl::resetToMode(MidiMode mode) {
    for (int ch = 0; ch < kChannelCount; ++ch)
        allNotesOff(ch);
    mode_ = mode;
    resetChannels();
}

void SynthImpl::sysEx(const uint8_t *data, size_t size) {
    if (!data)
        return;
    if (size > 0 && data[size - 1] == kSysExEnd)
        --size;
    if (size >= 4 && data[0] == kUniversalNonRealTime && data[2] == kGeneralMidi) {
        if (data[3] == kGmOn || data[3] == kGm2On || data[3] == kGmOff)
            resetToMode(MidiMode::kGm);
    } else if (size >= 5 && data[0] == kRoland && data[2] == kRolandGs && data[3] == kRolandDataSet) {
        gsSysEx(data + 4, size - 4);
    } else if (size == 7 && data[0] == kYamaha && (data[1] & 0xF0) == 0x10 && data[2] == kYamahaXg && data[3] == 0 &&
               data[4] == 0 && data[5] == 0x7E && data[6] == 0) {
        resetToMode(MidiMode::kXg);
    }
}

// Roland GS data set: three address bytes, data, checksum. Handles GS reset and the drum part assignment.
void SynthImpl::gsSysEx(const uint8_t *body, size_t size) {
    if (size < 5)
        return;
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum += body[i];
    if (sum % 128 != 0)
        return; // damaged message: a GS device ignores it too
    const uint8_t a0 = body[0], a1 = body[1], a2 = body[2], value = body[3];
    if (a0 == 0x40 && a1 == 0x00 && a2 == 0x7F && value == 0x00) {
        resetToMode(MidiMode::kGs);
    } else if (a0 == 0x40 && (a1 & 0xF0) == 0x10 && a2 == 0x15) {
        // Parts are numbered 1..16 with part 10 first: block 0 is channel 10, blocks 1..9 channels 1..9.
        const int block = a1 & 0x0F;
        const int channel = block == 0 ? kDrumChannel : (block <= 9 ? block - 1 : block);
        setDrumPart(channel, value != 0);
    }
}

} // namespace tw::synth
