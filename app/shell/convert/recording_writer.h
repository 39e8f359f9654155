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

// An MP3 file in two steps, so that a batch can encode one file while the next one plays: the recording goes to a
// temporary WAV and the output name is reserved (on the thread that captures, before the next capture), then the
// encoder writes the file (any thread). The file is the same to the bit as WriteRecording's.
struct Mp3Job {
    char szTemp[4096 + MAX_PATH]; // the temporary WAV
    char szPath[MAX_PATH * 4];    // the reserved output name
    UINT nRate;                   // Hz of the MP3 stream
};
// TRUE: the job is ready for FinishMp3Recording. FALSE: pszError says why, and nothing is left behind.
BOOL BeginMp3Recording(const RecordingRequest &request, Mp3Job &job, char *pszError, size_t cch);
// Encodes and deletes the temporary file. FALSE: pszError says why, and the reserved name is removed too.
BOOL FinishMp3Recording(const Mp3Job &job, char *pszError, size_t cch);
