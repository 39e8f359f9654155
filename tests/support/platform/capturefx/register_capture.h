// Test helper: registers (or unregisters) OrvaDMOFilter.dll from the test program's folder with regsvr32 /s.
#pragma once

#include <windows.h>

#include <string>

// The full path of a file beside the running test program.
inline std::string PathBesideProgram(const char *pszName) {
    char szPath[MAX_PATH];
    DWORD cch = GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
    std::string path(szPath, cch);
    return path.substr(0, path.find_last_of("\\/") + 1) + pszName;
}

// Runs "regsvr32 /s [/u] <dir>\OrvaDMOFilter.dll" and waits for it; true when it exits with 0.
inline bool RunRegsvr32(bool bRegister) {
    std::string command =
        std::string("regsvr32 /s ") + (bRegister ? "" : "/u ") + "\"" + PathBesideProgram("OrvaDMOFilter.dll") + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        return false;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD dwExit = 1;
    GetExitCodeProcess(pi.hProcess, &dwExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return dwExit == 0;
}
