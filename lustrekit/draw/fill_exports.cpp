// Lustrekit exports of the gradient fills and fill bitmaps: GDI around the portable fill arithmetic.
#define LUSTREKIT_BUILDING
#include "lustrekit.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "gdi_scoped.h"
#include "lk_fill_math.h"

namespace {

constexpr DWORD kLowByte = 0xFF;
constexpr int kVertexChannelShift = 8; // GradientFill takes 16-bit channels
constexpr WORD kDibBitsPerPixel8 = 8;
constexpr WORD kDibBitsPerPixel32 = 32;
constexpr uint64_t kMaxSectionBytes = 0x7FFFFFFFull;

// A TRIVERTEX at (x, y) with the colour's channels widened to 16 bits; alpha 0.
TRIVERTEX MakeVertex(LONG x, LONG y, COLORREF colour) {
    TRIVERTEX v;
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(colour) << kVertexChannelShift);
    v.Green = static_cast<COLOR16>(GetGValue(colour) << kVertexChannelShift);
    v.Blue = static_cast<COLOR16>(GetBValue(colour) << kVertexChannelShift);
    v.Alpha = 0;
    return v;
}

// 0x00RRGGBB: the order of a 32-bit DIB pixel (blue in the low byte).
DWORD DibPixel(COLORREF colour) {
    return (static_cast<DWORD>(GetRValue(colour)) << 16) | (static_cast<DWORD>(GetGValue(colour)) << 8) |
           GetBValue(colour);
}

void FillGradientPixels(DWORD *pBits, LONG w, LONG h, COLORREF colour1, COLORREF colour2, bool bVertical) {
    const LONG n = bVertical ? h : w;
    for (LONG i = 0; i < n; ++i) {
        DWORD value = DibPixel(lk::GradientStepColor(i, n, colour1, colour2));
        if (bVertical) {
            DWORD *pRow = pBits + static_cast<size_t>(i) * w;
            for (LONG x = 0; x < w; ++x) {
                pRow[x] = value;
            }
        } else {
            for (LONG y = 0; y < h; ++y) {
                pBits[static_cast<size_t>(y) * w + i] = value;
            }
        }
    }
}

// Width and height of a rectangle, worked out in 64 bits so that an inverted rectangle with extreme coordinates
// cannot wrap round into a positive size; false unless both are in 1..LONG_MAX.
bool RectExtent(const RECT *rect, LONG *pnWidth, LONG *pnHeight) {
    const int64_t w = static_cast<int64_t>(rect->right) - rect->left;
    const int64_t h = static_cast<int64_t>(rect->bottom) - rect->top;
    if (w <= 0 || h <= 0 || w > LONG_MAX || h > LONG_MAX) {
        return false;
    }
    *pnWidth = static_cast<LONG>(w);
    *pnHeight = static_cast<LONG>(h);
    return true;
}

void StorePair(HBITMAP *phOut, HBITMAP *phHotOut, HBITMAP hBmp, HBITMAP hHot) {
    if (phOut != NULL) {
        *phOut = hBmp;
    }
    if (phHotOut != NULL) {
        *phHotOut = hHot;
    }
}

// Both bitmaps from one block (header, palette, pixels); the hot one after its palette is copied in.
void MakeFillBitmaps(BYTE *pBlock, const BYTE *pHotPalette, HBITMAP *phBmp, HBITMAP *phHot) {
    const BITMAPINFOHEADER *pHeader = reinterpret_cast<BITMAPINFOHEADER *>(pBlock);
    const BITMAPINFO *pInfo = reinterpret_cast<BITMAPINFO *>(pBlock);
    const BYTE *pPixels = pBlock + sizeof(BITMAPINFOHEADER) + lk::kPaletteBytes;
    HDC hdcScreen = GetDC(NULL);
    *phBmp = CreateDIBitmap(hdcScreen, pHeader, CBM_INIT, pPixels, pInfo, DIB_RGB_COLORS);
    *phHot = NULL;
    if (pHotPalette != NULL && *phBmp != NULL) {
        std::memcpy(pBlock + sizeof(BITMAPINFOHEADER), pHotPalette, lk::kPaletteBytes);
        *phHot = CreateDIBitmap(hdcScreen, pHeader, CBM_INIT, pPixels, pInfo, DIB_RGB_COLORS);
    }
    if (hdcScreen != NULL) {
        ReleaseDC(NULL, hdcScreen);
    }
}

} // namespace

