// CPerformance's messages: the segment's notes and patches sent through the tool graph to the synthesizer.
#include "performance.h"

#include "segment.h"
#include "tool_graph.h"

namespace {

const BYTE kMaxMidiValue = 127;
const DWORD kMidiChannels = 16;

} // namespace

bool CPerformance::OnRenderThread() const {
    return m_dwRenderThread == GetCurrentThreadId();
}

// On the rendering thread messages come from the pool; elsewhere from the heap, so a caller that keeps a
// message (a notification, say) never starves the rendering thread.
STDMETHODIMP CPerformance::AllocPMsg(ULONG cb, DMUS_PMSG **ppPMSG) {
    if (ppPMSG == nullptr) {
        return E_POINTER;
    }
    if (cb < sizeof(DMUS_PMSG)) {
        *ppPMSG = nullptr;
        return E_INVALIDARG;
    }
    *ppPMSG = m_pool.Alloc(cb, OnRenderThread());
    return *ppPMSG != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CPerformance::FreePMsg(DMUS_PMSG *pPMSG) {
    if (pPMSG == nullptr) {
        return E_POINTER;
    }
    PMsgHeader *pHeader = CPMsgPool::HeaderOf(pPMSG);
    if (pHeader == nullptr) {
        return E_INVALIDARG;
    }
    if (pHeader->bQueued) {
        return DMUS_E_CANNOT_FREE;
    }
    m_pool.Free(pPMSG);
    return S_OK;
}

// Messages are taken only from the tools the rendering thread is calling: the performance plays nothing
// sent from elsewhere.
STDMETHODIMP CPerformance::SendPMsg(DMUS_PMSG *pPMSG) {
    if (pPMSG == nullptr) {
        return E_POINTER;
    }
    PMsgHeader *pHeader = CPMsgPool::HeaderOf(pPMSG);
    if (pHeader == nullptr) {
        return E_INVALIDARG;
    }
    if (pHeader->bQueued) {
        return DMUS_E_ALREADY_SENT;
    }
    if (!m_bInitialized) {
        return DMUS_E_NOT_INIT;
    }
    if (!OnRenderThread()) {
        return E_NOTIMPL;
    }
    if (pPMSG->pTool == nullptr) {
        m_pGraph->StampPMsg(pPMSG);
    }
    return Enqueue(pPMSG) ? S_OK : E_OUTOFMEMORY;
}

bool CPerformance::Enqueue(DMUS_PMSG *pMsg) {
    if (m_nQueueCount == kQueueSize) {
        return false;
    }
    m_apQueue[(m_nQueueHead + m_nQueueCount) % kQueueSize] = pMsg;
    ++m_nQueueCount;
    CPMsgPool::HeaderOf(pMsg)->bQueued = TRUE;
    return true;
}

DMUS_PMSG *CPerformance::Dequeue() {
    if (m_nQueueCount == 0) {
        return nullptr;
    }
    DMUS_PMSG *pMsg = m_apQueue[m_nQueueHead];
    m_nQueueHead = (m_nQueueHead + 1) % kQueueSize;
    --m_nQueueCount;
    CPMsgPool::HeaderOf(pMsg)->bQueued = FALSE;
    return pMsg;
}

void CPerformance::FillHeader(DMUS_PMSG *pMsg, DWORD dwType, uint32_t tick, int channel) {
    pMsg->rtTime = m_pClockSegment->Model().tempoMap().toReference(tick);
    pMsg->mtTime = m_pClockSegment->TicksToMusic(tick);
    pMsg->dwFlags = DMUS_PMSGF_REFTIME | DMUS_PMSGF_MUSICTIME;
    pMsg->dwPChannel = static_cast<DWORD>(channel); // one performance channel per MIDI channel
    pMsg->dwType = dwType;
    pMsg->dwGroupID = 1;
}

bool CPerformance::RouteNote(tw::sequencer::NoteEvent &note) {
    DMUS_NOTE_PMSG *pNote = reinterpret_cast<DMUS_NOTE_PMSG *>(m_pool.Alloc(sizeof(DMUS_NOTE_PMSG), true));
    if (pNote == nullptr) {
        return false; // no message, no note: a muted note must never slip past the tools
    }
    FillHeader(reinterpret_cast<DMUS_PMSG *>(pNote), DMUS_PMSGT_NOTE, note.tick, note.channel);
    MUSIC_TIME mtEnd = m_pClockSegment->TicksToMusic(note.tick + note.durationTicks);
    pNote->mtDuration = mtEnd - pNote->mtTime;
    pNote->wMusicValue = static_cast<WORD>(note.key);
    pNote->bVelocity = static_cast<BYTE>(note.velocity);
    pNote->bFlags = DMUS_NOTEF_NOTEON;
    pNote->bPlayModeFlags = DMUS_PLAYMODE_FIXED;
    pNote->bMidiValue = static_cast<BYTE>(note.key);
    if (!Dispatch(reinterpret_cast<DMUS_PMSG *>(pNote))) {
        return false;
    }
    // The player ends the note at its own note-off, that is after mtDuration.
    note.key = m_delivered.bMidiValue > kMaxMidiValue ? -1 : m_delivered.bMidiValue;
    note.velocity = m_delivered.bVelocity;
    note.channel = static_cast<int>(m_delivered.dwPChannel);
    return m_delivered.dwPChannel < kMidiChannels;
}

bool CPerformance::RoutePatch(tw::sequencer::PatchEvent &patch) {
    DMUS_PATCH_PMSG *pPatch = reinterpret_cast<DMUS_PATCH_PMSG *>(m_pool.Alloc(sizeof(DMUS_PATCH_PMSG), true));
    if (pPatch == nullptr) {
        return false;
    }
    FillHeader(reinterpret_cast<DMUS_PMSG *>(pPatch), DMUS_PMSGT_PATCH, patch.tick, patch.channel);
    pPatch->byInstrument = static_cast<BYTE>(patch.program);
    pPatch->byMSB = static_cast<BYTE>(patch.bankMsb);
    pPatch->byLSB = static_cast<BYTE>(patch.bankLsb);
    if (!Dispatch(reinterpret_cast<DMUS_PMSG *>(pPatch))) {
        return false;
    }
    patch.program = m_delivered.byInstrument & kMaxMidiValue;
    patch.bankMsb = m_delivered.byMSB & kMaxMidiValue;
    patch.bankLsb = m_delivered.byLSB & kMaxMidiValue;
    patch.channel = static_cast<int>(m_delivered.dwPChannel);
    return m_delivered.dwPChannel < kMidiChannels;
}

// Runs the message through the graph, with whatever the tools send on the way, until every message has
// reached the synthesizer or been dropped. True when the routed message itself arrived.
bool CPerformance::Dispatch(DMUS_PMSG *pMsg) {
    m_dwRenderThread = GetCurrentThreadId();
    m_pRouted = pMsg;
    m_delivered = Delivered();
    m_pGraph->StampPMsg(pMsg);
    Enqueue(pMsg);
    DWORD nSteps = 0;
    while (DMUS_PMSG *pNext = Dequeue()) {
        IDirectMusicTool *pTool = pNext->pTool;
        if (pTool == OutputTool() || pTool == nullptr || ++nSteps > kMaxStepsPerMessage) {
            Deliver(pNext);
            continue;
        }
        HRESULT hr = pTool->ProcessPMsg(this, pNext);
        if (CPMsgPool::HeaderOf(pNext) == nullptr || CPMsgPool::HeaderOf(pNext)->bQueued) {
            continue; // freed by the tool, or passed on with SendPMsg: its answer no longer matters
        }
        if (hr == DMUS_S_REQUEUE) {
            if (pNext->pTool == pTool) {
                m_pGraph->StampPMsg(pNext);
            }
            Enqueue(pNext);
        } else if (hr == DMUS_S_FREE || FAILED(hr)) {
            m_pool.Free(pNext);
        }
        // S_OK without a send: the tool keeps the message and frees it itself.
    }
    m_pRouted = nullptr;
    m_dwRenderThread = 0;
    return m_delivered.bArrived;
}

// A message at the end of the graph: the routed one is played by the caller; others that tools made up are
// not played (the player has no note-off for them).
void CPerformance::Deliver(DMUS_PMSG *pMsg) {
    if (pMsg == m_pRouted && pMsg->pTool == OutputTool()) {
        m_delivered.bArrived = true;
        m_delivered.dwPChannel = pMsg->dwPChannel;
        if (pMsg->dwType == DMUS_PMSGT_NOTE) {
            const DMUS_NOTE_PMSG *pNote = reinterpret_cast<const DMUS_NOTE_PMSG *>(pMsg);
            m_delivered.bMidiValue = pNote->bMidiValue;
            m_delivered.bVelocity = pNote->bVelocity;
        } else if (pMsg->dwType == DMUS_PMSGT_PATCH) {
            const DMUS_PATCH_PMSG *pPatch = reinterpret_cast<const DMUS_PATCH_PMSG *>(pMsg);
            m_delivered.byInstrument = pPatch->byInstrument;
            m_delivered.byMSB = pPatch->byMSB;
            m_delivered.byLSB = pPatch->byLSB;
        }
    }
    m_pool.Free(pMsg);
}
