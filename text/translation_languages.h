// The translations the reader carries: ten languages and an English transliteration, in
// the order of the language list (Indonesian and English first, as the list always had
// them), with what showing and searching each needs to know.
#ifndef NORAVEL_TEXT_TRANSLATION_LANGUAGES_H
#define NORAVEL_TEXT_TRANSLATION_LANGUAGES_H

#include <cstddef>

// How letters of a language fold for the search beyond the common rules.
enum class LetterRules {
    Common,  // accents may be ignored on every Latin letter
    Turkish, // dotted and dotless i fold the Turkish way; ç ğ ı ö ş ü are letters of their own
    Swedish, // å ä ö are letters of their own
    Spanish, // ñ is a letter of its own
};

struct TranslationLanguage {
    const char* code;       // "id", "en", ..., "transliteration": the stored choice
    const char* nativeName; // UTF-8, as the language list shows it
    const char* englishName;
    int resourceId;   // its "TXT" resource
    bool rightToLeft; // paragraphs run right to left and are right-aligned
    bool spacedWords; // false: no spaces between words, so no whole-word search
    LetterRules letters;
    // The ANSI code page its letters fit (the copy adds the ANSI text there), 0: none.
    unsigned ansiCodePage;
};

constexpr size_t kTranslationLanguageCount = 11;

// The languages in list order; index 0 is Indonesian, 1 English.
const TranslationLanguage* translationLanguages();
// The language of a list index; null outside 0..10.
const TranslationLanguage* translationLanguageAt(int index);
// The list index of a language code; -1 for a code the reader does not know.
int translationLanguageIndex(const char* code);
// The list index a reader starts with: the stored code when it names a language, else what
// the older "Bahasa" value means (0 Indonesian, any other value English).
int startingTranslationIndex(const char* storedCode, int bahasa);
// The "Bahasa" value of a list index: 0 Indonesian, 1 English, -1 for the others (which
// leave it as it is).
int bahasaOf(int index);

#endif
