#include "app/commands_win.h"

#include "app/ayah_navigation_win.h"
#include "app/bookmarks_win.h"
#include "app/clipboard_win.h"
#include "app/go_to_dialog_win.h"
#include "app/keyboard_win.h"
#include "app/main_window_win.h"
#include "app/night_scheme_win.h"
#include "pages/browser_pages_win.h"
#include "recitation/recitation_dialog_win.h"
#include "recitation/recitation_player_win.h"
#include "picture/bitmap_view_win.h"
#include "picture/picture_scale.h"
#include "resources/resource_ids.h"
#include "search/arabic_search_win.h"
#include "search/translation_search_win.h"
#include "settings/language_switch_win.h"
#include "settings/settings_dialog_win.h"
#include "settings/settings_win.h"

namespace {

using CommandHandler = void (*)(HWND window, HWND control);

// Notification filter of a row: the command runs for any notification, or only for one.
constexpr int kAnyNotification = -1;

struct Command {
    int id;
    int notification;
    CommandHandler handler;
};

void exitProgram(HWND window, HWND) {
    DestroyWindow(window);
}

void listHistory(HWND, HWND) {
    listReadingHistory();
}

void chooseSurah(HWND, HWND) {
    selectAyah(currentSurah(), 1);
}

void chooseAyah(HWND, HWND) {
    showAyah(currentSurah(), currentAyah());
}

void chooseLanguage(HWND window, HWND) {
    switchLanguage(
        static_cast<int>(SendDlgItemMessageA(window, IDC_LANGUAGE_LIST, CB_GETCURSEL, 0, 0)));
}

void doNothing(HWND, HWND) {}

constexpr int kSurahs = 114;

void nextSurah(HWND, HWND) {
    const int surah = currentSurah();
    selectAyah(surah >= kSurahs ? 1 : surah + 1, 1);
}

void previousSurah(HWND, HWND) {
    const int surah = currentSurah();
    selectAyah(surah <= 1 ? kSurahs : surah - 1, 1);
}

// View > Zoom in, Zoom out, Actual size: the picture's zoom a step up or down, or back to
// 100%, remembered for the user.
void zoomPictureTo(int (*next)(int)) {
    HWND view = bitmapViewWindow();
    if (!view) return;
    const int zoom = next(bitmapViewZoom(view));
    setBitmapViewZoom(view, zoom);
    writePictureZoom(bitmapViewZoom(view));
}

// The notification code of a command that comes from the accelerator table.
constexpr int kFromAccelerator = 1;

// One row per command: which id, with which notification, leads to what. A row whose
// notification does not match still counts as handled (the control's other notifications
// are ignored on purpose).
const Command kCommands[] = {
    {IDM_EXIT, kAnyNotification, exitProgram},
    {IDM_COPY_PICTURE, kAnyNotification, [](HWND w, HWND) { copyAyahPicture(w); }},
    {IDM_COPY_ARABIC_AYAH, kAnyNotification, [](HWND w, HWND) { copyArabicAyah(w); }},
    {IDM_COPY_ARABIC_SURAH, kAnyNotification, [](HWND w, HWND) { copyArabicSurah(w); }},
    {IDM_COPY_TRANSLATION, kAnyNotification, [](HWND w, HWND) { copyTranslation(w); }},
    {IDM_COPY_RESULTS, kAnyNotification, [](HWND w, HWND) { copyResultList(w); }},
    {IDM_COMMENTARY_PAGE, kAnyNotification, [](HWND, HWND) { openCommentaryPage(); }},
    {IDM_HELP_PAGE, kAnyNotification, [](HWND, HWND) { openHelpPage(); }},
    {IDM_ABOUT, kAnyNotification, [](HWND w, HWND) { showAbout(w); }},
    {IDC_TRANSLATION_SEARCH, kAnyNotification, [](HWND w, HWND) { runTranslationSearch(w); }},
    {IDC_ARABIC_SEARCH, kAnyNotification, [](HWND w, HWND) { showArabicSearch(w); }},
    {IDC_TAJWID, kAnyNotification, [](HWND, HWND) { RecitationPlayer::launchTajwid(); }},
    {IDC_LISTEN, kAnyNotification, [](HWND, HWND) { RecitationPlayer::onListenCommand(); }},
    {IDC_CONTINUE, kAnyNotification, doNothing}, // the box ticks itself; the player reads it
    {IDC_RESULT_LIST, LBN_SELCHANGE, [](HWND, HWND) { openSearchResult(); }},
    {IDC_SURAH_LIST, CBN_SELENDOK, chooseSurah},
    {IDC_AYAH_LIST, CBN_SELENDOK, chooseAyah},
    {IDC_LANGUAGE_LIST, CBN_SELENDOK, chooseLanguage},
    {IDM_SETTINGS, kAnyNotification, [](HWND w, HWND) { showSettingsDialog(w); }},
    {IDM_READING_HISTORY, kAnyNotification, listHistory},
    {IDM_NEXT_AYAH, kAnyNotification, [](HWND w, HWND) { stepAyahInLists(w, 1); }},
    {IDM_PREVIOUS_AYAH, kAnyNotification, [](HWND w, HWND) { stepAyahInLists(w, -1); }},
    {IDM_NEXT_SURAH, kAnyNotification, nextSurah},
    {IDM_PREVIOUS_SURAH, kAnyNotification, previousSurah},
    {IDM_GO_TO, kAnyNotification, [](HWND w, HWND) { showGoToDialog(w); }},
    {IDM_ADD_BOOKMARK, kAnyNotification, [](HWND w, HWND) { addBookmarkForCurrentAyah(w); }},
    {IDM_BOOKMARKS, kAnyNotification, [](HWND w, HWND) { showBookmarksDialog(w); }},
    {IDM_RECITATION, kAnyNotification, [](HWND w, HWND) { openRecitationDialog(w); }},
    {IDM_NIGHT, kAnyNotification, [](HWND w, HWND) { toggleNightScheme(w); }},
    {IDM_ZOOM_IN, kAnyNotification, [](HWND, HWND) { zoomPictureTo(zoomedIn); }},
    {IDM_ZOOM_OUT, kAnyNotification, [](HWND, HWND) { zoomPictureTo(zoomedOut); }},
    {IDM_ZOOM_RESET, kAnyNotification,
     [](HWND, HWND) { zoomPictureTo([](int) { return kDefaultZoom; }); }},
};

} // namespace

bool handleMainWindowCommand(HWND window, int id, int notification, HWND control) {
    if (id >= IDM_BOOKMARK_FIRST && id <= IDM_BOOKMARK_LAST) {
        openRecentBookmark(id - IDM_BOOKMARK_FIRST);
        return true;
    }
    // Ctrl+C copies the translation unless the focused control has a selection to copy.
    if (id == IDM_COPY_TRANSLATION && notification == kFromAccelerator && !control &&
        copyFocusedSelection())
        return true;
    for (const Command& command : kCommands) {
        if (command.id != id) continue;
        if (command.notification == kAnyNotification || command.notification == notification)
            command.handler(window, control);
        return true;
    }
    return false;
}
