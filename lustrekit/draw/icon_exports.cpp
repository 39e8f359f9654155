// Lustrekit exports that draw icons and bitmaps: centred icons in three looks, lightened icon copies, bitmaps.
#define LUSTREKIT_BUILDING
#include "lustrekit.h"

#include "gdi_scoped.h"
#include "icon_draw.h"
#include "lk_color_math.h"

namespace {

// Paints the selected brush where the source is black and keeps the target where the source is white.
constexpr DWORD kRopBrushWhereBlack = 0xB8074A;
constexpr int kLookMask = 3;
constexpr DWORD kLowByte = 0xFF;
constexpr int kBlendAmount = 64;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The mask and colour copies of an icon with its size; released with it.
struct IconParts {
    lk::ScopedIconInfo copies;
    const ICONINFO &info = copies.info();
    bool bValid = false;
    int width = 0;  // pixels
    int height = 0; // pixels

    explicit IconParts(HICON hIcon) : copies(hIcon) {
        if (!copies.valid()) {
            return;
        }
        BITMAP bm = {};
        // A monochrome icon has no colour bitmap: its mask holds the AND half above the XOR half.
        HBITMAP hSizeSource = info.hbmColor != NULL ? info.hbmColor : info.hbmMask;
        if (hSizeSource == NULL || GetObjectA(hSizeSource, sizeof(bm), &bm) == 0) {
            return;
        }
        width = bm.bmWidth;
        height = info.hbmColor != NULL ? bm.bmHeight : bm.bmHeight / 2;
        bValid = true;
    }
};

// Gray or embossed silhouette: every pixel of the icon that is not white, through a monochrome bitmap.
void DrawDisabledIcon(HDC hdc, HICON hIcon, const IconParts &parts, int x0, int y0, bool bEmbossed, HBRUSH hbrGray) {
    lk::ScopedMemoryDC hdcMem(hdc);
    lk::ScopedBitmap hbmMono(CreateCompatibleBitmap(hdcMem, parts.width, parts.height)); // a new DC's is 1 bpp
    lk::ScopedSelect monoInMem(hdcMem, hbmMono);
    PatBlt(hdcMem, 0, 0, parts.width, parts.height, WHITENESS);
    DrawIconEx(hdcMem, 0, 0, hIcon, parts.width, parts.height, 0, NULL, DI_NORMAL);
    COLORREF crOldText = SetTextColor(hdc, kBlack);
    COLORREF crOldBk = SetBkColor(hdc, kWhite);
    if (bEmbossed) {
        lk::ScopedSelect brush(hdc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
        BitBlt(hdc, x0, y0, parts.width, parts.height, hdcMem, 0, 0, kRopBrushWhereBlack);
        brush.Select(GetSysColorBrush(COLOR_BTNSHADOW));
        BitBlt(hdc, x0 - 1, y0 - 1, parts.width, parts.height, hdcMem, 0, 0, kRopBrushWhereBlack);
    } else {
        lk::ScopedSelect brush(hdc, hbrGray);
        BitBlt(hdc, x0, y0, parts.width, parts.height, hdcMem, 0, 0, kRopBrushWhereBlack);
    }
    SetTextColor(hdc, crOldText);
    SetBkColor(hdc, crOldBk);
}

// Gray shadow through the icon's mask one pixel below right, then the icon one pixel above left.
void DrawRaisedIcon(HDC hdc, HICON hIcon, const IconParts &parts, int x0, int y0, HBRUSH hbrGray) {
    {
        lk::ScopedMemoryDC hdcMem(hdc);
        SetBkColor(hdc, kWhite); // left white on purpose: callers of the raised look rely on it
        lk::ScopedSelect maskInMem(hdcMem, parts.info.hbmMask);
        lk::ScopedSelect brush(hdc, hbrGray);
        BitBlt(hdc, x0 + 1, y0 + 1, parts.width, parts.height, hdcMem, 0, 0, kRopBrushWhereBlack);
    }
    DrawIconEx(hdc, x0 - 1, y0 - 1, hIcon, parts.width, parts.height, 0, NULL, DI_NORMAL);
}

// Lightens every colour pixel under a black mask pixel (the icon's opaque part).
void LightenOpaquePixels(HDC hdc, const IconParts &parts) {
    lk::ScopedMemoryDC hdcColor(hdc);
    lk::ScopedMemoryDC hdcMask(hdc);
    lk::ScopedSelect colorInMem(hdcColor, parts.info.hbmColor);
    lk::ScopedSelect maskInMem(hdcMask, parts.info.hbmMask);
    for (int y = 0; y < parts.height; ++y) {
        for (int x = 0; x < parts.width; ++x) {
            if (GetPixel(hdcMask, x, y) == kBlack) {
                SetPixel(hdcColor, x, y, LightenColor(kBlendAmount, GetPixel(hdcColor, x, y)));
            }
        }
    }
}

} // namespace

void DrawTransparentBitmap(HDC hdcTarget, int x, int y, int width, int height, HDC hdcSource, int sourceX, int sourceY,
                           int sourceWidth, int sourceHeight, COLORREF key) {
    int oldMode = SetStretchBltMode(hdcTarget, COLORONCOLOR);
    lk::ScopedMemoryDC hdcMask(hdcSource);
    lk::ScopedBitmap hbmMask(CreateBitmap(sourceWidth, sourceHeight, 1, 1, NULL));
    lk::ScopedSelect maskInMem(hdcMask, hbmMask);
    // Colour to monochrome: pixels equal to the source's background colour become white, all others black.
    COLORREF crOldSourceBk = SetBkColor(hdcSource, key);
    StretchBlt(hdcMask, 0, 0, sourceWidth, sourceHeight, hdcSource, sourceX, sourceY, sourceWidth, sourceHeight,
               SRCCOPY);
    SetBkColor(hdcSource, crOldSourceBk);
    // target ^ source, masked to zero outside the key area, ^ source again: key pixels keep the target.
    StretchBlt(hdcTarget, x, y, width, height, hdcSource, sourceX, sourceY, sourceWidth, sourceHeight, SRCINVERT);
    COLORREF crOldText = SetTextColor(hdcTarget, kBlack);
    COLORREF crOldBk = SetBkColor(hdcTarget, kWhite);
    StretchBlt(hdcTarget, x, y, width, height, hdcMask, 0, 0, sourceWidth, sourceHeight, SRCAND);
    SetTextColor(hdcTarget, crOldText);
    SetBkColor(hdcTarget, crOldBk);
    StretchBlt(hdcTarget, x, y, width, height, hdcSource, sourceX, sourceY, sourceWidth, sourceHeight, SRCINVERT);
    SetStretchBltMode(hdcTarget, oldMode);
}

BOOL WINAPI DrawIcnRect(HDC hdc, const RECT *rect, HICON icon, int look, DWORD embossed) {
    IconParts parts(icon);
    if (rect == NULL || !parts.bValid) {
        return FALSE;
    }
    lk::ScopedBrush hbrGray(CreateSolidBrush(GetSysColor(COLOR_GRAYTEXT)));
    const int x0 = rect->left + lk::DivRound(rect->right - rect->left - parts.width, 2);
    const int y0 = rect->top + lk::DivRound(rect->bottom - rect->top - parts.height, 2);
    switch (look & kLookMask) {
    case ICNLOOK_DISABLED:
        DrawDisabledIcon(hdc, icon, parts, x0, y0, (embossed & kLowByte) != 0, hbrGray);
        break;
    case ICNLOOK_RAISED:
        DrawRaisedIcon(hdc, icon, parts, x0, y0, hbrGray);
        break;
    default:
        DrawIconEx(hdc, x0, y0, icon, parts.width, parts.height, 0, NULL, DI_NORMAL);
        break;
    }
    return hbrGray.Delete();
}

HICON WINAPI Icon_CopyAsBlend(HDC hdc, HICON icon, int /*amount: the lightening is always 64*/) {
    IconParts parts(icon);
    if (!parts.bValid) {
        return NULL;
    }
    if (parts.info.hbmColor != NULL) {
        LightenOpaquePixels(hdc, parts);
    }
    // A monochrome icon has no colours to lighten: it is copied unchanged.
    ICONINFO copy = parts.info; // the call takes a writable record but only reads it
    return CreateIconIndirect(&copy);
}

BOOL WINAPI DrawDDB(HDC hdc, const RECT *rect, HBITMAP bitmap, DWORD transparent) {
    BITMAP bm = {};
    if (rect == NULL || bitmap == NULL || GetObjectA(bitmap, sizeof(bm), &bm) == 0) {
        return FALSE;
    }
    const int w = rect->right - rect->left;
    const int h = rect->bottom - rect->top;
    lk::ScopedMemoryDC hdcMem(hdc);
    if (hdcMem == NULL) {
        return FALSE;
    }
    {
        lk::ScopedSelect bitmapInMem(hdcMem, bitmap);
        if (transparent != 0) {
            COLORREF key = GetPixel(hdcMem, 0, 0);
            DrawTransparentBitmap(hdc, rect->left, rect->top, w, h, hdcMem, 0, 0, bm.bmWidth, bm.bmHeight, key);
        } else {
            BitBlt(hdc, rect->left, rect->top, w, h, hdcMem, 0, 0, SRCCOPY);
        }
    }
    return hdcMem.Delete();
}
