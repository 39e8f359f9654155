// The SoundFont chosen by the program or named by the stand-in's settings file, in the process's synthesizer.
#include "synth_host.h"

#include <windows.h>

#include <memory>
#include <new>
#include <string>

#include "core/synth/soundfont.h"
#include "module.h"

namespace {

const char kSettingsSection[] = "TwDirectMusic";
const char kSoundFontKey[] = "SoundFont";
const char kPolyphonyKey[] = "Polyphony";

SRWLOCK g_srwSynth = SRWLOCK_INIT;
tw::synth::Synth *g_pSynth = nullptr; // created on first use, never freed before the process ends
std::string g_strLoadedPath;          // the SoundFont g_pSynth holds; empty while none is loaded
std::string g_strChosenPath;          // chosen through ITwSoundFontControl; empty: the settings' SoundFont
std::unique_ptr<tw::synth::SoundFont> g_pPendingFont; // chosen and loaded, to be put in at the next AcquireSynth
std::string g_strPendingPath;                         // the file g_pPendingFont was loaded from
volatile LONG g_nSynthClaimed = 0;
int g_nSynthHolders = 0; // performances set up with g_pSynth (guarded by g_srwSynth)

std::string ModuleFolder() {
    char szPath[MAX_PATH];
    DWORD cch = GetModuleFileNameA(g_hTwModule, szPath, MAX_PATH);
    if (cch == 0 || cch >= MAX_PATH) {
        return std::string();
    }
    std::string strPath(szPath, cch);
    size_t slash = strPath.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : strPath.substr(0, slash + 1);
}

bool IsAbsolute(const std::string &strPath) {
    return (strPath.size() > 1 && strPath[1] == ':') || (!strPath.empty() && (strPath[0] == '\\' || strPath[0] == '/'));
}

// The settings' SoundFont (relative names are taken from the DLL's folder), or the default beside the DLL.
std::string SoundFontPath() {
    std::string strFolder = ModuleFolder();
    std::string strSettings = strFolder + kSettingsFileName;
    char szValue[MAX_PATH] = "";
    GetPrivateProfileStringA(kSettingsSection, kSoundFontKey, "", szValue, MAX_PATH, strSettings.c_str());
    std::string strValue = szValue;
    if (strValue.empty()) {
        return strFolder + kDefaultSoundFontName;
    }
    return IsAbsolute(strValue) ? strValue : strFolder + strValue;
}

// The settings' polyphony, or the synthesizer's default; clamped to what the synthesizer offers.
int SettingsVoices() {
    std::string strSettings = ModuleFolder() + kSettingsFileName;
    int nVoices = static_cast<int>(GetPrivateProfileIntA(kSettingsSection, kPolyphonyKey,
                                                         tw::synth::SynthConfig::kDefaultVoices, strSettings.c_str()));
    if (nVoices < 1) {
        return tw::synth::SynthConfig::kDefaultVoices;
    }
    return nVoices > tw::synth::SynthConfig::kMaxVoices ? tw::synth::SynthConfig::kMaxVoices : nVoices;
}

// The voice pool is taken once, when the synthesizer is made: another size makes another synthesizer, which
// loads the SoundFont afresh. Only while no performance holds the old one.
void MakeSynthLocked(int nVoices) {
    if (g_pSynth != nullptr && (g_pSynth->maxVoices() == nVoices || g_nSynthHolders != 0)) {
        return;
    }
    delete g_pSynth;
    g_strLoadedPath.clear();
    tw::synth::SynthConfig config;
    config.maxVoices = nVoices;
    g_pSynth = new (std::nothrow) tw::synth::Synth(config);
}

} // namespace

tw::synth::Synth *AcquireSynth(int nVoices) {
    std::string strSettingsPath = SoundFontPath();
    if (nVoices <= 0) {
        nVoices = SettingsVoices();
    }
    if (nVoices > tw::synth::SynthConfig::kMaxVoices) {
        nVoices = tw::synth::SynthConfig::kMaxVoices;
    }
    AcquireSRWLockExclusive(&g_srwSynth);
    MakeSynthLocked(nVoices);
    tw::synth::Synth *pSynth = g_pSynth;
    if (pSynth != nullptr && g_pPendingFont != nullptr && g_nSynthClaimed == 0) {
        pSynth->useSoundFont(std::move(g_pPendingFont));
        g_strLoadedPath = g_strPendingPath;
    }
    std::string strPath = g_strChosenPath.empty() ? strSettingsPath : g_strChosenPath;
    bool bReload = pSynth != nullptr && strPath != g_strLoadedPath && g_nSynthClaimed == 0;
    if (bReload) {
        std::string strError;
        g_strLoadedPath.clear();
        if (pSynth->loadSoundFontFile(strPath, strError) == tw::synth::LoadStatus::Ok) {
            g_strLoadedPath = strPath;
        } else {
            DebugLine(("cannot use SoundFont " + strPath + ": " + strError).c_str());
        }
    }
    if (g_strLoadedPath.empty()) {
        pSynth = nullptr;
    }
    if (pSynth != nullptr) {
        ++g_nSynthHolders;
    }
    ReleaseSRWLockExclusive(&g_srwSynth);
    if (g_pSynth == nullptr) {
        DebugLine("out of memory for the synthesizer");
    }
    return pSynth;
}

HRESULT ChooseSoundFont(const std::string &strPath, std::string &strReason) {
    std::string strFile = strPath.empty() ? SoundFontPath() : strPath;
    AcquireSRWLockShared(&g_srwSynth);
    bool bInUse = strFile == g_strLoadedPath && g_pPendingFont == nullptr;
    ReleaseSRWLockShared(&g_srwSynth);
    std::unique_ptr<tw::synth::SoundFont> pFont;
    if (!bInUse) {
        // Loaded without the lock: a segment may go on playing the SoundFont in use meanwhile.
        pFont.reset(new (std::nothrow) tw::synth::SoundFont());
        if (pFont == nullptr) {
            strReason = "There is not enough memory to load the SoundFont.";
            return E_OUTOFMEMORY;
        }
        if (pFont->loadFile(strFile, strReason) != tw::synth::LoadStatus::Ok) {
            return E_FAIL;
        }
    }
    AcquireSRWLockExclusive(&g_srwSynth);
    g_strChosenPath = strPath;
    if (pFont != nullptr) {
        g_pPendingFont = std::move(pFont);
        g_strPendingPath = strFile;
    }
    ReleaseSRWLockExclusive(&g_srwSynth);
    strReason.clear();
    return S_OK;
}

void ReleaseSynth() {
    AcquireSRWLockExclusive(&g_srwSynth);
    if (g_nSynthHolders > 0) {
        --g_nSynthHolders;
    }
    ReleaseSRWLockExclusive(&g_srwSynth);
}

bool SynthLoaded() {
    AcquireSRWLockShared(&g_srwSynth);
    bool bLoaded = !g_strLoadedPath.empty();
    ReleaseSRWLockShared(&g_srwSynth);
    return bLoaded;
}

bool ClaimSynth() {
    return InterlockedCompareExchange(&g_nSynthClaimed, 1, 0) == 0;
}

void ReleaseSynthClaim() {
    InterlockedExchange(&g_nSynthClaimed, 0);
}
