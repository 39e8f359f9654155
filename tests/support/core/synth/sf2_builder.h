// Test utility: builds SoundFont 2 (and, given a compressor, SoundFont 3) files in memory (samples, instruments,
// presets, zones, modulators).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "soundfont.h"

namespace tw::test {

// One zone of an instrument or preset. gen() and friends return the zone so calls chain.
struct Sf2Zone {
    int target = -1; // sample index (instrument zone) or instrument index (preset zone); -1 for a global zone
    std::vector<std::pair<uint16_t, uint16_t>> gens; // operator and raw amount, written in this order
    std::vector<synth::Modulator> mods;
    std::vector<std::pair<uint16_t, uint16_t>> trailing; // written after the terminal generator (misplaced)

    Sf2Zone &gen(uint16_t op, int amount) {
        gens.emplace_back(op, static_cast<uint16_t>(static_cast<int16_t>(amount)));
        return *this;
    }
    Sf2Zone &keys(int lo, int hi) { return range(synth::kKeyRange, lo, hi); }
    Sf2Zone &vels(int lo, int hi) { return range(synth::kVelRange, lo, hi); }
    Sf2Zone &range(uint16_t op, int lo, int hi) {
        gens.emplace_back(op, static_cast<uint16_t>((lo & 0xFF) | ((hi & 0xFF) << 8)));
        return *this;
    }
    Sf2Zone &mod(uint16_t source, uint16_t destination, int amount, uint16_t amountSource = 0, uint16_t transform = 0) {
        mods.push_back({source, destination, static_cast<int16_t>(amount), amountSource, transform});
        return *this;
    }
};

// A sample as the builder stores it; loop points count from the sample's first point.
struct Sf2Sample {
    std::string name;
    std::vector<int16_t> data;
    uint32_t rate = 44100;
    uint8_t originalPitch = 60;
    int8_t pitchCorrection = 0;
    uint32_t loopStart = 0, loopEnd = 0;
    uint16_t type = 1; // 1 mono, 2 right, 4 left
    uint16_t link = 0;
};

struct Sf2Instrument {
    std::string name;
    bool hasGlobal = false;
    Sf2Zone global;
    std::deque<Sf2Zone> zones;
};

struct Sf2Preset {
    std::string name;
    uint16_t bank = 0, program = 0;
    bool hasGlobal = false;
    Sf2Zone global;
    std::deque<Sf2Zone> zones;
};

// Collects samples, instruments and presets and writes them as a well-formed SoundFont 2.04 file: range
// generators first and the sample or instrument generator last in each zone, terminal records, 46 zero points
// after every sample. References returned by the add functions stay valid while the builder lives.
class Sf2Builder {
public:
    static constexpr uint32_t kSamplePadding = 46; // zero points after each sample, as the format asks

    std::string name = "Test SoundFont";
    // Set: the file is a SoundFont 3 whose samples are the bytes this makes of each (an Ogg Vorbis stream,
    // see vorbis_encode.h), with start and end in bytes and loop points counted from the sample's start.
    std::function<std::vector<uint8_t>(const Sf2Sample &)> compress;

    int addSample(const std::string &sampleName, std::vector<int16_t> data, uint32_t rate = 44100,
                  uint8_t originalPitch = 60, uint32_t loopStart = 0, uint32_t loopEnd = 0) {
        Sf2Sample s;
        s.name = sampleName;
        s.data = std::move(data);
        s.rate = rate;
        s.originalPitch = originalPitch;
        s.loopStart = loopStart;
        s.loopEnd = loopEnd ? loopEnd : static_cast<uint32_t>(s.data.size());
        samples.push_back(std::move(s));
        return static_cast<int>(samples.size()) - 1;
    }

    // Adds a left and a right sample linked to each other; returns {left, right}.
    std::pair<int, int> addStereoSample(const std::string &sampleName, std::vector<int16_t> left,
                                        std::vector<int16_t> right, uint32_t rate = 44100, uint8_t originalPitch = 60,
                                        uint32_t loopStart = 0, uint32_t loopEnd = 0) {
        int l = addSample(sampleName + "L", std::move(left), rate, originalPitch, loopStart, loopEnd);
        int r = addSample(sampleName + "R", std::move(right), rate, originalPitch, loopStart, loopEnd);
        samples[l].type = 4;
        samples[l].link = static_cast<uint16_t>(r);
        samples[r].type = 2;
        samples[r].link = static_cast<uint16_t>(l);
        return {l, r};
    }

