// The converter's command line: every option, its limits and the child command that repeats it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert_options.h"

namespace {

std::string Parse(std::vector<std::string> args, ConvertOptions &options) {
    args.insert(args.begin(), "TunewrightConvert");
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(&arg[0]);
    return ParseConvertOptions(int(argv.size()), argv.data(), options);
}

} // namespace

TEST(ConvertOptions, EveryOptionAndTheChildThatRepeatsIt) {
    ConvertOptions options;
    ASSERT_EQ(
        Parse({"--mp3", "48000", "--tempo", "150", "--tone", "-3.5", "--mute", "0,24,127", "--out", "C:\\My Music",
               "--jobs", "2", "--polyphony", "4096", "--soundfont", "D:\\Fonts\\My Font.sf3", "a.mid", "b.kar"},
              options),
        "");
    EXPECT_TRUE(options.bMp3);
    EXPECT_EQ(options.nRate, 48000u);
    EXPECT_EQ(options.nTempoPercent, 150);
    EXPECT_EQ(options.nTranspose, -7);
    EXPECT_EQ(options.mutedPrograms, (std::vector<int>{0, 24, 127}));
    EXPECT_EQ(options.outputFolder, "C:\\My Music");
    EXPECT_EQ(options.nJobs, 2);
    EXPECT_EQ(options.nVoices, 4096);
    EXPECT_EQ(options.soundFont, "D:\\Fonts\\My Font.sf3");
    EXPECT_EQ(options.files, (std::vector<std::string>{"a.mid", "b.kar"}));
    EXPECT_EQ(ChildCommandLine(options, {"my song.mid", "b.kar"}),
              "--mp3 48000 --tempo 150 --tone -3.5 --mute 0,24,127 --out \"C:\\My Music\" --soundfont "
              "\"D:\\Fonts\\My Font.sf3\" --polyphony 4096 --no-progress \"my song.mid\" b.kar");

    ConvertOptions defaults;
    ASSERT_EQ(Parse({"x.mid"}, defaults), "");
    EXPECT_FALSE(defaults.bMp3);
    EXPECT_EQ(defaults.nRate, 44100u);
    EXPECT_EQ(defaults.nVoices, 0);
    EXPECT_EQ(ChildCommandLine(defaults, {"x.mid"}), "--wav 44100 --tempo 100 --tone 0.0 --no-progress x.mid");
}

TEST(ConvertOptions, OutOfRangeValuesAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {{"--wav", "48000", "a.mid"},
                                                       {"--mp3", "8000", "a.mid"},
                                                       {"--tempo", "49", "a.mid"},
                                                       {"--tempo", "151", "a.mid"},
                                                       {"--tone", "7.5", "a.mid"},
                                                       {"--tone", "0.3", "a.mid"},
                                                       {"--mute", "128", "a.mid"},
                                                       {"--mute", "1,,2", "a.mid"},
                                                       {"--jobs", "0", "a.mid"},
                                                       {"--polyphony", "0", "a.mid"},
                                                       {"--polyphony", "4097", "a.mid"},
                                                       {"--frobnicate", "1", "a.mid"},
                                                       {"--out"},
                                                       {"--wav", "44100"}};
    for (const auto &args : bad) {
        ConvertOptions options;
        EXPECT_NE(Parse(args, options), "") << args[0];
    }
}
