// EncodeWavToMp3: stream rate, block handling and the user's files; writes the MP3s that check_mp3_decode.sh decodes.
#include "audio/mp3_encoder.h"
#include "audio/wave_file.h"
#include "support/app/audio/audio_test_files.h"

#include <gtest/gtest.h>

#include <math.h>

namespace {

const char *const kFolder = "audio-mp3";
const DWORD kWavRate = 44100;
const double kSineHz = 440.0;
const double kSineAmplitude = 0.5; // of full scale: RMS 0.354
const double kPi = 3.14159265358979323846;

std::vector<int16_t> Sine(size_t count) {
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        samples[i] = static_cast<int16_t>(lround(32767.0 * kSineAmplitude * sin(2.0 * kPi * kSineHz * i / kWavRate)));
    }
    return samples;
}

// Writes samples as the converter's temporary WAV: 16-bit mono at 44,100 Hz through WaveFile.
std::string WriteWav(const std::string &name, const std::vector<int16_t> &samples) {
    const std::string path = AudioTempPath(kFolder, name);
    WaveFile wave;
    const WAVEFORMATEX wfx = MonoPcmFormat(kWavRate);
    EXPECT_EQ(S_OK, wave.Open(path.c_str(), &wfx, WAVEFILE_WRITE));
    if (!samples.empty()) {
        UINT cbWritten = 0;
        EXPECT_EQ(S_OK, wave.Write(static_cast<UINT>(2 * samples.size()),
                                   reinterpret_cast<const BYTE *>(samples.data()), &cbWritten));
    }
    EXPECT_EQ(S_OK, wave.Close());
    return path;
}

