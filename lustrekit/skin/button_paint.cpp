// Lustrekit painting of one skinned button for WM_DRAWITEM: face look, state bitmap, icon, text, drop-down part
// and focus frame drawn off screen, then copied in one BitBlt.
#define LUSTREKIT_BUILDING
#include "button_faces.h"

#include "gdi_scoped.h"
#include "button_skin.h"
#include "lk_color_math.h"

namespace {

constexpr int kBorderInset = 2;      // BSK_BORDER and BSK_FOCUSRECT each shrink icon and text by this
constexpr int kFocusInsetFramed = 4; // focus frame inside a border or a face bitmap
constexpr int kFocusInsetPlain = 1;
constexpr int kSeparatorMargin = 4; // the arrow separator stops this far from the top and bottom
constexpr int kMenuEdgeInset = 3;   // the sunken arrow edge of an open menu
constexpr int kBlendAmount = 64;
constexpr UINT kMeasureFormat = DT_CALCRECT | DT_WORDBREAK | DT_CENTER;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_CENTER;

struct PaintRects {
    RECT face, icon, text, focus, arrow;
};

bool Has(const CTRL_STRUCT *pCtrl, DWORD flag) {
    return (pCtrl->skin.dwFlags & flag) != 0;
}

PaintRects RectsFor(const RECT &rcItem, const CTRL_STRUCT *pCtrl) {
    PaintRects r;
    r.face = rcItem;
    RECT content = rcItem;
    if (pCtrl->skin.hMenu != NULL) {
        content.right -= BSK_ARROW_WIDTH;
    }
    r.icon = content;
    int inset = (Has(pCtrl, BSK_BORDER) ? kBorderInset : 0) + (Has(pCtrl, BSK_FOCUSRECT) ? kBorderInset : 0);
    InflateRect(&r.icon, -inset, -inset);
    r.text = r.icon;
    r.focus = content;
    r.arrow = rcItem;
    r.arrow.left = rcItem.right - BSK_ARROW_WIDTH;
    return r;
}

// The parent's own erased background under the button, through a parent-sized bitmap.
void CopyParentBackground(HDC hdcMem, HDC hdcTarget, HWND hwndButton, const RECT &face) {
    HWND hwndParent = GetParent(hwndButton);
    RECT rcParent;
    if (hwndParent == NULL || !GetClientRect(hwndParent, &rcParent)) {
        return;
    }
    lk::ScopedMemoryDC hdcParent(hdcTarget);
    lk::ScopedBitmap hbmParent(CreateCompatibleBitmap(hdcTarget, rcParent.right, rcParent.bottom));
    lk::ScopedSelect parentInMem(hdcParent, hbmParent);
    SendMessageA(hwndParent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdcParent.get()), 0);
    RECT rcButton;
    GetWindowRect(hwndButton, &rcButton);
    MapWindowPoints(NULL, hwndParent, reinterpret_cast<POINT *>(&rcButton), 2);
    BitBlt(hdcMem, face.left, face.top, face.right - face.left, face.bottom - face.top, hdcParent, rcButton.left,
           rcButton.top, SRCCOPY);
}