int WINAPI Gradient_Fill(HDC hdc, const RECT *rect, COLORREF colour1, COLORREF colour2, DWORD vertical) {
    if (rect == NULL) {
        return 0;
    }
    TRIVERTEX vertices[2] = {MakeVertex(rect->left, rect->top, colour1),
                             MakeVertex(rect->right, rect->bottom, colour2)};
    GRADIENT_RECT joint = {0, 1};
    ULONG mode = (vertical & kLowByte) != 0 ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H;
    GradientFill(hdc, vertices, 2, &joint, 1, mode);
    return 0;
}

BOOL WINAPI DrawGradient(HDC hdc, const RECT *rect, COLORREF colour1, COLORREF colour2, DWORD vertical) {
    LONG w = 0, h = 0;
    if (rect == NULL || !RectExtent(rect, &w, &h)) {
        return FALSE;
    }
    if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 4 > kMaxSectionBytes) {
        return FALSE;
    }
    BITMAPINFO info;
    std::memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down: row i of the section is line i
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kDibBitsPerPixel32;
    info.bmiHeader.biCompression = BI_RGB;
    lk::ScopedMemoryDC hdcMem(hdc);
    if (hdcMem == NULL) {
        return FALSE;
    }
    void *pvBits = NULL;
    lk::ScopedBitmap hSection(CreateDIBSection(hdcMem, &info, DIB_RGB_COLORS, &pvBits, NULL, 0));
    if (hSection == NULL || pvBits == NULL) {
        return FALSE;
    }
    FillGradientPixels(static_cast<DWORD *>(pvBits), w, h, colour1, colour2, (vertical & kLowByte) != 0);
    {
        lk::ScopedSelect sectionInMem(hdcMem, hSection);
        BitBlt(hdc, rect->left, rect->top, w, h, hdcMem, 0, 0, SRCCOPY);
    }
    hdcMem.Delete();
    return hSection.Delete();
}

BOOL WINAPI CreateFillBmp(int pattern, const RECT *rect, int depth, int hotPercent, int tintPercent,
                          COLORREF tintColour, HBITMAP *bitmapOut, HBITMAP *hotBitmapOut) {
    StorePair(bitmapOut, hotBitmapOut, NULL, NULL);
    LONG w = 0, h = 0;
    if (rect == NULL || bitmapOut == NULL || !RectExtent(rect, &w, &h)) {
        return FALSE;
    }
    lk::FillLayout layout;
    if (lk::PrepareFillLayout(pattern, w, h, depth, &layout) != lk::FillStatus::kOk) {
        return FALSE;
    }
    const SIZE_T blockBytes = sizeof(BITMAPINFOHEADER) + lk::kPaletteBytes + layout.pixelBytes;
    BYTE *pBlock = static_cast<BYTE *>(GlobalAlloc(GPTR, blockBytes));
    // Without a place for the hot bitmap it is not made at all, rather than made and leaked.
    const bool bHot = (hotPercent & kLowByte) != 0 && hotBitmapOut != NULL;
    BYTE *pHotPalette = bHot ? static_cast<BYTE *>(GlobalAlloc(GPTR, lk::kPaletteBytes)) : NULL;
    if (pBlock == NULL || (bHot && pHotPalette == NULL)) {
        GlobalFree(pBlock);
        GlobalFree(pHotPalette);
        return FALSE;
    }
    BITMAPINFOHEADER *pHeader = reinterpret_cast<BITMAPINFOHEADER *>(pBlock);
    pHeader->biSize = sizeof(BITMAPINFOHEADER);
    pHeader->biWidth = layout.width;
    pHeader->biHeight = layout.height; // bottom-up
    pHeader->biPlanes = 1;
    pHeader->biBitCount = kDibBitsPerPixel8;
    pHeader->biCompression = BI_RGB;
    pHeader->biSizeImage = layout.pixelBytes;
    lk::BuildFillPalettes(GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT),
                          tintPercent, tintColour, hotPercent, pBlock + sizeof(BITMAPINFOHEADER), pHotPalette);
    lk::RenderFillPixels(pattern, depth, layout, pBlock + sizeof(BITMAPINFOHEADER) + lk::kPaletteBytes);
    HBITMAP hMade = NULL;
    HBITMAP hMadeHot = NULL;
    MakeFillBitmaps(pBlock, pHotPalette, &hMade, &hMadeHot);
    lk::ScopedBitmap hBmp(hMade), hHot(hMadeHot);
    // All or nothing: a caller must never be left with one bitmap it does not know to delete.
    const bool bMade = hBmp != NULL && (!bHot || hHot != NULL);
    if (bMade)
        StorePair(bitmapOut, hotBitmapOut, hBmp.Release(), hHot.Release());
    GlobalFree(pBlock);
    GlobalFree(pHotPalette);
    return bMade;
}