// The sample rate of the first MPEG audio frame header, or 0 when the file does not start with one.
int FirstFrameRate(const std::vector<uint8_t> &mp3) {
    if (mp3.size() < 4 || mp3[0] != 0xFF || (mp3[1] & 0xE0) != 0xE0) {
        return 0;
    }
    static const int kRates[4][3] = {{11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    const int version = (mp3[1] >> 3) & 3;
    const int rateIndex = (mp3[2] >> 2) & 3;
    return rateIndex < 3 ? kRates[version][rateIndex] : 0;
}

std::string Mp3Path(const std::string &name) {
    return AudioTempPath(kFolder, name);
}

TEST(Mp3Rates, EachRequestedRateGivesAStreamAtThatRate) {
    // Two seconds of sine; check_mp3_decode.sh decodes these files with sox.
    const std::string wav = WriteWav("sine_2s.wav", Sine(2 * kWavRate));
    for (int rate : {11025, 22050, 44100, 48000}) {
        const std::string mp3 = Mp3Path("sine_" + std::to_string(rate) + ".mp3");
        ASSERT_EQ(MP3_OK, EncodeWavToMp3(wav.c_str(), mp3.c_str(), rate)) << rate;
        ASSERT_TRUE(FileExists(mp3));
        const std::vector<uint8_t> bytes = ReadWholeFile(mp3);
        EXPECT_EQ(rate, FirstFrameRate(bytes)) << rate;
        // No Xing/Info frame: the first frame already carries music.
        EXPECT_EQ(std::string::npos, std::string(bytes.begin(), bytes.begin() + 200).find("Xing")) << rate;
        EXPECT_EQ(std::string::npos, std::string(bytes.begin(), bytes.begin() + 200).find("Info")) << rate;
    }
}

TEST(Mp3Rates, EncoderTakesTheFirstValueOfEachPair) {
    // Even samples carry the sine, odd samples its negation: averaging the pairs would give silence,
    // taking every second sample keeps the full sine (checked by check_mp3_decode.sh: RMS, frequency).
    std::vector<int16_t> samples = Sine(2 * kWavRate);
    for (size_t i = 1; i < samples.size(); i += 2) {
        samples[i] = static_cast<int16_t>(-samples[i - 1]);
    }
    const std::string wav = WriteWav("alternating_2s.wav", samples);
    ASSERT_EQ(MP3_OK, EncodeWavToMp3(wav.c_str(), Mp3Path("alternating_22050.mp3").c_str(), 22050));
}

TEST(Mp3Blocks, TrailingOddValueIsNotEncoded) {
    const std::vector<int16_t> samples = Sine(2305);
    const std::string wavEven = WriteWav("block_2304.wav", std::vector<int16_t>(samples.begin(), samples.end() - 1));
    const std::string wavOdd = WriteWav("block_2305.wav", samples);
    const std::string mp3Even = Mp3Path("block_2304.mp3");
    const std::string mp3Odd = Mp3Path("block_2305.mp3");
    ASSERT_EQ(MP3_OK, EncodeWavToMp3(wavEven.c_str(), mp3Even.c_str(), 22050));
    ASSERT_EQ(MP3_OK, EncodeWavToMp3(wavOdd.c_str(), mp3Odd.c_str(), 22050));
    const std::vector<uint8_t> bytesEven = ReadWholeFile(mp3Even);
    EXPECT_FALSE(bytesEven.empty());
    EXPECT_TRUE(bytesEven == ReadWholeFile(mp3Odd));
}

TEST(Mp3Blocks, HeaderOnlyWavGivesJustTheFlushedEnd) {
    const std::string wav = WriteWav("header_only.wav", std::vector<int16_t>());
    ASSERT_EQ(56u, ReadWholeFile(wav).size());
    const std::string mp3 = Mp3Path("header_only.mp3");
    ASSERT_EQ(MP3_OK, EncodeWavToMp3(wav.c_str(), mp3.c_str(), 44100));
    EXPECT_TRUE(FileExists(mp3));
    // The flush of an encoder that saw no samples yields at most a few frames of silence.
    EXPECT_LT(ReadWholeFile(mp3).size(), 4096u);
}

TEST(Mp3UserFiles, ExistingOutputIsEmptiedAndRewritten) {
    const std::string wav = WriteWav("short_sine.wav", Sine(20000));
    const std::string fresh = Mp3Path("fresh.mp3");
    DeleteFileA(fresh.c_str());
    ASSERT_EQ(MP3_OK, EncodeWavToMp3(wav.c_str(), fresh.c_str(), 22050));

    const std::string reserved = Mp3Path("reserved.mp3");
    WriteWholeFile(reserved, std::vector<uint8_t>(300000, 'x'));
    ASSERT_EQ(MP3_OK, EncodeWavToMp3(wav.c_str(), reserved.c_str(), 22050));
    EXPECT_TRUE(ReadWholeFile(reserved) == ReadWholeFile(fresh));
}

TEST(Mp3UserFiles, UnreadableInputFailsAndLeavesOutputUntouched) {
    const std::vector<uint8_t> keep = {'k', 'e', 'e', 'p'};
    const std::string output = Mp3Path("untouched.mp3");

    WriteWholeFile(output, keep);
    EXPECT_LT(EncodeWavToMp3(Mp3Path("no_such_input.wav").c_str(), output.c_str(), 22050), 0);
    EXPECT_TRUE(ReadWholeFile(output) == keep);

    const std::string notWav = Mp3Path("not_a_wav.wav");
    WriteWholeFile(notWav, std::vector<uint8_t>(30, 0));
    EXPECT_EQ(MP3_E_INPUT, EncodeWavToMp3(notWav.c_str(), output.c_str(), 22050));
    EXPECT_TRUE(ReadWholeFile(output) == keep);

    EXPECT_EQ(MP3_E_INPUT, EncodeWavToMp3(NULL, output.c_str(), 22050));
    EXPECT_TRUE(ReadWholeFile(output) == keep);
}

TEST(Mp3UserFiles, RateTheEncoderRefusesFailsBeforeTouchingOutput) {
    const std::vector<uint8_t> keep = {'k', 'e', 'e', 'p'};
    const std::string output = Mp3Path("untouched_rate.mp3");
    WriteWholeFile(output, keep);
    const std::string wav = WriteWav("rate_sine.wav", Sine(5000));
    // LAME refuses a rate that MPEG audio does not have and would fall back to one of its own choosing.
    for (int rate : {1000000, 44000, 0, -22050}) {
        EXPECT_EQ(MP3_E_ENCODER, EncodeWavToMp3(wav.c_str(), output.c_str(), rate)) << rate;
        EXPECT_TRUE(ReadWholeFile(output) == keep) << rate;
    }
}

TEST(Mp3UserFiles, OutputThatCannotBeCreatedFails) {
    const std::string wav = WriteWav("folder_sine.wav", Sine(5000));
    const std::string output = Mp3Path("no_such_folder/out.mp3");
    EXPECT_EQ(MP3_E_OUTPUT, EncodeWavToMp3(wav.c_str(), output.c_str(), 22050));
    EXPECT_FALSE(FileExists(output));
}

TEST(Mp3UserFiles, FullDiskIsReportedNotSuccess) {
    // Z:/dev/full takes the bytes into the C library's buffer and refuses them on the way to disk.
    const std::string wav = WriteWav("full_sine.wav", Sine(2 * kWavRate));
    EXPECT_EQ(MP3_E_WRITE, EncodeWavToMp3(wav.c_str(), "Z:/dev/full", 22050));
}

} // namespace
