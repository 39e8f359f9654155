// The vector forms of the voice loops and the helper thread against the plain single-threaded reference: a dense
// piece on a real SoundFont (filters, loops, effects, steals) must come out the same to the bit. Tolerance: none.
#include <memory>
#include <random>

#include "mix_helper.h"
#include "support/core/synth/synth_test_util.h"

namespace tw::test {
namespace {

std::unique_ptr<synth::Synth> RealSynth(synth::SimdLevel simd, int maxVoices = 256) {
    synth::SynthConfig config;
    config.simd = simd;
    config.maxVoices = maxVoices;
    auto s = std::make_unique<synth::Synth>(config);
    std::string error;
    EXPECT_EQ(s->loadSoundFontFile(TEST_SOUNDFONT, error), synth::LoadStatus::Ok) << error;
    return s;
}

// Two seconds of a crowded piece: chords on every channel with random programs, velocities, bends and releases,
// messages at frames inside the 64-frame blocks. Returns the output and the most voices that sounded at once.
std::pair<Stereo, int> PlayCrowd(synth::Synth &s) {
    std::mt19937 rng(2024);
    auto r = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    s.setMasterVolume(2000);
    for (int ch = 0; ch < 16; ++ch)
        s.programChange(ch, r(128));
    Stereo out;
    int most = 0;
    std::vector<float> left(synth::Synth::kBlockFrames), right(synth::Synth::kBlockFrames);
    for (int block = 0; block < 1400; ++block) {
        for (int i = r(6); i > 0; --i) {
            s.setEventOffset(r(64));
            const int ch = r(16), key = 24 + r(80);
            if (r(3))
                s.noteOn(ch, key, 1 + r(127));
            else if (r(2))
                s.noteOff(ch, key);
            else
                s.pitchBend(ch, r(16384));
        }
        s.render(left.data(), right.data(), synth::Synth::kBlockFrames);
        out.left.insert(out.left.end(), left.begin(), left.end());
        out.right.insert(out.right.end(), right.begin(), right.end());
        most = std::max(most, s.activeVoices());
    }
    return {out, most};
}

TEST(SynthSimd, VectorFormsAndTheHelperThreadGiveThePlainSamplesToTheBit) {
    auto plain = RealSynth(synth::SimdLevel::kScalar);
    ASSERT_EQ(plain->simdLevel(), synth::SimdLevel::kScalar);
    const auto [expected, most] = PlayCrowd(*plain);
    EXPECT_GT(most, 100) << "enough voices for chunks, filter groups and the helper";
    for (synth::SimdLevel level : {synth::SimdLevel::kSse2, synth::SimdLevel::kAvx2}) {
        auto s = RealSynth(level);
        if (s->simdLevel() != level) {
            std::printf("this processor or build has no form %d: not compared\n", static_cast<int>(level));
            continue;
        }
        const Stereo out = PlayCrowd(*s).first;
        EXPECT_TRUE(out.left == expected.left && out.right == expected.right) << "form " << static_cast<int>(level);
    }
    synth::MixHelper helper;
    ASSERT_TRUE(helper.running());
    for (int run = 0; run < 2; ++run) {
        auto s = RealSynth(synth::SimdLevel::kAuto);
        s->setMixHelper(&helper);
        const Stereo out = PlayCrowd(*s).first;
        s->setMixHelper(nullptr);
        EXPECT_TRUE(out.left == expected.left && out.right == expected.right) << "with the helper, run " << run;
    }
}

// A pool of 4,096 voices kept full for a second: the same samples with and without the helper, and no fault.
TEST(SynthSimd, FourThousandVoicesRenderTheSameWithTheHelper) {
    auto alone = RealSynth(synth::SimdLevel::kAuto, synth::SynthConfig::kMaxVoices);
    auto helped = RealSynth(synth::SimdLevel::kAuto, synth::SynthConfig::kMaxVoices);
    synth::MixHelper helper;
    helped->setMixHelper(&helper);
    std::vector<float> a(64), b(64), c(64), d(64);
    for (int block = 0; block < 700; ++block) {
        for (int i = 0; i < 40; ++i) {
            const int ch = (block * 40 + i) % 16, key = 20 + (block * 7 + i * 13) % 90;
            alone->noteOn(ch, key, 90);
            helped->noteOn(ch, key, 90);
        }
        alone->render(a.data(), b.data(), 64);
        helped->render(c.data(), d.data(), 64);
        ASSERT_TRUE(a == c && b == d) << "block " << block;
    }
    EXPECT_GT(alone->activeVoices(), 3000);
    helped->setMixHelper(nullptr);
}

} // namespace
} // namespace tw::test
