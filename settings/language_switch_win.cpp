#include "settings/language_switch_win.h"

#include "settings/settings_win.h"

bool storeLanguageSetting(int language) {
    return writeSettingDword(kLanguageValue, language);
}

int storeChosenLanguage(int index, LanguageStore store) {
    if (index < 0) return -1;
    store(index);
    return readLanguageSetting();
}