    int addInstrument(const std::string &instName) {
        instruments.push_back({});
        instruments.back().name = instName;
        return static_cast<int>(instruments.size()) - 1;
    }
    Sf2Zone &instrumentZone(int inst, int sample) {
        instruments[inst].zones.push_back({});
        instruments[inst].zones.back().target = sample;
        return instruments[inst].zones.back();
    }
    Sf2Zone &instrumentGlobal(int inst) {
        instruments[inst].hasGlobal = true;
        return instruments[inst].global;
    }

    int addPreset(const std::string &presetName, int bank, int program) {
        presets.push_back({});
        presets.back().name = presetName;
        presets.back().bank = static_cast<uint16_t>(bank);
        presets.back().program = static_cast<uint16_t>(program);
        return static_cast<int>(presets.size()) - 1;
    }
    Sf2Zone &presetZone(int preset, int inst) {
        presets[preset].zones.push_back({});
        presets[preset].zones.back().target = inst;
        return presets[preset].zones.back();
    }
    Sf2Zone &presetGlobal(int preset) {
        presets[preset].hasGlobal = true;
        return presets[preset].global;
    }

    // A preset playing one sample over the whole keyboard through an instrument of its own; returns the
    // instrument zone so the caller can add generators.
    Sf2Zone &addSimplePreset(const std::string &presetName, int bank, int program, int sample) {
        int inst = addInstrument(presetName);
        presetZone(addPreset(presetName, bank, program), inst);
        return instrumentZone(inst, sample);
    }

    std::vector<uint8_t> build() const {
        Bytes info, sdta, pdta;
        const bool sf3 = static_cast<bool>(compress);
        info.chunk("ifil", [sf3](Bytes &b) {
            b.u16(sf3 ? 3 : 2);
            b.u16(sf3 ? 1 : 4);
        });
        info.chunk("isng", [](Bytes &b) { b.text("EMU8000", 8); });
        info.chunk("INAM", [&](Bytes &b) { b.text(name, name.size() + 2 - name.size() % 2); });
        std::vector<uint32_t> starts, ends;
        sdta.chunk("smpl", [&](Bytes &b) {
            uint32_t pos = 0;
            for (const Sf2Sample &s : samples) {
                if (sf3) {
                    std::vector<uint8_t> stream = compress(s);
                    starts.push_back(pos);
                    b.data.insert(b.data.end(), stream.begin(), stream.end());
                    pos += static_cast<uint32_t>(stream.size());
                    ends.push_back(pos);
                    continue;
                }
                starts.push_back(pos);
                for (int16_t v : s.data)
                    b.u16(static_cast<uint16_t>(v));
                for (uint32_t i = 0; i < kSamplePadding; ++i)
                    b.u16(0);
                pos += static_cast<uint32_t>(s.data.size()) + kSamplePadding;
                ends.push_back(starts.back() + static_cast<uint32_t>(s.data.size()));
            }
        });
        writeHydra(pdta, starts, ends, sf3);
        Bytes form;
        form.raw("sfbk", 4);
        form.list("INFO", info);
        form.list("sdta", sdta);
        form.list("pdta", pdta);
        Bytes file;
        file.raw("RIFF", 4);
        file.u32(static_cast<uint32_t>(form.data.size()));
        file.data.insert(file.data.end(), form.data.begin(), form.data.end());
        return file.data;
    }

