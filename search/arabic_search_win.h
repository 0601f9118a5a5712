// The Arabic search: dialog 138 "Find (Arab)" with an Arabic input field and an
// on-screen keyboard of 37 owner-drawn letter keys, and the search that lists every
// ayah whose Arabic text holds the query in the main window's result list.
#ifndef NORAVEL_ARABIC_SEARCH_WIN_H
#define NORAVEL_ARABIC_SEARCH_WIN_H

#include <windows.h>

#include <cstddef>

// The last accepted query in the Arabic byte code, NUL-terminated. Only OK in the dialog
// writes it; the dialog shows it again each time it opens.
constexpr std::size_t kArabicQuerySize = 10000;
extern char arabicQuery[kArabicQuerySize];
// The dialog's "Ejaan persis" box as OK last left it: true for the exact search, which
// compares the query letter for letter with resource 134; false (the default) for the
// spelling-tolerant search over resource 139 (search/arabic_spelling.h).
extern bool arabicExactSpelling;

// One letter key of the on-screen keyboard: its control id, the character it sends to
// the input field as WM_CHAR, and the bytes the field inserts for it with Shift up,
// which are also the letters drawn on its face.
struct ArabicLetterKey {
    int id;
    char sent;
    unsigned char bytes[2];
    int byteCount;
};
constexpr int kArabicLetterKeys = 37;
extern const ArabicLetterKey arabicLetterKeys[kArabicLetterKeys];
// The key with this control id, or nullptr.
const ArabicLetterKey* findArabicLetterKey(int id);

// Runs the dialog modally over `owner` and, when it ends with OK, runs the search.
void showArabicSearch(HWND owner);
INT_PTR CALLBACK arabicSearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The dialog's input field while the dialog is open, else nullptr.
HWND arabicSearchField();

// Lists every ayah whose Arabic text holds arabicQuery (exactly or in a tolerant
// spelling, as arabicExactSpelling says) in the main window's result list, with its translation,
// and writes the count into status bar part 1. An empty query does nothing. `owner` owns the "Not
// Found" message box.
void runArabicSearch(HWND owner);

// Tells the user that nothing was found: a "Not Found" / "Info" message box. Tests pass
// their own reporter so that nothing waits for a click.
// nullptr restores the box.
using ArabicNotFoundReporter = void (*)(HWND owner);
void setArabicNotFoundReporter(ArabicNotFoundReporter reporter);

// Paints one letter key: a space and the face letters (NUL-terminated UTF-16) drawn
// right to left at the key's top right with the keyboard font, and an etched border
// for a whole redraw or a raised one for a press, release or focus change. It paints
// no background of its own.
void drawLetterButton(const WCHAR* face, const DRAWITEMSTRUCT& item);

#endif
