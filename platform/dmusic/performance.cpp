// CPerformance: InitAudio and CloseDown, audio paths, global parameters, playing and stopping, the clock,
// and segment notifications.
#include "performance.h"

#include <new>

#include "audio_path.h"
#include "dmusic_object.h"
#include "module.h"
#include "segment.h"
#include "sound_buffer.h"
#include "synth_host.h"
#include "tool_graph.h"

namespace {

// One synthesizer plays for one performance at a time; a second that tries to play is told the synthesizer is
// busy ("The requested resource is in use.").
const HRESULT kAnotherPerformancePlays = HRESULT_FROM_WIN32(ERROR_BUSY);

#ifndef _WIN64
static_assert(sizeof(DMUS_AUDIOPARAMS) == 40, "DMUS_AUDIOPARAMS is 40 bytes on Win32");
#endif

const int64_t kReferencePerQuarterAt120 = 5000000; // half a second: the tempo of a segment without one

bool IsStandardPathType(DWORD dwType) {
    return dwType == DMUS_APATH_SHARED_STEREOPLUSREVERB || dwType == DMUS_APATH_DYNAMIC_3D ||
           dwType == DMUS_APATH_DYNAMIC_MONO || dwType == DMUS_APATH_DYNAMIC_STEREO;
}

// In the test build of this DLL only: with TW_DMUSIC_FAIL_STOP in the environment, stopping a segment that plays
// fails and leaves it playing, so that the callers' handling of a failed stop can be tested end to end.
bool StopFailsWhilePlaying() {
#ifdef TW_DMUSIC_TEST_FAULTS
    return GetEnvironmentVariableA("TW_DMUSIC_FAIL_STOP", nullptr, 0) != 0;
#else
    return false;
#endif
}

} // namespace

CPerformance::CPerformance()
    : m_bInitialized(false), m_pDirectMusic(nullptr), m_pSynth(nullptr), m_pGraph(nullptr), m_bridge(*this),
      m_apQueue(), m_nQueueHead(0), m_nQueueCount(0), m_pRouted(nullptr), m_delivered(), m_dwRenderThread(0),
      m_lMasterVolume(0), m_fMasterTempo(1.0f), m_bAutoDownload(FALSE), m_nNotifySegments(0), m_aNotifications(),
      m_nNotifyWrite(0), m_nNotifyRead(0), m_hNotificationEvent(nullptr), m_pSession(nullptr),
      m_pClockSegment(nullptr) {
    ObjectCreated();
}

CPerformance::~CPerformance() {
    Uninitialize();
    ObjectDestroyed();
}

void *CPerformance::InterfaceFor(REFIID riid) {
    return tw::com::IsAnyOf(
               riid, {&IID_IDirectMusicPerformance, &IID_IDirectMusicPerformance2, &IID_IDirectMusicPerformance8})
               ? static_cast<IDirectMusicPerformance8 *>(this)
               : nullptr;
}

STDMETHODIMP CPerformance::Init(IDirectMusic **ppDirectMusic, LPDIRECTSOUND, HWND hWnd) {
    return InitAudio(ppDirectMusic, nullptr, hWnd, 0, 0, DMUS_AUDIOF_ALL, nullptr);
}

