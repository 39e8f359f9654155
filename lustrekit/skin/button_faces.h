// Lustrekit internal face looks and line primitives of skinned button painting.
#pragma once

#include <windows.h>

// Face states of the looks; other states draw nothing.
constexpr int kStateNormal = 0;
constexpr int kStateHot = 1;
constexpr int kStatePressed = 2;
constexpr int kStateDisabled = 3;

// Gradient face with a three-line frame; the flat-highlight fill and frame; the plain system-colour fill and
// frame of 8 bits per pixel or less. The rectangle is left as it was found.
void PaintXpFace(HDC hdc, RECT *pRect, int state);
void PaintFlatHiliteFace(HDC hdc, RECT *pRect, int state);
void PaintLowColorFace(HDC hdc, RECT *pRect, int state);

// A solid rectangle through an opaque ExtTextOut (no brush), the background colour put back.
void FillStrip(HDC hdc, int left, int top, int right, int bottom, COLORREF colour);

// One-pixel 3D frame: top and left in crTopLeft, right and bottom in crBottomRight.
void Draw3dFrame(HDC hdc, const RECT *pRect, COLORREF crTopLeft, COLORREF crBottomRight);

// Every second pixel from the start while below start + length; returns the coordinate of the last pixel set.
int DrawDottedLine(HDC hdc, int x, int y, int length, BOOL bHorizontal, COLORREF colour);

// Marlett arrow glyph centred in the rectangle, pointing down or right, in the current text colour.
void DrawMarlettArrow(HDC hdc, const RECT *pRect, BOOL bDown);
