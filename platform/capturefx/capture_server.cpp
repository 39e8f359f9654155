// The in-process COM server of OrvaDMOFilter.dll: module handle, class factory and unloading.
#include <windows.h>

#include <new>
#include <type_traits>

#include "com_object.h"

#include "capture_dmo.h"
#include "capture_recording.h"
#include "capture_server.h"

HMODULE g_hCaptureModule = nullptr;

namespace {

volatile LONG g_cServerLocks = 0;

// The one factory of the one class; static, so its reference count does not keep the DLL loaded.
class CCaptureFactory final : public tw::com::StaticComObject<CCaptureFactory, IClassFactory> {
public:
    void *InterfaceFor(REFIID riid) { return IsEqualIID(riid, IID_IClassFactory) ? this : nullptr; }

    STDMETHODIMP CreateInstance(IUnknown *pUnkOuter, REFIID riid, void **ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        *ppv = nullptr;
        if (pUnkOuter != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        CCaptureDmo *pDmo = new (std::nothrow) CCaptureDmo();
        if (pDmo == nullptr) {
            return E_OUTOFMEMORY;
        }
        HRESULT hr = pDmo->QueryInterface(riid, ppv);
        pDmo->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL fLock) override {
        if (fLock) {
            InterlockedIncrement(&g_cServerLocks);
        } else {
            InterlockedDecrement(&g_cServerLocks);
        }
        return S_OK;
    }
};

CCaptureFactory g_captureFactory;

} // namespace

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_hCaptureModule = hInstance;
        DisableThreadLibraryCalls(hInstance);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        capturefx::FreeRecording();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID *ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_OrvaDMOFilter)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return g_captureFactory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return g_cCaptureObjects == 0 && g_cServerLocks == 0 ? S_OK : S_FALSE;
}

static_assert(std::is_same<decltype(&DllGetClassObject), LPFNGETCLASSOBJECT>::value, "DllGetClassObject's type");
static_assert(std::is_same<decltype(&DllCanUnloadNow), LPFNCANUNLOADNOW>::value, "DllCanUnloadNow's type");
