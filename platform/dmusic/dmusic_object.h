// CDirectMusic: the DirectMusic object, offering the one software synthesizer port.
#pragma once

#include <windows.h>

#include <dmusicc.h>

#include "com_object.h"
#include "soundfont_control.h"

// Also the stand-in's own ITwSoundFontControl, through which the program chooses the SoundFont.
class CDirectMusic final : public tw::com::ComObject<CDirectMusic, IDirectMusic8, ITwSoundFontControl> {
public:
    CDirectMusic();

    // The interface pointer for riid, or null (IUnknown is answered by the template).

    void *InterfaceFor(REFIID riid);

    // Index 0 is "Microsoft Synthesizer"; every other index answers S_FALSE.
    STDMETHODIMP EnumPort(DWORD dwIndex, LPDMUS_PORTCAPS pPortCaps) override;
    STDMETHODIMP CreateMusicBuffer(LPDMUS_BUFFERDESC pBufferDesc, LPDIRECTMUSICBUFFER *ppBuffer,
                                   LPUNKNOWN pUnkOuter) override;
    STDMETHODIMP CreatePort(REFCLSID rclsidPort, LPDMUS_PORTPARAMS pPortParams, LPDIRECTMUSICPORT *ppPort,
                            LPUNKNOWN pUnkOuter) override;
    STDMETHODIMP EnumMasterClock(DWORD dwIndex, LPDMUS_CLOCKINFO lpClockInfo) override;
    STDMETHODIMP GetMasterClock(LPGUID pguidClock, struct IReferenceClock **ppReferenceClock) override;
    STDMETHODIMP SetMasterClock(REFGUID rguidClock) override;
    STDMETHODIMP Activate(WINBOOL fEnable) override;
    STDMETHODIMP GetDefaultPort(LPGUID pguidPort) override;
    // The synthesizer plays through its own output; the DirectSound object and window are only accepted.
    STDMETHODIMP SetDirectSound(LPDIRECTSOUND pDirectSound, HWND hWnd) override;
    STDMETHODIMP SetExternalMasterClock(struct IReferenceClock *pClock) override;

    // ITwSoundFontControl (soundfont_control.h).
    STDMETHODIMP SetSoundFont(LPCSTR pszPath, LPSTR pszReason, DWORD cchReason) override;

private:
    ~CDirectMusic();
    BOOL m_bActive;
};
