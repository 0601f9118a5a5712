// The Arabic search without its windows: from a query in the Arabic byte code to the
// ayat whose Arabic text holds it.
#ifndef NORAVEL_SEARCH_ARABIC_SCAN_H
#define NORAVEL_SEARCH_ARABIC_SCAN_H

#include "search/translation_scan.h"

#include <cstddef>
#include <vector>

// Where the scan reads the texts: the text store in the program, made-up texts in tests.
class ArabicTextSource {
  public:
    virtual ~ArabicTextSource() = default;
    virtual int ayahCount(int surah) const = 0;
    virtual const char* arabic(int surah, int ayah) const = 0;
};

// The text store's Arabic text.
class StoreArabicTexts : public ArabicTextSource {
  public:
    int ayahCount(int surah) const override;
    const char* arabic(int surah, int ayah) const override;
};

// Every ayah of surahs 1..114 whose Arabic text holds `query`, in surah order, then
// ayah order, each ayah once however often it holds the query. With `wholeWord` an
// occurrence counts only where no ASCII letter or digit touches it (findWord), else any
// occurrence of the exact bytes counts (findText). An empty or null query gives no hits.
std::vector<SearchHit> scanArabicTexts(const char* query, bool wholeWord,
                                       const ArabicTextSource& source);

// One entry per byte of text, true for the bytes of every occurrence of query (as
// scanArabicTexts finds them, wholeWord alike). All false when there is none.
std::vector<bool> matchedArabicBytes(const char* text, const char* query, bool wholeWord);

#endif
