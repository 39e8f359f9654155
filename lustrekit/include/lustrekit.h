/* Lustrekit.dll public interface: colour arithmetic, fills, icon drawing, skinned buttons (stdcall exports). */
#ifndef LUSTREKIT_H
#define LUSTREKIT_H

#include <windows.h>

#ifdef LUSTREKIT_BUILDING
#define LUSTREKIT_API
#else
#define LUSTREKIT_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Colour arithmetic. Colours are COLORREF 0x00BBGGRR with a zero high byte. ---- */

/* Each channel moved toward white by amount/255 (amount 0..255; note: amount first). */
LUSTREKIT_API COLORREF WINAPI LightenColor(int amount, COLORREF colour);
/* Each channel moved toward black by amount/255 (amount 0..255; note: amount first). */
LUSTREKIT_API COLORREF WINAPI DarkenColor(int amount, COLORREF colour);
/* 86 % of a plus 14 % of b, per channel. */
LUSTREKIT_API COLORREF WINAPI MixedColor(COLORREF a, COLORREF b);
/* 70 % of a plus 30 % of b, per channel, each channel held at 255. */
LUSTREKIT_API COLORREF WINAPI MidColor(COLORREF a, COLORREF b);
/* Selection colour of the XP-like looks: 70 % window colour, 30 % highlight (the window colour at <= 8 bpp). */
LUSTREKIT_API COLORREF WINAPI GetXpHighlightColor(void);
/* Gray level 0..255 of a colour (a number, not a colour). */
LUSTREKIT_API int WINAPI GrayColor(COLORREF colour);
/* Bits per pixel of the screen; 8 when it cannot be read. */
LUSTREKIT_API int WINAPI NumColorBits(void);

/* ---- Gradient fills and fill bitmaps. ---- */

/* Pattern codes of CreateFillBmp; any other code gives a bitmap of palette entry 0 (the shadow colour). */
#define FILLBMP_NOISE 1    /* random noise around the middle of the palette */
#define FILLBMP_CUSHION 2  /* cubic shading both ways: light upper left, dark lower right */
#define FILLBMP_HCUBIC 3   /* cubic shading across: light left, dark right */
#define FILLBMP_VCUBIC 4   /* cubic shading down: light top, dark bottom */
#define FILLBMP_VLINEAR 5  /* linear ramp: dark bottom to light top */
#define FILLBMP_HLINEAR 6  /* linear ramp: light left to dark right */
#define FILLBMP_DIAGONAL 7 /* linear ramp: light upper left to dark lower right */
#define FILLBMP_CAPSULE 8  /* pattern 4, stronger, with rounded shaded ends */
#define FILLBMP_STROKES 9  /* 200 random diagonal strokes over a diagonal ramp */

/* Two-colour linear gradient through msimg32's GradientFill. Only the low byte of vertical counts: non-zero
   fills top to bottom, zero left to right. Returns 0. */
LUSTREKIT_API int WINAPI Gradient_Fill(HDC hdc, const RECT *rect, COLORREF colour1, COLORREF colour2, DWORD vertical);
/* The same gradient with the library's own renderer. Returns non-zero when drawn; 0, drawing nothing, when the
   rectangle is empty or inverted or the off-screen bitmap cannot be made. */
LUSTREKIT_API BOOL WINAPI DrawGradient(HDC hdc, const RECT *rect, COLORREF colour1, COLORREF colour2, DWORD vertical);
/* Makes an 8-bit textured bitmap of the rectangle's size (its position is ignored) with a palette built from
   the 3D system colours, tinted toward tintColour by the low byte of tintPercent (0..100); depth 0..127 is the
   noise strength and the margin kept from both palette ends. When the low byte of hotPercent is not 0, a second
   bitmap with a palette that much nearer the highlight colour goes to *hotBitmapOut, else null. The caller owns
   and deletes both. Both handles are null (and FALSE is returned) for an empty or inverted rectangle, a
   FILLBMP_CAPSULE below 2 pixels high, FILLBMP_STROKES wider or higher than 32,767 pixels, a depth above
   16,383, or when memory or the bitmap cannot be had. Every call with noise advances the library's
   pseudo-random sequence. */
LUSTREKIT_API BOOL WINAPI CreateFillBmp(int pattern, const RECT *rect, int depth, int hotPercent, int tintPercent,
                                        COLORREF tintColour, HBITMAP *bitmapOut, HBITMAP *hotBitmapOut);

