// Gallery of Lustrekit's drawing: every fill pattern (plain and hot), the gradients and the icon and bitmap
// looks, drawn through the DLL into one picture saved as a BMP file (path as argument, or the build folder).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "lk_canvas.h"
#include "lustrekit.h"

namespace {

constexpr int kCanvasWidth = 1040;
constexpr int kCanvasHeight = 404;
constexpr int kCellWidth = 96;
constexpr int kCellHeight = 64;
constexpr int kCellPitch = 104;
constexpr int kLabelHeight = 16;
constexpr int kMargin = 8;
constexpr int kIconSize = 32;
constexpr int kIconCell = 56;
constexpr int kDepth = 30;
constexpr int kHotPercent = 40;
constexpr int kTintPercent = 40;
constexpr COLORREF kTintColour = RGB(40, 90, 200);
constexpr int kRowGap = 4;
constexpr COLORREF kCanvasColour = RGB(255, 255, 255);
constexpr COLORREF kLabelColour = RGB(0, 0, 0);

void Label(HDC hdc, int x, int y, const char *pszText) {
    SetTextColor(hdc, kLabelColour);
    SetBkMode(hdc, TRANSPARENT);
    TextOutA(hdc, x, y, pszText, static_cast<int>(std::strlen(pszText)));
}

void DrawBitmapAt(HDC hdc, HBITMAP hBmp, int x, int y) {
    RECT r = {x, y, x + kCellWidth, y + kCellHeight};
    DrawDDB(hdc, &r, hBmp, 0);
}

// The ten pattern codes 0..9 in columns: plain bitmaps, their hot bitmaps, and tinted ones.
void DrawPatterns(HDC hdc, int top) {
    static const char *names[] = {"0 none",    "1 noise",   "2 cushion",  "3 hcubic",  "4 vcubic",
                                  "5 vlinear", "6 hlinear", "7 diagonal", "8 capsule", "9 strokes"};
    for (int pattern = 0; pattern <= 9; ++pattern) {
        int x = kMargin + pattern * kCellPitch;
        RECT size = {0, 0, kCellWidth, kCellHeight};
        HBITMAP hBmp = NULL, hHot = NULL;
        CreateFillBmp(pattern, &size, kDepth, kHotPercent, 0, 0, &hBmp, &hHot);
        Label(hdc, x, top, names[pattern]);
        DrawBitmapAt(hdc, hBmp, x, top + kLabelHeight);
        DrawBitmapAt(hdc, hHot, x, top + kLabelHeight + kCellHeight + kRowGap);
        DeleteObject(hBmp);
        DeleteObject(hHot);
        CreateFillBmp(pattern, &size, kDepth, 0, kTintPercent, kTintColour, &hBmp, &hHot);
        DrawBitmapAt(hdc, hBmp, x, top + kLabelHeight + 2 * (kCellHeight + kRowGap));
        DeleteObject(hBmp);
    }
}

void DrawGradients(HDC hdc, int top) {
    const COLORREF c1 = RGB(20, 60, 160), c2 = RGB(250, 220, 120);
    struct {
        const char *name;
        bool bOwn;
        DWORD vertical;
    } cells[] = {{"DrawGradient V", true, 1},
                 {"DrawGradient H", true, 0},
                 {"Gradient_Fill V", false, 1},
                 {"Gradient_Fill H", false, 0},
                 {"V=0x100 (H)", false, 0x100}};
    for (int i = 0; i < 5; ++i) {
        int x = kMargin + i * kCellPitch;
        RECT r = {x, top + kLabelHeight, x + kCellWidth, top + kLabelHeight + kCellHeight};
        Label(hdc, x, top, cells[i].name);
        if (cells[i].bOwn) {
            DrawGradient(hdc, &r, c1, c2, cells[i].vertical);
        } else {
            Gradient_Fill(hdc, &r, c1, c2, cells[i].vertical);
        }
    }
    // Tinted noise and the application's own tile for comparison.
    RECT tile = {0, 0, kCellWidth, kCellHeight};
    HBITMAP hBmp = NULL, hHot = NULL;
    CreateFillBmp(FILLBMP_CUSHION, &tile, 10, 0, 35, RGB(40, 120, 220), &hBmp, &hHot);
    Label(hdc, kMargin + 5 * kCellPitch, top, "cushion tint 35");
    DrawBitmapAt(hdc, hBmp, kMargin + 5 * kCellPitch, top + kLabelHeight);
    DeleteObject(hBmp);
    RECT appTile = {0, 0, 128, 128};
    CreateFillBmp(FILLBMP_NOISE, &appTile, 45, 5, 0, 0, &hBmp, &hHot);
    Label(hdc, kMargin + 6 * kCellPitch, top, "app tile (noise 45)");
    DrawBitmapAt(hdc, hBmp, kMargin + 6 * kCellPitch, top + kLabelHeight);
    DrawBitmapAt(hdc, hHot, kMargin + 7 * kCellPitch, top + kLabelHeight);
    Label(hdc, kMargin + 7 * kCellPitch, top, "  its hot tile");
    DeleteObject(hBmp);
    DeleteObject(hHot);
}

// A 32 x 32 test icon: a red disc with a blue band and a white dot; outside the disc transparent.
HICON MakeGalleryIcon() {
    BITMAPINFO info = TopDown32Info(kIconSize, kIconSize);
    void *pvBits = NULL;
    HBITMAP hColour = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &pvBits, NULL, 0);
    BYTE maskBits[kIconSize * kIconSize / 8];
    std::memset(maskBits, 0xFF, sizeof(maskBits));
    DWORD *pPixels = static_cast<DWORD *>(pvBits);
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            int dx = x - 16, dy = y - 16;
            bool bInside = dx * dx + dy * dy < 15 * 15;
            DWORD value = 0;
            if (bInside) {
                maskBits[y * 4 + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
                value = (y >= 13 && y < 19) ? 0x002040E0 : 0x00D02020;
                if (dx * dx + (dy + 8) * (dy + 8) < 9) {
                    value = 0x00FFFFFF;
                }
            }
            pPixels[y * kIconSize + x] = value;
        }
    }
    HBITMAP hMask = CreateBitmap(kIconSize, kIconSize, 1, 1, maskBits);
    ICONINFO iconInfo = {TRUE, 0, 0, hMask, hColour};
    HICON hIcon = CreateIconIndirect(&iconInfo);
    DeleteObject(hMask);
    DeleteObject(hColour);
    return hIcon;
}

