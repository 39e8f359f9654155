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
    int nJobs = 1;                  // files converted at once, each in a process of its own
    std::string soundFont;          // empty: the default SoundFont
    std::vector<std::string> files;
};

// Parses argv[1..argc-1]. Returns "" and fills options, or a sentence saying what is wrong.
std::string ParseConvertOptions(int argc, char **argv, ConvertOptions &options);

// The options that reproduce these settings for one file (without --jobs), for a child process.
std::string ChildCommandLine(const ConvertOptions &options, const std::string &file);

// The usage text.
extern const char kConvertUsage[];
