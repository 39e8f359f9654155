// Segment player: dispatches events at their exact sample through the hook and renders the synthesizer around them.
#include "core/sequencer/player.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tw::sequencer {

namespace {

constexpr int kMaxKey = 127;
constexpr int kMaxChannel = 15;

} // namespace

Player::Player(SoundTarget &target) : target_(target), rate_(std::max(1, target.sampleRate())) {}

void Player::load(const Segment &segment) {
    segment_ = &segment;
    rate_ = std::max(1, target_.sampleRate());
    const std::vector<SegmentEvent> &events = segment.events();
    eventSamples_.resize(events.size());
    const TempoMap &tempo = segment.tempoMap();
    for (size_t i = 0; i < events.size(); ++i)
        eventSamples_[i] = toSample(tempo.toReference(events[i].tick));
    notes_.assign(segment.notes().size(), NoteState{false, 0, 0});
    endSample_ = toSample(segment.lengthReference());
    capSample_ = endSample_ + static_cast<int64_t>(kMaxTailSeconds) * rate_;
    quietNeeded_ = std::max<int64_t>(1, static_cast<int64_t>(rate_) * kTailQuietMilliseconds / 1000);
    finished_ = true;
}

int64_t Player::toSample(int64_t ref) const {
    // round(ref x rate / 10^7) without overflow for any reference time.
    const int64_t whole = ref / kReferenceUnitsPerSecond;
    const int64_t part = ref % kReferenceUnitsPerSecond;
    return whole * rate_ + (part * rate_ + kReferenceUnitsPerSecond / 2) / kReferenceUnitsPerSecond;
}

void Player::setMasterVolume(int hundredthsDb) {
    masterVolume_.store(std::clamp(hundredthsDb, kMinMasterVolume, kMaxMasterVolume), std::memory_order_relaxed);
}

void Player::start() {
    target_.reset();
    appliedVolume_ = masterVolume();
    target_.setMasterVolume(appliedVolume_);
    std::fill(notes_.begin(), notes_.end(), NoteState{false, 0, 0});
    rendered_ = 0;
    delivered_.store(0, std::memory_order_relaxed);
    nextEvent_ = 0;
    quietRun_ = 0;
    blockLength_ = blockRead_ = 0;
    lastBlock_ = false;
    finished_ = segment_ == nullptr;
}

int64_t Player::positionReference() const {
    const int64_t samples = positionSamples();
    const int64_t whole = samples / rate_;
    const int64_t part = samples % rate_;
    return whole * kReferenceUnitsPerSecond + part * kReferenceUnitsPerSecond / rate_;
}

int Player::render(float *left, float *right, int frames) {
    return renderFrames(left, right, frames, false);
}

int Player::renderBeforeTail(float *left, float *right, int frames) {
    return renderFrames(left, right, frames, true);
}

bool Player::tailReached() const {
    // Events are in time order: those left all sound at or before the current sample when the last one does.
    return rendered_ >= endSample_ && (nextEvent_ >= eventSamples_.size() || eventSamples_.back() <= rendered_);
}

int Player::renderFrames(float *left, float *right, int frames, bool beforeTail) {
    const int volume = masterVolume();
    if (volume != appliedVolume_) {
        appliedVolume_ = volume;
        target_.setMasterVolume(volume);
    }
    int written = 0;
    while (written < frames && !finished_) {
        if (blockRead_ == blockLength_) {
            if (lastBlock_) {
                finished_ = true;
                break;
            }
            if (beforeTail && tailReached())
                break;
            fillBlock();
        }
        const int n = std::min(frames - written, blockLength_ - blockRead_);
        std::memcpy(left + written, blockLeft_ + blockRead_, sizeof(float) * n);
        std::memcpy(right + written, blockRight_ + blockRead_, sizeof(float) * n);
        blockRead_ += n;
        written += n;
        delivered_.store(delivered_.load(std::memory_order_relaxed) + n, std::memory_order_relaxed);
        if (lastBlock_ && blockRead_ == blockLength_)
            finished_ = true;
    }
    if (written < frames) {
        std::memset(left + written, 0, sizeof(float) * (frames - written));
        std::memset(right + written, 0, sizeof(float) * (frames - written));
    }
    return written;
}

