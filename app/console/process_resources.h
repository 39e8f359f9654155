// A process's private bytes and open handles, for the load test's report after each round.
#pragma once

#include <windows.h>

#include <string>

// "private bytes N, handles N" of the process (this one for GetCurrentProcess()).
std::string ProcessResources(HANDLE hProcess);
