// Measuring and drawing UTF-16 Arabic text through Uniscribe: contextual letter forms,
// lam-alif ligatures and right-to-left order come from the system's shaping engine.
#ifndef NORAVEL_ARABIC_ARABIC_DRAW_WIN_H
#define NORAVEL_ARABIC_ARABIC_DRAW_WIN_H

#include <windows.h>

// The advance width in pixels of the first `length` units of `text`, shaped with the
// font selected into `dc`. 0 for an empty string and when shaping fails. Longer texts
// are measured in pieces of at most kArabicMeasurePiece units (cut after a space where
// one lies in the piece, so that no word is split) and the widths are added.
constexpr int kArabicMeasurePiece = 1000;
int measureArabicText(HDC dc, const WCHAR* text, int length);

// Draws `text` (up to its first NUL unit) right to left with the font selected into
// `dc`: its right end on the rectangle's right edge, its top at y 0 of the device
// context, clipped to the rectangle with its left edge taken as 0, transparent, in the
// device context's text colour. An empty text draws nothing. Leaves the device context
// with background mode TRANSPARENT and text alignment TA_RIGHT.
void drawArabicText(HDC dc, const WCHAR* text, const RECT& rectangle);

#endif
