// Parsing and re-forming the converter's options.
#include "convert_options.h"

#include "output_formats.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char kConvertUsage[] =
    "usage: TunewrightConvert [--wav RATE | --mp3 RATE] [--tempo 50..150] [--tone -7.0..+7.0]\n"
    "                         [--mute PROGRAM,...] [--out DIR] [--jobs N] [--polyphony N] [--soundfont FILE]\n"
    "                         [--no-progress] [--list FILE] FILE...\n"
    "  --wav RATE   16-bit mono WAV at 11025, 22050 or 44100 Hz (default: --wav 44100)\n"
    "  --mp3 RATE   MP3 at 11025, 22050, 44100 or 48000 Hz\n"
    "  --tempo P    tempo in per cent, 50 to 150 (default 100)\n"
    "  --tone T     transposition in tones, -7.0 to +7.0 in steps of 0.5 (default 0)\n"
    "  --mute LIST  General MIDI programs (0-127) to silence, separated by commas\n"
    "  --out DIR    output folder (default: each MIDI file's own folder)\n"
    "  --jobs N     processes converting at once, 1 to 16, each taking a share of the files (default 1)\n"
    "  --polyphony N  voices sounding at once, 1 to 4096 (default: TwDirectMusic.ini's Polyphony, or 256)\n"
    "  --soundfont FILE  the SoundFont (.sf2 or .sf3) to play with (default: the program's own)\n"
    "  --no-progress  no elapsed time on the console while a piece converts\n"
    "  --list FILE  conversions one a line, each options and a MIDI file (the command line's options are the\n"
    "               default); a line \"report\" prints the process's private bytes and handle count\n"
    "Existing files are never overwritten: song.wav is followed by song(1).wav, song(2).wav, ...\n";

namespace {

bool ParseInt(const char *pszText, long nMin, long nMax, int &nValue) {
    char *pszEnd = nullptr;
    long n = std::strtol(pszText, &pszEnd, 10);
    if (pszEnd == pszText || *pszEnd != '\0' || n < nMin || n > nMax)
        return false;
    nValue = static_cast<int>(n);
    return true;
}

bool ParseTone(const char *pszText, int &nTranspose) {
    char *pszEnd = nullptr;
    double tone = std::strtod(pszText, &pszEnd);
    double halfSteps = tone * 2;
    if (pszEnd == pszText || *pszEnd != '\0' || tone < -7.0 || tone > 7.0 || halfSteps != static_cast<int>(halfSteps))
        return false;
    nTranspose = static_cast<int>(halfSteps);
    return true;
}

bool ParseMuteList(const char *pszText, std::vector<int> &programs) {
    std::string list = pszText;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        int nProgram;
        if (!ParseInt(item.c_str(), 0, 127, nProgram))
            return false;
        programs.push_back(nProgram);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return true;
}

std::string Quoted(const std::string &text) {
    return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

} // namespace

std::string ParseConvertOptions(int argc, char **argv, ConvertOptions &options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            options.files.push_back(arg);
            continue;
        }
        if (arg == "--no-progress") {
            options.bProgress = false;
            continue;
        }
        if (i + 1 >= argc)
            return arg + " needs a value.";
        const char *pszValue = argv[++i];
        int n;
        if (arg == "--wav" || arg == "--mp3") {
            options.bMp3 = arg == "--mp3";
            if (!ParseInt(pszValue, 0, 1000000, n) || !IsOfferedRate(static_cast<unsigned int>(n), options.bMp3))
                return std::string("Not a rate for ") + arg + ": " + pszValue + ".";
            options.nRate = static_cast<unsigned int>(n);
        } else if (arg == "--tempo") {
            if (!ParseInt(pszValue, 50, 150, options.nTempoPercent))
                return std::string("The tempo must be 50 to 150 per cent, not ") + pszValue + ".";
        } else if (arg == "--tone") {
            if (!ParseTone(pszValue, options.nTranspose))
                return std::string("The tone must be -7.0 to +7.0 in steps of 0.5, not ") + pszValue + ".";
        } else if (arg == "--mute") {
            if (!ParseMuteList(pszValue, options.mutedPrograms))
                return std::string("--mute takes program numbers 0 to 127 separated by commas, not ") + pszValue + ".";
        } else if (arg == "--list") {
            options.listFile = pszValue;
        } else if (arg == "--out") {
            options.outputFolder = pszValue;
        } else if (arg == "--soundfont") {
            options.soundFont = pszValue;
        } else if (arg == "--jobs") {
            if (!ParseInt(pszValue, 1, 16, options.nJobs))
                return std::string("--jobs takes 1 to 16, not ") + pszValue + ".";
        } else if (arg == "--polyphony") {
            if (!ParseInt(pszValue, 1, 4096, options.nVoices))
                return std::string("--polyphony takes 1 to 4096 voices, not ") + pszValue + ".";
        } else {
            return "Unknown option " + arg + ".";
        }
    }
    if (options.files.empty() && options.listFile.empty())
        return "No MIDI file given.";
    return "";
}

std::string ChildCommandLine(const ConvertOptions &options, const std::vector<std::string> &files) {
    char szNumbers[96];
    std::snprintf(szNumbers, sizeof szNumbers, "%s %u --tempo %d --tone %.1f", options.bMp3 ? "--mp3" : "--wav",
                  options.nRate, options.nTempoPercent, options.nTranspose * 0.5);
    std::string line = szNumbers;
    if (!options.mutedPrograms.empty()) {
        line += " --mute ";
        for (size_t i = 0; i < options.mutedPrograms.size(); ++i)
            line += (i ? "," : "") + std::to_string(options.mutedPrograms[i]);
    }
    if (!options.outputFolder.empty())
        line += " --out " + Quoted(options.outputFolder);
    if (!options.soundFont.empty())
        line += " --soundfont " + Quoted(options.soundFont);
    if (options.nVoices > 0)
        line += " --polyphony " + std::to_string(options.nVoices);
    line += " --no-progress"; // the children share one console
    for (const std::string &file : files)
        line += " " + Quoted(file);
    return line;
}
