// The reading view in the reader window: View > Reading shows the surah's ayat in one column
// in place of the picture and the translation. The ayah at the view's top is the current ayah
// (the selection of the lists): a scroll moves the lists, the juz and the stored position;
// choosing an ayah anywhere scrolls the view to it; the recited ayah is marked in it.
#include "app/reader_window_win.h"

#include "app/ayah_name.h"
#include "app/reading_marks_win.h"
#include "app/reading_plan_win.h"
#include "base/dpi_win.h"
#include "picture/bitmap_view_win.h"
#include "picture/calligraphy_win.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"
#include "text/juz.h"
#include "text/text_store.h"

#include <cstdio>

namespace {

// What showing an ayah does beyond the lists, the juz and the stored position (the hidden
// picture and translation, the history) waits until the scroll has rested this long.
constexpr UINT kReadingRestMs = 250;

} // namespace

namespace {

// The view's window text is what a screen reader speaks for it: the ayah at its top.
void nameReadingView(HWND view, AyahRef ayah) {
    const std::u16string name =
        spokenAyahName(ayah.surah, ayah.ayah, TextStore::surahName(ayah.surah),
                       TextStore::arabic(ayah.surah, ayah.ayah));
    SetWindowTextW(view, reinterpret_cast<const wchar_t*>(name.c_str()));
}

} // namespace

void ReaderWindow::noteCurrentAyah(AyahRef ayah) {
    char juz[32];
    std::snprintf(juz, sizeof juz, "JUZ %i", juzOf(ayah.surah, ayah.ayah));
    setStatusText(0, juz);
    showMushafPlace(ayah);
    resume_.remember(window_, ayah);
    readingPlanAyahShown(window_, ayah); // read once it stays the current ayah a few seconds
}

void ReaderWindow::toggleReadingView() {
    showReadingView(!readingOn_);
    writeReadingView(readingOn_);
}

void ReaderWindow::showReadingView(bool on) {
    if (on && !reading_) {
        reading_ = ReadingView::create(context_.instance, window_, *this, context_.programDirectory,
                                       programCalligraphy(context_.programDirectory));
        if (!reading_) return; // the one-ayah view stays
        reading_->marks() = mushafReadingMarks();
    }
    readingOn_ = on;
    CheckMenuItem(GetMenu(window_), IDM_READING_VIEW,
                  MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    const AyahRef current = shownAyah();
    if (bitmapView_) ShowWindow(bitmapView_, on ? SW_HIDE : SW_SHOW);
    ShowWindow(control(IDC_TRANSLATION), on ? SW_HIDE : SW_SHOW);
    if (on) {
        layout(); // places the view
        refreshReadingLook();
        reading_->showAyah(current);
        nameReadingView(reading_->window(), reading_->topAyah());
        markRecitedAyah();
        ShowWindow(reading_->window(), SW_SHOW);
        SetFocus(reading_->window());
        return;
    }
    KillTimer(window_, kReadingRestTimer);
    if (reading_) {
        if (GetFocus() == reading_->window()) SetFocus(window_);
        ShowWindow(reading_->window(), SW_HIDE);
    }
    layout();
    if (current.valid()) goToAyah(current);
}

void ReaderWindow::refreshReadingLook() {
    if (!reading_ || !readingOn_) return;
    ReadingLook look;
    look.dpi = dpi_;
    look.zoom = bitmapView_ ? bitmapViewZoom(bitmapView_) : 100;
    look.night = night_;
    look.textFont = translationFont_;
    reading_->setLook(look);
}

void ReaderWindow::placeReadingView(const RECT& area) {
    if (!reading_ || !readingOn_) return;
    MoveWindow(reading_->window(), area.left, area.top, area.right - area.left,
               area.bottom - area.top, TRUE);
}

void ReaderWindow::excludeReadingView(HDC dc) const {
    if (!reading_ || !readingOn_) return;
    RECT area{};
    GetWindowRect(reading_->window(), &area);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
    ExcludeClipRect(dc, area.left, area.top, area.right, area.bottom);
}

void ReaderWindow::followInReadingView(AyahRef ayah) {
    if (!reading_ || !readingOn_) return;
    reading_->showAyah(ayah);
    nameReadingView(reading_->window(), reading_->topAyah());
    markRecitedAyah();
}

void ReaderWindow::markRecitedAyah() {
    if (!reading_ || !readingOn_ || !recitation_) return;
    const AyahRef recited = recitation_->recitedAyah();
    reading_->setRecited(recited.surah == reading_->topAyah().surah ? recited.ayah : 0);
}

void ReaderWindow::readingViewMoved(AyahRef top) {
    SendMessageW(control(IDC_AYAH_LIST), CB_SETCURSEL, top.ayah - 1, 0);
    noteCurrentAyah(top);
    if (reading_) nameReadingView(reading_->window(), top);
    SetTimer(window_, kReadingRestTimer, kReadingRestMs, nullptr);
}

// The scroll rests: the hidden picture and translation (what the copies take) and the
// history catch up with the current ayah.
void ReaderWindow::onReadingRestTimer() {
    KillTimer(window_, kReadingRestTimer);
    const AyahRef current = shownAyah();
    if (!current.valid()) return;
    showTranslation(current);
    showAyahPicture(current);
}
