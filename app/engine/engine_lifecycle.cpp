// Engine lifecycle: the DirectMusic object, performance and loader at start-up, and everything released at exit.
#include "engine.h"

#include "engine_setup.h"
#include "engine_state.h"
#include "midi/instrument_tool.h"

HRESULT InitDirectMusic(HWND hWnd) {
    HRESULT hr = CoCreateInstance(CLSID_DirectMusic, nullptr, CLSCTX_INPROC, IID_IDirectMusic8,
                                  reinterpret_cast<void **>(&pDirectMusic));
    if (FAILED(hr)) {
        TraceFailure("IDirectMusic8 - FAILED", hr);
        return hr;
    }
    // No DirectSound object of ours: DirectMusic creates its own for the window.
    hr = pDirectMusic->SetDirectSound(nullptr, hWnd);
    if (FAILED(hr)) {
        TraceFailure("pDirectMusic->SetDirectSound - FAILED", hr);
        return hr;
    }
    hr = CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
                          reinterpret_cast<void **>(&pPerformance));
    if (FAILED(hr)) {
        TraceFailure("IID_IDirectMusicPerformance8 - FAILED", hr);
        return hr;
    }
    hr = CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8,
                          reinterpret_cast<void **>(&pLoader));
    if (FAILED(hr)) {
        TraceFailure("IID_IDirectMusicLoader8 - FAILED", hr);
    }
    return hr;
}

namespace {

// The graph's own reference goes with RemoveTool; ours is the last, so Release destroys the tool.
void DestroyInstrumentTool() {
    if (pInstrumentTool == nullptr) {
        return;
    }
    if (pGraph != nullptr) {
        pGraph->RemoveTool(pInstrumentTool);
    }
    pInstrumentTool->Release();
    pInstrumentTool = nullptr;
}

} // namespace

// The audio set-up of one play: replaced by every InitAudioPath, released at exit.
void ReleaseAudioSetup() {
    DestroyInstrumentTool();
    ReleaseAndClear(pGraph);
    ReleaseAndClear(pDirectSoundBufferInPath);
    ReleaseAndClear(pSegmentState);
    ReleaseAndClear(pAudioPath);
}

int FreeDirectMusic() {
    if (pPerformance != nullptr) {
        pPerformance->Stop(nullptr, nullptr, 0, 0);
        pPerformance->CloseDown();
    }
    ReleaseAndClear(pCaptureControl);
    ReleaseAndClear(pCaptureDMO);
    if (pAudioPath != nullptr) {
        pAudioPath->Activate(FALSE);
    }
    if (pDirectMusic != nullptr) {
        pDirectMusic->Activate(FALSE);
    }
    ReleaseAudioSetup();
    ReleaseAndClear(pSegment);
    ReleaseAndClear(pLoader);
    ReleaseAndClear(pPerformance);
    ReleaseAndClear(pDirectMusic);
    CoUninitialize();
    return 0;
}
