// 16-bit PCM WAV files: a writer that only shows its output once complete, and a reader for analysis.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tw::render {

// Writes 16-bit stereo PCM to a temporary file beside the target and renames it over the target only in
// commit(), so an error or a crash part-way never leaves a truncated file under the requested name.
class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter(); // removes the temporary file unless committed
    WavWriter(const WavWriter &) = delete;
    WavWriter &operator=(const WavWriter &) = delete;

    bool open(const std::string &path, int sampleRate, std::string &error);
    // Appends frames of float stereo, rounded and clamped to 16 bits.
    bool write(const float *left, const float *right, int frames, std::string &error);
    // Finishes the header and renames the temporary file to the target.
    bool commit(std::string &error);
    int64_t frames() const { return frames_; }

    static constexpr int64_t kMaxDataBytes = 0xFFFFFFFFll - 44; // RIFF sizes are 32-bit

private:
    bool writeHeader(std::string &error);

    std::FILE *file_ = nullptr;
    std::string path_;
    std::string tempPath_;
    int rate_ = 0;
    int64_t frames_ = 0;
    std::vector<int16_t> buffer_;
};

// A whole 16-bit PCM WAV file mixed down to mono floats in -1..1.
struct MonoAudio {
    int sampleRate = 0;
    std::vector<float> samples;
};

// Reads a 16-bit PCM WAV file (any channel count); false with an English message when it cannot.
bool ReadWavMono(const std::string &path, MonoAudio &out, std::string &error);

} // namespace tw::render
