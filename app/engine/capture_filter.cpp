// Capture effect management: find "OrvaDMOFilter" among the audio-effect DMOs, place it on the buffer, remove it.
#include "engine.h"

#include <cstring>

#include "engine_setup.h"
#include "engine_state.h"
#include "trace.h"

namespace {

const char kCaptureEffectName[] = "OrvaDMOFilter";
const size_t kEffectNameSize = 4096; // bytes of a friendly name in the ANSI code page

// True when the enumerated name is exactly the capture effect's (case-sensitive). Frees the name.
bool IsCaptureEffectName(WCHAR *pwszName) {
    char szName[kEffectNameSize] = {};
    if (pwszName != nullptr &&
        WideCharToMultiByte(CP_ACP, 0, pwszName, -1, szName, sizeof(szName), nullptr, nullptr) == 0) {
        szName[0] = '\0';
    }
    CoTaskMemFree(pwszName);
    return strcmp(szName, kCaptureEffectName) == 0;
}

// Walks the enumeration to the capture effect: S_OK with its class, S_FALSE at the end of the list, or the
// failure of Next. The enumerator is released on every path.
HRESULT FindCaptureEffectClass(IEnumDMO *pDMOEnum, CLSID *pclsid) {
    HRESULT hr;
    for (;;) {
        WCHAR *pwszName = nullptr;
        hr = pDMOEnum->Next(1, pclsid, &pwszName, nullptr);
        if (FAILED(hr)) {
            pDMOEnum->Release();
            TraceLine("pDMOEnum->Next - FAILED");
            return hr;
        }
        if (hr != S_OK) {
            CoTaskMemFree(pwszName);
            break;
        }
        if (IsCaptureEffectName(pwszName)) {
            break;
        }
    }
    pDMOEnum->Release();
    return hr == S_OK ? S_OK : S_FALSE;
}

// Places nEffects (0 or 1) effects on the buffer, which takes effects only while its audio path is inactive.
HRESULT SetBufferEffects(DWORD nEffects) {
    if (pDirectSoundBufferInPath == nullptr) {
        return E_FAIL;
    }
    if (pAudioPath != nullptr) {
        pAudioPath->Activate(FALSE);
    }
    DWORD dwResult = 0;
    HRESULT hr = nEffects != 0 ? pDirectSoundBufferInPath->SetFX(1, &g_captureEffectDesc, &dwResult)
                               : pDirectSoundBufferInPath->SetFX(0, nullptr, nullptr);
    if (FAILED(hr)) {
        TraceFailure("pDirectSoundBufferInPath->SetFX - FAILED", hr);
        return hr;
    }
    if (pAudioPath != nullptr) {
        pAudioPath->Activate(TRUE);
    }
    return S_OK;
}

} // namespace

HRESULT FindFilter() {
    // A second search (after regsvr32) starts from nothing.
    ReleaseAndClear(pCaptureControl);
    ReleaseAndClear(pCaptureDMO);
    IEnumDMO *pDMOEnum = nullptr;
    HRESULT hr = g_pfnDMOEnum(DMOCATEGORY_AUDIO_EFFECT, DMO_ENUMF_INCLUDE_KEYED, 0, nullptr, 0, nullptr, &pDMOEnum);
    if (FAILED(hr)) {
        TraceFailure("DMOEnum - FAILED", hr);
        return hr;
    }
    CLSID clsid = GUID_NULL;
    hr = FindCaptureEffectClass(pDMOEnum, &clsid);
    if (hr != S_OK) {
        return hr;
    }
    g_captureEffectDesc = {};
    g_captureEffectDesc.dwSize = sizeof(g_captureEffectDesc);
    g_captureEffectDesc.dwFlags = DSFX_LOCSOFTWARE;
    g_captureEffectDesc.guidDSFXClass = clsid;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC, IID_IMediaObject, reinterpret_cast<void **>(&pCaptureDMO));
    if (FAILED(hr)) {
        pCaptureDMO = nullptr;
        TraceFailure("CoCreateInstance (DMO) - FAILED", hr);
        return hr;
    }
    hr = pCaptureDMO->QueryInterface(IID_ICaptureControl, reinterpret_cast<void **>(&pCaptureControl));
    if (FAILED(hr)) {
        pCaptureControl = nullptr;
        return hr;
    }
    g_captureBlock.hHeap = GetProcessHeap();
    pCaptureControl->AttachBlock(&g_captureBlock);
    return hr;
}

HRESULT SetFilter() {
    return SetBufferEffects(1);
}

HRESULT RemoveFilter() {
    return SetBufferEffects(0);
}