// A 12 x 12 bitmap with a magenta key in its corner and rim, for the colour-keyed stretch.
HBITMAP MakeKeyedBitmap(HDC hdc) {
    HBITMAP hBmp = CreateCompatibleBitmap(hdc, 12, 12);
    HDC hdcMem = CreateCompatibleDC(hdc);
    HGDIOBJ hOld = SelectObject(hdcMem, hBmp);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            bool bRim = x == 0 || y == 0 || x == 11 || y == 11 || (x + y) % 5 == 0;
            SetPixel(hdcMem, x, y, bRim ? RGB(255, 0, 255) : RGB(x * 20, 200 - y * 15, 90));
        }
    }
    SelectObject(hdcMem, hOld);
    DeleteDC(hdcMem);
    return hBmp;
}

void DrawIcons(HDC hdc, int top) {
    HICON hIcon = MakeGalleryIcon();
    HICON hBlend = Icon_CopyAsBlend(hdc, hIcon, 0);
    struct {
        const char *name;
        HICON icon;
        int look;
        DWORD embossed;
    } cells[] = {{"normal", hIcon, 0, 0},
                 {"disabled", hIcon, 1, 0},
                 {"embossed", hIcon, 1, 1},
                 {"raised", hIcon, 2, 0},
                 {"blend copy", hBlend, 0, 0}};
    // A face-coloured band behind the icons, as on a button.
    RECT band = {kMargin, top + kLabelHeight, kMargin + 5 * kCellPitch, top + kLabelHeight + kIconCell};
    FillRect(hdc, &band, GetSysColorBrush(COLOR_BTNFACE));
    for (int i = 0; i < 5; ++i) {
        int x = kMargin + i * kCellPitch;
        RECT r = {x, top + kLabelHeight, x + kIconCell, top + kLabelHeight + kIconCell};
        Label(hdc, x, top, cells[i].name);
        SetTextColor(hdc, RGB(0, 0, 0));
        DrawIcnRect(hdc, &r, cells[i].icon, cells[i].look, cells[i].embossed);
    }
    HBITMAP hKeyed = MakeKeyedBitmap(hdc);
    int x = kMargin + 5 * kCellPitch;
    RECT plain = {x, top + kLabelHeight, x + kCellWidth, top + kLabelHeight + kIconCell};
    Label(hdc, x, top, "DDB plain");
    DrawDDB(hdc, &plain, hKeyed, 0);
    x += kCellPitch;
    RECT stretched = {x, top + kLabelHeight, x + 48, top + kLabelHeight + 48};
    Label(hdc, x, top, "DDB keyed x4");
    HBRUSH hbr = CreateSolidBrush(RGB(255, 240, 160));
    FillRect(hdc, &stretched, hbr);
    DeleteObject(hbr);
    DrawDDB(hdc, &stretched, hKeyed, 1);
    DeleteObject(hKeyed);
    DestroyIcon(hBlend);
    DestroyIcon(hIcon);
}

} // namespace

int main(int argc, char **argv) {
    std::string path = argc > 1 ? argv[1] : LK_GALLERY_PATH;
    TestCanvas canvas(kCanvasWidth, kCanvasHeight, kCanvasColour);
    if (!canvas.Valid()) {
        std::fprintf(stderr, "lustrekit_gallery: cannot make the drawing surface\n");
        return 1;
    }
    const int gradientTop = kMargin + kLabelHeight + 3 * (kCellHeight + kRowGap) + kMargin;
    DrawPatterns(canvas.Dc(), kMargin);
    DrawGradients(canvas.Dc(), gradientTop);
    DrawIcons(canvas.Dc(), gradientTop + kLabelHeight + kCellHeight + kMargin);
    if (!SaveCanvasBmp(canvas, path)) {
        std::fprintf(stderr, "lustrekit_gallery: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    return 0;
}
