// SoundFont 2 preset model: validates the hydra and resolves presets to the zones a note plays.
#include "soundfont.h"

#include <algorithm>
#include <new>

#include "sf2_file.h"
#include "sf3_samples.h"
#include "synth.h"

namespace tw::synth {
namespace {

using sf2::Damaged;
using sf2::Quoted;

constexpr int kMaxKey = 127;
constexpr uint8_t kUnpitchedOriginalPitch = 255;
constexpr uint8_t kDefaultOriginalPitch = 60;
constexpr uint32_t kDefaultSampleRate = 44100;
constexpr uint16_t kRightSample = 2, kLeftSample = 4;
constexpr int16_t kPanLeft = -500, kPanRight = 500; // 0.1 % units
constexpr uint16_t kLinkedDestination = 0x8000;     // modulator feeding another modulator: not supported
constexpr uint16_t kTransformLinear = 0, kTransformAbsolute = 2;
constexpr uint16_t kSourceIndexMask = 0x7F, kSourceCcFlag = 0x80;
// Bounds the time one note-on spends on a hostile file whose presets layer thousands of zones; real
// SoundFonts test a few hundred zones at most.
constexpr int kMaxZoneTests = 1 << 14;
constexpr size_t kMaxListModulators = 64;
// Bounds the pairing of stereo halves in an instrument of tens of thousands of zones (hostile files only).
constexpr long kMaxStereoChecks = 1L << 20; // per zone list at load time; ZoneVoice keeps kMaxZoneModulators

// Generators whose preset-level amounts are ignored (SoundFont 2.04 section 8.5): address offsets, key and
// velocity overrides, sample modes, exclusive class, overriding root key and the terminal generators.
bool IsInstrumentOnly(int g) {
    switch (g) {
    case kStartAddrsOffset:
    case kEndAddrsOffset:
    case kStartloopAddrsOffset:
    case kEndloopAddrsOffset:
    case kStartAddrsCoarseOffset:
    case kEndAddrsCoarseOffset:
    case kStartloopAddrsCoarseOffset:
    case kEndloopAddrsCoarseOffset:
    case kKeynum:
    case kVelocity:
    case kSampleModes:
    case kExclusiveClass:
    case kOverridingRootKey:
    case kSampleID:
    case kInstrument:
    case kKeyRange:
    case kVelRange:
        return true;
    default:
        return false;
    }
}

// Operators that are unused or reserved in SoundFont 2.04; such generator records are ignored.
bool IsKnownGenerator(uint16_t op) {
    if (op >= kGeneratorCount)
        return false;
    switch (op) {
    case 14:
    case 18:
    case 19:
    case 20:
    case 42:
    case 49:
    case 55:
    case 59:
    case 60:
        return false;
    default:
        return true;
    }
}

void SetInstrumentDefaults(int16_t *gen) {
    std::fill(gen, gen + kGeneratorCount, int16_t(0));
    constexpr int16_t kInstant = -12000; // timecents: about 1 ms, "no delay"
    for (int g : {kDelayModLFO, kDelayVibLFO, kDelayModEnv, kAttackModEnv, kHoldModEnv, kDecayModEnv, kReleaseModEnv,
                  kDelayVolEnv, kAttackVolEnv, kHoldVolEnv, kDecayVolEnv, kReleaseVolEnv})
        gen[g] = kInstant;
    gen[kInitialFilterFc] = 13500; // absolute cents: filter open
    gen[kKeynum] = -1;
    gen[kVelocity] = -1;
    gen[kScaleTuning] = 100;
    gen[kOverridingRootKey] = -1;
}

// Source enumerations of SoundFont 2.04 section 8.2: index, CC flag, direction, polarity and curve type.
constexpr uint16_t Source(uint16_t index, bool cc, bool negative, bool bipolar, uint16_t curve) {
    return static_cast<uint16_t>(index | (cc ? 0x80 : 0) | (negative ? 0x100 : 0) | (bipolar ? 0x200 : 0) |
                                 (curve << 10));
}
constexpr uint16_t kCurveLinear = 0, kCurveConcave = 1;
constexpr uint16_t kSrcNoteOnVelocity = 2, kSrcChannelPressure = 13, kSrcPitchWheel = 14,
                   kSrcPitchWheelSensitivity = 16;

// The default modulators every instrument zone starts with (SoundFont 2.04 section 8.4).
const Modulator kDefaultModulators[] = {
    {Source(kSrcNoteOnVelocity, false, true, false, kCurveConcave), kInitialAttenuation, 960, 0, 0},
    {Source(kSrcNoteOnVelocity, false, true, false, kCurveLinear), kInitialFilterFc, -2400, 0, 0},
    {Source(kSrcChannelPressure, false, false, false, kCurveLinear), kVibLfoToPitch, 50, 0, 0},
    {Source(1, true, false, false, kCurveLinear), kVibLfoToPitch, 50, 0, 0},
    {Source(7, true, true, false, kCurveConcave), kInitialAttenuation, 960, 0, 0},
    {Source(10, true, false, true, kCurveLinear), kPan, 1000, 0, 0},
    {Source(11, true, true, false, kCurveConcave), kInitialAttenuation, 960, 0, 0},
    {Source(91, true, false, false, kCurveLinear), kReverbEffectsSend, 200, 0, 0},
    {Source(93, true, false, false, kCurveLinear), kChorusEffectsSend, 200, 0, 0},
    {Source(kSrcPitchWheel, false, false, true, kCurveLinear), kInitialPitch, 12700,
     Source(kSrcPitchWheelSensitivity, false, false, false, kCurveLinear), 0},
};

// Identity of SoundFont 2.04 section 9.5.1: same sources, destination and transform; the amount may differ.
bool Identical(const Modulator &a, const Modulator &b) {
    return a.source == b.source && a.destination == b.destination && a.amountSource == b.amountSource &&
           a.transform == b.transform;
}

// Modulators this synthesizer cannot use are dropped when read: links to other modulators, unknown
// destinations or transforms, and a primary source of "no controller", whose output is always 0.
bool Usable(const sf2::sfModList &m) {
    if ((m.sfModDestOper & kLinkedDestination) || m.sfModDestOper >= kGeneratorCount)
        return false;
    if (m.sfModTransOper != kTransformLinear && m.sfModTransOper != kTransformAbsolute)
        return false;
    return (m.sfModSrcOper & kSourceCcFlag) || (m.sfModSrcOper & kSourceIndexMask) != 0;
}

// Adds a modulator to a zone's list; an identical one already there takes the new amount. (Preset modulators
// are added on top of an instrument's when a note collects its zones.)
void MergeModulator(std::vector<Modulator> &list, const Modulator &m) {
    for (Modulator &have : list) {
        if (!Identical(have, m))
            continue;
        have.amount = m.amount;
        return;
    }
    if (list.size() < kMaxListModulators)
        list.push_back(m);
}

// One zone of the hydra as read: generator values set by the zone and its terminal index, if any.
struct RawZone {
    bool set[kGeneratorCount] = {};
    int16_t value[kGeneratorCount] = {};
    int terminal = -1; // instrument index (preset zone) or sample index (instrument zone); -1 in a global zone
    std::vector<Modulator> mods;
};

// Reads the generators and modulators of zone bag (bag and bag + 1 delimit its records). Generators after
// the terminal one are ignored, as SoundFont 2.04 section 8.1.2 asks.
void ReadZone(const std::vector<sf2::sfBag> &bags, size_t bag, const std::vector<sf2::sfGenList> &gens,
              const std::vector<sf2::sfModList> &mods, uint16_t terminalOp, RawZone &zone) {
    for (size_t i = bags[bag].wGenNdx; i < bags[bag + 1].wGenNdx; ++i) {
        const sf2::sfGenList &g = gens[i];
        if (g.sfGenOper == terminalOp) {
            zone.terminal = g.genAmount;
            break;
        }
        if (!IsKnownGenerator(g.sfGenOper) || g.sfGenOper == kSampleID || g.sfGenOper == kInstrument)
            continue;
        zone.set[g.sfGenOper] = true;
        zone.value[g.sfGenOper] = static_cast<int16_t>(g.genAmount);
    }
    for (size_t i = bags[bag].wModNdx; i < bags[bag + 1].wModNdx; ++i) {
        const sf2::sfModList &m = mods[i];
        if (!Usable(m))
            continue;
        MergeModulator(zone.mods, {m.sfModSrcOper, m.sfModDestOper, m.modAmount, m.sfModAmtSrcOper, m.sfModTransOper});
    }
}

// Walks the zones of one instrument or preset (bags firstBag..endBag - 1). Only the first zone may be global
// (have no terminal generator); next() hands it out beside every later zone. A later zone without the terminal
// generator is ignored.
class ZoneWalker {
public:
    ZoneWalker(const std::vector<sf2::sfBag> &bags, const std::vector<sf2::sfGenList> &gens,
               const std::vector<sf2::sfModList> &mods, uint16_t terminalOp, size_t firstBag, size_t endBag)
        : bags_(bags), gens_(gens), mods_(mods), terminalOp_(terminalOp), first_(firstBag), bag_(firstBag),
          end_(endBag) {}

