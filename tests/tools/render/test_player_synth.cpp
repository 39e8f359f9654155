// The player on the real synthesizer: identical samples whatever the chunk size, and notes at their sample.
#include <gtest/gtest.h>

#include <random>

#include "support/tools/render/midi_bytes.h"
#include "core/sequencer/player.h"
#include "core/sequencer/synth_target.h"
#include "core/smf/smf_file.h"

#ifdef TUNEWRIGHT_HAVE_SYNTH

namespace {

std::vector<float> RenderWithChunks(const tw::sequencer::Segment &segment, const std::vector<int> &chunks) {
    tw::synth::Synth synth;
    std::string error;
    EXPECT_EQ(synth.loadSoundFontFile(TEST_SOUNDFONT, error), tw::synth::LoadStatus::Ok) << error;
    tw::sequencer::SynthTarget target(synth);
    tw::sequencer::Player player(target);
    player.load(segment);
    player.setMasterVolume(2000);
    player.start();
    std::vector<float> out, l, r;
    for (size_t c = 0; !player.finished(); ++c) {
        const int n = chunks[c % chunks.size()];
        l.resize(n);
        r.resize(n);
        const int got = player.render(l.data(), r.data(), n);
        for (int i = 0; i < got; ++i) {
            out.push_back(l[i]);
            out.push_back(r[i]);
        }
    }
    return out;
}

} // namespace

TEST(PlayerSynthTest, ChunkSizesGiveBitIdenticalOutput) {
    tw::smf::File file;
    const std::vector<uint8_t> bytes = tw::render::test::ScaleMidi({60, 67, 72, 76});
    ASSERT_EQ(tw::smf::ReadSmf(bytes.data(), bytes.size(), file), tw::smf::Status::Ok);
    tw::sequencer::Segment segment;
    ASSERT_TRUE(segment.build(file));
    segment.setTempoFactor(1.37); // event samples off the 64-frame grid
    const std::vector<float> reference = RenderWithChunks(segment, {1});
    ASSERT_GT(reference.size(), 0u);
    std::mt19937 rng(3);
    std::vector<int> random;
    for (int i = 0; i < 300; ++i)
        random.push_back(1 + static_cast<int>(rng() % 1000));
    for (const std::vector<int> &chunks : {std::vector<int>{64}, std::vector<int>{441}, random}) {
        EXPECT_EQ(RenderWithChunks(segment, chunks), reference) << "first chunk size " << chunks[0];
    }
}

#else

TEST(PlayerSynthTest, ChunkSizesGiveBitIdenticalOutput) {
    GTEST_SKIP() << "synthesizer not built";
}

#endif
