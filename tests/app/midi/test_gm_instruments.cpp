// General MIDI display names: exact texts at the group edges and the "Category :: Instrument" form of all 128.
#include <gtest/gtest.h>

#include <string>

#include "gm_instruments.h"

namespace {

TEST(GMInstrumentNames, GroupEdgesReadExactly) {
    EXPECT_STREQ("Piano :: Acoustic Grand Piano", GMInstrumentNames[0]);
    EXPECT_STREQ("Piano :: Clavinet", GMInstrumentNames[7]);
    EXPECT_STREQ("Chrom Percussion :: Celesta", GMInstrumentNames[8]);
    EXPECT_STREQ("Organ :: Tango Accordion", GMInstrumentNames[23]);
    EXPECT_STREQ("Guitar :: Acoustic Guitar (nylon)", GMInstrumentNames[24]);
    EXPECT_STREQ("Bass :: Synth Bass 2", GMInstrumentNames[39]);
    EXPECT_STREQ("Strings :: Timpani", GMInstrumentNames[47]);
    EXPECT_STREQ("Ensemble :: Orchestra Hit", GMInstrumentNames[55]);
    EXPECT_STREQ("Brass :: Trumpet", GMInstrumentNames[56]);
    EXPECT_STREQ("Reed :: Clarinet", GMInstrumentNames[71]);
    EXPECT_STREQ("Pipe :: Piccolo", GMInstrumentNames[72]);
    EXPECT_STREQ("Synth Lead :: Lead 8 (bass + lead)", GMInstrumentNames[87]);
    EXPECT_STREQ("Synth Pad :: Pad 1 (new age)", GMInstrumentNames[88]);
    EXPECT_STREQ("Synth Effects :: FX 8 (sci-fi)", GMInstrumentNames[103]);
    EXPECT_STREQ("Ethnic :: Shanai", GMInstrumentNames[111]);
    EXPECT_STREQ("Percussive :: Tinkle Bell", GMInstrumentNames[112]);
    EXPECT_STREQ("Sound Effects :: Gunshot", GMInstrumentNames[127]);
}

// A dropped or doubled entry shifts every later name by one: the category must change exactly every 8 programs.
TEST(GMInstrumentNames, CategoriesChangeEveryEightPrograms) {
    const std::string kSeparator = " :: ";
    std::string previous;
    for (int p = 0; p < kGMProgramCount; ++p) {
        ASSERT_NE(nullptr, GMInstrumentNames[p]);
        std::string name = GMInstrumentNames[p];
        size_t nAt = name.find(kSeparator);
        ASSERT_NE(std::string::npos, nAt) << p;
        EXPECT_GT(name.size(), nAt + kSeparator.size()) << p;
        std::string category = name.substr(0, nAt);
        if (p % 8 == 0) {
            EXPECT_NE(previous, category) << p;
        } else {
            EXPECT_EQ(previous, category) << p;
        }
        previous = category;
    }
}

} // namespace
