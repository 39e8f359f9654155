// Dialog look: the grainy tile behind both dialogs and the labels drawn over it.
#include "dialog_look.h"

#include "lustrekit.h"
#include "resources/resource.h"

HBITMAP g_hFillBitmap = nullptr;
HBITMAP g_hFillBitmapAux = nullptr;

namespace {

const int kTileSize = 128;
const int kTileDepth = 45;
const int kTileHotPercent = 5;
const int kSystemColourControls[] = {IDC_GROUP_VOLUME,    IDC_GROUP_TONE,  IDC_GROUP_OUTPUT_PATH, IDC_GROUP_INSTRUMENTS,
                                     IDC_GROUP_CONVERTER, IDC_GROUP_TEMPO, IDC_GROUP_MIDI_FILE,   IDC_POSITION,
                                     IDC_VOLUME,          IDC_TEMPO,       IDC_OUTPUT_PATH,       IDC_SAME_DIRECTORY};

INT_PTR TransparentLabel(HDC hdc) {
    SetBkMode(hdc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

} // namespace

void CreateDialogTile() {
    RECT rcTile = {0, 0, kTileSize, kTileSize};
    CreateFillBmp(FILLBMP_NOISE, &rcTile, kTileDepth, kTileHotPercent, 0, 0, &g_hFillBitmap, &g_hFillBitmapAux);
}

void DeleteDialogTile() {
    if (g_hFillBitmap)
        DeleteObject(g_hFillBitmap);
    if (g_hFillBitmapAux)
        DeleteObject(g_hFillBitmapAux);
    g_hFillBitmap = nullptr;
    g_hFillBitmapAux = nullptr;
}

INT_PTR PaintDialogTile(HWND hDlg, HDC hdc) {
    RECT rc;
    GetClientRect(hDlg, &rc);
    HBRUSH hBrush = CreatePatternBrush(g_hFillBitmap);
    HGDIOBJ hPrevious = SelectObject(hdc, hBrush);
    PatBlt(hdc, rc.left, rc.top, rc.right, rc.bottom, PATCOPY);
    SelectObject(hdc, hPrevious);
    DeleteObject(hBrush);
    return TRUE;
}

INT_PTR MainDialogLabelColor(HDC hdc, HWND hControl) {
    int nId = GetDlgCtrlID(hControl);
    for (int nSystem : kSystemColourControls) {
        if (nId == nSystem)
            return FALSE;
    }
    return TransparentLabel(hdc);
}

INT_PTR AboutLabelColor(HDC hdc) {
    return TransparentLabel(hdc);
}
