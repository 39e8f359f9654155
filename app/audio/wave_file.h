// WaveFile: writes a 16-bit PCM RIFF WAVE file through the Windows multimedia file I/O (mmio) service.
#pragma once

#include <windows.h>
// mmsystem.h needs the types of windows.h first.
#include <mmsystem.h>

// The only open mode the program uses: the file is written.
const DWORD WAVEFILE_WRITE = 2;

// One WAV file being written. Construct, Open, Write any number of times, Close, destroy. Every result is an
// HRESULT: S_OK, E_FAIL, E_INVALIDARG or CO_E_NOTINITIALIZED; callers test the sign only.
class WaveFile {
public:
    WaveFile();
    // Finishes the file the way Close does when it is still open; the result is lost.
    ~WaveFile();

    // Creates pszPath, or empties an existing file, and writes the 56-byte header up to the first sample byte.
    HRESULT Open(LPCSTR pszPath, const WAVEFORMATEX *pwfx, DWORD dwMode);
    // Appends cbWrite sample bytes; *pcbWritten counts the bytes taken, also when a write to disk fails.
    HRESULT Write(UINT cbWrite, const BYTE *pbData, UINT *pcbWritten);
    // Patches the chunk sizes and the "fact" value and closes the file. E_FAIL when any of it did not reach the
    // disk; CO_E_NOTINITIALIZED when no file is open.
    HRESULT Close();

private:
    WaveFile(const WaveFile &) = delete;
    WaveFile &operator=(const WaveFile &) = delete;

    HRESULT WriteHeader(const WAVEFORMATEX *pwfx);
    HRESULT BeginData();
    HRESULT PatchFactValue();
    HRESULT CloseFile();

    HMMIO m_hmmio;          // the open file, or NULL
    DWORD m_dwMode;         // the mode given to Open
    MMCKINFO m_ckRiff;      // the RIFF chunk
    MMCKINFO m_ck;          // the current child chunk: "fmt ", then "fact", then "data"
    MMIOINFO m_mmioinfoOut; // the I/O buffer while samples are written: pchNext, pchEndWrite, MMIO_DIRTY
};
