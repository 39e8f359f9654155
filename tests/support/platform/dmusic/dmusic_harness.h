// Drives the DirectMusic classes exactly as the engine does (CoCreateInstance through the manifest), with a
// recording tool, MIDI files written for the test and level measurements of what the test effect captured.
#pragma once

#include <windows.h>

#include <dmusicc.h>
#include <dmusici.h>
#include <dsound.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "support/core/smf/smf_builder.h"
#include "support/platform/dmusic/test_effect.h"

namespace dmtest {

// One MIDI event with its delta time (any size) for smftest::Track.
inline void AddEvent(smftest::Bytes &track, uint32_t delta, std::initializer_list<uint8_t> bytes) {
    uint8_t vlq[5];
    int n = 0;
    vlq[n++] = delta & 0x7F;
    while (delta >>= 7) {
        vlq[n++] = static_cast<uint8_t>(0x80 | (delta & 0x7F));
    }
    while (n > 0) {
        track.push_back(vlq[--n]);
    }
    track.insert(track.end(), bytes);
}

// A format 0 file at 96 ticks per quarter (120 bpm: 0.5 s per quarter) written to the scratch folder.
inline std::string WriteMidi(const std::string &name, const smftest::Bytes &events) {
    return smftest::WriteTempFile(name, smftest::SingleTrack(events));
}

inline std::wstring Wide(const std::string &text) {
    return std::wstring(text.begin(), text.end());
}

// What a tool saw, in order.
struct Seen {
    DWORD dwType;
    DWORD dwPChannel;
    int value; // note: bMidiValue; patch: byInstrument
};

// Records every message after the tools before it and passes it on, or drops notes when told to. With
// media types it asks the graph for those only.
class CRecordingTool final : public IDirectMusicTool {
public:
    explicit CRecordingTool(bool bFreeNotes = false, std::vector<DWORD> mediaTypes = {})
        : m_bFreeNotes(bFreeNotes), m_mediaTypes(mediaTypes) {
        seen.reserve(4096);
    }
    std::vector<Seen> seen;

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDirectMusicTool)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return m_ref.Add(); }
    STDMETHODIMP_(ULONG) Release() override { return m_ref.Drop(this); }
    STDMETHODIMP Init(IDirectMusicGraph *) override { return E_NOTIMPL; }
    STDMETHODIMP GetMsgDeliveryType(DWORD *p) override {
        *p = DMUS_PMSGF_TOOL_IMMEDIATE;
        return S_OK;
    }
    STDMETHODIMP GetMediaTypeArraySize(DWORD *p) override {
        *p = static_cast<DWORD>(m_mediaTypes.size()); // 0: every type
        return S_OK;
    }
    STDMETHODIMP GetMediaTypes(DWORD **padwTypes, DWORD dwCount) override {
        if (dwCount != m_mediaTypes.size()) {
            return E_FAIL;
        }
        std::copy(m_mediaTypes.begin(), m_mediaTypes.end(), reinterpret_cast<DWORD *>(padwTypes));
        return S_OK;
    }
    STDMETHODIMP ProcessPMsg(IDirectMusicPerformance *, DMUS_PMSG *p) override {
        if (p->dwType == DMUS_PMSGT_NOTE) {
            seen.push_back({p->dwType, p->dwPChannel, reinterpret_cast<DMUS_NOTE_PMSG *>(p)->bMidiValue});
        } else if (p->dwType == DMUS_PMSGT_PATCH) {
            seen.push_back({p->dwType, p->dwPChannel, reinterpret_cast<DMUS_PATCH_PMSG *>(p)->byInstrument});
        }
        if (m_bFreeNotes && p->dwType == DMUS_PMSGT_NOTE) {
            return DMUS_S_FREE;
        }
        if (p->pGraph == nullptr || FAILED(p->pGraph->StampPMsg(p))) {
            return DMUS_S_FREE;
        }
        return DMUS_S_REQUEUE;
    }
    STDMETHODIMP Flush(IDirectMusicPerformance *, DMUS_PMSG *, REFERENCE_TIME) override { return S_OK; }

private:
    RefCount m_ref;
    bool m_bFreeNotes;
    std::vector<DWORD> m_mediaTypes;
};

// COM stays initialised for the whole test program: the test effect's class registration lives as long.
struct ComForTheProcess {
    ComForTheProcess() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
};
inline ComForTheProcess g_comForTheProcess;

template <class T> void SafeRelease(T *&p) {
    if (p != nullptr) {
        p->Release();
        p = nullptr;
    }
}

