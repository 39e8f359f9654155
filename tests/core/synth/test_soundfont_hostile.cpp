// Tests that damaged and hostile SoundFont files are rejected with the right status and never read out of bounds.
#include <gtest/gtest.h>

#include <memory>

#include "support/core/synth/sf2_builder.h"
#include "soundfont.h"
#include "synth.h"

using tw::synth::LoadStatus;
using tw::synth::SoundFont;
using tw::test::Sf2Builder;
namespace sy = tw::synth;

namespace {

// A small valid file: two presets (one with a global zone), a stereo pair, modulators.
Sf2Builder SmallFont() {
    Sf2Builder b;
    int mono = b.addSample("mono", Sf2Builder::Sine(64, 16), 44100, 60, 8, 56);
    auto stereo = b.addStereoSample("st", Sf2Builder::Noise(40, 3), Sf2Builder::Noise(40, 4));
    b.addSimplePreset("Lead", 0, 80, mono).keys(0, 100).gen(sy::kAttackVolEnv, -2000).mod(0x0081, sy::kPan, 200);
    int inst = b.addInstrument("Pad");
    b.instrumentGlobal(inst).gen(sy::kReleaseVolEnv, 1200);
    b.instrumentZone(inst, stereo.first).gen(sy::kPan, -500);
    b.instrumentZone(inst, stereo.second).gen(sy::kPan, 500);
    int preset = b.addPreset("Pad", 128, 0);
    b.presetGlobal(preset).gen(sy::kCoarseTune, 2);
    b.presetZone(preset, inst).vels(1, 127).mod(0x0081, sy::kInitialFilterFc, -300);
    return b;
}

// Loads exactly size bytes from a heap block of that size, so AddressSanitizer sees any read past the end.
LoadStatus LoadExact(const std::vector<uint8_t> &bytes, size_t size, std::string &error) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
    std::copy(bytes.begin(), bytes.begin() + size, copy.get());
    SoundFont sf;
    LoadStatus s = sf.load(copy.get(), size, error);
    if (s != LoadStatus::Ok) {
        EXPECT_TRUE(sf.presets().empty());
        EXPECT_EQ(sf.sampleCount(), 0u);
        EXPECT_EQ(sf.findPreset(0, 80), -1);
    }
    return s;
}

LoadStatus LoadAll(const std::vector<uint8_t> &bytes, std::string &error) {
    return LoadExact(bytes, bytes.size(), error);
}

void ExpectDamaged(const std::vector<uint8_t> &bytes, const char *what) {
    std::string error;
    EXPECT_EQ(LoadAll(bytes, error), LoadStatus::Damaged) << what;
    EXPECT_EQ(error.rfind("The SoundFont is damaged: ", 0), 0u) << what << ": " << error;
}

std::vector<uint8_t> WithChunk(const char *id, const std::vector<uint8_t> &payload) {
    std::vector<uint8_t> bytes = SmallFont().build();
    EXPECT_TRUE(Sf2Builder::ReplaceChunkData(bytes, id, payload)) << id;
    return bytes;
}

std::vector<uint8_t> ChunkData(const std::vector<uint8_t> &bytes, const char *id) {
    size_t at = Sf2Builder::FindChunk(bytes, id);
    return std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + Sf2Builder::Peek32(bytes, at - 4));
}

} // namespace

TEST(SoundFontHostile, SmallFontItselfLoads) {
    std::string error;
    ASSERT_EQ(LoadAll(SmallFont().build(), error), LoadStatus::Ok) << error;
}

TEST(SoundFontHostile, TruncationAtEveryByteIsRejected) {
    std::vector<uint8_t> bytes = SmallFont().build();
    for (size_t size = 0; size < bytes.size(); ++size) {
        std::string error;
        LoadStatus s = LoadExact(bytes, size, error);
        EXPECT_EQ(s, size < 12 ? LoadStatus::NotSoundFont : LoadStatus::Damaged) << "size " << size;
        EXPECT_FALSE(error.empty()) << "size " << size;
    }
}

