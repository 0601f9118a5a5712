// The translation search in process: the main window is created here as the reader makes
// it, dialog 107 is driven through its controls from a timer while it runs modally, and
// the result list, the status bar and the translation control are read back.
#include "search/translation_search_win.h"

#include "resources/resource_ids.h"
#include "search/search_query.h"
#include "search/translation_scan.h"
#include "settings/registry_win.h"
#include "settings/settings_win.h"
#include "text/text_store.h"

#include <commctrl.h>
#include <richedit.h>

#include "tests/support/modal_dialog_driver_win.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// The translation in force as the area shows it, for the byte matchers.
class ShownTranslations : public TranslationSource {
  public:
    int ayahCount(int surah) const override { return TextStore::ayahCount(surah); }
    const char* translation(int surah, int ayah) const override {
        held_ = shownTranslationOf(surah, ayah);
        return held_.c_str();
    }

  private:
    mutable std::string held_;
};

HWND control(int id) {
    return GetDlgItem(testReaderWindow(), id);
}

std::vector<std::string> resultLines() {
    HWND list = control(IDC_RESULT_LIST);
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string line(SendMessageA(list, LB_GETTEXTLEN, i, 0) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        lines.push_back(line.c_str());
    }
    return lines;
}

std::string countText() {
    char text[256] = "";
    HWND status = control(IDC_STATUS_BAR);
    if (LOWORD(SendMessageA(status, SB_GETTEXTLENGTHA, 1, 0)) < sizeof text)
        SendMessageA(status, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string itemText(HWND dialog, int id, int index) {
    char text[256] = "";
    if (SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, index, 0) < 256)
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

// ---- driving the modal dialog ----

constexpr int kCloseBox = 0; // closes the dialog with WM_CLOSE instead of a button

// Runs the search command with the dialog acted on by `action` and closed by `button`.
void searchThroughDialog(std::function<void(HWND)> action, int button) {
    ModalDialogDriver driver(nullptr, [&](HWND dialog) {
        if (action) action(dialog);
        if (button == kCloseBox)
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        else
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    });
    runTranslationSearch(testContext(), reader(), reader().searchMemory().translation);
    EXPECT_TRUE(driver.ran());
}

int notFoundReports = 0;
HWND notFoundOwner = nullptr;
void recordNotFound(HWND owner) {
    ++notFoundReports;
    notFoundOwner = owner;
}

// The main window as the reader makes it, with the Indonesian translation loaded.
class TranslationSearch : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const SettingsLocation& where = defaultSettingsLocation();
        deleteRegistryValue(where.machineRoot, where.key, where.subkey, kLanguageValue);
        deleteRegistryValue(where.userRoot, where.key, where.subkey, kLanguageValue);
        ASSERT_NE(createReaderWindow(), nullptr);
        ShowWindow(testReaderWindow(), SW_SHOW);
        ASSERT_EQ(TextStore::language(), 0);
    }
    static void TearDownTestSuite() {
        if (testReaderWindow()) DestroyWindow(testReaderWindow());
        pumpMessages();
    }
    void SetUp() override {
        reader().searchMemory().translation = SearchQuery();
        notFoundReports = 0;
        notFoundOwner = nullptr;
        testPrompts().onTell = [](HWND owner, const char* text, const char* caption) {
            if (std::string(text) == "Not Found" && std::string(caption) == "Info")
                recordNotFound(owner);
        };
    }
    void TearDown() override {
        testPrompts().reset();
        SetEnvironmentVariableA("NORAVEL_RESULT_LIST_REDRAW_EACH_LINE", nullptr);
    }

    static void searchFor(const char* word, int surah = 0) {
        reader().searchMemory().translation = SearchQuery();
        setSearchWord(reader().searchMemory().translation, 0, word);
        reader().searchMemory().translation.oneSurah = surah != 0;
        reader().searchMemory().translation.surah = surah ? surah : 1;
        listTranslationHits(testContext(), reader(), reader().searchMemory().translation);
    }
    // Selects the line that starts with `prefix` and reacts as to LBN_SELCHANGE.
    static void choose(const std::string& prefix) {
        HWND list = control(IDC_RESULT_LIST);
        const LRESULT index = SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(prefix.c_str()));
        ASSERT_NE(index, LB_ERR) << prefix;
        SendMessageA(list, LB_SETCURSEL, index, 0);
        openSearchResult(reader(), reader().searchMemory().translation);
    }
    // Whether every character of [start, end) of the translation control is bold (1),
    // none is (0), or they differ (-1).
    static int boldness(int start, int end) {
        HWND translation = control(IDC_TRANSLATION);
        SendMessageW(translation, EM_SETSEL, start, end);
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        SendMessageW(translation, EM_GETCHARFORMAT, SCF_SELECTION,
                     reinterpret_cast<LPARAM>(&format));
        if (!(format.dwMask & CFM_BOLD)) return -1;
        return (format.dwEffects & CFE_BOLD) ? 1 : 0;
    }
};

