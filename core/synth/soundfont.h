// SoundFont preset model: presets, instruments and samples, resolved to the zones a note plays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw::synth {

enum class LoadStatus; // synth.h
namespace sf2 {
struct File; // sf2_file.h
}

// Generator operators of SoundFont 2.04, section 8.1.2.
enum Generator : uint8_t {
    kStartAddrsOffset = 0,
    kEndAddrsOffset = 1,
    kStartloopAddrsOffset = 2,
    kEndloopAddrsOffset = 3,
    kStartAddrsCoarseOffset = 4,
    kModLfoToPitch = 5,
    kVibLfoToPitch = 6,
    kModEnvToPitch = 7,
    kInitialFilterFc = 8,
    kInitialFilterQ = 9,
    kModLfoToFilterFc = 10,
    kModEnvToFilterFc = 11,
    kEndAddrsCoarseOffset = 12,
    kModLfoToVolume = 13,
    kChorusEffectsSend = 15,
    kReverbEffectsSend = 16,
    kPan = 17,
    kDelayModLFO = 21,
    kFreqModLFO = 22,
    kDelayVibLFO = 23,
    kFreqVibLFO = 24,
    kDelayModEnv = 25,
    kAttackModEnv = 26,
    kHoldModEnv = 27,
    kDecayModEnv = 28,
    kSustainModEnv = 29,
    kReleaseModEnv = 30,
    kKeynumToModEnvHold = 31,
    kKeynumToModEnvDecay = 32,
    kDelayVolEnv = 33,
    kAttackVolEnv = 34,
    kHoldVolEnv = 35,
    kDecayVolEnv = 36,
    kSustainVolEnv = 37,
    kReleaseVolEnv = 38,
    kKeynumToVolEnvHold = 39,
    kKeynumToVolEnvDecay = 40,
    kInstrument = 41,
    kKeyRange = 43,
    kVelRange = 44,
    kStartloopAddrsCoarseOffset = 45,
    kKeynum = 46,
    kVelocity = 47,
    kInitialAttenuation = 48,
    kEndloopAddrsCoarseOffset = 50,
    kCoarseTune = 51,
    kFineTune = 52,
    kSampleID = 53,
    kSampleModes = 54,
    kScaleTuning = 56,
    kExclusiveClass = 57,
    kOverridingRootKey = 58,
    kInitialPitch = 59, // not a generator: the destination of the pitch wheel modulator, in cents
    kGeneratorCount = 61,
};

// A modulator as stored in the file (pmod / imod records): source and amount source are SF 2.04 section 8.2
// enumerations, transform 0 linear or 2 absolute value.
struct Modulator {
    uint16_t source = 0;
    uint16_t destination = 0; // a Generator
    int16_t amount = 0;
    uint16_t amountSource = 0;
    uint16_t transform = 0;
};

// A sample header (shdr) after validation; positions index SoundFont::samples().
struct SampleInfo {
    uint32_t start = 0, end = 0;         // [start, end) of the sample data points
    uint32_t loopStart = 0, loopEnd = 0; // loop points, start <= loopStart < loopEnd <= end
    uint32_t sampleRate = 44100;         // Hz
    uint8_t originalPitch = 60;          // MIDI key of the recording (255 treated as 60)
    int8_t pitchCorrection = 0;          // cents
    uint16_t type = 1;                   // 1 mono, 2 right, 4 left, 8 linked (ROM samples rejected)
    std::string name;
};

constexpr int kMaxZoneModulators = 32;

// What one sounding zone contributes to a note: the instrument zone's generators (its global zone filling the
// gaps, defaults elsewhere) with the preset zone's generators (global zone likewise) added, as SoundFont 2.04
// section 9.4 says; key and velocity ranges already checked. Modulators: the default modulators, overridden or
// completed by the instrument's, with the preset's added (an identical one adds its amount), capped at
// kMaxZoneModulators. Left out: modulators whose amount ends at 0, links to other modulators, unknown
// destinations or transforms, and a primary source of "no controller" (their output is always 0).
// Destinations are Generator values, kInitialPitch included.
struct ZoneVoice {
    int16_t gen[kGeneratorCount] = {}; // summed generator values; kKeyRange/kVelRange hold the intersected
                                       // ranges (lo | hi << 8), kSampleID the sample's index
    const SampleInfo *sample = nullptr;
    Modulator modulators[kMaxZoneModulators];
    int modulatorCount = 0;
};

