// The query of the translation search: three words or phrases (UTF-8) and the options
// that combine them. The reader window keeps one (search/search_memory.h), so that the
// search dialog opens with the previous query; only OK in that dialog (and, for the two
// matching flags, the Arabic search) changes it.
#ifndef NORAVEL_SEARCH_SEARCH_QUERY_H
#define NORAVEL_SEARCH_SEARCH_QUERY_H

#include <cstddef>

struct SearchQuery {
    static constexpr int kWords = 3;
    static constexpr size_t kWordSize = 2048; // 2047 bytes and the NUL

    char words[kWords][kWordSize] = {};
    bool matchCase = false; // letters must match in case
    bool wholeWord = false; // a match must not be part of a longer word
    bool allWords = true;   // "dan": every non-empty word must occur; "atau": at least one
    bool oneSurah = false;  // search only `surah` instead of all 114
    bool ignoreAccents = true; // "prière" and "priere" match (not across a language's own letters)
    int surah = 1;          // 1..114, the surah searched when oneSurah is set
};

// Stores `text` (nullptr counts as "") as word `index` (0..2), cut to 2047 bytes.
// An index outside 0..2 changes nothing.
void setSearchWord(SearchQuery& query, int index, const char* text);
// Empties the three words; the options keep their values.
void clearSearchWords(SearchQuery& query);
// True when at least one of the three words is not empty.
bool hasSearchWords(const SearchQuery& query);

#endif
