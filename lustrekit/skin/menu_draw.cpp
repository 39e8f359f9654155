// Lustrekit skinned menu items: what every look shares, the side bars and the choice of the look's drawer.
#define LUSTREKIT_BUILDING
#include "menu_draw.h"

#include "gdi_scoped.h"

#include "menu_measure.h"
#include "menu_state.h"

namespace {

bool IsTextItem(UINT fType) {
    return (fType & (MFT_SEPARATOR | MFT_BITMAP)) == 0;
}

bool IsSeparator(UINT fType) {
    return (fType & (MFT_SEPARATOR | MFT_BITMAP)) == MFT_SEPARATOR;
}

constexpr int kFlatSideBarLeft = -3; // the flat look's side bar reaches under the menu border

struct LookDrawer {
    DWORD dwStyle;
    void (*pfnSeparator)(const MenuItemDraw &item); // null: the system draws it
    void (*pfnText)(const MenuItemDraw &item);
};

constexpr LookDrawer kLooks[] = {
    {kMenuStyleFlat, DrawFlatSeparator, DrawFlatText},
    {kMenuStyleClassic, DrawClassicSeparator, DrawClassicText},
    {kMenuStyleGradient, DrawGradientSeparator, DrawGradientText},
    {kMenuStyleSystem, NULL, NULL},
};

const LookDrawer *LookOf(DWORD dwStyle) {
    for (const LookDrawer &look : kLooks) {
        if (look.dwStyle == dwStyle) {
            return &look;
        }
    }
    return NULL;
}

// The separator's side bar, painted by its callback into the clip box from barLeft to the item's right.
void PaintSideBar(const MenuItemDraw &item, int barLeft) {
    RECT rc;
    GetClipBox(item.hdc, &rc);
    rc.right = item.rcItem.right;
    rc.left = barLeft;
    item.pfnSideBar(item.hPopup, item.hdc, &rc);
}

void DrawItem(const LookDrawer &look, const MenuItemDraw &item) {
    if (!IsSeparator(item.fType)) {
        if (look.pfnText != NULL) {
            look.pfnText(item);
        }
    } else if (item.pfnSideBar != NULL) {
        PaintSideBar(item, look.dwStyle == kMenuStyleFlat ? kFlatSideBarLeft : item.rcItem.left);
    } else if (look.pfnSeparator != NULL) {
        look.pfnSeparator(item);
    }
}

MenuItemDraw ReadItem(const DRAWITEMSTRUCT *pdis) {
    MenuItemDraw item = {};
    item.hdc = pdis->hDC;
    item.hPopup = reinterpret_cast<HMENU>(pdis->hwndItem);
    item.rcItem = pdis->rcItem;
    MENUITEMINFOA mii = MenuItemInfo(MIIM_FTYPE | MIIM_DATA | MIIM_BITMAP | MIIM_STATE);
    GetMenuItemInfoA(item.hPopup, pdis->itemID, FALSE, &mii);
    item.fType = mii.fType;
    item.hbmpItem = mii.hbmpItem;
    if (IsSeparator(mii.fType)) {
        item.pfnSideBar = SideBarOf(mii.dwItemData);
    } else if (IsIcon(reinterpret_cast<HICON>(mii.dwItemData))) {
        item.hIcon = reinterpret_cast<HICON>(mii.dwItemData);
    }
    DWORD dwData = PopupMenuData(item.hPopup);
    item.colW = LOWORD(dwData);
    item.accelX = HIWORD(dwData);
    item.bDisabled = (pdis->itemState & ODS_GRAYED) != 0;
    item.bChecked = (pdis->itemState & ODS_CHECKED) != 0;
    item.bRadio = (mii.fType & MFT_RADIOCHECK) != 0;
    bool bSelected = (pdis->itemState & ODS_SELECTED) != 0;
    item.bSelShown = bSelected && (!item.bDisabled || g_byDisableSelect != 0);
    item.mode = item.bDisabled ? kModeDisabled : (item.bSelShown ? kModeSelected : kModeNormal);
    item.bDefault = (mii.fState & MFS_DEFAULT) != 0;
    item.bpp = NumColorBits();
    item.textLength = MenuItemText(item.hPopup, pdis->itemID, item.szText);
    return item;
}

} // namespace

int DrawSkinMenuItem(const DRAWITEMSTRUCT *pdis) {
    if (!IsMenu(g_hTopPopup) || pdis->CtlType != ODT_MENU) {
        return 0;
    }
    const LookDrawer *pLook = LookOf(g_dwMenuStyle);
    if (pLook == NULL) {
        return 0;
    }
    MenuItemDraw item = ReadItem(pdis);
    if (!IsTextItem(item.fType) && !IsSeparator(item.fType)) {
        return 1;
    }
    int saved = SaveDC(item.hdc);
    SetBkMode(item.hdc, TRANSPARENT);
    // Not every system selects the bold font for a default item before asking the owner to draw it.
    lk::ScopedFont hBold(item.bDefault ? CreateMenuFont(true) : NULL);
    lk::ScopedSelect boldInDc(item.hdc, hBold);
    SetTextColor(item.hdc, GetSysColor(item.bDisabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    DrawItem(*pLook, item);
    if (saved != 0) {
        RestoreDC(item.hdc, -1);
    }
    return 1;
}

RECT IconRect(const RECT &rc, int colW) {
    RECT r = {rc.left, rc.top, rc.left + colW, rc.bottom};
    return r;
}

RECT TextRect(const RECT &rc, int colW) {
    RECT r = rc;
    r.left += colW + kTextGap;
    return r;
}

void FillSysColour(HDC hdc, const RECT &rc, int index) {
    FillRect(hdc, &rc, GetSysColorBrush(index));
}

void PenBrushRectangle(HDC hdc, const RECT &rc, COLORREF pen, COLORREF brush) {
    lk::ScopedPen hPen(CreatePen(PS_SOLID, 1, pen));
    lk::ScopedBrush hBrush(CreateSolidBrush(brush));
    lk::ScopedSelect penInDc(hdc, hPen);
    lk::ScopedSelect brushInDc(hdc, hBrush);
    Rectangle(hdc, rc.left, rc.top, rc.right, rc.bottom);
}

RECT ShrinkTopBottom(const RECT &rc) {
    RECT r = rc;
    r.top += 1;
    r.bottom -= 1;
    return r;
}

RECT Inflated(const RECT &rc, int d) {
    RECT r = rc;
    InflateRect(&r, d, d);
    return r;
}

void DrawItemText(const MenuItemDraw &item, HDC hdc, const RECT &rc) {
    RECT rcText = TextRect(rc, item.colW);
    DrawMenuText(hdc, item.szText, item.textLength, &rcText, item.accelX);
}
