// CSoundBuffer: the audio path's DirectSound buffer: its format, its effects and whether it plays.
#pragma once

#include <windows.h>

#include <dsound.h>

#include "com_object.h"

#include "effect_chain.h"

// 16-bit stereo PCM at the synthesizer's rate. Effects may change only while the buffer is stopped (its
// audio path inactive) and no segment plays through it.
class CSoundBuffer final : public tw::com::ComObject<CSoundBuffer, IDirectSoundBuffer8> {
public:
    explicit CSoundBuffer(DWORD dwSampleRate);

    // The interface pointer for riid, or null (IUnknown is answered by the template).

    void *InterfaceFor(REFIID riid);

    STDMETHODIMP GetCaps(LPDSBCAPS lpDSBufferCaps) override;
    STDMETHODIMP GetCurrentPosition(LPDWORD lpdwCurrentPlayCursor, LPDWORD lpdwCurrentWriteCursor) override;
    STDMETHODIMP GetFormat(LPWAVEFORMATEX lpwfxFormat, DWORD dwSizeAllocated, LPDWORD lpdwSizeWritten) override;
    STDMETHODIMP GetVolume(LPLONG lplVolume) override;
    STDMETHODIMP GetPan(LPLONG lplpan) override;
    STDMETHODIMP GetFrequency(LPDWORD lpdwFrequency) override;
    STDMETHODIMP GetStatus(LPDWORD lpdwStatus) override;
    STDMETHODIMP Initialize(LPDIRECTSOUND lpDirectSound, LPCDSBUFFERDESC lpcDSBufferDesc) override;
    STDMETHODIMP Lock(DWORD dwOffset, DWORD dwBytes, LPVOID *ppvAudioPtr1, LPDWORD pdwAudioBytes1, LPVOID *ppvAudioPtr2,
                      LPDWORD pdwAudioBytes2, DWORD dwFlags) override;
    STDMETHODIMP Play(DWORD dwReserved1, DWORD dwReserved2, DWORD dwFlags) override;
    STDMETHODIMP SetCurrentPosition(DWORD dwNewPosition) override;
    STDMETHODIMP SetFormat(LPCWAVEFORMATEX lpcfxFormat) override;
    STDMETHODIMP SetVolume(LONG lVolume) override;
    STDMETHODIMP SetPan(LONG lPan) override;
    STDMETHODIMP SetFrequency(DWORD dwFrequency) override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP Unlock(LPVOID pvAudioPtr1, DWORD dwAudioBytes1, LPVOID pvAudioPtr2, DWORD dwAudioPtr2) override;
    STDMETHODIMP Restore() override;
    STDMETHODIMP SetFX(DWORD dwEffectsCount, LPDSEFFECTDESC pDSFXDesc, LPDWORD pdwResultCodes) override;
    STDMETHODIMP AcquireResources(DWORD dwFlags, DWORD dwEffectsCount, LPDWORD pdwResultCodes) override;
    STDMETHODIMP GetObjectInPath(REFGUID rguidObject, DWORD dwIndex, REFGUID rguidInterface, LPVOID *ppObject) override;

    // The audio path starts and stops the buffer.
    void SetActive(bool bActive) { m_bActive = bActive; }
    bool Active() const { return m_bActive; }
    // A segment plays through the buffer (the performance marks it for the length of the play).
    void SetInUse(bool bInUse) { InterlockedExchange(&m_nInUse, bInUse ? 1 : 0); }
    const WAVEFORMATEX &Format() const { return m_format; }
    CEffectChain &Effects() { return m_effects; }

private:
    ~CSoundBuffer();
    volatile LONG m_nInUse;
    bool m_bActive;
    LONG m_lVolume; // hundredths of a decibel, kept for GetVolume
    LONG m_lPan;
    WAVEFORMATEX m_format;
    CEffectChain m_effects;
};
