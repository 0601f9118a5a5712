// The Arabic search: dialog 138 "Find (Arab)" with an Arabic input field and an
// on-screen keyboard of 37 owner-drawn letter keys, and the search that lists every
// ayah whose Arabic text holds the query in the main window's result list.
#ifndef NORAVEL_SEARCH_ARABIC_SEARCH_WIN_H
#define NORAVEL_SEARCH_ARABIC_SEARCH_WIN_H

#include "base/program_context_win.h"
#include "search/search_memory.h"
#include "text/reader_view_win.h"

#include <windows.h>

#include <cstddef>

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

// What one open dialog works with: the instance, the memory it shows and changes on OK,
// and the keyboard font of the reader; and, while it is open, its input field and the
// key font fitted to it.
struct ArabicSearchDialog {
    HINSTANCE instance = nullptr;
    SearchMemory* memory = nullptr;
    HFONT keyboardFont = nullptr;
    HWND field = nullptr;
    HFONT fittedKeyFont = nullptr; // owned by the dialog while it is open
};

// Runs the dialog modally over the reader; true when it ended with OK (the query and the
// spelling choice in memory are then the dialog's).
bool showArabicSearch(const ProgramContext& context, ReaderView& reader, SearchMemory& memory);
// The dialog procedure; its parameter is an ArabicSearchDialog that outlives the dialog.
INT_PTR CALLBACK arabicSearchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The input field of an open dialog, else nullptr.
HWND arabicSearchField(HWND dialog);

// Lists every ayah whose Arabic text holds memory.arabic (exactly or in a tolerant
// spelling, as memory.exactSpelling says) in the reader's result list, with its
// translation, and writes the count into status bar part 1. The two flags (the reader's
// hidden check boxes) become the translation query's too. An empty query does nothing;
// nothing found is told in a "Not Found" box over the reader.
void runArabicSearch(const ProgramContext& context, ReaderView& reader, SearchMemory& memory,
                     bool matchCase, bool wholeWord);

// Marks in the reader's shown ayah the letters the last Arabic search matched (exactly or
// in the tolerant spelling, as it searched) while the result list holds its hits
// (memory.marksArabic); takes the marks off otherwise.
void markArabicSearch(ReaderView& reader, const SearchMemory& memory);

// Paints one letter key: a space and the face letters (NUL-terminated UTF-16) drawn
// right to left at the key's top right with font, and an etched border for a whole redraw
// or a raised one for a press, release or focus change. It paints no background of its
// own.
void drawLetterButton(const WCHAR* face, const DRAWITEMSTRUCT& item, HFONT font);

#endif