/* ---- Icon and bitmap drawing. ---- */

/* Looks of DrawIcnRect (only the two lowest bits count; 3 is drawn as normal). */
#define ICNLOOK_NORMAL 0
#define ICNLOOK_DISABLED 1
#define ICNLOOK_RAISED 2

/* Draws an icon centred in the rectangle: normal, disabled (a gray silhouette, or an embossed one when the low
   byte of embossed is non-zero) or raised (a gray shadow below right, the icon above left; leaves hdc's
   background colour white). Returns non-zero; 0 when the icon cannot be read. */
LUSTREKIT_API BOOL WINAPI DrawIcnRect(HDC hdc, const RECT *rect, HICON icon, int look, DWORD embossed);
/* A copy of the icon with its opaque pixels lightened by 64/255; amount is not used. The caller destroys it. */
LUSTREKIT_API HICON WINAPI Icon_CopyAsBlend(HDC hdc, HICON icon, int amount);
/* Draws a bitmap at the rectangle: unscaled from its top-left corner, or, when transparent is non-zero, stretched
   to the rectangle with the colour of its top-left pixel left out. Returns non-zero when drawn. */
LUSTREKIT_API BOOL WINAPI DrawDDB(HDC hdc, const RECT *rect, HBITMAP bitmap, DWORD transparent);

/* ---- Skinned push buttons. ---- */

/* Look and behaviour flags of BUTTON_SKIN.dwFlags. */
#define BSK_BORDER 0x00000001         /* 3D border (sunken when pressed or checked); icon and text shrink by 2 */
#define BSK_FLAT 0x00000002           /* the border only while hot; hovering repaints */
#define BSK_FOCUSRECT 0x00000004      /* dotted focus frame; icon and text shrink by 2 more */
#define BSK_PARENTBKGND 0x00000008    /* background is the parent's erased background */
#define BSK_TRANSPARENTBMP 0x00000010 /* face bitmaps keyed on their top-left pixel; window shape from hBmpNormal */
#define BSK_BALLOONTIP 0x00000020     /* the tooltip is a balloon */
#define BSK_ICONLEFT 0x00000040       /* icon left, text shifted right (also the default) */
#define BSK_ICONRIGHT 0x00000080      /* icon right, text shifted left */
#define BSK_ICONTOP 0x00000100        /* icon above, text in the lower half */
#define BSK_MENUBELOW 0x00000200      /* drop-down menu below the button's left edge; down arrow */
#define BSK_MENUBELOWARROW 0x00000400 /* drop-down menu below the arrow part; down arrow */
#define BSK_MENURIGHT 0x00000800      /* drop-down menu right of the button at its top; right arrow */
#define BSK_XPSTYLE 0x20000000        /* gradient face */
#define BSK_FLATHILITE 0x40000000     /* flat highlighted face */
#define BSK_THINBORDER 0x80000000     /* BSK_BORDER as a 1-pixel 3D frame instead of the system edge */

/* Width of the drop-down arrow part at the right edge of a button with a menu, in pixels. */
#define BSK_ARROW_WIDTH 20

/* What a skinned button looks like. Every field may be 0 (not set); handles and texts stay the caller's and must
   outlive the skin. The record is copied, so one can serve many buttons. 64 bytes on Win32. */
typedef struct BUTTON_SKIN {
    HICON hIcon;            /* normal icon; drawn in the disabled look when disabled */
    HICON hIconHot;         /* hot and pressed icon; falls back to hIcon */
    HBITMAP hBmpNormal;     /* face bitmap, normal state; shape source of BSK_TRANSPARENTBMP */
    HBITMAP hBmpHot;        /* face bitmap, hot state */
    HBITMAP hBmpPressed;    /* face bitmap, pressed or checked state */
    HBITMAP hBmpDisabled;   /* face bitmap, disabled state */
    COLORREF crTextHot;     /* text colour while hot */
    COLORREF crTextPressed; /* text colour while pressed or checked */
    COLORREF crText;        /* text colour otherwise; unset means COLOR_BTNTEXT (so pure black cannot be asked) */
    HFONT hFont;            /* font, normal and disabled */
    HFONT hFontHot;         /* font, hot and pressed */
    HCURSOR hCursor;        /* cursor while the pointer is over the button */
    const void *pSound;     /* RIFF WAVE image in memory, played when the pointer enters */
    HMENU hMenu;            /* drop-down menu: adds the arrow part */
    LPCSTR pszTip;          /* tooltip text, shown after 2 s of hovering */
    DWORD dwFlags;          /* BSK_ flags */
} BUTTON_SKIN;