    // The next zone with a terminal generator, and the global zone (null when there is none); false at the end.
    bool next(RawZone &zone, const RawZone *&global) {
        while (bag_ < end_) {
            const size_t b = bag_++;
            zone = RawZone();
            ReadZone(bags_, b, gens_, mods_, terminalOp_, zone);
            if (zone.terminal >= 0) {
                global = hasGlobal_ ? &global_ : nullptr;
                return true;
            }
            if (b == first_) {
                global_ = std::move(zone);
                hasGlobal_ = true;
            }
        }
        return false;
    }

private:
    const std::vector<sf2::sfBag> &bags_;
    const std::vector<sf2::sfGenList> &gens_;
    const std::vector<sf2::sfModList> &mods_;
    uint16_t terminalOp_;
    size_t first_, bag_, end_;
    RawZone global_;
    bool hasGlobal_ = false;
};

// Key and velocity ranges of a zone, its global zone's where it sets none; false when the range is empty.
template <typename RangeT> bool ZoneRange(const RawZone *global, const RawZone &local, RangeT &range) {
    for (int g : {kKeyRange, kVelRange}) {
        const RawZone *from = local.set[g] ? &local : (global && global->set[g] ? global : nullptr);
        if (!from)
            continue;
        uint16_t v = static_cast<uint16_t>(from->value[g]);
        int lo = v & 0xFF, hi = std::min<int>(v >> 8, kMaxKey);
        if (lo > hi)
            return false; // empty, or entirely above 127
        if (g == kKeyRange) {
            range.keyLo = static_cast<uint8_t>(lo);
            range.keyHi = static_cast<uint8_t>(hi);
        } else {
            range.velLo = static_cast<uint8_t>(lo);
            range.velHi = static_cast<uint8_t>(hi);
        }
    }
    return true;
}

void ApplyGenerators(const RawZone &zone, int16_t *gen) {
    for (int g = 0; g < kGeneratorCount; ++g)
        if (zone.set[g])
            gen[g] = zone.value[g];
}

} // namespace

// Turns the validated hydra into the flat zone tables of a SoundFont.
class SoundFontBuilder {
public:
    SoundFontBuilder(SoundFont &sf, const sf2::File &file) : sf_(sf), f_(file) {}

