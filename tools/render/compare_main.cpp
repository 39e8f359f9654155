// tunewright-compare: prints how closely two WAV renders of the same piece agree (A is the reference).
#include <cstdio>
#include <string>

#include "tools/render/audio_metrics.h"
#include "tools/render/wav_file.h"

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tunewright-compare REFERENCE.wav OTHER.wav\n");
        return 2;
    }
    tw::render::MonoAudio a, b;
    std::string error;
    if (!tw::render::ReadWavMono(argv[1], a, error) || !tw::render::ReadWavMono(argv[2], b, error)) {
        std::fprintf(stderr, "tunewright-compare: %s\n", error.c_str());
        return 1;
    }
    if (a.sampleRate != b.sampleRate) {
        std::fprintf(stderr, "tunewright-compare: sample rates differ (%d and %d Hz)\n", a.sampleRate, b.sampleRate);
        return 1;
    }
    const tw::render::CompareResult r = tw::render::CompareAudio(a.samples, b.samples, a.sampleRate);
    std::printf("duration_a=%.3f duration_b=%.3f duration_diff=%.3f audible_a=%.3f audible_b=%.3f audible_diff=%.3f "
                "onsets_a=%d onsets_b=%d onsets_matched=%d "
                "onset_agreement=%.4f envelope_correlation=%.4f spectral_correlation=%.4f\n",
                r.durationA, r.durationB, r.durationB - r.durationA, r.audibleA, r.audibleB, r.audibleB - r.audibleA,
                r.onsetsA, r.onsetsB, r.onsetsMatched, r.onsetAgreement, r.envelopeCorrelation, r.spectralCorrelation);
    return 0;
}
