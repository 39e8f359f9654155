// Comparison metrics: spectral-flux onsets, 50 ms RMS envelope correlation and average spectrum correlation.
#include "tools/render/audio_metrics.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace tw::render {

namespace {

constexpr int kFftSize = 512;
constexpr int kHop = 64;
constexpr double kPi = 3.14159265358979323846;
constexpr double kFluxCompression = 100.0;   // log(1 + C |X|) compresses loud partials
constexpr double kMeanWindowSeconds = 0.100; // an onset stands above the local mean flux over +-100 ms

// Clear onsets are counted in each render; the other render is searched for them with a lenient picker, so an
// onset just over the threshold in one render and just under it in the other does not count as a disagreement.
struct PickRule {
    double peakWindowSeconds; // the largest flux within +- this
    double meanMargin;        // times the local mean
    double floor;             // of the largest flux: ignores flutter in silence
};
// The clear rule stands well above its surroundings so tremolo, vibrato and volume-controller steps do not count
// as onsets: on a solo organ line of 252 notes it finds 251.
constexpr PickRule kClear = {0.030, 3.0, 0.05};
constexpr PickRule kLenient = {0.010, 1.2, 0.01};
constexpr double kEnvelopeRangeDb = 60.0; // levels more than this under the peak count as silence
constexpr double kSpectrumTopHz = 16000.0;
constexpr double kTiny = 1e-12;
constexpr double kAnalysisRms = 0.1;        // both signals are scaled to this RMS before onset analysis
constexpr int kOnsetLag = kFftSize * 7 / 8; // samples from a frame's start to the onset its flux peak marks

using Complex = std::complex<double>;

class Fft {
public:
    Fft() : twiddle_(kFftSize / 2), window_(kFftSize) {
        for (int k = 0; k < kFftSize / 2; ++k)
            twiddle_[k] = std::polar(1.0, -2 * kPi * k / kFftSize);
        for (int i = 0; i < kFftSize; ++i)
            window_[i] = 0.5 - 0.5 * std::cos(2 * kPi * i / kFftSize);
    }
    // Power spectrum (bins 0..N/2) of the windowed frame starting at start (zeros past the end).
    void power(const std::vector<float> &x, size_t start, std::vector<double> &out) {
        std::vector<Complex> &a = work_;
        a.assign(kFftSize, Complex());
        for (int i = 0; i < kFftSize; ++i) {
            const size_t j = start + i;
            if (j < x.size())
                a[Reverse(i)] = x[j] * window_[i];
        }
        for (int len = 2; len <= kFftSize; len <<= 1) {
            const int step = kFftSize / len;
            for (int i = 0; i < kFftSize; i += len) {
                for (int k = 0; k < len / 2; ++k) {
                    const Complex t = twiddle_[k * step] * a[i + k + len / 2];
                    a[i + k + len / 2] = a[i + k] - t;
                    a[i + k] += t;
                }
            }
        }
        out.resize(kFftSize / 2 + 1);
        for (int k = 0; k <= kFftSize / 2; ++k)
            out[k] = std::norm(a[k]);
    }

private:
    static int Reverse(int i) {
        int r = 0;
        for (int b = 1; b < kFftSize; b <<= 1, i >>= 1)
            r = (r << 1) | (i & 1);
        return r;
    }
    std::vector<Complex> twiddle_;
    std::vector<double> window_;
    std::vector<Complex> work_;
};

// Spectral flux per hop and, on the side, the summed power spectrum.
void Analyse(const std::vector<float> &x, std::vector<double> &flux, std::vector<double> &powerSum) {
    Fft fft;
    std::vector<double> power, mag, prev(kFftSize / 2 + 1, 0.0);
    powerSum.assign(kFftSize / 2 + 1, 0.0);
    flux.clear();
    // Whole frames only: a frame running past the end would see the cut as a burst of new partials.
    for (size_t start = 0; start + kFftSize <= x.size(); start += kHop) {
        fft.power(x, start, power);
        double f = 0;
        for (size_t k = 0; k < power.size(); ++k) {
            powerSum[k] += power[k];
            const double m = std::log1p(kFluxCompression * std::sqrt(power[k]));
            f += std::max(0.0, m - prev[k]);
            prev[k] = m;
        }
        flux.push_back(f);
    }
}

std::vector<double> PickOnsets(const std::vector<double> &flux, int rate, const PickRule &rule) {
    std::vector<double> onsets;
    if (flux.empty())
        return onsets;
    const double framesPerSecond = static_cast<double>(rate) / kHop;
    const int peak = std::max(1, static_cast<int>(rule.peakWindowSeconds * framesPerSecond));
    const int mean = std::max(1, static_cast<int>(kMeanWindowSeconds * framesPerSecond));
    const double floor = rule.floor * *std::max_element(flux.begin(), flux.end());
    std::vector<double> prefix(flux.size() + 1, 0.0);
    for (size_t i = 0; i < flux.size(); ++i)
        prefix[i + 1] = prefix[i] + flux[i];
    const int n = static_cast<int>(flux.size());
    for (int i = 0; i < n; ++i) {
        if (flux[i] <= floor)
            continue;
        const int lo = std::max(0, i - mean), hi = std::min(n, i + mean + 1);
        const double localMean = (prefix[hi] - prefix[lo]) / (hi - lo);
        if (flux[i] < rule.meanMargin * localMean)
            continue;
        bool isPeak = true;
        for (int j = std::max(0, i - peak); j < std::min(n, i + peak + 1) && isPeak; ++j) {
            isPeak = flux[j] < flux[i] || (flux[j] == flux[i] && j >= i);
        }
        // New sound enters a frame from its end, and the flux peaks once it reaches the window's upper slope.
        if (isPeak)
            onsets.push_back((i * kHop + kOnsetLag) / static_cast<double>(rate));
    }
    return onsets;
}

// How many of the onsets have a candidate within the tolerance (both lists ascending).
int MatchOnsets(const std::vector<double> &onsets, const std::vector<double> &candidates) {
    int matched = 0;
    size_t j = 0;
    for (double t : onsets) {
        while (j < candidates.size() && candidates[j] < t - kOnsetToleranceSeconds)
            ++j;
        if (j < candidates.size() && std::fabs(candidates[j] - t) <= kOnsetToleranceSeconds)
            ++matched;
    }
    return matched;
}

std::vector<double> EnvelopeDb(const std::vector<float> &x, int rate) {
    // At least one sample: at a rate under 20 Hz (a hostile WAV header) a zero-length frame would never advance.
    const size_t frame = std::max<size_t>(1, static_cast<size_t>(kEnvelopeFrameSeconds * rate));
    std::vector<double> db;
    for (size_t start = 0; start + frame <= x.size(); start += frame) {
        double sum = 0;
        for (size_t i = start; i < start + frame; ++i)
            sum += double(x[i]) * x[i];
        db.push_back(10.0 * std::log10(sum / frame + kTiny));
    }
    return db;
}

double EnvelopeCorrelation(std::vector<double> a, std::vector<double> b) {
    const size_t n = std::min(a.size(), b.size());
    a.resize(n);
    b.resize(n);
    if (n < 2)
        return 0;
    const double top = *std::max_element(a.begin(), a.end());
    // Level matching: shift b by the median difference over frames where both sound.
    std::vector<double> diff;
    for (size_t i = 0; i < n; ++i) {
        if (a[i] > top - kEnvelopeRangeDb && b[i] > top - kEnvelopeRangeDb - 40)
            diff.push_back(a[i] - b[i]);
    }
    double shift = 0;
    if (!diff.empty()) {
        std::nth_element(diff.begin(), diff.begin() + diff.size() / 2, diff.end());
        shift = diff[diff.size() / 2];
    }
    for (size_t i = 0; i < n; ++i) {
        a[i] = std::max(a[i], top - kEnvelopeRangeDb);
        b[i] = std::max(b[i] + shift, top - kEnvelopeRangeDb);
    }
    return Correlation(a, b);
}

std::vector<double> LogSpectrum(const std::vector<double> &powerSum, int rate) {
    const size_t top = std::min(powerSum.size(), static_cast<size_t>(kSpectrumTopHz * kFftSize / rate) + 1);
    std::vector<double> out;
    for (size_t k = 1; k < top; ++k)
        out.push_back(10.0 * std::log10(powerSum[k] + kTiny));
    return out;
}

std::vector<float> Normalised(const std::vector<float> &x) {
    double sum = 0;
    for (float v : x)
        sum += double(v) * v;
    const double rms = x.empty() ? 0 : std::sqrt(sum / x.size());
    std::vector<float> out(x);
    if (rms > kTiny) {
        const float gain = static_cast<float>(kAnalysisRms / rms);
        for (float &v : out)
            v *= gain;
    }
    return out;
}

} // namespace

