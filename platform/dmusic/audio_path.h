// CAudioPath: a standard audio path: the performance's graph, one stereo buffer, and its activation.
#pragma once

#include <windows.h>

#include <dmusici.h>

#include "com_object.h"

class CSoundBuffer;
class CToolGraph;

class CAudioPath final : public tw::com::ComObject<CAudioPath, IDirectMusicAudioPath8> {
public:
    // Holds references to all three.
    CAudioPath(IDirectMusicPerformance8 *pPerformance, CToolGraph *pGraph, CSoundBuffer *pBuffer, bool bActive);

    // The interface pointer for riid, or null (IUnknown is answered by the template).

    void *InterfaceFor(REFIID riid);

    // Also answers IID_ITwAudioPath with the object itself, without a reference.

    STDMETHODIMP QueryInterface(REFIID riid, void **ppvObject) override;

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
    IDirectMusicPerformance8 *m_pPerformance;
    CToolGraph *m_pGraph;
    CSoundBuffer *m_pBuffer;
    LONG m_lVolume; // hundredths of a decibel, kept only
};
