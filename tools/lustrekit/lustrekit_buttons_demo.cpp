// Demo of Lustrekit's skinned buttons: one window with a row per look and flag set and a column per state,
// shown on screen and saved as a BMP picture (path as argument, or the build folder).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "lk_canvas.h"
#include "lk_button_host.h"

#include <commctrl.h>

namespace {

constexpr int kCellW = 112;
constexpr int kCellH = 34;
constexpr int kPitchX = 120;
constexpr int kPitchY = 40;
constexpr int kLabelW = 190;
constexpr int kTop = 28;
constexpr int kMargin = 8;
constexpr COLORREF kWindowColour = RGB(236, 233, 216);

enum Column { kNormal, kHot, kPressed, kChecked, kDisabled, kFocused, kColumns };
const char *const kColumnNames[kColumns] = {"normal", "hot", "pressed", "checked", "disabled", "focus"};

struct Row {
    const char *name;
    DWORD dwFlags;
    bool bIcon;
    bool bMenu;
    bool bBitmaps;
    bool bLowColour; // painted with the screen switched to 8 bits per pixel
};

const Row kRows[] = {
    {"XP icon (app 0x20000066)", 0x20000066, true, false, false, false},
    {"XP text (app 0x20000026)", 0x20000026, false, false, false, false},
    {"thin, parent bg (0x8000006A)", 0x8000006A, true, false, false, false},
    {"XP icon, no focus (0x20000062)", 0x20000062, true, false, false, false},
    {"flat highlight + focus", BSK_FLATHILITE | BSK_FOCUSRECT, true, false, false, false},
    {"edge border + focus", BSK_BORDER | BSK_FOCUSRECT, true, false, false, false},
    {"thin border", BSK_BORDER | BSK_THINBORDER, true, false, false, false},
    {"flat edge border", BSK_BORDER | BSK_FLAT, true, false, false, false},
    {"icon right, border", BSK_ICONRIGHT | BSK_BORDER, true, false, false, false},
    {"icon top, XP", BSK_ICONTOP | BSK_XPSTYLE, true, false, false, false},
    {"menu below, XP", BSK_MENUBELOW | BSK_XPSTYLE, false, true, false, false},
    {"menu right, border", BSK_MENURIGHT | BSK_BORDER, false, true, false, false},
    {"state bitmaps, keyed", BSK_TRANSPARENTBMP | BSK_PARENTBKGND, false, false, true, false},
    {"XP at 8 bpp", BSK_XPSTYLE | BSK_FOCUSRECT, true, false, false, true},
    {"flat at 8 bpp", BSK_FLATHILITE, true, false, false, true},
};
constexpr int kRowCount = sizeof(kRows) / sizeof(kRows[0]);
constexpr int kWidth = kMargin + kLabelW + kColumns * kPitchX;
constexpr int kHeight = kTop + kRowCount * kPitchY + kMargin;

LRESULT CALLBACK DemoProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Row names and column titles, for the window's own paint and for the picture.
void DrawLabels(HDC hdc) {
    RECT all = {0, 0, kWidth, kHeight};
    HBRUSH hbr = CreateSolidBrush(kWindowColour);
    FillRect(hdc, &all, hbr);
    DeleteObject(hbr);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(0, 0, 0));
    HGDIOBJ hOld = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    for (int c = 0; c < kColumns; ++c) {
        TextOutA(hdc, kMargin + kLabelW + c * kPitchX + 4, 8, kColumnNames[c],
                 static_cast<int>(std::strlen(kColumnNames[c])));
    }
    for (int r = 0; r < kRowCount; ++r) {
        TextOutA(hdc, kMargin, kTop + r * kPitchY + 10, kRows[r].name, static_cast<int>(std::strlen(kRows[r].name)));
    }
    SelectObject(hdc, hOld);
}

