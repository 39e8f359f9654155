// The end of a conversion: the output folder and name, the WAV or MP3 file, and the message that reports it.
#pragma once

#include <windows.h>

// Writes the recording of the job that just stopped into the output folder (the MIDI file's own folder when the
// same-directory box is ticked), never overwriting a file. Reports success or the failure in a message box; a
// failure leaves neither the reserved name nor a temporary file behind. Worker thread.
void WriteConvertedFile(HWND hDlg);
