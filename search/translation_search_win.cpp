#include "search/translation_search_win.h"

#include "base/utf8_text.h"
#include "base/wide_text_win.h"
#include "resources/resource_ids.h"
#include "search/search_query.h"
#include "search/translation_scan.h"
#include "search/unicode_search.h"
#include "text/text_store.h"
#include "text/translations_win.h"

#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>

namespace {

constexpr int kRelationAnd = 0; // "dan", index 0 of list 1011; "atau" is index 1

// The result list whose lines are being added: its selection notifications mean nothing
// meanwhile.
HWND listBeingFilled = nullptr;

void addComboItem(HWND dialog, int id, const char* text) {
    SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(wideFromUtf8(text).c_str()));
}

void setDialogText(HWND dialog, int id, const char* utf8) {
    SetDlgItemTextW(dialog, id, wideFromUtf8(utf8).c_str());
}

// The field's text in UTF-8, cut at a whole character to fit size bytes with the NUL.
void readDialogText(HWND dialog, int id, char* out, size_t size) {
    out[0] = '\0';
    HWND field = GetDlgItem(dialog, id);
    const int length = field ? GetWindowTextLengthW(field) : 0;
    if (length <= 0) return;
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    wide.resize(static_cast<size_t>(GetWindowTextW(field, &wide[0], length + 1)));
    const std::string utf8 = utf8FromWide(wide.c_str());
    copyUtf8Bounded(out, size, utf8.data(), utf8.size());
}

// The chosen language folded for the last search, kept while the language and the folding
// options stay the same (folding costs more than a search).
struct FoldedCache {
    int language = -1;
    FoldRules rules;
    FoldedTranslation text;
};

FoldRules foldRulesFor(const SearchQuery& query) {
    FoldRules rules;
    rules.letters = chosenTranslationLanguage().letters;
    rules.matchCase = query.matchCase;
    rules.ignoreAccents = query.ignoreAccents;
    return rules;
}

const FoldedTranslation& foldedChosenTranslation(const FoldRules& rules) {
    static std::unique_ptr<FoldedCache> cache;
    if (!cache) cache = std::make_unique<FoldedCache>();
    if (cache->language != chosenTranslation() || cache->rules.letters != rules.letters ||
        cache->rules.matchCase != rules.matchCase ||
        cache->rules.ignoreAccents != rules.ignoreAccents) {
        cache->language = -1;
        cache->text.build(chosenTranslationText(), rules);
        cache->language = chosenTranslation();
        cache->rules = rules;
    }
    return cache->text;
}

// ---- dialog 107 ----

void fillSurahChoice(HWND dialog) {
    char item[kResultLineSize];
    for (int surah = 1; surah <= kSearchedSurahs; ++surah) {
        std::snprintf(item, sizeof item, "%i - %s", surah, TextStore::surahName(surah));
        addComboItem(dialog, IDC_SCOPE_SURAH_LIST, item);
    }
}

