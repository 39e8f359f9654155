// The settings file's and the default output folder's place: the program folder, or the user's folders.
#include "settings_location.h"

#include "process_state.h"

#include <shlobj.h>
#include <stdio.h>
#include <string.h>

namespace {

const char kProductFolder[] = "Tunewright";
const char kSettingsName[] = "settings.ini";

// The default output folder; empty until InitSettingsLocation or the first DefaultOutputDir.
char g_szDefaultOutputDir[MAX_PATH * 2];

// TRUE when a file can be created in the folder (it goes again at once). A name of this process's own, as
// GetTempFileNameA does not report every refusal on every system.
BOOL CanCreateFileIn(const char *pszFolder) {
    char szProbe[MAX_PATH * 2];
    snprintf(szProbe, sizeof szProbe, "%s\\~tw%08lx.tmp", pszFolder, static_cast<unsigned long>(GetCurrentProcessId()));
    HANDLE hProbe = CreateFileA(szProbe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (hProbe == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(hProbe);
    return TRUE;
}

// "<the shell folder>\Tunewright" into pszPath (MAX_PATH * 2 bytes); FALSE when Windows names no such folder.
BOOL ProductFolderIn(int nFolder, char *pszPath) {
    char szShellFolder[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, nFolder | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szShellFolder)))
        return FALSE;
    snprintf(pszPath, MAX_PATH * 2, "%s\\%s", szShellFolder, kProductFolder);
    return TRUE;
}

void UseUserFolders() {
    char szSettingsDir[MAX_PATH * 2];
    if (!ProductFolderIn(CSIDL_MYMUSIC, g_szDefaultOutputDir) &&
        !ProductFolderIn(CSIDL_PERSONAL, g_szDefaultOutputDir)) {
        g_szDefaultOutputDir[0] = '\0';
    }
    if (!ProductFolderIn(CSIDL_APPDATA, szSettingsDir))
        return;
    CreateDirectoryA(szSettingsDir, nullptr);
    char szSettings[MAX_PATH * 3];
    snprintf(szSettings, sizeof szSettings, "%s\\%s", szSettingsDir, kSettingsName);
    // Settings a portable copy had before its folder became read-only carry over once.
    CopyFileA(g_szSettingsPath, szSettings, TRUE);
    lstrcpynA(g_szSettingsPath, szSettings, kProcessBufferSize);
}

} // namespace

void InitSettingsLocation() {
    if (g_szSettingsPath == nullptr)
        return;
    snprintf(g_szDefaultOutputDir, sizeof g_szDefaultOutputDir, "%s\\wav", g_szProgramDir);
    if (!CanCreateFileIn(g_szProgramDir))
        UseUserFolders();
}

const char *DefaultOutputDir() {
    if (g_szDefaultOutputDir[0] == '\0' && g_szProgramDir != nullptr)
        snprintf(g_szDefaultOutputDir, sizeof g_szDefaultOutputDir, "%s\\wav", g_szProgramDir);
    return g_szDefaultOutputDir;
}

BOOL PrepareOutputFolder(const char *pszFolder, char *pszWhy, size_t cchWhy) {
    if (lstrcmpiA(pszFolder, DefaultOutputDir()) != 0 || GetFileAttributesA(pszFolder) != INVALID_FILE_ATTRIBUTES)
        return TRUE;
    if (CreateDirectoryA(pszFolder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return TRUE;
    DWORD dwError = GetLastError();
    char szReason[512];
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError, 0, szReason,
                       sizeof szReason, nullptr) == 0) {
        snprintf(szReason, sizeof szReason, "error %lu.", static_cast<unsigned long>(dwError));
    }
    snprintf(pszWhy, cchWhy, "Cannot create the output folder \"%s\".\n\n%s", pszFolder, szReason);
    return FALSE;
}
