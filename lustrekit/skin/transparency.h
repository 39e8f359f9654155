// Lustrekit internal menu transparency: the operations the skinned-menu window procedure calls.
#pragma once

#include <windows.h>

// Operating-system generation of IsShellType at which layered windows exist.
constexpr int kShellLayered = 6;
// Windows XP, whose system-menu identifiers the skinned menus shift.
constexpr int kShellXp = 7;

// Current alpha for popup menu windows; 0 when menu transparency is off.
BYTE MenuAlpha();

// The top popup of a loop opened: saves and switches off menu fade and animation, installs the hook.
void BeginMenuTransparency();
// The top popup closed: puts the saved fade and animation settings back and removes the hook.
void EndMenuTransparency();
// Removes the hook; a transparency still open (its window is going away) gets its settings back first.
void RemoveMenuHook();
// Installs the hook when layered windows exist and none is installed.
void InstallMenuHook();
