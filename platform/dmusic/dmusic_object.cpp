// CDirectMusic: port enumeration and the few settings the performance's owner makes on it.
#include "dmusic_object.h"

#include <string>

#include "module.h"
#include "synth_host.h"

namespace {

const WCHAR kPortDescription[] = L"Microsoft Synthesizer";
const DWORD kMaxVoices = 256; // the synthesizer's voice pool
const DWORD kMaxChannelGroups = 1000;
const DWORD kAudioChannels = 2;

#ifndef _WIN64
static_assert(sizeof(DMUS_PORTCAPS) == 308, "DMUS_PORTCAPS is 308 bytes on Win32");
#endif

} // namespace

CDirectMusic::CDirectMusic() : m_bActive(TRUE) {
    ObjectCreated();
}

CDirectMusic::~CDirectMusic() {
    ObjectDestroyed();
}

void *CDirectMusic::InterfaceFor(REFIID riid) {
    if (IsEqualIID(riid, IID_ITwSoundFontControl)) // the program's choice of SoundFont
        return static_cast<ITwSoundFontControl *>(this);
    return tw::com::IsAnyOf(riid, {&IID_IDirectMusic, &IID_IDirectMusic2, &IID_IDirectMusic8})
               ? static_cast<IDirectMusic8 *>(this)
               : nullptr;
}

STDMETHODIMP CDirectMusic::EnumPort(DWORD dwIndex, LPDMUS_PORTCAPS pPortCaps) {
    if (pPortCaps == nullptr) {
        return E_POINTER;
    }
    if (pPortCaps->dwSize != sizeof(DMUS_PORTCAPS)) {
        return E_INVALIDARG;
    }
    if (dwIndex > 0) {
        return S_FALSE;
    }
    ZeroMemory(pPortCaps, sizeof(DMUS_PORTCAPS));
    pPortCaps->dwSize = sizeof(DMUS_PORTCAPS);
    pPortCaps->dwFlags = DMUS_PC_DLS | DMUS_PC_DLS2 | DMUS_PC_SOFTWARESYNTH | DMUS_PC_DIRECTSOUND |
                         DMUS_PC_GMINHARDWARE | DMUS_PC_AUDIOPATH | DMUS_PC_WAVE;
    pPortCaps->guidPort = CLSID_DirectMusicSynth;
    pPortCaps->dwClass = DMUS_PC_OUTPUTCLASS;
    pPortCaps->dwType = DMUS_PORT_USER_MODE_SYNTH;
    pPortCaps->dwMemorySize = DMUS_PC_SYSTEMMEMORY;
    pPortCaps->dwMaxChannelGroups = kMaxChannelGroups;
    pPortCaps->dwMaxVoices = kMaxVoices;
    pPortCaps->dwMaxAudioChannels = kAudioChannels;
    pPortCaps->dwEffectFlags = DMUS_EFFECT_REVERB | DMUS_EFFECT_CHORUS;
    lstrcpynW(pPortCaps->wszDescription, kPortDescription, DMUS_MAX_DESCRIPTION);
    return S_OK;
}

STDMETHODIMP CDirectMusic::CreateMusicBuffer(LPDMUS_BUFFERDESC, LPDIRECTMUSICBUFFER *, LPUNKNOWN) {
    return E_NOTIMPL;
}

STDMETHODIMP CDirectMusic::CreatePort(REFCLSID, LPDMUS_PORTPARAMS, LPDIRECTMUSICPORT *, LPUNKNOWN) {
    return E_NOTIMPL;
}

STDMETHODIMP CDirectMusic::EnumMasterClock(DWORD, LPDMUS_CLOCKINFO) {
    return E_NOTIMPL;
}

STDMETHODIMP CDirectMusic::GetMasterClock(LPGUID, struct IReferenceClock **) {
    return E_NOTIMPL;
}

STDMETHODIMP CDirectMusic::SetMasterClock(REFGUID) {
    return E_NOTIMPL;
}

STDMETHODIMP CDirectMusic::Activate(WINBOOL fEnable) {
    m_bActive = fEnable;
    return S_OK;
}

STDMETHODIMP CDirectMusic::GetDefaultPort(LPGUID pguidPort) {
    if (pguidPort == nullptr) {
        return E_POINTER;
    }
    *pguidPort = CLSID_DirectMusicSynth;
    return S_OK;
}

STDMETHODIMP CDirectMusic::SetDirectSound(LPDIRECTSOUND, HWND) {
    return S_OK;
}

STDMETHODIMP CDirectMusic::SetExternalMasterClock(struct IReferenceClock *) {
    return E_NOTIMPL;
}

STDMETHODIMP CDirectMusic::SetSoundFont(LPCSTR pszPath, LPSTR pszReason, DWORD cchReason) {
    std::string strReason;
    HRESULT hr = ChooseSoundFont(pszPath != nullptr ? pszPath : "", strReason);
    if (pszReason != nullptr && cchReason > 0) {
        lstrcpynA(pszReason, strReason.c_str(), static_cast<int>(cchReason));
    }
    return hr;
}
