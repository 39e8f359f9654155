// The one recording that every capture effect instance in the process shares: a list of fixed-size chunks.
#pragma once

#include <windows.h>
// mmreg.h needs the types of windows.h first.
#include <mmreg.h>

namespace capturefx {

// Drops what was recorded and starts afresh in the given format (an instance attached to a buffer).
void RestartRecording(const WAVEFORMATEX &wfx);
// Appends cb bytes. Called on the audio thread: takes the lock only for the copy and allocates only when the
// last chunk is full. Bytes beyond 4 GB or without memory for a new chunk are dropped.
void AppendRecording(const BYTE *pb, DWORD cb);
// The number of bytes recorded since the last restart.
DWORD RecordedSize();
// Copies at most cb recorded bytes to pbDest from the start; returns the number copied. A copy of all of it
// hands the recording over: it is empty afterwards, until more is appended or a restart.
DWORD CopyRecording(BYTE *pbDest, DWORD cb);
// The format of the recorded bytes; all zero before the first restart.
WAVEFORMATEX RecordedFormat();
// Frees every chunk (the DLL is unloaded).
void FreeRecording();

} // namespace capturefx
