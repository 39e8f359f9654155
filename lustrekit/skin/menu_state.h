// Lustrekit internal skinned-menu state and the helpers shared by the menu procedure, measuring and drawing.
#pragma once

#include <windows.h>

#include "lustrekit.h"

constexpr DWORD kMenuStyleSystem = MENUSTYLE_SYSTEM;
constexpr DWORD kMenuStyleGradient = MENUSTYLE_GRADIENT;
constexpr DWORD kMenuStyleFlat = MENUSTYLE_FLAT;
constexpr DWORD kMenuStyleClassic = MENUSTYLE_CLASSIC;

constexpr int kMenuTextChars = 256; // longest item text read
constexpr int kSideBarDefaultWidth = 8;

// Process-wide, owned by the thread of the skinned windows' menu loops.
extern DWORD g_dwMenuStyle;        // the look, MENUSTYLE_*
extern BYTE g_byDisableSelect;     // non-zero: disabled items show the selection too
extern BYTE g_byOutsideMenuLoop;   // 0 inside a skinned window's menu loop
extern HMENU g_hTopPopup;          // first popup initialised in the current loop
extern HMENU g_hCurrentPopup;      // popup most recently initialised
extern HWND g_hMenuLoopWindow;     // skinned window whose menu loop is open
extern int g_nSideBarDefaultWidth; // pixels, for a side bar whose callback reports 0

// True for the three looks the library draws.
bool IsSkinnedLook(DWORD dwStyle);

// A side-bar callback in a separator's item data, or null when the data is not code the process can run.
SIDEBARPROC SideBarOf(ULONG_PTR data);

// MENUITEMINFOA with its size set and the mask given.
MENUITEMINFOA MenuItemInfo(UINT fMask);

// The item text by command into szText (kMenuTextChars + 1 bytes); its length, 0 when none.
int MenuItemText(HMENU hMenu, UINT id, char *szText);

// The popup's measuring record: low word largest item height, high word largest label width.
DWORD PopupMenuData(HMENU hMenu);
void SetPopupMenuData(HMENU hMenu, DWORD dwData);

// True when the handle is an icon GetIconInfo accepts.
bool IsIcon(HICON hIcon);

// IsShellType at or above which the NT 5 way of measuring is used (later generations, reported 0, too).
bool IsNtMenuGeneration();
