// Performance messages: a pool allocated once, so the rendering thread never touches the heap.
#pragma once

#include <windows.h>

#include <dmusici.h>

// Precedes every message handed out; the caller sees only the DMUS_PMSG after it.
struct alignas(8) PMsgHeader {
    DWORD dwMagic;
    volatile LONG nInUse; // 1 while allocated
    BOOL bQueued;         // sent and not yet taken from the performance's queue
    BOOL bHeap;           // from the process heap (off the rendering thread), not from the pool
    ULONG cb;             // size the caller asked for
    DWORD dwSlot;
};

class CPMsgPool {
public:
    static const ULONG kSlotBytes = 256; // larger than every message type DirectMusic defines
    static const DWORD kSlotCount = 512;

    CPMsgPool();
    ~CPMsgPool();
    CPMsgPool(const CPMsgPool &) = delete;
    CPMsgPool &operator=(const CPMsgPool &) = delete;

    bool Ready() const { return m_pSlots != nullptr; }
    // Zeroed message of cb bytes with dwSize set; from the pool when bRealTime (null when exhausted),
    // otherwise from the heap. Never allocates when bRealTime.
    DMUS_PMSG *Alloc(ULONG cb, bool bRealTime);
    // Returns the message to where it came from and drops the references it holds (tool, graph, user).
    void Free(DMUS_PMSG *pMsg);

    // The header of a message we handed out, or null for any other pointer.
    static PMsgHeader *HeaderOf(DMUS_PMSG *pMsg);

private:
    struct Slot;
    Slot *m_pSlots;
    volatile LONG m_nNext; // where the next search starts
};
