#include "search/arabic_scan.h"

#include "search/matchers.h"
#include "text/text_store.h"

#include <cstring>

int StoreArabicTexts::ayahCount(int surah) const {
    return TextStore::ayahCount(surah);
}

const char* StoreArabicTexts::arabic(int surah, int ayah) const {
    return TextStore::arabic(surah, ayah);
}

std::vector<SearchHit> scanArabicTexts(const char* query, bool wholeWord,
                                       const ArabicTextSource& source) {
    std::vector<SearchHit> hits;
    if (!query || query[0] == '\0') return hits;
    // Both matchers compare bytes exactly: letter case does not enter the choice.
    const Matcher matcher = wholeWord ? findWord : findText;
    for (int surah = 1; surah <= TextStore::kSurahs; ++surah) {
        const int count = source.ayahCount(surah);
        for (int ayah = 1; ayah <= count; ++ayah) {
            const char* text = source.arabic(surah, ayah);
            if (text && matcher(text, query) >= 0) hits.push_back({surah, ayah});
        }
    }
    return hits;
}

std::vector<bool> matchedArabicBytes(const char* text, const char* query, bool wholeWord) {
    const std::size_t length = text ? std::strlen(text) : 0;
    std::vector<bool> matched(length, false);
    const std::size_t queryLength = query ? std::strlen(query) : 0;
    if (queryLength == 0) return matched;
    const Matcher matcher = wholeWord ? findWord : findText;
    for (std::size_t from = 0; from + queryLength <= length;) {
        const int found = matcher(text + from, query);
        if (found < 0) break;
        const std::size_t at = from + static_cast<std::size_t>(found);
        // The matcher sees the text from `from` on: a word byte just before is checked here.
        if (!wholeWord || at == 0 || !isWordByte(static_cast<unsigned char>(text[at - 1])))
            for (std::size_t b = at; b < at + queryLength; ++b)
                matched[b] = true;
        from = at + 1;
    }
    return matched;
}
