// The spelling-tolerant Arabic search: a query typed in standard spelling against the
// Uthmani text.
//
// Both sides are brought to one common form of Arabic byte code letters:
//  - alef maqsura is ya (ED), ta marbuta is ha (E5), alef madda is hamza + alef (C1 C7);
//  - vowel marks are left out, blanks between words are single;
//  - hamza keeps its seat (أ إ ؤ ئ), but the bare hamza ء (in the text also a hamza
//    written on no seat) agrees with a hamza on any seat: يسألونك meets يَسۡـَٔلُونَكَ,
//    القرآن meets ٱلۡقُرۡءَانُ.
// The query is folded at search time (foldArabicQuery). The text's form is made at
// build time from the Uthmani Unicode text (resource 139, tools/spelling_form.h) and
// carries what the letters of resource 134 have lost:
//  - kSpellingOptional before a byte marks a letter that standard spelling may or may
//    not write: the dagger alef, the small waw and ya, the alef and lam of the article
//    after the preposition li- (لله, للناس), the blank of a vocative written as one
//    word (يأيها);
//  - kSpellingEither before two bytes offers a choice of one of them: the waw or ya that
//    carries an alef (الصلوة) is either that letter or the alef (الصلاة).
#ifndef NORAVEL_SEARCH_ARABIC_SPELLING_H
#define NORAVEL_SEARCH_ARABIC_SPELLING_H

#include "search/arabic_scan.h"
#include "text/text_store.h"

#include <cstddef>
#include <string>
#include <vector>

constexpr unsigned char kSpellingOptional = 0x01;
constexpr unsigned char kSpellingEither = 0x02;
constexpr unsigned char kSpellingHamza = 0xC1;
constexpr unsigned char kSpellingAlef = 0xC7;

// Appends the common form of one byte-code letter (or blank, or other byte) to `out`:
// the folding both sides share. Vowel marks and control bytes append nothing.
void appendFoldedByte(unsigned char byte, std::string& out);

// The common form of a query in the byte code: folded letter by letter, blanks
// collapsed and trimmed.
std::string foldArabicQuery(const char* query);

// True when the folded query occurs in `form` (a text's common form), each optional
// byte of the form taken or left out and each choice made as the query needs. An empty
// query matches nothing.
bool spellingFormHolds(const char* form, const std::string& foldedQuery);

// The forms of resource 139: per ayah, in surah order then ayah order, the common form
// NUL CR LF, then the end line. The ayah counts are the text store's. Unless the data
// holds a form for every ayah and then the end line, the forms are not complete and
// every surah has no ayat.
class ArabicSpellingForms : public ArabicTextSource {
  public:
    explicit ArabicSpellingForms(ResourceBytes data);
    bool complete() const { return !forms_.empty(); }
    int ayahCount(int surah) const override;
    const char* arabic(int surah, int ayah) const override;

  private:
    std::vector<const char*> forms_;
    int firstOfSurah_[TextStore::kSurahs + 2] = {};
};

// Every ayah whose form holds the folded query, in surah order then ayah order, each
// once. A query that folds to nothing gives no hits.
std::vector<SearchHit> scanArabicSpelling(const char* query, const ArabicTextSource& forms);

// One entry per byte of form, true for the bytes every occurrence of the folded query
// takes (a marker together with the byte or bytes it offers). All false when there is none.
std::vector<bool> matchedSpellingBytes(const char* form, const char* query);

#endif
