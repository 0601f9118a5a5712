#include "search/translation_search_win.h"

#include "app/ayah_navigation_win.h"
#include "app/process_state_win.h"
#include "resources/resource_ids.h"
#include "search/search_query.h"
#include "search/translation_scan.h"
#include "text/text_store.h"

#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>

bool addingResults = false;

namespace {

constexpr int kRelationAnd = 0; // "dan", index 0 of list 1011; "atau" is index 1

void showNotFoundBox(HWND owner) {
    MessageBoxA(owner, "Not Found", "Info", MB_OK);
}

NotFoundReporter reportNotFound = showNotFoundBox;

HWND mainControl(int id) {
    return GetDlgItem(process.mainWindow, id);
}

// ---- dialog 107 ----

void fillSurahChoice(HWND dialog) {
    char item[kResultLineSize];
    for (int surah = 1; surah <= kSearchedSurahs; ++surah) {
        std::snprintf(item, sizeof item, "%i - %s", surah, TextStore::surahName(surah));
        SendDlgItemMessageA(dialog, IDC_SCOPE_SURAH_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(item));
    }
}

BOOL onInitDialog(HWND dialog) {
    const SearchQuery& query = searchQuery;
    fillSurahChoice(dialog);
    SendDlgItemMessageA(dialog, IDC_WORD_RELATION, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>("dan"));
    SendDlgItemMessageA(dialog, IDC_WORD_RELATION, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>("atau"));
    SendDlgItemMessageA(dialog, IDC_WORD_RELATION, CB_SETCURSEL, query.allWords ? 0 : 1, 0);
    SendDlgItemMessageA(dialog, IDC_SCOPE_SURAH_LIST, CB_SETCURSEL, query.surah - 1, 0);
    CheckDlgButton(dialog, IDC_SEARCH_WHOLE_WORD, query.wholeWord ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SEARCH_MATCH_CASE, query.matchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(dialog, IDC_SCOPE_ALL, IDC_SCOPE_SURAH,
                     query.oneSurah ? IDC_SCOPE_SURAH : IDC_SCOPE_ALL);
    SetDlgItemTextA(dialog, IDC_WORD_1, query.words[0]);
    SetDlgItemTextA(dialog, IDC_WORD_2, query.words[1]);
    SetDlgItemTextA(dialog, IDC_WORD_3, query.words[2]);
    return TRUE; // the dialog manager sets the default focus
}

void storeQuery(HWND dialog) {
    SearchQuery& query = searchQuery;
    const int edits[SearchQuery::kWords] = {IDC_WORD_1, IDC_WORD_2, IDC_WORD_3};
    for (int i = 0; i < SearchQuery::kWords; ++i)
        GetDlgItemTextA(dialog, edits[i], query.words[i], SearchQuery::kWordSize);
    query.matchCase = IsDlgButtonChecked(dialog, IDC_SEARCH_MATCH_CASE) == BST_CHECKED;
    query.wholeWord = IsDlgButtonChecked(dialog, IDC_SEARCH_WHOLE_WORD) == BST_CHECKED;
    query.oneSurah = IsDlgButtonChecked(dialog, IDC_SCOPE_SURAH) == BST_CHECKED;
    query.surah =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_SCOPE_SURAH_LIST, CB_GETCURSEL, 0, 0)) + 1;
    query.allWords =
        SendDlgItemMessageA(dialog, IDC_WORD_RELATION, CB_GETCURSEL, 0, 0) == kRelationAnd;
}

BOOL onDialogCommand(HWND dialog, int id) {
    switch (id) {
    case IDOK:
        storeQuery(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    }
    return FALSE;
}

// ---- the result list ----

void setCountText(int count) {
    char text[kHitCountTextSize];
    formatHitCount(text, count);
    SendMessageA(mainControl(IDC_STATUS_BAR), SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text));
}

// Adds the hits to the emptied list, with its redrawing switched off if asked.
void fillResultList(HWND list, bool redrawSwitch) {
    if (redrawSwitch) SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    forEachTranslationHit(searchQuery, StoreTranslations(),
                          [list](int surah, int ayah, const char* text) {
                              char line[kResultLineSize];
                              formatResultLine(line, surah, ayah, text);
                              addingResults = true;
                              SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
                              addingResults = false;
                          });
    if (redrawSwitch) {
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

// ---- opening a result ----

// The text of the selected line of the result list; false without a selection.
bool selectedLine(HWND list, char (&line)[kResultLineSize]) {
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return false;
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return false;
    if (length < static_cast<LRESULT>(sizeof line)) {
        SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line));
        line[sizeof line - 1] = '\0';
        return true;
    }
    // Only the two numbers at the start matter: read a longer line through a buffer of
    // its own size and keep its beginning.
    char* whole = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + 1));
    if (!whole) return false;
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(whole));
    whole[length] = '\0';
    std::snprintf(line, sizeof line, "%s", whole);
    HeapFree(GetProcessHeap(), 0, whole);
    return true;
}

void markWordsInBold(int surah, int ayah) {
    HWND translation = mainControl(IDC_TRANSLATION);
    if (defaultCharFormat.cbSize != 0)
        SendMessageA(translation, EM_SETCHARFORMAT, SCF_ALL,
                     reinterpret_cast<LPARAM>(&defaultCharFormat));
    const Matcher matcher = chooseMatcher(searchQuery.matchCase, searchQuery.wholeWord);
    const char* text = TextStore::translation(surah, ayah);
    CHARFORMATA bold{};
    bold.cbSize = sizeof bold;
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    for (const char* word : searchQuery.words) {
        if (word[0] == '\0') continue;
        const int offset = matcher(text, word);
        if (offset >= 0)
            SendMessageA(translation, EM_SETSEL, offset,
                         offset + static_cast<LPARAM>(std::strlen(word)));
        else
            SendMessageA(translation, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        SendMessageA(translation, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bold));
    }
}

} // namespace

INT_PTR CALLBACK searchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog);
    case WM_COMMAND: return onDialogCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
}

void runTranslationSearch(HWND owner) {
    const INT_PTR result = DialogBoxParamA(
        process.instance, MAKEINTRESOURCEA(IDD_TRANSLATION_SEARCH), owner, searchDialogProc, 0);
    // Only OK searches: Cancel gives 2, a dialog that could not be made gives -1 or 0.
    if (result != IDOK) return;
    listTranslationHits(owner);
}

void listTranslationHits(HWND owner) {
    if (!hasSearchWords(searchQuery)) return;
    HWND list = mainControl(IDC_RESULT_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    fillResultList(list, resultListRedrawSwitchEnabled());
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    setCountText(count);
    if (count <= 0) reportNotFound(owner);
}

void openSearchResult() {
    if (addingResults) return;
    char line[kResultLineSize];
    if (!selectedLine(mainControl(IDC_RESULT_LIST), line)) return;
    int surah = 0, ayah = 0;
    if (!parseResultLine(line, &surah, &ayah)) return;
    if (surah < 1 || surah > kSearchedSurahs || ayah < 1 || ayah > TextStore::ayahCount(surah))
        return;
    selectAyah(surah, ayah);
    markWordsInBold(surah, ayah);
}

void setNotFoundReporter(NotFoundReporter reporter) {
    reportNotFound = reporter ? reporter : showNotFoundBox;
}

bool resultListRedrawSwitchEnabled() {
    char value[8] = "";
    const DWORD length =
        GetEnvironmentVariableA("NORAVEL_RESULT_LIST_REDRAW_EACH_LINE", value, sizeof value);
    return !(length > 0 && length < sizeof value && std::strcmp(value, "1") == 0);
}