TEST_F(TranslationSearch, DialogOpensWithTheStoredQueryAndFlags) {
    setSearchWord(reader().searchMemory().translation, 0, "Allah");
    setSearchWord(reader().searchMemory().translation, 2, "rahmat");
    reader().searchMemory().translation.matchCase = true;
    reader().searchMemory().translation.allWords = false;
    reader().searchMemory().translation.oneSurah = true;
    reader().searchMemory().translation.surah = 114;
    searchThroughDialog(
        [](HWND dialog) {
            char caption[64] = "";
            GetWindowTextA(dialog, caption, sizeof caption);
            EXPECT_STREQ(caption, "Pencarian kata");
            EXPECT_EQ(windowText(GetDlgItem(dialog, IDC_WORD_1)), "Allah");
            EXPECT_EQ(windowText(GetDlgItem(dialog, IDC_WORD_2)), "");
            EXPECT_EQ(windowText(GetDlgItem(dialog, IDC_WORD_3)), "rahmat");
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SEARCH_MATCH_CASE), BST_CHECKED);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SEARCH_WHOLE_WORD), BST_UNCHECKED);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SCOPE_SURAH), BST_CHECKED);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SCOPE_ALL), BST_UNCHECKED);
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_WORD_RELATION, CB_GETCOUNT, 0, 0), 2);
            EXPECT_EQ(itemText(dialog, IDC_WORD_RELATION, 0), "dan");
            EXPECT_EQ(itemText(dialog, IDC_WORD_RELATION, 1), "atau");
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_WORD_RELATION, CB_GETCURSEL, 0, 0), 1);
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SCOPE_SURAH_LIST, CB_GETCOUNT, 0, 0), 114);
            EXPECT_EQ(itemText(dialog, IDC_SCOPE_SURAH_LIST, 0), "1 - Al Fatihah");
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SCOPE_SURAH_LIST, CB_GETCURSEL, 0, 0), 113);
        },
        IDCANCEL);
}

TEST_F(TranslationSearch, OkStoresTheFieldsAndListsTheHitsOfTheChosenSurah) {
    const std::string longWord(3000, 'w');
    searchThroughDialog(
        [&longWord](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_WORD_1, "tuhan");
            SetDlgItemTextA(dialog, IDC_WORD_2, "");
            SetDlgItemTextA(dialog, IDC_WORD_3, longWord.c_str());
            SendDlgItemMessageA(dialog, IDC_WORD_RELATION, CB_SETCURSEL, 1, 0);
            CheckDlgButton(dialog, IDC_SEARCH_WHOLE_WORD, BST_CHECKED);
            CheckRadioButton(dialog, IDC_SCOPE_ALL, IDC_SCOPE_SURAH, IDC_SCOPE_SURAH);
            SendDlgItemMessageA(dialog, IDC_SCOPE_SURAH_LIST, CB_SETCURSEL, 1, 0);
        },
        IDOK);
    EXPECT_STREQ(reader().searchMemory().translation.words[0], "tuhan");
    EXPECT_STREQ(reader().searchMemory().translation.words[1], "");
    EXPECT_EQ(std::string(reader().searchMemory().translation.words[2]), longWord.substr(0, 2047));
    EXPECT_FALSE(reader().searchMemory().translation.allWords);
    EXPECT_TRUE(reader().searchMemory().translation.wholeWord);
    EXPECT_FALSE(reader().searchMemory().translation.matchCase);
    EXPECT_TRUE(reader().searchMemory().translation.oneSurah);
    EXPECT_EQ(reader().searchMemory().translation.surah, 2);

    std::vector<std::string> expected;
    char line[kResultLineSize];
    // The byte matchers over the shown UTF-8 texts count the same for these ASCII words.
    for (const SearchHit& hit :
         scanTranslations(reader().searchMemory().translation, ShownTranslations())) {
        formatResultLine(line, hit.surah, hit.ayah,
                         shownTranslationOf(hit.surah, hit.ayah).c_str());
        expected.push_back(line);
    }
    ASSERT_GT(expected.size(), 12u);
    EXPECT_EQ(resultLines(), expected);
    EXPECT_EQ(countText(), "Found " + std::to_string(expected.size()) + " items");
    EXPECT_EQ(notFoundReports, 0);
    for (const std::string& each : resultLines())
        EXPECT_EQ(each.rfind("2:", 0), 0u) << each;
}

