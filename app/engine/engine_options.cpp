// What a program may ask of the engine beyond the dialog's fixed set-up: the synthesizer's polyphony, and the
// clock time at which the playing segment started.
#include "engine.h"

#include "engine_state.h"

namespace {

const REFERENCE_TIME kUnitsPerSecond = 10000000;
int g_nEngineVoices = 0; // 0: the synthesizer's own setting

} // namespace

void SetEngineVoices(int nVoices) {
    g_nEngineVoices = nVoices > 0 ? nVoices : 0;
}

int EngineVoices() {
    return g_nEngineVoices;
}

int GetSegmentStartSeconds() {
    if (pPerformance == nullptr || pSegmentState == nullptr) {
        return GetPlayTimeSeconds();
    }
    MUSIC_TIME mtStart = 0;
    REFERENCE_TIME rtStart = 0;
    if (FAILED(pSegmentState->GetStartTime(&mtStart)) ||
        FAILED(pPerformance->MusicToReferenceTime(mtStart, &rtStart))) {
        return GetPlayTimeSeconds();
    }
    return static_cast<int>(rtStart / kUnitsPerSecond);
}
