// tunewright-render command line: rejects bad input without leaving an output file, renders a small file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>

#include "support/tools/render/midi_bytes.h"
#include "tools/render/wav_file.h"

namespace {

#ifdef TUNEWRIGHT_RENDER_EXE
const std::string kExe = TUNEWRIGHT_RENDER_EXE;
#else
const std::string kExe;
#endif
const std::string kTemp = TEST_TEMP_DIR;

bool Exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void WriteFile(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A scratch path of the running test's own: ctest runs the cases of this program in parallel.
std::string TestPath(const std::string &suffix) {
    return kTemp + "/render_cli_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + suffix;
}

// Runs the renderer; returns its exit code and its stderr.
int RunRender(const std::string &args, std::string &errors) {
    const std::string log = TestPath("_stderr.txt");
    const int status = std::system((kExe + " " + args + " 2>" + log).c_str());
    std::ifstream in(log);
    errors.assign(std::istreambuf_iterator<char>(in), {});
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class RenderCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kExe.empty())
            GTEST_SKIP() << "tunewright-render not built in this configuration";
        out_ = TestPath("_out.wav");
        std::remove(out_.c_str());
        midi_ = TestPath("_scale.mid");
        WriteFile(midi_, tw::render::test::ScaleMidi({60, 64, 67}));
    }
    std::string out_;
    std::string midi_;
};

} // namespace

TEST_F(RenderCliTest, MissingArgumentsGiveUsageAndNoOutput) {
    std::string errors;
    EXPECT_NE(RunRender(std::string(TEST_SOUNDFONT) + " " + midi_, errors), 0);
    EXPECT_NE(errors.find("usage:"), std::string::npos);
    EXPECT_NE(RunRender("--rate 12 " + std::string(TEST_SOUNDFONT) + " " + midi_ + " " + out_, errors), 0);
    EXPECT_NE(RunRender("--bogus " + std::string(TEST_SOUNDFONT) + " " + midi_ + " " + out_, errors), 0);
    EXPECT_FALSE(Exists(out_));
}

TEST_F(RenderCliTest, DamagedMidiIsRejectedWithOneLineAndNoOutput) {
    const std::string bad = kTemp + "/render_cli_bad.mid";
    std::vector<uint8_t> bytes = tw::render::test::ScaleMidi({60, 62});
    bytes.resize(bytes.size() - 9); // cut inside the track
    WriteFile(bad, bytes);
    std::string errors;
    EXPECT_NE(RunRender(std::string(TEST_SOUNDFONT) + " " + bad + " " + out_, errors), 0);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("MIDI"), std::string::npos) << errors;
    EXPECT_FALSE(Exists(out_));
    EXPECT_NE(RunRender(std::string(TEST_SOUNDFONT) + " " + kTemp + "/no_such.mid " + out_, errors), 0);
    EXPECT_FALSE(Exists(out_));
}

TEST_F(RenderCliTest, StrayBytesAfterTheLastChunkStillRender) {
    const std::string odd = kTemp + "/render_cli_trailing.mid";
    std::vector<uint8_t> bytes = tw::render::test::ScaleMidi({60});
    bytes.insert(bytes.end(), {0x00, 0x00, 0x0A});
    WriteFile(odd, bytes);
    std::string errors;
    EXPECT_EQ(RunRender(std::string(TEST_SOUNDFONT) + " " + odd + " " + out_, errors), 0) << errors;
    EXPECT_TRUE(Exists(out_));
}

TEST_F(RenderCliTest, DamagedSoundFontIsRejectedAndExistingOutputKept) {
    const std::string sf = kTemp + "/render_cli_bad.sf2";
    WriteFile(sf, {'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f', 'b', 'k'});
    WriteFile(out_, {'k', 'e', 'e', 'p'});
    std::string errors;
    EXPECT_NE(RunRender(sf + " " + midi_ + " " + out_, errors), 0);
    EXPECT_NE(errors.find("SoundFont"), std::string::npos) << errors;
    struct stat st;
    ASSERT_EQ(stat(out_.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 4) << "a failed render must not touch an existing file";
}

TEST_F(RenderCliTest, RendersSmallFileToStereoWavWithTailUnderTwoSeconds) {
    std::string errors;
    ASSERT_EQ(RunRender("--rate 22050 " + std::string(TEST_SOUNDFONT) + " " + midi_ + " " + out_, errors), 0) << errors;
    tw::render::MonoAudio audio;
    ASSERT_TRUE(tw::render::ReadWavMono(out_, audio, errors)) << errors;
    EXPECT_EQ(audio.sampleRate, 22050);
    const double seconds = static_cast<double>(audio.samples.size()) / audio.sampleRate;
    EXPECT_GE(seconds, 1.5); // three quarters at 120 bpm
    EXPECT_LE(seconds, 3.5); // plus at most 2 s of tail
    float peak = 0;
    for (float v : audio.samples)
        peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.01f) << "the render is silent";
    EXPECT_FALSE(Exists(out_ + ".tmp")) << "temporary file left behind";
}
