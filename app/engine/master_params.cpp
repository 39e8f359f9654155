// Master volume and tempo: the performance's two global parameters, set before every play and conversion.
#include "engine.h"

#include "engine_state.h"

namespace {

const int kInputMin = 0;
const int kInputMax = 100;

int ClampInput(int nInput) {
    return nInput < kInputMin ? kInputMin : (nInput > kInputMax ? kInputMax : nInput);
}

} // namespace

// Hundredths of a dB: 40 × input − 2000, from −20 dB at 0 through unity at 50 to +20 dB at 100.
HRESULT SetMasterVolume(int nVolume) {
    UINT uValue = static_cast<UINT>(ClampInput(nVolume));
    uValue = uValue * 4000u / 100u - 2000u;
    LONG lVolume = static_cast<LONG>(uValue);
    if (pPerformance == nullptr) {
        return 0;
    }
    HRESULT hr = pPerformance->SetGlobalParam(GUID_PerfMasterVolume, &lVolume, sizeof(lVolume));
    if (FAILED(hr)) {
        TraceFailure("pPerformance->SetGlobalParam - FAILED", hr);
    }
    return hr;
}

// Factor position / 100 + 0.5: 0.5 at 0, 1.0 at "Normal" (50), 1.5 at 100.
HRESULT SetMasterTempo(int nTempo) {
    float fTempo = static_cast<float>(ClampInput(nTempo) / 100.0 + 0.5);
    if (pPerformance == nullptr) {
        return 0;
    }
    HRESULT hr = pPerformance->SetGlobalParam(GUID_PerfMasterTempo, &fTempo, sizeof(fTempo));
    if (FAILED(hr)) {
        TraceFailure("pPerformance->SetGlobalParam(GUID_PerfMasterTempo) - FAILED", hr);
    }
    return hr;
}
