// What the server's files share: the DLL's module handle, for its registration path.
#pragma once

#include <windows.h>

extern HMODULE g_hCaptureModule; // set at DLL_PROCESS_ATTACH