/* Skins a button (push button, check box or radio button) with a copy of *skin, or with a null skin turns the
   look off and gives a check box or radio button its emulated check state back. Skinning an already skinned
   button replaces its look and keeps its original style and check state. Returns 0 when button is not a window,
   else 1. The look shows at the next paint. */
LUSTREKIT_API BOOL WINAPI RedrawButton(HWND button, const BUTTON_SKIN *skin);

/* ---- Window transparency (layered windows exist from IsShellType 6 on). ---- */

/* Operating-system generation: 1 NT 3.51, 3 95/NT 4.0, 4 98, 5 Me, 6 2000, 7 XP, 8 Server 2003, 0 any other. */
LUSTREKIT_API int WINAPI IsShellType(void);
/* Makes the window and all its descendants layered with the low byte of alpha (0 clear to 255 opaque). Returns 0,
   or the generation (0..5) when it lacks layered windows and nothing was changed. */
LUSTREKIT_API int WINAPI SetWindowTransparent(HWND hwnd, DWORD alpha);
/* Alpha (low byte) of the popup menus of skinned windows opened from now on; 0 opaque. Returns the previous one. */
LUSTREKIT_API int WINAPI SetTransparentMenu(DWORD alpha);

/* ---- Skinned menus. ---- */

struct _IMAGELIST; /* as commctrl.h declares it */
typedef struct _IMAGELIST *HIMAGELIST;

/* Looks of SetStyleMenu; any other value leaves the menus as they are and undrawn by the library. */
#define MENUSTYLE_SYSTEM 0x00000000   /* the system draws the items; only side bars are the library's */
#define MENUSTYLE_GRADIENT 0x20000000 /* gradient background and selection */
#define MENUSTYLE_FLAT 0x40000000     /* XP-like flat highlight with a framed selection */
#define MENUSTYLE_CLASSIC 0x80000000  /* classic 3D look (the initial one) */

/* Side bar of a popup: with dc and rect null returns its width in pixels (0 for the default of 8); otherwise
   paints it into rect of dc. */
typedef LONG(CALLBACK *SIDEBARPROC)(HMENU menu, HDC dc, RECT *rect);

/* Sets the look of popups opened from now on; returns the previous look. */
LUSTREKIT_API DWORD WINAPI SetStyleMenu(DWORD style);
/* The current look. */
LUSTREKIT_API DWORD WINAPI GetStyleMenu(void);
/* Low byte non-zero: a disabled item under the cursor shows the selection; 0: it keeps its background. Returns
   the previous value. */
LUSTREKIT_API int WINAPI SetDisableSelect(DWORD enable);
/* Skins the window's menus (once per window) and gives it its own system menu. 0 when hwnd is not a window. */
LUSTREKIT_API BOOL WINAPI RedrawWindowMenu(HWND hwnd);
/* Gives the item with command id an icon (still owned by the caller). Result of SetMenuItemInfoA. */
LUSTREKIT_API BOOL WINAPI SetMenuItemIcon(HMENU menu, UINT id, HICON icon);
/* For count pairs (command id, image index) the image list's icon, in order; the new icons are the caller's. */
LUSTREKIT_API int WINAPI SetMenuIcon(HMENU menu, HIMAGELIST images, int count, const DWORD *pairs);
/* Puts a side bar painted by callback in a column of its own left of the menu; a non-zero low byte of barBreak
   draws a line between the columns. 0 when menu is not a menu. */
LUSTREKIT_API BOOL WINAPI AddLeftBorder(HMENU menu, SIDEBARPROC callback, DWORD barBreak);
/* Removes the side bar again; 0 when the menu has none or is not a menu. */
LUSTREKIT_API BOOL WINAPI RemoveLeftBorder(HMENU menu);

/* ---- Skinned windows (RedrawButton, BUTTON_SKIN and the BSK_ flags) come with the skin part of the library. ---- */
/* typedef struct BUTTON_SKIN { ... } BUTTON_SKIN;                                                            */
/* #define BSK_BORDER 0x00000001 ...                                                                             */

#ifdef __cplusplus
}
#endif

#endif /* LUSTREKIT_H */
