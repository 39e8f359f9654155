// Writing a conversion's file: output folder, reserved name, SaveCapturedWave and, for MP3, the encoder.
#include "convert_output.h"

#include "convert_worker.h"
#include "dialog_state.h"
#include "engine.h"
#include "mp3_encoder.h"
#include "output_naming.h"
#include "process_state.h"
#include "resources/resource.h"

#include <stdio.h>
#include <string.h>

namespace {

const int kOutputPathChars = 4096;
const UINT kMp3CaptureRate = 44100; // the encoder takes every second sample of a 44,100 Hz file
const int kFormatMp3 = 1;
const size_t kMessageSize = kProcessBufferSize + 512;

// The worker's own text buffers (one job at a time).
char g_szJobBase[kProcessBufferSize];
char g_szJobPath[kProcessBufferSize];
char g_szJobTemp[kProcessBufferSize];
char g_szJobMessage[kMessageSize];

void ReadOutputFolder(HWND hDlg) {
    if (g_bSameDirectory) {
        strcpy(g_szJobPath, g_szMidiPath);
        CutAtLast(g_szJobPath, '\\');
        strcpy(g_szOutputDir, g_szJobPath);
    } else {
        GetDlgItemTextA(hDlg, IDC_OUTPUT_PATH, g_szOutputDir, kOutputPathChars);
    }
}

void SystemErrorText(DWORD dwError, char *pszText, DWORD cchText) {
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError, 0, pszText,
                       cchText, nullptr) == 0)
        snprintf(pszText, cchText, "error %lu", static_cast<unsigned long>(dwError));
}

void ReportReserveFailure(HWND hDlg, DWORD dwError) {
    char szReason[512];
    if (dwError == ERROR_FILE_EXISTS)
        snprintf(szReason, sizeof szReason, "%d files named \"%s\" already exist there.", kMaxOutputNameTries,
                 g_szJobBase);
    else
        SystemErrorText(dwError, szReason, sizeof szReason);
    snprintf(g_szJobMessage, kMessageSize, "Cannot create the output file in the folder \"%s\".\n\n%s", g_szOutputDir,
             szReason);
    ShowError(hDlg, g_szJobMessage);
}

void ReportWriteFailure(HWND hDlg, const char *pszPath, const char *pszReason) {
    snprintf(g_szJobMessage, kMessageSize, "\"%s\" could not be written: %s", pszPath, pszReason);
    ShowError(hDlg, g_szJobMessage);
}

const char *Mp3FailureText(int nResult) {
    switch (nResult) {
    case MP3_E_ENCODER: return "the MP3 encoder could not be started with these settings.";
    case MP3_E_ENCODE: return "the MP3 encoder reported an error.";
    case MP3_E_OUTPUT: return "the file cannot be created.";
    case MP3_E_WRITE: return "the disk is full or the file cannot be written.";
    default: return "the recording could not be read back.";
    }
}

const char kWriteFailure[] = "the disk is full, or the folder is no longer there or cannot be written.";

BOOL WriteWav(HWND hDlg, UINT nRate) {
    DWORD dwError = ReserveOutputName(g_szOutputDir, g_szJobBase, "wav", g_szJobPath, sizeof g_szJobPath);
    if (dwError != ERROR_SUCCESS) {
        ReportReserveFailure(hDlg, dwError);
        return FALSE;
    }
    if (FAILED(SaveCapturedWave(g_szJobPath, nRate))) {
        DeleteFileA(g_szJobPath);
        ReportWriteFailure(hDlg, g_szJobPath, kWriteFailure);
        return FALSE;
    }
    return TRUE;
}

BOOL WriteMp3(HWND hDlg, UINT nRate) {
    char szTempDir[kOutputPathChars];
    if (GetTempPathA(sizeof szTempDir, szTempDir) == 0 || GetTempFileNameA(szTempDir, "vqm2w", 0, g_szJobTemp) == 0) {
        ReportWriteFailure(hDlg, "the temporary file", "the temporary folder cannot be written.");
        return FALSE;
    }
    BOOL bWritten = FALSE;
    if (FAILED(SaveCapturedWave(g_szJobTemp, kMp3CaptureRate))) {
        ReportWriteFailure(hDlg, g_szJobTemp, kWriteFailure);
    } else {
        DWORD dwError = ReserveOutputName(g_szOutputDir, g_szJobBase, "mp3", g_szJobPath, sizeof g_szJobPath);
        if (dwError != ERROR_SUCCESS) {
            ReportReserveFailure(hDlg, dwError);
        } else {
            int nResult = EncodeWavToMp3(g_szJobTemp, g_szJobPath, static_cast<int>(nRate));
            bWritten = nResult >= 0;
            if (!bWritten) {
                DeleteFileA(g_szJobPath);
                ReportWriteFailure(hDlg, g_szJobPath, Mp3FailureText(nResult));
            }
        }
    }
    DeleteFileA(g_szJobTemp);
    return bWritten;
}

} // namespace

void WriteConvertedFile(HWND hDlg) {
    UINT nWavRate = SelectedSampleRate(hDlg, IDC_WAV_QUALITY);
    UINT nMp3Rate = SelectedSampleRate(hDlg, IDC_MP3_QUALITY);
    ReadOutputFolder(hDlg);
    strcpy(g_szJobBase, g_szMidiTitle);
    CutAtLast(g_szJobBase, '.');
    BOOL bMp3 = SendDlgItemMessageA(hDlg, IDC_OUTPUT_FORMAT, CB_GETCURSEL, 0, 0) == kFormatMp3;
    if (!(bMp3 ? WriteMp3(hDlg, nMp3Rate) : WriteWav(hDlg, nWavRate)))
        return;
    snprintf(g_szJobMessage, kMessageSize, "\"%s\" was converted!", g_szMidiTitle);
    MessageBoxA(hDlg, g_szJobMessage, "Tunewright", MB_OK);
}
