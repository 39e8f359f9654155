// 16-bit PCM WAV writing (via a temporary file) and reading.
#include "tools/render/wav_file.h"

#include "pcm16.h"
#include "core/smf/byte_reader.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace tw::render {

namespace {

constexpr int kChannels = 2;
constexpr int kBytesPerSample = 2;
constexpr int kHeaderBytes = 44;
constexpr size_t kRiffHeaderBytes = 12; // "RIFF", size, "WAVE"
constexpr size_t kChunkHeaderBytes = 8; // four-character id and 32-bit size
constexpr size_t kFormatBytes = 16;     // the PCM fields of "fmt "

void Put32(uint8_t *p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t *p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

} // namespace

WavWriter::~WavWriter() {
    if (file_)
        std::fclose(file_);
    if (!tempPath_.empty())
        std::remove(tempPath_.c_str());
}

bool WavWriter::open(const std::string &path, int sampleRate, std::string &error) {
    path_ = path;
    rate_ = sampleRate;
    tempPath_ = path + ".tmp" + std::to_string(static_cast<long>(getpid()));
    file_ = std::fopen(tempPath_.c_str(), "wb");
    if (!file_) {
        tempPath_.clear();
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    return writeHeader(error);
}

bool WavWriter::writeHeader(std::string &error) {
    const int64_t dataBytes = frames_ * kChannels * kBytesPerSample;
    uint8_t h[kHeaderBytes] = {};
    std::memcpy(h, "RIFF", 4);
    Put32(h + 4, static_cast<uint32_t>(dataBytes + kHeaderBytes - 8));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    Put16(h + 20, 1); // PCM
    Put16(h + 22, kChannels);
    Put32(h + 24, static_cast<uint32_t>(rate_));
    Put32(h + 28, static_cast<uint32_t>(rate_ * kChannels * kBytesPerSample));
    Put16(h + 32, kChannels * kBytesPerSample);
    Put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    Put32(h + 40, static_cast<uint32_t>(dataBytes));
    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(h, 1, sizeof h, file_) != sizeof h) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool WavWriter::write(const float *left, const float *right, int frames, std::string &error) {
    if ((frames_ + frames) * kChannels * kBytesPerSample > kMaxDataBytes) {
        error = "the output would exceed the 4 GB limit of a WAV file";
        return false;
    }
    buffer_.resize(static_cast<size_t>(frames) * kChannels);
    synth::interleavePcm16(left, right, frames, buffer_.data());
    // Little-endian hosts only (x86, ARM): the samples go out as they sit in memory.
    if (std::fwrite(buffer_.data(), sizeof(int16_t), buffer_.size(), file_) != buffer_.size()) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    frames_ += frames;
    return true;
}

bool WavWriter::commit(std::string &error) {
    if (!file_)
        return false;
    if (!writeHeader(error))
        return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        return false;
    }
    if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        error = "cannot create " + path_ + ": " + std::strerror(errno);
        return false;
    }
    tempPath_.clear();
    return true;
}

bool ReadWavMono(const std::string &path, MonoAudio &out, std::string &error) {
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool readFailed = std::ferror(f) != 0;
    std::fclose(f);
    if (readFailed) {
        error = "cannot read " + path;
        return false;
    }
    if (bytes.size() < kRiffHeaderBytes || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = path + " is not a WAV file";
        return false;
    }
    int channels = 0, bits = 0;
    tw::ByteReader in(bytes.data(), bytes.size(), kRiffHeaderBytes);
    while (in.remaining() >= kChunkHeaderBytes) {
        const bool isFormat = in.matches("fmt "), isData = in.matches("data");
        uint32_t size = 0;
        in.skip(4);
        in.le32(size);
        // A chunk cut short by the end of the file is read as far as it goes.
        tw::ByteReader body(bytes.data(), in.pos() + std::min<size_t>(size, in.remaining()), in.pos());
        if (isFormat && body.remaining() >= kFormatBytes) {
            uint16_t channelCount = 0, bitsPerSample = 0;
            uint32_t rate = 0;
            body.skip(2); // format tag
            body.le16(channelCount);
            body.le32(rate);
            body.skip(6); // byte rate, block align
            body.le16(bitsPerSample);
            channels = channelCount;
            out.sampleRate = static_cast<int>(rate);
            bits = bitsPerSample;
        } else if (isData) {
            if (channels <= 0 || bits != 16 || out.sampleRate <= 0) {
                error = path + " is not 16-bit PCM";
                return false;
            }
            const size_t frames = body.remaining() / (2 * channels);
            out.samples.resize(frames);
            for (size_t i = 0; i < frames; ++i) {
                float sum = 0;
                for (int c = 0; c < channels; ++c) {
                    uint16_t v = 0;
                    body.le16(v);
                    sum += static_cast<int16_t>(v);
                }
                out.samples[i] = sum / (32768.0f * channels);
            }
            return true;
        }
        if (!in.skip(size) || !in.skip(size & 1)) // chunks are padded to even sizes
            break;
    }
    error = path + " has no audio data";
    return false;
}

} // namespace tw::render
