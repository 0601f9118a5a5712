// The Edit menu's clipboard copies and the hand-over of a text block to the clipboard with
// its failure reports.
#ifndef NORAVEL_APP_CLIPBOARD_WIN_H
#define NORAVEL_APP_CLIPBOARD_WIN_H

#include "base/prompts_win.h"
#include "text/ayah_ref.h"

#include <windows.h>

#include <cstddef>

// The window that owns the clipboard after a copy, and where its failures are told (none:
// they are not told).
struct ClipboardOwner {
    HWND window;
    Prompts* reportTo;
};

// Hands size bytes (the terminator counted) to the clipboard in format, in a movable
// shareable global block. When the clipboard refuses the block it is tried once more with a
// fresh copy. Each failure is told (owned by owner.window), always after the clipboard is
// closed again. True when the clipboard took a block.
bool putClipboardText(const ClipboardOwner& owner, UINT format, const void* bytes, size_t size);

// The copies of the Edit menu, from the main window's controls or the ayah shown.
void copyTranslation(HWND mainWindow, Prompts& prompts); // CF_TEXT, failures told
// The same with the chosen translation's text given (UTF-8) rather than read from the control.
void copyTranslationText(HWND mainWindow, Prompts& prompts, const char* utf8Text);
void copyResultList(HWND mainWindow);               // CF_TEXT, lines joined by CR LF
void copyArabicAyah(HWND mainWindow, AyahRef ayah); // CF_UNICODETEXT
void copyArabicSurah(HWND mainWindow, int surah);   // CF_UNICODETEXT, "(k)\r\n" after each ayah
// CF_DIB of the picture as the view shows it (above the splitter line).
void copyAyahPicture(HWND mainWindow, HBITMAP picture, int splitterLine);

#endif
