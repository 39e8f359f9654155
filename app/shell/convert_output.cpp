// The end of the dialog's conversion: the output folder from the dialog, the file, and the message.
#include "convert_output.h"

#include "dialog_state.h"
#include "process_state.h"
#include "quality_lists.h"
#include "recording_writer.h"
#include "output_naming.h"
#include "resources/resource.h"
#include "settings_location.h"

#include <stdio.h>
#include <string.h>

namespace {

const int kOutputPathChars = 4096;
const size_t kMessageSize = kProcessBufferSize + 512;

// The worker's own text buffers (one job at a time).
char g_szJobPath[kProcessBufferSize];
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

} // namespace

void WriteConvertedFile(HWND hDlg) {
    RecordingRequest request;
    request.bMp3 = IsMp3Selected(hDlg);
    request.nRate = SelectedSampleRate(hDlg, request.bMp3 ? IDC_MP3_QUALITY : IDC_WAV_QUALITY);
    ReadOutputFolder(hDlg);
    request.pszFolder = g_szOutputDir;
    request.pszTitle = g_szMidiTitle;
    if (!PrepareOutputFolder(g_szOutputDir, g_szJobMessage, sizeof g_szJobMessage)) {
        ShowError(hDlg, g_szJobMessage);
        return;
    }
    if (!WriteRecording(request, g_szJobPath, g_szJobMessage, sizeof g_szJobPath)) {
        ShowError(hDlg, g_szJobMessage);
        return;
    }
    snprintf(g_szJobMessage, kMessageSize, "\"%s\" was converted!", g_szMidiTitle);
    MessageBoxA(hDlg, g_szJobMessage, "Tunewright", MB_OK);
}
