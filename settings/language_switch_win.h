// The language list of the main window (control 401): storing the translation chosen.
#ifndef NORAVEL_SETTINGS_LANGUAGE_SWITCH_WIN_H
#define NORAVEL_SETTINGS_LANGUAGE_SWITCH_WIN_H

// Stores the chosen list index; true when it is stored where the settings are read.
using LanguageStore = bool (*)(int index);
// Stores the language code per user ("TranslationLanguage") and, for Indonesian and English,
// the "Bahasa" setting (0 or 1) as well; the other languages leave "Bahasa" as it is.
bool storeLanguageSetting(int index);

// Stores index (the language list's selection, text/translation_languages.h) through store and
// returns the list index as the settings now read back, so that the list, the translation and
// the stored values agree even when the value could not be stored (the old one then stays).
// No selection (an index outside the list): -1, nothing stored.
int storeChosenTranslation(int index, LanguageStore store = storeLanguageSetting);

#endif
