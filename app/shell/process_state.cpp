// Process-wide text buffers, the program folder and the settings file (settings.ini, section "Settings").
#include "process_state.h"

#include "output_naming.h"

#include <cstdio>

char *g_szProgramDir = nullptr;
char *g_szMidiPath = nullptr;
char *g_szMidiTitle = nullptr;
char *g_szOutputDir = nullptr;
char *g_szScratch = nullptr;
char *g_szSettingsPath = nullptr;

char g_szSoundFont[kSettingTextSize] = "";

int g_bSameDirectory = 0;
int g_nVolume = 0;

namespace {

const char kSettingsSection[] = "Settings";
const char kKeySameDirectory[] = "bSameDirectory";
const char kKeyVolume[] = "Volume";
const char kKeyOutput[] = "Output";
const char kKeySoundFont[] = "SoundFont";
const char kSettingsFileFormat[] = "%s\\settings.ini";

const DWORD kModuleNameSize = 1024; // characters read from GetModuleFileNameA
const DWORD kFullPathSize = 4096;   // characters GetFullPathNameA may write
const int kVolumeMin = 0;
const int kVolumeMax = 100;

// The buffers in allocation (and freeing) order.
char **const g_ppBuffers[] = {&g_szProgramDir, &g_szMidiPath, &g_szMidiTitle,
                              &g_szOutputDir,  &g_szScratch,  &g_szSettingsPath};

bool BuffersReady() {
    return g_szSettingsPath != nullptr;
}

} // namespace

BOOL AllocProcessBuffers() {
    HANDLE hHeap = GetProcessHeap();
    for (char **ppBuffer : g_ppBuffers) {
        *ppBuffer = static_cast<char *>(HeapAlloc(hHeap, HEAP_ZERO_MEMORY, kProcessBufferSize));
        if (*ppBuffer == nullptr) {
            // Half a set is worse than none: every later step tests for null buffers, not for which one.
            FreeProcessBuffers();
            return FALSE;
        }
    }
    return TRUE;
}

void FreeProcessBuffers() {
    HANDLE hHeap = GetProcessHeap();
    for (char **ppBuffer : g_ppBuffers) {
        if (*ppBuffer != nullptr) {
            HeapFree(hHeap, 0, *ppBuffer);
            *ppBuffer = nullptr;
        }
    }
}

void InitProgramDir() {
    if (!BuffersReady()) {
        return;
    }
    DWORD nLength = GetModuleFileNameA(nullptr, g_szScratch, kModuleNameSize);
    g_szScratch[nLength < kModuleNameSize ? nLength : kModuleNameSize - 1] = '\0';
    if (GetFullPathNameA(g_szScratch, kFullPathSize, g_szProgramDir, nullptr) == 0) {
        lstrcpynA(g_szProgramDir, g_szScratch, kFullPathSize);
    }
    CutAtLast(g_szProgramDir, '\\');
    // Relative paths used later (the effect's registration) are resolved against the program folder.
    SetCurrentDirectoryA(g_szProgramDir);
}

void InitSettingsPath() {
    if (!BuffersReady()) {
        return;
    }
    snprintf(g_szSettingsPath, kProcessBufferSize, kSettingsFileFormat, g_szProgramDir);
}

int ReadSettingInt(const char *pszKey) {
    return static_cast<int>(GetPrivateProfileIntA(kSettingsSection, pszKey, 0, g_szSettingsPath));
}

void ReadSettingText(const char *pszKey, char *pszValue) {
    GetPrivateProfileStringA(kSettingsSection, pszKey, "", pszValue, kSettingTextSize, g_szSettingsPath);
}

void WriteSettingInt(const char *pszKey, int nValue) {
    char szValue[16];
    snprintf(szValue, sizeof(szValue), "%d", nValue);
    WritePrivateProfileStringA(kSettingsSection, pszKey, szValue, g_szSettingsPath);
}

void WriteSettingText(const char *pszKey, const char *pszValue) {
    WritePrivateProfileStringA(kSettingsSection, pszKey, pszValue, g_szSettingsPath);
}

void LoadSettings() {
    if (!BuffersReady()) {
        return;
    }
    // A hand-edited file may hold anything: the flag is kept to 0/1 and the slider position to its range.
    g_bSameDirectory = ReadSettingInt(kKeySameDirectory) != 0 ? 1 : 0;
    int nVolume = ReadSettingInt(kKeyVolume);
    g_nVolume = nVolume < kVolumeMin ? kVolumeMin : (nVolume > kVolumeMax ? kVolumeMax : nVolume);
    ReadSettingText(kKeyOutput, g_szOutputDir);
    ReadSettingText(kKeySoundFont, g_szSoundFont);
}

void SaveSettings() {
    if (!BuffersReady()) {
        return;
    }
    WriteSettingInt(kKeySameDirectory, g_bSameDirectory);
    WriteSettingInt(kKeyVolume, g_nVolume);
    WriteSettingText(kKeyOutput, g_szOutputDir);
    WriteSettingText(kKeySoundFont, g_szSoundFont);
}
