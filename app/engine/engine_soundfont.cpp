// The SoundFont the engine plays, chosen through the DirectMusic stand-in's own interface.
#include "engine.h"

#include "engine_state.h"
#include "soundfont_control.h"

#include <cstdio>

HRESULT SetEngineSoundFont(const char *pszPath, char *pszReason, DWORD cchReason) {
    if (cchReason > 0) {
        pszReason[0] = '\0';
    }
    ITwSoundFontControl *pControl = nullptr;
    HRESULT hr = pDirectMusic != nullptr
                     ? pDirectMusic->QueryInterface(IID_ITwSoundFontControl, reinterpret_cast<void **>(&pControl))
                     : E_POINTER;
    if (FAILED(hr)) {
        // The system's own DirectMusic plays its own sounds: there is nothing to choose.
        snprintf(pszReason, cchReason, "This DirectMusic cannot play another SoundFont.");
        return hr;
    }
    hr = pControl->SetSoundFont(pszPath, pszReason, cchReason);
    pControl->Release();
    return hr;
}
