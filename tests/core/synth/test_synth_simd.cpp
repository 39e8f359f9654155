// The vector forms of the voice loops and the two-thread pipeline against the plain single-threaded reference: a
// dense piece on a real SoundFont (filters, loops, effects, steals) must come out the same to the bit. Tolerance:
// none.
#include <memory>
#include <random>

#include "wet_pipeline.h"
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

// Renders 64 frames at a time, either straight to the output or through a wet pipeline, whose thread runs the
// effects of dry blocks of 4,096 frames and takes a share of the voices of every crowded pass.
class Output {
public:
    Output(synth::Synth &s, bool piped) : s_(s) {
        if (piped)
            pipeline_ = std::make_unique<synth::WetPipeline>(
                s, [this](const float *l, const float *r, int n, std::string &) { return append(l, r, n); });
    }
    void render() {
        if (!pipeline_) {
            s_.render(left_, right_, kFrames);
            append(left_, right_, kFrames);
            return;
        }
        if (!block_) {
            block_ = &pipeline_->next();
            s_.setDryBlock(block_);
        }
        s_.render(left_, right_, kFrames);
        if (block_->frames >= 4096)
            handOn();
    }
    Stereo finish() {
        if (pipeline_) {
            if (block_)
                handOn();
            std::string error;
            EXPECT_TRUE(pipeline_->finish(error)) << error;
        }
        return std::move(out_);
    }

private:
    static constexpr int kFrames = synth::Synth::kBlockFrames;
    bool append(const float *l, const float *r, int n) {
        out_.left.insert(out_.left.end(), l, l + n);
        out_.right.insert(out_.right.end(), r, r + n);
        return true;
    }
    void handOn() {
        s_.setDryBlock(nullptr);
        pipeline_->submit();
        block_ = nullptr;
    }
    synth::Synth &s_;
    std::unique_ptr<synth::WetPipeline> pipeline_;
    synth::DryBlock *block_ = nullptr;
    float left_[kFrames], right_[kFrames];
    Stereo out_;
};

// Two seconds of a crowded piece: chords on every channel with random programs, velocities, bends and releases,
// messages at frames inside the 64-frame blocks. Returns the output and the most voices that sounded at once.
std::pair<Stereo, int> PlayCrowd(synth::Synth &s, bool piped = false) {
    std::mt19937 rng(2024);
    auto r = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    s.setMasterVolume(2000);
    for (int ch = 0; ch < 16; ++ch)
        s.programChange(ch, r(128));
    Output out(s, piped);
    int most = 0;
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
        out.render();
        most = std::max(most, s.activeVoices());
    }
    return {out.finish(), most};
}

TEST(SynthSimd, VectorFormsAndTheWetThreadsHelpGiveThePlainSamplesToTheBit) {
    auto plain = RealSynth(synth::SimdLevel::kScalar);
    ASSERT_EQ(plain->simdLevel(), synth::SimdLevel::kScalar);
    const auto [expected, most] = PlayCrowd(*plain);
    EXPECT_GT(most, 100) << "enough voices for chunks, filter groups and the shared passes";
    for (synth::SimdLevel level : {synth::SimdLevel::kSse2, synth::SimdLevel::kAvx2}) {
        auto s = RealSynth(level);
        if (s->simdLevel() != level) {
            std::printf("this processor or build has no form %d: not compared\n", static_cast<int>(level));
            continue;
        }
        const Stereo out = PlayCrowd(*s).first;
        EXPECT_TRUE(out.left == expected.left && out.right == expected.right) << "form " << static_cast<int>(level);
    }
    for (int run = 0; run < 2; ++run) {
        auto s = RealSynth(synth::SimdLevel::kAuto);
        const Stereo out = PlayCrowd(*s, true).first;
        EXPECT_TRUE(out.left == expected.left && out.right == expected.right) << "through the pipeline, run " << run;
    }
}

// A pool of 4,096 voices kept full for a second: the same samples through the pipeline as alone, and no fault.
TEST(SynthSimd, FourThousandVoicesRenderTheSameThroughThePipeline) {
    auto alone = RealSynth(synth::SimdLevel::kAuto, synth::SynthConfig::kMaxVoices);
    auto piped = RealSynth(synth::SimdLevel::kAuto, synth::SynthConfig::kMaxVoices);
    Output a(*alone, false), b(*piped, true);
    for (int block = 0; block < 700; ++block) {
        for (int i = 0; i < 40; ++i) {
            const int ch = (block * 40 + i) % 16, key = 20 + (block * 7 + i * 13) % 90;
            alone->noteOn(ch, key, 90);
            piped->noteOn(ch, key, 90);
        }
        a.render();
        b.render();
    }
    EXPECT_GT(alone->activeVoices(), 3000);
    const Stereo x = a.finish(), y = b.finish();
    EXPECT_TRUE(x.left == y.left && x.right == y.right);
}

} // namespace
} // namespace tw::test
