// Who made each translation, where the data package took it from and on what terms, as the
// package (quran-json 3.1.2, its README and licence) and its sources record them: the
// "Translations" page of the Help menu.
#ifndef NORAVEL_TEXT_TRANSLATION_CREDITS_H
#define NORAVEL_TEXT_TRANSLATION_CREDITS_H

#include <string>

struct TranslationCredit {
    const char* code;
    const char* translator;
    const char* source;     // where the package took it from
    bool nonCommercialOnly; // the source allows only non-commercial use without permission
};

// The credit of a language code; null for a code without one.
const TranslationCredit* translationCredit(const char* code);

// The page's text (UTF-8): one paragraph per language in list order, then the package.
std::string translationCreditsText();

#endif