TEST(SoundFontHostile, OtherFormatsAreNotSoundFonts) {
    std::vector<uint8_t> wav = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    std::vector<uint8_t> text(200, 'x');
    std::string error;
    EXPECT_EQ(LoadAll(wav, error), LoadStatus::NotSoundFont);
    EXPECT_EQ(LoadAll(text, error), LoadStatus::NotSoundFont);
    EXPECT_FALSE(error.empty());
    SoundFont sf;
    EXPECT_EQ(sf.load(nullptr, 0, error), LoadStatus::NotSoundFont);
}

TEST(SoundFontHostile, UnknownVersionsAreNotSoundFonts) {
    for (uint8_t major : {1, 4}) {
        std::string error;
        EXPECT_EQ(LoadAll(WithChunk("ifil", {major, 0, 1, 0}), error), LoadStatus::NotSoundFont) << int(major);
    }
    ExpectDamaged(WithChunk("ifil", {2, 0}), "short ifil");
}

TEST(SoundFontHostile, ZeroLengthRequiredChunksAreDamaged) {
    for (const char *id : {"phdr", "pbag", "inst", "ibag", "shdr", "smpl"})
        ExpectDamaged(WithChunk(id, {}), id);
    // Generators and modulators are referenced by the bags: emptying them leaves indices pointing nowhere.
    for (const char *id : {"pgen", "igen", "imod", "pmod"})
        ExpectDamaged(WithChunk(id, {}), id);
}

TEST(SoundFontHostile, RecordSizeMismatchIsDamaged) {
    std::vector<uint8_t> bytes = SmallFont().build();
    for (const char *id : {"phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"}) {
        std::vector<uint8_t> data = ChunkData(bytes, id);
        data.push_back(0);
        data.push_back(0);
        ExpectDamaged(WithChunk(id, data), id);
    }
    ExpectDamaged(WithChunk("smpl", {1, 2, 3}), "odd smpl");
}

TEST(SoundFontHostile, HugeSizesAreDamaged) {
    std::vector<uint8_t> bytes = SmallFont().build();
    std::vector<uint8_t> riff = bytes;
    Sf2Builder::Poke32(riff, 4, 0xFFFFFFF0u);
    ExpectDamaged(riff, "RIFF size");
    for (const char *id : {"LIST", "smpl", "phdr", "shdr", "igen"}) {
        std::vector<uint8_t> huge = bytes;
        Sf2Builder::Poke32(huge, Sf2Builder::FindChunk(huge, id) - 4, 0xFFFFFFF0u);
        ExpectDamaged(huge, id);
    }
}

TEST(SoundFontHostile, MissingListsAreDamaged) {
    std::vector<uint8_t> bytes = SmallFont().build();
    for (const char *type : {"sdta", "pdta"}) {
        std::vector<uint8_t> renamed = bytes;
        for (size_t i = 12; i + 4 <= renamed.size(); ++i)
            if (std::memcmp(&renamed[i], type, 4) == 0) {
                std::memcpy(&renamed[i], "junk", 4);
                break;
            }
        ExpectDamaged(renamed, type);
    }
}

TEST(SoundFontHostile, BadHydraIndicesAreDamaged) {
    const std::vector<uint8_t> bytes = SmallFont().build();
    auto patched = [&](const char *id, size_t offset, uint16_t value) {
        std::vector<uint8_t> b = bytes;
        Sf2Builder::Poke16(b, Sf2Builder::FindChunk(b, id) + offset, value);
        return b;
    };
    constexpr size_t kPhdr = 38, kBag = 4, kInst = 22, kGen = 4, kBagIndex = 24, kInstBagIndex = 20;
    ExpectDamaged(patched("phdr", 2 * kPhdr + kBagIndex, 200), "EOP bag index past pbag");
    ExpectDamaged(patched("phdr", 0 * kPhdr + kBagIndex, 2), "decreasing preset bag index");
    ExpectDamaged(patched("pbag", 0, 500), "pbag generator index past pgen");
    ExpectDamaged(patched("pbag", 2, 500), "pbag modulator index past pmod");
    ExpectDamaged(patched("inst", 2 * kInst + kInstBagIndex, 300), "EOI bag index past ibag");
    ExpectDamaged(patched("ibag", 1 * kBag, 900), "ibag generator index decreasing after a jump");
    ExpectDamaged(patched("ibag", 2 * kBag + 2, 77), "ibag modulator index past imod");
    // The first preset's only generator record is its instrument generator: point it at a missing instrument.
    std::vector<uint8_t> pgen = ChunkData(bytes, "pgen");
    for (size_t i = 0; i + kGen <= pgen.size(); i += kGen)
        if (pgen[i] == sy::kInstrument)
            pgen[i + 2] = 9;
    ExpectDamaged(WithChunk("pgen", pgen), "instrument index past inst");
    std::vector<uint8_t> igen = ChunkData(bytes, "igen");
    for (size_t i = 0; i + kGen <= igen.size(); i += kGen)
        if (igen[i] == sy::kSampleID)
            igen[i + 2] = 40;
    ExpectDamaged(WithChunk("igen", igen), "sample index past shdr");
}

