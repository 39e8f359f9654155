// ITwSoundFontControl: the stand-in's own interface, on its DirectMusic object, for the SoundFont that plays.
#pragma once

#include <windows.h>

#include <unknwn.h>

// {7A1E6C30-4B0D-4C6E-9E51-2F0A5D3B8C10}
inline const IID IID_ITwSoundFontControl = {
    0x7a1e6c30, 0x4b0d, 0x4c6e, {0x9e, 0x51, 0x2f, 0x0a, 0x5d, 0x3b, 0x8c, 0x10}};

struct ITwSoundFontControl : public IUnknown {
    // Loads the SoundFont file now (on the caller's thread: seconds for a large one), to play from the next
    // InitAudio on; null or "" for the default (TwDirectMusic.ini beside the DLL, else TimGM6mb.sf2 there).
    // On failure the SoundFont in use stays and pszReason gets why, in English (at most cchReason bytes with
    // the NUL). Nothing is written to disk.
    virtual HRESULT STDMETHODCALLTYPE SetSoundFont(LPCSTR pszPath, LPSTR pszReason, DWORD cchReason) = 0;
};