STDMETHODIMP CPerformance::InitAudio(IDirectMusic **ppDirectMusic, IDirectSound **, HWND, DWORD, DWORD, DWORD,
                                     DMUS_AUDIOPARAMS *pParams) {
    if (m_bInitialized) {
        return DMUS_E_ALREADY_INITED;
    }
    if (pParams != nullptr && pParams->dwSize < sizeof(DMUS_AUDIOPARAMS)) {
        return E_INVALIDARG;
    }
    if (!m_pool.Ready()) {
        return E_OUTOFMEMORY;
    }
    bool bVoices = pParams != nullptr && (pParams->dwValidData & DMUS_AUDIOPARAMS_VOICES) != 0;
    m_pSynth = AcquireSynth(bVoices ? static_cast<int>(pParams->dwVoices) : 0);
    if (m_pSynth == nullptr) {
        return DMUS_E_SYNTHNOTCONFIGURED;
    }
    m_pGraph = new (std::nothrow) CToolGraph();
    if (m_pGraph == nullptr) {
        ReleaseSynth();
        m_pSynth = nullptr;
        return E_OUTOFMEMORY;
    }
    if (ppDirectMusic != nullptr && *ppDirectMusic != nullptr) {
        m_pDirectMusic = *ppDirectMusic;
        m_pDirectMusic->AddRef();
    } else {
        m_pDirectMusic = new (std::nothrow) CDirectMusic();
        if (m_pDirectMusic != nullptr && ppDirectMusic != nullptr) {
            *ppDirectMusic = m_pDirectMusic;
            m_pDirectMusic->AddRef();
        }
    }
    if (pParams != nullptr) { // the synthesizer's own figures, whatever was asked
        pParams->dwSampleRate = static_cast<DWORD>(m_pSynth->sampleRate());
        pParams->dwVoices = static_cast<DWORD>(m_pSynth->maxVoices());
        pParams->clsidDefaultSynth = CLSID_DirectMusicSynth;
    }
    m_bInitialized = true;
    return S_OK;
}

STDMETHODIMP CPerformance::CreateStandardAudioPath(DWORD dwType, DWORD, WINBOOL fActivate,
                                                   IDirectMusicAudioPath **ppNewPath) {
    if (ppNewPath == nullptr) {
        return E_POINTER;
    }
    *ppNewPath = nullptr;
    if (!m_bInitialized) {
        return DMUS_E_NOT_INIT;
    }
    if (!IsStandardPathType(dwType)) {
        return E_INVALIDARG;
    }
    CSoundBuffer *pBuffer = new (std::nothrow) CSoundBuffer(static_cast<DWORD>(m_pSynth->sampleRate()));
    if (pBuffer == nullptr) {
        return E_OUTOFMEMORY;
    }
    CAudioPath *pPath = new (std::nothrow) CAudioPath(this, m_pGraph, pBuffer, fActivate != FALSE);
    pBuffer->Release();
    if (pPath == nullptr) {
        return E_OUTOFMEMORY;
    }
    *ppNewPath = pPath;
    return S_OK;
}

STDMETHODIMP CPerformance::GetGraph(IDirectMusicGraph **ppGraph) {
    if (ppGraph == nullptr) {
        return E_POINTER;
    }
    *ppGraph = nullptr;
    if (!m_bInitialized) {
        return DMUS_E_NOT_INIT;
    }
    *ppGraph = m_pGraph;
    m_pGraph->AddRef();
    return S_OK;
}

STDMETHODIMP CPerformance::CloseDown() {
    Uninitialize();
    return S_OK;
}

// Everything InitAudio set up goes; the graph's tools are dropped even where a caller still holds the graph,
// so the next set-up starts with a graph of its own.
void CPerformance::Uninitialize() {
    StopPlaying();
    if (m_pClockSegment != nullptr) {
        m_pClockSegment->Release();
        m_pClockSegment = nullptr;
    }
    if (m_pGraph != nullptr) {
        m_pGraph->RemoveAllTools();
        m_pGraph->Release();
        m_pGraph = nullptr;
    }
    if (m_pDirectMusic != nullptr) {
        m_pDirectMusic->Release();
        m_pDirectMusic = nullptr;
    }
    // Notification types belong to one set-up: a play after the next InitAudio reports only if asked again.
    InterlockedExchange(&m_nNotifySegments, 0);
    m_nNotifyRead = m_nNotifyWrite;
    if (m_pSynth != nullptr) {
        ReleaseSynth();
    }
    m_pSynth = nullptr;
    m_bInitialized = false;
}

