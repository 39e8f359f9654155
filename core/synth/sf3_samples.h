// SoundFont 3 sample data: every sample an Ogg Vorbis stream, decoded once at load into 16-bit points.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw::synth {

enum class LoadStatus; // synth.h
namespace sf2 {
struct File; // sf2_file.h
}

namespace sf3 {

constexpr uint16_t kSampleTypeVorbis = 0x10; // sfSampleType flag: dwStart..dwEnd are the bytes of a Vorbis stream

// Decodes the samples of a version 3 file into store, one after another, and rewrites file's sample headers
// as an SF2's would be: positions in points of store, loop points (relative to the sample in SF3) absolute,
// file.smplCount the points decoded. Samples without the Vorbis flag are 16-bit points of smpl as in SF2. A
// stream that does not decode, holds other than one mono stream, or ends before the length it gives, and loop
// points past a sample's end, make the file Damaged with error naming the sample.
LoadStatus DecodeSamples(sf2::File &file, std::vector<int16_t> &store, std::string &error);

} // namespace sf3
} // namespace tw::synth
