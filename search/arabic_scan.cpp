#include "search/arabic_scan.h"

#include "search/matchers.h"
#include "text/text_store.h"

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