STDMETHODIMP CPerformance::SetGlobalParam(REFGUID rguidType, void *pParam, DWORD dwSize) {
    if (pParam == nullptr) {
        return E_POINTER;
    }
    if (IsEqualGUID(rguidType, GUID_PerfMasterVolume)) {
        if (dwSize != sizeof(long)) {
            return E_INVALIDARG;
        }
        InterlockedExchange(&m_lMasterVolume, *static_cast<long *>(pParam));
        if (m_pSession != nullptr) {
            m_pSession->SetMasterVolume(m_lMasterVolume);
        }
        return S_OK;
    }
    if (IsEqualGUID(rguidType, GUID_PerfMasterTempo)) {
        float fTempo = *static_cast<float *>(pParam);
        if (dwSize != sizeof(float) || !(fTempo >= DMUS_MASTERTEMPO_MIN && fTempo <= DMUS_MASTERTEMPO_MAX)) {
            return E_INVALIDARG;
        }
        m_fMasterTempo = fTempo; // a play takes it when it starts
        return S_OK;
    }
    if (IsEqualGUID(rguidType, GUID_PerfAutoDownload)) {
        if (dwSize != sizeof(BOOL)) {
            return E_INVALIDARG;
        }
        m_bAutoDownload = *static_cast<BOOL *>(pParam); // every instrument is always there
        return S_OK;
    }
    return DMUS_E_TYPE_UNSUPPORTED;
}

STDMETHODIMP CPerformance::GetGlobalParam(REFGUID rguidType, void *pParam, DWORD dwSize) {
    if (pParam == nullptr) {
        return E_POINTER;
    }
    if (IsEqualGUID(rguidType, GUID_PerfMasterVolume) && dwSize == sizeof(long)) {
        *static_cast<long *>(pParam) = m_lMasterVolume;
    } else if (IsEqualGUID(rguidType, GUID_PerfMasterTempo) && dwSize == sizeof(float)) {
        *static_cast<float *>(pParam) = m_fMasterTempo;
    } else if (IsEqualGUID(rguidType, GUID_PerfAutoDownload) && dwSize == sizeof(BOOL)) {
        *static_cast<BOOL *>(pParam) = m_bAutoDownload;
    } else if (IsEqualGUID(rguidType, GUID_PerfMasterVolume) || IsEqualGUID(rguidType, GUID_PerfMasterTempo) ||
               IsEqualGUID(rguidType, GUID_PerfAutoDownload)) {
        return E_INVALIDARG;
    } else {
        return DMUS_E_TYPE_UNSUPPORTED;
    }
    return S_OK;
}

STDMETHODIMP CPerformance::PlaySegment(IDirectMusicSegment *pSegment, DWORD dwFlags, __int64 i64StartTime,
                                       IDirectMusicSegmentState **ppSegmentState) {
    return PlaySegmentEx(pSegment, nullptr, nullptr, dwFlags, i64StartTime, ppSegmentState, nullptr, nullptr);
}

