// BeginCapture / FinishCapture: the engine calls of a conversion, in the order the engine requires.
#include "capture_session.h"

#include "engine.h"

namespace {

const int kNotificationAlmostEnd = 2;   // DMUS_NOTIFICATION_SEGALMOSTEND
const int kVolumeWhileConverting = 100; // +20 dB: the nominal level of every conversion

HRESULT LoadStep(const char *pszMidiPath) {
    return LoadMidiFile(pszMidiPath);
}
HRESULT PlayStep(const char *) {
    return PlayMidiFile(TRUE);
}
HRESULT RemoveStep(const char *) {
    return RemoveFilter();
}
HRESULT SetStep(const char *) {
    return SetFilter();
}

} // namespace

const CapturePacing kDialogPacing = {100, 100};

const char *BeginCapture(const char *pszMidiPath, int nTempo, BuildPlanProc pfnBuildPlan, void *pContext) {
    if (FAILED(StopMidi()))
        return "Stop MIDI Failed";
    InitAudioPath();
    SetMasterVolume(kVolumeWhileConverting);
    SetMasterTempo(nTempo);
    pfnBuildPlan(pContext);
    const struct {
        HRESULT (*pfnStep)(const char *);
        const char *pszFailure;
    } steps[] = {{LoadStep, "Can't load MIDI File"},
                 {RemoveStep, "Can't Remove Filter"},
                 {SetStep, "Can't Set Filter"},
                 {PlayStep, "Can't Play MIDI File"}};
    for (const auto &step : steps) {
        if (FAILED(step.pfnStep(pszMidiPath)))
            return step.pszFailure;
    }
    return nullptr;
}

const char *FinishCapture(const CapturePacing &pacing, volatile LONG *pbAbort, CaptureProgressProc pfnProgress,
                          void *pContext) {
    // The segment's own start: the music has moved on while the caller locked its controls, and a conversion
    // outruns real time.
    unsigned int nStart = static_cast<unsigned int>(GetSegmentStartSeconds());
    unsigned int nEnd = static_cast<unsigned int>(GetSegmentEndSeconds());
    // One second less than the piece's length is shown; a piece shorter than two seconds has none to show.
    unsigned int nTotal = (nEnd > nStart + 1) ? nEnd - nStart - 1 : 0;
    while (!*pbAbort) {
        if (GetSegmentNotification() == kNotificationAlmostEnd) {
            RemoveSegmentNotification();
            // The piece has ended, however far the last poll had seen it.
            pfnProgress(nTotal, nTotal, pContext);
            break;
        }
        pfnProgress(static_cast<unsigned int>(GetPlayTimeSeconds()) - nStart, nTotal, pContext);
        Sleep(pacing.dwPollMs);
    }
    if (FAILED(StopMidi()))
        return "Stop MIDI Failed";
    Sleep(pacing.dwSettleMs);
    return nullptr;
}
