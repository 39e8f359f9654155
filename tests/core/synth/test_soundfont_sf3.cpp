// SoundFont 3: Ogg Vorbis samples decode once at load into the store an SF2 uses; damaged streams are reported.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "support/core/synth/sf2_builder.h"
#include "support/core/synth/vorbis_encode.h"
#include "soundfont.h"
#include "synth.h"

using tw::synth::LoadStatus;
using tw::synth::SoundFont;
using tw::test::Sf2Builder;
using tw::test::Sf2Sample;
namespace sy = tw::synth;

namespace {

constexpr uint32_t kRate = 44100;

// A sine of 4,410 points looped over 1,000..3,000, a stereo pair of noise, two presets.
Sf2Builder CompressedFont() {
    Sf2Builder b;
    b.compress = [](const Sf2Sample &s) { return tw::test::EncodeVorbis(s.data, s.rate); };
    int sine = b.addSample("sine", Sf2Builder::Sine(4410, 100.0), kRate, 69, 1000, 3000);
    auto stereo = b.addStereoSample("noise", Sf2Builder::Noise(3000, 5), Sf2Builder::Noise(3000, 6));
    b.addSimplePreset("Sine", 0, 0, sine);
    int inst = b.addInstrument("Noise");
    b.instrumentZone(inst, stereo.first);
    b.presetZone(b.addPreset("Noise", 0, 1), inst);
    return b;
}

LoadStatus Load(const std::vector<uint8_t> &bytes, SoundFont &sf, std::string &error) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size() ? bytes.size() : 1]); // ASan sees reads past it
    std::copy(bytes.begin(), bytes.end(), copy.get());
    LoadStatus s = sf.load(copy.get(), bytes.size(), error);
    if (s != LoadStatus::Ok) {
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(sf.sampleCount(), 0u);
        EXPECT_TRUE(sf.presets().empty());
    }
    return s;
}

// The first sample's stream in a built file: the smpl chunk's data and the first header's end.
size_t SmplAt(const std::vector<uint8_t> &file) {
    return Sf2Builder::FindChunk(file, "smpl");
}
size_t ShdrAt(const std::vector<uint8_t> &file) {
    return Sf2Builder::FindChunk(file, "shdr");
}

void ExpectDamagedNaming(const std::vector<uint8_t> &bytes, const char *sample, const char *what) {
    SoundFont sf;
    std::string error;
    EXPECT_EQ(Load(bytes, sf, error), LoadStatus::Damaged) << what;
    EXPECT_EQ(error.rfind("The SoundFont is damaged: ", 0), 0u) << what << ": " << error;
    EXPECT_NE(error.find(sample), std::string::npos) << what << ": " << error;
}

} // namespace

// The decoded points take an SF2's place: the lengths are the originals', the loop is absolute, the stereo
// halves stay linked, and the sound is the sine's (Vorbis is lossy: within 20 dB signal to noise).
TEST(SoundFont3, SamplesDecodeIntoTheStoreWithTheirLengthsLoopsAndLinks) {
    Sf2Builder b = CompressedFont();
    SoundFont sf;
    std::string error;
    ASSERT_EQ(Load(b.build(), sf, error), LoadStatus::Ok) << error;
    ASSERT_EQ(sf.sampleInfos().size(), 3u);
    const sy::SampleInfo &sine = sf.sampleInfos()[0];
    EXPECT_EQ(sine.end - sine.start, 4410u);
    EXPECT_EQ(sine.loopStart, sine.start + 1000);
    EXPECT_EQ(sine.loopEnd, sine.start + 3000);
    EXPECT_EQ(sine.originalPitch, 69);
    EXPECT_EQ(sine.type, 1) << "the Vorbis flag is gone once decoded";
    EXPECT_EQ(sf.sampleInfos()[1].start, sine.end);
    EXPECT_EQ(sf.sampleCount(), 4410u + 2 * 3000u);
    EXPECT_EQ(sf.sampleInfos()[1].type, 4);
    EXPECT_EQ(sf.sampleInfos()[2].type, 2);

    double signal = 0, noise = 0;
    const std::vector<int16_t> &original = b.samples[0].data;
    for (size_t i = 0; i < original.size(); ++i) {
        double d = sf.samples()[sine.start + i] - original[i];
        signal += double(original[i]) * original[i];
        noise += d * d;
    }
    EXPECT_GT(10 * std::log10(signal / noise), 20.0);

    sy::ZoneVoice zones[4];
    EXPECT_EQ(sf.collectZones(sf.findPreset(0, 1), 60, 100, zones, 4), 2) << "the unpaired left half plays its right";
}

// A synthesizer plays a SoundFont 3 preset as loudly as the same preset from an SF2.
TEST(SoundFont3, PlaysAsLoudAsTheSameSoundFont2) {
    Sf2Builder b = CompressedFont();
    std::vector<uint8_t> sf3 = b.build();
    b.compress = nullptr;
    std::vector<uint8_t> sf2 = b.build();
    double rms[2];
    for (int k = 0; k < 2; ++k) {
        sy::Synth synth;
        std::string error;
        const std::vector<uint8_t> &bytes = k == 0 ? sf2 : sf3;
        ASSERT_EQ(synth.loadSoundFont(bytes.data(), bytes.size(), error), LoadStatus::Ok) << error;
        synth.noteOn(0, 69, 100);
        std::vector<float> l(8192), r(8192);
        synth.render(l.data(), r.data(), 8192);
        double sum = 0;
        for (float v : l)
            sum += double(v) * v;
        rms[k] = std::sqrt(sum / l.size());
    }
    ASSERT_GT(rms[0], 1e-3);
    EXPECT_NEAR(20 * std::log10(rms[1] / rms[0]), 0.0, 0.5);
}

