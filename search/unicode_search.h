// The translation search over the UTF-8 translations: every ayah of a language folded once
// (search/unicode_fold.h) into one text, in which each search word, folded the same way, is
// looked for with a byte search; "whole word" checks the characters either side by Unicode
// letters, digits and marks (an apostrophe between two letters belongs to the word, as in
// "O'nun"). Languages written without spaces (Chinese) search substrings only.
#ifndef NORAVEL_SEARCH_UNICODE_SEARCH_H
#define NORAVEL_SEARCH_UNICODE_SEARCH_H

#include "search/search_query.h"
#include "search/translation_scan.h"
#include "search/unicode_fold.h"
#include "text/translation_text.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class FoldedTranslation {
  public:
    // Folds every ayah of `text` with `rules`; the text must outlive this object only while
    // build runs (the folded copy is this object's own).
    void build(const TranslationText& text, const FoldRules& rules);
    int ayahCount(int surah) const;
    std::string_view ayah(int surah, int ayah) const;
    // The whole folded text, the ayat separated by LF (what a plain byte scan reads).
    const std::string& all() const { return folded_; }
    // Ayat by their index in reading order (0 is 1:1): where each starts in all() (the last
    // entry is the end), which ayah it is, and the first index of a surah.
    size_t ayatCount() const { return refs_.size(); }
    uint32_t start(size_t index) const { return starts_[index]; }
    SearchHit ref(size_t index) const { return refs_[index]; }
    uint32_t firstIndexOf(int surah) const { return firstAyah_[surah]; }
    // How often a byte occurs in all() (the search looks for a word by its rarest byte).
    uint32_t byteCount(unsigned char byte) const { return byteCounts_[byte]; }

  private:
    std::string folded_;
    std::vector<uint32_t> starts_; // per ayah in order, then the end
    std::vector<SearchHit> refs_;
    uint32_t firstAyah_[TranslationText::kSurahs + 2] = {};
    uint32_t byteCounts_[256] = {};
};

// The byte offset of the first accepted occurrence of `word` (folded) in `text` (folded),
// or npos. An empty word is never found.
size_t findFoldedWord(std::string_view text, std::string_view word, bool wholeWord);

// The hits of `query` in surah order, then ayah order. wholeWord is taken from the query
// unless the language is written without spaces.
std::vector<SearchHit> searchFolded(const SearchQuery& query, const FoldedTranslation& folded,
                                    const FoldRules& rules, bool spacedWords);

// The UTF-16 ranges [start, end) of the first occurrence of each non-empty word in one ayah
// (UTF-8) as the translation area shows it: what the search marks in bold.
std::vector<std::pair<long, long>> searchMarks(std::string_view ayah, const SearchQuery& query,
                                               const FoldRules& rules, bool spacedWords);

#endif