TEST_F(TranslationSearch, CancelLeavesResultsAndQueryUnchangedAfterEditing) {
    searchFor("Musa");
    setSearchWord(reader().searchMemory().translation, 1, "Firaun");
    const SearchQuery before = reader().searchMemory().translation;
    const std::vector<std::string> linesBefore = resultLines();
    const std::string countBefore = countText();
    ASSERT_GT(linesBefore.size(), 100u);
    for (int button : {static_cast<int>(IDCANCEL), kCloseBox}) { // the close box acts as Cancel
        searchThroughDialog(
            [](HWND dialog) {
                SetDlgItemTextA(dialog, IDC_WORD_1, "lain");
                SetDlgItemTextA(dialog, IDC_WORD_2, "");
                SendDlgItemMessageA(dialog, IDC_WORD_RELATION, CB_SETCURSEL, 1, 0);
                CheckDlgButton(dialog, IDC_SEARCH_MATCH_CASE, BST_CHECKED);
                CheckRadioButton(dialog, IDC_SCOPE_ALL, IDC_SCOPE_SURAH, IDC_SCOPE_SURAH);
            },
            button);
        EXPECT_EQ(std::memcmp(&reader().searchMemory().translation, &before, sizeof before), 0);
        EXPECT_EQ(resultLines(), linesBefore);
        EXPECT_EQ(countText(), countBefore);
    }
}

TEST_F(TranslationSearch, ThreeEmptyWordsChangeNothing) {
    searchFor("Musa");
    const std::vector<std::string> linesBefore = resultLines();
    const std::string countBefore = countText();
    searchThroughDialog(
        [](HWND dialog) {
            for (int id : {IDC_WORD_1, IDC_WORD_2, IDC_WORD_3})
                SetDlgItemTextA(dialog, id, "");
        },
        IDOK);
    EXPECT_FALSE(hasSearchWords(reader().searchMemory().translation));
    EXPECT_EQ(resultLines(), linesBefore);
    EXPECT_EQ(countText(), countBefore);
    EXPECT_EQ(notFoundReports, 0);
}

TEST_F(TranslationSearch, CountTextsForNoneOneAndTwelveHits) {
    searchFor("zzqqxx");
    EXPECT_TRUE(resultLines().empty());
    EXPECT_EQ(countText(), "Not Found");
    EXPECT_EQ(notFoundReports, 1);
    EXPECT_EQ(notFoundOwner, testReaderWindow());

    searchFor(shownTranslationOf(1, 4).c_str(), 1); // the whole text of 1:4, in surah 1 only
    EXPECT_EQ(resultLines(),
              std::vector<std::string>{"1:4 " + std::string(shownTranslationOf(1, 4).c_str())});
    EXPECT_EQ(countText(), "Found 1 Item");

    ASSERT_EQ(TextStore::ayahCount(65), 12);
    searchFor(" ", 65); // every ayah of surah 65 has more than one word
    EXPECT_EQ(resultLines().size(), 12u);
    EXPECT_EQ(countText(), "Found 12 items");
    EXPECT_EQ(notFoundReports, 1);
}

