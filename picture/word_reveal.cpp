#include "picture/word_reveal.h"

int runsWordCount(const AyahRuns& runs) {
    int count = 0;
    for (const RunLine& line : runs.lines)
        for (const RunGlyph& glyph : line.glyphs)
            if (glyph.word != kNoWord && glyph.word + 1 > count) count = glyph.word + 1;
    return count;
}

bool glyphRevealed(std::uint8_t word, int shownWords, int wordCount) {
    if (shownWords < 0) return true;
    if (word == kNoWord) return shownWords >= wordCount;
    return word < shownWords;
}

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

} // namespace

std::size_t revealedTextBytes(std::string_view text, int shownWords, int steps) {
    if (shownWords < 0 || steps < 1 || shownWords >= steps) return text.size();
    if (shownWords == 0) return 0;
    std::size_t words = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!isSpace(text[i]) && (i == 0 || isSpace(text[i - 1]))) ++words;
    // ceil(shownWords x words / steps), in 64 bits: a text has far fewer than 2^31 words.
    const unsigned long long wanted =
        (static_cast<unsigned long long>(shownWords) * words + static_cast<unsigned>(steps) - 1) /
        static_cast<unsigned>(steps);
    unsigned long long seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isSpace(text[i])) continue;
        if (i == 0 || isSpace(text[i - 1])) ++seen;
        if (seen == wanted && (i + 1 == text.size() || isSpace(text[i + 1]))) return i + 1;
    }
    return text.size();
}

void WordReveal::hide(int steps) {
    steps_ = steps < 1 ? 1 : steps;
    shown_ = 0;
}

bool WordReveal::revealNext() {
    if (!pending()) return false;
    if (++shown_ >= steps_) shown_ = kAllWordsShown;
    return true;
}

bool WordReveal::revealAll() {
    if (!pending()) return false;
    shown_ = kAllWordsShown;
    return true;
}