double AudibleDuration(const std::vector<float> &x, int sampleRate) {
    float peak = 0;
    for (float v : x)
        peak = std::max(peak, std::fabs(v));
    const float threshold = peak * static_cast<float>(std::pow(10.0, -kEnvelopeRangeDb / 20));
    for (size_t i = x.size(); i > 0; --i) {
        if (std::fabs(x[i - 1]) > threshold)
            return static_cast<double>(i) / sampleRate;
    }
    return 0;
}

double Correlation(const std::vector<double> &x, const std::vector<double> &y) {
    const size_t n = std::min(x.size(), y.size());
    if (n == 0)
        return 0;
    double mx = 0, my = 0;
    for (size_t i = 0; i < n; ++i) {
        mx += x[i];
        my += y[i];
    }
    mx /= n;
    my /= n;
    double sxy = 0, sxx = 0, syy = 0;
    for (size_t i = 0; i < n; ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
        syy += (y[i] - my) * (y[i] - my);
    }
    if (sxx <= 0 || syy <= 0)
        return 0;
    return sxy / std::sqrt(sxx * syy);
}

std::vector<double> DetectOnsets(const std::vector<float> &samples, int sampleRate) {
    std::vector<double> flux, power;
    Analyse(samples, flux, power);
    return PickOnsets(flux, sampleRate, kClear);
}

