#include "search/unicode_search.h"

#include <cstring>

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
    refs_.clear();
    for (uint32_t& first : firstAyah_)
        first = 0;
    for (int surah = 1; surah <= TranslationText::kSurahs; ++surah) {
        firstAyah_[surah] = static_cast<uint32_t>(starts_.size());
        for (int ayah = 1; ayah <= text.ayahCount(surah); ++ayah) {
            starts_.push_back(static_cast<uint32_t>(folded_.size()));
            refs_.push_back({surah, ayah});
            foldText(text.ayah(surah, ayah), rules, folded_);
            folded_ += '\n';
        }
        firstAyah_[surah + 1] = static_cast<uint32_t>(starts_.size());
    }
    starts_.push_back(static_cast<uint32_t>(folded_.size()));
    for (uint32_t& count : byteCounts_)
        count = 0;
    for (const char c : folded_)
        ++byteCounts_[static_cast<unsigned char>(c)];
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

namespace {

// Finds a word by the byte of it that is rarest in the text: memchr skips to that byte
// (rare bytes are far apart), then the rest is compared. Cyrillic and Bengali words, whose
// characters share a few lead bytes, and Latin words, whose letters are all frequent, both
// find a byte that seldom occurs.
class BytePattern {
  public:
    BytePattern(std::string_view word, const FoldedTranslation& folded) : word_(word) {
        for (size_t i = 1; i < word.size(); ++i)
            if (folded.byteCount(static_cast<unsigned char>(word[i])) <
                folded.byteCount(static_cast<unsigned char>(word[rare_])))
                rare_ = i;
    }
    // The first occurrence at or after `from` that ends by `end`, or npos.
    size_t find(std::string_view text, size_t from, size_t end) const {
        const size_t length = word_.size();
        const char rare = word_[rare_];
        size_t at = from;
        while (at + length <= end) {
            const void* found = std::memchr(text.data() + at + rare_, rare, end - length + 1 - at);
            if (!found) return std::string_view::npos;
            const size_t candidate =
                static_cast<size_t>(static_cast<const char*>(found) - text.data()) - rare_;
            if (std::memcmp(text.data() + candidate, word_.data(), length) == 0) return candidate;
            at = candidate + 1;
        }
        return std::string_view::npos;
    }

  private:
    std::string_view word_;
    size_t rare_ = 0;
};

// Counts, for each ayah with index in [first, last), whether `word` occurs in it as the search
// accepts it: one byte scan over the whole folded text, which moves on to the next ayah once
// an ayah has its occurrence.
void markAyatWith(const FoldedTranslation& folded, const std::string& word, bool wholeWord,
                  size_t first, size_t last, std::vector<uint8_t>& found) {
    // The ayat are separated by LF: a word holding one would match across two of them.
    if (word.find('\n') != std::string::npos) return;
    const std::string_view all = folded.all();
    const BytePattern pattern(word, folded);
    size_t at = folded.start(first);
    const size_t end = folded.start(last);
    size_t ayah = first;
    while (at < end) {
        const size_t position = pattern.find(all, at, end);
        if (position == std::string_view::npos) return;
        while (ayah + 1 < last && folded.start(ayah + 1) <= position)
            ++ayah;
        const std::string_view text =
            all.substr(folded.start(ayah), folded.start(ayah + 1) - folded.start(ayah) - 1);
        const size_t inAyah = position - folded.start(ayah);
        const bool accepted = !wholeWord || (!joinsWordBefore(text, inAyah) &&
                                             !joinsWordAfter(text, inAyah + word.size()));
        if (accepted) {
            ++found[ayah - first];
            if (ayah + 1 >= last) return;
            at = folded.start(++ayah);
        } else {
            at = position + 1;
        }
    }
}

} // namespace

std::vector<SearchHit> searchFolded(const SearchQuery& query, const FoldedTranslation& folded,
                                    const FoldRules& rules, bool spacedWords) {
    std::vector<SearchHit> hits;
    std::string words[SearchQuery::kWords];
    for (int i = 0; i < SearchQuery::kWords; ++i)
        foldText(query.words[i], rules, words[i]);
    if (!anyWord(words)) return hits;
    const bool wholeWord = query.wholeWord && spacedWords;
    const int firstSurah = query.oneSurah ? query.surah : 1;
    const int lastSurah = query.oneSurah ? query.surah : TranslationText::kSurahs;
    if (firstSurah < 1 || lastSurah > TranslationText::kSurahs) return hits;
    const size_t first = folded.firstIndexOf(firstSurah);
    const size_t last = folded.firstIndexOf(lastSurah + 1);
    if (first >= last) return hits;
    // With "all words" an empty word counts as found in every ayah; otherwise it is never found.
    std::vector<uint8_t> found(last - first, 0);
    int needed = query.allWords ? 0 : 1;
    for (const std::string& word : words) {
        if (word.empty()) continue;
        if (query.allWords) ++needed;
        markAyatWith(folded, word, wholeWord, first, last, found);
    }
    for (size_t i = 0; i < found.size(); ++i)
        if (found[i] >= needed && found[i] > 0) hits.push_back(folded.ref(first + i));
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
