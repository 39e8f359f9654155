// The engine's process-wide objects, all null until created, and its two-line failure trace.
#include "engine_state.h"

#include <type_traits>

#include "error_descriptions.h"
#include "trace.h"

IDirectMusic8 *pDirectMusic = nullptr;
IDirectMusicPerformance8 *pPerformance = nullptr;
IDirectMusicLoader8 *pLoader = nullptr;
IDirectMusicSegment8 *pSegment = nullptr;
IDirectMusicSegmentState *pSegmentState = nullptr;
IDirectMusicAudioPath8 *pAudioPath = nullptr;
IDirectSoundBuffer8 *pDirectSoundBufferInPath = nullptr;
IDirectMusicGraph *pGraph = nullptr;
CInstrumentTool *pInstrumentTool = nullptr;

IMediaObject *pCaptureDMO = nullptr;
ICaptureControl *pCaptureControl = nullptr;
DSEFFECTDESC g_captureEffectDesc = {};
CaptureBlock g_captureBlock = {};

WaveFile *g_pWaveFile = nullptr;

DMOENUMPROC g_pfnDMOEnum = DMOEnum;
static_assert(std::is_same<decltype(&DMOEnum), DMOENUMPROC>::value, "g_pfnDMOEnum holds DMOEnum");

void TraceFailure(const char *pszLine, HRESULT hr) {
    TraceLine(pszLine);
    TraceLine(GetErrorDescription(hr));
}
