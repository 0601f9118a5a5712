// Folding UTF-8 text for the translation search in every language: letters to lower case by
// the Unicode case pairs of the scripts the translations use (Latin, Greek, Cyrillic), the
// Turkish dotted and dotless i the Turkish way when the language is Turkish, and, on request,
// accents removed from Latin letters (è to e, and combining marks dropped) except from the
// letters a language counts as letters of their own (Turkish ç ğ ı ö ş ü, Swedish å ä ö,
// Spanish ñ). Scripts without case (Bengali, Chinese, Arabic) pass unchanged.
#ifndef NORAVEL_SEARCH_UNICODE_FOLD_H
#define NORAVEL_SEARCH_UNICODE_FOLD_H

#include "text/translation_languages.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct FoldRules {
    LetterRules letters = LetterRules::Common;
    bool matchCase = false;
    bool ignoreAccents = true;
};

// Appends the folded form of `text` to `out`. With `unitAt`, one entry per byte appended: the
// UTF-16 offset in `text` of the character it came from (so that a match in the folded text
// can be marked in the text as shown). Bytes that are not UTF-8 become U+FFFD.
void foldText(std::string_view text, const FoldRules& rules, std::string& out,
              std::vector<uint32_t>* unitAt = nullptr);

// The code point folded alone (exposed for the word test and the tests).
char32_t foldCodePoint(char32_t c, const FoldRules& rules);

// True for the characters that make up words: letters, digits and combining marks of the
// scripts the translations use.
bool isWordCharacter(char32_t c);

// Decodes the UTF-8 character at text[pos] (U+FFFD for a bad one) and moves pos past it.
char32_t decodeUtf8(std::string_view text, size_t& pos);

#endif
