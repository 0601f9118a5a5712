// Conversions from the Unicode scripture data (UTF-8) to the single-byte texts the
// reader carries: plain ASCII for translations and surah names, the reader's Arabic
// byte code (code page 1256 letter values, no marks) for the Arabic text.
// Everything that cannot be converted raises NormaliseError naming the character as
// U+XXXX; the generator adds the surah and ayah and stops.
#ifndef NORAVEL_TOOLS_TEXT_NORMALISE_H
#define NORAVEL_TOOLS_TEXT_NORMALISE_H

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace textres {

struct NormaliseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline std::string codePointName(uint32_t cp) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
    return buf;
}

// Reads the code point starting at text[pos] and advances pos past it.
// Malformed, overlong and surrogate sequences are rejected.
inline uint32_t nextCodePoint(const std::string& text, size_t& pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(pos);
    int extra = 0;
    uint32_t cp = 0;
    uint32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        throw NormaliseError("malformed UTF-8 (byte " + std::to_string(lead) + ")");
    }
    if (pos + extra >= text.size()) throw NormaliseError("truncated UTF-8 sequence");
    for (int i = 1; i <= extra; ++i) {
        const unsigned b = byte(pos + i);
        if ((b & 0xC0) != 0x80) throw NormaliseError("malformed UTF-8 sequence");
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        throw NormaliseError("malformed UTF-8 sequence");
    pos += extra + 1;
    return cp;
}

// ---- Latin text -------------------------------------------------------------

// Base letters of U+00C0..U+017F and U+1E00..U+1EFF ('?' = no single ASCII letter).
inline char latinBaseLetter(uint32_t cp) {
    static const char latin1AndExtA[] =
        "AAAAAA?CEEEEIIII?NOOOOO?OUUUUY??aaaaaa?ceeeeiiii?nooooo?ouuuuy?y"
        "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi??JjKkkLlLlLlL"
        "lLlNnNnNnnNnOoOoOo??RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
    static const char latinExtAdditional[] =
        "AaBbBbBbCcDdDdDdDdDdEeEeEeEeEeFfGgHhHhHhHhHhIiIiKkKkKkLlLlLlLlMm"
        "MmMmNnNnNnNnOoOoOoOoPpPpRrRrRrRrSsSsSsSsSsTtTtTtTtUuUuUuUuUuVvVv"
        "WwWwWwWwWwXxXxYyZzZzZzhtwy??????AaAaAaAaAaAaAaAaAaAaAaAaEeEeEeEe"
        "EeEeEeEeIiIiOoOoOoOoOoOoOoOoOoOoOoOoUuUuUuUuUuUuUuYyYyYyYy??????";
    if (cp >= 0xC0 && cp < 0x180) return latin1AndExtA[cp - 0xC0];
    if (cp >= 0x1E00 && cp < 0x1F00) return latinExtAdditional[cp - 0x1E00];
    return '?';
}

// Appends the ASCII form of one code point (possibly nothing); false if it has none.
inline bool appendAscii(uint32_t cp, std::string& out) {
    if (cp >= 0x20 && cp < 0x7F) {
        out += static_cast<char>(cp);
        return true;
    }
    const char* text = nullptr;
    switch (cp) {
    case 0x09:
    case 0x0A:
    case 0x0D:
    case 0xA0:
    case 0x202F:
    case 0x3000: text = " "; break;
    case 0xAD:
    case 0x200B:
    case 0xFEFF:
        text = "";
        break; // soft hyphen, zero width, BOM
    // Superscript digits only ever mark footnotes in the translations.
    case 0xB2:
    case 0xB3:
    case 0xB9:
    case 0x2070: text = ""; break;
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201B:
    case 0x2032:
    case 0xB4:
    case 0x2BB:
    case 0x2BC:
    case 0x2BE:
    case 0x2BF: text = "'"; break;
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x201F:
    case 0x2033:
    case 0xAB:
    case 0xBB: text = "\""; break;
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x2212: text = "-"; break;
    case 0x2026: text = "..."; break;
    case 0xDF: text = "ss"; break;
    case 0xC6: text = "AE"; break;
    case 0xE6: text = "ae"; break;
    case 0x152: text = "OE"; break;
    case 0x153: text = "oe"; break;
    default: break;
    }
    if (!text && cp >= 0x2000 && cp <= 0x200A) text = " ";
    if (!text && cp >= 0x2074 && cp <= 0x2079) text = "";
    if (text) {
        out += text;
        return true;
    }
    const char letter = latinBaseLetter(cp);
    if (letter == '?') return false;
    out += letter;
    return true;
}

// Folds UTF-8 text to ASCII 32..126 code point by code point.
inline std::string foldToAscii(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const uint32_t cp = nextCodePoint(utf8, pos);
        if (!appendAscii(cp, out))
            throw NormaliseError("cannot map " + codePointName(cp) + " to ASCII");
    }
    return out;
}

// Turns every run of blanks into one blank and drops blanks at either end.
inline std::string collapseBlanks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

inline bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
inline bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Removes footnote markers: a run of digits closed by ")" that is not opened by "("
// ("menginfakkan6)", "Iblis.16)", "Ibrahim 45)"). Where a marker stood between a word
// and the next one ("Sabtu468)hanya"), a blank keeps the words apart.
inline std::string removeFootnoteMarkers(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        if (isAsciiDigit(text[i]) && (i == 0 || !isAsciiDigit(text[i - 1]))) {
            size_t j = i;
            while (j < n && isAsciiDigit(text[j]))
                ++j;
            if (j < n && text[j] == ')' && (i == 0 || text[i - 1] != '(')) {
                const size_t next = j + 1;
                if (!out.empty() && out.back() != ' ' && next < n &&
                    (isAsciiLetter(text[next]) || isAsciiDigit(text[next])))
                    out += ' ';
                i = next;
                continue;
            }
            out.append(text, i, j - i);
            i = j;
            continue;
        }
        out += text[i++];
    }
    return out;
}