TEST_F(TranslationSearch, ChoosingTheLineOf2_255ShowsItWithEachWordBoldAtItsFirstOccurrence) {
    searchFor("kursi", 2);
    setSearchWord(reader().searchMemory().translation, 1, "");
    setSearchWord(reader().searchMemory().translation, 2, "yang");
    choose("2:255 ");
    EXPECT_EQ(SendMessageA(control(IDC_SURAH_LIST), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(control(IDC_AYAH_LIST), CB_GETCURSEL, 0, 0), 254);
    const std::string text = shownTranslationOf(2, 255);
    ASSERT_EQ(windowText(control(IDC_TRANSLATION)), text);

    // Either case matches: "Kursi" and the "Yang" that comes before any "yang".
    const int kursi = static_cast<int>(text.find("Kursi"));
    const int yangUpper = static_cast<int>(text.find("Yang"));
    const int yangLower = static_cast<int>(text.find("yang"));
    ASSERT_TRUE(kursi > 0 && yangUpper > 0 && yangLower > yangUpper);
    EXPECT_EQ(boldness(kursi, kursi + 5), 1);
    EXPECT_EQ(boldness(yangUpper, yangUpper + 4), 1);
    EXPECT_EQ(boldness(kursi - 1, kursi), 0);
    EXPECT_EQ(boldness(kursi + 5, kursi + 6), 0);
    EXPECT_EQ(boldness(yangLower, yangLower + 4), 0);
    EXPECT_EQ(boldness(0, yangUpper), 0);

    // With match case the flags choose the exact matcher: "kursi" is not found and the
    // first lower-case "yang" turns bold instead.
    reader().searchMemory().translation.matchCase = true;
    choose("2:255 ");
    EXPECT_EQ(boldness(kursi, kursi + 5), 0);
    EXPECT_EQ(boldness(yangUpper, yangUpper + 4), 0);
    EXPECT_EQ(boldness(yangLower, yangLower + 4), 1);

    // Another ayah shows without bold.
    selectAyah(2, 256);
    ASSERT_EQ(windowText(control(IDC_TRANSLATION)), shownTranslationOf(2, 256));
    EXPECT_EQ(boldness(0, -1), 0);
    choose("2:255 ");
    selectAyah(2, 255);
    EXPECT_EQ(boldness(0, -1), 0);
}

// The result list as the system may drive it while the search adds its lines: the first
// line added becomes the selection, and the reader is told, as its LBN_SELCHANGE would.
WNDPROC listProcedure = nullptr;
int linesAdded = 0;
LRESULT CALLBACK selectingWhileFilled(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(listProcedure, list, message, wParam, lParam);
    if (message == LB_ADDSTRING && ++linesAdded == 1) {
        CallWindowProcW(listProcedure, list, LB_SETCURSEL, static_cast<WPARAM>(result), 0);
        openSearchResult(reader(), reader().searchMemory().translation);
    }
    return result;
}

TEST_F(TranslationSearch, LinesThatNameNoAyahAndAddingResultsOpenNothing) {
    selectAyah(3, 7);
    HWND list = control(IDC_RESULT_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const char* line : {"7", "115:1 x", "2:287 x", "0:1 x", "Not Found", "5:5 x"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    openSearchResult(reader(), reader().searchMemory().translation); // no selection
    for (int index = 0; index < 5; ++index) {
        SendMessageA(list, LB_SETCURSEL, index, 0);
        openSearchResult(reader(), reader().searchMemory().translation);
        EXPECT_EQ(currentSurah(), 3) << index;
        EXPECT_EQ(currentAyah(), 7) << index;
    }
    SendMessageA(list, LB_SETCURSEL, 5, 0);
    openSearchResult(reader(), reader().searchMemory().translation);
    EXPECT_EQ(currentSurah(), 5);
    EXPECT_EQ(currentAyah(), 5);

    // A selection that changes while the search fills the list opens nothing.
    selectAyah(3, 7);
    listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(selectingWhileFilled)));
    linesAdded = 0;
    searchFor("Allah", 2);
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProcedure));
    ASSERT_GT(linesAdded, 0);
    EXPECT_EQ(currentSurah(), 3);
    EXPECT_EQ(currentAyah(), 7);
}

TEST_F(TranslationSearch, RedrawSwitchChangesNeitherLinesNorCountAndLeavesTheListDrawing) {
    HWND list = control(IDC_RESULT_LIST);
    searchFor("Allah", 2);
    const std::vector<std::string> switched = resultLines();
    const std::string count = countText();
    ASSERT_GT(switched.size(), 100u);
    EXPECT_EQ(count, "Found " + std::to_string(switched.size()) + " items");
    // Redrawing is on again: a later change to the list asks for a repaint.
    ValidateRect(list, nullptr);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("1:1 x"));
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(list, &update, FALSE));

    SetEnvironmentVariableA("NORAVEL_RESULT_LIST_REDRAW_EACH_LINE", "1");
    EXPECT_FALSE(resultListRedrawSwitchEnabled());
    searchFor("Allah", 2);
    EXPECT_EQ(resultLines(), switched);
    EXPECT_EQ(countText(), count);
    SetEnvironmentVariableA("NORAVEL_RESULT_LIST_REDRAW_EACH_LINE", nullptr);
    EXPECT_TRUE(resultListRedrawSwitchEnabled());
}

} // namespace
