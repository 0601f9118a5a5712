// The main window's commands, dispatched by menu or control id.
#include "app/about_win.h"
#include "app/bookmarks_win.h"
#include "app/clipboard_win.h"
#include "app/go_to_dialog_win.h"
#include "app/keyboard_win.h"
#include "app/memorise_commands_win.h"
#include "app/reader_window_win.h"
#include "app/reading_plan_win.h"
#include "pages/browser_pages_win.h"
#include "picture/bitmap_view_win.h"
#include "picture/picture_scale.h"
#include "recitation/memorise_dialog_win.h"
#include "recitation/reciter_menu_win.h"
#include "resources/resource_ids.h"
#include "search/arabic_search_win.h"
#include "search/translation_search_win.h"
#include "settings/settings_win.h"
#include "text/mushaf_pages.h"
#include "text/translation_credits.h"

namespace {

constexpr int kSurahs = 114;

// Notification filter of a row: the command runs for any notification, or only for one.
constexpr int kAnyNotification = -1;

// The notification code of a command that comes from the accelerator table.
constexpr int kFromAccelerator = 1;

using CommandHandler = void (*)(ReaderWindow& reader);

struct Command {
    int id;
    int notification;
    CommandHandler handler;
};

void exitProgram(ReaderWindow& reader) {
    DestroyWindow(reader.window());
}

void chooseSurah(ReaderWindow& reader) {
    reader.goToAyah({reader.shownAyah().surah, 1});
}

void chooseAyah(ReaderWindow& reader) {
    reader.showAyah(reader.shownAyah());
}

void chooseLanguage(ReaderWindow& reader) {
    reader.switchLanguage(static_cast<int>(
        SendDlgItemMessageW(reader.window(), IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0)));
}

void doNothing(ReaderWindow&) {}

void nextSurah(ReaderWindow& reader) {
    const int surah = reader.shownAyah().surah;
    reader.goToAyah({surah >= kSurahs ? 1 : surah + 1, 1});
}

void previousSurah(ReaderWindow& reader) {
    const int surah = reader.shownAyah().surah;
    reader.goToAyah({surah <= 1 ? kSurahs : surah - 1, 1});
}

// Ctrl+Shift+Page Down / Page Up: the first ayah of the next or previous page of the
// mushaf; on the first and the last page the reader stays where it is.
void stepPage(ReaderWindow& reader, int delta) {
    const AyahRef to = firstAyahOfPageAfter(reader.shownAyah(), delta);
    if (to.valid()) reader.goToAyah(to);
}

// View > Zoom in, Zoom out, Actual size: the picture's zoom a step up or down, or back to
// 100%, remembered for the user.
void zoomPictureTo(ReaderWindow& reader, int (*next)(int)) {
    HWND view = reader.bitmapView();
    if (!view) return;
    const int zoom = next(bitmapViewZoom(view));
    setBitmapViewZoom(view, zoom);
    writePictureZoom(bitmapViewZoom(view));
    reader.refreshReadingLook();
}

bool isChecked(HWND window, int id) {
    return IsDlgButtonChecked(window, id) == BST_CHECKED;
}

void searchArabic(ReaderWindow& reader) {
    const ProgramContext& context = reader.context();
    if (!showArabicSearch(context, reader, reader.searchMemory())) return;
    // The main window's two hidden check boxes are the search's options.
    runArabicSearch(context, reader, reader.searchMemory(),
                    isChecked(reader.window(), IDC_MATCH_CASE),
                    isChecked(reader.window(), IDC_WHOLE_WORD));
}

void goTo(ReaderWindow& reader) {
    AyahRef chosen;
    if (showGoToDialog(reader.context().instance, reader.window(), chosen) == IDOK)
        reader.goToAyah(chosen);
}

void openReadingPlan(ReaderWindow& reader) {
    const ProgramContext& context = reader.context();
    const AyahRef chosen =
        showReadingPlanDialog(context.instance, reader.window(), *context.prompts);
    if (chosen.valid()) reader.goToAyah(chosen);
}

void openBookmark(ReaderWindow& reader) {
    const ProgramContext& context = reader.context();
    reader.goToAyah(chooseBookmark(context.instance, reader.window(), *context.prompts));
}

// One row per command: which id, with which notification, leads to what. A row whose
// notification does not match still counts as handled (the control's other notifications
// are ignored on purpose).
const Command kCommands[] = {
    {IDM_EXIT, kAnyNotification, exitProgram},
    {IDM_COPY_PICTURE, kAnyNotification,
     [](ReaderWindow& r) { copyAyahPicture(r.window(), r.currentPicture(), r.splitterLine()); }},
    {IDM_COPY_ARABIC_AYAH, kAnyNotification,
     [](ReaderWindow& r) { copyArabicAyah(r.window(), r.shownAyah()); }},
    {IDM_COPY_ARABIC_SURAH, kAnyNotification,
     [](ReaderWindow& r) { copyArabicSurah(r.window(), r.shownAyah().surah); }},
    {IDM_COPY_TRANSLATION, kAnyNotification, [](ReaderWindow& r) { r.copyWholeTranslation(); }},
    {IDM_COPY_RESULTS, kAnyNotification, [](ReaderWindow& r) { copyResultList(r.window()); }},
    {IDM_COMMENTARY_PAGE, kAnyNotification,
     [](ReaderWindow& r) {
         openCommentaryPage(r.window(), r.context().programDirectoryUtf8.c_str(), r.shownAyah());
     }},
    {IDM_HELP_PAGE, kAnyNotification,
     [](ReaderWindow& r) { openHelpPage(r.window(), r.context().programDirectoryUtf8.c_str()); }},
    {IDM_ABOUT, kAnyNotification,
     [](ReaderWindow& r) { showAbout(r.window(), *r.context().prompts); }},
    {IDM_TRANSLATION_CREDITS, kAnyNotification,
     [](ReaderWindow& r) {
         r.context().prompts->tell(r.window(), translationCreditsText().c_str(), "Translations", 0);
     }},
    {IDC_TRANSLATION_SEARCH, kAnyNotification,
     [](ReaderWindow& r) {
         r.searchMemory().marksArabic = false;
         runTranslationSearch(r.context(), r, r.searchMemory().translation);
     }},
    {IDC_ARABIC_SEARCH, kAnyNotification, searchArabic},
    {IDC_TAJWID, kAnyNotification, [](ReaderWindow& r) { r.recitation().launchTajwid(); }},
    {IDC_LISTEN, kAnyNotification, [](ReaderWindow& r) { r.recitation().onListenCommand(); }},
    {IDC_CONTINUE, kAnyNotification, doNothing}, // the box ticks itself; the player reads it
    {IDC_RESULT_LIST, LBN_SELCHANGE,
     [](ReaderWindow& r) {
         openSearchResult(r, r.searchMemory().translation);
         markArabicSearch(r, r.searchMemory());
     }},
    {IDC_SURAH_LIST, CBN_SELENDOK, chooseSurah},
    {IDC_AYAH_LIST, CBN_SELENDOK, chooseAyah},
    {IDC_LANGUAGE_LIST, CBN_SELENDOK, chooseLanguage},
    {IDM_SETTINGS, kAnyNotification, [](ReaderWindow& r) { r.chooseAyahFont(); }},
    {IDM_READING_HISTORY, kAnyNotification,
     [](ReaderWindow& r) {
         r.searchMemory().marksArabic = false; // the list no longer holds the search's hits
         r.listReadingHistory();
     }},
    {IDM_NEXT_AYAH, kAnyNotification, [](ReaderWindow& r) { r.stepAyah(1); }},
    {IDM_PREVIOUS_AYAH, kAnyNotification, [](ReaderWindow& r) { r.stepAyah(-1); }},
    {IDM_NEXT_SURAH, kAnyNotification, nextSurah},
    {IDM_PREVIOUS_SURAH, kAnyNotification, previousSurah},
    {IDM_NEXT_PAGE, kAnyNotification, [](ReaderWindow& r) { stepPage(r, 1); }},
    {IDM_PREVIOUS_PAGE, kAnyNotification, [](ReaderWindow& r) { stepPage(r, -1); }},
    {IDM_GO_TO, kAnyNotification, goTo},
    {IDM_ADD_BOOKMARK, kAnyNotification,
     [](ReaderWindow& r) {
         addBookmarkForAyah(r.context().instance, r.window(), r.shownAyah(), *r.context().prompts);
     }},
    {IDM_BOOKMARKS, kAnyNotification, openBookmark},
    {IDM_READING_PLAN, kAnyNotification, openReadingPlan},
    {IDM_RECITATION, kAnyNotification, [](ReaderWindow& r) { r.openRecitationDialog(); }},
    {IDM_RECITER_WINDOW, kAnyNotification, [](ReaderWindow& r) { r.openRecitationDialog(); }},
    {IDM_NIGHT, kAnyNotification, [](ReaderWindow& r) { r.toggleNightScheme(); }},
    {IDM_HIDE_TEXT, kAnyNotification, [](ReaderWindow& r) { r.toggleHiddenText(); }},
    {IDM_READING_VIEW, kAnyNotification, [](ReaderWindow& r) { r.toggleReadingView(); }},
    {IDM_REVEAL_WORD, kAnyNotification, [](ReaderWindow& r) { r.revealNextWord(); }},
    {IDM_REVEAL_ALL, kAnyNotification, [](ReaderWindow& r) { r.revealAllWords(); }},
    {IDM_REPEAT_FROM_HERE, kAnyNotification, repeatFromHere},
    {IDM_REPEAT_TO_HERE, kAnyNotification, repeatToHere},
    {IDM_REPEAT_CLEAR, kAnyNotification, clearRepeatRange},
    {IDM_SPEED_DOWN, kAnyNotification, [](ReaderWindow& r) { stepPlaySpeed(r, -1); }},
    {IDM_SPEED_UP, kAnyNotification, [](ReaderWindow& r) { stepPlaySpeed(r, 1); }},
    {IDM_MEMORISE, kAnyNotification, [](ReaderWindow& r) { showMemoriseDialog(r.window()); }},
    {IDM_ZOOM_IN, kAnyNotification, [](ReaderWindow& r) { zoomPictureTo(r, zoomedIn); }},
    {IDM_ZOOM_OUT, kAnyNotification, [](ReaderWindow& r) { zoomPictureTo(r, zoomedOut); }},
    {IDM_ZOOM_RESET, kAnyNotification,
     [](ReaderWindow& r) { zoomPictureTo(r, [](int) { return kDefaultZoom; }); }},
};

} // namespace

