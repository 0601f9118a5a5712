#include "text/translation_credits.h"

#include "text/translation_languages.h"

#include <cstring>

namespace {

const TranslationCredit kCredits[] = {
    {"id", "Indonesian Ministry of Religious Affairs",
     "The Noble Qur'an Encyclopedia (quranenc.com/en/browse/indonesian_affairs)", false},
    {"en", "Saheeh International (Umm Muhammad)", "Tanzil (tanzil.net/trans/en.sahih)", true},
    {"bn", "Muhiuddin Khan", "Tanzil (tanzil.net/trans/bn.bengali)", true},
    {"zh", "Muhammad Makin", "The Noble Qur'an Encyclopedia (quranenc.com/en/browse/chinese_makin)",
     false},
    {"fr", "Muhammad Hamidullah", "Tanzil (tanzil.net/trans/fr.hamidullah)", true},
    {"ru", "Elmir Kuliev", "Tanzil (tanzil.net/trans/ru.kuliev)", true},
    {"es",
     "Muhammad Isa Garc\xC3\xAD"
     "a",
     "Tanzil (tanzil.net/trans/es.garcia)", true},
    {"sv", "Knut Bernstr\xC3\xB6m", "Tanzil (tanzil.net/trans/sv.bernstrom)", true},
    {"tr", "Turkish Directorate of Religious Affairs (Diyanet)",
     "Tanzil (tanzil.net/trans/tr.diyanet)", true},
    {"ur", "Abul A'la Maududi", "Tanzil (tanzil.net/trans/ur.maududi)", true},
    {"transliteration", "Tanzil", "Tanzil (tanzil.net/trans/en.transliteration)", true},
};

const char kTanzilTerms[] =
    "Terms: for non-commercial use only; any other use needs the permission of the translator "
    "or the publisher. Tanzil asks for a link back to it and does not vouch for the accuracy of "
    "the translations.";
const char kQuranEncTerms[] =
    "Terms: those The Noble Qur'an Encyclopedia publishes with the translation (the package "
    "records none of its own for it).";
const char kPackage[] =
    "All texts come from the npm package quran-json 3.1.2 by Risan Bagja Pradana, whose "
    "licence file is Creative Commons Attribution-ShareAlike 4.0 (its package.json says "
    "CC-BY-4.0).\n\n"
    "The pages of the Madinah mushaf, the hizb quarters and the places of prostration come "
    "from the npm package quran-meta 6.0.17, Copyright (c) 2020 Quran-Center, under the MIT "
    "License.";

} // namespace

const TranslationCredit* translationCredit(const char* code) {
    if (!code) return nullptr;
    for (const TranslationCredit& credit : kCredits)
        if (std::strcmp(credit.code, code) == 0) return &credit;
    return nullptr;
}

std::string translationCreditsText() {
    std::string text;
    for (size_t i = 0; i < kTranslationLanguageCount; ++i) {
        const TranslationLanguage& language = translationLanguages()[i];
        const TranslationCredit* credit = translationCredit(language.code);
        if (!credit) continue;
        text += std::string(language.englishName) + " (" + language.nativeName +
                "): " + credit->translator + ". Source: " + credit->source + ". " +
                (credit->nonCommercialOnly ? kTanzilTerms : kQuranEncTerms) + "\n\n";
    }
    return text + kPackage;
}
