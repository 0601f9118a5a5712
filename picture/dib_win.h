// Bitmap copies for the clipboard: a device-dependent bitmap turned into a packed
// device-independent bitmap (the form of CF_DIB), the size rules of a DIB's colour
// table, and the copy of the ayah picture as it stands unscrolled in the bitmap view.
#ifndef NORAVEL_PICTURE_DIB_WIN_H
#define NORAVEL_PICTURE_DIB_WIN_H

#include <windows.h>

// A packed DIB of the bitmap in a movable global block (unlocked, the caller's), or null.
// bitsPerPixel 0 takes the bitmap's own; a null palette takes the stock default one.
// The bitmap should not be selected into a device context meanwhile.
HGLOBAL bitmapToDib(HBITMAP bitmap, DWORD compression, WORD bitsPerPixel, HPALETTE palette);

// Entries and bytes of the colour table behind a BITMAPINFOHEADER, or behind a 12-byte
// BITMAPCOREHEADER (3-byte entries, no colours-used field). header must hold at least
// the structure its first field names.
WORD dibColourCount(const void* header);
WORD dibPaletteSize(const void* header);

// ANDs the picture onto dc, centred on area.right and 40 pixels below the top, as the
// unscrolled bitmap view shows it. Nothing without a picture.
void drawCurrentPicture(HDC dc, const RECT& area, HBITMAP picture);

// Puts the picture on the clipboard as CF_DIB: a bitmap as wide as the main window's
// client area and splitterLine - 26 high, in the main window's colours, filled with the
// window colour and the picture drawn as drawCurrentPicture draws it. The main window owns
// the clipboard afterwards.
void copyPictureToClipboard(HWND mainWindow, HBITMAP picture, int splitterLine);

#endif
