// WaveFileIoProc: the mmio I/O procedure under WaveFile: Win32 file calls that remember a failed write.
#pragma once

#include <windows.h>
// mmsystem.h needs the types of windows.h first.
#include <mmsystem.h>

// The I/O procedure to pass in MMIOINFO.pIOProc to mmioOpenA. Opens with CreateFileA (any MAX_PATH name;
// MMIO_CREATE creates or empties the file) and keeps a sticky flag once a write or seek has failed, because
// the mmio service itself does not reliably pass such failures on.
LRESULT CALLBACK WaveFileIoProc(LPSTR pszMmioInfo, UINT uMessage, LPARAM lParam1, LPARAM lParam2);

// TRUE once a write or seek of the file open on hmmio has failed (for example on a full disk).
BOOL WaveFileIoFailed(HMMIO hmmio);
