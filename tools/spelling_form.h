// The common spelling form of an ayah for the tolerant Arabic search (resource 139),
// made from the Uthmani Unicode text. The letters are those of the byte code
// (text_normalise.h), folded as a query is folded (search/arabic_spelling.h); what the
// Uthmani script writes differently from standard spelling is marked optional:
//  - a dagger alef is an optional alef (ٱلۡكِتَٰبُ holds الكتاب and الكتب);
//  - a waw or alef maqsura carrying a dagger alef (and no vowel of its own) inside a
//    word is a choice of that letter or alef (ٱلصَّلَوٰةَ holds الصلاة and الصلوة, not الصلة); at a
//    word's end alef maqsura with dagger alef is just the alef maqsura (عَلَىٰ is على);
//  - the small waw, small ya and small high ya and noon are optional letters;
//  - alef with hamza and madda above (ٱلۡأٓخِرَةِ) is followed by an optional alef, as
//    the alef madda of standard spelling (الآخرة) folds to hamza + alef;
//  - a hamza sign above or below a letter makes a choice of the letter (as resource 134
//    has it, without the sign) or the letter with hamza (أ إ ؤ ئ); on a tatweel or on no
//    letter it is an optional bare hamza, which agrees with every seat. So whatever
//    the exact search finds in resource 134, the tolerant search finds too;
//  - a vocative ya or ha written together with the next word (يَـٰٓأَيُّهَا) keeps an
//    optional blank after its alef, so that يا أيها and يأيها both match;
//  - after the preposition li- the article's alef and its merged lam are optional
//    (لِلَّهِ holds الله, لِّلنَّاسِ holds الناس); the article's lam merged with a
//    word's first lam is written again as an optional lam (ٱلَّيۡلِ holds الليل).
// The prefixes و and ف may stand before the vocative and li-; و ف ب ك before the
// article.
#ifndef NORAVEL_TOOLS_SPELLING_FORM_H
#define NORAVEL_TOOLS_SPELLING_FORM_H

#include "search/arabic_spelling.h"
#include "tools/text_normalise.h"

#include <string>
#include <vector>

