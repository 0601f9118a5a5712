#include "search/unicode_fold.h"

namespace {

// Base letters of U+00C0..U+017F with their accents removed (0: no plain base, kept).
const char kLatinBase[] = "AAAAAAACEEEEIIII"  // C0..CF (C6 Æ has no single base: kept below)
                          "DNOOOOO\0OUUUUYTs" // D0..DF (D7 × kept; DE Þ, DF ß kept)
                          "aaaaaaaceeeeiiii"  // E0..EF
                          "dnooooo\0ouuuuyty" // F0..FF (F7 ÷ kept; FE þ kept)
                          "AaAaAaCcCcCcCcDd"  // 100..10F
                          "DdEeEeEeEeEeGgGg"  // 110..11F
                          "GgGgHhHhIiIiIiIi"  // 120..12F
                          "IiJjJjKkkLlLlLlL"  // 130..13F (130 İ, 131 ı handled apart)
                          "lLlNnNnNnnNnOoOo"  // 140..14F
                          "OoOoRrRrRrSsSsSs"  // 150..15F (152/153 Œ œ kept below)
                          "SsTtTtTtUuUuUuUu"  // 160..16F
                          "UuUuWwYyYZzZzZzs"; // 170..17F

bool keptLetter(char32_t c) {
    return c == 0xC6 || c == 0xE6 || c == 0xD7 || c == 0xF7 || c == 0xDE || c == 0xFE ||
           c == 0xDF || c == 0x152 || c == 0x153 || c == 0x138 || c == 0x149 || c == 0x17F;
}

// Letters a language counts as its own: ignoring accents leaves them as they are.
bool ownLetter(char32_t lower, LetterRules rules) {
    switch (rules) {
    case LetterRules::Turkish:
        return lower == 0xE7 || lower == 0x11F || lower == 0x131 || lower == 0xF6 ||
               lower == 0x15F || lower == 0xFC;
    case LetterRules::Swedish: return lower == 0xE5 || lower == 0xE4 || lower == 0xF6;
    case LetterRules::Spanish: return lower == 0xF1;
    case LetterRules::Common: break;
    }
    return false;
}

char32_t toLower(char32_t c, LetterRules rules) {
    if (c >= 'A' && c <= 'Z') {
        if (c == 'I' && rules == LetterRules::Turkish) return 0x131; // I → ı
        return c + 32;
    }
    if (c < 0xC0) return c;
    if (c <= 0xDE) return c == 0xD7 ? c : c + 32;
    if (c == 0x130) return 'i'; // İ → i
    if (c >= 0x100 && c <= 0x137) return c | 1;
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32; // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 32;               // Cyrillic А..Я
    if (c >= 0x400 && c <= 0x40F) return c + 80;               // Ѐ..Џ
    return c;
}

bool isCombiningMark(char32_t c) {
    return (c >= 0x300 && c <= 0x36F);
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

char32_t decodeUtf8(std::string_view text, size_t& pos) {
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    const size_t extra = lead >= 0xC2 && lead < 0xE0   ? 1
                         : lead >= 0xE0 && lead < 0xF0 ? 2
                         : lead >= 0xF0 && lead < 0xF5 ? 3
                                                       : 0;
    if (extra == 0 || text.size() - pos <= extra) {
        ++pos;
        return 0xFFFD;
    }
    char32_t c = lead & (0x3F >> extra);
    for (size_t i = 1; i <= extra; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        c = (c << 6) | (next & 0x3F);
    }
    pos += extra + 1;
    const bool overlong = (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
    if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
    return c;
}

char32_t foldCodePoint(char32_t c, const FoldRules& rules) {
    char32_t folded = c;
    if (!rules.matchCase) folded = toLower(folded, rules.letters);
    if (!rules.ignoreAccents) return folded;
    if (folded == 0x451) return 0x435; // ё → е
    if (folded == 0x401) return 0x415; // Ё → Е
    if (folded >= 0xC0 && folded <= 0x17F && !keptLetter(folded) &&
        !ownLetter(rules.matchCase ? toLower(folded, rules.letters) : folded, rules.letters)) {
        // Dotted and dotless i are two letters in Turkish, one letter elsewhere.
        if (folded == 0x130 || folded == 0x131) {
            if (rules.letters == LetterRules::Turkish) return folded;
            return folded == 0x130 ? 'I' : 'i';
        }
        const char base = kLatinBase[folded - 0xC0];
        if (base != '\0') return static_cast<unsigned char>(base);
    }
    return folded;
}

bool isWordCharacter(char32_t c) {
    if (c < 0x80) return (c >= '0' && c <= '9') || ((c | 32) >= 'a' && (c | 32) <= 'z');
    if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c <= 0x24F) return c != 0xD7 && c != 0xF7;
    if (c >= 0x300 && c <= 0x36F) return true;                     // combining marks
    if (c >= 0x370 && c <= 0x3FF) return c != 0x37E && c != 0x387; // Greek
    if (c >= 0x400 && c <= 0x52F) return c != 0x482;               // Cyrillic
    if (c >= 0x610 && c <= 0x61A) return true;                     // Arabic marks
    if (c >= 0x620 && c <= 0x669) return true;                     // Arabic letters, marks, digits
    if (c >= 0x66E && c <= 0x6D3) return true;
    if (c >= 0x6D5 && c <= 0x6FF) return c != 0x6DD && c != 0x6DE && c != 0x6E9;
    if (c >= 0x980 && c <= 0x9FF) return true;   // Bengali
    if (c >= 0x1E00 && c <= 0x1EFF) return true; // Latin Extended Additional
    if (c >= 0x4E00 && c <= 0x9FFF) return true; // CJK ideographs
    return false;
}

void foldText(std::string_view text, const FoldRules& rules, std::string& out,
              std::vector<uint32_t>* unitAt) {
    size_t pos = 0;
    uint32_t unit = 0;
    while (pos < text.size()) {
        const char32_t c = decodeUtf8(text, pos);
        const uint32_t units = c >= 0x10000 ? 2 : 1;
        if (rules.ignoreAccents && isCombiningMark(c)) {
            unit += units;
            continue;
        }
        const size_t before = out.size();
        const char32_t folded = foldCodePoint(c, rules);
        if (folded < 0x80)
            out += static_cast<char>(folded);
        else
            appendUtf8(out, folded);
        if (unitAt) unitAt->insert(unitAt->end(), out.size() - before, unit);
        unit += units;
    }
}
