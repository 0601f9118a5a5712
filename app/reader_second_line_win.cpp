// View > Second line: a second translation (or the transliteration) under the first in the
// translation area, chosen per user.
#include "app/reader_window_win.h"

#include "resources/resource_ids.h"
#include "settings/settings_win.h"
#include "text/translations_win.h"

namespace {

void checkSecondLineItem(HWND window, int index) {
    CheckMenuRadioItem(GetMenu(window), IDM_SECOND_LINE_NONE, IDM_SECOND_LINE_LAST,
                       index < 0 ? IDM_SECOND_LINE_NONE : IDM_SECOND_LINE_FIRST + index,
                       MF_BYCOMMAND);
}

} // namespace

void ReaderWindow::takeStoredSecondLine() {
    chooseSecondTranslation(translationLanguageIndex(readSecondTranslation().c_str()));
    checkSecondLineItem(window_, secondTranslation());
}

void ReaderWindow::chooseSecondLine(int index) {
    const TranslationLanguage* language = translationLanguageAt(index);
    writeSecondTranslation(language ? language->code : "");
    chooseSecondTranslation(index);
    checkSecondLineItem(window_, secondTranslation());
    const AyahRef shown = shownAyah();
    if (shown.surah >= 1) showAyah(shown);
}