TEST(SoundFont3, GarbageInPlaceOfAStreamIsDamagedNamingTheSample) {
    std::vector<uint8_t> file = CompressedFont().build();
    size_t at = SmplAt(file);
    for (size_t i = 0; i < 200; ++i)
        file[at + i] = static_cast<uint8_t>(i * 37 + 11);
    ExpectDamagedNaming(file, "'sine'", "garbage stream");
}

// Flipped bytes in the codebooks or the audio: a reason or a load, never a fault (AddressSanitizer watches).
TEST(SoundFont3, BytesFlippedAnywhereInTheStreamsNeverFault) {
    const std::vector<uint8_t> clean = CompressedFont().build();
    const size_t at = SmplAt(clean), size = Sf2Builder::Peek32(clean, at - 4);
    for (size_t i = 0; i < size; i += 7) {
        std::vector<uint8_t> file = clean;
        file[at + i] ^= 0x5A;
        SoundFont sf;
        std::string error;
        LoadStatus s = Load(file, sf, error);
        EXPECT_TRUE(s == LoadStatus::Ok || s == LoadStatus::Damaged) << i;
    }
}

// A stream cut short decodes to fewer points: its loop then lies past its end.
TEST(SoundFont3, AStreamCutShortIsDamagedNamingTheSample) {
    std::vector<uint8_t> file = CompressedFont().build();
    size_t shdr = ShdrAt(file);
    uint32_t start = Sf2Builder::Peek32(file, shdr + 20), end = Sf2Builder::Peek32(file, shdr + 24);
    Sf2Builder::Poke32(file, shdr + 24, start + (end - start) * 2 / 3);
    ExpectDamagedNaming(file, "'sine'", "cut stream");
}

TEST(SoundFont3, LoopPointsOutsideTheDecodedSampleAreDamaged) {
    std::vector<uint8_t> file = CompressedFont().build();
    Sf2Builder::Poke32(file, ShdrAt(file) + 32, 4411); // loop end one past the sample
    ExpectDamagedNaming(file, "'sine'", "loop end");
    file = CompressedFont().build();
    Sf2Builder::Poke32(file, ShdrAt(file) + 28, 0xFFFFFFF0u); // loop start beyond any sample
    ExpectDamagedNaming(file, "'sine'", "loop start");
}

TEST(SoundFont3, AStreamRunningPastTheSampleDataIsDamaged) {
    std::vector<uint8_t> file = CompressedFont().build();
    Sf2Builder::Poke32(file, ShdrAt(file) + 46 * 2 + 24, 0x7FFFFFFF);
    ExpectDamagedNaming(file, "'noiseR'", "end past smpl");
}

TEST(SoundFont3, AStereoStreamIsDamaged) {
    Sf2Builder b;
    b.compress = [](const Sf2Sample &s) { return tw::test::EncodeVorbis(s.data, s.rate, 0.5f, 2); };
    b.addSimplePreset("Two", 0, 0, b.addSample("two channels", Sf2Builder::Sine(2000, 50.0)));
    ExpectDamagedNaming(b.build(), "'two channels'", "stereo stream");
}

// Cut anywhere, the file is refused with a reason (the reader never looks past the bytes it was given).
TEST(SoundFont3, TruncationAnywhereIsRefusedWithAReason) {
    const std::vector<uint8_t> clean = CompressedFont().build();
    for (size_t size = 0; size < clean.size(); size += 97) {
        SoundFont sf;
        std::string error;
        std::vector<uint8_t> cut(clean.begin(), clean.begin() + size);
        EXPECT_NE(Load(cut, sf, error), LoadStatus::Ok) << size;
    }
}

// SoundFont 3 writers leave out the pad byte after an odd-sized sample chunk: the chunks after it still count.
TEST(SoundFont3, AnUnpaddedOddSampleChunkIsRead) {
    std::vector<uint8_t> file = CompressedFont().build();
    const size_t at = SmplAt(file), size = Sf2Builder::Peek32(file, at - 4);
    int delta = -1;
    if (size % 2 == 0) {
        file.insert(file.begin() + at + size, 0x7F); // a byte of no sample's: the chunk becomes odd, unpadded
        Sf2Builder::Poke32(file, at - 4, static_cast<uint32_t>(size + 1));
        delta = 1;
    } else {
        file.erase(file.begin() + at + size); // the pad
    }
    for (size_t field : {size_t(4), at - 16}) // the sizes of the RIFF form and of the sdta list
        Sf2Builder::Poke32(file, field, Sf2Builder::Peek32(file, field) + delta);
    SoundFont sf;
    std::string error;
    EXPECT_EQ(Load(file, sf, error), LoadStatus::Ok) << error;
    EXPECT_EQ(sf.sampleCount(), 4410u + 2 * 3000u);
}
