// What the package tests share: programs run and waited for, registry and folder checks, the capture effect's
// registration as Windows sees it, a short song, and a conversion's WAV file.
#pragma once

#include <windows.h>

#include <dmo.h>
#include <shlobj.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "support/core/smf/smf_builder.h"

namespace pkgtest {

const char kEffectClassKey[] = "Software\\Classes\\CLSID\\{50E5BCDA-5158-402A-A5E6-B20C0FFF5FCD}";
const char kEffectServerKey[] = "Software\\Classes\\CLSID\\{50E5BCDA-5158-402A-A5E6-B20C0FFF5FCD}\\InprocServer32";
const char kEffectDmoKey[] = "Software\\Classes\\DirectShow\\MediaObjects\\50e5bcda-5158-402a-a5e6-b20c0fff5fcd";

// Every file both packages carry, relative to the program folder.
const char *const kShippedFiles[] = {"Tunewright.exe",
                                     "TunewrightConvert.exe",
                                     "Lustrekit.dll",
                                     "MidiFile.dll",
                                     "lame_enc.dll",
                                     "libsoxr.dll",
                                     "TwDirectMusic.dll",
                                     "OrvaDMOFilter.dll",
                                     "TimGM6mb.sf2",
                                     "Help.html",
                                     "README.txt",
                                     "licenses\\LAME-COPYING.txt",
                                     "licenses\\LAME-SOURCE.txt",
                                     "licenses\\SOXR-COPYING.txt",
                                     "licenses\\SOXR-SOURCE.txt",
                                     "licenses\\OGG-VORBIS-COPYING.txt",
                                     "licenses\\TimGM6mb-COPYRIGHT.txt",
                                     "licenses\\GPL-2.txt",
                                     "licenses\\MINGW-W64-RUNTIME.txt"};

inline std::string WinPath(std::string path) {
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Runs a command line, waits for it and returns its exit code (STILL_ACTIVE after the time-out, ~0u when it
// could not start).
inline DWORD RunAndWait(const std::string &command, DWORD dwTimeoutMs = 60000) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return ~0u;
    DWORD dwCode = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, dwTimeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &dwCode);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return dwCode;
}

inline bool KeyExists(HKEY hRoot, const std::string &key) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(hRoot, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

// A string value ("" for the default value); "<none>" when the key or the value is missing.
inline std::string RegText(HKEY hRoot, const std::string &key, const char *pszName = nullptr) {
    char szValue[4096];
    DWORD cb = sizeof szValue;
    if (RegGetValueA(hRoot, key.c_str(), pszName, RRF_RT_REG_SZ, nullptr, szValue, &cb) != ERROR_SUCCESS)
        return "<none>";
    return szValue;
}

inline bool ValueExists(HKEY hRoot, const std::string &key, const char *pszName) {
    return RegGetValueA(hRoot, key.c_str(), pszName, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

inline bool FileExists(const std::string &path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string ShellFolder(int nFolder) {
    char szPath[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, nFolder | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, szPath);
    return szPath;
}

// The names in a folder ("" entries for . and .. left out); directories end with a backslash.
inline std::vector<std::string> Entries(const std::string &folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name + ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "\\" : ""));
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

// Copies a folder's files and subfolders.
inline bool CopyFolder(const std::string &from, const std::string &to) {
    CreateDirectoryA(to.c_str(), nullptr);
    for (const std::string &name : Entries(from)) {
        bool ok = name.back() == '\\' ? CopyFolder(from + "\\" + name.substr(0, name.size() - 1),
                                                   to + "\\" + name.substr(0, name.size() - 1))
                                      : CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
        if (!ok)
            return false;
    }
    return true;
}

// True when DMO enumeration lists an audio effect of that friendly name, as the engine looks for it.
inline bool AudioEffectListed(const wchar_t *pwszName) {
    IEnumDMO *pEnum = nullptr;
    if (FAILED(DMOEnum(DMOCATEGORY_AUDIO_EFFECT, DMO_ENUMF_INCLUDE_KEYED, 0, nullptr, 0, nullptr, &pEnum)))
        return false;
    bool bFound = false;
    CLSID clsid;
    WCHAR *pwszFound = nullptr;
    while (!bFound && pEnum->Next(1, &clsid, &pwszFound, nullptr) == S_OK) {
        bFound = pwszFound != nullptr && lstrcmpW(pwszFound, pwszName) == 0;
        CoTaskMemFree(pwszFound);
    }
    pEnum->Release();
    return bFound;
}

// Programs 0, 24 and 40 and nNotes quarter notes on them (120 bpm).
inline smftest::Bytes Song(int nNotes) {
    smftest::Bytes events = {0x00, 0xC0, 0, 0x00, 0xC1, 24, 0x00, 0xC2, 40};
    for (int i = 0; i < nNotes; ++i) {
        uint8_t key = uint8_t(60 + (i % 12));
        smftest::Append(events,
                        {0x00, 0x90, key, 100, 0x00, 0x91, uint8_t(key - 12), 90, 0x00, 0x92, uint8_t(key + 7), 90});
        smftest::Append(events, {0x60}); // 96 ticks
        smftest::Append(events, {0x80, key, 0, 0x00, 0x81, uint8_t(key - 12), 0, 0x00, 0x82, uint8_t(key + 7), 0});
    }
    return smftest::SingleTrack(events);
}

inline std::string WriteSong(const std::string &path, int nNotes) {
    smftest::Bytes bytes = Song(nNotes);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    return path;
}

// Root-mean-square level of a 16-bit mono WAV file's samples (0 when it is not one).
inline double WavLevel(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
    if (b.size() < 56 || b[22] != 1 || b[34] != 16)
        return 0;
    double sum = 0;
    size_t n = 0;
    for (size_t i = 44; i + 1 < b.size(); i += 2, ++n) {
        double s = int16_t(b[i] | b[i + 1] << 8);
        sum += s * s;
    }
    return n ? std::sqrt(sum / n) : 0;
}

} // namespace pkgtest

namespace pkgtest {

// A program that ends with a message box (caption "Error") before its dialog shows: its text and exit code.
struct ErrorEnd {
    std::string text;
    DWORD dwExitCode = STILL_ACTIVE;
};

inline BOOL CALLBACK FindErrorBox(HWND hWnd, LPARAM lParam) {
    auto *pSearch = reinterpret_cast<std::pair<DWORD, HWND> *>(lParam);
    DWORD dwOwner = 0;
    char szCaption[64], szClass[16];
    GetWindowThreadProcessId(hWnd, &dwOwner);
    GetClassNameA(hWnd, szClass, sizeof szClass);
    GetWindowTextA(hWnd, szCaption, sizeof szCaption);
    if (dwOwner == pSearch->first && IsWindowVisible(hWnd) && lstrcmpA(szClass, "#32770") == 0 &&
        lstrcmpA(szCaption, "Error") == 0) {
        pSearch->second = hWnd;
        return FALSE;
    }
    return TRUE;
}

// Starts "<folder>\Tunewright.exe", waits for its "Error" message box, takes its text, presses OK and waits for
// the program to end.
inline ErrorEnd StartAndTakeError(const std::string &folder, DWORD dwTimeoutMs = 60000) {
    ErrorEnd end;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + folder + "\\Tunewright.exe\"";
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return end;
    std::pair<DWORD, HWND> search(process.dwProcessId, nullptr);
    for (DWORD dwStart = GetTickCount(); search.second == nullptr && GetTickCount() - dwStart < dwTimeoutMs;) {
        if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0)
            break;
        EnumWindows(FindErrorBox, reinterpret_cast<LPARAM>(&search));
    }
    if (search.second != nullptr) {
        char szText[4096] = "";
        GetDlgItemTextA(search.second, 0xFFFF, szText, sizeof szText);
        end.text = szText;
        PostMessageA(search.second, WM_COMMAND, IDOK, 0);
    }
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &end.dwExitCode);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return end;
}

} // namespace pkgtest