LRESULT CALLBACK DemoProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_ERASEBKGND) {
        DrawLabels(reinterpret_cast<HDC>(wParam));
        return 1;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

// A 16 x 16 icon: a blue disc with a light rim, transparent outside.
HICON MakeDemoIcon() {
    auto distance = [](int x, int y) { return (2 * x - 15) * (2 * x - 15) + (2 * y - 15) * (2 * y - 15); };
    return MakeIcon(
        16, [&](int x, int y) { return distance(x, y) <= 225; },
        [&](int x, int y) { return distance(x, y) > 150 ? RGB(150, 190, 250) : RGB(30, 80 + 4 * y, 200); });
}

// Rounded face bitmaps on a magenta key, one tint per state.
HBITMAP MakeFaceBitmap(COLORREF colour) {
    return MakeBitmap(kCellW, kCellH, [colour](int x, int y) {
        int dx = x < 17 ? 17 - x : (x > kCellW - 18 ? x - (kCellW - 18) : 0);
        int dy = y - kCellH / 2;
        return dx * dx + dy * dy <= 16 * 16 ? colour : RGB(255, 0, 255);
    });
}

struct DemoResources {
    HICON hIcon = MakeDemoIcon();
    HMENU hMenu = CreatePopupMenu();
    HBITMAP hBmps[4] = {MakeFaceBitmap(RGB(120, 170, 230)), MakeFaceBitmap(RGB(150, 210, 255)),
                        MakeFaceBitmap(RGB(60, 110, 190)), MakeFaceBitmap(RGB(215, 215, 215))};
    DemoResources() { AppendMenuA(hMenu, MF_STRING, 1, "Item"); }
    ~DemoResources() {
        DestroyIcon(hIcon);
        DestroyMenu(hMenu);
        for (HBITMAP h : hBmps) {
            DeleteObject(h);
        }
    }
};

HWND CreateCell(HWND hwndParent, const Row &row, int r, int c, const DemoResources &res) {
    const char *pszText = row.bIcon && (row.dwFlags & BSK_ICONTOP) ? "Open" : "Convert!";
    DWORD type = c == kChecked ? BS_AUTOCHECKBOX : BS_PUSHBUTTON;
    HWND hwnd = CreateWindowExA(0, "BUTTON", pszText, WS_CHILD | WS_VISIBLE | type, kMargin + kLabelW + c * kPitchX,
                                kTop + r * kPitchY, kCellW, kCellH, hwndParent, NULL, GetModuleHandleA(NULL), NULL);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    BUTTON_SKIN skin = {};
    skin.dwFlags = row.dwFlags;
    skin.hIcon = row.bIcon ? res.hIcon : NULL;
    skin.hMenu = row.bMenu ? res.hMenu : NULL;
    if (row.bBitmaps) {
        skin.hBmpNormal = res.hBmps[0];
        skin.hBmpHot = res.hBmps[1];
        skin.hBmpPressed = res.hBmps[2];
        skin.hBmpDisabled = res.hBmps[3];
        skin.crTextHot = RGB(0, 40, 120);
        skin.crTextPressed = RGB(255, 255, 255);
    }
    RedrawButton(hwnd, &skin);
    if (c == kChecked) {
        SendMessageA(hwnd, BM_SETCHECK, BST_CHECKED, 0);
    }
    if (c == kDisabled) {
        EnableWindow(hwnd, FALSE);
    }
    return hwnd;
}

// Paints one button in its column's state through the parent's WM_DRAWITEM, into the picture at its place.
void PaintCell(HWND hwndParent, HWND hwnd, int c, TestCanvas &picture) {
    TestCanvas cell(kCellW, kCellH, 0);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    MapWindowPoints(NULL, hwndParent, reinterpret_cast<POINT *>(&rc), 2);
    if (c == kHot) {
        SendMessageA(hwnd, WM_MOUSEMOVE, 0, 0);
    }
    HGDIOBJ hOldFont = SelectObject(cell.Dc(), GetStockObject(DEFAULT_GUI_FONT)); // as the button's DC has it
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = c == kPressed ? ODS_SELECTED : c == kDisabled ? ODS_DISABLED : c == kFocused ? ODS_FOCUS : 0;
    dis.hwndItem = hwnd;
    dis.hDC = cell.Dc();
    dis.rcItem = {0, 0, kCellW, kCellH};
    SendMessageA(hwndParent, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    SelectObject(cell.Dc(), hOldFont);
    if (c == kHot) {
        SendMessageA(hwnd, WM_MOUSELEAVE, 0, 0);
    }
    // The keyed bitmaps shape the window: only the region's pixels are the button's.
    HRGN hRgn = CreateRectRgn(0, 0, 0, 0);
    bool bShaped = GetWindowRgn(hwnd, hRgn) != ERROR;
    for (int y = 0; y < kCellH; ++y)
        for (int x = 0; x < kCellW; ++x)
            if (!bShaped || PtInRegion(hRgn, x, y)) {
                picture.Set(rc.left + x, rc.top + y, cell.At(x, y));
            }
    DeleteObject(hRgn);
}

// Switches the screen to 8 bits per pixel and back (Wine emulates the mode).
bool SetScreenBits(int bits) {
    DEVMODEA dm = {};
    dm.dmSize = sizeof(dm);
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &dm);
    dm.dmBitsPerPel = bits;
    dm.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(bits == 0 ? NULL : &dm, 0) == DISP_CHANGE_SUCCESSFUL;
}

} // namespace

int main(int argc, char **argv) {
    std::string path = argc > 1 ? argv[1] : LK_BUTTONS_DEMO_PATH;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DemoProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.lpszClassName = "LustrekitButtonsDemo";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Lustrekit buttons", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                NULL, NULL, wc.hInstance, NULL);
    if (hwnd == NULL) {
        std::fprintf(stderr, "lustrekit_buttons_demo: cannot create the window\n");
        return 1;
    }
    DemoResources res;
    std::vector<HWND> cells;
    for (int r = 0; r < kRowCount; ++r)
        for (int c = 0; c < kColumns; ++c)
            cells.push_back(CreateCell(hwnd, kRows[r], r, c, res));
    UpdateWindow(hwnd);

    TestCanvas picture(kWidth, kHeight, kWindowColour);
    DrawLabels(picture.Dc());
    for (int r = 0; r < kRowCount; ++r) {
        bool bLow = kRows[r].bLowColour && SetScreenBits(8);
        for (int c = 0; c < kColumns; ++c)
            PaintCell(hwnd, cells[r * kColumns + c], c, picture);
        if (bLow) {
            SetScreenBits(0);
        }
    }
    DestroyWindow(hwnd);
    if (!SaveCanvasBmp(picture, path)) {
        std::fprintf(stderr, "lustrekit_buttons_demo: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}
