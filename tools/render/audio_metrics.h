// Comparison metrics between two renders of the same piece: duration, onsets, loudness envelope and spectrum.
#pragma once

#include <vector>

namespace tw::render {

constexpr double kOnsetToleranceSeconds = 0.005;
constexpr double kEnvelopeFrameSeconds = 0.050;

struct CompareResult {
    double durationA = 0; // seconds
    double durationB = 0; // seconds
    double audibleA = 0;  // seconds until the last sample within 60 dB of the file's peak
    double audibleB = 0;
    int onsetsA = 0;
    int onsetsB = 0;
    int onsetsMatched = 0;          // clear onsets of either render with an onset of the other within the tolerance
    double onsetAgreement = 0;      // matched / (onsetsA + onsetsB), 1 when neither has onsets
    double envelopeCorrelation = 0; // Pearson correlation of 50 ms RMS levels in dB after level matching
    double spectralCorrelation = 0; // Pearson correlation of the average log-power spectra
};

// Onset times in seconds found by a spectral-flux detector (512-point frames, 64-sample hop).
std::vector<double> DetectOnsets(const std::vector<float> &samples, int sampleRate);

// Compares two mono signals at the same sample rate.
CompareResult CompareAudio(const std::vector<float> &a, const std::vector<float> &b, int sampleRate);

// Seconds until the last sample within 60 dB of the signal's own peak (level-independent end of sound).
double AudibleDuration(const std::vector<float> &x, int sampleRate);

// Pearson correlation of two equally long series (0 when either is constant).
double Correlation(const std::vector<double> &x, const std::vector<double> &y);

} // namespace tw::render
