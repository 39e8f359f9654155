// RegisterCaptureEffect: regsvr32 on the program's own OrvaDMOFilter.dll, waited for, its exit code explained.
#include "effect_registration.h"

#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

namespace {

const DWORD kRegisterTimeoutMs = 30000;
const size_t kPathChars = MAX_PATH * 4;

// regsvr32's exit codes.
const DWORD kRegsvrLoadFailed = 3; // the DLL could not be loaded
const DWORD kRegsvrNoEntry = 4;    // it has no DllRegisterServer
const DWORD kRegsvrCallFailed = 5; // DllRegisterServer reported a failure

// The long form of a path, so that "C:\Users\LONGNA~1\..." and "C:\Users\Longname\..." compare equal.
void LongPathOf(const char *pszPath, char *pszLong) {
    DWORD n = GetLongPathNameA(pszPath, pszLong, kPathChars);
    if (n == 0 || n >= kPathChars)
        lstrcpynA(pszLong, pszPath, kPathChars);
    size_t cch = strlen(pszLong);
    if (cch > 0 && pszLong[cch - 1] == '\\')
        pszLong[cch - 1] = '\0';
}

// TRUE when pszFolder is pszParent or lies below it.
BOOL IsInside(const char *pszFolder, const char *pszParent) {
    if (pszParent[0] == '\0')
        return FALSE;
    char szFolder[kPathChars], szParent[kPathChars];
    LongPathOf(pszFolder, szFolder);
    LongPathOf(pszParent, szParent);
    size_t cch = strlen(szParent);
    return strlen(szFolder) >= cch &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, szFolder, static_cast<int>(cch), szParent,
                          static_cast<int>(cch)) == CSTR_EQUAL &&
           (szFolder[cch] == '\0' || szFolder[cch] == '\\');
}

void FormatExitReason(DWORD dwExit, const char *pszDll, char *pszWhy, size_t cchWhy) {
    switch (dwExit) {
    case kRegsvrLoadFailed:
        snprintf(pszWhy, cchWhy, "The capture effect \"%s\" is missing or cannot be loaded.", pszDll);
        break;
    case kRegsvrNoEntry:
        snprintf(pszWhy, cchWhy, "\"%s\" is not Tunewright's capture effect.", pszDll);
        break;
    case kRegsvrCallFailed:
        snprintf(pszWhy, cchWhy,
                 "The capture effect \"%s\" could not be registered, neither for this computer nor for your user "
                 "account: Windows refused to write its registration.",
                 pszDll);
        break;
    default:
        snprintf(pszWhy, cchWhy, "regsvr32 could not register the capture effect \"%s\" (exit code %lu).", pszDll,
                 static_cast<unsigned long>(dwExit));
        break;
    }
}

} // namespace

BOOL IsTemporaryFolder(const char *pszFolder) {
    char szTemp[kPathChars] = "", szCache[MAX_PATH] = "";
    DWORD n = GetTempPathA(sizeof szTemp, szTemp);
    if (n == 0 || n >= sizeof szTemp)
        szTemp[0] = '\0';
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_INTERNET_CACHE, nullptr, SHGFP_TYPE_CURRENT, szCache)))
        szCache[0] = '\0';
    return IsInside(pszFolder, szTemp) || IsInside(pszFolder, szCache);
}

BOOL RegisterCaptureEffect(const char *pszProgramDir, char *pszWhy, size_t cchWhy) {
    if (IsTemporaryFolder(pszProgramDir)) {
        snprintf(pszWhy, cchWhy,
                 "Tunewright runs from the temporary folder \"%s\", which Windows empties from time to time, so it "
                 "does not register its capture effect there.\n\nCopy Tunewright into a folder of your own (from a "
                 "zip file: Extract All) and start it from there.",
                 pszProgramDir);
        return FALSE;
    }
    char szDll[kPathChars], szParameters[kPathChars + 16];
    snprintf(szDll, sizeof szDll, "%s\\OrvaDMOFilter.dll", pszProgramDir);
    snprintf(szParameters, sizeof szParameters, "/s \"%s\"", szDll);
    SHELLEXECUTEINFOA run = {};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.lpVerb = "open";
    run.lpFile = "regsvr32";
    run.lpParameters = szParameters;
    run.nShow = SW_HIDE;
    if (!ShellExecuteExA(&run) || run.hProcess == nullptr) {
        snprintf(pszWhy, cchWhy, "regsvr32 could not be started to register the capture effect \"%s\".", szDll);
        return FALSE;
    }
    DWORD dwExit = STILL_ACTIVE;
    if (WaitForSingleObject(run.hProcess, kRegisterTimeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(run.hProcess, &dwExit);
    CloseHandle(run.hProcess);
    if (dwExit == STILL_ACTIVE) {
        snprintf(pszWhy, cchWhy, "regsvr32 did not finish registering the capture effect \"%s\".", szDll);
        return FALSE;
    }
    if (dwExit != 0) {
        FormatExitReason(dwExit, szDll, pszWhy, cchWhy);
        return FALSE;
    }
    return TRUE;
}

void FormatEffectNotListed(const char *pszProgramDir, char *pszWhy, size_t cchWhy) {
    snprintf(pszWhy, cchWhy,
             "The capture effect \"%s\\OrvaDMOFilter.dll\" was registered, but Windows does not list it among the "
             "audio effects.",
             pszProgramDir);
}
