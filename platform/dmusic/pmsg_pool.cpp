// Performance message pool: fixed slots claimed by compare-and-swap; heap messages for other threads.
#include "pmsg_pool.h"

#include <cstddef>

namespace {

const DWORD kMagic = 0x47534D50; // "PMSG"
const DWORD kHeapSlot = 0xFFFFFFFF;

} // namespace

struct CPMsgPool::Slot {
    PMsgHeader header;
    alignas(8) BYTE abData[kSlotBytes];
};

CPMsgPool::CPMsgPool() : m_pSlots(nullptr), m_nNext(0) {
    m_pSlots = static_cast<Slot *>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Slot) * kSlotCount));
    if (m_pSlots == nullptr) {
        return;
    }
    for (DWORD i = 0; i < kSlotCount; ++i) {
        m_pSlots[i].header.dwMagic = kMagic;
        m_pSlots[i].header.dwSlot = i;
    }
}

CPMsgPool::~CPMsgPool() {
    if (m_pSlots != nullptr) {
        HeapFree(GetProcessHeap(), 0, m_pSlots);
    }
}

PMsgHeader *CPMsgPool::HeaderOf(DMUS_PMSG *pMsg) {
    if (pMsg == nullptr) {
        return nullptr;
    }
    PMsgHeader *pHeader = reinterpret_cast<PMsgHeader *>(reinterpret_cast<BYTE *>(pMsg) - offsetof(Slot, abData));
    if (IsBadReadPtr(pHeader, sizeof(PMsgHeader)) || pHeader->dwMagic != kMagic || pHeader->nInUse != 1) {
        return nullptr;
    }
    return pHeader;
}

DMUS_PMSG *CPMsgPool::Alloc(ULONG cb, bool bRealTime) {
    if (cb < sizeof(DMUS_PMSG)) {
        return nullptr;
    }
    Slot *pSlot = nullptr;
    if (!bRealTime) {
        pSlot = static_cast<Slot *>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, offsetof(Slot, abData) + cb));
        if (pSlot == nullptr) {
            return nullptr;
        }
        pSlot->header.dwMagic = kMagic;
        pSlot->header.dwSlot = kHeapSlot;
        pSlot->header.bHeap = TRUE;
        pSlot->header.nInUse = 1;
    } else {
        if (m_pSlots == nullptr || cb > kSlotBytes) {
            return nullptr;
        }
        DWORD dwStart = static_cast<DWORD>(m_nNext) % kSlotCount;
        for (DWORD i = 0; i < kSlotCount && pSlot == nullptr; ++i) {
            Slot *pTry = &m_pSlots[(dwStart + i) % kSlotCount];
            if (InterlockedCompareExchange(&pTry->header.nInUse, 1, 0) == 0) {
                pSlot = pTry;
                m_nNext = static_cast<LONG>((dwStart + i + 1) % kSlotCount);
            }
        }
        if (pSlot == nullptr) {
            return nullptr;
        }
        ZeroMemory(pSlot->abData, cb);
        pSlot->header.bHeap = FALSE;
    }
    pSlot->header.bQueued = FALSE;
    pSlot->header.cb = cb;
    DMUS_PMSG *pMsg = reinterpret_cast<DMUS_PMSG *>(pSlot->abData);
    pMsg->dwSize = cb;
    return pMsg;
}

void CPMsgPool::Free(DMUS_PMSG *pMsg) {
    PMsgHeader *pHeader = HeaderOf(pMsg);
    if (pHeader == nullptr) {
        return;
    }
    if (pMsg->pTool != nullptr) {
        pMsg->pTool->Release();
    }
    if (pMsg->pGraph != nullptr) {
        pMsg->pGraph->Release();
    }
    if (pMsg->punkUser != nullptr) {
        pMsg->punkUser->Release();
    }
    pMsg->pTool = nullptr;
    pMsg->pGraph = nullptr;
    pMsg->punkUser = nullptr;
    pHeader->bQueued = FALSE;
    if (pHeader->bHeap) {
        pHeader->nInUse = 0;
        pHeader->dwMagic = 0;
        HeapFree(GetProcessHeap(), 0, pHeader);
        return;
    }
    InterlockedExchange(&pHeader->nInUse, 0);
}
