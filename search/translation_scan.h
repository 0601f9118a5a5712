// The translation search without its window: from a query and the translation texts to
// the list of hits, the text of a result line, and the ayah named by a result line.
#ifndef NORAVEL_SEARCH_TRANSLATION_SCAN_H
#define NORAVEL_SEARCH_TRANSLATION_SCAN_H

#include "search/matchers.h"
#include "search/search_query.h"

#include <cstddef>
#include <vector>

// Where the scan reads the texts: the text store in the program, made-up texts in tests.
class TranslationSource {
  public:
    virtual ~TranslationSource() = default;
    virtual int ayahCount(int surah) const = 0;
    virtual const char* translation(int surah, int ayah) const = 0;
};

// The text store's translation in the language loaded.
class StoreTranslations : public TranslationSource {
  public:
    int ayahCount(int surah) const override;
    const char* translation(int surah, int ayah) const override;
};

constexpr int kSearchedSurahs = 114;

struct SearchHit {
    int surah;
    int ayah;
    bool operator==(const SearchHit& other) const {
        return surah == other.surah && ayah == other.ayah;
    }
};

// Whether one text is a hit. Every word is tried with `matcher`; with allWords an empty
// word counts as found and the text is a hit when all three are found, otherwise an
// empty word counts as not found and one found word makes a hit.
bool isSearchHit(const SearchQuery& query, Matcher matcher, const char* text);

// Calls onHit(surah, ayah, text) for every hit in surah order, then ayah order, each ayah
// at most once: the stored surah alone when oneSurah is set, else surahs 1..114. Three
// empty words give no hits. Allocates nothing itself.
template <typename OnHit>
void forEachTranslationHit(const SearchQuery& query, const TranslationSource& source,
                           OnHit&& onHit) {
    if (!hasSearchWords(query)) return;
    const Matcher matcher = chooseMatcher(query.matchCase, query.wholeWord);
    const int first = query.oneSurah ? query.surah : 1;
    const int last = query.oneSurah ? query.surah : kSearchedSurahs;
    if (first < 1 || last > kSearchedSurahs) return;
    for (int surah = first; surah <= last; ++surah) {
        const int count = source.ayahCount(surah);
        for (int ayah = 1; ayah <= count; ++ayah) {
            const char* text = source.translation(surah, ayah);
            if (!text) text = "";
            if (isSearchHit(query, matcher, text)) onHit(surah, ayah, text);
        }
    }
}

// The same hits as a list.
std::vector<SearchHit> scanTranslations(const SearchQuery& query, const TranslationSource& source);

// A result line is "%i:%i %s" (surah, ayah, text) of at most 1023 characters; the rest
// of a longer text is cut off.
constexpr size_t kResultLineSize = 1024;
void formatResultLine(char (&line)[kResultLineSize], int surah, int ayah, const char* text);

// The count text of status bar part 1 after a search with `count` result lines:
// "Not Found", "Found 1 Item" or "Found %i items".
constexpr size_t kHitCountTextSize = 32;
void formatHitCount(char (&text)[kHitCountTextSize], int count);

// Reads surah and ayah from a line of the result list: the line is split into pieces at
// ':', blank, CR and LF (a run of them is one separator, leading ones are skipped); the
// leading digits of the first two pieces are the numbers (no digits give 0; numbers too
// large for any surah or ayah saturate at 99999). False when there is no second piece.
bool parseResultLine(const char* line, int* surah, int* ayah);

#endif
