// WaveFile: the exact bytes of the WAV files it writes, its status codes, and failures that must not pass as success.
#include "audio/wave_file.h"
#include "support/app/audio/audio_test_files.h"

#include <gtest/gtest.h>

namespace {

const char *const kFolder = "audio-wav";
const DWORD kRate = 44100;

void PutU32(std::vector<uint8_t> &bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void PutU16(std::vector<uint8_t> &bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutTag(std::vector<uint8_t> &bytes, const char *tag) {
    bytes.insert(bytes.end(), tag, tag + 4);
}

// The whole file expected for n sample bytes of 16-bit mono PCM at rate, built field by field.
std::vector<uint8_t> ExpectedFile(DWORD rate, const std::vector<uint8_t> &samples, uint32_t factValue = 0) {
    const uint32_t n = static_cast<uint32_t>(samples.size());
    const uint32_t pad = n % 2;
    std::vector<uint8_t> bytes;
    PutTag(bytes, "RIFF");
    PutU32(bytes, 48 + n + pad);
    PutTag(bytes, "WAVE");
    PutTag(bytes, "fmt ");
    PutU32(bytes, 16);
    PutU16(bytes, 1);
    PutU16(bytes, 1);
    PutU32(bytes, rate);
    PutU32(bytes, 2 * rate);
    PutU16(bytes, 2);
    PutU16(bytes, 16);
    PutTag(bytes, "fact");
    PutU32(bytes, 4);
    PutU32(bytes, factValue);
    PutTag(bytes, "data");
    PutU32(bytes, n);
    bytes.insert(bytes.end(), samples.begin(), samples.end());
    if (pad) {
        bytes.push_back(0);
    }
    return bytes;
}

// Deterministic sample bytes with no repeating pattern at buffer-sized periods.
std::vector<uint8_t> PatternBytes(size_t count, uint32_t seed = 12345) {
    std::vector<uint8_t> bytes(count);
    uint32_t state = seed;
    for (size_t i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

// Writes a complete file with one Open, one Write and one Close, asserting that each succeeds.
void WriteFileOnce(const std::string &path, DWORD rate, const std::vector<uint8_t> &samples) {
    WaveFile wave;
    const WAVEFORMATEX wfx = MonoPcmFormat(rate);
    ASSERT_EQ(S_OK, wave.Open(path.c_str(), &wfx, WAVEFILE_WRITE));
    // An empty vector's data() may be NULL, which Write rightly refuses; the pointer is not read for 0 bytes.
    const BYTE bUnused = 0;
    UINT cbWritten = 0;
    ASSERT_EQ(S_OK,
              wave.Write(static_cast<UINT>(samples.size()), samples.empty() ? &bUnused : samples.data(), &cbWritten));
    EXPECT_EQ(samples.size(), cbWritten);
    ASSERT_EQ(S_OK, wave.Close());
}

TEST(WaveFileLayout, OneSecondAt44100IsByteExactWith56ByteHeader) {
    const std::string path = AudioTempPath(kFolder, "one_second.wav");
    const std::vector<uint8_t> samples = PatternBytes(2 * 44100);
    WriteFileOnce(path, kRate, samples);

    const std::vector<uint8_t> file = ReadWholeFile(path);
    ASSERT_EQ(88256u, file.size());
    EXPECT_EQ(88248u, ReadU32(file, 4));
    EXPECT_EQ(88200u, ReadU32(file, 52));
    EXPECT_EQ(0u, ReadU32(file, 44));
    EXPECT_TRUE(file == ExpectedFile(kRate, samples));
}

TEST(WaveFileLayout, EmptyRecordingIsJustTheHeader) {
    const std::string pathNoWrite = AudioTempPath(kFolder, "empty_no_write.wav");
    {
        WaveFile wave;
        const WAVEFORMATEX wfx = MonoPcmFormat(22050);
        ASSERT_EQ(S_OK, wave.Open(pathNoWrite.c_str(), &wfx, WAVEFILE_WRITE));
        ASSERT_EQ(S_OK, wave.Close());
    }
    const std::vector<uint8_t> empty;
    EXPECT_TRUE(ReadWholeFile(pathNoWrite) == ExpectedFile(22050, empty));

    const std::string pathZeroWrite = AudioTempPath(kFolder, "empty_zero_write.wav");
    WriteFileOnce(pathZeroWrite, 11025, empty);
    const std::vector<uint8_t> file = ReadWholeFile(pathZeroWrite);
    ASSERT_EQ(56u, file.size());
    EXPECT_EQ(48u, ReadU32(file, 4));
    EXPECT_EQ(0u, ReadU32(file, 52));
    EXPECT_TRUE(file == ExpectedFile(11025, empty));
}

TEST(WaveFileLayout, OddByteCountGetsOneZeroPadByte) {
    for (size_t n : {size_t(1), size_t(7), size_t(8191), size_t(100001)}) {
        const std::string path = AudioTempPath(kFolder, "odd_" + std::to_string(n) + ".wav");
        const std::vector<uint8_t> samples = PatternBytes(n, static_cast<uint32_t>(n));
        WriteFileOnce(path, kRate, samples);
        const std::vector<uint8_t> file = ReadWholeFile(path);
        ASSERT_EQ(57 + n, file.size()) << n;
        EXPECT_EQ(n, ReadU32(file, 52)) << n;
        EXPECT_EQ(49 + n, ReadU32(file, 4)) << n;
        EXPECT_EQ(0, file.back()) << n;
        EXPECT_TRUE(file == ExpectedFile(kRate, samples)) << n;
    }
}

TEST(WaveFileLayout, ManyWritesAcrossTheIoBufferKeepEveryByteInOrder) {
    const std::string path = AudioTempPath(kFolder, "large.wav");
    const std::vector<uint8_t> samples = PatternBytes(1000003);
    const UINT runs[] = {1, 8191, 8192, 8193, 0, 3, 65536, 262144};
    WaveFile wave;
    const WAVEFORMATEX wfx = MonoPcmFormat(kRate);
    ASSERT_EQ(S_OK, wave.Open(path.c_str(), &wfx, WAVEFILE_WRITE));
    size_t offset = 0;
    for (UINT run : runs) {
        UINT cbWritten = 12345;
        ASSERT_EQ(S_OK, wave.Write(run, samples.data() + offset, &cbWritten));
        ASSERT_EQ(run, cbWritten);
        offset += run;
    }
    UINT cbWritten = 0;
    ASSERT_EQ(S_OK, wave.Write(static_cast<UINT>(samples.size() - offset), samples.data() + offset, &cbWritten));
    ASSERT_EQ(samples.size() - offset, cbWritten);
    ASSERT_EQ(S_OK, wave.Close());
    EXPECT_TRUE(ReadWholeFile(path) == ExpectedFile(kRate, samples));
}

TEST(WaveFileLayout, FormatOtherThanPcmCarriesTheWholeDescription) {
    const std::string path = AudioTempPath(kFolder, "float_format.wav");
    WAVEFORMATEX wfx = MonoPcmFormat(kRate);
    wfx.wFormatTag = 3; // IEEE float
    wfx.wBitsPerSample = 32;
    wfx.nBlockAlign = 4;
    wfx.nAvgBytesPerSec = 4 * kRate;
    {
        WaveFile wave;
        ASSERT_EQ(S_OK, wave.Open(path.c_str(), &wfx, WAVEFILE_WRITE));
        ASSERT_EQ(S_OK, wave.Close());
    }
    const std::vector<uint8_t> file = ReadWholeFile(path);
    ASSERT_EQ(58u, file.size());
    EXPECT_EQ(18u, ReadU32(file, 16));
    EXPECT_EQ(0, memcmp(file.data() + 38, "fact", 4));
    EXPECT_EQ(0u, ReadU32(file, 46));
    EXPECT_EQ(0, memcmp(file.data() + 50, "data", 4));
}

TEST(WaveFileLifecycle, DestroyingWithoutCloseFinishesTheFile) {
    const std::string path = AudioTempPath(kFolder, "destroyed_open.wav");
    const std::vector<uint8_t> samples = PatternBytes(20001);
    {
        WaveFile wave;
        const WAVEFORMATEX wfx = MonoPcmFormat(kRate);
        ASSERT_EQ(S_OK, wave.Open(path.c_str(), &wfx, WAVEFILE_WRITE));
        UINT cbWritten = 0;
        ASSERT_EQ(S_OK, wave.Write(static_cast<UINT>(samples.size()), samples.data(), &cbWritten));
    }
    EXPECT_TRUE(ReadWholeFile(path) == ExpectedFile(kRate, samples));
}

TEST(WaveFileLifecycle, CallsOutOfOrderAnswerNotInitialized) {
    WaveFile wave;
    const BYTE abData[2] = {1, 2};
    UINT cbWritten = 99;
    EXPECT_EQ(CO_E_NOTINITIALIZED, wave.Write(2, abData, &cbWritten));
    EXPECT_EQ(CO_E_NOTINITIALIZED, wave.Close());
}

TEST(WaveFileLifecycle, SecondCloseAnswersNotInitializedAndLeavesTheFile) {
    const std::string path = AudioTempPath(kFolder, "close_twice.wav");
    const std::vector<uint8_t> samples = PatternBytes(11);
    WaveFile wave;
    const WAVEFORMATEX wfx = MonoPcmFormat(kRate);
    ASSERT_EQ(S_OK, wave.Open(path.c_str(), &wfx, WAVEFILE_WRITE));
    UINT cbWritten = 0;
    ASSERT_EQ(S_OK, wave.Write(static_cast<UINT>(samples.size()), samples.data(), &cbWritten));
    ASSERT_EQ(S_OK, wave.Close());
    const std::vector<uint8_t> first = ReadWholeFile(path);
    EXPECT_EQ(CO_E_NOTINITIALIZED, wave.Close());
    EXPECT_EQ(CO_E_NOTINITIALIZED, wave.Write(2, samples.data(), &cbWritten));
    EXPECT_TRUE(ReadWholeFile(path) == first);
    EXPECT_TRUE(first == ExpectedFile(kRate, samples));
}

TEST(WaveFileLifecycle, MissingArgumentsAreRejectedWithoutWriting) {
    const std::string path = AudioTempPath(kFolder, "bad_args.wav");
    WaveFile wave;
    const WAVEFORMATEX wfx = MonoPcmFormat(kRate);
    DeleteFileA(path.c_str());
    EXPECT_EQ(E_INVALIDARG, wave.Open(path.c_str(), NULL, WAVEFILE_WRITE));
    EXPECT_EQ(E_INVALIDARG, wave.Open(NULL, &wfx, WAVEFILE_WRITE));
    EXPECT_FALSE(FileExists(path));

    ASSERT_EQ(S_OK, wave.Open(path.c_str(), &wfx, WAVEFILE_WRITE));
    const BYTE abData[2] = {1, 2};
    UINT cbWritten = 77;
    EXPECT_EQ(E_INVALIDARG, wave.Write(2, NULL, &cbWritten));
    EXPECT_EQ(E_INVALIDARG, wave.Write(2, abData, NULL));
    ASSERT_EQ(S_OK, wave.Close());
    EXPECT_TRUE(ReadWholeFile(path) == ExpectedFile(kRate, std::vector<uint8_t>()));
}

TEST(WaveFileLifecycle, SecondOpenIsRefusedAndTheFirstFileCompletes) {
    const std::string pathFirst = AudioTempPath(kFolder, "open_first.wav");
    const std::string pathSecond = AudioTempPath(kFolder, "open_second.wav");
    DeleteFileA(pathSecond.c_str());
    const std::vector<uint8_t> samples = PatternBytes(10);
    WaveFile wave;
    const WAVEFORMATEX wfx = MonoPcmFormat(kRate);
    ASSERT_EQ(S_OK, wave.Open(pathFirst.c_str(), &wfx, WAVEFILE_WRITE));
    EXPECT_EQ(E_FAIL, wave.Open(pathSecond.c_str(), &wfx, WAVEFILE_WRITE));
    EXPECT_FALSE(FileExists(pathSecond));
    UINT cbWritten = 0;
    ASSERT_EQ(S_OK, wave.Write(static_cast<UINT>(samples.size()), samples.data(), &cbWritten));
    ASSERT_EQ(S_OK, wave.Close());
    EXPECT_TRUE(ReadWholeFile(pathFirst) == ExpectedFile(kRate, samples));
}

TEST(WaveFileUserFiles, ExistingFileIsReplacedNotOverlaid) {
    const std::string path = AudioTempPath(kFolder, "existing.wav");
    WriteWholeFile(path, std::vector<uint8_t>(200000, 0xAB));
    const std::vector<uint8_t> samples = PatternBytes(10);
    WriteFileOnce(path, 22050, samples);
    EXPECT_TRUE(ReadWholeFile(path) == ExpectedFile(22050, samples));
}

TEST(WaveFileUserFiles, FileInMissingFolderFailsAndLeavesNoFile) {
    const std::string path = AudioTempPath(kFolder, "no_such_folder/out.wav");
    WaveFile wave;
    const WAVEFORMATEX wfx = MonoPcmFormat(kRate);
    EXPECT_EQ(E_FAIL, wave.Open(path.c_str(), &wfx, WAVEFILE_WRITE));
    EXPECT_FALSE(FileExists(path));
    const BYTE abData[2] = {1, 2};
    UINT cbWritten = 0;
    EXPECT_EQ(CO_E_NOTINITIALIZED, wave.Write(2, abData, &cbWritten));
    EXPECT_EQ(CO_E_NOTINITIALIZED, wave.Close());
}

TEST(WaveFileUserFiles, LongPathBeyondOldFileNameLimitIsWritten) {
    // 128 characters was the limit of the old OpenFile call; the converter takes any MAX_PATH name.
    const std::string name = std::string(150, 'n') + ".wav";
    const std::string path = AudioTempPath(kFolder, name);
    ASSERT_GT(path.size(), 128u);
    ASSERT_LT(path.size(), static_cast<size_t>(MAX_PATH));
    const std::vector<uint8_t> samples = PatternBytes(100);
    WriteFileOnce(path, kRate, samples);
    EXPECT_TRUE(ReadWholeFile(path) == ExpectedFile(kRate, samples));
}

// A device that accepts every byte in memory and refuses them on the way to disk, like a full disk.
const char *const kFullDevice = "Z:/dev/full";

TEST(WaveFileDiskFull, WriteBeyondTheBufferReportsFailureAndCount) {
    WaveFile wave;
    const WAVEFORMATEX wfx = MonoPcmFormat(kRate);
    ASSERT_EQ(S_OK, wave.Open(kFullDevice, &wfx, WAVEFILE_WRITE));
    const std::vector<uint8_t> samples = PatternBytes(1000000);
    UINT cbWritten = 0;
    EXPECT_EQ(E_FAIL, wave.Write(static_cast<UINT>(samples.size()), samples.data(), &cbWritten));
    EXPECT_LT(cbWritten, samples.size());
    EXPECT_EQ(E_FAIL, wave.Close());
}

TEST(WaveFileDiskFull, CloseReportsBytesThatNeverReachedTheDisk) {
    WaveFile wave;
    const WAVEFORMATEX wfx = MonoPcmFormat(kRate);
    ASSERT_EQ(S_OK, wave.Open(kFullDevice, &wfx, WAVEFILE_WRITE));
    const std::vector<uint8_t> samples = PatternBytes(100);
    UINT cbWritten = 0;
    ASSERT_EQ(S_OK, wave.Write(static_cast<UINT>(samples.size()), samples.data(), &cbWritten));
    EXPECT_EQ(E_FAIL, wave.Close());
}

} // namespace