// One grid block (or its part up to the segment's end): its events go first, each at its frame, then the
// synthesizer renders the block in one call.
void Player::fillBlock() {
    const std::vector<SegmentEvent> &events = segment_->events();
    int64_t limit = (rendered_ / kGridFrames + 1) * kGridFrames;
    if (rendered_ < endSample_)
        limit = std::min(limit, endSample_);
    limit = std::min(limit, capSample_);
    int frames = static_cast<int>(limit - rendered_);
    if (frames <= 0) { // already at the cap
        blockLength_ = blockRead_ = 0;
        lastBlock_ = true;
        return;
    }
    while (nextEvent_ < events.size() && eventSamples_[nextEvent_] < limit) {
        target_.setEventOffset(static_cast<int>(std::max<int64_t>(0, eventSamples_[nextEvent_] - rendered_)));
        dispatch(events[nextEvent_++]);
    }
    target_.render(blockLeft_, blockRight_, frames);
    const bool inTail = nextEvent_ >= events.size() && rendered_ >= endSample_;
    rendered_ += frames;
    if (inTail)
        frames = trimAtQuietTail(frames);
    if (rendered_ >= capSample_)
        lastBlock_ = true;
    blockLength_ = frames;
    blockRead_ = 0;
}

int Player::trimAtQuietTail(int frames) {
    for (int i = 0; i < frames; ++i) {
        const bool quiet = std::fabs(blockLeft_[i]) < kTailSilence && std::fabs(blockRight_[i]) < kTailSilence;
        quietRun_ = quiet ? quietRun_ + 1 : 0;
        if (quietRun_ >= quietNeeded_) {
            lastBlock_ = true;
            return i + 1;
        }
    }
    return frames;
}

void Player::dispatch(const SegmentEvent &event) {
    switch (event.kind) {
    case EventKind::NoteOn:
    case EventKind::NoteOff:
        dispatchNote(event);
        break;
    case EventKind::Patch:
        dispatchPatch(event);
        break;
    case EventKind::Channel:
        dispatchChannel(event);
        break;
    case EventKind::SysEx:
        target_.sysEx(segment_->sysExBytes().data() + event.index, event.length);
        break;
    }
}

void Player::dispatchNote(const SegmentEvent &event) {
    NoteState &state = notes_[event.index];
    if (event.kind == EventKind::NoteOff) {
        if (state.sounding)
            target_.noteOff(state.channel, state.key);
        state.sounding = false;
        return;
    }
    const Note &note = segment_->notes()[event.index];
    NoteEvent n;
    n.tick = note.startTick;
    n.durationTicks = note.endTick - note.startTick;
    n.channel = note.channel;
    n.key = note.key;
    n.velocity = note.velocity;
    if (hook_ && !hook_->OnNote(n))
        return;
    if (n.key < 0 || n.key > kMaxKey || n.channel < 0 || n.channel > kMaxChannel || n.velocity <= 0)
        return;
    n.velocity = std::min(n.velocity, kMaxKey);
    target_.noteOn(n.channel, n.key, n.velocity);
    state = NoteState{true, static_cast<uint8_t>(n.channel), static_cast<uint8_t>(n.key)};
}

void Player::dispatchPatch(const SegmentEvent &event) {
    PatchEvent p;
    p.tick = event.tick;
    p.channel = event.status & 0x0F;
    p.program = event.data1;
    p.bankMsb = event.bankMsb;
    p.bankLsb = event.bankLsb;
    if (hook_ && !hook_->OnPatch(p))
        return;
    if (p.channel < 0 || p.channel > kMaxChannel)
        return;
    if (p.bankMsb != event.bankMsb || p.bankLsb != event.bankLsb) {
        target_.controlChange(p.channel, kBankMsbController, std::clamp(p.bankMsb, 0, kMaxKey));
        target_.controlChange(p.channel, kBankLsbController, std::clamp(p.bankLsb, 0, kMaxKey));
    }
    target_.programChange(p.channel, std::clamp(p.program, 0, kMaxKey));
}

void Player::dispatchChannel(const SegmentEvent &event) {
    const int channel = event.status & 0x0F;
    switch (event.status & 0xF0) {
    case 0xA0:
        target_.keyPressure(channel, event.data1, event.data2);
        break;
    case 0xB0:
        target_.controlChange(channel, event.data1, event.data2);
        break;
    case 0xD0:
        target_.channelPressure(channel, event.data1);
        break;
    case 0xE0:
        target_.pitchBend(channel, event.data1 | (event.data2 << 7));
        break;
    default:
        break;
    }
}

} // namespace tw::sequencer
