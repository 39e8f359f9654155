// Lustrekit skinned menus: item sizes, the icon and accelerator columns, and drawing of the item texts.
#define LUSTREKIT_BUILDING
#include "menu_measure.h"

#include "gdi_scoped.h"

#include "menu_font.h"

#include <algorithm>
#include <cstring>

#include "menu_state.h"
#include "transparency.h"

namespace {

constexpr int kSeparatorHeight = 6;
constexpr int kSeparatorWidth = 8;
constexpr int kSideBarHeight = 5;
constexpr int kTextPadding = 7; // text height + 7
constexpr int kIconPadding = 4; // icon width + 4
constexpr int kItemHeightExtra = 2;
constexpr int kItemWidthExtra = 6;
constexpr UINT kFirstSysCommand = 0xF000;
constexpr UINT kLastSysCommand = 0xF150;
constexpr char kSysAccelSample[] = "ALT+F4";
constexpr UINT kBitmapOrSeparator = MFT_SEPARATOR | MFT_BITMAP;

SIZE TextSize(HDC hdc, const char *pszText, int length, bool bBold) {
    SIZE size = {0, 0};
    lk::ScopedFont hFont(CreateMenuFont(bBold));
    lk::ScopedSelect fontInDc(hdc, hFont);
    GetTextExtentPoint32A(hdc, pszText, length, &size);
    return size;
}

struct TextMeasure {
    int width = 0;  // pixels, the whole item text
    int label = 0;  // pixels, the accelerator column offset this item asks for
    int height = 0; // pixels, the text height
};

TextMeasure MeasureText(HMENU hPopup, UINT id, bool bBold) {
    TextMeasure m;
    char szText[kMenuTextChars + 1];
    int length = MenuItemText(hPopup, id, szText);
    if (length == 0) {
        return m;
    }
    HDC hdc = GetDC(NULL);
    const char *pTab = std::strchr(szText, '\t');
    SIZE whole = TextSize(hdc, szText, length, bBold);
    m.height = whole.cy;
    bool bNt = IsNtMenuGeneration();
    if (pTab != NULL) {
        SIZE accel = TextSize(hdc, pTab + 1, static_cast<int>(std::strlen(pTab + 1)), bBold);
        m.label = MaxLabelWidth(hdc, hPopup);
        m.width = bNt ? m.label + accel.cx : m.label;
    } else if (id >= kFirstSysCommand && id <= kLastSysCommand && bNt) {
        SIZE sample = TextSize(hdc, kSysAccelSample, sizeof(kSysAccelSample) - 1, true);
        m.label = MaxLabelWidth(hdc, hPopup);
        m.width = m.label + sample.cx;
    } else {
        m.width = whole.cx;
    }
    if (m.label == 0) {
        m.label = m.width;
    }
    ReleaseDC(NULL, hdc);
    return m;
}

int IconWidth(ULONG_PTR data) {
    lk::ScopedIconInfo icon(reinterpret_cast<HICON>(data));
    if (data == 0 || !icon.valid()) {
        return 0;
    }
    BITMAP bm = {};
    GetObjectA(icon.info().hbmColor != NULL ? icon.info().hbmColor : icon.info().hbmMask, sizeof(bm), &bm);
    return bm.bmWidth;
}

int MeasureSeparator(MEASUREITEMSTRUCT *pmis, ULONG_PTR data) {
    SIDEBARPROC pfnSideBar = SideBarOf(data);
    if (pfnSideBar == NULL) {
        pmis->itemHeight = kSeparatorHeight;
        pmis->itemWidth = kSeparatorWidth;
        return 1;
    }
    LONG width = pfnSideBar(g_hCurrentPopup, NULL, NULL);
    pmis->itemHeight = kSideBarHeight;
    pmis->itemWidth = static_cast<UINT>(width != 0 ? width : g_nSideBarDefaultWidth);
    return 1;
}

int MeasureTextItem(MEASUREITEMSTRUCT *pmis, const MENUITEMINFOA &mii) {
    HMENU hPopup = g_hCurrentPopup;
    DWORD dwData = PopupMenuData(hPopup);
    TextMeasure m = MeasureText(hPopup, pmis->itemID, (mii.fState & MFS_DEFAULT) != 0);
    int height = std::max(m.height + kTextPadding, IconWidth(mii.dwItemData) + kIconPadding);
    int colW = LOWORD(dwData);
    int accelX = HIWORD(dwData);
    if (height > colW || m.label > accelX) {
        colW = std::max(height, colW);
        accelX = std::max(m.label, accelX);
        dwData = MAKELONG(colW, accelX);
        SetPopupMenuData(hPopup, dwData);
    }
    pmis->itemHeight = static_cast<UINT>(height + kItemHeightExtra);
    pmis->itemWidth = static_cast<UINT>(m.width + colW + kItemWidthExtra);
    return 1;
}

int MeasureBitmapItem(MEASUREITEMSTRUCT *pmis, const MENUITEMINFOA &mii) {
    BITMAP bm = {};
    GetObjectA(reinterpret_cast<HBITMAP>(mii.dwTypeData), sizeof(bm), &bm);
    pmis->itemWidth = static_cast<UINT>(bm.bmWidth);
    pmis->itemHeight = static_cast<UINT>(bm.bmHeight);
    return 1;
}

} // namespace

