// regsvr32 support: the COM class under CLSID and the DMO entry in the audio-effect category, for every user
// when Windows allows it, else for the user who registers (a standard user may not write the machine's classes).
#include <windows.h>

#include "dmo_headers.h"
#include <olectl.h>
#include <uuids.h>

#include <cstdio>
#include <cstring>
#include <type_traits>

#include "capture_dmo.h"
#include "capture_server.h"
#include "classes_root.h"

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

// Creates HKCR\pszKey and sets one string value (pszName null: the default value). A Win32 error code.
LONG SetClassString(const char *pszKey, const char *pszName, const char *pszValue) {
    HKEY hKey = nullptr;
    LONG lResult = RegCreateKeyExA(HKEY_CLASSES_ROOT, pszKey, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr);
    if (lResult != ERROR_SUCCESS) {
        return lResult;
    }
    lResult = RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE *>(pszValue),
                             static_cast<DWORD>(strlen(pszValue) + 1));
    RegCloseKey(hKey);
    return lResult;
}

// A refusal stays E_ACCESSDENIED, so that the caller can try the user's classes; other failures are the class's.
HRESULT ClassFailure(LONG lResult) {
    return lResult == ERROR_ACCESS_DENIED ? E_ACCESSDENIED : SELFREG_E_CLASS;
}

HRESULT RegisterComClass() {
    char szModule[MAX_PATH];
    DWORD cch = GetModuleFileNameA(g_hCaptureModule, szModule, sizeof(szModule));
    if (cch == 0 || cch >= sizeof(szModule)) {
        return SELFREG_E_CLASS;
    }
    char szClassKey[kKeySize], szServerKey[kKeySize];
    FormatClassKey(szClassKey, sizeof(szClassKey), "");
    FormatClassKey(szServerKey, sizeof(szServerKey), "\\InprocServer32");
    LONG lResult = SetClassString(szClassKey, nullptr, kFriendlyName);
    if (lResult == ERROR_SUCCESS) {
        lResult = SetClassString(szServerKey, nullptr, szModule);
    }
    if (lResult == ERROR_SUCCESS) {
        lResult = SetClassString(szServerKey, "ThreadingModel", kThreadingModel);
    }
    return lResult == ERROR_SUCCESS ? S_OK : ClassFailure(lResult);
}

void UnregisterComClass() {
    char szClassKey[kKeySize], szServerKey[kKeySize];
    FormatClassKey(szClassKey, sizeof(szClassKey), "");
    FormatClassKey(szServerKey, sizeof(szServerKey), "\\InprocServer32");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, szServerKey);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, szClassKey);
}

bool IsRegisteredIn(ClassesScope scope) {
    char szClassKey[kKeySize];
    FormatClassKey(szClassKey, sizeof(szClassKey), "");
    return ClassesKeyExists(scope, szClassKey);
}

// The class and the DMO entry in one scope; nothing of it is left there on failure.
HRESULT RegisterIn(ClassesScope scope) {
    ScopedClassesRoot root(scope);
    if (root.status() != ERROR_SUCCESS) {
        return root.status() == ERROR_ACCESS_DENIED ? E_ACCESSDENIED : HRESULT_FROM_WIN32(root.status());
    }
    HRESULT hr = RegisterComClass();
    if (SUCCEEDED(hr)) {
        DMO_PARTIAL_MEDIATYPE pcm = {MEDIATYPE_Audio, MEDIASUBTYPE_PCM};
        hr = DMORegister(kFriendlyNameW, CLSID_OrvaDMOFilter, DMOCATEGORY_AUDIO_EFFECT, 0, 1, &pcm, 1, &pcm);
    }
    if (FAILED(hr)) {
        DMOUnregister(CLSID_OrvaDMOFilter, DMOCATEGORY_AUDIO_EFFECT);
        UnregisterComClass();
    }
    return hr;
}

// Removes the class and the DMO entry from one scope: S_OK when none is left there (or none was), E_ACCESSDENIED
// when one is there that this user may not remove.
HRESULT UnregisterIn(ClassesScope scope) {
    {
        ScopedClassesRoot root(scope);
        if (root.status() == ERROR_SUCCESS) {
            DMOUnregister(CLSID_OrvaDMOFilter, DMOCATEGORY_AUDIO_EFFECT);
            UnregisterComClass();
        }
    }
    return IsRegisteredIn(scope) ? E_ACCESSDENIED : S_OK;
}

} // namespace

STDAPI DllRegisterServer() {
    HRESULT hr = RegisterIn(kMachineClasses);
    if (SUCCEEDED(hr)) {
        // The user's own entry would hide the machine's from this user (HKEY_CLASSES_ROOT prefers it).
        UnregisterIn(kUserClasses);
        return hr;
    }
    return hr == E_ACCESSDENIED ? RegisterIn(kUserClasses) : hr;
}

STDAPI DllUnregisterServer() {
    HRESULT hrMachine = UnregisterIn(kMachineClasses);
    HRESULT hrUser = UnregisterIn(kUserClasses);
    return FAILED(hrMachine) ? hrMachine : hrUser;
}

// regsvr32 finds both entry points by name and calls them through this type.
typedef HRESULT(STDAPICALLTYPE *SELFREGPROC)();
static_assert(std::is_same<decltype(&DllRegisterServer), SELFREGPROC>::value, "DllRegisterServer's type");
static_assert(std::is_same<decltype(&DllUnregisterServer), SELFREGPROC>::value, "DllUnregisterServer's type");
