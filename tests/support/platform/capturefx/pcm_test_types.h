// Test helper: PCM formats and the DMO media types that describe them, as DirectSound hands them to an effect.
#pragma once

#include <windows.h>

#include <uuids.h>

#include "dmo_headers.h"

inline WAVEFORMATEX PcmFormat(WORD nChannels, DWORD nRate, WORD wBits) {
    WAVEFORMATEX wfx = {};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = nChannels;
    wfx.nSamplesPerSec = nRate;
    wfx.wBitsPerSample = wBits;
    wfx.nBlockAlign = static_cast<WORD>(nChannels * wBits / 8);
    wfx.nAvgBytesPerSec = nRate * wfx.nBlockAlign;
    return wfx;
}

// A media type pointing at wfx, which must outlive it.
inline DMO_MEDIA_TYPE MediaTypeOf(WAVEFORMATEX &wfx) {
    DMO_MEDIA_TYPE mt = {};
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = MEDIASUBTYPE_PCM;
    mt.bFixedSizeSamples = TRUE;
    mt.lSampleSize = wfx.nBlockAlign;
    mt.formattype = FORMAT_WaveFormatEx;
    mt.cbFormat = sizeof(wfx);
    mt.pbFormat = reinterpret_cast<BYTE *>(&wfx);
    return mt;
}