LOGFONTA SystemMenuLogFont() {
    NonClientMetricsV1 ncm;
    std::memset(&ncm, 0, sizeof(ncm));
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    return ncm.lfMenuFont;
}

LOGFONTA MenuLogFont(bool bBold) {
    LOGFONTA lf = SystemMenuLogFont();
    if (bBold) {
        lf.lfWeight = kBoldWeight;
    }
    return lf;
}

HFONT CreateMenuFont(bool bBold) {
    LOGFONTA lf = MenuLogFont(bBold);
    return CreateFontIndirectA(&lf);
}

int MeasureSkinMenuItem(MEASUREITEMSTRUCT *pmis) {
    if (pmis->CtlType != ODT_MENU) {
        return 0;
    }
    HMENU hPopup = g_hCurrentPopup;
    MENUITEMINFOA mii = MenuItemInfo(MIIM_STATE | MIIM_TYPE | MIIM_DATA);
    if (!GetMenuItemInfoA(hPopup, pmis->itemID, FALSE, &mii)) {
        return 0;
    }
    MENUITEMINFOA first = MenuItemInfo(MIIM_ID);
    if (GetMenuItemInfoA(hPopup, 0, TRUE, &first) && first.wID == pmis->itemID) {
        SetPopupMenuData(hPopup, 0);
    }
    UINT kind = mii.fType & kBitmapOrSeparator;
    if (kind == MFT_SEPARATOR) {
        return MeasureSeparator(pmis, mii.dwItemData);
    }
    if (kind == 0 || pmis->itemID != 0) {
        return MeasureTextItem(pmis, mii);
    }
    if ((mii.fType & MFT_BITMAP) != 0) {
        return MeasureBitmapItem(pmis, mii);
    }
    return 0;
}

int MaxLabelWidth(HDC hdc, HMENU hPopup) {
    int widest = 0;
    int n = GetMenuItemCount(hPopup);
    for (int pos = 0; pos < n; ++pos) {
        char szText[kMenuTextChars + 1] = {};
        int length = GetMenuStringA(hPopup, static_cast<UINT>(pos), szText, sizeof(szText), MF_BYPOSITION);
        if (length <= 0) {
            continue;
        }
        const char *pTab = std::strchr(szText, '\t');
        if (pTab != NULL) {
            length = static_cast<int>(pTab - szText) + 1;
        }
        MENUITEMINFOA mii = MenuItemInfo(MIIM_STATE);
        GetMenuItemInfoA(hPopup, static_cast<UINT>(pos), TRUE, &mii);
        SIZE size = TextSize(hdc, szText, length, (mii.fState & MFS_DEFAULT) != 0);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    return widest;
}

void DrawMenuText(HDC hdc, const char *pszText, int length, const RECT *prc, int accelX) {
    const UINT uFormat = DT_NOCLIP | DT_SINGLELINE | DT_VCENTER;
    RECT rc = *prc;
    int labelLength = length;
    const void *pTab = std::memchr(pszText, '\t', static_cast<size_t>(length));
    const void *pBack = std::memchr(pszText, '\b', static_cast<size_t>(length));
    const char *pSplit = static_cast<const char *>(pTab != NULL ? pTab : pBack);
    if (pSplit != NULL) {
        labelLength = static_cast<int>(pSplit - pszText);
        RECT rcAccel = *prc;
        const char *pAccel = pSplit + 1;
        int accelLength = length - labelLength - 1;
        if (pTab != NULL) {
            rcAccel.left = prc->left + accelX;
            DrawTextA(hdc, pAccel, accelLength, &rcAccel, uFormat);
        } else {
            rcAccel.right = prc->left + accelX;
            DrawTextA(hdc, pAccel, accelLength, &rcAccel, uFormat | DT_RIGHT);
        }
    }
    DrawTextA(hdc, pszText, labelLength, &rc, uFormat);
}
