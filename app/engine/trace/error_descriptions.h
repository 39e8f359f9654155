// Standard English descriptions of COM, Win32 and DirectX status codes, for the developer trace.
#pragma once

#include <windows.h>

// Returns the constant description of a status code (an HRESULT, or a plain Win32 error number given as a
// small non-negative value); "n/a" for a code no family defines. Never allocates; callable from any thread.
const char *GetErrorDescription(HRESULT hr);
