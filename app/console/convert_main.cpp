// TunewrightConvert: converts MIDI files to WAV or MP3 without the dialog, through the same engine, instrument
// plan and writers. With --jobs N, N processes at a time (one engine per process), each converting a share of
// the files.
#include "convert_file.h"
#include "convert_options.h"
#include "encode_queue.h"
#include "engine.h"
#include "soundfont_failure.h"
#include "format_time.h"
#include "process_resources.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

const int kExitFailed = 1;
const int kExitUsage = 2;
// The encoder costs more than the rendering: two encode while the next pieces play, and two more recordings
// may wait for them (temporary files of some tens of megabytes at most).
const int kEncoders = 2;
const int kWaitingEncodes = 2;

// "03:25 of music, 1.2 s": the piece's length and the time its conversion took.
std::string Details(const ConvertedFile &converted, DWORD dwStart) {
    char szLength[kMinSecTextSize], szText[64];
    FormatMinSec(converted.nSeconds, szLength);
    std::snprintf(szText, sizeof szText, "%s of music, %.1f s", szLength, (GetTickCount() - dwStart) / 1000.0);
    return szText;
}

// Converts one file and reports it, or hands its MP3 to the encoders, which report it.
void ConvertAndReport(const ConvertOptions &options, const std::string &file, bool bOverlap, CEncodeQueue &encoders,
                      int &nFailed) {
    DWORD dwStart = GetTickCount();
    SetEngineVoices(options.nVoices);
    ConvertedFile converted;
    std::string failure = ConvertOneFile(options, file, bOverlap, converted);
    if (!failure.empty()) {
        PrintLine(stderr, "error: " + failure);
        ++nFailed;
    } else if (converted.bEncode) {
        encoders.Add(file, converted.job, Details(converted, dwStart));
    } else {
        PrintLine(stdout, file + " -> " + converted.path + " (" + Details(converted, dwStart) + ")");
    }
}

// A line's words; double quotes keep spaces in a word.
std::vector<std::string> Words(const std::string &line) {
    std::vector<std::string> words;
    std::string word;
    bool bQuoted = false, bWord = false;
    for (char c : line) {
        if (c == '"') {
            bQuoted = !bQuoted;
            bWord = true;
        } else if ((c == ' ' || c == '\t' || c == '\r') && !bQuoted) {
            if (bWord)
                words.push_back(word);
            word.clear();
            bWord = false;
        } else {
            word += c;
            bWord = true;
        }
    }
    if (bWord)
        words.push_back(word);
    return words;
}

// Loads the SoundFont for every file; a failure is said as the dialog says it.
bool UseSoundFont(const std::string &path) {
    char szFull[MAX_PATH * 4];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof szFull, szFull, nullptr);
    const char *pszPath = n > 0 && n < sizeof szFull ? szFull : path.c_str();
    char szReason[1024];
    if (SUCCEEDED(SetEngineSoundFont(pszPath, szReason, sizeof szReason)))
        return true;
    char szText[MAX_PATH * 4 + 1100];
    FormatSoundFontFailure(szText, sizeof szText, path.c_str(), szReason);
    std::fprintf(stderr, "TunewrightConvert: %s\n", szText);
    return false;
}

// The conversions of a list file, each line's options over the command line's.
void ConvertList(const ConvertOptions &options, CEncodeQueue &encoders, int &nFailed) {
    std::ifstream list(options.listFile);
    if (!list) {
        PrintLine(stderr, "error: " + options.listFile + ": the list cannot be read.");
        ++nFailed;
        return;
    }
    std::string line, soundFont = options.soundFont;
    while (std::getline(list, line)) {
        std::vector<std::string> words = Words(line);
        if (words.empty() || words[0][0] == '#')
            continue;
        if (words.size() == 1 && words[0] == "report") {
            PrintLine(stdout, "resources: " + ProcessResources(GetCurrentProcess()));
            continue;
        }
        ConvertOptions lineOptions = options;
        lineOptions.files.clear();
        std::vector<char *> argv = {const_cast<char *>("TunewrightConvert")};
        for (std::string &word : words)
            argv.push_back(&word[0]);
        std::string problem = ParseConvertOptions(static_cast<int>(argv.size()), argv.data(), lineOptions);
        if (!problem.empty()) {
            PrintLine(stderr, "error: " + options.listFile + ": " + problem + " (" + line + ")");
            ++nFailed;
            continue;
        }
        if (lineOptions.soundFont != soundFont) {
            if (!UseSoundFont(lineOptions.soundFont)) {
                nFailed += static_cast<int>(lineOptions.files.size());
                continue;
            }
            soundFont = lineOptions.soundFont;
        }
        for (const std::string &file : lineOptions.files)
            ConvertAndReport(lineOptions, file, lineOptions.bMp3, encoders, nFailed);
    }
}

