// CInstrumentTool: the DirectMusic tool that transposes notes and drops the notes of muted programs.
#pragma once

#include <windows.h>

#include <dmusici.h>

#include "com_object.h"

// A tool in the performance's graph, applying the instrument plan (instrument_plan.h) to every note and program
// change. It holds no state besides its reference count; DirectMusic calls it from its own threads.
class CInstrumentTool final : public tw::com::ComObject<CInstrumentTool, IDirectMusicTool> {
public:
    // Starts with one reference, owned by the creator.
    CInstrumentTool();

    // IUnknown: answers IUnknown and IDirectMusicTool only.
    // The interface pointer for riid, or null (IUnknown is answered by the template).
    void *InterfaceFor(REFIID riid);

    // IDirectMusicTool.
    STDMETHODIMP Init(IDirectMusicGraph *pGraph) override;
    STDMETHODIMP GetMsgDeliveryType(DWORD *pdwDeliveryType) override;
    STDMETHODIMP GetMediaTypeArraySize(DWORD *pdwNumElements) override;
    STDMETHODIMP GetMediaTypes(DWORD **padwMediaTypes, DWORD dwNumElements) override;
    STDMETHODIMP ProcessPMsg(IDirectMusicPerformance *pPerf, DMUS_PMSG *pPMSG) override;
    STDMETHODIMP Flush(IDirectMusicPerformance *pPerf, DMUS_PMSG *pPMSG, REFERENCE_TIME rtTime) override;

private:
    ~CInstrumentTool() = default; // only Release destroys the tool

    HRESULT ProcessNote(IDirectMusicPerformance *pPerf, DMUS_NOTE_PMSG *pNote);
    HRESULT ProcessPatch(IDirectMusicPerformance *pPerf, DMUS_PATCH_PMSG *pPatch);
};
