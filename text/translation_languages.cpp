#include "text/translation_languages.h"

#include "resources/resource_ids.h"

#include <cstring>

namespace {

const TranslationLanguage kLanguages[kTranslationLanguageCount] = {
    {"id", "Indonesia", "Indonesian", IDT_TRANSLATION_ID, false, true, LetterRules::Common, 1252},
    {"en", "English", "English", IDT_TRANSLATION_EN, false, true, LetterRules::Common, 1252},
    {"bn", "\xE0\xA6\xAC\xE0\xA6\xBE\xE0\xA6\x82\xE0\xA6\xB2\xE0\xA6\xBE", "Bengali",
     IDT_TRANSLATION_BN, false, true, LetterRules::Common, 0},
    {"zh", "\xE4\xB8\xAD\xE6\x96\x87", "Chinese", IDT_TRANSLATION_ZH, false, false,
     LetterRules::Common, 936},
    {"fr",
     "Fran\xC3\xA7"
     "ais",
     "French", IDT_TRANSLATION_FR, false, true, LetterRules::Common, 1252},
    {"ru", "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9", "Russian",
     IDT_TRANSLATION_RU, false, true, LetterRules::Common, 1251},
    {"es", "Espa\xC3\xB1ol", "Spanish", IDT_TRANSLATION_ES, false, true, LetterRules::Spanish,
     1252},
    {"sv", "Svenska", "Swedish", IDT_TRANSLATION_SV, false, true, LetterRules::Swedish, 1252},
    {"tr",
     "T\xC3\xBCrk\xC3\xA7"
     "e",
     "Turkish", IDT_TRANSLATION_TR, false, true, LetterRules::Turkish, 1254},
    {"ur", "\xD8\xA7\xD8\xB1\xD8\xAF\xD9\x88", "Urdu", IDT_TRANSLATION_UR, true, true,
     LetterRules::Common, 1256},
    {"transliteration", "Transliteration", "Transliteration", IDT_TRANSLATION_TRANSLIT, false, true,
     LetterRules::Common, 1252},
};

} // namespace

const TranslationLanguage* translationLanguages() {
    return kLanguages;
}

const TranslationLanguage* translationLanguageAt(int index) {
    if (index < 0 || index >= static_cast<int>(kTranslationLanguageCount)) return nullptr;
    return &kLanguages[index];
}

int translationLanguageIndex(const char* code) {
    if (!code) return -1;
    for (size_t i = 0; i < kTranslationLanguageCount; ++i)
        if (std::strcmp(kLanguages[i].code, code) == 0) return static_cast<int>(i);
    return -1;
}

int startingTranslationIndex(const char* storedCode, int bahasa) {
    const int stored = translationLanguageIndex(storedCode);
    if (stored >= 0) return stored;
    return bahasa == 0 ? 0 : 1;
}

int bahasaOf(int index) {
    return index == 0 || index == 1 ? index : -1;
}
