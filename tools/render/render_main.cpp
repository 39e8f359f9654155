// tunewright-render: renders a MIDI file through a SoundFont to a 16-bit stereo WAV file, as fast as possible.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/render/wav_file.h"
#include "core/synth/wet_pipeline.h"
#include "core/sequencer/player.h"
#include "core/sequencer/segment.h"
#include "core/sequencer/synth_target.h"
#include "core/smf/smf_file.h"
#include "core/synth/synth.h"

namespace {

constexpr const char *kUsage =
    "usage: tunewright-render [--rate HZ] [--polyphony VOICES] [--no-reverb] [--no-chorus] SOUNDFONT MIDIFILE OUT.wav";
constexpr int kMinRate = 8000;
constexpr int kMaxRate = 192000;
constexpr int kChunkFrames = 4096;
constexpr int kFillFrames = 4096;       // frames a dry block is filled to before it is handed on
constexpr int kRenderFrames = 256;      // frames per render call while filling
constexpr int kConversionVolume = 2000; // a conversion always renders at the full master volume

struct Options {
    tw::synth::SynthConfig synth;
    std::string soundFont;
    std::string midi;
    std::string output;
};

int Fail(const std::string &message) {
    std::fprintf(stderr, "tunewright-render: %s\n", message.c_str());
    return 1;
}

// Damage loses music, so the file is refused; mere irregularities (stray bytes, a missing End-of-Track) are
// played as they are.
bool IsDamaged(tw::smf::Status status) {
    using tw::smf::Status;
    return status == Status::Empty || status == Status::NotSmf || status == Status::BadHeader ||
           status == Status::Truncated || status == Status::BadEvent || status == Status::MissingTracks;
}

bool ParseRate(const char *text, int &rate) {
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < kMinRate || value > kMaxRate)
        return false;
    rate = static_cast<int>(value);
    return true;
}

bool ParseArgs(int argc, char **argv, Options &options, std::string &error) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rate") {
            if (i + 1 >= argc || !ParseRate(argv[++i], options.synth.sampleRate)) {
                error = "--rate needs a sample rate from 8000 to 192000 Hz";
                return false;
            }
        } else if (arg == "--polyphony") {
            char *end = nullptr;
            const long voices = i + 1 < argc ? std::strtol(argv[++i], &end, 10) : 0;
            if (!end || *end != '\0' || voices < 1 || voices > tw::synth::SynthConfig::kMaxVoices) {
                error = "--polyphony needs 1 to 4096 voices";
                return false;
            }
            options.synth.maxVoices = static_cast<int>(voices);
        } else if (arg == "--no-reverb") {
            options.synth.reverb = false;
        } else if (arg == "--no-chorus") {
            options.synth.chorus = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg + "; " + kUsage;
            return false;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 3) {
        error = kUsage;
        return false;
    }
    options.soundFont = files[0];
    options.midi = files[1];
    options.output = files[2];
    return true;
}

// The piece up to its tail on two threads (voices here, the rest on the second), the tail on this one: where it
// ends depends on the finished output.
bool RenderAheadOfEffects(tw::sequencer::Player &player, tw::synth::Synth &synth, tw::render::WavWriter &wav,
                          std::string &error) {
    std::vector<float> left(kRenderFrames), right(kRenderFrames);
    tw::synth::WetPipeline pipeline(synth, [&wav](const float *l, const float *r, int frames, std::string &e) {
        return wav.write(l, r, frames, e);
    });
    bool tail = false;
    while (!tail) {
        tw::synth::DryBlock &block = pipeline.next();
        synth.setDryBlock(&block);
        // A render call mixes at most one grid block more than it delivers: the block has room for that.
        while (block.frames <= kFillFrames - kRenderFrames) {
            if (player.renderBeforeTail(left.data(), right.data(), kRenderFrames) == 0) {
                tail = true;
                break;
            }
        }
        synth.setDryBlock(nullptr);
        pipeline.submit();
    }
    return pipeline.finish(error);
}

int Render(tw::sequencer::Player &player, tw::synth::Synth &synth, const std::string &output, int rate) {
    std::string error;
    tw::render::WavWriter wav;
    if (!wav.open(output, rate, error))
        return Fail(error);
    player.start();
    if (!RenderAheadOfEffects(player, synth, wav, error))
        return Fail(error);
    std::vector<float> left(kChunkFrames), right(kChunkFrames);
    while (!player.finished()) {
        const int frames = player.render(left.data(), right.data(), kChunkFrames);
        if (!wav.write(left.data(), right.data(), frames, error))
            return Fail(error);
    }
    if (!wav.commit(error))
        return Fail(error);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    Options options;
    std::string error;
    if (!ParseArgs(argc, argv, options, error))
        return Fail(error);

    tw::smf::File file;
    if (IsDamaged(tw::smf::ReadSmfFile(options.midi, file)) || !file.usable) {
        return Fail("cannot use MIDI file " + options.midi + ": " + (file.error.empty() ? "damaged" : file.error));
    }
    tw::synth::Synth synth(options.synth);
    if (synth.loadSoundFontFile(options.soundFont, error) != tw::synth::LoadStatus::Ok) {
        return Fail("cannot use SoundFont " + options.soundFont + ": " + error);
    }
    tw::sequencer::Segment segment;
    if (!segment.build(file))
        return Fail("cannot use MIDI file " + options.midi);

    tw::sequencer::SynthTarget target(synth);
    tw::sequencer::Player player(target);
    player.load(segment);
    player.setMasterVolume(kConversionVolume);
    const int rate = synth.sampleRate();
    const int64_t maxFrames = player.endSample() + static_cast<int64_t>(tw::sequencer::kMaxTailSeconds) * rate;
    if (maxFrames * 4 > tw::render::WavWriter::kMaxDataBytes) {
        return Fail("MIDI file " + options.midi + " is too long for a WAV file");
    }
    return Render(player, synth, options.output, rate);
}