SearchQuery* queryOf(HWND dialog) {
    return reinterpret_cast<SearchQuery*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

BOOL onInitDialog(HWND dialog, LPARAM parameter) {
    SetWindowLongPtrW(dialog, DWLP_USER, parameter);
    const SearchQuery* shown = queryOf(dialog);
    const SearchQuery query = shown ? *shown : SearchQuery{};
    fillSurahChoice(dialog);
    addComboItem(dialog, IDC_WORD_RELATION, "dan");
    addComboItem(dialog, IDC_WORD_RELATION, "atau");
    SendDlgItemMessageW(dialog, IDC_WORD_RELATION, CB_SETCURSEL, query.allWords ? 0 : 1, 0);
    SendDlgItemMessageW(dialog, IDC_SCOPE_SURAH_LIST, CB_SETCURSEL, query.surah - 1, 0);
    CheckDlgButton(dialog, IDC_SEARCH_WHOLE_WORD, query.wholeWord ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SEARCH_MATCH_CASE, query.matchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SEARCH_IGNORE_ACCENTS,
                   query.ignoreAccents ? BST_CHECKED : BST_UNCHECKED);
    // A language written without spaces has no whole words to look for.
    if (!chosenTranslationLanguage().spacedWords) {
        CheckDlgButton(dialog, IDC_SEARCH_WHOLE_WORD, BST_UNCHECKED);
        EnableWindow(GetDlgItem(dialog, IDC_SEARCH_WHOLE_WORD), FALSE);
    }
    CheckRadioButton(dialog, IDC_SCOPE_ALL, IDC_SCOPE_SURAH,
                     query.oneSurah ? IDC_SCOPE_SURAH : IDC_SCOPE_ALL);
    setDialogText(dialog, IDC_WORD_1, query.words[0]);
    setDialogText(dialog, IDC_WORD_2, query.words[1]);
    setDialogText(dialog, IDC_WORD_3, query.words[2]);
    return TRUE; // the dialog manager sets the default focus
}

void storeQuery(HWND dialog) {
    SearchQuery* stored = queryOf(dialog);
    if (!stored) return;
    SearchQuery& query = *stored;
    const int edits[SearchQuery::kWords] = {IDC_WORD_1, IDC_WORD_2, IDC_WORD_3};
    for (int i = 0; i < SearchQuery::kWords; ++i)
        readDialogText(dialog, edits[i], query.words[i], SearchQuery::kWordSize);
    query.matchCase = IsDlgButtonChecked(dialog, IDC_SEARCH_MATCH_CASE) == BST_CHECKED;
    query.wholeWord = IsDlgButtonChecked(dialog, IDC_SEARCH_WHOLE_WORD) == BST_CHECKED;
    query.ignoreAccents = IsDlgButtonChecked(dialog, IDC_SEARCH_IGNORE_ACCENTS) == BST_CHECKED;
    query.oneSurah = IsDlgButtonChecked(dialog, IDC_SCOPE_SURAH) == BST_CHECKED;
    query.surah =
        static_cast<int>(SendDlgItemMessageW(dialog, IDC_SCOPE_SURAH_LIST, CB_GETCURSEL, 0, 0)) + 1;
    query.allWords =
        SendDlgItemMessageW(dialog, IDC_WORD_RELATION, CB_GETCURSEL, 0, 0) == kRelationAnd;
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

// Adds the hits to the emptied list, with its redrawing switched off if asked.
void fillResultList(HWND list, const SearchQuery& query, bool redrawSwitch) {
    if (redrawSwitch) SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    listBeingFilled = list;
    const FoldRules rules = foldRulesFor(query);
    const TranslationText& text = chosenTranslationText();
    for (const SearchHit& hit : searchFolded(query, foldedChosenTranslation(rules), rules,
                                             chosenTranslationLanguage().spacedWords)) {
        const std::string ayah(text.ayah(hit.surah, hit.ayah));
        char line[kResultLineSize];
        formatResultLine(line, hit.surah, hit.ayah, ayah.c_str());
        // Cut at a whole character: half a character converts to nothing.
        char whole[kResultLineSize];
        copyUtf8Bounded(whole, sizeof whole, line, std::strlen(line));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromUtf8(whole).c_str()));
    }
    listBeingFilled = nullptr;
    if (redrawSwitch) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

// ---- opening a result ----

// The beginning of the selected line of the result list (where its numbers are); false
// without a selection.
bool selectedLine(HWND list, char (&line)[kResultLineSize]) {
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return false;
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length < 0) return false;
    std::wstring whole(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&whole[0]));
    if (copied == LB_ERR) return false;
    whole.resize(static_cast<size_t>(copied < length ? copied : length));
    const std::string utf8 = utf8FromWide(whole.c_str());
    copyUtf8Bounded(line, sizeof line, utf8.data(), utf8.size());
    return true;
}

void markWordsInBold(ReaderView& reader, const SearchQuery& query, int surah, int ayah) {
    reader.clearTranslationMarks();
    for (const auto& mark :
         searchMarks(chosenTranslationText().ayah(surah, ayah), query, foldRulesFor(query),
                     chosenTranslationLanguage().spacedWords))
        reader.boldTranslationRange(mark.first, mark.second);
}

} // namespace

INT_PTR CALLBACK searchDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) try {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog, lParam);
    case WM_COMMAND: return onDialogCommand(dialog, LOWORD(wParam));
    }
    return FALSE;
} catch (...) { // out of memory: the dialog stays as it is
    return TRUE;
}

void runTranslationSearch(const ProgramContext& context, ReaderView& reader, SearchQuery& query) {
    const INT_PTR result =
        DialogBoxParamW(context.instance, MAKEINTRESOURCEW(IDD_TRANSLATION_SEARCH), reader.window(),
                        searchDialogProc, reinterpret_cast<LPARAM>(&query));
    // Only OK searches: Cancel gives 2, a dialog that could not be made gives -1 or 0.
    if (result != IDOK) return;
    listTranslationHits(context, reader, query);
}

void listTranslationHits(const ProgramContext& context, ReaderView& reader,
                         const SearchQuery& query) {
    if (!hasSearchWords(query)) return;
    HWND list = reader.resultList();
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    fillResultList(list, query, resultListRedrawSwitchEnabled());
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    char text[kHitCountTextSize];
    formatHitCount(text, count);
    reader.setStatusText(1, text);
    if (count <= 0) context.prompts->tell(reader.window(), "Not Found", "Info", 0);
}

void openSearchResult(ReaderView& reader, const SearchQuery& query) {
    HWND list = reader.resultList();
    if (list && list == listBeingFilled) return;
    char line[kResultLineSize];
    if (!selectedLine(list, line)) return;
    int surah = 0, ayah = 0;
    if (!parseResultLine(line, &surah, &ayah)) return;
    if (surah < 1 || surah > kSearchedSurahs || ayah < 1 || ayah > TextStore::ayahCount(surah))
        return;
    reader.goToAyah({surah, ayah});
    markWordsInBold(reader, query, surah, ayah);
}

bool resultListRedrawSwitchEnabled() {
    wchar_t value[8] = L"";
    const DWORD length = GetEnvironmentVariableW(L"NORAVEL_RESULT_LIST_REDRAW_EACH_LINE", value, 8);
    return !(length > 0 && length < 8 && std::wcscmp(value, L"1") == 0);
}