    LoadStatus build(std::string &error) {
        LoadStatus s = readSamples(error);
        if (s == LoadStatus::Ok)
            s = readInstruments(error);
        if (s == LoadStatus::Ok)
            s = readPresets(error);
        return s;
    }

private:
    LoadStatus readSamples(std::string &error);
    LoadStatus readInstruments(std::string &error);
    LoadStatus readPresets(std::string &error);
    void addStereoPartners(size_t firstZone);
    uint32_t storeModulators(const std::vector<Modulator> &list);
    bool usableSample(size_t i) const { return usable_[i]; }

    SoundFont &sf_;
    const sf2::File &f_;
    std::vector<bool> usable_; // per sample: not ROM and not empty
    std::vector<int> partner_; // per sample: the other half of a stereo pair, or -1
};

LoadStatus SoundFontBuilder::readSamples(std::string &error) {
    size_t count = f_.shdr.size() - 1; // the last record is the terminal EOS
    sf_.sampleInfo_.resize(count);
    usable_.assign(count, false);
    partner_.assign(count, -1);
    for (size_t i = 0; i < count; ++i) {
        const sf2::sfSample &h = f_.shdr[i];
        SampleInfo &s = sf_.sampleInfo_[i];
        s.name = h.achSampleName;
        s.type = h.sfSampleType;
        if (h.sfSampleType & sf2::kSampleTypeRomFlag)
            continue; // ROM samples are not in the file: skipped
        if (h.dwEnd > f_.smplCount || h.dwStart > h.dwEnd)
            return Damaged(error, "sample " + Quoted(h.achSampleName) + " lies outside the sample data");
        s.start = h.dwStart;
        s.end = h.dwEnd;
        // Loops outside the sample are pulled inside; an empty or reversed loop becomes the whole sample.
        s.loopStart = std::clamp(h.dwStartloop, s.start, s.end);
        s.loopEnd = std::clamp(h.dwEndloop, s.start, s.end);
        if (s.loopStart >= s.loopEnd) {
            s.loopStart = s.start;
            s.loopEnd = s.end;
        }
        s.sampleRate = h.dwSampleRate ? h.dwSampleRate : kDefaultSampleRate;
        s.originalPitch = h.byOriginalPitch > kMaxKey ? kDefaultOriginalPitch : h.byOriginalPitch;
        static_assert(kUnpitchedOriginalPitch > kMaxKey, "unpitched samples play at the default pitch");
        s.pitchCorrection = h.chPitchCorrection;
        usable_[i] = s.end > s.start;
    }
    for (size_t i = 0; i < count; ++i) {
        uint16_t type = f_.shdr[i].sfSampleType, link = f_.shdr[i].wSampleLink;
        if (!usable_[i] || (type != kLeftSample && type != kRightSample) || link >= count || !usable_[link])
            continue;
        uint16_t other = f_.shdr[link].sfSampleType;
        if ((type == kLeftSample && other == kRightSample) || (type == kRightSample && other == kLeftSample))
            partner_[i] = link;
    }
    return LoadStatus::Ok;
}

uint32_t SoundFontBuilder::storeModulators(const std::vector<Modulator> &list) {
    uint32_t first = static_cast<uint32_t>(sf_.modPool_.size());
    sf_.modPool_.insert(sf_.modPool_.end(), list.begin(), list.end());
    return first;
}

LoadStatus SoundFontBuilder::readInstruments(std::string &error) {
    size_t count = f_.inst.size() - 1; // the last record is the terminal EOI
    sf_.instruments_.resize(count);
    std::vector<Modulator> mods;
    for (size_t i = 0; i < count; ++i) {
        size_t firstBag = f_.inst[i].wInstBagNdx, endBag = f_.inst[i + 1].wInstBagNdx;
        size_t firstZone = sf_.instZones_.size();
        ZoneWalker walk(f_.ibag, f_.igen, f_.imod, kSampleID, firstBag, endBag);
        RawZone zone;
        const RawZone *global = nullptr;
        while (walk.next(zone, global)) {
            if (static_cast<size_t>(zone.terminal) >= usable_.size())
                return Damaged(error, "instrument " + Quoted(f_.inst[i].achInstName) +
                                          " refers to a sample that does not exist");
            SoundFont::InstrumentZone z;
            z.range = {};
            if (!usableSample(zone.terminal) || !ZoneRange(global, zone, z.range))
                continue;
            SetInstrumentDefaults(z.gen);
            if (global)
                ApplyGenerators(*global, z.gen);
            ApplyGenerators(zone, z.gen);
            z.gen[kKeyRange] = static_cast<int16_t>(z.range.keyLo | (z.range.keyHi << 8));
            z.gen[kVelRange] = static_cast<int16_t>(z.range.velLo | (z.range.velHi << 8));
            z.sample = static_cast<uint32_t>(zone.terminal);
            z.gen[kSampleID] = static_cast<int16_t>(z.sample);
            mods.assign(std::begin(kDefaultModulators), std::end(kDefaultModulators));
            if (global)
                for (const Modulator &m : global->mods)
                    MergeModulator(mods, m);
            for (const Modulator &m : zone.mods)
                MergeModulator(mods, m);
            z.modFirst = storeModulators(mods);
            z.modCount = static_cast<uint32_t>(mods.size());
            sf_.instZones_.push_back(z);
        }
        addStereoPartners(firstZone);
        sf_.instruments_[i] = {static_cast<uint32_t>(firstZone),
                               static_cast<uint32_t>(sf_.instZones_.size() - firstZone)};
    }
    return LoadStatus::Ok;
}

// A zone that plays one half of a stereo pair, when no zone of the instrument plays the other half for the
// same keys and velocities, gets a twin for the other half; the two are panned to their sides.
void SoundFontBuilder::addStereoPartners(size_t firstZone) {
    size_t endZone = sf_.instZones_.size();
    long budget = kMaxStereoChecks;
    for (size_t z = firstZone; z < endZone && budget > 0; ++z) {
        int other = partner_[sf_.instZones_[z].sample];
        if (other < 0)
            continue;
        bool covered = false;
        for (size_t y = firstZone; y < sf_.instZones_.size() && !covered; ++y, --budget) {
            const SoundFont::Range &a = sf_.instZones_[z].range;
            const SoundFont::Range &b = sf_.instZones_[y].range;
            covered = sf_.instZones_[y].sample == static_cast<uint32_t>(other) && a.keyLo <= b.keyHi &&
                      b.keyLo <= a.keyHi && a.velLo <= b.velHi && b.velLo <= a.velHi;
        }
        if (covered)
            continue;
        SoundFont::InstrumentZone twin = sf_.instZones_[z];
        bool left = sf_.sampleInfo_[twin.sample].type == kLeftSample;
        sf_.instZones_[z].gen[kPan] = left ? kPanLeft : kPanRight;
        twin.sample = static_cast<uint32_t>(other);
        twin.gen[kSampleID] = static_cast<int16_t>(other);
        twin.gen[kPan] = left ? kPanRight : kPanLeft;
        sf_.instZones_.push_back(twin);
    }
}

LoadStatus SoundFontBuilder::readPresets(std::string &error) {
    size_t count = f_.phdr.size() - 1; // the last record is the terminal EOP
    sf_.presetInfo_.resize(count);
    sf_.presetSpans_.resize(count);
    std::vector<Modulator> mods;
    for (size_t p = 0; p < count; ++p) {
        const sf2::sfPresetHeader &h = f_.phdr[p];
        sf_.presetInfo_[p] = {h.wBank, h.wPreset, h.achPresetName};
        size_t firstBag = h.wPresetBagNdx, endBag = f_.phdr[p + 1].wPresetBagNdx;
        size_t firstZone = sf_.presetZones_.size();
        ZoneWalker walk(f_.pbag, f_.pgen, f_.pmod, kInstrument, firstBag, endBag);
        RawZone zone;
        const RawZone *global = nullptr;
        while (walk.next(zone, global)) {
            if (static_cast<size_t>(zone.terminal) >= sf_.instruments_.size())
                return Damaged(error,
                               "preset " + Quoted(h.achPresetName) + " refers to an instrument that does not exist");
            SoundFont::PresetZone z;
            z.range = {};
            if (!ZoneRange(global, zone, z.range))
                continue;
            std::fill(std::begin(z.gen), std::end(z.gen), int16_t(0));
            if (global)
                ApplyGenerators(*global, z.gen);
            ApplyGenerators(zone, z.gen);
            for (int g = 0; g < kGeneratorCount; ++g)
                if (IsInstrumentOnly(g))
                    z.gen[g] = 0;
            z.instrument = static_cast<uint32_t>(zone.terminal);
            mods.clear();
            if (global)
                mods = global->mods;
            for (const Modulator &m : zone.mods)
                MergeModulator(mods, m);
            z.modFirst = storeModulators(mods);
            z.modCount = static_cast<uint32_t>(mods.size());
            sf_.presetZones_.push_back(z);
        }
        sf_.presetSpans_[p] = {static_cast<uint32_t>(firstZone),
                               static_cast<uint32_t>(sf_.presetZones_.size() - firstZone)};
    }
    // Presets numbered beyond MIDI's 128 programs cannot be selected and stay out of the lookup.
    sf_.presetKeys_.reserve(count);
    for (size_t p = 0; p < count; ++p)
        if (sf_.presetInfo_[p].program <= kMaxKey)
            sf_.presetKeys_.push_back(
                {static_cast<uint32_t>(sf_.presetInfo_[p].bank) * 128u + sf_.presetInfo_[p].program,
                 static_cast<int>(p)});
    // Stable: when a file defines a bank and program twice, the first definition wins.
    std::stable_sort(
        sf_.presetKeys_.begin(), sf_.presetKeys_.end(),
        [](const SoundFont::PresetKey &a, const SoundFont::PresetKey &b) { return a.bankProgram < b.bankProgram; });
    return LoadStatus::Ok;
}

void SoundFont::clear() {
    samples_.clear();
    samples_.shrink_to_fit();
    sampleOffset_ = 0;
    sampleCount_ = 0;
    presetInfo_.clear();
    sampleInfo_.clear();
    name_.clear();
    presetSpans_.clear();
    presetZones_.clear();
    instruments_.clear();
    instZones_.clear();
    modPool_.clear();
    presetKeys_.clear();
}

LoadStatus SoundFont::load(const uint8_t *data, size_t size, std::string &error) {
    return loadImage(data, size, nullptr, error);
}

LoadStatus SoundFont::loadImage(const uint8_t *data, size_t size, std::vector<int16_t> *image, std::string &error) {
    clear();
    error.clear();
    LoadStatus status;
    try {
        sf2::File file;
        status = sf2::ReadFile(data, size, file, error);
        if (status == LoadStatus::Ok) {
            name_ = file.name;
            if (file.versionMajor == 3) {
                status = sf3::DecodeSamples(file, samples_, error); // the file image is not kept
                sampleOffset_ = 0;
                sampleCount_ = samples_.size();
            } else {
                adoptSamples(file, image);
            }
            if (status == LoadStatus::Ok)
                status = SoundFontBuilder(*this, file).build(error);
        }
    } catch (const std::bad_alloc &) {
        error = "There is not enough memory to load the SoundFont.";
        status = LoadStatus::OutOfMemory;
    }
    if (status != LoadStatus::Ok)
        clear();
    return status;
}

int SoundFont::findPreset(int bank, int program) const {
    if (bank < 0 || program < 0 || program > kMaxKey || bank > 0xFFFF)
        return -1;
    uint32_t key = static_cast<uint32_t>(bank) * 128u + static_cast<uint32_t>(program);
    auto it = std::lower_bound(presetKeys_.begin(), presetKeys_.end(), key,
                               [](const PresetKey &k, uint32_t v) { return k.bankProgram < v; });
    return it != presetKeys_.end() && it->bankProgram == key ? it->index : -1;
}

int SoundFont::collectZones(int preset, int key, int velocity, ZoneVoice *out, int capacity) const {
    if (preset < 0 || static_cast<size_t>(preset) >= presetSpans_.size() || !out)
        return 0;
    int n = 0;
    int budget = kMaxZoneTests;
    const Span &ps = presetSpans_[preset];
    for (uint32_t pz = ps.first; pz < ps.first + ps.count && n < capacity; ++pz) {
        const PresetZone &p = presetZones_[pz];
        if (!p.range.contains(key, velocity))
            continue;
        const Span &is = instruments_[p.instrument];
        for (uint32_t iz = is.first; iz < is.first + is.count && n < capacity && budget > 0; ++iz, --budget) {
            const InstrumentZone &z = instZones_[iz];
            if (!z.range.contains(key, velocity))
                continue;
            ZoneVoice &v = out[n++];
            for (int g = 0; g < kGeneratorCount; ++g)
                v.gen[g] = static_cast<int16_t>(std::clamp(z.gen[g] + p.gen[g], -32768, 32767));
            v.gen[kKeyRange] = static_cast<int16_t>(std::max(z.range.keyLo, p.range.keyLo) |
                                                    (std::min(z.range.keyHi, p.range.keyHi) << 8));
            v.gen[kVelRange] = static_cast<int16_t>(std::max(z.range.velLo, p.range.velLo) |
                                                    (std::min(z.range.velHi, p.range.velHi) << 8));
            v.sample = &sampleInfo_[z.sample];
            // Instrument modulators, then the preset's added on top; those that end at amount 0 do nothing.
            int count = 0;
            for (uint32_t m = z.modFirst; m < z.modFirst + z.modCount && count < kMaxZoneModulators; ++m)
                v.modulators[count++] = modPool_[m];
            for (uint32_t m = p.modFirst; m < p.modFirst + p.modCount; ++m) {
                const Modulator &pm = modPool_[m];
                int i = 0;
                while (i < count && !Identical(v.modulators[i], pm))
                    ++i;
                if (i < count)
                    v.modulators[i].amount =
                        static_cast<int16_t>(std::clamp(v.modulators[i].amount + pm.amount, -32768, 32767));
                else if (count < kMaxZoneModulators)
                    v.modulators[count++] = pm;
            }
            int kept = 0;
            for (int i = 0; i < count; ++i)
                if (v.modulators[i].amount != 0)
                    v.modulators[kept++] = v.modulators[i];
            v.modulatorCount = kept;
        }
    }
    return n;
}

} // namespace tw::synth