// A translation text: ASCII 32..126, no footnote markers, single blanks, not empty.
inline std::string normaliseTranslation(const std::string& utf8) {
    std::string text = collapseBlanks(removeFootnoteMarkers(foldToAscii(utf8)));
    if (text.empty()) throw NormaliseError("empty translation");
    return text;
}

// A surah name: the transliteration with "-" read as a blank; letters, blanks and
// apostrophes only.
inline std::string normaliseSurahName(const std::string& utf8) {
    std::string name = foldToAscii(utf8);
    for (char& c : name)
        if (c == '-') c = ' ';
    name = collapseBlanks(name);
    if (name.empty()) throw NormaliseError("empty surah name");
    for (char c : name)
        if (!isAsciiLetter(c) && c != ' ' && c != '\'')
            throw NormaliseError(std::string("surah name holds '") + c + "'");
    return name;
}

// ---- Arabic text ------------------------------------------------------------

inline bool isArabicLetterByte(unsigned char b) {
    return (b >= 0xC1 && b <= 0xD6) || (b >= 0xD8 && b <= 0xDB) || (b >= 0xDD && b <= 0xDF) ||
           b == 0xE1 || (b >= 0xE3 && b <= 0xE6) || b == 0xEC || b == 0xED;
}

// The byte of an Arabic letter, 0 for a character that is dropped, -1 for one the
// byte code cannot carry. atWordEnd decides the ambiguous Farsi yeh.
inline int arabicByteFor(uint32_t cp, bool atWordEnd) {
    if (cp >= 0x0621 && cp <= 0x0636) return static_cast<int>(cp - 0x560); // HAMZA..DAD
    if (cp >= 0x0637 && cp <= 0x063A) return static_cast<int>(cp - 0x55F); // TAH..GHAIN
    if (cp >= 0x0641 && cp <= 0x0643) return static_cast<int>(cp - 0x564); // FEH..KAF
    if (cp == 0x0644) return 0xE1;                                         // LAM
    if (cp >= 0x0645 && cp <= 0x0648) return static_cast<int>(cp - 0x562); // MEEM..WAW
    if (cp == 0x0649) return 0xEC;                                         // ALEF MAKSURA
    if (cp == 0x064A) return 0xED;                                         // YEH
    switch (cp) {
    case 0x0671: return 0xC7;                    // ALEF WASLA is written as ALEF
    case 0x06A9: return 0xDF;                    // KEHEH as KAF
    case 0x06C1: return 0xE5;                    // HEH GOAL as HEH
    case 0x06CC: return atWordEnd ? 0xEC : 0xED; // FARSI YEH: dotless at the end
    case 0x0640: return 0;                       // TATWEEL
    case 0x0670: return 0;                       // SUPERSCRIPT ALEF
    default: break;
    }
    if (cp >= 0x064B && cp <= 0x065F) return 0; // harakat, tanwin, shadda, sukun, maddah, hamza
    if (cp >= 0x06D6 && cp <= 0x06ED) return 0; // Quranic small letters, pause and section signs
    return -1;
}

// True when no letter follows pos before the next blank or the end of the text.
inline bool atArabicWordEnd(const std::string& utf8, size_t pos) {
    while (pos < utf8.size()) {
        const int b = arabicByteFor(nextCodePoint(utf8, pos), false);
        if (b != 0) return b < 0;
    }
    return true;
}

// Reduces Uthmani text to letters of the byte code and single blanks between words.
// A sign that stands between blanks as a word of its own goes with its blank. With
// letters, also the index of the code point of the text each byte comes from (-1 for a
// blank), so that a place in the byte code can be found in the Uthmani text.
inline std::string arabicToByteCode(const std::string& utf8, std::vector<int>* letters = nullptr) {
    std::string out;
    out.reserve(utf8.size() / 2);
    std::vector<int> from;
    int index = -1;
    for (size_t pos = 0; pos < utf8.size();) {
        uint32_t cp = nextCodePoint(utf8, pos);
        ++index;
        if (cp == 0x2009) {
            // A thin space before a mark or a tatweel sits inside a word (2:72 has one
            // before a superscript alef) and is part of its writing; elsewhere it
            // separates words like a blank.
            size_t next = pos;
            const bool insideWord =
                next < utf8.size() && arabicByteFor(nextCodePoint(utf8, next), false) == 0;
            if (insideWord) continue;
            cp = ' ';
        }
        if (cp == ' ') {
            if (!out.empty() && out.back() != ' ') {
                out += ' ';
                from.push_back(-1);
            }
            continue;
        }
        const int b = arabicByteFor(cp, cp == 0x06CC && atArabicWordEnd(utf8, pos));
        if (b < 0)
            throw NormaliseError("cannot map " + codePointName(cp) + " to the Arabic byte code");
        if (b > 0) {
            out += static_cast<char>(b);
            from.push_back(index);
        }
    }
    if (!out.empty() && out.back() == ' ') {
        out.pop_back();
        from.pop_back();
    }
    if (out.empty()) throw NormaliseError("empty Arabic text");
    if (letters) *letters = std::move(from);
    return out;
}

} // namespace textres

#endif
