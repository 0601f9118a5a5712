// The translation loader and the search's folding on any bytes: every text it hands out must
// lie inside the input, and folding and marking must stay within what they are given.
#include "search/unicode_search.h"
#include "text/translation_text.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    TranslationText text;
    text.load(bytes, size);
    size_t total = 0;
    for (int surah = 0; surah <= 115; ++surah) {
        for (int ayah = -1; ayah <= text.ayahCount(surah) + 1; ++ayah) {
            const std::string_view view = text.ayah(surah, ayah);
            if (!view.empty() && (view.data() < bytes || view.data() + view.size() > bytes + size))
                __builtin_trap();
            total += view.size();
        }
        total += text.surahMeaning(surah).size();
    }
    if (total > size) __builtin_trap();

    // The same bytes as a text to fold and as a search word.
    FoldRules rules;
    rules.letters = size > 0 && (data[0] & 1) ? LetterRules::Turkish : LetterRules::Common;
    rules.ignoreAccents = size > 1 && (data[1] & 1);
    std::string folded;
    std::vector<uint32_t> unitAt;
    foldText(std::string_view(bytes, size), rules, folded, &unitAt);
    if (unitAt.size() != folded.size()) __builtin_trap();
    SearchQuery query;
    const size_t half =
        size / 2 < SearchQuery::kWordSize - 1 ? size / 2 : SearchQuery::kWordSize - 1;
    std::memcpy(query.words[0], bytes, half);
    query.words[0][half] = '\0';
    query.wholeWord = true;
    searchMarks(std::string_view(bytes + half, size - half), query, rules, true);
    return 0;
}
