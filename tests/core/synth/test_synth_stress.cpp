// Robustness on a real SoundFont: random message storms (any channel, controller, SysEx) never produce
// non-finite or over-ceiling output, and all voices end after all sound off.
#include <memory>
#include <random>

#include "support/core/synth/synth_test_util.h"

namespace tw::test {
namespace {

std::unique_ptr<synth::Synth> RealSynth(synth::SynthConfig config = {}) {
    auto s = std::make_unique<synth::Synth>(config);
    std::string error;
    EXPECT_EQ(s->loadSoundFontFile(TEST_SOUNDFONT, error), synth::LoadStatus::Ok) << error;
    return s;
}

void RandomMessage(synth::Synth &s, std::mt19937 &rng) {
    auto r = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int channel = r(18) - 1; // includes out-of-range channels
    switch (r(9)) {
    case 0:
    case 1:
    case 2:
        s.noteOn(channel, r(130), r(128));
        break;
    case 3:
        s.noteOff(channel, r(128));
        break;
    case 4:
        s.controlChange(channel, r(128), r(128));
        break;
    case 5:
        s.programChange(channel, r(128));
        break;
    case 6:
        s.pitchBend(channel, r(16384));
        break;
    case 7:
        s.channelPressure(channel, r(128));
        break;
    default: {
        uint8_t msg[12];
        for (auto &b : msg)
            b = static_cast<uint8_t>(r(3) == 0 ? 0x40 + r(3) : r(128));
        msg[0] = static_cast<uint8_t>(r(2) ? 0x41 : 0x7E);
        s.sysEx(msg, static_cast<size_t>(r(12)));
        break;
    }
    }
}

TEST(SynthStress, RandomMessagesKeepTheOutputFiniteAndUnderTheCeiling) {
    auto s = RealSynth();
    s->setMasterVolume(2000);
    std::mt19937 rng(1234);
    const float ceiling = std::pow(10.0f, -0.1f / 20.0f);
    std::vector<float> left(300), right(300);
    float peak = 0.0f;
    for (int round = 0; round < 3000; ++round) {
        for (int i = static_cast<int>(rng() % 8); i > 0; --i)
            RandomMessage(*s, rng);
        const int frames = 1 + static_cast<int>(rng() % 300);
        s->render(left.data(), right.data(), frames);
        for (int k = 0; k < frames; ++k) {
            ASSERT_TRUE(std::isfinite(left[k]) && std::isfinite(right[k])) << "round " << round;
            peak = std::max(peak, std::max(std::fabs(left[k]), std::fabs(right[k])));
        }
    }
    EXPECT_LE(peak, ceiling);
    for (int ch = 0; ch < 16; ++ch)
        s->controlChange(ch, 120, 0);
    s->render(left.data(), right.data(), 300);
    EXPECT_EQ(s->activeVoices(), 0);
}

enum class Stages { kOne, kTwo };

bool SameSamples(const Stereo &a, const Stereo &b) {
    return a.left == b.left && a.right == b.right;
}

// A message storm at full master volume (the limiter at work), rendered in calls of random sizes; in two
// stages, the dry blocks are finished whenever they are nearly full.
Stereo PlayStorm(synth::Synth &s, Stages stages) {
    std::mt19937 rng(99);
    s.setMasterVolume(2000);
    auto block = std::make_unique<synth::DryBlock>();
    std::vector<float> left(synth::DryBlock::kCapacity), right(synth::DryBlock::kCapacity);
    Stereo out;
    auto keep = [&](int n) {
        out.left.insert(out.left.end(), left.begin(), left.begin() + n);
        out.right.insert(out.right.end(), right.begin(), right.begin() + n);
    };
    auto finish = [&] {
        const int n = block->frames;
        s.renderWet(*block, left.data(), right.data());
        keep(n);
    };
    for (int round = 0; round < 600; ++round) {
        for (int i = static_cast<int>(rng() % 4); i > 0; --i)
            RandomMessage(s, rng);
        const int frames = 1 + static_cast<int>(rng() % 300);
        if (stages == Stages::kOne) {
            s.render(left.data(), right.data(), frames);
            keep(frames);
            continue;
        }
        s.setDryBlock(block.get());
        s.render(left.data(), right.data(), frames);
        s.setDryBlock(nullptr);
        if (block->frames > synth::DryBlock::kCapacity - 300)
            finish();
    }
    if (stages == Stages::kTwo)
        finish();
    return out;
}

// A conversion on two threads, and any piece after the first in one process, must sound as the first does.
TEST(SynthStress, TwoStageRenderingAndAResetGiveAFreshSynthsSamplesToTheBit) {
    auto fresh = RealSynth();
    const Stereo expected = PlayStorm(*fresh, Stages::kOne);
    auto reused = RealSynth();
    PlayStorm(*reused, Stages::kOne); // leaves notes, the limiter and the control-block phase mid-way
    reused->reset();
    EXPECT_TRUE(SameSamples(PlayStorm(*reused, Stages::kOne), expected)) << "after a reset";
    reused->reset();
    EXPECT_TRUE(SameSamples(PlayStorm(*reused, Stages::kTwo), expected)) << "in two stages";
}

TEST(SynthStress, SoundFontReplacedWhilePlayingStopsOldVoices) {
    auto s = RealSynth();
    s->noteOn(0, 60, 100);
    s->noteOn(9, 36, 100);
    Render(*s, 1000);
    std::string error;
    ASSERT_EQ(s->loadSoundFontFile(TEST_SOUNDFONT, error), synth::LoadStatus::Ok);
    EXPECT_EQ(s->activeVoices(), 0);
    s->noteOn(0, 60, 100);
    Render(*s, 1000);
    EXPECT_GT(s->activeVoices(), 0);
}

TEST(SynthStress, MissingOrDamagedSoundFontIsReportedAndKeepsTheOldOne) {
    auto s = RealSynth();
    std::string error;
    EXPECT_EQ(s->loadSoundFontFile(std::string(TEST_TEMP_DIR) + "/no-such.sf2", error), synth::LoadStatus::CannotOpen);
    EXPECT_FALSE(error.empty());
    const uint8_t junk[] = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_NE(s->loadSoundFont(junk, sizeof junk, error), synth::LoadStatus::Ok);
    s->noteOn(0, 60, 100);
    Render(*s, 1000);
    EXPECT_GT(s->activeVoices(), 0) << "the loaded font still plays";
}

} // namespace
} // namespace tw::test