    // Offset of the data of the first chunk with this id in a built file, or 0 when there is none.
    static size_t FindChunk(const std::vector<uint8_t> &file, const char *id) {
        for (size_t i = 12; i + 8 <= file.size(); ++i)
            if (std::memcmp(&file[i], id, 4) == 0)
                return i + 8;
        return 0;
    }
    // Replaces the data of the first chunk with this id (inside one of the top-level lists) and fixes the sizes
    // of the chunk, its list and the RIFF form. Returns false when the chunk is not found.
    static bool ReplaceChunkData(std::vector<uint8_t> &file, const char *id, const std::vector<uint8_t> &payload) {
        size_t at = FindChunk(file, id);
        if (at == 0)
            return false;
        uint32_t oldSize = Peek32(file, at - 4);
        size_t list = 12;
        while (list + 8 <= file.size() && list + 8 + Peek32(file, list + 4) < at)
            list += 8 + Peek32(file, list + 4);
        if (list + 8 > file.size())
            return false;
        file.erase(file.begin() + at, file.begin() + at + oldSize);
        file.insert(file.begin() + at, payload.begin(), payload.end());
        int64_t delta = static_cast<int64_t>(payload.size()) - oldSize;
        Poke32(file, at - 4, static_cast<uint32_t>(payload.size()));
        Poke32(file, list + 4, static_cast<uint32_t>(Peek32(file, list + 4) + delta));
        Poke32(file, 4, static_cast<uint32_t>(Peek32(file, 4) + delta));
        return true;
    }
    static uint32_t Peek32(const std::vector<uint8_t> &file, size_t at) {
        return file[at] | (file[at + 1] << 8) | (file[at + 2] << 16) | (static_cast<uint32_t>(file[at + 3]) << 24);
    }
    static void Poke16(std::vector<uint8_t> &file, size_t at, uint16_t v) {
        file[at] = static_cast<uint8_t>(v);
        file[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    static void Poke32(std::vector<uint8_t> &file, size_t at, uint32_t v) {
        Poke16(file, at, static_cast<uint16_t>(v));
        Poke16(file, at + 2, static_cast<uint16_t>(v >> 16));
    }

    // Test signals. Sine: a sine of the given period in points; Noise: reproducible white noise; Ramp: a
    // straight line from 'from' to 'to'.
    static std::vector<int16_t> Sine(size_t frames, double periodFrames, int amplitude = 16000) {
        std::vector<int16_t> v(frames);
        const double kTwoPi = 6.283185307179586;
        for (size_t i = 0; i < frames; ++i)
            v[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(kTwoPi * i / periodFrames)));
        return v;
    }
    static std::vector<int16_t> Noise(size_t frames, uint32_t seed = 1, int amplitude = 16000) {
        std::vector<int16_t> v(frames);
        for (size_t i = 0; i < frames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            v[i] = static_cast<int16_t>(static_cast<int>((seed >> 16) % (2u * amplitude + 1)) - amplitude);
        }
        return v;
    }
    static std::vector<int16_t> Ramp(size_t frames, int from, int to) {
        std::vector<int16_t> v(frames);
        for (size_t i = 0; i < frames; ++i)
            v[i] = static_cast<int16_t>(
                frames > 1 ? from + (to - from) * static_cast<long>(i) / static_cast<long>(frames - 1) : from);
        return v;
    }

    std::deque<Sf2Sample> samples;
    std::deque<Sf2Instrument> instruments;
    std::deque<Sf2Preset> presets;

private:
    struct Bytes {
        std::vector<uint8_t> data;
        void u8(uint8_t v) { data.push_back(v); }
        void u16(uint16_t v) {
            u8(static_cast<uint8_t>(v));
            u8(static_cast<uint8_t>(v >> 8));
        }
        void u32(uint32_t v) {
            u16(static_cast<uint16_t>(v));
            u16(static_cast<uint16_t>(v >> 16));
        }
        void raw(const char *s, size_t n) { data.insert(data.end(), s, s + n); }
        void text(const std::string &s, size_t n) {
            for (size_t i = 0; i < n; ++i)
                u8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
        }
        template <typename Fill> void chunk(const char *id, Fill fill) {
            raw(id, 4);
            size_t at = data.size();
            u32(0);
            fill(*this);
            uint32_t size = static_cast<uint32_t>(data.size() - at - 4);
            for (int i = 0; i < 4; ++i)
                data[at + i] = static_cast<uint8_t>(size >> (8 * i));
            if (size & 1)
                u8(0);
        }
        void list(const char *type, const Bytes &body) {
            chunk("LIST", [&](Bytes &b) {
                b.raw(type, 4);
                b.data.insert(b.data.end(), body.data.begin(), body.data.end());
            });
        }
    };

    struct ZoneTables {
        std::vector<std::pair<uint16_t, uint16_t>> bags; // generator and modulator index of each zone
        std::vector<std::pair<uint16_t, uint16_t>> gens;
        std::vector<synth::Modulator> mods;
    };

    // Appends a zone: ranges first, other generators in order, then the terminal generator.
    static void AddZone(ZoneTables &t, const Sf2Zone &z, uint16_t terminalOp) {
        t.bags.emplace_back(static_cast<uint16_t>(t.gens.size()), static_cast<uint16_t>(t.mods.size()));
        for (uint16_t op : {uint16_t(synth::kKeyRange), uint16_t(synth::kVelRange)})
            for (const auto &g : z.gens)
                if (g.first == op)
                    t.gens.push_back(g);
        for (const auto &g : z.gens)
            if (g.first != synth::kKeyRange && g.first != synth::kVelRange)
                t.gens.push_back(g);
        if (z.target >= 0)
            t.gens.emplace_back(terminalOp, static_cast<uint16_t>(z.target));
        t.gens.insert(t.gens.end(), z.trailing.begin(), z.trailing.end());
        t.mods.insert(t.mods.end(), z.mods.begin(), z.mods.end());
    }

    static void WriteTables(Bytes &pdta, const ZoneTables &t, const char *bag, const char *mod, const char *gen) {
        pdta.chunk(bag, [&](Bytes &b) {
            for (const auto &z : t.bags) {
                b.u16(z.first);
                b.u16(z.second);
            }
            b.u16(static_cast<uint16_t>(t.gens.size()));
            b.u16(static_cast<uint16_t>(t.mods.size()));
        });
        pdta.chunk(mod, [&](Bytes &b) {
            for (const synth::Modulator &m : t.mods) {
                b.u16(m.source);
                b.u16(m.destination);
                b.u16(static_cast<uint16_t>(m.amount));
                b.u16(m.amountSource);
                b.u16(m.transform);
            }
            for (int i = 0; i < 5; ++i)
                b.u16(0);
        });
        pdta.chunk(gen, [&](Bytes &b) {
            for (const auto &g : t.gens) {
                b.u16(g.first);
                b.u16(g.second);
            }
            b.u32(0);
        });
    }

    void writeHydra(Bytes &pdta, const std::vector<uint32_t> &starts, const std::vector<uint32_t> &ends,
                    bool sf3) const {
        ZoneTables pt, it;
        std::vector<uint16_t> presetBag, instBag;
        for (const Sf2Preset &p : presets) {
            presetBag.push_back(static_cast<uint16_t>(pt.bags.size()));
            if (p.hasGlobal)
                AddZone(pt, p.global, synth::kInstrument);
            for (const Sf2Zone &z : p.zones)
                AddZone(pt, z, synth::kInstrument);
        }
        for (const Sf2Instrument &i : instruments) {
            instBag.push_back(static_cast<uint16_t>(it.bags.size()));
            if (i.hasGlobal)
                AddZone(it, i.global, synth::kSampleID);
            for (const Sf2Zone &z : i.zones)
                AddZone(it, z, synth::kSampleID);
        }
        pdta.chunk("phdr", [&](Bytes &b) {
            for (size_t i = 0; i <= presets.size(); ++i) {
                bool end = i == presets.size();
                b.text(end ? "EOP" : presets[i].name, 20);
                b.u16(end ? 0 : presets[i].program);
                b.u16(end ? 0 : presets[i].bank);
                b.u16(end ? static_cast<uint16_t>(pt.bags.size()) : presetBag[i]);
                b.u32(0);
                b.u32(0);
                b.u32(0);
            }
        });
        WriteTables(pdta, pt, "pbag", "pmod", "pgen");
        pdta.chunk("inst", [&](Bytes &b) {
            for (size_t i = 0; i <= instruments.size(); ++i) {
                bool end = i == instruments.size();
                b.text(end ? "EOI" : instruments[i].name, 20);
                b.u16(end ? static_cast<uint16_t>(it.bags.size()) : instBag[i]);
            }
        });
        WriteTables(pdta, it, "ibag", "imod", "igen");
        pdta.chunk("shdr", [&](Bytes &b) {
            for (size_t i = 0; i < samples.size(); ++i) {
                const Sf2Sample &s = samples[i];
                b.text(s.name, 20);
                const uint32_t loopBase = sf3 ? 0 : starts[i];
                b.u32(starts[i]);
                b.u32(ends[i]);
                b.u32(loopBase + s.loopStart);
                b.u32(loopBase + s.loopEnd);
                b.u32(s.rate);
                b.u8(s.originalPitch);
                b.u8(static_cast<uint8_t>(s.pitchCorrection));
                b.u16(s.link);
                b.u16(static_cast<uint16_t>(sf3 ? s.type | 0x10 : s.type));
            }
            b.text("EOS", 46);
        });
    }
};

} // namespace tw::test
