#include "search/unicode_search.h"

namespace {

bool isApostrophe(char32_t c) {
    return c == '\'' || c == 0x2019;
}

// The code point that ends before byte `end` (0 at the start).
char32_t characterBefore(std::string_view text, size_t end, size_t* start = nullptr) {
    if (end == 0) return 0;
    size_t at = end - 1;
    while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80 && end - at < 4)
        --at;
    if (start) *start = at;
    size_t pos = at;
    return decodeUtf8(text, pos);
}

char32_t characterAt(std::string_view text, size_t at) {
    if (at >= text.size()) return 0;
    return decodeUtf8(text, at);
}

// A word character, or an apostrophe with a letter on either side.
bool joinsWordBefore(std::string_view text, size_t end) {
    size_t start = 0;
    const char32_t c = characterBefore(text, end, &start);
    if (isWordCharacter(c)) return true;
    return isApostrophe(c) && isWordCharacter(characterBefore(text, start));
}

bool joinsWordAfter(std::string_view text, size_t at) {
    const char32_t c = characterAt(text, at);
    if (isWordCharacter(c)) return true;
    if (!isApostrophe(c)) return false;
    size_t next = at;
    decodeUtf8(text, next);
    return isWordCharacter(characterAt(text, next));
}

bool anyWord(const std::string (&words)[SearchQuery::kWords]) {
    for (const std::string& word : words)
        if (!word.empty()) return true;
    return false;
}

} // namespace

void FoldedTranslation::build(const TranslationText& text, const FoldRules& rules) {
    folded_.clear();
    starts_.clear();
    for (uint32_t& first : firstAyah_)
        first = 0;
    for (int surah = 1; surah <= TranslationText::kSurahs; ++surah) {
        firstAyah_[surah] = static_cast<uint32_t>(starts_.size());
        for (int ayah = 1; ayah <= text.ayahCount(surah); ++ayah) {
            starts_.push_back(static_cast<uint32_t>(folded_.size()));
            foldText(text.ayah(surah, ayah), rules, folded_);
            folded_ += '\n';
        }
        firstAyah_[surah + 1] = static_cast<uint32_t>(starts_.size());
    }
    starts_.push_back(static_cast<uint32_t>(folded_.size()));
}

int FoldedTranslation::ayahCount(int surah) const {
    if (surah < 1 || surah > TranslationText::kSurahs) return 0;
    return static_cast<int>(firstAyah_[surah + 1] - firstAyah_[surah]);
}

std::string_view FoldedTranslation::ayah(int surah, int ayah) const {
    if (ayah < 1 || ayah > ayahCount(surah)) return {};
    const uint32_t index = firstAyah_[surah] + static_cast<uint32_t>(ayah) - 1;
    // Without the LF that follows the ayah.
    return std::string_view(folded_).substr(starts_[index],
                                            starts_[index + 1] - starts_[index] - 1);
}

size_t findFoldedWord(std::string_view text, std::string_view word, bool wholeWord) {
    if (word.empty()) return std::string_view::npos;
    for (size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
        if (!wholeWord) return at;
        if (!joinsWordBefore(text, at) && !joinsWordAfter(text, at + word.size())) return at;
    }
    return std::string_view::npos;
}

std::vector<SearchHit> searchFolded(const SearchQuery& query, const FoldedTranslation& folded,
                                    const FoldRules& rules, bool spacedWords) {
    std::vector<SearchHit> hits;
    std::string words[SearchQuery::kWords];
    for (int i = 0; i < SearchQuery::kWords; ++i)
        foldText(query.words[i], rules, words[i]);
    if (!anyWord(words)) return hits;
    const bool wholeWord = query.wholeWord && spacedWords;
    const int first = query.oneSurah ? query.surah : 1;
    const int last = query.oneSurah ? query.surah : TranslationText::kSurahs;
    if (first < 1 || last > TranslationText::kSurahs) return hits;
    for (int surah = first; surah <= last; ++surah) {
        const int count = folded.ayahCount(surah);
        for (int ayah = 1; ayah <= count; ++ayah) {
            const std::string_view text = folded.ayah(surah, ayah);
            int found = 0;
            for (const std::string& word : words) {
                if (word.empty()) {
                    found += query.allWords ? 1 : 0;
                    continue;
                }
                if (findFoldedWord(text, word, wholeWord) != std::string_view::npos)
                    ++found;
                else if (query.allWords)
                    break;
            }
            if (query.allWords ? found == SearchQuery::kWords : found > 0)
                hits.push_back({surah, ayah});
        }
    }
    return hits;
}

std::vector<std::pair<long, long>> searchMarks(std::string_view ayah, const SearchQuery& query,
                                               const FoldRules& rules, bool spacedWords) {
    std::vector<std::pair<long, long>> marks;
    std::string folded;
    std::vector<uint32_t> unitAt;
    foldText(ayah, rules, folded, &unitAt);
    // The UTF-16 length of the text, for a match that ends with it.
    uint32_t total = 0;
    for (size_t pos = 0; pos < ayah.size();)
        total += decodeUtf8(ayah, pos) >= 0x10000 ? 2 : 1;
    for (const auto& word : query.words) {
        std::string foldedWord;
        foldText(word, rules, foldedWord);
        const size_t at = findFoldedWord(folded, foldedWord, query.wholeWord && spacedWords);
        if (at == std::string::npos) continue;
        const size_t end = at + foldedWord.size();
        marks.push_back({static_cast<long>(unitAt[at]),
                         static_cast<long>(end < unitAt.size() ? unitAt[end] : total)});
    }
    return marks;
}
