// The Edit menu's clipboard copies, the hand-over of a text block to the clipboard with its
// failure reports, and the About box.
#ifndef NORAVEL_CLIPBOARD_WIN_H
#define NORAVEL_CLIPBOARD_WIN_H

#include <windows.h>

#include <cstddef>

// Shows a message to the user: owner, text and caption of a message box with an OK button.
// The program shows real message boxes; tests install their own reporter so that nothing
// waits for a click.
using MessageReporter = void (*)(HWND owner, const char* text, const char* caption);
void showMessageBox(HWND owner, const char* text, const char* caption);
// Installs the reporter of the clipboard failures and of the About box (nullptr restores
// the message box) and returns the one it replaces.
MessageReporter setMessageReporter(MessageReporter reporter);

// Hands size bytes (the terminator counted) to the clipboard in format, in a movable
// shareable global block. When the clipboard refuses the block it is tried once more with a
// fresh copy. The main window owns the clipboard afterwards. With reportFailures each
// failure is reported to the user (the main window owns the box), always after the
// clipboard is closed again. True when the clipboard took a block.
bool putClipboardText(UINT format, const void* bytes, size_t size, bool reportFailures);

// The copies of the Edit menu; each reads the main window's controls.
void copyTranslation(HWND mainWindow); // CF_TEXT, failures reported
void copyResultList(HWND mainWindow);  // CF_TEXT, lines joined by CR LF
void copyArabicAyah(HWND mainWindow);  // CF_UNICODETEXT
void copyArabicSurah(HWND mainWindow); // CF_UNICODETEXT, "(k)\r\n" after each ayah
void copyAyahPicture(HWND mainWindow); // CF_DIB of the picture as the view shows it

// The About box: the program's name, years and version, contact address and home page.
void showAbout(HWND mainWindow);
// Its four lines, separated by line feeds, into text (at most size - 1 characters).
void formatAboutText(char* text, size_t size);

#endif
