// Lustrekit internal state of skinned push buttons: the per-button record, the process-wide hover, menu and
// tooltip state, and the procedures the subclassing, tooltip and painting files share.
#pragma once

#include <windows.h>

#include "lustrekit.h"

// Per-button record behind the "CTRL_STRUCT" property (GlobalAlloc, fixed, zero-filled).
struct CTRL_STRUCT {
    BUTTON_SKIN skin; // the caller's record, copied
    DWORD type;       // GWL_STYLE & 0xF at skinning time; 0 for a plain push button
    DWORD checkState; // 1 while the emulated check mark is set, else 0
    DWORD savedStyle; // the native style before skinning, put back when unskinned
};

// Property names: the previous window procedure (button and parent) and the record (button).
extern const char g_szOldWndProcProp[];
extern const char g_szCtrlStructProp[];

// Process-wide state; all of it is touched only on the thread that owns the skinned windows.
extern HWND g_hwndHoverButton;      // the skinned button under the pointer, or NULL
extern HCURSOR g_hSavedClassCursor; // class cursor replaced while hovering, or NULL
extern HWND g_hwndMenuButton;       // button whose menu is open, kMenuClosedOverArrow, or NULL
extern HWND g_hwndTip;              // the tooltip window last created, or NULL once destroyed
extern UINT_PTR g_uTipTimer;        // identifier of the pending tooltip timer, 0 when none
extern TIMERPROC g_pfnTipTimerProc; // procedure of the pending tooltip timer
extern HINSTANCE g_hModuleInstance; // instance for the tooltip windows

// menuButton's value after a menu closed with the pointer over its button's arrow part.
#define kMenuClosedOverArrow (reinterpret_cast<HWND>(static_cast<INT_PTR>(1)))

// Timer number of the tooltip timers on the hovered button.
constexpr UINT_PTR kTipTimerId = 1;

// The button's record, or NULL when it is not skinned.
CTRL_STRUCT *GetCtrlStruct(HWND hwndButton);

// True when a change of hover changes the button's look (a hot icon, font, text colour, bitmap or BSK_FLAT).
bool HotLookDiffers(const CTRL_STRUCT *pCtrl);

// The window rectangle of a button (screen coordinates) and its arrow part, the rightmost BSK_ARROW_WIDTH pixels.
RECT ArrowPartOf(const RECT &rcWindow);

// Starts or cancels leave tracking of the button (TME_LEAVE or TME_CANCEL).
void TrackLeave(HWND hwndButton, DWORD dwFlags);

// Ends the hover of the hot button: class cursor back, no hot button, tracking and tooltip off.
void EndHover(HWND hwndButton);

// Hides and destroys the tooltip window and kills the pending tooltip timer of the button.
void HideTip(HWND hwndButton);

// Starts the 2-second wait of the hovered button's tooltip.
void StartTipWait(HWND hwndButton);

// Runs the pending tooltip timer's procedure for a WM_TIMER that reached the window procedure (sent, not
// dispatched through the timer).
void RunTipTimer(HWND hwndButton, UINT_PTR idEvent);

// Timer callbacks of the hovered button: show the tooltip after 2 s, hide it 8 s later.
void CALLBACK TipShowTimerProc(HWND hwnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);
void CALLBACK TipHideTimerProc(HWND hwnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);

// Window procedures of the skinned buttons and of their parents.
LRESULT CALLBACK SkinButtonProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SkinParentProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Region of every pixel of the bitmap that differs from its top-left pixel; NULL when there is none.
HRGN RegionFromBitmap(HBITMAP hBitmap);

// Paints one skinned button for the parent's WM_DRAWITEM, off screen, then in one copy.
void PaintSkinButton(const DRAWITEMSTRUCT *pDis, const CTRL_STRUCT *pCtrl);
