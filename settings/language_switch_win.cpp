#include "settings/language_switch_win.h"

#include "settings/settings_win.h"
#include "text/translation_languages.h"

bool storeLanguageSetting(int index) {
    const TranslationLanguage* language = translationLanguageAt(index);
    if (!language) return false;
    const int bahasa = bahasaOf(index);
    const bool bahasaStored = bahasa < 0 || writeSettingDword(kLanguageValue, bahasa);
    return writeTranslationChoice(language->code) && bahasaStored;
}

int storeChosenTranslation(int index, LanguageStore store) {
    if (!translationLanguageAt(index)) return -1;
    store(index);
    return startingTranslationIndex(readTranslationChoice().c_str(), readLanguageSetting());
}
