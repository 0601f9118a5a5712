// Moving the reader from ayah to ayah and showing one ayah: the surah and ayah lists, the
// translation control, the picture in the bitmap view, the juz, the page of the mushaf and
// the ayah's marks in the status bar, the reading history and the stored position.
#include "app/ayah_name.h"
#include "app/ayah_stepping.h"
#include "app/main_layout.h"
#include "app/reader_window_win.h"
#include "app/translation_area_win.h"
#include "base/guards_win.h"
#include "base/program_directory.h"
#include "base/utf8_text.h"
#include "base/wide_text_win.h"
#include "picture/bitmap_view_win.h"
#include "picture/calligraphy_win.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"
#include "text/mushaf_pages.h"
#include "text/text_store.h"
#include "text/translations_win.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kSurahs = 114;
constexpr int kLineSize = 1024; // one formatted line holds at most 1023 characters

bool isSurah(int surah) {
    return surah >= 1 && surah <= kSurahs;
}

void addListItem(HWND list, const char* text) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromUtf8(text).c_str()));
}

} // namespace

HWND ReaderWindow::control(int id) const {
    return GetDlgItem(window_, id);
}

HWND ReaderWindow::resultList() const {
    return control(IDC_RESULT_LIST);
}

void ReaderWindow::setStatusText(int part, const char* text) {
    SendMessageW(control(IDC_STATUS_BAR), SB_SETTEXTW, part,
                 reinterpret_cast<LPARAM>(wideFromUtf8(text).c_str()));
}

// Applies the captured character format to all the text, which clears bold search marks.
// Before the format has been captured (the first display) there is nothing to clear.
void ReaderWindow::clearTranslationMarks() {
    translationMarks_.clear();
    if (defaultCharFormat_.cbSize == 0) return;
    // Only the weight: the text keeps the face its script was given.
    CHARFORMAT2W plain{};
    plain.cbSize = sizeof plain;
    plain.dwMask = CFM_BOLD;
    SendMessageW(control(IDC_TRANSLATION), EM_SETCHARFORMAT, SCF_ALL,
                 reinterpret_cast<LPARAM>(&plain));
}

void ReaderWindow::markArabicText(const std::vector<bool>& matchedBytes, bool inSpellingForm) {
    if (bitmapView_) markBitmapViewText(bitmapView_, matchedBytes, inSpellingForm);
}

void ReaderWindow::boldTranslationRange(long start, long end) {
    HWND translation = control(IDC_TRANSLATION);
    CHARFORMAT2W bold{};
    bold.cbSize = sizeof bold;
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    SendMessageW(translation, EM_SETSEL, start, end);
    SendMessageW(translation, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bold));
    translationMarks_.push_back({start, end});
}

void ReaderWindow::showTranslation(AyahRef ayah) {
    const int second = secondTranslation();
    const TranslationText& text = chosenTranslationText();
    // An ayah the surah does not have reads "Not Found", as the text store gives it.
    const bool held = ayah.ayah >= 1 && ayah.ayah <= text.ayahCount(ayah.surah);
    std::string_view first = held ? text.ayah(ayah.surah, ayah.ayah) : "Not Found";
    std::string_view secondText =
        second >= 0 ? translationTextAt(second)->ayah(ayah.surah, ayah.ayah) : std::string_view();
    // While the ayah is hidden only the words revealed so far are shown.
    first = first.substr(0, revealedTextBytes(first, reveal_.shownWords(), reveal_.steps()));
    secondText =
        secondText.substr(0, revealedTextBytes(secondText, reveal_.shownWords(), reveal_.steps()));
    showTranslationText(control(IDC_TRANSLATION), first, chosenTranslationLanguage(), secondText,
                        translationLanguageAt(second));
}

// The picture's window text is what a screen reader speaks for it: the ayah in Unicode.
void ReaderWindow::nameAyahPicture(AyahRef ayah) {
    const std::u16string name =
        spokenAyahName(ayah.surah, ayah.ayah, TextStore::surahName(ayah.surah),
                       TextStore::arabic(ayah.surah, ayah.ayah));
    SetWindowTextW(bitmapView_, reinterpret_cast<const wchar_t*>(name.c_str()));
}

void ReaderWindow::fillNavigationLists() {
    char item[kLineSize];
    for (int surah = 1; surah <= kSurahs; ++surah) {
        std::snprintf(item, sizeof item, "%i - %s", surah, TextStore::surahName(surah));
        addListItem(control(IDC_SURAH_LIST), item);
    }
    // The recitation scopes (kScopeNames of the recitation rules): 1, 2, 3.
    HWND scopes = control(IDC_RECITATION_SCOPE);
    addListItem(scopes, "Surat");
    addListItem(scopes, "Total");
    addListItem(scopes, "Ayat");
    SendMessageW(scopes, CB_SETCURSEL, 1, 0);
    HWND languages = control(IDC_LANGUAGE_LIST);
    for (size_t i = 0; i < kTranslationLanguageCount; ++i)
        addListItem(languages, translationLanguages()[i].nativeName);
    // A "Bahasa" other than 0 or 1 without a stored code shows English and selects nothing.
    bool known = settings_.translation >= 0 || settings_.language == 0 || settings_.language == 1;
    if (settings_.translation < 0) {
        const std::string code = readTranslationChoice();
        known = known || translationLanguageIndex(code.c_str()) >= 0;
        settings_.translation = startingTranslationIndex(code.c_str(), settings_.language);
    }
    chooseTranslation(settings_.translation);
    if (known) SendMessageW(languages, CB_SETCURSEL, chosenTranslation(), 0);
    takeStoredSecondLine();
}

