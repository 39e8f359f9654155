// The engine's process-wide COM objects and capture records, released once at exit by FreeDirectMusic.
#pragma once

#include <windows.h>

#include <dmusici.h>
#include <dsound.h>

#include "capture_control.h"
#include "dmo_headers.h"

class CInstrumentTool;
class WaveFile;

// DirectMusic objects: created once by InitDirectMusic (the first three) or per play by InitAudioPath and
// LoadMidiFile / PlayMidiFile. Used by one thread at a time (the dialog or the conversion worker).
extern IDirectMusic8 *pDirectMusic;
extern IDirectMusicPerformance8 *pPerformance;
extern IDirectMusicLoader8 *pLoader;
extern IDirectMusicSegment8 *pSegment;
extern IDirectMusicSegmentState *pSegmentState;
extern IDirectMusicAudioPath8 *pAudioPath;
extern IDirectSoundBuffer8 *pDirectSoundBufferInPath;
extern IDirectMusicGraph *pGraph;
extern CInstrumentTool *pInstrumentTool;

// The capture effect: the program's own instance and its control interface, the description SetFX places on
// the buffer, and the block shared with the effect for the life of the process.
extern IMediaObject *pCaptureDMO;
extern ICaptureControl *pCaptureControl;
extern DSEFFECTDESC g_captureEffectDesc;
extern CaptureBlock g_captureBlock;

// The WAV writer of the one file SaveCapturedWave is writing; null otherwise.
extern WaveFile *g_pWaveFile;

// The DMO enumeration FindFilter uses (DMOEnum; tests put a counting enumerator in its place).
typedef HRESULT(WINAPI *DMOENUMPROC)(REFGUID, DWORD, DWORD, const DMO_PARTIAL_MEDIATYPE *, DWORD,
                                     const DMO_PARTIAL_MEDIATYPE *, IEnumDMO **);
extern DMOENUMPROC g_pfnDMOEnum;

#ifndef _WIN64
static_assert(sizeof(DMUS_PORTCAPS) == 308, "DMUS_PORTCAPS is 308 bytes");
static_assert(sizeof(DMUS_AUDIOPARAMS) == 40, "DMUS_AUDIOPARAMS is 40 bytes");
static_assert(sizeof(DMUS_OBJECTDESC) == 848, "DMUS_OBJECTDESC is 848 bytes");
static_assert(sizeof(DSEFFECTDESC) == 32, "DSEFFECTDESC is 32 bytes");
#endif

// Writes the two trace lines of a failed call: pszLine ("name - FAILED"), then the description of hr.
void TraceFailure(const char *pszLine, HRESULT hr);
