// Reading and writing the PCM media types of the capture effect.
#include "pcm_media_type.h"

#include <uuids.h>

#include <cstring>

namespace capturefx {
namespace {

const WORD kMaxChannels = 8;

bool IsSupportedWidth(WORD wBits) {
    return wBits == 16 || wBits == 24 || wBits == 32;
}

} // namespace

bool ReadPcmMediaType(const DMO_MEDIA_TYPE *pmt, WAVEFORMATEX *pwfx) {
    if (pmt == nullptr || !IsEqualGUID(pmt->majortype, MEDIATYPE_Audio) ||
        !IsEqualGUID(pmt->subtype, MEDIASUBTYPE_PCM) || !IsEqualGUID(pmt->formattype, FORMAT_WaveFormatEx) ||
        pmt->pbFormat == nullptr || pmt->cbFormat < sizeof(PCMWAVEFORMAT)) {
        return false;
    }
    WAVEFORMATEX wfx = {};
    memcpy(&wfx, pmt->pbFormat, sizeof(PCMWAVEFORMAT)); // cbSize is not there in a PCMWAVEFORMAT
    if (wfx.wFormatTag != WAVE_FORMAT_PCM || !IsSupportedWidth(wfx.wBitsPerSample) || wfx.nChannels == 0 ||
        wfx.nChannels > kMaxChannels || wfx.nSamplesPerSec == 0 ||
        wfx.nBlockAlign != wfx.nChannels * (wfx.wBitsPerSample / 8) ||
        wfx.nAvgBytesPerSec != wfx.nSamplesPerSec * wfx.nBlockAlign) {
        return false;
    }
    *pwfx = wfx;
    return true;
}

HRESULT WritePcmMediaType(const WAVEFORMATEX &wfx, DMO_MEDIA_TYPE *pmt) {
    if (pmt == nullptr) {
        return E_POINTER;
    }
    HRESULT hr = MoInitMediaType(pmt, sizeof(WAVEFORMATEX));
    if (FAILED(hr)) {
        return hr;
    }
    pmt->majortype = MEDIATYPE_Audio;
    pmt->subtype = MEDIASUBTYPE_PCM;
    pmt->bFixedSizeSamples = TRUE;
    pmt->bTemporalCompression = FALSE;
    pmt->lSampleSize = wfx.nBlockAlign;
    pmt->formattype = FORMAT_WaveFormatEx;
    WAVEFORMATEX wfxOut = wfx;
    wfxOut.cbSize = 0;
    memcpy(pmt->pbFormat, &wfxOut, sizeof(wfxOut));
    return S_OK;
}

} // namespace capturefx
