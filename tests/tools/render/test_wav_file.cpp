// WAV writer and reader: header fields, rounding and clamping, and no file left behind on failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "tools/render/wav_file.h"

using tw::render::MonoAudio;
using tw::render::ReadWavMono;
using tw::render::WavWriter;

namespace {

bool Exists(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::vector<uint8_t> Slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(WavWriterTest, WritesHeaderAndInterleavedRoundedSamples) {
    const std::string path = std::string(TEST_TEMP_DIR) + "/wav_header.wav";
    std::remove(path.c_str());
    WavWriter w;
    std::string error;
    ASSERT_TRUE(w.open(path, 22050, error)) << error;
    const float left[3] = {0.5f, -1.0f, 2.0f}; // 2.0 must clamp
    const float right[3] = {0.0f, 1.0f, -3.0f};
    ASSERT_TRUE(w.write(left, right, 3, error));
    EXPECT_FALSE(Exists(path)) << "nothing appears under the final name before commit";
    ASSERT_TRUE(w.commit(error)) << error;
    const std::vector<uint8_t> bytes = Slurp(path);
    ASSERT_EQ(bytes.size(), 44u + 12u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 36 + 12);
    EXPECT_EQ(bytes[22], 2);                      // channels
    EXPECT_EQ(bytes[24] | bytes[25] << 8, 22050); // rate
    EXPECT_EQ(bytes[34], 16);                     // bits
    EXPECT_EQ(bytes[40], 12);                     // data bytes
    auto sample = [&](int i) { return static_cast<int16_t>(bytes[44 + 2 * i] | bytes[45 + 2 * i] << 8); };
    EXPECT_EQ(sample(0), 16384); // 0.5 x 32767 rounded
    EXPECT_EQ(sample(1), 0);
    EXPECT_EQ(sample(2), -32767);
    EXPECT_EQ(sample(3), 32767);
    EXPECT_EQ(sample(4), 32767);
    EXPECT_EQ(sample(5), -32768); // saturated at the format's bottom
}

TEST(WavWriterTest, AbandonedWriteLeavesNoFiles) {
    const std::string dir = std::string(TEST_TEMP_DIR) + "/wav_abandon";
    mkdir(dir.c_str(), 0755);
    const std::string path = dir + "/out.wav";
    {
        WavWriter w;
        std::string error;
        ASSERT_TRUE(w.open(path, 44100, error));
        const float s[1] = {0.1f};
        ASSERT_TRUE(w.write(s, s, 1, error));
    }
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(rmdir(dir.c_str()), 0) << "temporary file left in the folder";
}

TEST(WavWriterTest, UncreatableFileIsReported) {
    WavWriter w;
    std::string error;
    EXPECT_FALSE(w.open(std::string(TEST_TEMP_DIR) + "/no/such/folder/out.wav", 44100, error));
    EXPECT_NE(error.find("cannot create"), std::string::npos);
}

TEST(WavReaderTest, ReadsBackWhatWasWrittenAsMono) {
    const std::string path = std::string(TEST_TEMP_DIR) + "/wav_roundtrip.wav";
    WavWriter w;
    std::string error;
    ASSERT_TRUE(w.open(path, 8000, error));
    const float left[2] = {0.5f, 0.25f}, right[2] = {0.5f, -0.25f};
    ASSERT_TRUE(w.write(left, right, 2, error));
    ASSERT_TRUE(w.commit(error));
    MonoAudio audio;
    ASSERT_TRUE(ReadWavMono(path, audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 8000);
    ASSERT_EQ(audio.samples.size(), 2u);
    EXPECT_NEAR(audio.samples[0], 0.5f, 1e-4f); // tolerance: 16-bit quantisation
    EXPECT_NEAR(audio.samples[1], 0.0f, 1e-4f);
}

TEST(WavReaderTest, RejectsNonWavAndTruncatedHeaders) {
    const std::string path = std::string(TEST_TEMP_DIR) + "/not_wav.wav";
    {
        std::ofstream out(path, std::ios::binary);
        out << "RIFF\x10\0\0\0WAVEfmt ";
    }
    MonoAudio audio;
    std::string error;
    EXPECT_FALSE(ReadWavMono(path, audio, error));
    EXPECT_FALSE(ReadWavMono(std::string(TEST_TEMP_DIR) + "/missing.wav", audio, error));
}

TEST(WavReaderTest, ChunkSizePastTheEndStopsTheChunkWalk) {
    // An "LIST" chunk claiming nearly 4 GB before the data chunk: the walk must stop, not wrap around to an
    // earlier position and read the header bytes as chunks.
    const std::string path = std::string(TEST_TEMP_DIR) + "/huge_chunk.wav";
    {
        std::ofstream out(path, std::ios::binary);
        const char bytes[] = "RIFF\x24\0\0\0WAVELIST\xf4\xff\xff\xff"
                             "fmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0"
                             "data\x02\0\0\0\x00\x40";
        out.write(bytes, sizeof bytes - 1);
    }
    MonoAudio audio;
    std::string error;
    EXPECT_FALSE(ReadWavMono(path, audio, error));
    EXPECT_NE(error.find("no audio data"), std::string::npos) << error;
}

TEST(WavReaderTest, UnreadableFileIsReportedAsSuch) {
    // A folder opens on POSIX systems but every read fails.
    MonoAudio audio;
    std::string error;
    EXPECT_FALSE(ReadWavMono(TEST_TEMP_DIR, audio, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
}
