// One file through the engine: instrument plan, capture, WAV or MP3 file.
#include "convert_file.h"

#include "capture_session.h"
#include "effect_registration.h"
#include "console_progress.h"
#include "engine.h"
#include "instrument_plan.h"
#include "midi_programs.h"
#include "recording_writer.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

// Nothing waits to be shown: the end is looked for often, and the engine's stop has already waited for the
// rendering to finish.
const CapturePacing kConsolePacing = {5, 0};
const size_t kTextSize = 8192;

std::string ProgramFolder() {
    char szPath[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(nullptr, szPath, sizeof szPath);
    std::string path(szPath, n);
    return path.substr(0, path.rfind('\\'));
}

struct PlanContext {
    const ConvertOptions *pOptions;
};

// Every used program sounds except the muted ones; the rows are the used programs in ascending order.
void BuildPlan(void *pContext) {
    const ConvertOptions &options = *static_cast<PlanContext *>(pContext)->pOptions;
    bool rowChecked[kProgramTableSize];
    int rowPrograms[kProgramTableSize];
    int nRows = 0;
    for (int p = 0; p < kProgramTableSize; ++p) {
        if (g_usedPrograms[p] == kNoProgram)
            continue;
        bool bMuted = false;
        for (int muted : options.mutedPrograms)
            bMuted = bMuted || muted == p;
        rowChecked[nRows] = !bMuted;
        rowPrograms[nRows++] = p;
    }
    FillProgramMap(g_usedPrograms, rowChecked, rowPrograms, nRows);
}

std::string FolderOf(const std::string &file) {
    char szFull[MAX_PATH * 4];
    char *pszName = nullptr;
    DWORD n = GetFullPathNameA(file.c_str(), sizeof szFull, szFull, &pszName);
    if (n == 0 || n >= sizeof szFull || pszName == nullptr)
        return ".";
    return std::string(szFull, pszName - szFull - 1);
}

std::string TitleOf(const std::string &file) {
    size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

} // namespace

std::string StartConverterEngine() {
    if (FAILED(InitDirectMusic(GetDesktopWindow())))
        return "Init DirectMusic Failed";
    if (FindFilter() != S_OK) {
        // Not registered, or registered where the DLL no longer is: register the copy beside the program.
        char szWhy[kTextSize];
        std::string folder = ProgramFolder();
        BOOL bRegistered = RegisterCaptureEffect(folder.c_str(), szWhy, sizeof szWhy);
        if (FindFilter() != S_OK) {
            if (bRegistered)
                FormatEffectNotListed(folder.c_str(), szWhy, sizeof szWhy);
            return std::string("FindFilter Failed: ") + szWhy;
        }
    }
    return "";
}

std::string ConvertOneFile(const ConvertOptions &options, const std::string &file, bool bDeferMp3,
                           ConvertedFile &converted) {
    converted.bEncode = false;
    converted.nSeconds = 0;
    if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        return file + ": the file cannot be found.";
    LoadUsedPrograms(file.c_str());
    g_transpose = options.nTranspose;
    PlanContext context = {&options};
    const char *pszFailure =
        BeginCapture(file.c_str(), TempoPositionOfPercent(options.nTempoPercent), BuildPlan, &context);
    if (pszFailure != nullptr)
        return file + ": not a MIDI file that can be played (" + pszFailure + ").";
    volatile LONG bNeverAbort = 0;
    ConsoleProgress progress;
    BeginConsoleProgress(progress, file.c_str(), options.bProgress);
    pszFailure = FinishCapture(kConsolePacing, &bNeverAbort, ShowConsoleProgress, &progress);
    EndConsoleProgress(progress);
    if (pszFailure != nullptr)
        return file + ": " + pszFailure + ".";
    converted.nSeconds = progress.nLength;
    std::string folder = options.outputFolder.empty() ? FolderOf(file) : options.outputFolder;
    std::string title = TitleOf(file);
    RecordingRequest request = {folder.c_str(), title.c_str(), options.bMp3 ? TRUE : FALSE, options.nRate};
    std::vector<char> path(kTextSize), error(kTextSize);
    if (options.bMp3 && bDeferMp3) {
        if (!BeginMp3Recording(request, converted.job, error.data(), kTextSize))
            return file + ": " + error.data();
        converted.path = converted.job.szPath;
        converted.bEncode = true;
        return "";
    }
    if (!WriteRecording(request, path.data(), error.data(), kTextSize))
        return file + ": " + error.data();
    converted.path = path.data();
    return "";
}
