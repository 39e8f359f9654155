// TunewrightConvert: converts MIDI files to WAV or MP3 without the dialog, through the same engine, instrument
// plan and writers. With --jobs N, N files at a time, each in a process of its own (one engine per process).
#include "convert_file.h"
#include "convert_options.h"
#include "engine.h"
#include "soundfont_failure.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kExitFailed = 1;
const int kExitUsage = 2;

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

int ConvertHere(const ConvertOptions &options) {
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
    for (const std::string &file : options.files) {
        DWORD dwStart = GetTickCount();
        std::string written;
        failure = ConvertOneFile(options, file, written);
        if (failure.empty()) {
            std::printf("%s -> %s (%.1f s)\n", file.c_str(), written.c_str(), (GetTickCount() - dwStart) / 1000.0);
        } else {
            std::fprintf(stderr, "error: %s\n", failure.c_str());
            ++nFailed;
        }
        std::fflush(stdout);
    }
    FreeDirectMusic();
    return nFailed ? kExitFailed : 0;
}

struct Child {
    PROCESS_INFORMATION process;
    std::string file;
};

bool StartChild(const ConvertOptions &options, const std::string &file, Child &child) {
    char szSelf[MAX_PATH * 4];
    GetModuleFileNameA(nullptr, szSelf, sizeof szSelf);
    std::string command = "\"" + std::string(szSelf) + "\" " + ChildCommandLine(options, file);
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    child.file = file;
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &child.process) != FALSE;
}

// Waits for one of the running children; returns FALSE when it failed.
bool ReapOne(std::vector<Child> &running) {
    std::vector<HANDLE> handles;
    for (const Child &child : running)
        handles.push_back(child.process.hProcess);
    DWORD index =
        WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, INFINITE) - WAIT_OBJECT_0;
    DWORD dwCode = kExitFailed;
    GetExitCodeProcess(running[index].process.hProcess, &dwCode);
    CloseHandle(running[index].process.hThread);
    CloseHandle(running[index].process.hProcess);
    running.erase(running.begin() + index);
    return dwCode == 0;
}

int ConvertInChildren(const ConvertOptions &options) {
    std::vector<Child> running;
    int nFailed = 0;
    for (const std::string &file : options.files) {
        if (static_cast<int>(running.size()) >= options.nJobs && !ReapOne(running))
            ++nFailed;
        Child child;
        if (StartChild(options, file, child)) {
            running.push_back(child);
        } else {
            std::fprintf(stderr, "error: %s: the converter could not start a process for it.\n", file.c_str());
            ++nFailed;
        }
    }
    while (!running.empty())
        if (!ReapOne(running))
            ++nFailed;
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
    return options.nJobs > 1 && options.files.size() > 1 ? ConvertInChildren(options) : ConvertHere(options);
}
