// CInstrumentTool: transposes every note by g_transpose and drops notes on channels whose program is muted.
#include "instrument_tool.h"

#include "trace.h"
#include "instrument_plan.h"

namespace {

// Media types the tool asks the graph for: notes and program changes; the three-element form adds MIDI.
const DWORD kMediaTypeCount = 2;
const DWORD kMediaTypeCountWithMidi = 3;
const int kMidiNoteMin = 0;
const int kMidiNoteMax = 127;

} // namespace

CInstrumentTool::CInstrumentTool() {}

void *CInstrumentTool::InterfaceFor(REFIID riid) {
    return IsEqualIID(riid, IID_IDirectMusicTool) ? static_cast<IDirectMusicTool *>(this) : nullptr;
}

STDMETHODIMP CInstrumentTool::Init(IDirectMusicGraph * /*pGraph*/) {
    return E_NOTIMPL;
}

STDMETHODIMP CInstrumentTool::GetMsgDeliveryType(DWORD *pdwDeliveryType) {
    if (pdwDeliveryType == nullptr) {
        return E_POINTER;
    }
    // Immediate delivery: messages arrive as the performance sends them, ahead of their time stamps.
    *pdwDeliveryType = DMUS_PMSGF_TOOL_IMMEDIATE;
    return S_OK;
}

STDMETHODIMP CInstrumentTool::GetMediaTypeArraySize(DWORD *pdwNumElements) {
    if (pdwNumElements == nullptr) {
        return E_POINTER;
    }
    *pdwNumElements = kMediaTypeCount;
    return S_OK;
}

STDMETHODIMP CInstrumentTool::GetMediaTypes(DWORD **padwMediaTypes, DWORD dwNumElements) {
    // The graph passes its DWORD array itself, typed as DWORD**.
    DWORD *pdwTypes = reinterpret_cast<DWORD *>(padwMediaTypes);
    if (pdwTypes == nullptr || (dwNumElements != kMediaTypeCount && dwNumElements != kMediaTypeCountWithMidi)) {
        TraceLine("This should never happen");
        return E_FAIL;
    }
    pdwTypes[0] = DMUS_PMSGT_NOTE;
    pdwTypes[1] = DMUS_PMSGT_PATCH;
    if (dwNumElements == kMediaTypeCountWithMidi) {
        pdwTypes[2] = DMUS_PMSGT_MIDI;
    }
    return S_OK;
}

STDMETHODIMP CInstrumentTool::ProcessPMsg(IDirectMusicPerformance *pPerf, DMUS_PMSG *pPMSG) {
    // A message that cannot be stamped for the next tool has nowhere to go: the performance frees it.
    if (pPMSG == nullptr || pPMSG->pGraph == nullptr || FAILED(pPMSG->pGraph->StampPMsg(pPMSG))) {
        return DMUS_S_FREE;
    }
    switch (pPMSG->dwType) {
    case DMUS_PMSGT_NOTE:
        return ProcessNote(pPerf, reinterpret_cast<DMUS_NOTE_PMSG *>(pPMSG));
    case DMUS_PMSGT_PATCH:
        return ProcessPatch(pPerf, reinterpret_cast<DMUS_PATCH_PMSG *>(pPMSG));
    default:
        return DMUS_S_REQUEUE;
    }
}

// Transposes the note and passes it on when its channel's last program is kept; drops it otherwise.
HRESULT CInstrumentTool::ProcessNote(IDirectMusicPerformance *pPerf, DMUS_NOTE_PMSG *pNote) {
    int nTranspose = g_transpose;
    int nMidiValue = static_cast<int>(pNote->bMidiValue) + nTranspose;
    // A note shifted off the MIDI range would wrap to an unrelated pitch (-14 on note 5 gives 247): drop it.
    if (nMidiValue < kMidiNoteMin || nMidiValue > kMidiNoteMax) {
        return DMUS_S_FREE;
    }
    pNote->wMusicValue = static_cast<WORD>(pNote->wMusicValue + nTranspose);
    pNote->bMidiValue = static_cast<BYTE>(nMidiValue);
    // Broadcast and other channels beyond the table have never passed a program change here.
    if (pNote->dwPChannel >= static_cast<DWORD>(kPChannelCount) ||
        g_pchannelPrograms[pNote->dwPChannel] == kNoProgram) {
        return DMUS_S_FREE;
    }
    if (pPerf == nullptr || FAILED(pPerf->SendPMsg(reinterpret_cast<DMUS_PMSG *>(pNote)))) {
        return DMUS_S_FREE; // not taken by the performance: it must still be freed
    }
    return S_OK;
}

// Records the channel's mapped program; passes kept program changes on once and drops muted ones.
HRESULT CInstrumentTool::ProcessPatch(IDirectMusicPerformance *pPerf, DMUS_PATCH_PMSG *pPatch) {
    int nMapped = g_programMap[pPatch->byInstrument];
    if (pPatch->dwPChannel < static_cast<DWORD>(kPChannelCount)) {
        g_pchannelPrograms[pPatch->dwPChannel] = nMapped;
    }
    if (nMapped == kNoProgram) {
        return DMUS_S_FREE;
    }
    // The performance does not queue again a message that has already been sent, so the patch arrives once.
    if (pPerf != nullptr) {
        pPerf->SendPMsg(reinterpret_cast<DMUS_PMSG *>(pPatch));
    }
    return DMUS_S_REQUEUE;
}

STDMETHODIMP CInstrumentTool::Flush(IDirectMusicPerformance * /*pPerf*/, DMUS_PMSG * /*pPMSG*/,
                                    REFERENCE_TIME /*rtTime*/) {
    return E_NOTIMPL;
}
