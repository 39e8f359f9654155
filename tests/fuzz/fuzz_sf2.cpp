// libFuzzer target: the SoundFont 2 and 3 loader on arbitrary bytes must neither fault nor hand out zones that point
// outside the sample data.
#include "soundfont.h"
#include "synth.h"

#include <cstdlib>

namespace {

constexpr int kCapacity = 32;
constexpr int kKeys[] = {0, 35, 60, 64, 100, 127};
constexpr int kVelocities[] = {1, 64, 127};

void CheckZone(const tw::synth::SoundFont &sf, const tw::synth::ZoneVoice &z) {
    const tw::synth::SampleInfo *s = z.sample;
    if (!s || s->start >= s->end || s->end > sf.sampleCount() || s->loopStart < s->start ||
        s->loopStart >= s->loopEnd || s->loopEnd > s->end || z.modulatorCount < 0 ||
        z.modulatorCount > tw::synth::kMaxZoneModulators)
        std::abort();
    for (int i = 0; i < z.modulatorCount; ++i)
        if (z.modulators[i].destination >= tw::synth::kGeneratorCount)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    tw::synth::SoundFont sf;
    std::string error;
    tw::synth::LoadStatus status = sf.load(data, size, error);
    if ((status == tw::synth::LoadStatus::Ok) != error.empty())
        std::abort();
    if (status != tw::synth::LoadStatus::Ok) {
        if (!sf.presets().empty() || sf.sampleCount() != 0)
            std::abort();
        return 0;
    }
    static tw::synth::ZoneVoice zones[kCapacity];
    for (size_t p = 0; p < sf.presets().size(); ++p) {
        const tw::synth::PresetInfo &info = sf.presets()[p];
        int found = sf.findPreset(info.bank, info.program);
        if (info.program < 128 &&
            (found < 0 || sf.presets()[found].bank != info.bank || sf.presets()[found].program != info.program))
            std::abort();
        for (int key : kKeys)
            for (int velocity : kVelocities) {
                int n = sf.collectZones(static_cast<int>(p), key, velocity, zones, kCapacity);
                if (n < 0 || n > kCapacity)
                    std::abort();
                for (int i = 0; i < n; ++i)
                    CheckZone(sf, zones[i]);
            }
    }
    return 0;
}