void ReaderWindow::fillAyahList(int surah) {
    if (!isSurah(surah)) return;
    HWND list = control(IDC_AYAH_LIST);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    char item[16];
    const int count = TextStore::ayahCount(surah);
    for (int ayah = 1; ayah <= count; ++ayah) {
        std::snprintf(item, sizeof item, "%i", ayah);
        addListItem(list, item);
    }
}

void ReaderWindow::goToAyah(AyahRef ayah) {
    if (!isSurah(ayah.surah)) return;
    clearTranslationMarks();
    hideForAyah(ayah);
    SendMessageW(control(IDC_SURAH_LIST), CB_SETCURSEL, ayah.surah - 1, 0);
    fillAyahList(ayah.surah);
    SendMessageW(control(IDC_AYAH_LIST), CB_SETCURSEL, ayah.ayah - 1, 0);
    showTranslation(ayah);
    showSurahMeaning(ayah.surah);
    showAyahPicture(ayah);
    followInReadingView(ayah);
}

void ReaderWindow::showAyah(AyahRef ayah) {
    if (!isSurah(ayah.surah)) return;
    clearTranslationMarks();
    hideForAyah(ayah);
    showTranslation(ayah);
    showAyahPicture(ayah);
    followInReadingView(ayah);
}

void ReaderWindow::showAyahPicture(AyahRef ayah) {
    if (!isSurah(ayah.surah)) return;
    const char* folder = context_.programDirectoryUtf8.c_str();
    char path[kUtf8PathBytes];
    const bool named = formatPicturePath(path, sizeof path, folder, ayah.surah, ayah.ayah);
    if (currentPicture_) {
        DeleteObject(currentPicture_);
        currentPicture_ = nullptr;
    }
    // A path cut short by the buffer would name another file: no picture then.
    {
        WindowDc dc(window_);
        if (named) currentPicture_ = picture_.load(path, dc.get());
    }

    if (bitmapView_) {
        SendMessageW(bitmapView_, WM_SETPICTURE, 0, reinterpret_cast<LPARAM>(currentPicture_));
        setBitmapViewShownWords(bitmapView_, reveal_.shownWords());
        // The view draws the ayah from the font at the screen's scale, or from its 1x file
        // when the font or the runs cannot be had; the loaded bitmap stays what the
        // clipboard copy takes.
        if (named && currentPicture_)
            showBitmapViewAyah(bitmapView_, path, nullptr,
                               programCalligraphy(context_.programDirectory), ayah.surah,
                               ayah.ayah);
        nameAyahPicture(ayah);
        InvalidateRect(bitmapView_, nullptr, TRUE);
    }

    history_.add(ayah.surah, ayah.ayah);
    noteCurrentAyah(ayah);
}

// The page of the mushaf and the marks of the ayah (the hizb quarter it begins, a place of
// prostration) in their parts of the status bar.
void ReaderWindow::showMushafPlace(AyahRef ayah) {
    const int page = mushafPageOf(ayah);
    char text[64] = "";
    if (page > 0) std::snprintf(text, sizeof text, "Page %i", page);
    setStatusText(kStatusPagePart, text);
    formatMushafMarks(ayah, text, sizeof text);
    setStatusText(kStatusMarksPart, text);
}

AyahRef ReaderWindow::shownAyah() const {
    const int surah = static_cast<int>(SendMessageW(control(IDC_SURAH_LIST), CB_GETCURSEL, 0, 0));
    const int ayah = static_cast<int>(SendMessageW(control(IDC_AYAH_LIST), CB_GETCURSEL, 0, 0));
    return {surah + 1, ayah + 1};
}

void ReaderWindow::stepAyah(int delta) {
    const AyahRef shown = shownAyah();
    const AyahStep step = ::stepAyah(shown.surah, shown.ayah, delta, TextStore::ayahCount);
    if (step.changesSurah) {
        goToAyah({step.surah, step.ayah});
    } else {
        SendMessageW(control(IDC_AYAH_LIST), CB_SETCURSEL, step.ayah - 1, 0);
        showAyah({step.surah, step.ayah});
    }
}

void ReaderWindow::listReadingHistory() {
    HWND list = resultList();
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    char line[kLineSize];
    for (int age = 0; age < history_.size(); ++age) {
        const uint32_t entry = history_.newest(age);
        const int surah = ReadingHistory::surahOf(entry);
        const int ayah = ReadingHistory::ayahOf(entry);
        const std::string text(chosenTranslationText().ayah(surah, ayah));
        std::snprintf(line, sizeof line, "%i:%i %s", surah, ayah, text.c_str());
        char whole[kLineSize]; // cut at a whole character
        copyUtf8Bounded(whole, sizeof whole, line, std::strlen(line));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromUtf8(whole).c_str()));
    }
}

void ReaderWindow::switchLanguage(int index, LanguageStore store) {
    const int chosen = storeChosenTranslation(index, store);
    if (chosen < 0) return;
    const int bahasa = bahasaOf(chosen);
    if (bahasa >= 0 && bahasa != TextStore::language()) TextStore::load(bahasa);
    settings_.language = TextStore::language();
    chooseTranslation(chosen);
    settings_.translation = chosenTranslation();
    SendMessageW(control(IDC_LANGUAGE_LIST), CB_SETCURSEL, settings_.translation, 0);
    goToAyah(shownAyah());
}
