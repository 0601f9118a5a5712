#include "settings/language_switch_win.h"

#include "app/ayah_navigation_win.h"
#include "app/process_state_win.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"
#include "text/text_store.h"

#include <windows.h>

bool storeLanguageSetting(int language) {
    return writeSettingDword(kLanguageValue, language);
}

void switchLanguage(int index, LanguageStore store) {
    if (index < 0) return;
    process.language = index;
    store(index);
    // The setting is read back: when it could not be stored, the old language stays.
    TextStore::load(readLanguageSetting());
    process.language = TextStore::language();
    SendMessageA(GetDlgItem(process.mainWindow, IDC_LANGUAGE_LIST), CB_SETCURSEL,
                 process.language == 0 ? 0 : 1, 0);
    selectAyah(currentSurah(), currentAyah());
}
