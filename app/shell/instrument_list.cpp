// Instrument list (list view 2031): rows, check boxes, and the click handling that keeps one row selected.
#include "instrument_list.h"

#include "dialog_state.h"
#include "gm_instruments.h"
#include "instrument_plan.h"
#include "midi_programs.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <type_traits>

namespace {

const DWORD kListExStyles = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP; // 0x4024
const int kColumnMargin = 18; // pixels left free right of the column for the scroll bar
const UINT kStateImageShift = 12;
const UINT kStateUnchecked = 1; // state image index of a cleared check box
const UINT kStateChecked = 2;

// Clicking a row first clears every selection, so that the list never shows a stale highlight over the tile.
LRESULT CALLBACK InstrumentListProc(HWND hList, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    WNDPROC pfnPrevious = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hList, GWLP_USERDATA));
    if (uMsg == WM_LBUTTONDOWN) {
        LVHITTESTINFO hit = {};
        hit.pt.x = static_cast<short>(LOWORD(lParam));
        hit.pt.y = static_cast<short>(HIWORD(lParam));
        if (SendMessageA(hList, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) != -1 && hit.iItem >= 0) {
            LVITEMA item = {};
            item.stateMask = LVIS_SELECTED;
            item.state = 0;
            SendMessageA(hList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
            InvalidateRect(hList, nullptr, TRUE);
        }
    }
    return CallWindowProcA(pfnPrevious, hList, uMsg, wParam, lParam);
}
static_assert(std::is_same<decltype(&InstrumentListProc), WNDPROC>::value, "a window procedure");

void SetRowState(HWND hList, int nRow, UINT nStateImage) {
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(nStateImage);
    SendMessageA(hList, LVM_SETITEMSTATE, nRow, reinterpret_cast<LPARAM>(&item));
}

} // namespace

void InitInstrumentList(HWND hDlg) {
    HWND hList = GetDlgItem(hDlg, IDC_INSTRUMENTS);
    SendMessageA(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, kListExStyles, kListExStyles);
    RECT rcClient;
    GetClientRect(hList, &rcClient);
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.pszText = const_cast<char *>("Instrument");
    column.cx = rcClient.right - kColumnMargin;
    SendMessageA(hList, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    LONG_PTR pfnPrevious = SetWindowLongPtrA(hList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InstrumentListProc));
    SetWindowLongPtrA(hList, GWLP_USERDATA, pfnPrevious);
}

void FillInstrumentList(HWND hDlg) {
    HWND hList = GetDlgItem(hDlg, IDC_INSTRUMENTS);
    SendMessageA(hList, LVM_DELETEALLITEMS, 0, 0);
    int nRow = 0;
    for (int p = 0; p < kProgramTableSize; ++p) {
        if (g_usedPrograms[p] == kNoProgram)
            continue;
        g_programMap[p] = p;
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = nRow;
        // Only 0..127 can be set from a file; anything above has no name to show.
        item.pszText = const_cast<char *>(p < kGMProgramCount ? GMInstrumentNames[p] : "");
        SendMessageA(hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        SetRowState(hList, nRow, kStateChecked);
        g_rowPrograms[nRow] = p;
        ++nRow;
    }
}

BOOL IsInstrumentRowChecked(HWND hList, int nRow) {
    LRESULT state = SendMessageA(hList, LVM_GETITEMSTATE, nRow, LVIS_STATEIMAGEMASK);
    return (static_cast<UINT>(state) >> kStateImageShift) != kStateUnchecked;
}

void BuildProgramMapFromList(HWND hDlg) {
    HWND hList = GetDlgItem(hDlg, IDC_INSTRUMENTS);
    int nRows = static_cast<int>(SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    if (nRows > kMaxInstrumentRows)
        nRows = kMaxInstrumentRows;
    bool rowChecked[kMaxInstrumentRows];
    for (int r = 0; r < nRows; ++r)
        rowChecked[r] = IsInstrumentRowChecked(hList, r) != FALSE;
    FillProgramMap(g_usedPrograms, rowChecked, g_rowPrograms, nRows);
}
