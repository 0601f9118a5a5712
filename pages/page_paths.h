// Where the browser pages beside the program are, and the URL that shows one of them.
// Every formatter writes into a caller's buffer of a given size and reports whether the
// whole text fitted; a text that does not fit is not used (the buffer then holds "").
// Paths are UTF-8; the program turns them into UTF-16 for the system's calls.
#ifndef NORAVEL_PAGES_PAGE_PATHS_H
#define NORAVEL_PAGES_PAGE_PATHS_H

#include <cstddef>

// The commentary pages hold ten ayat each: ayat 1..10 are in page 10, 11..20 in 20.
constexpr int commentaryPageNumber(int ayah) {
    return ((ayah - 1) / 10 + 1) * 10;
}

// "<directory>\html\qs<surah>\<page>.html#<ayah>".
bool formatCommentaryPath(char* out, size_t size, const char* directory, int surah, int ayah);

// "<directory>\help.htm".
bool formatHelpPath(char* out, size_t size, const char* directory);

// A "file:///" URL for a Windows path in UTF-8 that may end in "#anchor": backslashes
// become slashes, and every byte outside the unreserved set (and outside ":" and "/") is
// percent-encoded, so blanks and names in any script survive as percent-encoded UTF-8;
// the anchor is kept.
bool formatFileUrl(char* out, size_t size, const char* path);

#endif