TEST(SoundFontHostile, SampleRangesOutsideTheDataAreDamaged) {
    const std::vector<uint8_t> bytes = SmallFont().build();
    constexpr size_t kStart = 20, kEnd = 24;
    auto patched = [&](size_t offset, uint32_t value) {
        std::vector<uint8_t> b = bytes;
        Sf2Builder::Poke32(b, Sf2Builder::FindChunk(b, "shdr") + offset, value);
        return b;
    };
    uint32_t points = Sf2Builder::Peek32(bytes, Sf2Builder::FindChunk(bytes, "smpl") - 4) / 2;
    ExpectDamaged(patched(kEnd, points + 1), "end past the data");
    ExpectDamaged(patched(kEnd, 0xFFFFFFFFu), "end far past the data");
    ExpectDamaged(patched(kStart, 100), "start after end");
    std::string error;
    EXPECT_EQ(LoadAll(patched(kEnd, points), error), LoadStatus::Ok) << "end exactly at the data's end: " << error;
}

TEST(SoundFontHostile, FailedLoadLeavesAnEmptyFontThatCanLoadAgain) {
    SoundFont sf;
    std::string error;
    std::vector<uint8_t> good = SmallFont().build();
    ASSERT_EQ(sf.load(good.data(), good.size(), error), LoadStatus::Ok);
    std::vector<uint8_t> bad(good.begin(), good.begin() + good.size() / 2);
    EXPECT_EQ(sf.load(bad.data(), bad.size(), error), LoadStatus::Damaged);
    EXPECT_EQ(sf.findPreset(0, 80), -1);
    sy::ZoneVoice zones[4];
    EXPECT_EQ(sf.collectZones(0, 60, 100, zones, 4), 0);
    ASSERT_EQ(sf.load(good.data(), good.size(), error), LoadStatus::Ok);
    EXPECT_GE(sf.findPreset(0, 80), 0);
    EXPECT_TRUE(error.empty());
}

TEST(SoundFontHostile, ErrorTextsStayPrintableWhateverTheBytes) {
    std::vector<uint8_t> bytes = SmallFont().build();
    size_t at = Sf2Builder::FindChunk(bytes, "phdr");
    const uint8_t junk[4] = {0x01, 0xFF, 0x00, 0x80};
    std::memcpy(&bytes[at - 8], junk, 4);
    Sf2Builder::Poke32(bytes, at - 4, 0x7FFFFFFFu);
    std::string error;
    EXPECT_EQ(LoadAll(bytes, error), LoadStatus::Damaged);
    for (char c : error)
        EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << error;
    std::vector<uint8_t> badSample = SmallFont().build();
    size_t shdr = Sf2Builder::FindChunk(badSample, "shdr");
    badSample[shdr] = 0x07; // a control character in the sample's name
    Sf2Builder::Poke32(badSample, shdr + 24, 0xFFFFFFFFu);
    EXPECT_EQ(LoadAll(badSample, error), LoadStatus::Damaged);
    EXPECT_NE(error.find("'?ono'"), std::string::npos) << error;
}
