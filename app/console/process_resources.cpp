// ProcessResources: the process status API's private usage and the kernel's handle count.
#include "process_resources.h"

#include <psapi.h>

#include <cstdio>

namespace {

const ULONG_PTR kLastProbedHandle = 0x20000; // handle values are multiples of four

// Counts the process's open handles by trying every value: where the handle count is not kept (Wine reports 0).
DWORD ProbeHandles(HANDLE hProcess) {
    const bool bSelf = GetProcessId(hProcess) == GetCurrentProcessId();
    DWORD dwCount = 0;
    for (ULONG_PTR value = 4; value <= kLastProbedHandle; value += 4) {
        HANDLE h = reinterpret_cast<HANDLE>(value);
        DWORD dwFlags = 0;
        HANDLE hCopy = nullptr;
        if (bSelf) {
            dwCount += GetHandleInformation(h, &dwFlags) ? 1 : 0;
        } else if (DuplicateHandle(hProcess, h, GetCurrentProcess(), &hCopy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            CloseHandle(hCopy);
            ++dwCount;
        }
    }
    return dwCount;
}

} // namespace

std::string ProcessResources(HANDLE hProcess) {
    // The commit charge: what Windows also reports as the process's private bytes.
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    DWORD dwHandles = 0;
    if (!GetProcessMemoryInfo(hProcess, &counters, sizeof counters))
        return "private bytes unknown";
    if (!GetProcessHandleCount(hProcess, &dwHandles))
        return "handles unknown";
    if (dwHandles == 0)
        dwHandles = ProbeHandles(hProcess);
    char szText[96];
    std::snprintf(szText, sizeof szText, "private bytes %llu, handles %lu",
                  static_cast<unsigned long long>(counters.PagefileUsage), static_cast<unsigned long>(dwHandles));
    return szText;
}
