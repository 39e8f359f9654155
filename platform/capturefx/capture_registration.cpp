// regsvr32 support: the COM class under HKCR\CLSID and the DMO entry in the audio-effect category.
#include <windows.h>

#include "dmo_headers.h"
#include <olectl.h>
#include <uuids.h>

#include <cstdio>
#include <cstring>
#include <type_traits>

#include "capture_dmo.h"
#include "capture_server.h"

namespace {

const char kFriendlyName[] = "OrvaDMOFilter";
const wchar_t kFriendlyNameW[] = L"OrvaDMOFilter";
const char kThreadingModel[] = "Both";
const size_t kKeySize = 128; // "CLSID\{...}\InprocServer32" and its terminator

// "CLSID\{50E5BCDA-...}" followed by pszTail.
void FormatClassKey(char *pszKey, size_t cbKey, const char *pszTail) {
    const CLSID &c = CLSID_OrvaDMOFilter;
    snprintf(pszKey, cbKey, "CLSID\\{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}%s",
             static_cast<unsigned long>(c.Data1), c.Data2, c.Data3, c.Data4[0], c.Data4[1], c.Data4[2], c.Data4[3],
             c.Data4[4], c.Data4[5], c.Data4[6], c.Data4[7], pszTail);
}

// Creates HKCR\pszKey and sets one string value (pszName null: the default value).
bool SetClassString(const char *pszKey, const char *pszName, const char *pszValue) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, pszKey, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    LONG lResult = RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE *>(pszValue),
                                  static_cast<DWORD>(strlen(pszValue) + 1));
    RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

bool RegisterComClass() {
    char szModule[MAX_PATH];
    DWORD cch = GetModuleFileNameA(g_hCaptureModule, szModule, sizeof(szModule));
    if (cch == 0 || cch >= sizeof(szModule)) {
        return false;
    }
    char szClassKey[kKeySize], szServerKey[kKeySize];
    FormatClassKey(szClassKey, sizeof(szClassKey), "");
    FormatClassKey(szServerKey, sizeof(szServerKey), "\\InprocServer32");
    return SetClassString(szClassKey, nullptr, kFriendlyName) && SetClassString(szServerKey, nullptr, szModule) &&
           SetClassString(szServerKey, "ThreadingModel", kThreadingModel);
}

void UnregisterComClass() {
    char szClassKey[kKeySize], szServerKey[kKeySize];
    FormatClassKey(szClassKey, sizeof(szClassKey), "");
    FormatClassKey(szServerKey, sizeof(szServerKey), "\\InprocServer32");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, szServerKey);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, szClassKey);
}

} // namespace

STDAPI DllRegisterServer() {
    if (!RegisterComClass()) {
        UnregisterComClass();
        return SELFREG_E_CLASS;
    }
    DMO_PARTIAL_MEDIATYPE pcm = {MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
    HRESULT hr = DMORegister(kFriendlyNameW, CLSID_OrvaDMOFilter, DMOCATEGORY_AUDIO_EFFECT, 0, 1, &pcm, 1, &pcm);
    if (FAILED(hr)) {
        UnregisterComClass();
    }
    return hr;
}

STDAPI DllUnregisterServer() {
    HRESULT hr = DMOUnregister(CLSID_OrvaDMOFilter, DMOCATEGORY_AUDIO_EFFECT);
    UnregisterComClass();
    return SUCCEEDED(hr) ? S_OK : hr;
}

// regsvr32 finds both entry points by name and calls them through this type.
typedef HRESULT(STDAPICALLTYPE *SELFREGPROC)();
static_assert(std::is_same<decltype(&DllRegisterServer), SELFREGPROC>::value, "DllRegisterServer's type");
static_assert(std::is_same<decltype(&DllUnregisterServer), SELFREGPROC>::value, "DllUnregisterServer's type");