int ConvertHere(const ConvertOptions &options) {
    SetEngineVoices(options.nVoices);
    std::string failure = StartConverterEngine();
    if (!failure.empty()) {
        std::fprintf(stderr, "TunewrightConvert: %s\n", failure.c_str());
        return kExitFailed;
    }
    if (!options.soundFont.empty() && !UseSoundFont(options.soundFont)) {
        FreeDirectMusic();
        return kExitFailed;
    }
    int nFailed = 0;
    const bool bOverlap = options.bMp3 && options.files.size() > 1;
    CEncodeQueue encoders(bOverlap || !options.listFile.empty() ? kEncoders : 0, kWaitingEncodes);
    for (const std::string &file : options.files)
        ConvertAndReport(options, file, bOverlap, encoders, nFailed);
    if (!options.listFile.empty())
        ConvertList(options, encoders, nFailed);
    nFailed += encoders.Finish();
    FreeDirectMusic();
    return nFailed ? kExitFailed : 0;
}

struct Child {
    PROCESS_INFORMATION process;
    std::string file;
};

bool StartChild(const ConvertOptions &options, const std::vector<std::string> &files, Child &child) {
    char szSelf[MAX_PATH * 4];
    GetModuleFileNameA(nullptr, szSelf, sizeof szSelf);
    std::string command = "\"" + std::string(szSelf) + "\" " + ChildCommandLine(options, files);
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    child.file = files.front();
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &child.process) != FALSE;
}

// The files in nJobs shares of about equal size, each share in the files' own order: a process per share
// starts its engine and loads its SoundFont once.
std::vector<std::vector<std::string>> Shares(const std::vector<std::string> &files, int nJobs) {
    std::vector<std::pair<ULONGLONG, size_t>> sized;
    for (size_t i = 0; i < files.size(); ++i) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        ULONGLONG cb = GetFileAttributesExA(files[i].c_str(), GetFileExInfoStandard, &data)
                           ? (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow)
                           : 0;
        sized.push_back({cb, i});
    }
    std::sort(sized.begin(), sized.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    const size_t nShares = std::min(files.size(), static_cast<size_t>(nJobs));
    std::vector<ULONGLONG> total(nShares, 0);
    std::vector<std::vector<size_t>> picked(nShares);
    for (const auto &item : sized) {
        size_t least = std::min_element(total.begin(), total.end()) - total.begin();
        total[least] += item.first + 1;
        picked[least].push_back(item.second);
    }
    std::vector<std::vector<std::string>> shares;
    for (std::vector<size_t> &indices : picked) {
        std::sort(indices.begin(), indices.end());
        shares.emplace_back();
        for (size_t i : indices)
            shares.back().push_back(files[i]);
    }
    return shares;
}

// Waits for every child; returns how many failed.
int ReapAll(std::vector<Child> &running) {
    int nFailed = 0;
    for (Child &child : running) {
        WaitForSingleObject(child.process.hProcess, INFINITE);
        DWORD dwCode = kExitFailed;
        GetExitCodeProcess(child.process.hProcess, &dwCode);
        CloseHandle(child.process.hThread);
        CloseHandle(child.process.hProcess);
        nFailed += dwCode == 0 ? 0 : 1;
    }
    running.clear();
    return nFailed;
}

int ConvertInChildren(const ConvertOptions &options) {
    std::vector<Child> running;
    int nFailed = 0;
    for (const std::vector<std::string> &share : Shares(options.files, options.nJobs)) {
        Child child;
        if (StartChild(options, share, child)) {
            running.push_back(child);
        } else {
            for (const std::string &file : share)
                std::fprintf(stderr, "error: %s: the converter could not start a process for it.\n", file.c_str());
            ++nFailed;
        }
    }
    nFailed += ReapAll(running);
    return nFailed ? kExitFailed : 0;
}

} // namespace

int main(int argc, char **argv) {
    ConvertOptions options;
    std::string problem = ParseConvertOptions(argc, argv, options);
    if (!problem.empty()) {
        std::fprintf(stderr, "TunewrightConvert: %s\n\n%s", problem.c_str(), kConvertUsage);
        return kExitUsage;
    }
    CoInitialize(nullptr);
    bool bChildren = options.nJobs > 1 && options.files.size() > 1 && options.listFile.empty();
    return bChildren ? ConvertInChildren(options) : ConvertHere(options);
}
