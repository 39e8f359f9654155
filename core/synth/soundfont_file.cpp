// SoundFont loading from a file: the file image is kept as the sample store instead of being copied.
#include <cstdio>
#include <new>

#include "sf2_file.h"
#include "soundfont.h"
#include "synth.h"

namespace tw::synth {
namespace {

bool LittleEndianHost() {
    const uint16_t one = 1;
    return *reinterpret_cast<const uint8_t *>(&one) == 1;
}

} // namespace

void SoundFont::adoptSamples(const sf2::File &file, std::vector<int16_t> *image) {
    const uint8_t *base = image ? reinterpret_cast<const uint8_t *>(image->data()) : nullptr;
    if (base && (file.smpl - base) % 2 == 0) {
        // The sample points are 16-bit aligned inside the image: use them where they are.
        sampleOffset_ = static_cast<size_t>(file.smpl - base) / 2;
        sampleCount_ = file.smplCount;
        samples_ = std::move(*image);
        if (!LittleEndianHost())
            for (size_t i = 0; i < sampleCount_; ++i) {
                uint16_t v = static_cast<uint16_t>(samples_[sampleOffset_ + i]);
                samples_[sampleOffset_ + i] = static_cast<int16_t>((v >> 8) | (v << 8));
            }
        return;
    }
    samples_.resize(file.smplCount);
    for (size_t i = 0; i < file.smplCount; ++i)
        samples_[i] = static_cast<int16_t>(file.smpl[2 * i] | (file.smpl[2 * i + 1] << 8));
    sampleOffset_ = 0;
    sampleCount_ = file.smplCount;
}

LoadStatus SoundFont::loadFile(const std::string &path, std::string &error) {
    clear();
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "Cannot open the SoundFont file \"" + path + "\".";
        return LoadStatus::CannotOpen;
    }
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = ok && size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    std::vector<int16_t> image;
    if (ok) {
        try {
            image.resize((static_cast<size_t>(size) + 1) / 2);
        } catch (const std::bad_alloc &) {
            std::fclose(f);
            error = "There is not enough memory to load the SoundFont file \"" + path + "\".";
            return LoadStatus::OutOfMemory;
        }
        ok = size == 0 || std::fread(image.data(), 1, static_cast<size_t>(size), f) == static_cast<size_t>(size);
    }
    std::fclose(f);
    if (!ok) {
        error = "Cannot read the SoundFont file \"" + path + "\".";
        return LoadStatus::CannotOpen;
    }
    return loadImage(reinterpret_cast<const uint8_t *>(image.data()), static_cast<size_t>(size), &image, error);
}

} // namespace tw::synth
