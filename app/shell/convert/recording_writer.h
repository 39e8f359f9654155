// Writes the recording of a finished capture as a WAV or MP3 file under a reserved, never-overwriting name.
// No user interface: the dialog's worker and the console converter report the result each in their own way.
#pragma once

#include <windows.h>

#include <stddef.h>

// What to write: the output folder, the MIDI file's title (its extension is dropped), the format and rate.
struct RecordingRequest {
    const char *pszFolder;
    const char *pszTitle;
    BOOL bMp3;
    UINT nRate; // Hz: 11025, 22050 or 44100 for WAV; also 48000 for MP3
};

// Writes the file. TRUE: pszPath holds its path. FALSE: pszError holds a sentence naming the folder or file and
// the failure, and neither the reserved name nor a temporary file is left. Both buffers hold cch characters.
BOOL WriteRecording(const RecordingRequest &request, char *pszPath, char *pszError, size_t cch);
