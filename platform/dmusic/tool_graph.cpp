// CToolGraph: tool order, media-type and channel filters, and the stamping that moves a message along.
#include "tool_graph.h"

#include <new>

#include "module.h"

namespace {

const DWORD kDeliveryFlags = DMUS_PMSGF_TOOL_IMMEDIATE | DMUS_PMSGF_TOOL_QUEUE | DMUS_PMSGF_TOOL_ATTIME;

// The performance plays what reaches this tool itself; it is never called and never goes away.
class COutputTool final : public tw::com::StaticComObject<COutputTool, IDirectMusicTool> {
public:
    void *InterfaceFor(REFIID riid) { return IsEqualIID(riid, IID_IDirectMusicTool) ? this : nullptr; }
    STDMETHODIMP Init(IDirectMusicGraph *) override { return S_OK; }
    STDMETHODIMP GetMsgDeliveryType(DWORD *pdw) override {
        if (pdw == nullptr) {
            return E_POINTER;
        }
        *pdw = DMUS_PMSGF_TOOL_IMMEDIATE;
        return S_OK;
    }
    STDMETHODIMP GetMediaTypeArraySize(DWORD *pdw) override {
        if (pdw == nullptr) {
            return E_POINTER;
        }
        *pdw = 0;
        return S_OK;
    }
    STDMETHODIMP GetMediaTypes(DWORD **, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP ProcessPMsg(IDirectMusicPerformance *, DMUS_PMSG *) override { return DMUS_S_FREE; }
    STDMETHODIMP Flush(IDirectMusicPerformance *, DMUS_PMSG *, REFERENCE_TIME) override { return S_OK; }
};

COutputTool g_outputTool;

} // namespace

IDirectMusicTool *OutputTool() {
    return &g_outputTool;
}

CToolGraph::CToolGraph() : m_aTools(), m_cTools(0) {
    ObjectCreated();
}

CToolGraph::~CToolGraph() {
    RemoveAllTools();
    ObjectDestroyed();
}

void *CToolGraph::InterfaceFor(REFIID riid) {
    return IsEqualIID(riid, IID_IDirectMusicGraph) ? static_cast<IDirectMusicGraph *>(this) : nullptr;
}

bool CToolGraph::Takes(const ToolEntry &entry, const DMUS_PMSG *pMsg) {
    bool bType = entry.cTypes == 0;
    for (DWORD i = 0; i < entry.cTypes && !bType; ++i) {
        bType = entry.adwTypes[i] == pMsg->dwType;
    }
    if (!bType) {
        return false;
    }
    if (entry.pdwChannels == nullptr) {
        return true;
    }
    for (DWORD i = 0; i < entry.cChannels; ++i) {
        if (entry.pdwChannels[i] == pMsg->dwPChannel || entry.pdwChannels[i] == DMUS_PCHANNEL_BROADCAST_PERFORMANCE) {
            return true;
        }
    }
    return false;
}

LONG CToolGraph::IndexOf(IDirectMusicTool *pTool) const {
    for (DWORD i = 0; i < m_cTools; ++i) {
        if (m_aTools[i].pTool == pTool) {
            return static_cast<LONG>(i);
        }
    }
    return -1;
}

STDMETHODIMP CToolGraph::StampPMsg(DMUS_PMSG *pPMSG) {
    if (pPMSG == nullptr) {
        return E_POINTER;
    }
    if (pPMSG->pGraph == nullptr) {
        pPMSG->pGraph = this;
        AddRef();
    }
    if (pPMSG->pTool == OutputTool()) {
        return DMUS_S_LAST_TOOL;
    }
    // A tool not in this graph (or none yet) starts the message at the first tool.
    DWORD dwFrom = static_cast<DWORD>(pPMSG->pTool == nullptr ? 0 : IndexOf(pPMSG->pTool) + 1);
    IDirectMusicTool *pNext = OutputTool();
    DWORD dwDelivery = DMUS_PMSGF_TOOL_IMMEDIATE;
    for (DWORD i = dwFrom; i < m_cTools; ++i) {
        if (Takes(m_aTools[i], pPMSG)) {
            pNext = m_aTools[i].pTool;
            dwDelivery = m_aTools[i].dwDelivery;
            break;
        }
    }
    pNext->AddRef();
    if (pPMSG->pTool != nullptr) {
        pPMSG->pTool->Release();
    }
    pPMSG->pTool = pNext;
    pPMSG->dwFlags = (pPMSG->dwFlags & ~kDeliveryFlags) | dwDelivery;
    return S_OK;
}

void CToolGraph::ReadMediaTypes(ToolEntry &entry) {
    DWORD cTypes = 0;
    entry.cTypes = 0;
    if (FAILED(entry.pTool->GetMediaTypeArraySize(&cTypes)) || cTypes == 0) {
        return;
    }
    if (cTypes > kMaxMediaTypes) {
        return; // more types than we can filter on: the tool sees everything and passes on what it ignores
    }
    // DirectMusic hands the tool its DWORD array itself, typed as DWORD**.
    if (SUCCEEDED(entry.pTool->GetMediaTypes(reinterpret_cast<DWORD **>(entry.adwTypes), cTypes))) {
        entry.cTypes = cTypes;
    }
}

STDMETHODIMP CToolGraph::InsertTool(IDirectMusicTool *pTool, DWORD *pdwPChannels, DWORD cPChannels, LONG lIndex) {
    if (pTool == nullptr || (cPChannels > 0 && pdwPChannels == nullptr)) {
        return E_POINTER;
    }
    if (IndexOf(pTool) >= 0) {
        return DMUS_E_ALREADY_EXISTS;
    }
    if (m_cTools == kMaxTools) {
        return E_OUTOFMEMORY;
    }
    ToolEntry entry = {};
    entry.pTool = pTool;
    if (cPChannels > 0) {
        entry.pdwChannels = new (std::nothrow) DWORD[cPChannels];
        if (entry.pdwChannels == nullptr) {
            return E_OUTOFMEMORY;
        }
        CopyMemory(entry.pdwChannels, pdwPChannels, sizeof(DWORD) * cPChannels);
        entry.cChannels = cPChannels;
    }
    pTool->AddRef();
    pTool->Init(this); // tools that need no set-up answer E_NOTIMPL
    if (FAILED(pTool->GetMsgDeliveryType(&entry.dwDelivery)) || (entry.dwDelivery & kDeliveryFlags) == 0) {
        entry.dwDelivery = DMUS_PMSGF_TOOL_IMMEDIATE;
    }
    entry.dwDelivery &= kDeliveryFlags;
    ReadMediaTypes(entry);

    LONG lCount = static_cast<LONG>(m_cTools);
    LONG lAt = lIndex < 0 ? lCount + 1 + lIndex : lIndex;
    lAt = lAt < 0 ? 0 : (lAt > lCount ? lCount : lAt);
    for (LONG i = lCount; i > lAt; --i) {
        m_aTools[i] = m_aTools[i - 1];
    }
    m_aTools[lAt] = entry;
    ++m_cTools;
    return S_OK;
}

STDMETHODIMP CToolGraph::GetTool(DWORD dwIndex, IDirectMusicTool **ppTool) {
    if (ppTool == nullptr) {
        return E_POINTER;
    }
    if (dwIndex >= m_cTools) {
        *ppTool = nullptr;
        return DMUS_E_NOT_FOUND;
    }
    *ppTool = m_aTools[dwIndex].pTool;
    (*ppTool)->AddRef();
    return S_OK;
}

STDMETHODIMP CToolGraph::RemoveTool(IDirectMusicTool *pTool) {
    if (pTool == nullptr) {
        return E_POINTER;
    }
    LONG lAt = IndexOf(pTool);
    if (lAt < 0) {
        return DMUS_E_NOT_FOUND;
    }
    ToolEntry entry = m_aTools[lAt];
    for (DWORD i = static_cast<DWORD>(lAt); i + 1 < m_cTools; ++i) {
        m_aTools[i] = m_aTools[i + 1];
    }
    --m_cTools;
    delete[] entry.pdwChannels;
    entry.pTool->Release();
    return S_OK;
}

void CToolGraph::RemoveAllTools() {
    while (m_cTools > 0) {
        RemoveTool(m_aTools[m_cTools - 1].pTool);
    }
}
