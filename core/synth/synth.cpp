// Synth front end and the render loop: control blocks on a fixed 64-frame grid, voices, effects, master gain
// and limiter.
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

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
constexpr int kMaxVoiceLimit = 4096; // pool sizes beyond this are a configuration mistake

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
    config_.maxVoices = clampTo(config_.maxVoices, 1, kMaxVoiceLimit);
    voices_.resize(static_cast<size_t>(config_.maxVoices) + kSpareVoices);
    zones_.resize(kMaxZonesPerNote);
    filteredVoices_.resize(voices_.size());
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
    for (Voice &v : voices_)
        v.stop();
    font_ = std::move(font);
    for (int ch = 0; ch < kChannelCount; ++ch)
        resolvePreset(ch);
}

void SynthImpl::setMasterVolume(int hundredthsDb) {
    masterTarget_ = masterGainFor(hundredthsDb);
    if (masterSnap_)
        masterGain_ = masterTarget_;
}

int SynthImpl::activeVoices() const {
    int n = 0;
    for (const Voice &v : voices_)
        n += v.free() ? 0 : 1;
    return n;
}

void SynthImpl::controlBlock() {
    while (voiceEnd_ > 0 && voices_[voiceEnd_ - 1].free())
        --voiceEnd_;
    for (size_t i = 0; i < voiceEnd_; ++i) {
        Voice &v = voices_[i];
        if (!v.free())
            v.control(channels_[v.channel()], kBlock);
    }
    masterStart_ = masterGain_;
    masterStep_ = (masterTarget_ - masterStart_) * (1.0f / kBlock);
    masterGain_ = masterTarget_;
}

void SynthImpl::renderFiltered(Voice *const *group, int count, int n, const VoiceBuses &buses) {
    LowPass *filters[kFilterLanes];
    float *buffers[kFilterLanes];
    int produced[kFilterLanes];
    const int lanes = count <= kFilterLanes / 2 ? kFilterLanes / 2 : kFilterLanes; // one SIMD group or two
    for (int j = 0; j < lanes; ++j) {
        if (j < count) {
            produced[j] = group[j]->produce(n, laneScratch_[j]);
            std::fill(laneScratch_[j] + produced[j], laneScratch_[j] + n, 0.0f);
            filters[j] = &group[j]->filter();
            buffers[j] = laneScratch_[j];
        } else {
            filters[j] = &padFilter_; // idle lane
            buffers[j] = padScratch_;
        }
    }
    LowPass::process(filters, buffers, lanes, n);
    for (int j = 0; j < count; ++j)
        group[j]->finish(n, produced[j], laneScratch_[j], buses);
}

void SynthImpl::mixVoices(const VoiceBuses &buses, float *gain, int n) {
    std::fill(buses.left, buses.left + n, 0.0f);
    std::fill(buses.right, buses.right + n, 0.0f);
    if (buses.reverb)
        std::fill(buses.reverb, buses.reverb + n, 0.0f);
    if (buses.chorus)
        std::fill(buses.chorus, buses.chorus + n, 0.0f);
    // Unfiltered voices mix at once; filtered ones afterwards, up to eight per filter pass. Both in pool order,
    // so the summation order does not depend on how a block is split into render calls.
    int filtered = 0;
    for (size_t i = 0; i < voiceEnd_; ++i) {
        Voice &v = voices_[i];
        if (v.free())
            continue;
        if (v.filtered())
            filteredVoices_[filtered++] = &v;
        else
            v.render(n, scratch_, buses);
    }
    for (int first = 0; first < filtered; first += kFilterLanes)
        renderFiltered(filteredVoices_.data() + first, std::min(kFilterLanes, filtered - first), n, buses);
    float pos = static_cast<float>(blockPos_);
    for (int k = 0; k < n; ++k) {
        gain[k] = masterStart_ + masterStep_ * pos;
        pos += 1.0f;
    }
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

void SynthImpl::renderChunk(float *left, float *right, int n) {
    if (dry_ && dry_->frames + n <= DryBlock::kCapacity) {
        DryBlock &b = *dry_;
        const int at = b.frames;
        mixVoices(dryBuses(b, at), b.gain + at, n);
        b.frames = at + n;
        return;
    }
    const VoiceBuses buses{mixLeft_, mixRight_, config_.reverb ? reverbBus_ : nullptr,
                           config_.chorus ? chorusBus_ : nullptr};
    mixVoices(buses, gain_, n);
    if (!dry_) // a full dry block loses the frames, but the voices move on as they would have
        finishMix(buses, gain_, left, right, n);
}

void SynthImpl::renderWet(DryBlock &block, float *left, float *right) {
    FlushDenormals guard;
    // In control-block pieces: the limiter's quiet fast path takes at most that many frames.
    for (int at = 0; at < block.frames; at += kBlock) {
        const int n = std::min(kBlock, block.frames - at);
        finishMix(dryBuses(block, at), block.gain + at, left + at, right + at, n);
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
        if (blockPos_ == 0)
            controlBlock();
        const int n = std::min(kBlock - blockPos_, frames - done);
        renderChunk(left + done, right + done, n);
        done += n;
        blockPos_ = (blockPos_ + n) % kBlock;
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
void Synth::setDryBlock(DryBlock *block) {
    impl_->setDryBlock(block);
}
void Synth::renderWet(DryBlock &block, float *left, float *right) {
    impl_->renderWet(block, left, right);
}
int Synth::activeVoices() const {
    return impl_->activeVoices();
}
int Synth::sampleRate() const {
    return impl_->sampleRate();
}

} // namespace tw::synth
