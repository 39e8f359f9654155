// InitAudioPath: the synthesizer port, a fresh stereo audio path with its buffer, and the instrument tool.
#include "engine.h"

#include <cstring>
#include <new>

#include "engine_setup.h"
#include "engine_state.h"
#include "midi/instrument_tool.h"

namespace {

const char kSynthesizerName[] = "Microsoft Synthesizer";
const DWORD kPChannels = 64;
const size_t kPortNameSize = 260; // bytes of a port description in the ANSI code page

bool IsAudioPathSynthesizer(const DMUS_PORTCAPS &caps) {
    return (caps.dwFlags & (DMUS_PC_DLS | DMUS_PC_DLS2)) != 0 && caps.dwClass == DMUS_PC_OUTPUTCLASS &&
           (caps.dwFlags & DMUS_PC_AUDIOPATH) != 0;
}

// The first qualifying port named exactly "Microsoft Synthesizer". A failing EnumPort ends the search like the
// end of the list: retrying the same index would never end.
bool FindSynthesizerPort(GUID *pguidPort) {
    for (DWORD dwIndex = 0;; ++dwIndex) {
        DMUS_PORTCAPS caps = {};
        caps.dwSize = sizeof(caps);
        if (pDirectMusic->EnumPort(dwIndex, &caps) != S_OK) {
            return false;
        }
        if (!IsAudioPathSynthesizer(caps)) {
            continue;
        }
        caps.wszDescription[DMUS_MAX_DESCRIPTION - 1] = L'\0';
        char szName[kPortNameSize] = {};
        if (WideCharToMultiByte(CP_ACP, 0, caps.wszDescription, -1, szName, sizeof(szName), nullptr, nullptr) > 0 &&
            strcmp(szName, kSynthesizerName) == 0) {
            *pguidPort = caps.guidPort;
            return true;
        }
    }
}

HRESULT InitPerformanceAudio(const GUID &guidPort) {
    DMUS_AUDIOPARAMS params = {};
    params.dwSize = sizeof(params);
    params.fInitNow = FALSE;
    params.dwValidData = DMUS_AUDIOPARAMS_FEATURES | DMUS_AUDIOPARAMS_DEFAULTSYNTH;
    params.dwFeatures = DMUS_AUDIOF_ALL;
    params.dwVoices = 0;
    if (EngineVoices() > 0) { // a program's own choice; the dialog leaves it to the synthesizer
        params.dwValidData |= DMUS_AUDIOPARAMS_VOICES;
        params.dwVoices = static_cast<DWORD>(EngineVoices());
    }
    params.dwSampleRate = 0; // the synthesizer's default rate
    params.clsidDefaultSynth = guidPort;
    // The address of pDirectMusic: the performance uses the existing DirectMusic object.
    HRESULT hr = pPerformance->InitAudio(reinterpret_cast<IDirectMusic **>(&pDirectMusic), nullptr, nullptr,
                                         DMUS_APATH_DYNAMIC_MONO, kPChannels, DMUS_AUDIOF_ALL, &params);
    if (FAILED(hr)) {
        TraceFailure("pPerformance->InitAudio - FAILED", hr);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CreateAudioPathAndBuffer() {
    HRESULT hr = pPerformance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, kPChannels, TRUE, &pAudioPath);
    if (FAILED(hr)) {
        TraceFailure("pPerformance->CreateStandardAudioPath - FAILED", hr);
        return E_FAIL;
    }
    hr = pAudioPath->GetObjectInPath(DMUS_PCHANNEL_ALL, DMUS_PATH_BUFFER, 0, GUID_NULL, 0, IID_IDirectSoundBuffer8,
                                     reinterpret_cast<void **>(&pDirectSoundBufferInPath));
    if (FAILED(hr)) {
        TraceFailure("pAudioPath->GetObjectInPath - FAILED", hr);
    }
    return hr;
}

// The tool goes into the performance's graph; without a graph there is nothing to insert it into, and a play
// without the tool would ignore the tone and the muted instruments, so the set-up fails.
HRESULT InsertInstrumentTool() {
    HRESULT hr = pAudioPath->GetObjectInPath(0, DMUS_PATH_PERFORMANCE_GRAPH, 0, GUID_NULL, 0, IID_IDirectMusicGraph,
                                             reinterpret_cast<void **>(&pGraph));
    if (FAILED(hr) || pGraph == nullptr) {
        hr = FAILED(hr) ? hr : E_FAIL;
        TraceFailure("pAudioPath->GetObjectInPath(DMUS_PATH_PERFORMANCE_GRAPH) - FAILED", hr);
        return hr;
    }
    pInstrumentTool = new (std::nothrow) CInstrumentTool();
    if (pInstrumentTool == nullptr) {
        return E_OUTOFMEMORY;
    }
    hr = pGraph->InsertTool(pInstrumentTool, nullptr, 0, 0);
    if (FAILED(hr)) {
        TraceFailure("pGraph->InsertTool - FAILED", hr);
    }
    return hr;
}

} // namespace

HRESULT InitAudioPath() {
    if (pDirectMusic == nullptr || pPerformance == nullptr) {
        return E_FAIL;
    }
    // The previous set-up belonged to a performance that StopMidi has closed down.
    ReleaseAudioSetup();
    GUID guidPort = GUID_NULL;
    if (!FindSynthesizerPort(&guidPort)) {
        return E_FAIL;
    }
    HRESULT hr = InitPerformanceAudio(guidPort);
    if (SUCCEEDED(hr)) {
        hr = CreateAudioPathAndBuffer();
    }
    if (SUCCEEDED(hr)) {
        hr = InsertInstrumentTool();
    }
    if (FAILED(hr)) {
        return hr;
    }
    BOOL bAutoDownload = TRUE;
    hr = pPerformance->SetGlobalParam(GUID_PerfAutoDownload, &bAutoDownload, sizeof(bAutoDownload));
    if (FAILED(hr)) {
        TraceFailure("pPerformance->SetGlobalParam(GUID_PerfAutoDownload) - FAILED", hr);
        return E_FAIL;
    }
    return hr;
}