// One segment plays at a time: a new play replaces the one before. Flags and start time are not looked at:
// the segment starts at once, at reference time 0 of the performance's clock.
STDMETHODIMP CPerformance::PlaySegmentEx(IUnknown *pSource, WCHAR *, IUnknown *, DWORD, __int64,
                                         IDirectMusicSegmentState **ppSegmentState, IUnknown *, IUnknown *pAudioPath) {
    if (ppSegmentState != nullptr) {
        *ppSegmentState = nullptr;
    }
    if (!m_bInitialized) {
        return DMUS_E_NOT_INIT;
    }
    if (pSource == nullptr) {
        return E_POINTER;
    }
    CSegment *pSegment = nullptr;
    if (FAILED(pSource->QueryInterface(IID_ITwSegment, reinterpret_cast<void **>(&pSegment)))) {
        return E_INVALIDARG;
    }
    CAudioPath *pPath = nullptr;
    if (pAudioPath != nullptr &&
        FAILED(pAudioPath->QueryInterface(IID_ITwAudioPath, reinterpret_cast<void **>(&pPath)))) {
        return E_INVALIDARG;
    }
    if (pPath != nullptr && !pPath->Active()) {
        return DMUS_E_AUDIOPATH_INACTIVE;
    }
    CSegmentState *pState = nullptr;
    if (ppSegmentState != nullptr) {
        pState = new (std::nothrow) CSegmentState(pSegment);
        if (pState == nullptr) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT hr = StartSession(pSegment, pPath != nullptr ? pPath->Buffer() : nullptr);
    if (FAILED(hr)) {
        if (pState != nullptr) {
            pState->Release();
        }
        return hr;
    }
    if (ppSegmentState != nullptr) {
        *ppSegmentState = pState;
    }
    return S_OK;
}

HRESULT CPerformance::StartSession(CSegment *pSegment, CSoundBuffer *pBuffer) {
    StopPlaying();
    if (!ClaimSynth()) {
        DebugLine("another performance is playing: one plays at a time");
        return kAnotherPerformancePlays;
    }
    pSegment->AddRef();
    if (m_pClockSegment != nullptr) {
        m_pClockSegment->Release();
    }
    m_pClockSegment = pSegment;
    pSegment->Model().setTempoFactor(m_fMasterTempo);
    m_nNotifyRead = m_nNotifyWrite;
    m_pSession =
        new (std::nothrow) CPlaySession(*m_pSynth, pSegment->Model(), m_bridge, pBuffer, m_lMasterVolume, *this);
    HRESULT hr = m_pSession != nullptr ? m_pSession->Start() : E_OUTOFMEMORY;
    if (FAILED(hr)) {
        delete m_pSession;
        m_pSession = nullptr;
        ReleaseSynthClaim();
    }
    return hr;
}

void CPerformance::StopPlaying() {
    if (m_pSession == nullptr) {
        return;
    }
    m_pSession->Stop();
    delete m_pSession;
    m_pSession = nullptr;
    ReleaseSynthClaim();
}

STDMETHODIMP CPerformance::Stop(IDirectMusicSegment *, IDirectMusicSegmentState *, MUSIC_TIME, DWORD) {
    if (m_pSession != nullptr && StopFailsWhilePlaying()) {
        return E_FAIL;
    }
    StopPlaying();
    return S_OK;
}

STDMETHODIMP CPerformance::StopEx(IUnknown *, __int64, DWORD) {
    StopPlaying();
    return S_OK;
}

STDMETHODIMP CPerformance::IsPlaying(IDirectMusicSegment *, IDirectMusicSegmentState *) {
    return m_pSession != nullptr && !m_pSession->Finished() ? S_OK : S_FALSE;
}

STDMETHODIMP CPerformance::GetTime(REFERENCE_TIME *prtNow, MUSIC_TIME *pmtNow) {
    REFERENCE_TIME rtNow = m_pSession != nullptr ? m_pSession->Now() : 0;
    if (prtNow != nullptr) {
        *prtNow = rtNow;
    }
    if (pmtNow != nullptr) {
        ReferenceToMusicTime(rtNow, pmtNow);
    }
    return S_OK;
}

STDMETHODIMP CPerformance::GetLatencyTime(REFERENCE_TIME *prtTime) {
    if (prtTime == nullptr) {
        return E_POINTER;
    }
    return GetTime(prtTime, nullptr);
}

STDMETHODIMP CPerformance::GetQueueTime(REFERENCE_TIME *prtTime) {
    return GetLatencyTime(prtTime);
}

STDMETHODIMP CPerformance::MusicToReferenceTime(MUSIC_TIME mtTime, REFERENCE_TIME *prtTime) {
    if (prtTime == nullptr) {
        return E_POINTER;
    }
    if (m_pClockSegment != nullptr) {
        *prtTime = m_pClockSegment->Model().tempoMap().toReference(m_pClockSegment->MusicToTicks(mtTime));
    } else {
        *prtTime = static_cast<REFERENCE_TIME>(static_cast<double>(mtTime) * kReferencePerQuarterAt120 / DMUS_PPQ /
                                               m_fMasterTempo);
    }
    return S_OK;
}

STDMETHODIMP CPerformance::ReferenceToMusicTime(REFERENCE_TIME rtTime, MUSIC_TIME *pmtTime) {
    if (pmtTime == nullptr) {
        return E_POINTER;
    }
    if (m_pClockSegment != nullptr) {
        *pmtTime = m_pClockSegment->TicksToMusic(m_pClockSegment->Model().tempoMap().toTick(rtTime));
    } else {
        *pmtTime = static_cast<MUSIC_TIME>(static_cast<double>(rtTime) * DMUS_PPQ * m_fMasterTempo /
                                           kReferencePerQuarterAt120);
    }
    return S_OK;
}

STDMETHODIMP CPerformance::SetNotificationHandle(HANDLE hNotification, REFERENCE_TIME) {
    m_hNotificationEvent = hNotification;
    return S_OK;
}

STDMETHODIMP CPerformance::AddNotificationType(REFGUID rguidNotificationType) {
    if (!IsEqualGUID(rguidNotificationType, GUID_NOTIFICATION_SEGMENT)) {
        return E_NOTIMPL;
    }
    InterlockedExchange(&m_nNotifySegments, 1);
    return S_OK;
}

STDMETHODIMP CPerformance::RemoveNotificationType(REFGUID rguidNotificationType) {
    if (!IsEqualGUID(rguidNotificationType, GUID_NOTIFICATION_SEGMENT)) {
        return S_FALSE;
    }
    return InterlockedExchange(&m_nNotifySegments, 0) != 0 ? S_OK : S_FALSE;
}

void CPerformance::OnSegmentEvent(DWORD dwOption, int64_t rtTime) {
    if (m_nNotifySegments == 0 || m_nNotifyWrite - m_nNotifyRead >= static_cast<LONG>(kNotificationSlots)) {
        return;
    }
    Notification &slot = m_aNotifications[m_nNotifyWrite % kNotificationSlots];
    slot.dwOption = dwOption;
    slot.rtTime = rtTime;
    InterlockedIncrement(&m_nNotifyWrite);
    if (m_hNotificationEvent != nullptr) {
        SetEvent(m_hNotificationEvent);
    }
}

// The message is the caller's to free with FreePMsg.
STDMETHODIMP CPerformance::GetNotificationPMsg(DMUS_NOTIFICATION_PMSG **ppNotificationPMsg) {
    if (ppNotificationPMsg == nullptr) {
        return E_POINTER;
    }
    *ppNotificationPMsg = nullptr;
    if (m_nNotifyRead == m_nNotifyWrite) {
        return S_FALSE;
    }
    const Notification &slot = m_aNotifications[m_nNotifyRead % kNotificationSlots];
    DMUS_NOTIFICATION_PMSG *pMsg =
        reinterpret_cast<DMUS_NOTIFICATION_PMSG *>(m_pool.Alloc(sizeof(DMUS_NOTIFICATION_PMSG), false));
    if (pMsg == nullptr) {
        return E_OUTOFMEMORY;
    }
    pMsg->rtTime = slot.rtTime;
    ReferenceToMusicTime(slot.rtTime, &pMsg->mtTime);
    pMsg->dwFlags = DMUS_PMSGF_REFTIME | DMUS_PMSGF_MUSICTIME;
    pMsg->dwType = DMUS_PMSGT_NOTIFICATION;
    pMsg->guidNotificationType = GUID_NOTIFICATION_SEGMENT;
    pMsg->dwNotificationOption = slot.dwOption;
    InterlockedIncrement(&m_nNotifyRead);
    *ppNotificationPMsg = pMsg;
    return S_OK;
}
