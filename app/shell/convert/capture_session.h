// One capture through the engine: the steps that start a piece playing into the capture effect, and the poll
// that waits for its end. Shared by the dialog's worker and the console converter.
#pragma once

#include <windows.h>

// Builds the instrument plan (g_programMap, g_pchannelPrograms) at the moment the engine is ready for it.
typedef void (*BuildPlanProc)(void *pContext);
// Told the elapsed and the total seconds of the piece every 100 ms while it plays (total 0: too short to show),
// and the total as elapsed once it has ended.
typedef void (*CaptureProgressProc)(unsigned int nElapsed, unsigned int nTotal, void *pContext);

// Stops any playback, sets up the audio path at the conversion level and the tempo (slider position 0..100),
// builds the plan, loads the file, attaches the capture effect and plays. Returns null, or the message of the
// step that failed ("Stop MIDI Failed", "Can't load MIDI File", ...).
const char *BeginCapture(const char *pszMidiPath, int nTempo, BuildPlanProc pfnBuildPlan, void *pContext);

// How often the end is polled, and the pause after the engine has stopped before the recording is read.
struct CapturePacing {
    DWORD dwPollMs;
    DWORD dwSettleMs;
};
// The dialog's pace: a poll and a pause of 100 ms each.
extern const CapturePacing kDialogPacing;

// Polls until the segment is about to end or *pbAbort is set, then stops the engine. Returns null, or
// "Stop MIDI Failed".
const char *FinishCapture(const CapturePacing &pacing, volatile LONG *pbAbort, CaptureProgressProc pfnProgress,
                          void *pContext);