CompareResult CompareAudio(const std::vector<float> &a, const std::vector<float> &b, int sampleRate) {
    CompareResult r;
    r.durationA = static_cast<double>(a.size()) / sampleRate;
    r.durationB = static_cast<double>(b.size()) / sampleRate;
    r.audibleA = AudibleDuration(a, sampleRate);
    r.audibleB = AudibleDuration(b, sampleRate);
    std::vector<double> fluxA, fluxB, powerA, powerB;
    // The flux compression depends on level, so both renders are analysed at the same loudness.
    Analyse(Normalised(a), fluxA, powerA);
    Analyse(Normalised(b), fluxB, powerB);
    const std::vector<double> onsetsA = PickOnsets(fluxA, sampleRate, kClear);
    const std::vector<double> onsetsB = PickOnsets(fluxB, sampleRate, kClear);
    r.onsetsA = static_cast<int>(onsetsA.size());
    r.onsetsB = static_cast<int>(onsetsB.size());
    r.onsetsMatched = MatchOnsets(onsetsA, PickOnsets(fluxB, sampleRate, kLenient)) +
                      MatchOnsets(onsetsB, PickOnsets(fluxA, sampleRate, kLenient));
    r.onsetAgreement = (r.onsetsA + r.onsetsB) == 0 ? 1.0 : double(r.onsetsMatched) / (r.onsetsA + r.onsetsB);
    r.envelopeCorrelation = EnvelopeCorrelation(EnvelopeDb(a, sampleRate), EnvelopeDb(b, sampleRate));
    r.spectralCorrelation = Correlation(LogSpectrum(powerA, sampleRate), LogSpectrum(powerB, sampleRate));
    return r;
}

} // namespace tw::render
