// The language list of the main window (control 401): switching the translation at once.
#ifndef NORAVEL_LANGUAGE_SWITCH_WIN_H
#define NORAVEL_LANGUAGE_SWITCH_WIN_H

// Stores the chosen language; true when it is stored where the text store reads it.
using LanguageStore = bool (*)(int language);
bool storeLanguageSetting(int language); // the "Bahasa" setting

// Makes index (the language list's selection: 0 Indonesian, 1 English) the language in
// force: stores it, reloads the text store and shows the same ayah again. The language
// the store loaded decides what the list shows, so the list, the translation and the
// stored value agree even when the value could not be stored. No selection (a negative
// index) changes nothing.
void switchLanguage(int index, LanguageStore store = storeLanguageSetting);

#endif
