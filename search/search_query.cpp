#include "search/search_query.h"

#include <cstdio>

void setSearchWord(SearchQuery& query, int index, const char* text) {
    if (index < 0 || index >= SearchQuery::kWords) return;
    std::snprintf(query.words[index], SearchQuery::kWordSize, "%s", text ? text : "");
}

void clearSearchWords(SearchQuery& query) {
    for (auto& word : query.words)
        word[0] = '\0';
}

bool hasSearchWords(const SearchQuery& query) {
    for (const auto& word : query.words)
        if (word[0] != '\0') return true;
    return false;
}
