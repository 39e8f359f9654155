// CAudioPath: finding the objects along the path and starting or stopping its buffer.
#include "audio_path.h"

#include "module.h"
#include "sound_buffer.h"
#include "tool_graph.h"

CAudioPath::CAudioPath(IDirectMusicPerformance8 *pPerformance, CToolGraph *pGraph, CSoundBuffer *pBuffer, bool bActive)
    : m_pPerformance(pPerformance), m_pGraph(pGraph), m_pBuffer(pBuffer), m_lVolume(0) {
    m_pPerformance->AddRef();
    m_pGraph->AddRef();
    m_pBuffer->AddRef();
    m_pBuffer->SetActive(bActive);
    ObjectCreated();
}

CAudioPath::~CAudioPath() {
    m_pBuffer->SetActive(false);
    m_pBuffer->Release();
    m_pGraph->Release();
    m_pPerformance->Release();
    ObjectDestroyed();
}

void *CAudioPath::InterfaceFor(REFIID riid) {
    return IsEqualIID(riid, IID_IDirectMusicAudioPath) ? static_cast<IDirectMusicAudioPath8 *>(this) : nullptr;
}

STDMETHODIMP CAudioPath::QueryInterface(REFIID riid, void **ppvObject) {
    if (ppvObject != nullptr && IsEqualIID(riid, IID_ITwAudioPath)) {
        *ppvObject = this;
        return S_OK;
    }
    return ComObject::QueryInterface(riid, ppvObject);
}

bool CAudioPath::Active() const {
    return m_pBuffer->Active();
}

STDMETHODIMP CAudioPath::GetObjectInPath(DWORD, DWORD dwStage, DWORD dwBuffer, REFGUID guidObject, WORD dwIndex,
                                         REFGUID iidInterface, void **ppObject) {
    if (ppObject == nullptr) {
        return E_POINTER;
    }
    *ppObject = nullptr;
    switch (dwStage) {
    case DMUS_PATH_BUFFER:
        return dwBuffer == 0 && dwIndex == 0 ? m_pBuffer->QueryInterface(iidInterface, ppObject) : DMUS_E_NOT_FOUND;
    case DMUS_PATH_BUFFER_DMO:
        return dwBuffer == 0 ? m_pBuffer->Effects().GetEffect(guidObject, dwIndex, iidInterface, ppObject)
                             : DMUS_E_NOT_FOUND;
    case DMUS_PATH_PERFORMANCE_GRAPH:
        return dwIndex == 0 ? m_pGraph->QueryInterface(iidInterface, ppObject) : DMUS_E_NOT_FOUND;
    case DMUS_PATH_PERFORMANCE:
        return dwIndex == 0 ? m_pPerformance->QueryInterface(iidInterface, ppObject) : DMUS_E_NOT_FOUND;
    case DMUS_PATH_AUDIOPATH:
        return dwIndex == 0 ? QueryInterface(iidInterface, ppObject) : DMUS_E_NOT_FOUND;
    default:
        return DMUS_E_NOT_FOUND;
    }
}

STDMETHODIMP CAudioPath::Activate(WINBOOL fActivate) {
    m_pBuffer->SetActive(fActivate != FALSE);
    return S_OK;
}

STDMETHODIMP CAudioPath::SetVolume(LONG lVolume, DWORD) {
    if (lVolume > 0 || lVolume < DSBVOLUME_MIN) {
        return E_INVALIDARG;
    }
    m_lVolume = lVolume;
    return S_OK;
}

STDMETHODIMP CAudioPath::ConvertPChannel(DWORD dwPChannelIn, DWORD *pdwPChannelOut) {
    if (pdwPChannelOut == nullptr) {
        return E_POINTER;
    }
    *pdwPChannelOut = dwPChannelIn; // one performance channel per MIDI channel, unchanged
    return S_OK;
}
