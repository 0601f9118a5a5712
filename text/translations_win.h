// The translation in force: which of the languages of text/translation_languages.h the reader
// shows and searches, and its text, loaded from its resource only when first chosen and kept
// for the run (the texts are views into the resource the system maps; the index is the only
// memory a language costs).
#ifndef NORAVEL_TEXT_TRANSLATIONS_WIN_H
#define NORAVEL_TEXT_TRANSLATIONS_WIN_H

#include "text/translation_languages.h"
#include "text/translation_text.h"

// Makes the language of list index `index` the one in force (an index outside the list
// changes nothing) and loads its text if it is not loaded yet.
void chooseTranslation(int index);
// The list index in force (0, Indonesian, until one is chosen).
int chosenTranslation();
const TranslationLanguage& chosenTranslationLanguage();
// The text of a list index, loaded on first use; null outside the list. An empty text (no
// ayat) when the resource is missing.
const TranslationText* translationTextAt(int index);
const TranslationText& chosenTranslationText();

// The second line of reading: a list index, or -1 for none (the default; an index outside the
// list means none too). Its text is loaded when chosen.
void chooseSecondTranslation(int index);
int secondTranslation();

#endif
