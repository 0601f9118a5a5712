// The language list of the main window (control 401): storing the language chosen.
#ifndef NORAVEL_SETTINGS_LANGUAGE_SWITCH_WIN_H
#define NORAVEL_SETTINGS_LANGUAGE_SWITCH_WIN_H

// Stores the chosen language; true when it is stored where the setting is read.
using LanguageStore = bool (*)(int language);
bool storeLanguageSetting(int language); // the "Bahasa" setting

// Stores index (the language list's selection: 0 Indonesian, 1 English) through store and
// returns the language as the setting now reads back, so that the list, the translation and
// the stored value agree even when the value could not be stored (the old one then stays).
// No selection (a negative index): -1, nothing stored.
int storeChosenLanguage(int index, LanguageStore store = storeLanguageSetting);

#endif
