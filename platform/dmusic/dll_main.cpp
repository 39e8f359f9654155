// TwDirectMusic.dll entry points: the class factories of the DirectMusic, performance and loader classes.
#include <windows.h>

#include <initguid.h>

#include "module.h"

#include <dmusici.h>

#include <new>
#include <type_traits>

#include "com_object.h"
#include "dmusic_object.h"
#include "loader.h"
#include "performance.h"
#include "synth_host.h"

HMODULE g_hTwModule = nullptr;
volatile LONG g_nTwObjects = 0;

void DebugLine(const char *pszText) {
    char szLine[1024];
    wsprintfA(szLine, "TwDirectMusic: %.1000s\n", pszText);
    OutputDebugStringA(szLine);
}

namespace {

typedef HRESULT (*CreateFn)(REFIID riid, void **ppv);

template <class T> HRESULT CreateObject(REFIID riid, void **ppv) {
    T *pObject = new (std::nothrow) T();
    if (pObject == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = pObject->QueryInterface(riid, ppv);
    pObject->Release(); // the caller's reference, if any, keeps it
    return hr;
}

// One factory per class, created on request; it holds no state besides the creator.
class CClassFactory final : public tw::com::ComObject<CClassFactory, IClassFactory> {
public:
    explicit CClassFactory(CreateFn pfnCreate) : m_pfnCreate(pfnCreate) { ObjectCreated(); }

    void *InterfaceFor(REFIID riid) { return IsEqualIID(riid, IID_IClassFactory) ? this : nullptr; }
    STDMETHODIMP CreateInstance(IUnknown *pOuter, REFIID riid, void **ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        *ppv = nullptr;
        if (pOuter != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        return m_pfnCreate(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL fLock) override {
        if (fLock) {
            ObjectCreated();
        } else {
            ObjectDestroyed();
        }
        return S_OK;
    }

private:
    ~CClassFactory() { ObjectDestroyed(); }

    CreateFn m_pfnCreate;
};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID /*pReserved*/) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hTwModule = hInstance;
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void **ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    CreateFn pfnCreate = nullptr;
    if (IsEqualCLSID(rclsid, CLSID_DirectMusic)) {
        pfnCreate = CreateObject<CDirectMusic>;
    } else if (IsEqualCLSID(rclsid, CLSID_DirectMusicPerformance)) {
        pfnCreate = CreateObject<CPerformance>;
    } else if (IsEqualCLSID(rclsid, CLSID_DirectMusicLoader)) {
        pfnCreate = CreateObject<CLoader>;
    } else {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    CClassFactory *pFactory = new (std::nothrow) CClassFactory(pfnCreate);
    if (pFactory == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = pFactory->QueryInterface(riid, ppv);
    pFactory->Release();
    return hr;
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return g_nTwObjects == 0 && !SynthLoaded() ? S_OK : S_FALSE;
}

static_assert(std::is_same<decltype(&DllGetClassObject), LPFNGETCLASSOBJECT>::value,
              "DllGetClassObject has COM's calling convention");
static_assert(std::is_same<decltype(&DllCanUnloadNow), LPFNCANUNLOADNOW>::value,
              "DllCanUnloadNow has COM's calling convention");
