// SaveCapturedWave: the capture effect's recording as a 16-bit mono WAV file at the requested rate.
#include "engine.h"

#include <new>

#include "audio/wave_file.h"
#include "capture_convert.h"
#include "discard_file.h"
#include "engine_state.h"
#include "rate_change.h"
#include "trace.h"

namespace {

// The recorded bytes in a buffer of the CaptureBlock's heap, and their format.
struct Recording {
    HANDLE hHeap;
    BYTE *pb;
    size_t cb;
    WAVEFORMATEX wfx;
};

bool IsSupportedFormat(const WAVEFORMATEX &wfx) {
    return wfx.nChannels > 0 && wfx.nSamplesPerSec > 0 &&
           (wfx.wBitsPerSample == 16 || wfx.wBitsPerSample == 24 || wfx.wBitsPerSample == 32);
}

// A failed call of the effect would leave a size of 0 (an empty file reported as written) or bytes never copied
// (noise in the file): each is traced under its own name and ends the job before a file is made.
HRESULT FetchRecording(Recording *pRec) {
    DWORD cbCaptured = 0;
    HRESULT hr = pCaptureControl->GetCapturedSize(&cbCaptured);
    if (FAILED(hr)) {
        TraceFailure("pCaptureControl->GetCapturedSize - FAILED", hr);
        return E_FAIL;
    }
    hr = pCaptureControl->UpdateBlock(&g_captureBlock);
    if (FAILED(hr)) {
        TraceFailure("pCaptureControl->UpdateBlock - FAILED", hr);
        return E_FAIL;
    }
    pRec->hHeap = g_captureBlock.hHeap != nullptr ? g_captureBlock.hHeap : GetProcessHeap();
    pRec->wfx = g_captureBlock.wfx;
    if (cbCaptured > 0 && !IsSupportedFormat(pRec->wfx)) {
        TraceLine("pCaptureControl->UpdateBlock - FAILED");
        return E_FAIL;
    }
    pRec->pb = static_cast<BYTE *>(HeapAlloc(pRec->hHeap, 0, cbCaptured > 0 ? cbCaptured : 1));
    if (pRec->pb == nullptr) {
        TraceLine("HeapAlloc - FAILED");
        return E_FAIL;
    }
    // S_FALSE: fewer bytes than recorded were copied, and the rest of the buffer holds nothing heard.
    hr = pCaptureControl->CopyCaptured(pRec->pb, cbCaptured);
    if (hr != S_OK) {
        TraceFailure("pCaptureControl->CopyCaptured - FAILED", hr);
        return E_FAIL;
    }
    pRec->cb = cbCaptured;
    return S_OK;
}

// 16 bits, then one channel, in place. Fewer than two samples make no sound worth a rate change: nothing is left.
void ReduceToMono16(Recording *pRec) {
    if (pRec->wfx.wBitsPerSample > 16) {
        pRec->cb = NarrowTo16(pRec->pb, pRec->cb, pRec->wfx.wBitsPerSample / 8u);
    }
    if (pRec->wfx.nChannels > 1) {
        // The mean of the channels: the left one alone would lose whatever is panned to the right.
        pRec->cb = MixToMono(pRec->pb, pRec->cb, pRec->wfx.nChannels);
    }
    if (pRec->cb < 4) {
        pRec->cb = 0;
    }
    pRec->cb &= ~static_cast<size_t>(1);
}

bool WriteSamples(void *, const int16_t *pnSamples, size_t nSamples) {
    UINT cbWritten = 0;
    HRESULT hr =
        g_pWaveFile->Write(static_cast<UINT>(2 * nSamples), reinterpret_cast<const BYTE *>(pnSamples), &cbWritten);
    if (FAILED(hr)) {
        TraceLine("g_pWaveFile->Write - FAILED");
        return false;
    }
    return true;
}

// The samples as they are when the rate does not change, else through the rate change, block by block.
HRESULT WriteAtRate(Recording *pRec, UINT nRate) {
    const int16_t *pnSamples = reinterpret_cast<const int16_t *>(pRec->pb);
    size_t nSamples = pRec->cb / 2;
    if (pRec->wfx.nSamplesPerSec == nRate || nSamples == 0) {
        return WriteSamples(nullptr, pnSamples, nSamples) ? S_OK : E_FAIL;
    }
    RateChangeResult result =
        ChangeSampleRate(pnSamples, nSamples, pRec->wfx.nSamplesPerSec, nRate, WriteSamples, nullptr);
    if (result == RateChangeResult::CannotStart) {
        TraceLine("soxr_create - FAILED");
    }
    return result == RateChangeResult::Ok ? S_OK : E_FAIL;
}

WAVEFORMATEX OutputFormat(UINT nRate) {
    WAVEFORMATEX wfx = {};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 1;
    wfx.nSamplesPerSec = nRate;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = 2;
    wfx.nAvgBytesPerSec = nRate * 2;
    wfx.cbSize = 0;
    return wfx;
}

// Converts and writes the recording through g_pWaveFile, already open; the first failure is traced.
HRESULT ConvertAndWrite(Recording *pRec, UINT nRate) {
    ReduceToMono16(pRec);
    HRESULT hr = WriteAtRate(pRec, nRate);
    if (FAILED(hr)) {
        return hr;
    }
    // The last buffer and the chunk sizes reach the disk only now: a full disk shows here.
    hr = g_pWaveFile->Close();
    if (FAILED(hr)) {
        TraceLine("g_pWaveFile->Close - FAILED");
    }
    return hr;
}

HRESULT WriteRecording(const char *pszPath, UINT nRate, Recording *pRec) {
    bool bExisted = GetFileAttributesA(pszPath) != INVALID_FILE_ATTRIBUTES;
    g_pWaveFile = new (std::nothrow) WaveFile();
    if (g_pWaveFile == nullptr) {
        TraceLine("new WaveFile - FAILED");
        return E_FAIL;
    }
    WAVEFORMATEX wfxOut = OutputFormat(nRate);
    HRESULT hr = g_pWaveFile->Open(pszPath, &wfxOut, WAVEFILE_WRITE);
    bool bCreated = SUCCEEDED(hr) || !bExisted;
    if (FAILED(hr)) {
        TraceLine("g_pWaveFile->Open - FAILED");
    } else {
        hr = ConvertAndWrite(pRec, nRate);
    }
    // The destructor closes a file whose Close failed, so a half-written one can then be deleted.
    delete g_pWaveFile;
    g_pWaveFile = nullptr;
    if (FAILED(hr)) {
        if (bCreated) {
            DiscardFailedFile(pszPath);
        }
        return E_FAIL;
    }
    return S_OK;
}

} // namespace

HRESULT SaveCapturedWave(const char *pszPath, UINT nRate) {
    if (pCaptureControl == nullptr || pszPath == nullptr || nRate == 0) {
        return E_FAIL;
    }
    Recording rec = {};
    HRESULT hr = FetchRecording(&rec);
    if (SUCCEEDED(hr)) {
        hr = WriteRecording(pszPath, nRate, &rec);
    }
    if (rec.pb != nullptr) {
        HeapFree(rec.hHeap, 0, rec.pb);
    }
    return hr;
}
