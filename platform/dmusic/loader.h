// CLoader: the DirectMusic loader, making segments from Standard MIDI Files.
#pragma once

#include <windows.h>

#include <dmusici.h>

#include "com_object.h"

class CLoader final : public tw::com::ComObject<CLoader, IDirectMusicLoader8> {
public:
    CLoader();

    // The interface pointer for riid, or null (IUnknown is answered by the template).

    void *InterfaceFor(REFIID riid);

    // Segments only, from a file (DMUS_OBJ_FILENAME or DMUS_OBJ_FULLPATH) or memory (DMUS_OBJ_MEMORY).
    // A file that cannot be opened gives DMUS_E_LOADER_FAILEDOPEN, one that is no MIDI file
    // DMUS_E_UNSUPPORTED_STREAM, a damaged one DMUS_E_INVALIDFILE.
    STDMETHODIMP GetObject(LPDMUS_OBJECTDESC pDesc, REFIID riid, LPVOID *ppv) override;
    STDMETHODIMP SetObject(LPDMUS_OBJECTDESC pDesc) override;
    STDMETHODIMP SetSearchDirectory(REFGUID rguidClass, WCHAR *pwzPath, WINBOOL fClear) override;
    STDMETHODIMP ScanDirectory(REFGUID rguidClass, WCHAR *pwzFileExtension, WCHAR *pwzScanFileName) override;
    STDMETHODIMP CacheObject(IDirectMusicObject *pObject) override;
    STDMETHODIMP ReleaseObject(IDirectMusicObject *pObject) override;
    STDMETHODIMP ClearCache(REFGUID rguidClass) override;
    STDMETHODIMP EnableCache(REFGUID rguidClass, WINBOOL fEnable) override;
    STDMETHODIMP EnumObject(REFGUID rguidClass, DWORD dwIndex, LPDMUS_OBJECTDESC pDesc) override;
    STDMETHODIMP_(void) CollectGarbage() override;
    STDMETHODIMP ReleaseObjectByUnknown(IUnknown *pObject) override;
    STDMETHODIMP LoadObjectFromFile(REFGUID rguidClassID, REFIID iidInterfaceID, WCHAR *pwzFilePath,
                                    void **ppObject) override;

private:
    ~CLoader();
};
