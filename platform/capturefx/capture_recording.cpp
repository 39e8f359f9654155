// The shared recording: chunks appended on the audio thread, read by the program after playback stops.
#include "capture_recording.h"

#include <cstddef>
#include <cstring>

namespace capturefx {
namespace {

// One block of recorded bytes; chunks are linked in recording order and never moved.
struct Chunk {
    Chunk *pNext;
    DWORD cbUsed;
    BYTE ab[1]; // kChunkBytes bytes follow the header
};

// 1 MB per chunk: about six seconds of 16-bit stereo at 44,100 Hz, so a recording allocates rarely.
const DWORD kChunkBytes = 1u << 20;
const DWORD kMaxRecorded = 0xFFFFFFFFu;

SRWLOCK g_srwRecording = SRWLOCK_INIT; // guards every field below, held only for a copy or a chunk link
Chunk *g_pFirstChunk = nullptr;
Chunk *g_pLastChunk = nullptr;
DWORD g_cbRecorded = 0;
WAVEFORMATEX g_wfxRecorded = {};

Chunk *NewChunk() {
    void *pv = HeapAlloc(GetProcessHeap(), 0, offsetof(Chunk, ab) + kChunkBytes);
    Chunk *pChunk = static_cast<Chunk *>(pv);
    if (pChunk != nullptr) {
        pChunk->pNext = nullptr;
        pChunk->cbUsed = 0;
    }
    return pChunk;
}

void FreeChunksLocked() {
    for (Chunk *pChunk = g_pFirstChunk; pChunk != nullptr;) {
        Chunk *pNext = pChunk->pNext;
        HeapFree(GetProcessHeap(), 0, pChunk);
        pChunk = pNext;
    }
    g_pFirstChunk = g_pLastChunk = nullptr;
    g_cbRecorded = 0;
}

// Room at the end of the recording, linking a new chunk when the last one is full; null without memory.
Chunk *ChunkWithRoomLocked() {
    if (g_pLastChunk != nullptr && g_pLastChunk->cbUsed < kChunkBytes) {
        return g_pLastChunk;
    }
    Chunk *pChunk = NewChunk();
    if (pChunk == nullptr) {
        return nullptr;
    }
    if (g_pLastChunk != nullptr) {
        g_pLastChunk->pNext = pChunk;
    } else {
        g_pFirstChunk = pChunk;
    }
    g_pLastChunk = pChunk;
    return pChunk;
}

} // namespace

void RestartRecording(const WAVEFORMATEX &wfx) {
    AcquireSRWLockExclusive(&g_srwRecording);
    FreeChunksLocked();
    g_wfxRecorded = wfx;
    g_wfxRecorded.cbSize = 0;
    ReleaseSRWLockExclusive(&g_srwRecording);
}

void AppendRecording(const BYTE *pb, DWORD cb) {
    AcquireSRWLockExclusive(&g_srwRecording);
    if (cb > kMaxRecorded - g_cbRecorded) {
        cb = kMaxRecorded - g_cbRecorded;
    }
    while (cb > 0) {
        Chunk *pChunk = ChunkWithRoomLocked();
        if (pChunk == nullptr) {
            break;
        }
        DWORD cbPart = kChunkBytes - pChunk->cbUsed;
        if (cbPart > cb) {
            cbPart = cb;
        }
        memcpy(pChunk->ab + pChunk->cbUsed, pb, cbPart);
        pChunk->cbUsed += cbPart;
        g_cbRecorded += cbPart;
        pb += cbPart;
        cb -= cbPart;
    }
    ReleaseSRWLockExclusive(&g_srwRecording);
}

DWORD RecordedSize() {
    AcquireSRWLockShared(&g_srwRecording);
    DWORD cb = g_cbRecorded;
    ReleaseSRWLockShared(&g_srwRecording);
    return cb;
}

// A copy of the whole recording is its hand-over: each chunk is freed once copied, so the recording is never
// held twice (the reader keeps it whole for as long as it needs it). A partial copy leaves it in place.
DWORD CopyRecording(BYTE *pbDest, DWORD cb) {
    DWORD cbCopied = 0;
    AcquireSRWLockExclusive(&g_srwRecording);
    const bool bHandOver = cb >= g_cbRecorded;
    for (Chunk *pChunk = g_pFirstChunk; pChunk != nullptr && cbCopied < cb;) {
        DWORD cbPart = pChunk->cbUsed;
        if (cbPart > cb - cbCopied) {
            cbPart = cb - cbCopied;
        }
        memcpy(pbDest + cbCopied, pChunk->ab, cbPart);
        cbCopied += cbPart;
        Chunk *pNext = pChunk->pNext;
        if (bHandOver) {
            HeapFree(GetProcessHeap(), 0, pChunk);
            g_pFirstChunk = pNext;
        }
        pChunk = pNext;
    }
    if (bHandOver) {
        FreeChunksLocked();
    }
    ReleaseSRWLockExclusive(&g_srwRecording);
    return cbCopied;
}

WAVEFORMATEX RecordedFormat() {
    AcquireSRWLockShared(&g_srwRecording);
    WAVEFORMATEX wfx = g_wfxRecorded;
    ReleaseSRWLockShared(&g_srwRecording);
    return wfx;
}

void FreeRecording() {
    AcquireSRWLockExclusive(&g_srwRecording);
    FreeChunksLocked();
    ReleaseSRWLockExclusive(&g_srwRecording);
}

} // namespace capturefx
