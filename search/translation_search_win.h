// The translation search in the reader window: dialog 107 ("Pencarian kata"), the filling
// of the result list (control 301) with one line per hit and the count in status bar
// part 1, and the opening of a chosen result line with its search words in bold.
// The scan itself is search/translation_scan.h; this layer only moves its results into
// the controls of the main window (process.mainWindow).
#ifndef NORAVEL_TRANSLATION_SEARCH_WIN_H
#define NORAVEL_TRANSLATION_SEARCH_WIN_H

#include <windows.h>

// Set only while the translation search adds one line to the result list: the list's
// selection notifications are ignored meanwhile.
extern bool addingResults;

// The dialog procedure of dialog 107: shows searchQuery, stores it on OK (result 1),
// stores nothing on Cancel, Esc or the close box (result 2).
INT_PTR CALLBACK searchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Command 302: runs dialog 107 modally with `owner`; unless it was cancelled, lists the hits.
void runTranslationSearch(HWND owner);

// The search after the dialog: with three empty words nothing changes; otherwise the
// result list is refilled with "%i:%i %s" lines and status bar part 1 shows the count
// ("Not Found" also as a message box owned by `owner`).
void listTranslationHits(HWND owner);

// The result list's LBN_SELCHANGE: opens the ayah of the selected line and marks the first
// occurrence of each non-empty search word in bold. A line that names no ayah of the
// loaded text (no second number, a surah outside 1..114, an ayah beyond its surah's count)
// does nothing.
void openSearchResult();

// How an empty search is reported. The reader shows the "Not Found" / "Info" box; tests
// put a recorder here. nullptr restores the box.
using NotFoundReporter = void (*)(HWND owner);
void setNotFoundReporter(NotFoundReporter reporter);

// While the result list fills, its redrawing is switched off (WM_SETREDRAW) and the list
// is repainted once at the end. Setting the environment variable
// NORAVEL_RESULT_LIST_REDRAW_EACH_LINE to 1 keeps redrawing on, so that the cost of a
// repaint per line can be measured; nothing else changes then.
bool resultListRedrawSwitchEnabled();

#endif
