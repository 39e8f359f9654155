// CSoundBuffer: format and status answers, SetFX onto the effect chain, and access to the effects.
#include "sound_buffer.h"

#include <dmusici.h>

#include "module.h"

namespace {

const WORD kChannels = 2;
const WORD kBitsPerSample = 16;

} // namespace

CSoundBuffer::CSoundBuffer(DWORD dwSampleRate) : m_nInUse(0), m_bActive(false), m_lVolume(0), m_lPan(0) {
    ZeroMemory(&m_format, sizeof(m_format));
    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = kChannels;
    m_format.nSamplesPerSec = dwSampleRate;
    m_format.wBitsPerSample = kBitsPerSample;
    m_format.nBlockAlign = kChannels * kBitsPerSample / 8;
    m_format.nAvgBytesPerSec = dwSampleRate * m_format.nBlockAlign;
    ObjectCreated();
}

CSoundBuffer::~CSoundBuffer() {
    ObjectDestroyed();
}

void *CSoundBuffer::InterfaceFor(REFIID riid) {
    return tw::com::IsAnyOf(riid, {&IID_IDirectSoundBuffer, &IID_IDirectSoundBuffer8})
               ? static_cast<IDirectSoundBuffer8 *>(this)
               : nullptr;
}

STDMETHODIMP CSoundBuffer::GetCaps(LPDSBCAPS lpDSBufferCaps) {
    if (lpDSBufferCaps == nullptr || lpDSBufferCaps->dwSize < sizeof(DSBCAPS)) {
        return DSERR_INVALIDPARAM;
    }
    lpDSBufferCaps->dwFlags = DSBCAPS_CTRLFX | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_LOCSOFTWARE;
    lpDSBufferCaps->dwBufferBytes = m_format.nAvgBytesPerSec;
    lpDSBufferCaps->dwUnlockTransferRate = 0;
    lpDSBufferCaps->dwPlayCpuOverhead = 0;
    return S_OK;
}

STDMETHODIMP CSoundBuffer::GetFormat(LPWAVEFORMATEX lpwfxFormat, DWORD dwSizeAllocated, LPDWORD lpdwSizeWritten) {
    if (lpwfxFormat == nullptr) {
        if (lpdwSizeWritten == nullptr) {
            return DSERR_INVALIDPARAM;
        }
        *lpdwSizeWritten = sizeof(WAVEFORMATEX);
        return S_OK;
    }
    DWORD cb = dwSizeAllocated < sizeof(WAVEFORMATEX) ? dwSizeAllocated : sizeof(WAVEFORMATEX);
    CopyMemory(lpwfxFormat, &m_format, cb);
    if (lpdwSizeWritten != nullptr) {
        *lpdwSizeWritten = cb;
    }
    return S_OK;
}

STDMETHODIMP CSoundBuffer::GetVolume(LPLONG lplVolume) {
    if (lplVolume == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    *lplVolume = m_lVolume;
    return S_OK;
}

STDMETHODIMP CSoundBuffer::SetVolume(LONG lVolume) {
    if (lVolume > DSBVOLUME_MAX || lVolume < DSBVOLUME_MIN) {
        return DSERR_INVALIDPARAM;
    }
    m_lVolume = lVolume;
    return S_OK;
}

STDMETHODIMP CSoundBuffer::GetPan(LPLONG lplpan) {
    if (lplpan == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    *lplpan = m_lPan;
    return S_OK;
}

STDMETHODIMP CSoundBuffer::SetPan(LONG lPan) {
    if (lPan > DSBPAN_RIGHT || lPan < DSBPAN_LEFT) {
        return DSERR_INVALIDPARAM;
    }
    m_lPan = lPan;
    return S_OK;
}

STDMETHODIMP CSoundBuffer::GetFrequency(LPDWORD lpdwFrequency) {
    if (lpdwFrequency == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    *lpdwFrequency = m_format.nSamplesPerSec;
    return S_OK;
}

STDMETHODIMP CSoundBuffer::GetStatus(LPDWORD lpdwStatus) {
    if (lpdwStatus == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    *lpdwStatus = m_bActive ? (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING | DSBSTATUS_LOCSOFTWARE) : 0;
    return S_OK;
}

STDMETHODIMP CSoundBuffer::SetFX(DWORD dwEffectsCount, LPDSEFFECTDESC pDSFXDesc, LPDWORD pdwResultCodes) {
    // DirectSound takes effects only on a stopped buffer.
    if (m_bActive || m_nInUse != 0) {
        return DSERR_INVALIDCALL;
    }
    return m_effects.Set(dwEffectsCount, pDSFXDesc, pdwResultCodes, m_format);
}

STDMETHODIMP CSoundBuffer::AcquireResources(DWORD, DWORD dwEffectsCount, LPDWORD pdwResultCodes) {
    for (DWORD i = 0; pdwResultCodes != nullptr && i < dwEffectsCount; ++i) {
        pdwResultCodes[i] = DSFXR_LOCSOFTWARE;
    }
    return S_OK;
}

STDMETHODIMP CSoundBuffer::GetObjectInPath(REFGUID rguidObject, DWORD dwIndex, REFGUID rguidInterface,
                                           LPVOID *ppObject) {
    if (ppObject == nullptr) {
        return E_POINTER;
    }
    *ppObject = nullptr;
    return m_effects.GetEffect(rguidObject, dwIndex, rguidInterface, ppObject);
}

STDMETHODIMP CSoundBuffer::GetCurrentPosition(LPDWORD, LPDWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSoundBuffer::Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC) {
    return E_NOTIMPL;
}

STDMETHODIMP CSoundBuffer::Lock(DWORD, DWORD, LPVOID *, LPDWORD, LPVOID *, LPDWORD, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSoundBuffer::Play(DWORD, DWORD, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSoundBuffer::SetCurrentPosition(DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSoundBuffer::SetFormat(LPCWAVEFORMATEX) {
    return E_NOTIMPL;
}

STDMETHODIMP CSoundBuffer::SetFrequency(DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSoundBuffer::Stop() {
    return E_NOTIMPL;
}

STDMETHODIMP CSoundBuffer::Unlock(LPVOID, DWORD, LPVOID, DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP CSoundBuffer::Restore() {
    return E_NOTIMPL;
}
