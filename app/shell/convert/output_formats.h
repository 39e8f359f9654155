// The output formats and rates the dialog's lists and the console converter offer (no Windows header: the
// console's option parser also builds natively).
#pragma once

// Entries of the output-format list, in list order.
const int kFormatWav = 0;
const int kFormatMp3 = 1;

// The rates of the quality lists, by list index; the WAV list has the first three.
const int kWavRateCount = 3;
const int kMp3RateCount = 4;
constexpr unsigned int kSampleRates[kMp3RateCount] = {11025, 22050, 44100, 48000};
constexpr const char *kSampleRateTexts[kMp3RateCount] = {"11025 Hz", "22050 Hz", "44100 Hz", "48000 Hz"};
const int kDefaultQuality = 2; // "44100 Hz", selected at start
const int kLastWavQuality = 2; // "44100 Hz"
const unsigned int kRateWithoutSelection = 22050;

// Whether a format offers a rate (Hz).
constexpr bool IsOfferedRate(unsigned int nRate, bool bMp3) {
    for (int i = 0; i < (bMp3 ? kMp3RateCount : kWavRateCount); ++i)
        if (kSampleRates[i] == nRate)
            return true;
    return false;
}
