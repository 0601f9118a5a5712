// The translation area (control 303): a Unicode Rich Edit control that shows the chosen
// translation in any script. Its class comes from a Rich Edit library Windows ships, loaded
// from the system folder when the reader window makes its children: Msftedit.dll
// ("RICHEDIT50W"), else Riched20.dll ("RichEdit20W"). Urdu paragraphs run right to left and
// are right-aligned; Bengali, Chinese and Urdu take a face of their script from those
// Windows ships, the first one installed.
#ifndef NORAVEL_APP_TRANSLATION_AREA_WIN_H
#define NORAVEL_APP_TRANSLATION_AREA_WIN_H

#include "text/translation_languages.h"

#include <windows.h>

#include <string>
#include <string_view>

// The class to make the area with; loads its library the first time (null when no Unicode
// Rich Edit library can be loaded: the caller then has no translation area).
const wchar_t* translationAreaClass();

// Shows `text` (UTF-8) in the area with the paragraph direction and alignment of the
// language and its script's face (none for scripts the ayah font covers).
void showTranslationText(HWND area, std::string_view text, const TranslationLanguage& language);
// The same with a second line of reading as a paragraph of its own under the first, with its
// own direction and face (none when `second` is null).
void showTranslationText(HWND area, std::string_view text, const TranslationLanguage& language,
                         std::string_view secondText, const TranslationLanguage* second);

// The face the area uses for the language's script, "" when the ayah font is kept.
std::wstring scriptFaceFor(const TranslationLanguage& language);

#endif
