// Where a registration is written: the machine's COM classes or the user's, for DllRegisterServer and
// DllUnregisterServer.
#pragma once

#include <windows.h>

enum ClassesScope {
    kMachineClasses, // HKLM\Software\Classes: every user; needs an administrator
    kUserClasses     // HKCU\Software\Classes: this user only; Windows merges it into HKEY_CLASSES_ROOT
};

// Redirects HKEY_CLASSES_ROOT to one scope's classes key for as long as it lives, so that what DMORegister and
// DMOUnregister write through HKEY_CLASSES_ROOT lands in that scope with the entries of our own. The redirection
// is the whole process's: only registration entry points, which regsvr32 and installers call alone, use it.
class ScopedClassesRoot {
public:
    explicit ScopedClassesRoot(ClassesScope scope);
    ~ScopedClassesRoot();
    ScopedClassesRoot(const ScopedClassesRoot &) = delete;
    ScopedClassesRoot &operator=(const ScopedClassesRoot &) = delete;

    // ERROR_SUCCESS once redirected; ERROR_ACCESS_DENIED when the scope cannot be written (a standard user
    // and the machine's classes), or another Win32 error.
    LONG status() const { return m_lStatus; }

private:
    HKEY m_hClasses = nullptr;
    LONG m_lStatus;
};

// True when the scope's classes key holds the subkey (read access only).
bool ClassesKeyExists(ClassesScope scope, const char *pszSubKey);
