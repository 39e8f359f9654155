// Test support for Lustrekit's skinned buttons under Wine: a real top-level parent window that counts what
// reaches it, buttons on it, solid icons and bitmaps, and a live GDI object count.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "lustrekit.h"

// What the parent's own window procedure saw.
struct ParentLog {
    int drawItems = 0;                // WM_DRAWITEM reaching the original procedure
    int menuPopups = 0;               // WM_INITMENUPOPUP: a drop-down menu opened
    int exitMenuLoops = 0;            // WM_EXITMENULOOP
    int clicks = 0;                   // WM_COMMAND BN_CLICKED
    std::function<void()> onMenuIdle; // runs while a menu is open (WM_ENTERIDLE), then the menu is ended
};

inline ParentLog g_parentLog;

inline LRESULT CALLBACK TestParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_DRAWITEM:
        ++g_parentLog.drawItems;
        return 0;
    case WM_INITMENUPOPUP:
        ++g_parentLog.menuPopups;
        break;
    case WM_EXITMENULOOP:
        ++g_parentLog.exitMenuLoops;
        break;
    case WM_ENTERIDLE:
        if (wParam == MSGF_MENU) {
            if (g_parentLog.onMenuIdle) {
                g_parentLog.onMenuIdle();
                g_parentLog.onMenuIdle = nullptr;
            }
            EndMenu();
        }
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            ++g_parentLog.clicks;
        }
        break;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

constexpr COLORREF kParentBackground = RGB(11, 22, 33);
constexpr int kParentX = 100; // screen position of the parent's client area (a borderless popup)
constexpr int kParentY = 100;

// A visible borderless parent at (kParentX, kParentY), 600 x 400, with a solid background brush.
class TestParent {
public:
    TestParent() {
        static HBRUSH s_hbr = CreateSolidBrush(kParentBackground);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TestParentProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = s_hbr;
        wc.hCursor = LoadCursor(NULL, IDC_ARROW);
        wc.lpszClassName = "LkSkinTestParent";
        RegisterClassA(&wc);
        g_parentLog = ParentLog();
        hwnd_ = CreateWindowExA(0, "LkSkinTestParent", "skin test", WS_POPUP | WS_VISIBLE, kParentX, kParentY, 600, 400,
                                NULL, NULL, GetModuleHandleA(NULL), NULL);
    }
    ~TestParent() {
        if (IsWindow(hwnd_)) {
            DestroyWindow(hwnd_);
        }
    }
    TestParent(const TestParent &) = delete;
    TestParent &operator=(const TestParent &) = delete;

    HWND Hwnd() const { return hwnd_; }

    // A child button at (x, y) of the parent, w x h, with the style's type bits (BS_...) and WS_TABSTOP.
    HWND AddButton(const char *pszText, DWORD type, int x, int y, int w, int h, DWORD extraStyle = 0) {
        static int s_id = 1000;
        return CreateWindowExA(0, "BUTTON", pszText, WS_CHILD | WS_VISIBLE | WS_TABSTOP | type | extraStyle, x, y, w, h,
                               hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(++s_id)), GetModuleHandleA(NULL),
                               NULL);
    }

private:
    HWND hwnd_ = NULL;
};

// Skins with a zeroed record carrying only the flags (and optionally more fields set by the caller).
inline BOOL SkinWith(HWND hwndButton, DWORD dwFlags, const std::function<void(BUTTON_SKIN &)> &fill = nullptr) {
    BUTTON_SKIN skin = {};
    skin.dwFlags = dwFlags;
    if (fill) {
        fill(skin);
    }
    return RedrawButton(hwndButton, &skin);
}

// Puts the pointer at a point of a window (client coordinates of the window given).
inline void PointerAt(HWND hwnd, int x, int y) {
    POINT pt = {x, y};
    ClientToScreen(hwnd, &pt);
    SetCursorPos(pt.x, pt.y);
}

// Handles the posted messages waiting for this thread (paints, leaves, commands).
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A w x h device-dependent bitmap from a per-pixel function (x, y from the top-left).
inline HBITMAP MakeBitmap(int w, int h, const std::function<COLORREF(int, int)> &colourAt) {
    HDC hdcScreen = GetDC(NULL);
    HBITMAP hBmp = CreateCompatibleBitmap(hdcScreen, w, h);
    ReleaseDC(NULL, hdcScreen);
    HDC hdc = CreateCompatibleDC(NULL);
    HGDIOBJ hOld = SelectObject(hdc, hBmp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            SetPixel(hdc, x, y, colourAt(x, y));
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return hBmp;
}

// A square colour icon: opaque(x, y) decides the mask; transparent pixels are black in the colour bitmap.
inline HICON MakeIcon(int size, const std::function<bool(int, int)> &opaque,
                      const std::function<COLORREF(int, int)> &colourAt) {
    const int stride = ((size + 15) / 16) * 2; // mask rows are WORD-aligned
    std::vector<uint8_t> maskBits(static_cast<size_t>(stride) * size, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (!opaque(x, y)) {
                maskBits[y * stride + x / 8] |= uint8_t(0x80 >> (x % 8));
            }
    HBITMAP hMask = CreateBitmap(size, size, 1, 1, maskBits.data());
    HBITMAP hColour = MakeBitmap(size, size, [&](int x, int y) { return opaque(x, y) ? colourAt(x, y) : 0; });
    ICONINFO info = {TRUE, 0, 0, hMask, hColour};
    HICON hIcon = CreateIconIndirect(&info);
    DeleteObject(hMask);
    DeleteObject(hColour);
    return hIcon;
}

// A fully opaque square colour icon of one colour.
inline HICON MakeSolidIcon(int size, COLORREF colour) {
    return MakeIcon(
        size, [](int, int) { return true; }, [colour](int, int) { return colour; });
}

// Live GDI objects of the process: Wine accepts a handle's index without its generation bits.
inline int CountGdiObjects() {
    int count = 0;
    for (ULONG_PTR h = 1; h < 0x40000; ++h) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(h)) != 0) {
            ++count;
        }
    }
    return count;
}