void PaintBorder(HDC hdc, RECT *pFace, const CTRL_STRUCT *pCtrl, bool bSunken) {
    if (Has(pCtrl, BSK_THINBORDER)) {
        COLORREF crShadow = GetSysColor(COLOR_BTNSHADOW), crLight = GetSysColor(COLOR_BTNHIGHLIGHT);
        Draw3dFrame(hdc, pFace, bSunken ? crShadow : crLight, bSunken ? crLight : crShadow);
    } else {
        DrawEdge(hdc, pFace, bSunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
}

// Face look and visual state; a pressed plain button moves its icon (and with a border its text) by one pixel.
int PaintFace(HDC hdc, const DRAWITEMSTRUCT *pDis, const CTRL_STRUCT *pCtrl, PaintRects *pRects) {
    const bool bChecked = pCtrl->checkState != 0;
    int state;
    if (pDis->itemState & ODS_SELECTED) {
        state = kStatePressed;
        if (Has(pCtrl, BSK_FLATHILITE)) {
            PaintFlatHiliteFace(hdc, &pRects->face, state);
        } else if (Has(pCtrl, BSK_XPSTYLE)) {
            PaintXpFace(hdc, &pRects->face, state);
        } else {
            if (Has(pCtrl, BSK_BORDER)) {
                PaintBorder(hdc, &pRects->face, pCtrl, true);
                OffsetRect(&pRects->text, 1, 1);
            }
            OffsetRect(&pRects->icon, 1, 1);
        }
        return state;
    }
    state = g_hwndHoverButton == pDis->hwndItem ? kStateHot : kStateNormal;
    if (Has(pCtrl, BSK_FLATHILITE) || Has(pCtrl, BSK_XPSTYLE)) {
        if (bChecked) {
            state = kStatePressed;
        }
        if (Has(pCtrl, BSK_FLATHILITE)) {
            PaintFlatHiliteFace(hdc, &pRects->face, state);
        } else {
            PaintXpFace(hdc, &pRects->face, state);
        }
        return state;
    }
    if (Has(pCtrl, BSK_BORDER) && (!Has(pCtrl, BSK_FLAT) || state == kStateHot)) {
        PaintBorder(hdc, &pRects->face, pCtrl, bChecked);
    }
    return bChecked ? kStatePressed : state;
}

COLORREF TextColorFor(const BUTTON_SKIN &skin, int state) {
    if (state == kStatePressed && skin.crTextPressed != 0) {
        return skin.crTextPressed;
    }
    if (state == kStateHot && skin.crTextHot != 0) {
        return skin.crTextHot;
    }
    return skin.crText != 0 ? skin.crText : GetSysColor(COLOR_BTNTEXT);
}

HICON IconFor(const BUTTON_SKIN &skin, int state) {
    if (state == kStateDisabled) {
        return skin.hIcon;
    }
    if (skin.hIconHot != NULL && (state == kStateHot || state == kStatePressed)) {
        return skin.hIconHot;
    }
    return skin.hIcon;
}

int Width(const RECT &r) {
    return r.right - r.left;
}
int Height(const RECT &r) {
    return r.bottom - r.top;
}

// Icon beside the text: a third of the content for the icon, the text moved over by a quarter (or half, on top).
void LayOutIconAndText(const CTRL_STRUCT *pCtrl, PaintRects *pRects) {
    RECT &icon = pRects->icon;
    RECT &text = pRects->text;
    const bool bLeft = Has(pCtrl, BSK_ICONLEFT) || !Has(pCtrl, BSK_ICONLEFT | BSK_ICONRIGHT | BSK_ICONTOP);
    if (bLeft) {
        icon.right = lk::DivRound(Width(icon), 3);
        text.left += Width(text) / 4;
    } else if (Has(pCtrl, BSK_ICONRIGHT)) {
        icon.left = icon.right - lk::DivRound(Width(icon), 3);
        text.right -= Width(text) / 4;
    } else {
        icon.bottom -= lk::DivRound(Height(icon), 3);
        text.top += Height(text) / 2;
    }
}

void DrawStateBitmap(HDC hdc, const CTRL_STRUCT *pCtrl, RECT face, int state) {
    const HBITMAP bitmaps[] = {pCtrl->skin.hBmpNormal, pCtrl->skin.hBmpHot, pCtrl->skin.hBmpPressed,
                               pCtrl->skin.hBmpDisabled};
    HBITMAP hBmp = bitmaps[state];
    if (hBmp == NULL) {
        return;
    }
    if (Has(pCtrl, BSK_BORDER)) {
        int inset = Has(pCtrl, BSK_THINBORDER) ? 1 : 2;
        InflateRect(&face, -inset, -inset);
    }
    DrawDDB(hdc, &face, hBmp, pCtrl->skin.dwFlags & BSK_TRANSPARENTBMP);
}

void DrawButtonIcon(HDC hdc, HDC hdcTarget, const CTRL_STRUCT *pCtrl, HICON hIcon, const RECT &rcIcon, int state) {
    if (state == kStateDisabled) {
        DrawIcnRect(hdc, &rcIcon, hIcon, ICNLOOK_DISABLED, 0);
        return;
    }
    const bool bActive = state == kStateHot || state == kStatePressed;
    if (Has(pCtrl, BSK_XPSTYLE) || (Has(pCtrl, BSK_FLATHILITE) && bActive)) {
        HICON hLight = Icon_CopyAsBlend(hdcTarget, hIcon, kBlendAmount);
        DrawIcnRect(hdc, &rcIcon, hLight, ICNLOOK_NORMAL, 0);
        if (hLight != NULL) {
            DestroyIcon(hLight);
        }
        return;
    }
    DrawIcnRect(hdc, &rcIcon, hIcon, ICNLOOK_NORMAL, 0);
}

// Word-wrapped text centred across and, by half the height left over, down (up when it needs more height).
void DrawButtonText(HDC hdc, const char *pszText, RECT text) {
    RECT measured = text;
    DrawTextA(hdc, pszText, -1, &measured, kMeasureFormat);
    OffsetRect(&text, 0, (Height(text) - Height(measured)) / 2);
    DrawTextA(hdc, pszText, -1, &text, kTextFormat);
}

void DrawDropDownPart(HDC hdc, const CTRL_STRUCT *pCtrl, HWND hwndButton, const RECT &arrow) {
    if (g_hwndMenuButton == hwndButton) {
        RECT edge = arrow;
        edge.top += kMenuEdgeInset;
        edge.bottom -= kMenuEdgeInset;
        edge.right -= kMenuEdgeInset;
        DrawEdge(hdc, &edge, BDR_SUNKENOUTER, BF_RECT);
    } else {
        const int top = arrow.top + kSeparatorMargin, bottom = arrow.bottom - kSeparatorMargin;
        FillStrip(hdc, arrow.left, top, arrow.left + 1, bottom, GetSysColor(COLOR_BTNSHADOW));
        FillStrip(hdc, arrow.left + 1, top, arrow.left + 2, bottom, GetSysColor(COLOR_BTNHIGHLIGHT));
    }
    if (Has(pCtrl, BSK_MENUBELOWARROW | BSK_MENUBELOW)) {
        DrawMarlettArrow(hdc, &arrow, TRUE);
    } else if (Has(pCtrl, BSK_MENURIGHT)) {
        DrawMarlettArrow(hdc, &arrow, FALSE);
    }
}

void DrawFocusFrame(HDC hdc, const CTRL_STRUCT *pCtrl, RECT focus) {
    const BUTTON_SKIN &skin = pCtrl->skin;
    const bool bFramed =
        Has(pCtrl, BSK_BORDER) || skin.hBmpNormal != NULL || skin.hBmpPressed != NULL || skin.hBmpHot != NULL;
    const int inset = bFramed ? kFocusInsetFramed : kFocusInsetPlain;
    InflateRect(&focus, -inset, -inset);
    const COLORREF colour = LightenColor(32, MixedColor(GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_BTNTEXT)));
    const int l = focus.left, t = focus.top, w = Width(focus), h = Height(focus);
    int xr = DrawDottedLine(hdc, l + 1, t, w - 1, TRUE, colour);
    DrawDottedLine(hdc, xr + 1, t + 1, h - 1, FALSE, colour);
    int yb = DrawDottedLine(hdc, l, t + 1, h - 1, FALSE, colour);
    DrawDottedLine(hdc, l + 1, yb + 1, w - 1, TRUE, colour);
}

// The window text in a zero-filled GlobalAlloc buffer; the caller frees it.
char *ReadWindowText(HWND hwnd) {
    int length = GetWindowTextLengthA(hwnd);
    char *pszText = static_cast<char *>(GlobalAlloc(GPTR, static_cast<SIZE_T>(length) + 1));
    if (pszText != NULL) {
        GetWindowTextA(hwnd, pszText, length + 1);
    }
    return pszText;
}

// Everything between the background and the copy to the screen.
void PaintContent(HDC hdc, const DRAWITEMSTRUCT *pDis, const CTRL_STRUCT *pCtrl, const char *pszText) {
    const BUTTON_SKIN &skin = pCtrl->skin;
    PaintRects rects = RectsFor(pDis->rcItem, pCtrl);
    if (!(Has(pCtrl, BSK_FLATHILITE) && Has(pCtrl, BSK_XPSTYLE))) {
        if (Has(pCtrl, BSK_PARENTBKGND)) {
            CopyParentBackground(hdc, pDis->hDC, pDis->hwndItem, rects.face);
        } else {
            FillRect(hdc, &rects.face, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
        }
    }
    int state = PaintFace(hdc, pDis, pCtrl, &rects);
    if (pDis->itemState & ODS_DISABLED) {
        state = kStateDisabled;
    }
    SetTextColor(hdc, state == kStateDisabled ? GetSysColor(COLOR_GRAYTEXT) : TextColorFor(skin, state));
    HICON hIcon = IconFor(skin, state);
    const bool bActive = state == kStateHot || state == kStatePressed;
    HFONT hFont = skin.hFontHot != NULL && bActive ? skin.hFontHot : skin.hFont;
    if (hFont != NULL) {
        SelectObject(hdc, hFont);
    }
    const bool bHasText = pszText != NULL && pszText[0] != '\0';
    if (hIcon != NULL && bHasText) {
        LayOutIconAndText(pCtrl, &rects);
    }
    DrawStateBitmap(hdc, pCtrl, rects.face, state);
    if (hIcon != NULL) {
        DrawButtonIcon(hdc, pDis->hDC, pCtrl, hIcon, rects.icon, state);
    }
    if (bHasText) {
        DrawButtonText(hdc, pszText, rects.text);
    }
    if (skin.hMenu != NULL) {
        DrawDropDownPart(hdc, pCtrl, pDis->hwndItem, rects.arrow);
    }
    if ((pDis->itemState & ODS_FOCUS) && Has(pCtrl, BSK_FOCUSRECT)) {
        DrawFocusFrame(hdc, pCtrl, rects.focus);
    }
}

} // namespace

void PaintSkinButton(const DRAWITEMSTRUCT *pDis, const CTRL_STRUCT *pCtrl) {
    const int width = pDis->rcItem.right, height = pDis->rcItem.bottom;
    lk::ScopedMemoryDC hdcMem(pDis->hDC);
    lk::ScopedBitmap hbmMem(CreateCompatibleBitmap(pDis->hDC, width, height));
    if (hdcMem == NULL || hbmMem == NULL) {
        return;
    }
    lk::ScopedSelect bitmapInMem(hdcMem, hbmMem);
    SetBkMode(hdcMem, TRANSPARENT);
    // The button's font is whatever the target DC has selected: swap a stock font in to learn it.
    HGDIOBJ hButtonFont = SelectObject(pDis->hDC, GetStockObject(DEFAULT_GUI_FONT));
    SelectObject(pDis->hDC, hButtonFont);
    lk::ScopedSelect fontInMem(hdcMem, hButtonFont);

    char *pszText = ReadWindowText(pDis->hwndItem);
    PaintContent(hdcMem, pDis, pCtrl, pszText);
    if (pszText != NULL) {
        GlobalFree(pszText);
    }

    BitBlt(pDis->hDC, 0, 0, width, height, hdcMem, 0, 0, SRCCOPY);
}
