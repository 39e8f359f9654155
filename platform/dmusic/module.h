// What the stand-in's objects share: the module handle, the live-object count and the private interface ids.
#pragma once

#include <windows.h>

// The DLL's own module, for finding files beside it.
extern HMODULE g_hTwModule;
// Objects and class-factory locks alive; DllCanUnloadNow answers from it.
extern volatile LONG g_nTwObjects;

inline void ObjectCreated() {
    InterlockedIncrement(&g_nTwObjects);
}
inline void ObjectDestroyed() {
    InterlockedDecrement(&g_nTwObjects);
}

// Private interfaces through which one of our objects recognises another passed in as IUnknown: the
// answer is the object itself, without a reference added.
// {7A1E6C30-4B0D-4C6E-9E51-2F0A5D3B8C01}
DEFINE_GUID(IID_ITwSegment, 0x7a1e6c30, 0x4b0d, 0x4c6e, 0x9e, 0x51, 0x2f, 0x0a, 0x5d, 0x3b, 0x8c, 0x01);
// {7A1E6C30-4B0D-4C6E-9E51-2F0A5D3B8C02}
DEFINE_GUID(IID_ITwAudioPath, 0x7a1e6c30, 0x4b0d, 0x4c6e, 0x9e, 0x51, 0x2f, 0x0a, 0x5d, 0x3b, 0x8c, 0x02);

// Writes one line for a debugger or trace viewer, prefixed with the DLL's name.
void DebugLine(const char *pszText);
