// What the searches remember from one dialog to the next for as long as the reader window
// lives: the translation search's query and the Arabic search's query and spelling choice.
#ifndef NORAVEL_SEARCH_SEARCH_MEMORY_H
#define NORAVEL_SEARCH_SEARCH_MEMORY_H

#include "search/search_query.h"

#include <cstddef>

// The Arabic query in the Arabic byte code, NUL-terminated.
constexpr std::size_t kArabicQuerySize = 10000;

struct SearchMemory {
    SearchQuery translation;
    // The last accepted Arabic query. Only OK in its dialog writes it; the dialog shows it
    // again each time it opens.
    char arabic[kArabicQuerySize] = "";
    // The dialog's "Ejaan persis" box as OK last left it: true for the exact search, which
    // compares the query letter for letter with resource 134; false (the default) for the
    // spelling-tolerant search over resource 139 (search/arabic_spelling.h).
    bool exactSpelling = false;
    // True while the result list holds the hits of the last Arabic search: an ayah opened
    // from it shows the letters the query matched.
    bool marksArabic = false;
};

#endif
