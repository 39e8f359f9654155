// Lustrekit internal bitmap drawing shared by the icon and bitmap exports and the skinned controls.
#pragma once

#include <windows.h>

// Stretch copy of a source area onto a target area in which source pixels of the key colour leave the target
// unchanged (three stretch copies through a monochrome mask, no per-pixel work).
void DrawTransparentBitmap(HDC hdcTarget, int x, int y, int width, int height, HDC hdcSource, int sourceX, int sourceY,
                           int sourceWidth, int sourceHeight, COLORREF key);
