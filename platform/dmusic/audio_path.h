// CAudioPath: a standard audio path: the performance's graph, one stereo buffer, and its activation.
#pragma once

#include <windows.h>

#include <dmusici.h>

class CSoundBuffer;
class CToolGraph;

class CAudioPath final : public IDirectMusicAudioPath8 {
public:
    // Holds references to all three.
    CAudioPath(IDirectMusicPerformance8 *pPerformance, CToolGraph *pGraph, CSoundBuffer *pBuffer, bool bActive);

    STDMETHODIMP QueryInterface(REFIID riid, void **ppvObject) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // DMUS_PATH_BUFFER: the buffer; DMUS_PATH_BUFFER_DMO: its effects; DMUS_PATH_PERFORMANCE_GRAPH: the graph;
    // DMUS_PATH_PERFORMANCE and DMUS_PATH_AUDIOPATH: the performance and the path. Anything else is not found.
    STDMETHODIMP GetObjectInPath(DWORD dwPChannel, DWORD dwStage, DWORD dwBuffer, REFGUID guidObject, WORD dwIndex,
                                 REFGUID iidInterface, void **ppObject) override;
    // Starts or stops the buffer; effects can be set only while it is stopped.
    STDMETHODIMP Activate(WINBOOL fActivate) override;
    STDMETHODIMP SetVolume(LONG lVolume, DWORD dwDuration) override;
    STDMETHODIMP ConvertPChannel(DWORD dwPChannelIn, DWORD *pdwPChannelOut) override;

    bool Active() const;
    CSoundBuffer *Buffer() const { return m_pBuffer; }

private:
    ~CAudioPath();

    volatile LONG m_cRef;
    IDirectMusicPerformance8 *m_pPerformance;
    CToolGraph *m_pGraph;
    CSoundBuffer *m_pBuffer;
    LONG m_lVolume; // hundredths of a decibel, kept only
};
