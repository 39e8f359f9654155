// ICaptureControl and the CaptureBlock: what the capture effect OrvaDMOFilter shares with the program.
#pragma once

#include <windows.h>
// mmreg.h needs the types of windows.h first.
#include <mmreg.h>

#include <cstddef>

// The record the program keeps in static storage for the life of the process. It writes the heap handle before
// AttachBlock; the effect writes the recorded format at UpdateBlock.
struct CaptureBlock {
    HANDLE hHeap;                         // the process heap, for the program's buffers
    BYTE abReserved[16 - sizeof(HANDLE)]; // the effect's own; unused
    WAVEFORMATEX wfx;                     // format of the recorded bytes (PCM, 16, 24 or 32 bits, interleaved)
};

#ifndef _WIN64
static_assert(sizeof(CaptureBlock) == 36, "CaptureBlock is 36 bytes on Win32");
static_assert(offsetof(CaptureBlock, hHeap) == 0, "the heap handle opens the CaptureBlock");
#endif
static_assert(offsetof(CaptureBlock, wfx) == 16, "the recorded format lies at offset 16 of the CaptureBlock");

// {15891CD2-F41F-4E61-A094-CE10D5073C58}
constexpr IID IID_ICaptureControl = {0x15891cd2, 0xf41f, 0x4e61, {0xa0, 0x94, 0xce, 0x10, 0xd5, 0x07, 0x3c, 0x58}};

// The effect's control interface: reads the one recording that every instance in the process shares.
struct ICaptureControl : public IUnknown {
    // Keeps the block for later UpdateBlock calls and writes the current format into it.
    virtual HRESULT STDMETHODCALLTYPE AttachBlock(CaptureBlock *pBlock) = 0;
    // Writes the format of the recorded bytes into the block's WAVEFORMATEX.
    virtual HRESULT STDMETHODCALLTYPE UpdateBlock(CaptureBlock *pBlock) = 0;
    // Sets *pcbCaptured to the number of bytes recorded since the last attachment to a buffer.
    virtual HRESULT STDMETHODCALLTYPE GetCapturedSize(DWORD *pcbCaptured) = 0;
    // Copies the first cbCopy recorded bytes to pbDest (at most what was recorded).
    virtual HRESULT STDMETHODCALLTYPE CopyCaptured(BYTE *pbDest, DWORD cbCopy) = 0;
};
