// ScopedClassesRoot: HKEY_CLASSES_ROOT redirected to the machine's or the user's classes while registering.
#include "classes_root.h"

namespace {

const char kClassesKey[] = "Software\\Classes";

HKEY ScopeRoot(ClassesScope scope) {
    return scope == kMachineClasses ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

} // namespace

ScopedClassesRoot::ScopedClassesRoot(ClassesScope scope) {
    // Opening for writing is where Windows refuses a standard user the machine's classes.
    m_lStatus = RegCreateKeyExA(ScopeRoot(scope), kClassesKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                &m_hClasses, nullptr);
    if (m_lStatus != ERROR_SUCCESS) {
        m_hClasses = nullptr;
        return;
    }
    m_lStatus = RegOverridePredefKey(HKEY_CLASSES_ROOT, m_hClasses);
}

ScopedClassesRoot::~ScopedClassesRoot() {
    if (m_hClasses == nullptr) {
        return;
    }
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(m_hClasses);
}

bool ClassesKeyExists(ClassesScope scope, const char *pszSubKey) {
    HKEY hClasses = nullptr;
    if (RegOpenKeyExA(ScopeRoot(scope), kClassesKey, 0, KEY_READ, &hClasses) != ERROR_SUCCESS) {
        return false;
    }
    HKEY hKey = nullptr;
    bool bExists = RegOpenKeyExA(hClasses, pszSubKey, 0, KEY_READ, &hKey) == ERROR_SUCCESS;
    if (bExists) {
        RegCloseKey(hKey);
    }
    RegCloseKey(hClasses);
    return bExists;
}
