// The console converter's command line.
#pragma once

#include <string>
#include <vector>

struct ConvertOptions {
    bool bMp3 = false;
    unsigned int nRate = 44100;     // Hz
    int nTempoPercent = 100;        // 50..150
    int nTranspose = 0;             // semitones, -14..+14 (the tone -7.0..+7.0 in steps of 0.5)
    std::vector<int> mutedPrograms; // 0..127
    std::string outputFolder;       // empty: beside each MIDI file
    std::string soundFont;          // empty: the default SoundFont
    int nJobs = 1;                  // processes converting at once, each taking a share of the files
    int nVoices = 0;                // polyphony, 1..4096; 0: the synthesizer's setting (TwDirectMusic.ini, or 256)
    bool bProgress = true;          // the elapsed time of each piece on the console while it converts
    std::string listFile;           // a file of conversions, one a line, each with options of its own
    std::vector<std::string> files;
};

// Parses argv[1..argc-1]. Returns "" and fills options, or a sentence saying what is wrong.
std::string ParseConvertOptions(int argc, char **argv, ConvertOptions &options);

// The options that reproduce these settings for some of the files (without --jobs), for a child process.
std::string ChildCommandLine(const ConvertOptions &options, const std::vector<std::string> &files);

// The usage text.
extern const char kConvertUsage[];
