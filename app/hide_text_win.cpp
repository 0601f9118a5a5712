// Hiding the shown ayah to recite it from memory: View > Hide the text (Ctrl+H) blanks the
// calligraphy and the translation; a click on the picture or Space shows the next word, Enter
// the rest. The state is the reader's, as the picture and the translation follow it together.
#include "app/clipboard_win.h"
#include "app/reader_window_win.h"
#include "picture/bitmap_view_win.h"
#include "picture/calligraphy_win.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"
#include "text/translations_win.h"

#include <string>

namespace {

// The presses that reveal the ayah: one for each word of its runs, one for a picture that is
// not drawn from them.
int revealSteps(const std::wstring& programDirectory, AyahRef ayah) {
    const Calligraphy* calligraphy = programCalligraphy(programDirectory);
    return calligraphy ? runsWordCount(calligraphy->ayah(ayah.surah, ayah.ayah)) : 1;
}

} // namespace

void ReaderWindow::setHiding(bool hide) {
    hideText_ = hide;
    CheckMenuItem(GetMenu(window_), IDM_HIDE_TEXT,
                  MF_BYCOMMAND | (hide ? MF_CHECKED : MF_UNCHECKED));
    revealAyah_ = AyahRef{0, 0};
    reveal_.showAll();
}

void ReaderWindow::hideForAyah(AyahRef ayah) {
    if (!hideText_ || (ayah.surah == revealAyah_.surah && ayah.ayah == revealAyah_.ayah)) return;
    revealAyah_ = ayah;
    reveal_.hide(revealSteps(context_.programDirectory, ayah));
}

void ReaderWindow::showReveal() {
    const std::vector<TextRange> marks = translationMarks_;
    showTranslation(shownAyah());
    // The search marks are positions in the whole text: those within what is shown stay.
    translationMarks_.clear();
    const long length = GetWindowTextLengthW(control(IDC_TRANSLATION));
    for (const TextRange& mark : marks)
        if (mark.end <= length) boldTranslationRange(mark.start, mark.end);
    if (bitmapView_) setBitmapViewShownWords(bitmapView_, reveal_.shownWords());
}

void ReaderWindow::toggleHiddenText() {
    setHiding(!hideText_);
    writeHideText(hideText_);
    hideForAyah(shownAyah());
    showReveal();
}

void ReaderWindow::revealNextWord() {
    if (hideText_ && reveal_.revealNext()) showReveal();
}

void ReaderWindow::revealAllWords() {
    if (hideText_ && reveal_.revealAll()) showReveal();
}

void ReaderWindow::copyWholeTranslation() {
    if (!revealPending()) {
        copyTranslation(window_, *context_.prompts);
        return;
    }
    const AyahRef ayah = shownAyah();
    const TranslationText& text = chosenTranslationText();
    const bool held = ayah.ayah >= 1 && ayah.ayah <= text.ayahCount(ayah.surah);
    const std::string whole(held ? text.ayah(ayah.surah, ayah.ayah) : "Not Found");
    copyTranslationText(window_, *context_.prompts, whole.c_str());
}