struct PresetInfo {
    uint16_t bank = 0;
    uint16_t program = 0;
    std::string name;
};

// A loaded SoundFont. Loading copies the 16-bit sample data once (no float copy: memory stays near file size);
// a SoundFont 3's Ogg Vorbis samples are decoded once into the same 16-bit store.
// Lookups are real-time safe: no allocation, no lock.
class SoundFont {
public:
    // Parses and validates a whole SoundFont 2 or 3 file; on failure the SoundFont is left empty and error gets an
    // English text. The data is not referenced after the call.
    LoadStatus load(const uint8_t *data, size_t size, std::string &error);

    // Like load(), reading the file itself; an SF2's file image becomes the sample store, so loading needs little
    // more memory than the file's size (an SF3's image is freed once its samples are decoded). Unreadable files give
    // LoadStatus::CannotOpen.
    LoadStatus loadFile(const std::string &path, std::string &error);

    const int16_t *samples() const { return samples_.data() + sampleOffset_; }
    size_t sampleCount() const { return sampleCount_; }
    const std::vector<PresetInfo> &presets() const { return presetInfo_; }
    const std::vector<SampleInfo> &sampleInfos() const { return sampleInfo_; }
    const std::string &name() const { return name_; } // INAM text, may be empty

    // Index of the preset with this bank and program, or -1.
    int findPreset(int bank, int program) const;

    // Writes the zones that sound for key and velocity (0..127) into out, at most capacity of them; returns
    // how many were written. A half of a stereo pair that no zone of its instrument pairs with comes with
    // its linked half as a second zone, the two panned hard left and right.
    int collectZones(int preset, int key, int velocity, ZoneVoice *out, int capacity) const;

private:
    struct Range {
        uint8_t keyLo = 0, keyHi = 127, velLo = 0, velHi = 127;
        bool contains(int key, int velocity) const {
            return key >= keyLo && key <= keyHi && velocity >= velLo && velocity <= velHi;
        }
    };
    // An instrument zone with its global zone and the defaults folded in: absolute generator values.
    struct InstrumentZone {
        Range range;
        int16_t gen[kGeneratorCount];
        uint32_t sample;   // index into sampleInfo_
        uint32_t modFirst; // default and instrument modulators, in modPool_
        uint32_t modCount;
    };
    // A preset zone with its global zone folded in: amounts added to the instrument's, 0 where not additive.
    struct PresetZone {
        Range range;
        int16_t gen[kGeneratorCount];
        uint32_t instrument; // index into instruments_
        uint32_t modFirst;   // preset modulators, in modPool_
        uint32_t modCount;
    };
    struct Span {
        uint32_t first = 0, count = 0;
    };
    struct PresetKey {
        uint32_t bankProgram; // bank * 128 + program
        int index;
    };
    friend class SoundFontBuilder;

    void clear();
    // Parses data; with image set, data lies inside *image and the samples are used in place when possible.
    LoadStatus loadImage(const uint8_t *data, size_t size, std::vector<int16_t> *image, std::string &error);
    void adoptSamples(const sf2::File &file, std::vector<int16_t> *image);

    std::vector<int16_t> samples_; // sample points, or the whole file image with them inside
    size_t sampleOffset_ = 0;      // first sample point in samples_
    size_t sampleCount_ = 0;
    std::vector<PresetInfo> presetInfo_;
    std::vector<SampleInfo> sampleInfo_;
    std::string name_;
    std::vector<Span> presetSpans_; // per preset: its zones in presetZones_
    std::vector<PresetZone> presetZones_;
    std::vector<Span> instruments_; // per instrument: its zones in instZones_
    std::vector<InstrumentZone> instZones_;
    std::vector<Modulator> modPool_;
    std::vector<PresetKey> presetKeys_; // sorted by bankProgram for findPreset
};

} // namespace tw::synth
