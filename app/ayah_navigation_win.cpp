#include "app/ayah_navigation_win.h"

#include "app/ayah_name.h"
#include "app/main_window_win.h"
#include "app/process_state_win.h"
#include "app/resume_win.h"
#include "base/guards_win.h"
#include "picture/bitmap_view_win.h"
#include "picture/picture_loader_win.h"
#include "resources/resource_ids.h"
#include "text/juz.h"
#include "text/text_store.h"

#include <commctrl.h>

#include <cstdio>

HBITMAP currentPicture = nullptr;
CHARFORMATA defaultCharFormat{};

namespace {

constexpr int kSurahs = 114;
constexpr int kLineSize = 1024; // one formatted line holds at most 1023 characters

HWND control(int id) {
    return GetDlgItem(process.mainWindow, id);
}

LRESULT sendTo(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(control(id), message, wParam, lParam);
}

void addListItem(int id, const char* text) {
    sendTo(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

bool isSurah(int surah) {
    return surah >= 1 && surah <= kSurahs;
}

// Applies the captured character format to all the text, which clears bold search marks.
// Before the format has been captured (the first display) there is nothing to clear.
void clearTranslationMarks() {
    if (defaultCharFormat.cbSize == 0) return;
    sendTo(IDC_TRANSLATION, EM_SETCHARFORMAT, SCF_ALL,
           reinterpret_cast<LPARAM>(&defaultCharFormat));
}

void showTranslation(int surah, int ayah) {
    SetWindowTextA(control(IDC_TRANSLATION), TextStore::translation(surah, ayah));
}

// The picture's window text is what a screen reader speaks for it: the ayah in Unicode.
void nameAyahPicture(HWND view, int surah, int ayah) {
    const std::u16string name =
        spokenAyahName(surah, ayah, TextStore::surahName(surah), TextStore::arabic(surah, ayah));
    SetWindowTextW(view, reinterpret_cast<const wchar_t*>(name.c_str()));
}

} // namespace

void fillNavigationLists() {
    char item[kLineSize];
    for (int surah = 1; surah <= kSurahs; ++surah) {
        std::snprintf(item, sizeof item, "%i - %s", surah, TextStore::surahName(surah));
        addListItem(IDC_SURAH_LIST, item);
    }
    // The recitation scopes (kScopeNames of the recitation rules): 1, 2, 3.
    addListItem(IDC_RECITATION_SCOPE, "Surat");
    addListItem(IDC_RECITATION_SCOPE, "Total");
    addListItem(IDC_RECITATION_SCOPE, "Ayat");
    sendTo(IDC_RECITATION_SCOPE, CB_SETCURSEL, 1);
    addListItem(IDC_LANGUAGE_LIST, "Indonesia");
    addListItem(IDC_LANGUAGE_LIST, "English");
    // Only the two known languages have an item; any other setting leaves no selection.
    if (process.language == 0 || process.language == 1)
        sendTo(IDC_LANGUAGE_LIST, CB_SETCURSEL, process.language);
}

void fillAyahList(int surah) {
    if (!isSurah(surah)) return;
    sendTo(IDC_AYAH_LIST, CB_RESETCONTENT);
    char item[16];
    const int count = TextStore::ayahCount(surah);
    for (int ayah = 1; ayah <= count; ++ayah) {
        std::snprintf(item, sizeof item, "%i", ayah);
        addListItem(IDC_AYAH_LIST, item);
    }
}

void selectAyah(int surah, int ayah) {
    if (!isSurah(surah)) return;
    clearTranslationMarks();
    sendTo(IDC_SURAH_LIST, CB_SETCURSEL, surah - 1);
    fillAyahList(surah);
    sendTo(IDC_AYAH_LIST, CB_SETCURSEL, ayah - 1);
    showTranslation(surah, ayah);
    showAyahPicture(surah, ayah);
}

void showAyah(int surah, int ayah) {
    if (!isSurah(surah)) return;
    clearTranslationMarks();
    showTranslation(surah, ayah);
    showAyahPicture(surah, ayah);
}

void showAyahPicture(int surah, int ayah) {
    if (!isSurah(surah)) return;
    char path[kUtf8PathBytes];
    const bool named =
        formatPicturePath(path, sizeof path, process.programDirectoryUtf8, surah, ayah);
    if (currentPicture) {
        DeleteObject(currentPicture);
        currentPicture = nullptr;
    }
    // A path cut short by the buffer would name another file: no picture then.
    WindowDc dc(process.mainWindow);
    if (named) currentPicture = picture.load(path, dc.get());

    if (HWND view = bitmapViewWindow()) {
        SendMessageA(view, WM_SETPICTURE, 0, reinterpret_cast<LPARAM>(currentPicture));
        // The view draws the ayah from its files at the screen's scale; the loaded bitmap
        // stays what the clipboard copy takes.
        char doublePath[kUtf8PathBytes];
        if (named && currentPicture)
            showBitmapViewFiles(view, path,
                                formatPicturePath(doublePath, sizeof doublePath,
                                                  process.programDirectoryUtf8, surah, ayah,
                                                  kDoublePictureSet)
                                    ? doublePath
                                    : nullptr);
        nameAyahPicture(view, surah, ayah);
        InvalidateRect(view, nullptr, TRUE);
    }

    char juz[32];
    std::snprintf(juz, sizeof juz, "JUZ %i", juzOf(surah, ayah));
    sendTo(IDC_STATUS_BAR, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(juz));
    readingHistory.add(surah, ayah);
    rememberShownAyah(surah, ayah);
}

int currentSurah() {
    return static_cast<int>(sendTo(IDC_SURAH_LIST, CB_GETCURSEL)) + 1;
}

int currentAyah() {
    return static_cast<int>(sendTo(IDC_AYAH_LIST, CB_GETCURSEL)) + 1;
}

void listReadingHistory() {
    sendTo(IDC_RESULT_LIST, LB_RESETCONTENT);
    char line[kLineSize];
    for (int age = 0; age < readingHistory.size(); ++age) {
        const uint32_t entry = readingHistory.newest(age);
        const int surah = ReadingHistory::surahOf(entry);
        const int ayah = ReadingHistory::ayahOf(entry);
        std::snprintf(line, sizeof line, "%i:%i %s", surah, ayah,
                      TextStore::translation(surah, ayah));
        sendTo(IDC_RESULT_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
}
