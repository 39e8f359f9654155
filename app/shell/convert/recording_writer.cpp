// WriteRecording: base name, reserved output name, SaveCapturedWave and, for MP3, the encoder.
#include "recording_writer.h"

#include "engine.h"
#include "mp3_encoder.h"
#include "output_naming.h"

#include <stdio.h>
#include <string.h>

namespace {

const UINT kMp3CaptureRate = 44100; // the encoder takes every second sample of a 44,100 Hz file
const int kTempPathChars = 4096;
const char kWriteFailure[] = "the disk is full, or the folder is no longer there or cannot be written.";

void ReserveFailure(const RecordingRequest &request, const char *pszBase, DWORD dwError, char *pszError, size_t cch) {
    char szReason[512];
    if (dwError == ERROR_FILE_EXISTS) {
        snprintf(szReason, sizeof szReason, "%d files named \"%s\" already exist there.", kMaxOutputNameTries, pszBase);
    } else if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError, 0, szReason,
                              sizeof szReason, nullptr) == 0) {
        snprintf(szReason, sizeof szReason, "error %lu.", static_cast<unsigned long>(dwError));
    }
    snprintf(pszError, cch, "Cannot create the output file in the folder \"%s\".\n\n%s", request.pszFolder, szReason);
}

const char *Mp3FailureText(int nResult) {
    switch (nResult) {
    case MP3_E_ENCODER:
        return "the MP3 encoder could not be started with these settings.";
    case MP3_E_ENCODE:
        return "the MP3 encoder reported an error.";
    case MP3_E_OUTPUT:
        return "the file cannot be created.";
    case MP3_E_WRITE:
        return kWriteFailure;
    default:
        return "the recording could not be read back.";
    }
}

BOOL WriteWav(const RecordingRequest &request, const char *pszBase, char *pszPath, char *pszError, size_t cch) {
    DWORD dwError = ReserveOutputName(request.pszFolder, pszBase, "wav", pszPath, cch);
    if (dwError != ERROR_SUCCESS) {
        ReserveFailure(request, pszBase, dwError, pszError, cch);
        return FALSE;
    }
    if (FAILED(SaveCapturedWave(pszPath, request.nRate))) {
        DeleteFileA(pszPath);
        snprintf(pszError, cch, "\"%s\" could not be written: %s", pszPath, kWriteFailure);
        return FALSE;
    }
    return TRUE;
}

} // namespace

// The capture goes to a temporary WAV at 44,100 Hz first; the output name is reserved only once that worked.
BOOL BeginMp3Recording(const RecordingRequest &request, Mp3Job &job, char *pszError, size_t cch) {
    char szBase[MAX_PATH * 4];
    snprintf(szBase, sizeof szBase, "%s", request.pszTitle);
    CutAtLast(szBase, '.');
    char szTempDir[kTempPathChars];
    job.nRate = request.nRate;
    job.szTemp[0] = job.szPath[0] = '\0';
    DWORD cchTempDir = GetTempPathA(sizeof szTempDir, szTempDir);
    if (cchTempDir == 0 || cchTempDir >= sizeof szTempDir) { // the buffer holds nothing then
        snprintf(pszError, cch, "The temporary folder cannot be found (its path is missing or too long).");
        return FALSE;
    }
    if (GetTempFileNameA(szTempDir, "vqm2w", 0, job.szTemp) == 0) {
        snprintf(pszError, cch, "The temporary folder \"%s\" cannot be written.", szTempDir);
        return FALSE;
    }
    DWORD dwError;
    if (FAILED(SaveCapturedWave(job.szTemp, kMp3CaptureRate))) {
        snprintf(pszError, cch, "The temporary file \"%s\" could not be written: %s", job.szTemp, kWriteFailure);
    } else if ((dwError = ReserveOutputName(request.pszFolder, szBase, "mp3", job.szPath, sizeof job.szPath)) !=
               ERROR_SUCCESS) {
        ReserveFailure(request, szBase, dwError, pszError, cch);
    } else {
        return TRUE;
    }
    DeleteFileA(job.szTemp);
    return FALSE;
}

BOOL FinishMp3Recording(const Mp3Job &job, char *pszError, size_t cch) {
    int nResult = EncodeWavToMp3(job.szTemp, job.szPath, static_cast<int>(job.nRate));
    BOOL bWritten = nResult >= 0;
    if (!bWritten) {
        DeleteFileA(job.szPath);
        snprintf(pszError, cch, "\"%s\" could not be written: %s", job.szPath, Mp3FailureText(nResult));
    }
    DeleteFileA(job.szTemp);
    return bWritten;
}

namespace {

BOOL WriteMp3(const RecordingRequest &request, char *pszPath, char *pszError, size_t cch) {
    Mp3Job job;
    if (!BeginMp3Recording(request, job, pszError, cch))
        return FALSE;
    snprintf(pszPath, cch, "%s", job.szPath);
    return FinishMp3Recording(job, pszError, cch);
}

} // namespace

BOOL WriteRecording(const RecordingRequest &request, char *pszPath, char *pszError, size_t cch) {
    char szBase[MAX_PATH * 4];
    snprintf(szBase, sizeof szBase, "%s", request.pszTitle);
    CutAtLast(szBase, '.');
    return request.bMp3 ? WriteMp3(request, pszPath, pszError, cch) : WriteWav(request, szBase, pszPath, pszError, cch);
}
