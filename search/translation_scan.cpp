#include "search/translation_scan.h"

#include "text/text_store.h"

#include <cstdio>

int StoreTranslations::ayahCount(int surah) const {
    return TextStore::ayahCount(surah);
}

const char* StoreTranslations::translation(int surah, int ayah) const {
    return TextStore::translation(surah, ayah);
}

bool isSearchHit(const SearchQuery& query, Matcher matcher, const char* text) {
    int found = 0;
    int counted = 0; // words that take part: with allWords an empty word counts as found
    for (const auto& word : query.words) {
        if (word[0] == '\0') {
            if (query.allWords) ++found;
            ++counted;
            continue;
        }
        // Every word is tried, also when the answer is already known.
        if (matcher(text, word) >= 0) ++found;
        ++counted;
    }
    return query.allWords ? found == counted : found > 0;
}

std::vector<SearchHit> scanTranslations(const SearchQuery& query, const TranslationSource& source) {
    std::vector<SearchHit> hits;
    forEachTranslationHit(query, source, [&hits](int surah, int ayah, const char*) {
        hits.push_back({surah, ayah});
    });
    return hits;
}

void formatResultLine(char (&line)[kResultLineSize], int surah, int ayah, const char* text) {
    std::snprintf(line, sizeof line, "%i:%i %s", surah, ayah, text ? text : "");
}

void formatHitCount(char (&text)[kHitCountTextSize], int count) {
    if (count <= 0)
        std::snprintf(text, sizeof text, "Not Found");
    else if (count == 1)
        std::snprintf(text, sizeof text, "Found 1 Item");
    else
        std::snprintf(text, sizeof text, "Found %i items", count);
}

namespace {

bool isSeparator(char c) {
    return c == ':' || c == ' ' || c == '\r' || c == '\n';
}

// Reads the leading digits of the piece at `p` and moves `p` past the whole piece.
int readPiece(const char*& p) {
    constexpr int kLargest = 99999;
    int value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p - '0');
        if (value > kLargest) value = kLargest;
        ++p;
    }
    while (*p != '\0' && !isSeparator(*p))
        ++p;
    return value;
}

void skipSeparators(const char*& p) {
    while (*p != '\0' && isSeparator(*p))
        ++p;
}

} // namespace

bool parseResultLine(const char* line, int* surah, int* ayah) {
    if (line == nullptr) return false;
    const char* p = line;
    skipSeparators(p);
    if (*p == '\0') return false;
    const int first = readPiece(p);
    skipSeparators(p);
    if (*p == '\0') return false;
    const int second = readPiece(p);
    if (surah) *surah = first;
    if (ayah) *ayah = second;
    return true;
}
