// Tests that real General MIDI SoundFonts load with their melodic presets and drum kits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "soundfont.h"
#include "synth.h"

using tw::synth::LoadStatus;
using tw::synth::SoundFont;
using tw::synth::ZoneVoice;

namespace {

std::vector<uint8_t> ReadAll(const char *path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr int kDrumBank = 128;
constexpr int kCapacity = 64;

} // namespace

// The default, a large SoundFont 2 and a SoundFont 3 with compressed samples.
class RealSoundFont : public ::testing::TestWithParam<const char *> {};

TEST_P(RealSoundFont, HasEveryGmProgramAndTheDrumKit) {
    SoundFont sf;
    std::string error;
    ASSERT_EQ(sf.loadFile(GetParam(), error), LoadStatus::Ok) << error;
    EXPECT_TRUE(error.empty());
    for (int program = 0; program < 128; ++program)
        EXPECT_GE(sf.findPreset(0, program), 0) << program;
    int drums = sf.findPreset(kDrumBank, 0);
    ASSERT_GE(drums, 0);

    std::vector<ZoneVoice> zones(kCapacity);
    // Every melodic preset sounds in its octave (FluidR3's contrabass stops below middle C); the kit sounds the
    // acoustic bass drum and snare.
    for (int program = 0; program < 128; ++program) {
        int n = 0;
        for (int key : {60, 48, 72, 36})
            if (n == 0)
                n = sf.collectZones(sf.findPreset(0, program), key, 100, zones.data(), kCapacity);
        EXPECT_GE(n, 1) << "program " << program;
        for (int i = 0; i < n; ++i) {
            ASSERT_NE(zones[i].sample, nullptr);
            EXPECT_LT(zones[i].sample->start, zones[i].sample->end);
            EXPECT_LE(zones[i].sample->end, sf.sampleCount());
            EXPECT_LE(zones[i].sample->loopEnd, zones[i].sample->end);
            EXPECT_LT(zones[i].sample->loopStart, zones[i].sample->loopEnd);
        }
    }
    for (int key : {35, 36, 38, 42})
        EXPECT_GE(sf.collectZones(drums, key, 100, zones.data(), kCapacity), 1) << key;
}

INSTANTIATE_TEST_SUITE_P(Debian, RealSoundFont,
                         ::testing::Values(TEST_SOUNDFONT, TEST_SOUNDFONT_FLUID, TEST_SOUNDFONT_SF3));

TEST(SoundFontReal, LoadFileMatchesLoadFromMemory) {
    std::vector<uint8_t> bytes = ReadAll(TEST_SOUNDFONT);
    SoundFont fromMemory, fromFile;
    std::string error;
    ASSERT_EQ(fromMemory.load(bytes.data(), bytes.size(), error), LoadStatus::Ok) << error;
    ASSERT_EQ(fromFile.loadFile(TEST_SOUNDFONT, error), LoadStatus::Ok) << error;
    ASSERT_EQ(fromFile.sampleCount(), fromMemory.sampleCount());
    EXPECT_TRUE(std::equal(fromFile.samples(), fromFile.samples() + fromFile.sampleCount(), fromMemory.samples()));
    EXPECT_EQ(fromFile.presets().size(), fromMemory.presets().size());
    EXPECT_EQ(fromFile.name(), fromMemory.name());
}

TEST(SoundFontReal, MissingAndBrokenFilesAreReported) {
    SoundFont sf;
    std::string error;
    EXPECT_EQ(sf.loadFile(std::string(TEST_TEMP_DIR) + "/no-such-font.sf2", error), LoadStatus::CannotOpen);
    EXPECT_NE(error.find("no-such-font.sf2"), std::string::npos);
    std::string path = std::string(TEST_TEMP_DIR) + "/half-font.sf2";
    std::vector<uint8_t> bytes = ReadAll(TEST_SOUNDFONT);
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size() / 2));
    }
    EXPECT_EQ(sf.loadFile(path, error), LoadStatus::Damaged);
    EXPECT_EQ(sf.sampleCount(), 0u);
    std::remove(path.c_str());
}
