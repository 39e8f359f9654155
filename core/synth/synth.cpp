// Synth front end and the render loop: control blocks on a fixed 64-frame grid, voices, effects, master gain
// and limiter.
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

#include "cpu_pause.h"
#include "synth_impl.h"
#include "synth_math.h"

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define TW_SYNTH_HAS_MXCSR 1
#endif

namespace tw::synth {

namespace {
// Output gain at master volume +2000: a typical General MIDI file then peaks around -1..-3 dBFS before the
// limiter with TimGM6mb (measured over the 31 openmsx songs: median -2 dB, range -10.3..+4.4 dB).
constexpr float kFullVolumeGain = 0.63f; // -4 dB
constexpr int kMinMasterVolume = -2000, kMaxMasterVolume = 2000;
constexpr int kDefaultMasterVolume = 0;
constexpr float kLimiterCeilingDb = -0.1f;
constexpr float kLimiterReleaseSeconds = 0.08f;
// Effect settings comparable to FluidSynth's defaults.
constexpr float kReverbRoom = 0.2f, kReverbDamp = 0.0f, kReverbWidth = 0.5f, kReverbLevel = 0.9f;
constexpr int kChorusVoices = 3;
constexpr float kChorusLevel = 2.0f, kChorusSpeedHz = 0.3f, kChorusDepthMs = 8.0f;
constexpr int kMinRate = 8000, kMaxRate = 192000;
constexpr float kDcCutoffHz = 5.0f;

// Flushes denormals to zero (FTZ and DAZ) while it lives, restoring the caller's mode afterwards.
class FlushDenormals {
public:
#ifdef TW_SYNTH_HAS_MXCSR
    FlushDenormals() : saved_(_mm_getcsr()) {
        _mm_setcsr(saved_ | kFtzDaz);
    }
    ~FlushDenormals() {
        _mm_setcsr(saved_);
    }

private:
    static constexpr unsigned kFtzDaz = 0x8040;
    unsigned saved_;
#endif
};

float masterGainFor(int hundredthsDb) {
    const int v = clampTo(hundredthsDb, kMinMasterVolume, kMaxMasterVolume);
    return kFullVolumeGain * hundredthsDbToGain(static_cast<float>(v - kMaxMasterVolume));
}
} // namespace

SynthImpl::SynthImpl(const SynthConfig &config) : config_(config) {
    config_.sampleRate = clampTo(config_.sampleRate, kMinRate, kMaxRate);
    config_.maxVoices = clampTo(config_.maxVoices, 1, SynthConfig::kMaxVoices);
    kernels_ = &KernelsFor(config_.simd);
    voices_.resize(static_cast<size_t>(config_.maxVoices) + std::max(kMinSpareVoices, config_.maxVoices / 2));
    for (Voice &v : voices_)
        v.setKernels(kernels_);
    pool_.allocate(voices_.size());
    victims_.allocate(voices_.size());
    counted_.assign(voices_.size(), 0);
    zones_.resize(kMaxZonesPerNote);
    own_ = std::make_unique<Workspace>();
    helperSpace_ = std::make_unique<Workspace>();
    own_->filtered.resize(voices_.size());
    helperSpace_->filtered.resize(voices_.size());
    passSlots_.resize(voices_.size());
    chunkBuses_.reset(new ChunkBuses[voices_.size() / kChunkVoices + 1]);
    const float rate = static_cast<float>(config_.sampleRate);
    reverb_.setup(rate);
    reverb_.setParameters(kReverbRoom, kReverbDamp, kReverbWidth, kReverbLevel);
    chorus_.setup(rate);
    chorus_.setParameters(kChorusVoices, kChorusLevel, kChorusSpeedHz, kChorusDepthMs);
    limiter_.setup(rate, std::pow(10.0f, kLimiterCeilingDb / 20.0f), kLimiterReleaseSeconds);
    masterGain_ = masterTarget_ = masterStart_ = masterGainFor(kDefaultMasterVolume);
    dcPole_ = 1.0f - 2.0f * kPi * kDcCutoffHz / rate;
    resetChannels();
}

namespace {

// A new, empty font; null when memory is short.
std::unique_ptr<SoundFont> NewSoundFont(std::string &error) {
    try {
        return std::make_unique<SoundFont>();
    } catch (const std::bad_alloc &) {
        error = "Not enough memory to load the SoundFont.";
        return nullptr;
    }
}

} // namespace

LoadStatus SynthImpl::loadSoundFont(const uint8_t *data, size_t size, std::string &error) {
    std::unique_ptr<SoundFont> font = NewSoundFont(error);
    if (!font)
        return LoadStatus::OutOfMemory;
    const LoadStatus status = font->load(data, size, error);
    if (status == LoadStatus::Ok)
        installSoundFont(std::move(font));
    return status;
}

// The font keeps the file's image as its sample store: memory stays near the file's size.
LoadStatus SynthImpl::loadSoundFontFile(const std::string &path, std::string &error) {
    std::unique_ptr<SoundFont> font = NewSoundFont(error);
    if (!font)
        return LoadStatus::OutOfMemory;
    const LoadStatus status = font->loadFile(path, error);
    if (status == LoadStatus::Ok)
        installSoundFont(std::move(font));
    return status;
}

void SynthImpl::installSoundFont(std::unique_ptr<SoundFont> font) {
    mixThrough(eventPos_);
    stopAll();
    font_ = std::move(font);
    for (int ch = 0; ch < kChannelCount; ++ch)
        resolvePreset(ch);
}

void SynthImpl::setMasterVolume(int hundredthsDb) {
    masterTarget_ = masterGainFor(hundredthsDb);
    if (masterSnap_)
        masterGain_ = masterTarget_;
}

bool SynthImpl::keySounding(int channel, int key) const {
    if (channel < 0 || channel >= kChannelCount || key < 0 || key > 127)
        return false;
    for (int s = pool_.firstOfKey(channel, key); s != VoicePool::kNone; s = pool_.next(s))
        if (voices_[s].live())
            return true;
    return false;
}

void SynthImpl::beginBlock() {
    runPass(Pass::kControl, 0, kBlock);
    masterStart_ = masterGain_;
    masterStep_ = (masterTarget_ - masterStart_) * (1.0f / kBlock);
    masterGain_ = masterTarget_;
    std::fill(std::begin(mixLeft_), std::end(mixLeft_), 0.0f);
    std::fill(std::begin(mixRight_), std::end(mixRight_), 0.0f);
    std::fill(std::begin(reverbBus_), std::end(reverbBus_), 0.0f);
    std::fill(std::begin(chorusBus_), std::end(chorusBus_), 0.0f);
    voicesDone_ = 0;
    blockBegun_ = true;
}

void SynthImpl::setEventOffset(int frames) {
    const int at = std::min(blockPos_ + std::max(frames, 0), kBlock - 1);
    // A message after the block's first frame comes after the block's control pass, as it would had the frames
    // before it been rendered first.
    if (at > blockPos_ && !blockBegun_)
        beginBlock();
    eventPos_ = std::max(at, blockBegun_ ? voicesDone_ : 0);
}

VoiceBuses SynthImpl::blockBuses(int at) {
    return {mixLeft_ + at, mixRight_ + at, config_.reverb ? reverbBus_ + at : nullptr,
            config_.chorus ? chorusBus_ + at : nullptr};
}

VoiceBuses SynthImpl::offset(const VoiceBuses &buses, int at) {
    return {buses.left + at, buses.right + at, buses.reverb ? buses.reverb + at : nullptr,
            buses.chorus ? buses.chorus + at : nullptr};
}

void SynthImpl::renderFiltered(Voice *const *group, int count, int n, Workspace &ws, const VoiceBuses &buses) {
    LowPass *filters[kMaxFilterLanes];
    float *buffers[kMaxFilterLanes];
    int produced[kMaxFilterLanes];
    const int width = kernels_->filterGroup;
    const int lanes = (count + width - 1) / width * width; // whole SIMD groups
    for (int j = 0; j < lanes; ++j) {
        if (j < count) {
            produced[j] = group[j]->produce(n, ws.lanes[j]);
            std::fill(ws.lanes[j] + produced[j], ws.lanes[j] + n, 0.0f);
            filters[j] = &group[j]->filter();
            buffers[j] = ws.lanes[j];
        } else {
            filters[j] = &ws.padFilter; // idle lane
            buffers[j] = ws.pad;
        }
    }
    kernels_->filter(filters, buffers, lanes, n);
    for (int j = 0; j < count; ++j)
        group[j]->finish(n, produced[j], ws.lanes[j], buses);
}

// The voices of slots over frames [from, to) of the block into buses (indexed by block frame), in slot order:
// unfiltered ones at once, filtered ones afterwards, side by side in filter passes. A voice that starts later in
// the span is rendered on its own.
void SynthImpl::renderVoices(const int *slots, int count, int from, int to, Workspace &ws, const VoiceBuses &buses) {
    int filtered = 0;
    for (int i = 0; i < count; ++i) {
        Voice &v = voices_[slots[i]];
        const int at = std::max(from, v.nextFrame());
        if (v.free() || at >= to)
            continue;
        if (v.filtered() && at == from)
            ws.filtered[filtered++] = &v;
        else
            v.render(to - at, ws.scratch, offset(buses, at));
    }
    const int lanes = 2 * kernels_->filterGroup;
    for (int first = 0; first < filtered; first += lanes)
        renderFiltered(ws.filtered.data() + first, std::min(lanes, filtered - first), to - from, ws,
                       offset(buses, from));
}

void SynthImpl::runShare(const Pass &pass, const int *slots, int count, Workspace &ws, const VoiceBuses &buses) {
    if (pass.kind == Pass::kControl) {
        for (int i = 0; i < count; ++i) {
            Voice &v = voices_[slots[i]];
            v.control(channels_[v.channel()], kBlock, kBlock);
        }
        return;
    }
    renderVoices(slots, count, pass.from, pass.to, ws, buses);
}

bool SynthImpl::helpMix() {
    return wetHelps_ && claimChunks(*helperSpace_, true);
}

void SynthImpl::runChunk(int chunk, Workspace &ws) {
    const Pass &pass = pass_;
    const int first = chunk * kChunkVoices;
    const int count = std::min(kChunkVoices, pass.count - first);
    ChunkBuses &b = chunkBuses_[chunk];
    const VoiceBuses buses{b.left, b.right, config_.reverb ? b.reverb : nullptr, config_.chorus ? b.chorus : nullptr};
    if (pass.kind == Pass::kRender) {
        const size_t bytes = sizeof(float) * static_cast<size_t>(pass.to - pass.from);
        for (float *bus : {buses.left, buses.right, buses.reverb, buses.chorus})
            if (bus)
                std::memset(bus + pass.from, 0, bytes);
    }
    runShare(pass, passSlots_.data() + first, count, ws, buses);
}

// Takes chunks of the current pass until none is left: this thread from the front, the wet thread from the back,
// so that each keeps rendering the same voices while they sound and their state stays in its own cache. True
// when it took any.
bool SynthImpl::claimChunks(Workspace &ws, bool fromBack) {
    bool took = false;
    uint64_t word = claim_.load(std::memory_order_acquire);
    for (;;) {
        const int front = static_cast<int>(word & 0xFFFF), back = static_cast<int>((word >> 16) & 0xFFFF);
        if (front >= back)
            return took;
        const uint64_t taken = fromBack ? word - (uint64_t{1} << 16) : word + 1;
        if (!claim_.compare_exchange_weak(word, taken, std::memory_order_acq_rel, std::memory_order_acquire))
            continue;
        runChunk(fromBack ? back - 1 : front, ws);
        took = true;
        chunksDone_.fetch_add(1, std::memory_order_release);
        word = claim_.load(std::memory_order_acquire);
    }
}

void SynthImpl::runPass(Pass::Kind kind, int from, int to) {
    int count = 0;
    pool_.forEachUsed([&](int slot) { passSlots_[count++] = slot; });
    if (count < kShareVoices) {
        runShare({kind, from, to, count}, passSlots_.data(), count, *own_, blockBuses(0));
        return;
    }
    const int chunks = (count + kChunkVoices - 1) / kChunkVoices;
    pass_ = {kind, from, to, count};
    if (wetHelps_) {
        chunksDone_.store(0, std::memory_order_relaxed);
        claim_.store(static_cast<uint64_t>(++passSerial_) << 32 | static_cast<uint64_t>(chunks) << 16,
                     std::memory_order_release);
        claimChunks(*own_, false);
        // The wet thread is still on its last chunk: it runs on another processor, unless it lost it.
        for (int i = 0; chunksDone_.load(std::memory_order_acquire) != chunks; ++i)
            if (i < kChunkSpins)
                CpuPause();
            else
                std::this_thread::yield();
    } else {
        for (int c = 0; c < chunks; ++c)
            runChunk(c, *own_);
    }
    if (kind != Pass::kRender)
        return;
    for (int c = 0; c < chunks; ++c) {
        const ChunkBuses &b = chunkBuses_[c];
        for (int k = from; k < to; ++k) {
            mixLeft_[k] += b.left[k];
            mixRight_[k] += b.right[k];
        }
        if (config_.reverb)
            for (int k = from; k < to; ++k)
                reverbBus_[k] += b.reverb[k];
        if (config_.chorus)
            for (int k = from; k < to; ++k)
                chorusBus_[k] += b.chorus[k];
    }
}

// Voices that ended while rendering leave the pool.
void SynthImpl::sweepEnded() {
    pool_.forEachUsed([this](int slot) {
        if (!voices_[slot].free())
            return;
        if (counted_[slot]) {
            counted_[slot] = 0;
            --liveCount_;
        }
        pool_.give(slot);
    });
}

void SynthImpl::mixThrough(int frame) {
    if (!blockBegun_ || frame <= voicesDone_)
        return;
    runPass(Pass::kRender, voicesDone_, frame);
    voicesDone_ = frame;
    sweepEnded();
}

void SynthImpl::finishMix(const VoiceBuses &buses, const float *gain, float *left, float *right, int n) {
    float *mixLeft = buses.left, *mixRight = buses.right;
    if (buses.reverb)
        reverb_.process(buses.reverb, mixLeft, mixRight, n);
    if (buses.chorus)
        chorus_.process(buses.chorus, mixLeft, mixRight, n);
    // Master gain, then a DC blocker: some SoundFonts' samples sit off centre, which would only cost headroom.
    float xl = dcInLeft_, xr = dcInRight_, yl = dcOutLeft_, yr = dcOutRight_;
    const float pole = dcPole_;
    for (int k = 0; k < n; ++k) {
        const float g = gain[k];
        const float l = mixLeft[k] * g, r = mixRight[k] * g;
        yl = l - xl + pole * yl;
        yr = r - xr + pole * yr;
        xl = l;
        xr = r;
        mixLeft[k] = yl;
        mixRight[k] = yr;
    }
    dcInLeft_ = xl;
    dcInRight_ = xr;
    dcOutLeft_ = yl;
    dcOutRight_ = yr;
    limiter_.process(mixLeft, mixRight, left, right, n);
}

VoiceBuses SynthImpl::dryBuses(DryBlock &block, int at) const {
    return {block.left + at, block.right + at, config_.reverb ? block.reverb + at : nullptr,
            config_.chorus ? block.chorus + at : nullptr};
}

// Frames [from, from + n) of the block, whose voices are in the buses: into the dry block, or finished.
void SynthImpl::deliver(int from, int n, float *left, float *right) {
    float *gain = gain_ + from;
    for (int k = 0; k < n; ++k)
        gain[k] = masterStart_ + masterStep_ * static_cast<float>(from + k);
    const VoiceBuses buses = blockBuses(from);
    if (!dry_) {
        finishMix(buses, gain, left, right, n);
        return;
    }
    DryBlock &b = *dry_;
    if (b.frames + n > DryBlock::kCapacity)
        return; // a full dry block loses the frames, but the voices move on as they would have
    const size_t bytes = sizeof(float) * static_cast<size_t>(n);
    std::memcpy(b.left + b.frames, buses.left, bytes);
    std::memcpy(b.right + b.frames, buses.right, bytes);
    if (buses.reverb)
        std::memcpy(b.reverb + b.frames, buses.reverb, bytes);
    if (buses.chorus)
        std::memcpy(b.chorus + b.frames, buses.chorus, bytes);
    std::memcpy(b.gain + b.frames, gain, bytes);
    b.frames += n;
}

void SynthImpl::renderWet(DryBlock &block, float *left, float *right) {
    FlushDenormals guard;
    // In control-block pieces: the limiter's quiet fast path takes at most that many frames.
    for (int at = 0; at < block.frames; at += kBlock) {
        const int n = std::min(kBlock, block.frames - at);
        finishMix(dryBuses(block, at), block.gain + at, left + at, right + at, n);
        helpMix(); // the voices being mixed meanwhile wait for no one
    }
    block.frames = 0;
}

void SynthImpl::render(float *left, float *right, int frames) {
    if (!left || !right || frames <= 0)
        return;
    FlushDenormals guard;
    masterSnap_ = false;
    int done = 0;
    while (done < frames) {
        if (!blockBegun_)
            beginBlock();
        const int n = std::min(kBlock - blockPos_, frames - done);
        mixThrough(blockPos_ + n);
        deliver(blockPos_, n, left + done, right + done);
        done += n;
        blockPos_ += n;
        eventPos_ = blockPos_;
        if (blockPos_ == kBlock) {
            blockPos_ = eventPos_ = 0;
            blockBegun_ = false;
            ++blockCount_;
        }
    }
}

// Synth: forwards to SynthImpl.

Synth::Synth(const SynthConfig &config) : impl_(std::make_unique<SynthImpl>(config)) {}
Synth::~Synth() = default;

LoadStatus Synth::loadSoundFont(const uint8_t *data, size_t size, std::string &error) {
    return impl_->loadSoundFont(data, size, error);
}

LoadStatus Synth::loadSoundFontFile(const std::string &path, std::string &error) {
    return impl_->loadSoundFontFile(path, error);
}

void Synth::useSoundFont(std::unique_ptr<SoundFont> font) {
    if (font)
        impl_->installSoundFont(std::move(font));
}

void Synth::noteOn(int channel, int key, int velocity) {
    impl_->noteOn(channel, key, velocity);
}
void Synth::noteOff(int channel, int key) {
    impl_->noteOff(channel, key);
}
void Synth::controlChange(int channel, int controller, int value) {
    impl_->controlChange(channel, controller, value);
}
void Synth::programChange(int channel, int program) {
    impl_->programChange(channel, program);
}
void Synth::pitchBend(int channel, int value) {
    impl_->pitchBend(channel, value);
}
void Synth::channelPressure(int channel, int value) {
    impl_->channelPressure(channel, value);
}
void Synth::keyPressure(int channel, int key, int value) {
    impl_->keyPressure(channel, key, value);
}
void Synth::sysEx(const uint8_t *data, size_t size) {
    impl_->sysEx(data, size);
}
void Synth::reset() {
    impl_->reset();
}
void Synth::setMasterVolume(int hundredthsDb) {
    impl_->setMasterVolume(hundredthsDb);
}
void Synth::render(float *left, float *right, int frames) {
    impl_->render(left, right, frames);
}
void Synth::setEventOffset(int frames) {
    impl_->setEventOffset(frames);
}
void Synth::setWetThreadHelps(bool helps) {
    impl_->setWetThreadHelps(helps);
}
bool Synth::helpMix() {
    return impl_->helpMix();
}
void Synth::setDryBlock(DryBlock *block) {
    impl_->setDryBlock(block);
}
void Synth::renderWet(DryBlock &block, float *left, float *right) {
    impl_->renderWet(block, left, right);
}
int Synth::activeVoices() const {
    return impl_->activeVoices();
}
bool Synth::keySounding(int channel, int key) const {
    return impl_->keySounding(channel, key);
}
int Synth::sampleRate() const {
    return impl_->sampleRate();
}
int Synth::maxVoices() const {
    return impl_->maxVoices();
}
SimdLevel Synth::simdLevel() const {
    return impl_->simdLevel();
}

} // namespace tw::synth