bool ReaderWindow::onCommand(int id, int notification, HWND control) {
    if (id == IDM_SECOND_LINE_NONE || (id >= IDM_SECOND_LINE_FIRST && id <= IDM_SECOND_LINE_LAST)) {
        chooseSecondLine(id == IDM_SECOND_LINE_NONE ? -1 : id - IDM_SECOND_LINE_FIRST);
        return true;
    }
    if (id >= IDM_BOOKMARK_FIRST && id <= IDM_BOOKMARK_LAST) {
        goToAyah(recentBookmark(id - IDM_BOOKMARK_FIRST));
        return true;
    }
    if (id >= IDM_RECITER_FIRST && id <= IDM_RECITER_LAST)
        return chooseReciterFromMenu(window_, id);
    // Ctrl+C copies the translation unless the focused control has a selection to copy.
    if (id == IDM_COPY_TRANSLATION && notification == kFromAccelerator && !control &&
        copyFocusedSelection())
        return true;
    // In the reading view Page Down and Page Up scroll it by a page.
    if ((id == IDM_NEXT_AYAH || id == IDM_PREVIOUS_AYAH) && notification == kFromAccelerator &&
        readingViewOn() && readingView()) {
        readingView()->scrollPages(id == IDM_NEXT_AYAH ? 1 : -1);
        return true;
    }
    for (const Command& command : kCommands) {
        if (command.id != id) continue;
        if (command.notification == kAnyNotification || command.notification == notification)
            command.handler(*this);
        return true;
    }
    return false;
}
