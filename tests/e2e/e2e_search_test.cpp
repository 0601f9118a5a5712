// Journeys through the translation search of the real reader, driven from a separate
// process: the button "Cari(ind/eng)", typing into dialog 107, ticking its boxes, OK, the
// result list with the count in the status bar, and opening a result line.
#include "reader_session_win.h"

#include "resources/resource_ids.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kSettingKey[] = "SOFTWARE\\KELVANE\\QURAN\\SETTING";

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return text;
}

// The language the reader loads: the user's "Bahasa" value (with no language code stored,
// which would win over it), removed again afterwards.
class LanguageChoice {
  public:
    explicit LanguageChoice(DWORD language) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Bahasa", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&language),
                           sizeof language);
            // A translation chosen by its code would win over "Bahasa".
            RegDeleteValueA(key, "TranslationLanguage");
            RegCloseKey(key);
        }
    }
    ~LanguageChoice() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingKey, 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueA(key, "Bahasa");
            RegDeleteValueA(key, "TranslationLanguage");
            RegCloseKey(key);
        }
    }
    LanguageChoice(const LanguageChoice&) = delete;
    LanguageChoice& operator=(const LanguageChoice&) = delete;
};

// Types a text into an edit of another process as key presses would (one WM_CHAR each).
void type(HWND edit, const std::string& text) {
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    for (char c : text)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

struct Query {
    std::string word;
    bool wholeWord = false;
    bool matchCase = false;
};

class SearchJourney : public ::testing::Test {
  protected:
    void startReader(const std::string& exePath = windowsPathOf(NORAVEL_READER_EXE)) {
        session = std::make_unique<ReaderSession>(exePath);
        ASSERT_TRUE(reader().start());
        SetWindowPos(reader().window(), HWND_TOP, 0, 0, 900, 700, SWP_SHOWWINDOW);
        ASSERT_TRUE(reader().waitIdle());
    }
    void closeReader() {
        if (!session) return;
        if (reader().window()) {
            PostMessageA(reader().window(), WM_CLOSE, 0, 0);
            EXPECT_EQ(reader().waitForExit(), 0);
        }
        session.reset();
    }
    void TearDown() override { closeReader(); }
    ReaderSession& reader() const { return *session; }

    // Opens the dialog with the button, types and ticks the query, presses OK and returns
    // the milliseconds from OK until the reader is idle again with the list filled.
    DWORD search(const Query& query) {
        PostMessageA(reader().window(), WM_COMMAND, MAKEWPARAM(IDC_TRANSLATION_SEARCH, BN_CLICKED),
                     reinterpret_cast<LPARAM>(reader().child(IDC_TRANSLATION_SEARCH)));
        // Visible only once its WM_INITDIALOG has filled the fields with the last query:
        // what is typed before that would be overwritten.
        HWND dialog = reader().waitForWindow("#32770", "Pencarian kata");
        if (!dialog) {
            ADD_FAILURE() << "dialog 107 did not open";
            return 0;
        }
        type(GetDlgItem(dialog, IDC_WORD_1), query.word);
        type(GetDlgItem(dialog, IDC_WORD_2), "");
        type(GetDlgItem(dialog, IDC_WORD_3), "");
        const std::pair<int, bool> boxes[] = {{IDC_SEARCH_WHOLE_WORD, query.wholeWord},
                                              {IDC_SEARCH_MATCH_CASE, query.matchCase}};
        for (const auto& [id, wanted] : boxes) {
            HWND box = GetDlgItem(dialog, id);
            if ((SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) != wanted)
                SendMessageA(box, BM_CLICK, 0, 0);
            EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED, wanted);
        }
        const DWORD start = GetTickCount();
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        while (IsWindow(dialog) && GetTickCount() - start < 60000)
            Sleep(1);
        EXPECT_TRUE(reader().waitIdle(120000));
        return GetTickCount() - start;
    }

    std::vector<std::string> lines() const {
        HWND list = reader().child(IDC_RESULT_LIST);
        std::vector<std::string> all;
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            all.push_back(listItemText(list, i));
        return all;
    }

    int selection(int id) const {
        return static_cast<int>(SendMessageA(reader().child(id), CB_GETCURSEL, 0, 0));
    }

    // Chooses a line of the result list as a click would: selection, then LBN_SELCHANGE.
    void choose(int index) {
        HWND list = reader().child(IDC_RESULT_LIST);
        SendMessageA(list, LB_SETCURSEL, index, 0);
        SendMessageA(reader().window(), WM_COMMAND, MAKEWPARAM(IDC_RESULT_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        reader().waitIdle();
    }

    std::unique_ptr<ReaderSession> session;
};

// Every line is "surah:ayah text", in surah then ayah order, each ayah once, holding the word.
void expectOrderedHitLines(const std::vector<std::string>& all, const std::string& word) {
    std::pair<int, int> previous{0, 0};
    for (const std::string& line : all) {
        int surah = 0, ayah = 0, used = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d:%d %n", &surah, &ayah, &used), 2) << line;
        EXPECT_LT(previous, std::make_pair(surah, ayah)) << line;
        previous = {surah, ayah};
        if (line.size() < 1023) {
            EXPECT_NE(lowered(line.substr(used)).find(lowered(word)), std::string::npos) << line;
        } else {
            EXPECT_EQ(line.size(), 1023u);
        }
    }
}

TEST_F(SearchJourney, CommonWordInEachLanguageListsOneLinePerHitAndOpensAResult) {
    const struct {
        DWORD language;
        const char* word;
    } cases[] = {{0, "Tuhan"}, {1, "Lord"}};
    for (const auto& each : cases) {
        LanguageChoice language(each.language);
        startReader();
        search({each.word, true, false});
        const std::vector<std::string> all = lines();
        ASSERT_GT(all.size(), 300u) << each.word;
        EXPECT_EQ(statusBarText(reader(), 1), "Found " + std::to_string(all.size()) + " items");
        expectOrderedHitLines(all, each.word);

        // Open the middle line: its ayah is shown with its translation.
        const std::string line = all[all.size() / 2];
        int surah = 0, ayah = 0, used = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d:%d %n", &surah, &ayah, &used), 2);
        choose(static_cast<int>(all.size() / 2));
        EXPECT_EQ(selection(IDC_SURAH_LIST), surah - 1) << line;
        EXPECT_EQ(selection(IDC_AYAH_LIST), ayah - 1) << line;
        if (line.size() < 1023) {
            EXPECT_EQ(reader().text(reader().child(IDC_TRANSLATION)), line.substr(used));
        }

        // A search that finds nothing empties the list and says so in a box.
        search({"zzqqxx", true, false});
        HWND box = reader().waitForWindow("#32770", "Info");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(statusBarText(reader(), 1), "Not Found");
        EXPECT_EQ(SendMessageA(reader().child(IDC_RESULT_LIST), LB_GETCOUNT, 0, 0), 0);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(reader().waitIdle());

        closeReader();
    }
}

// The whole program folder copied under a folder named in Arabic letters, which the ANSI
// code page of the test bed cannot name: the pictures, a search result and both companion
// programs (stand-ins that record their command lines) are found from there.
TEST_F(SearchJourney, FromAFolderNamedInArabicPicturesResultsAndCompanionsAreFound) {
    const std::string exe = windowsPathOf(NORAVEL_READER_EXE);
    const std::string dist = exe.substr(0, exe.rfind('\\'));
    const std::string buildRoot = dist.substr(0, dist.rfind('\\'));
    // "The Quran program" in Arabic letters, with a blank.
    const std::string folder = buildRoot + "\\e2e-folders\\برنامج القرآن";
    CreateDirectoryW(wideOfUtf8(buildRoot + "\\e2e-folders").c_str(), nullptr);
    ASSERT_TRUE(copyFolderTree(wideOfUtf8(dist), wideOfUtf8(folder)));
    const std::string standIn = windowsPathOf(NORAVEL_TEST_COMPANIONS) + "\\test_player.exe";
    for (const char* companion : {"zemplay.exe", "morvent.exe"})
        ASSERT_TRUE(replaceFile(wideOfUtf8(standIn), wideOfUtf8(folder + "\\" + companion)));
    const std::string log = buildRoot + "\\e2e-folders\\companions.log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LOG", log.c_str()); // the reader passes it on
    SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LIFE_MS", "300");

    LanguageChoice language(1);
    startReader(folder + "\\Noravel.exe");
    // The ink of the picture view once it shows something other than `before` (the view
    // is repainted a moment after the reader is idle again); waits at most five seconds.
    ScreenPixels shown;
    const auto pictureInk = [&](const ScreenPixels& before) {
        RECT view{};
        GetWindowRect(FindWindowExA(reader().window(), nullptr, "WND_DRAW_BITMAP", nullptr), &view);
        size_t ink = 0;
        for (DWORD until = GetTickCount() + 5000; GetTickCount() < until; Sleep(100)) {
            if (!captureScreenArea(view, shown) || shown.bgr == before.bgr) continue;
            if ((ink = darkPixelsOnScreen(view)) > 300) break;
        }
        return ink;
    };
    EXPECT_GT(pictureInk(ScreenPixels{}), 300u) << "the picture of 1:1 is drawn";
    const ScreenPixels first = shown;

    search({"Lord", true, false});
    const std::vector<std::string> all = lines();
    ASSERT_GT(all.size(), 300u);
    int surah = 0, ayah = 0;
    ASSERT_EQ(std::sscanf(all[all.size() / 2].c_str(), "%d:%d", &surah, &ayah), 2);
    choose(static_cast<int>(all.size() / 2));
    EXPECT_EQ(selection(IDC_SURAH_LIST), surah - 1);
    EXPECT_EQ(selection(IDC_AYAH_LIST), ayah - 1);
    EXPECT_GT(pictureInk(first), 300u) << "the picture of " << surah << ":" << ayah << " is drawn";

    // A recording of the chosen ayah beside the program (the stand-in does not read it).
    char recording[32];
    std::snprintf(recording, sizeof recording, "\\mp3\\%03d%03d.mp3", surah, ayah);
    CreateDirectoryW(wideOfUtf8(folder + "\\mp3").c_str(), nullptr);
    HANDLE made = CreateFileW(wideOfUtf8(folder + recording).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    CloseHandle(made);
    for (int button : {IDC_TAJWID, IDC_LISTEN})
        PostMessageA(reader().window(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(reader().child(button)));
    std::string started;
    for (DWORD until = GetTickCount() + 10000; GetTickCount() < until; Sleep(100)) {
        std::ifstream in(log, std::ios::binary);
        started.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (std::count(started.begin(), started.end(), '\n') >= 2) break;
    }
    EXPECT_NE(started.find("\"" + folder + "\\morvent.exe\" "), std::string::npos) << started;
    EXPECT_NE(started.find("\"" + folder + "\\zemplay.exe\" \"" + folder + "\\mp3\\"),
              std::string::npos)
        << started;
    EXPECT_EQ(FindWindowA("#32770", "Noravel ver 3.2"), nullptr) << "no failure was reported";
    SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LOG", nullptr);
    SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LIFE_MS", nullptr);
}

} // namespace