// The engine's objects and its calls, in its order.
struct Engine {
    IDirectMusic8 *pDirectMusic = nullptr;
    IDirectMusicPerformance8 *pPerformance = nullptr;
    IDirectMusicLoader8 *pLoader = nullptr;
    IDirectMusicSegment8 *pSegment = nullptr;
    IDirectMusicSegmentState *pSegmentState = nullptr;
    IDirectMusicAudioPath8 *pAudioPath = nullptr;
    IDirectSoundBuffer8 *pBuffer = nullptr;
    IDirectMusicGraph *pGraph = nullptr;

    Engine() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    ~Engine() {
        if (pPerformance != nullptr) {
            pPerformance->Stop(nullptr, nullptr, 0, 0);
            pPerformance->CloseDown();
        }
        SafeRelease(pSegmentState);
        SafeRelease(pGraph);
        SafeRelease(pBuffer);
        SafeRelease(pAudioPath);
        SafeRelease(pSegment);
        SafeRelease(pLoader);
        SafeRelease(pPerformance);
        SafeRelease(pDirectMusic);
        CoUninitialize();
    }

    HRESULT Create() {
        HRESULT hr = CoCreateInstance(CLSID_DirectMusic, nullptr, CLSCTX_INPROC, IID_IDirectMusic8,
                                      reinterpret_cast<void **>(&pDirectMusic));
        if (SUCCEEDED(hr)) {
            hr = pDirectMusic->SetDirectSound(nullptr, GetDesktopWindow());
        }
        if (SUCCEEDED(hr)) {
            hr = CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
                                  reinterpret_cast<void **>(&pPerformance));
        }
        if (SUCCEEDED(hr)) {
            hr = CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8,
                                  reinterpret_cast<void **>(&pLoader));
        }
        return hr;
    }

    bool FindPort(GUID &guidPort) {
        for (DWORD i = 0;; ++i) {
            DMUS_PORTCAPS caps = {};
            caps.dwSize = sizeof(caps);
            if (pDirectMusic->EnumPort(i, &caps) != S_OK) {
                return false;
            }
            if ((caps.dwFlags & (DMUS_PC_DLS | DMUS_PC_DLS2)) && caps.dwClass == DMUS_PC_OUTPUTCLASS &&
                (caps.dwFlags & DMUS_PC_AUDIOPATH) && lstrcmpW(caps.wszDescription, L"Microsoft Synthesizer") == 0) {
                guidPort = caps.guidPort;
                return true;
            }
        }
    }

    // InitAudioPath with the given tools inserted in order (the engine inserts one, at index 0).
    HRESULT InitAudioPath(std::initializer_list<IDirectMusicTool *> tools) {
        GUID guidPort;
        if (!FindPort(guidPort)) {
            return E_FAIL;
        }
        DMUS_AUDIOPARAMS params = {};
        params.dwSize = sizeof(params);
        params.dwValidData = DMUS_AUDIOPARAMS_FEATURES | DMUS_AUDIOPARAMS_DEFAULTSYNTH;
        params.dwFeatures = DMUS_AUDIOF_ALL;
        params.clsidDefaultSynth = guidPort;
        HRESULT hr = pPerformance->InitAudio(reinterpret_cast<IDirectMusic **>(&pDirectMusic), nullptr, nullptr,
                                             DMUS_APATH_DYNAMIC_MONO, 64, DMUS_AUDIOF_ALL, &params);
        if (FAILED(hr)) {
            return hr;
        }
        SafeRelease(pAudioPath);
        SafeRelease(pBuffer);
        SafeRelease(pGraph);
        hr = pPerformance->CreateStandardAudioPath(DMUS_APATH_DYNAMIC_STEREO, 64, TRUE, &pAudioPath);
        if (FAILED(hr)) {
            return hr;
        }
        hr = pAudioPath->GetObjectInPath(DMUS_PCHANNEL_ALL, DMUS_PATH_BUFFER, 0, GUID_NULL, 0, IID_IDirectSoundBuffer8,
                                         reinterpret_cast<void **>(&pBuffer));
        if (FAILED(hr)) {
            return hr;
        }
        hr = pAudioPath->GetObjectInPath(0, DMUS_PATH_PERFORMANCE_GRAPH, 0, GUID_NULL, 0, IID_IDirectMusicGraph,
                                         reinterpret_cast<void **>(&pGraph));
        if (FAILED(hr)) {
            return hr;
        }
        LONG lIndex = 0;
        for (IDirectMusicTool *pTool : tools) {
            hr = pGraph->InsertTool(pTool, nullptr, 0, lIndex++);
            if (FAILED(hr)) {
                return hr;
            }
        }
        BOOL bAuto = TRUE;
        return pPerformance->SetGlobalParam(GUID_PerfAutoDownload, &bAuto, sizeof(bAuto));
    }

    HRESULT SetVolumeAndTempo(long lHundredthsDb, float fTempo) {
        HRESULT hr = pPerformance->SetGlobalParam(GUID_PerfMasterVolume, &lHundredthsDb, sizeof(lHundredthsDb));
        return SUCCEEDED(hr) ? pPerformance->SetGlobalParam(GUID_PerfMasterTempo, &fTempo, sizeof(fTempo)) : hr;
    }

    HRESULT Load(const std::string &path) {
        DMUS_OBJECTDESC desc = {};
        desc.dwSize = sizeof(desc);
        desc.guidClass = CLSID_DirectMusicSegment;
        desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FILENAME;
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, desc.wszFileName, DMUS_MAX_FILENAME);
        SafeRelease(pSegment);
        HRESULT hr = pLoader->GetObject(&desc, IID_IDirectMusicSegment8, reinterpret_cast<void **>(&pSegment));
        if (FAILED(hr)) {
            return hr;
        }
        return pSegment->SetParam(GUID_StandardMIDIFile, 0xFFFFFFFF, 0, 0, nullptr);
    }

    // SetFilter: the path stopped, the test effect placed on the buffer, the path started again.
    HRESULT SetEffect() {
        RegisterTestEffect();
        g_capture.Clear();
        pAudioPath->Activate(FALSE);
        DSEFFECTDESC desc = {sizeof(DSEFFECTDESC), DSFX_LOCSOFTWARE, kTestEffectClsid, 0, 0};
        DWORD dwResult = 0;
        HRESULT hr = pBuffer->SetFX(1, &desc, &dwResult);
        if (SUCCEEDED(hr)) {
            pAudioPath->Activate(TRUE);
        }
        return hr;
    }

    HRESULT Play(bool bNotify) {
        pSegment->SetRepeats(0);
        if (bNotify) {
            HRESULT hr = pPerformance->AddNotificationType(GUID_NOTIFICATION_SEGMENT);
            if (FAILED(hr)) {
                return hr;
            }
        }
        SafeRelease(pSegmentState);
        return pPerformance->PlaySegmentEx(pSegment, nullptr, nullptr, DMUS_SEGF_SECONDARY | DMUS_SEGF_CONTROL, 0,
                                           &pSegmentState, nullptr, pAudioPath);
    }

    // The notification options in the order they came, until SEGEND (or the time limit).
    std::vector<DWORD> WaitForEnd(DWORD dwLimitMs = 60000, size_t *pFramesAtAlmostEnd = nullptr) {
        std::vector<DWORD> options;
        DWORD dwStart = GetTickCount();
        while (GetTickCount() - dwStart < dwLimitMs) {
            DMUS_NOTIFICATION_PMSG *pMsg = nullptr;
            if (pPerformance->GetNotificationPMsg(&pMsg) == S_OK) {
                options.push_back(pMsg->dwNotificationOption);
                if (pMsg->dwNotificationOption == DMUS_NOTIFICATION_SEGALMOSTEND && pFramesAtAlmostEnd != nullptr) {
                    *pFramesAtAlmostEnd = g_capture.Frames();
                }
                pPerformance->FreePMsg(reinterpret_cast<DMUS_PMSG *>(pMsg));
                if (options.back() == DMUS_NOTIFICATION_SEGEND) {
                    break;
                }
            } else {
                Sleep(10);
            }
        }
        return options;
    }

    void StopMidi() {
        pPerformance->Stop(nullptr, nullptr, 0, 0);
        pPerformance->CloseDown();
    }
};

// Level of one channel of the capture over [first, last) frames, in dB relative to full scale.
inline double RmsDb(const std::vector<int16_t> &samples, size_t first = 0, size_t last = SIZE_MAX) {
    last = std::min(last, samples.size() / 2);
    double sum = 0;
    for (size_t i = first; i < last; ++i) {
        double v = samples[2 * i] / 32768.0;
        sum += v * v;
    }
    return last > first && sum > 0 ? 10 * std::log10(sum / (last - first)) : -400.0;
}

inline int Peak(const std::vector<int16_t> &samples) {
    int peak = 0;
    for (int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

} // namespace dmtest
