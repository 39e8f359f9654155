// Lustrekit export RedrawButton: skins a button (record, owner-draw style, subclassing, window shape) or turns
// the skin off again; and the window shape cut from a bitmap.
#define LUSTREKIT_BUILDING
#include "button_skin.h"

#include "gdi_scoped.h"

#include <cstdint>
#include <vector>

namespace {

constexpr DWORD kTypeMask = 0xF; // the button type in the low four style bits

// Type, check state and native style of a button about to be skinned, read before any record exists, so a
// button skinned before (whose procedure is still ours) answers BM_GETCHECK natively.
void ReadNativeState(HWND hwnd, CTRL_STRUCT *pCtrl) {
    DWORD dwStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    DWORD type = dwStyle & kTypeMask;
    if (type != 0) {
        pCtrl->type = type;
        pCtrl->checkState = static_cast<DWORD>(SendMessageA(hwnd, BM_GETCHECK, 0, 0));
    }
    pCtrl->savedStyle = dwStyle;
}

// Replaces only the type bits: the rest of the style (enabled, visible, ...) may have changed since.
void SetButtonType(HWND hwnd, DWORD type) {
    DWORD dwStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>((dwStyle & ~kTypeMask) | (type & kTypeMask)));
}

void Subclass(HWND hwnd, WNDPROC pfnProc) {
    if (hwnd == NULL || GetPropA(hwnd, g_szOldWndProcProp) != NULL) {
        return;
    }
    SetPropA(hwnd, g_szOldWndProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnProc));
}

BOOL SkinButton(HWND button, const BUTTON_SKIN *skin) {
    CTRL_STRUCT *pOld = GetCtrlStruct(button);
    CTRL_STRUCT *pCtrl = static_cast<CTRL_STRUCT *>(GlobalAlloc(GPTR, sizeof(CTRL_STRUCT)));
    if (pCtrl == NULL) {
        return FALSE; // the old look stays
    }
    pCtrl->skin = *skin;
    if (pOld != NULL) {
        // A re-skin changes the look only: the native style and the emulated check state carry over.
        pCtrl->type = pOld->type;
        pCtrl->checkState = pOld->checkState;
        pCtrl->savedStyle = pOld->savedStyle;
        RemovePropA(button, g_szCtrlStructProp);
        GlobalFree(pOld);
    } else {
        ReadNativeState(button, pCtrl);
        SetButtonType(button, BS_OWNERDRAW);
    }
    SetPropA(button, g_szCtrlStructProp, pCtrl);
    Subclass(GetParent(button), SkinParentProc);
    Subclass(button, SkinButtonProc);
    HRGN hRgn = NULL;
    if ((skin->dwFlags & BSK_TRANSPARENTBMP) && skin->hBmpNormal != NULL) {
        hRgn = RegionFromBitmap(skin->hBmpNormal);
    }
    if (hRgn != NULL || pOld != NULL) {
        SetWindowRgn(button, hRgn, FALSE); // the window owns the region now
    }
    return TRUE;
}

BOOL UnskinButton(HWND button) {
    SetWindowRgn(button, NULL, FALSE);
    CTRL_STRUCT *pCtrl = GetCtrlStruct(button);
    if (pCtrl == NULL) {
        return TRUE;
    }
    if (g_hwndHoverButton == button) {
        EndHover(button); // the class cursor must not stay swapped
    }
    SetButtonType(button, pCtrl->savedStyle);
    if (pCtrl->checkState != 0 && pCtrl->type != 0) {
        SendMessageA(button, BM_SETCHECK, pCtrl->checkState, 0);
    }
    RemovePropA(button, g_szCtrlStructProp);
    GlobalFree(pCtrl);
    return TRUE;
}

// The pixels of a bitmap as 0x00RRGGBB, top line first.
bool ReadPixels(HBITMAP hBitmap, int *pWidth, int *pHeight, std::vector<uint32_t> *pPixels) {
    BITMAP bm;
    if (GetObjectA(hBitmap, sizeof(bm), &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pPixels->assign(static_cast<size_t>(bm.bmWidth) * bm.bmHeight, 0);
    HDC hdcScreen = GetDC(NULL);
    int lines = GetDIBits(hdcScreen, hBitmap, 0, bm.bmHeight, pPixels->data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, hdcScreen);
    *pWidth = bm.bmWidth;
    *pHeight = bm.bmHeight;
    return lines == bm.bmHeight;
}

void AddRun(HRGN *phRgn, int left, int top, int right) {
    lk::GdiObject<HRGN> hRun(CreateRectRgn(left, top, right, top + 1));
    if (*phRgn == NULL) {
        *phRgn = hRun.Release();
        return;
    }
    CombineRgn(*phRgn, *phRgn, hRun, RGN_OR);
}

} // namespace

HRGN RegionFromBitmap(HBITMAP hBitmap) {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    if (!ReadPixels(hBitmap, &width, &height, &pixels)) {
        return NULL;
    }
    const uint32_t key = pixels[0];
    HRGN hRgn = NULL;
    for (int y = 0; y < height; ++y) {
        const uint32_t *row = &pixels[static_cast<size_t>(y) * width];
        int x = 0;
        while (x < width) {
            while (x < width && row[x] == key) {
                ++x;
            }
            int start = x;
            while (x < width && row[x] != key) {
                ++x;
            }
            if (x > start) {
                AddRun(&hRgn, start, y, x);
            }
        }
    }
    return hRgn;
}

BOOL WINAPI RedrawButton(HWND button, const BUTTON_SKIN *skin) {
    if (!IsWindow(button)) {
        return FALSE;
    }
    if (skin == NULL) {
        return UnskinButton(button);
    }
    if (g_hModuleInstance == NULL) {
        g_hModuleInstance = GetModuleHandleA(NULL);
    }
    return SkinButton(button, skin);
}
