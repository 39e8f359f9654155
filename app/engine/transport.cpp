// Playback transport: load the MIDI file as a segment, play it once, report its end, stop, and tell the times.
#include "engine.h"

#include "engine_setup.h"
#include "engine_state.h"

namespace {

const REFERENCE_TIME kReferenceUnitsPerSecond = 10000000; // 100-ns units
const DWORD kAllTrackGroups = 0xFFFFFFFF;

} // namespace

HRESULT LoadMidiFile(const char *pszPath) {
    if (pLoader == nullptr || pszPath == nullptr) {
        return E_FAIL;
    }
    DMUS_OBJECTDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.guidClass = CLSID_DirectMusicSegment;
    desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FILENAME;
    // A path that does not fit the description would load a cut-off name: refuse it instead.
    if (MultiByteToWideChar(CP_ACP, 0, pszPath, -1, desc.wszFileName, DMUS_MAX_FILENAME) == 0) {
        HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
        TraceFailure("MultiByteToWideChar - FAILED", hr);
        return hr;
    }
    ReleaseAndClear(pSegment);
    HRESULT hr = pLoader->GetObject(&desc, IID_IDirectMusicSegment8, reinterpret_cast<void **>(&pSegment));
    if (FAILED(hr)) {
        pSegment = nullptr;
        TraceFailure("pLoader->GetObject - FAILED", hr);
        return hr;
    }
    // General MIDI behaviour for the segment.
    hr = pSegment->SetParam(GUID_StandardMIDIFile, kAllTrackGroups, 0, 0, nullptr);
    if (FAILED(hr)) {
        TraceFailure("pSegment->SetParam - FAILED", hr);
    }
    return hr;
}

HRESULT PlayMidiFile(BOOL bNotify) {
    if (pPerformance == nullptr || pSegment == nullptr) {
        return E_FAIL;
    }
    pSegment->SetRepeats(0);
    HRESULT hr;
    if (bNotify) {
        hr = pPerformance->AddNotificationType(GUID_NOTIFICATION_SEGMENT);
        if (FAILED(hr)) {
            TraceFailure("pPerformance->AddNotificationType - FAILED", hr);
            return hr;
        }
    }
    ReleaseAndClear(pSegmentState);
    hr = pPerformance->PlaySegmentEx(pSegment, nullptr, nullptr, DMUS_SEGF_SECONDARY | DMUS_SEGF_CONTROL, 0,
                                     &pSegmentState, nullptr, pAudioPath);
    if (FAILED(hr)) {
        TraceFailure("pPerformance->PlaySegment - FAILED", hr);
    }
    return hr;
}

// The message is the performance's: it is freed once its option has been read.
int GetSegmentNotification() {
    if (pPerformance == nullptr) {
        return -1;
    }
    DMUS_NOTIFICATION_PMSG *pMsg = nullptr;
    HRESULT hr = pPerformance->GetNotificationPMsg(&pMsg);
    if (FAILED(hr)) {
        TraceFailure("pPerformance->GetNotificationPMsg - FAILED", hr);
        return -1;
    }
    if (hr != S_OK || pMsg == nullptr) {
        return -1;
    }
    int nOption = static_cast<int>(pMsg->dwNotificationOption);
    pPerformance->FreePMsg(reinterpret_cast<DMUS_PMSG *>(pMsg));
    return nOption;
}

HRESULT RemoveSegmentNotification() {
    if (pPerformance == nullptr) {
        return E_FAIL;
    }
    HRESULT hr = pPerformance->RemoveNotificationType(GUID_NOTIFICATION_SEGMENT);
    if (FAILED(hr)) {
        TraceFailure("pPerformance->RemoveNotificationType - FAILED", hr);
    }
    return hr;
}

HRESULT StopMidi() {
    if (pPerformance == nullptr) {
        return E_FAIL;
    }
    HRESULT hr = pPerformance->Stop(nullptr, nullptr, 0, 0);
    if (FAILED(hr)) {
        TraceFailure("pPerformance->Stop - FAILED", hr);
        return hr;
    }
    hr = pPerformance->CloseDown();
    if (FAILED(hr)) {
        TraceFailure("pPerformance->CloseDown - FAILED", hr);
    }
    return hr;
}

int GetPlayTimeSeconds() {
    if (pPerformance == nullptr) {
        return 0;
    }
    REFERENCE_TIME rtNow = 0;
    pPerformance->GetTime(&rtNow, nullptr);
    return static_cast<int>(rtNow / kReferenceUnitsPerSecond);
}

int GetSegmentEndSeconds() {
    if (pPerformance == nullptr || pSegment == nullptr) {
        return 0;
    }
    MUSIC_TIME mtLength = 0;
    pSegment->GetLength(&mtLength);
    REFERENCE_TIME rtEnd = 0;
    pPerformance->MusicToReferenceTime(mtLength, &rtEnd);
    return static_cast<int>(rtEnd / kReferenceUnitsPerSecond);
}
