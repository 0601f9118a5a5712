// The four matchers are one position-by-position scan, parameterised by how two bytes
// agree and by whether the occurrence must stand as a whole word.
#include "search/matchers.h"

#include <climits>
#include <cstring>

namespace {

bool isAsciiLetter(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// Two bytes agree when equal, or, ignoring case, when both are ASCII letters 32 apart.
// Letters 32 apart are always the same letter in the two cases, so folding A-Z to a-z
// gives the same answer; every byte outside A-Z folds to itself.
unsigned char foldCase(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 32) : byte;
}

struct ExactBytes {
    static bool agree(unsigned char a, unsigned char b) { return a == b; }
};
struct EitherCase {
    static bool agree(unsigned char a, unsigned char b) { return foldCase(a) == foldCase(b); }
};

template <typename Agreement, bool wholeWord> int find(const char* text, const char* pattern) {
    if (text == nullptr) text = "";
    if (pattern == nullptr) pattern = "";
    const auto* t = reinterpret_cast<const unsigned char*>(text);
    const auto* p = reinterpret_cast<const unsigned char*>(pattern);
    const size_t n = std::strlen(text);
    const size_t m = std::strlen(pattern);
    if (n < m) return -1;
    for (size_t i = 0; i <= n - m; ++i) {
        size_t k = 0;
        while (k < m && Agreement::agree(t[i + k], p[k]))
            ++k;
        if (k < m) continue;
        // t[i + m] is at most the terminating NUL, which is not a word byte.
        if (wholeWord && ((i > 0 && isWordByte(t[i - 1])) || isWordByte(t[i + m]))) continue;
        // Offsets are returned as int; a text beyond INT_MAX bytes has no offset to give.
        return i <= static_cast<size_t>(INT_MAX) ? static_cast<int>(i) : -1;
    }
    return -1;
}

} // namespace

bool isWordByte(unsigned char byte) {
    return isAsciiLetter(byte) || (byte >= '0' && byte <= '9');
}

int findText(const char* text, const char* pattern) {
    return find<ExactBytes, false>(text, pattern);
}
int findWord(const char* text, const char* pattern) {
    return find<ExactBytes, true>(text, pattern);
}
int findTextNoCase(const char* text, const char* pattern) {
    return find<EitherCase, false>(text, pattern);
}
int findWordNoCase(const char* text, const char* pattern) {
    return find<EitherCase, true>(text, pattern);
}

Matcher chooseMatcher(bool matchCase, bool wholeWord) {
    if (matchCase) return wholeWord ? findWord : findText;
    return wholeWord ? findWordNoCase : findTextNoCase;
}