namespace textres {

// One letter of a word with the signs written on it. `base` is 0 for signs written
// where no letter precedes them in the word.
struct SpellingCluster {
    uint32_t base = 0;
    std::vector<uint32_t> signs;
    int at = 0; // the code point index in the word of the base (or of the first sign)
    bool has(uint32_t sign) const {
        for (uint32_t s : signs)
            if (s == sign) return true;
        return false;
    }
};

inline bool isSpellingSign(uint32_t cp) {
    return (cp >= 0x064B && cp <= 0x065F) || cp == 0x0670 ||
           (cp >= 0x06D6 && cp <= 0x06ED && cp != 0x06E5 && cp != 0x06E6);
}

// Splits one word (no blanks) into letters and their signs. Tatweel, small waw and
// small ya count as letters; a thin space and pause or section signs are left out.
inline std::vector<SpellingCluster> spellingClusters(const std::string& word) {
    std::vector<SpellingCluster> clusters;
    int index = -1;
    for (size_t pos = 0; pos < word.size();) {
        const uint32_t cp = nextCodePoint(word, pos);
        ++index;
        if (cp == 0x2009 || cp == 0x06DE || cp == 0x06E9) continue;
        if (isSpellingSign(cp)) {
            if (clusters.empty()) {
                clusters.emplace_back();
                clusters.back().at = index;
            }
            clusters.back().signs.push_back(cp);
            continue;
        }
        if (cp != 0x0640 && cp != 0x06E5 && cp != 0x06E6 && arabicByteFor(cp, false) <= 0)
            throw NormaliseError("cannot map " + codePointName(cp) + " to the spelling form");
        SpellingCluster cluster;
        cluster.base = cp;
        cluster.at = index;
        clusters.push_back(cluster);
    }
    return clusters;
}

inline void appendOptional(unsigned char byte, std::string& out) {
    out += static_cast<char>(kSpellingOptional);
    out += static_cast<char>(byte);
}

inline void appendEither(unsigned char first, unsigned char second, std::string& out) {
    out += static_cast<char>(kSpellingEither);
    out += static_cast<char>(first);
    out += static_cast<char>(second);
}

inline bool hasDaggerAlef(const SpellingCluster& c) {
    return c.has(0x0670);
}

// The common form of one word. With letters, the code point index (from the word's first,
// plus first) of the letter each byte of the form comes from is appended for every byte.
inline std::string spellingFormOfWord(const std::string& word, std::vector<int>* letters = nullptr,
                                      int first = 0) {
    const std::vector<SpellingCluster> c = spellingClusters(word);
    const size_t n = c.size();
    // The last cluster with a letter of its own (not a tatweel or bare signs).
    size_t lastLetter = n;
    for (size_t i = 0; i < n; ++i)
        if (c[i].base != 0 && c[i].base != 0x0640) lastLetter = i;
    const auto baseAt = [&](size_t i) { return i < n ? c[i].base : 0; };

    // Where the word proper starts after the conjunctions و and ف.
    const size_t start = n > 2 && (c[0].base == 0x0648 || c[0].base == 0x0641) ? 1 : 0;
    // The article: ٱ after at most two of و ف ب ك.
    size_t article = n;
    for (size_t i = 0; i < n && i <= 2; ++i) {
        if (c[i].base == 0x0671) {
            article = i;
            break;
        }
        if (c[i].base != 0x0648 && c[i].base != 0x0641 && c[i].base != 0x0628 &&
            c[i].base != 0x0643)
            break;
    }
    const bool vocativeYa =
        n > start + 2 && baseAt(start) == 0x064A &&
        (hasDaggerAlef(c[start]) || (baseAt(start + 1) == 0x0640 && hasDaggerAlef(c[start + 1])));
    // ha- before أنتم and the like.
    const bool vocativeHa = n > start + 2 && baseAt(start) == 0x0647 &&
                            baseAt(start + 1) == 0x0640 && hasDaggerAlef(c[start + 1]) &&
                            baseAt(start + 2) == 0x0623;
    const size_t vocativeAlef =
        vocativeYa || vocativeHa ? (hasDaggerAlef(c[start]) ? start : start + 1) : n;
    const bool liArticle = n > start + 2 && baseAt(start) == 0x0644 && baseAt(start + 1) == 0x0644;

    // A waw or alef maqsura with a dagger alef and no fatha of its own inside the word
    // stands for the alef (ٱلصَّلَوٰةَ); with a fatha it is a letter of its own followed
    // by the alef (ٱلسَّمَٰوَٰتِ).
    const auto carrierOfAlef = [&](const SpellingCluster& k, size_t i) {
        return (k.base == 0x0648 || k.base == 0x0649) && hasDaggerAlef(k) && !k.has(0x064E) &&
               i != lastLetter;
    };
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        const SpellingCluster& k = c[i];
        const size_t formBefore = out.size();
        const bool dagger = hasDaggerAlef(k);
        const bool hamza = k.has(0x0654) || k.has(0x0655);
        switch (k.base) {
        case 0:
        case 0x0640: break;
        case 0x06E5: appendOptional(0xE6, out); break;
        case 0x06E6: appendOptional(0xED, out); break;
        case 0x0627:
            if (hamza)
                appendEither(kSpellingAlef, k.has(0x0655) ? 0xC5 : 0xC3, out);
            else
                out += static_cast<char>(kSpellingAlef);
            break;
        case 0x0648:
        case 0x0649:
        case 0x064A:
            if (hamza)
                appendEither(k.base == 0x0648 ? 0xE6 : 0xED, k.base == 0x0648 ? 0xC4 : 0xC6, out);
            else if (carrierOfAlef(k, i))
                appendEither(k.base == 0x0648 ? 0xE6 : 0xED, kSpellingAlef, out);
            else
                appendFoldedByte(k.base == 0x0648 ? 0xE6 : 0xED, out);
            break;
        default:
            appendFoldedByte(static_cast<unsigned char>(arabicByteFor(k.base, false)), out);
            break;
        }
        const bool carrier =
            k.base == 0x0627 || k.base == 0x0648 || k.base == 0x0649 || k.base == 0x064A;
        if (hamza && !carrier) appendOptional(kSpellingHamza, out);
        // The dagger alef on a waw or ya that carries it is already in their choice.
        const bool daggerTaken =
            !hamza && (carrierOfAlef(k, i) || (k.base == 0x0649 && i == lastLetter));
        if (dagger && !daggerTaken) appendOptional(kSpellingAlef, out);
        // ٱلۡأٓخِرَة: the madda on the hamza is the alef of الآخرة.
        if (k.base == 0x0623 && k.has(0x0653)) appendOptional(kSpellingAlef, out);
        if (i == vocativeAlef) appendOptional(' ', out);
        if (k.has(0x06E7)) appendOptional(0xED, out);
        if (k.has(0x06E8)) appendOptional(0xE4, out);
        if (liArticle && i == start) {
            appendOptional(kSpellingAlef, out);
            appendOptional(0xE1, out);
        }
        if (article < n && i == article + 1 && k.base == 0x0644 && k.has(0x0651))
            appendOptional(0xE1, out);
        // Whatever this letter added to the form comes from it.
        if (letters) letters->resize(letters->size() + (out.size() - formBefore), first + k.at);
    }
    return out;
}

// The common form of an ayah: the forms of its words between single blanks. Words of
// signs only leave no trace. With letters, also the code point index of the text's letter
// each byte of the form comes from (-1 for a blank between words).
inline std::string spellingForm(const std::string& utf8, std::vector<int>* letters = nullptr) {
    std::string out;
    std::string word;
    std::vector<int> from;
    std::vector<int> wordLetters;
    int index = 0;     // code points before the current one
    int wordStart = 0; // of the word being gathered
    const auto flush = [&] {
        wordLetters.clear();
        const std::string form = spellingFormOfWord(word, &wordLetters, wordStart);
        word.clear();
        if (form.empty()) return;
        if (!out.empty()) {
            out += ' ';
            from.push_back(-1);
        }
        out += form;
        from.insert(from.end(), wordLetters.begin(), wordLetters.end());
    };
    for (char ch : utf8) {
        const bool startsCodePoint = (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
        if (ch == ' ') {
            flush();
            wordStart = index + 1;
        } else {
            if (word.empty()) wordStart = index;
            word += ch;
        }
        if (startsCodePoint) ++index;
    }
    flush();
    if (out.empty()) throw NormaliseError("empty Arabic text");
    if (letters) *letters = std::move(from);
    return out;
}

} // namespace textres

#endif
