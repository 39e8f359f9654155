// The media types the capture effect accepts: interleaved PCM of 16, 24 or 32 bits.
#pragma once

#include <windows.h>
// mmreg.h needs the types of windows.h first.
#include <mmreg.h>

#include "dmo_headers.h"

namespace capturefx {

// Reads a DMO media type into *pwfx; false unless it is audio, PCM, described by a WAVEFORMATEX with 16, 24 or
// 32 bits per sample, 1..8 channels and a consistent block alignment and byte rate.
bool ReadPcmMediaType(const DMO_MEDIA_TYPE *pmt, WAVEFORMATEX *pwfx);
// Fills *pmt (its format block allocated by MoInitMediaType) to describe wfx; the caller frees it.
HRESULT WritePcmMediaType(const WAVEFORMATEX &wfx, DMO_MEDIA_TYPE *pmt);

} // namespace capturefx
