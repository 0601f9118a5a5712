// The translation search in the reader window: dialog 107 ("Pencarian kata"), the filling
// of the reader's result list (control 301) with one line per hit and the count in status
// bar part 1, and the opening of a chosen result line with its search words in bold.
// The scan itself is search/translation_scan.h; this layer only moves its results into
// the reader through its ReaderView.
#ifndef NORAVEL_SEARCH_TRANSLATION_SEARCH_WIN_H
#define NORAVEL_SEARCH_TRANSLATION_SEARCH_WIN_H

#include "base/program_context_win.h"
#include "search/search_query.h"
#include "text/reader_view_win.h"

#include <windows.h>

// The dialog procedure of dialog 107 (its parameter: the SearchQuery to show and change):
// shows the query, stores it on OK (result 1), stores nothing on Cancel, Esc or the close
// box (result 2). The words are UTF-16 in the dialog and UTF-8 in the query.
INT_PTR CALLBACK searchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Command 302: runs dialog 107 modally over the reader; unless it was cancelled, lists the
// hits.
void runTranslationSearch(const ProgramContext& context, ReaderView& reader, SearchQuery& query);

// The search after the dialog: with three empty words nothing changes; otherwise the
// result list is refilled with "%i:%i %s" lines and status bar part 1 shows the count
// ("Not Found" also as a box over the reader).
void listTranslationHits(const ProgramContext& context, ReaderView& reader,
                         const SearchQuery& query);

// The result list's LBN_SELCHANGE: opens the ayah of the selected line and marks the first
// occurrence of each non-empty search word in bold. A line that names no ayah of the
// loaded text (no second number, a surah outside 1..114, an ayah beyond its surah's count)
// does nothing, and so does a selection made while the list is being filled.
void openSearchResult(ReaderView& reader, const SearchQuery& query);

// While the result list fills, its redrawing is switched off (WM_SETREDRAW) and the list
// is repainted once at the end. Setting the environment variable
// NORAVEL_RESULT_LIST_REDRAW_EACH_LINE to 1 keeps redrawing on, so that the cost of a
// repaint per line can be measured; nothing else changes then.
bool resultListRedrawSwitchEnabled();

#endif
