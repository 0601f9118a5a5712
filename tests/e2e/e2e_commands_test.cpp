// Journeys through the reader's commands that need the real process: choices of the
// language list and of the Settings dialog, stored by one run of the reader and found again
// by the next. What a command shows at once is seen in process (tests/win/commands_test.cpp).
// The settings the journey changes are saved before and put back afterwards, in both places
// the reader keeps them.
#include "reader_session_win.h"

#include "resources/resource_ids.h"
#include "tests/support/registry_value_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kSettingKey[] = "SOFTWARE\\KELVANE\\QURAN\\SETTING";
const char* const kSettingNames[] = {"FontName", "FontSize", "Bahasa"};
const HKEY kSettingRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

// ---- The registry as the reader keeps it --------------------------------------------

RegistryValue dwordValue(DWORD number) {
    RegistryValue value{true, REG_DWORD, std::vector<BYTE>(sizeof number)};
    std::memcpy(value.bytes.data(), &number, sizeof number);
    return value;
}

RegistryValue stringValue(const std::string& text) {
    return {true, REG_SZ, std::vector<BYTE>(text.c_str(), text.c_str() + text.size() + 1)};
}

// Puts the reader's settings back as they were, in both places, when the journey ends.
class SavedSettings {
  public:
    SavedSettings() {
        for (HKEY root : kSettingRoots)
            for (const char* name : kSettingNames)
                saved_.push_back({root, name, readRegistryValue(root, kSettingKey, name)});
    }
    ~SavedSettings() {
        for (const auto& each : saved_)
            writeRegistryValue(each.root, kSettingKey, each.name, each.value);
    }
    SavedSettings(const SavedSettings&) = delete;
    SavedSettings& operator=(const SavedSettings&) = delete;

    // Makes the reader start with these settings (the user's copy is read first).
    static void startWith(const std::string& face, DWORD size, DWORD language) {
        writeRegistryValue(HKEY_CURRENT_USER, kSettingKey, "FontName", stringValue(face));
        writeRegistryValue(HKEY_CURRENT_USER, kSettingKey, "FontSize", dwordValue(size));
        writeRegistryValue(HKEY_CURRENT_USER, kSettingKey, "Bahasa", dwordValue(language));
    }

  private:
    struct Saved {
        HKEY root;
        const char* name;
        RegistryValue value;
    };
    std::vector<Saved> saved_;
};

// ---- The scripture texts the reader carries ---------------------------------------

// A text resource: records "surah CR LF ayah CR LF text [NUL] CR LF", keyed by surah:ayah.
std::map<std::pair<int, int>, std::string> readAyahTexts(const std::string& fileName) {
    std::map<std::pair<int, int>, std::string> texts;
    std::ifstream file(std::string(NORAVEL_DATA_DIR) + "/" + fileName, std::ios::binary);
    std::ostringstream all;
    all << file.rdbuf();
    const std::string data = all.str();
    std::vector<std::string> lines;
    for (size_t start = 0; start < data.size();) {
        size_t end = data.find("\r\n", start);
        if (end == std::string::npos) end = data.size();
        lines.push_back(data.substr(start, end - start));
        start = end + 2;
    }
    for (size_t i = 0; i + 2 < lines.size(); i += 3) {
        std::string text = lines[i + 2];
        if (!text.empty() && text.back() == '\0') text.pop_back();
        texts[{std::atoi(lines[i].c_str()), std::atoi(lines[i + 1].c_str())}] = text;
    }
    return texts;
}

// ---- Reading another process's controls --------------------------------------------

std::string comboChoice(HWND combo) {
    return comboItemText(combo, static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
}

// ---- The journeys ---------------------------------------------------------------------

class CommandJourney : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The menu ids are taken from the menu the reader's file carries, by item text, so
        // that each command goes out as its menu item would send it.
        HMODULE file = LoadLibraryExA(windowsPathOf(NORAVEL_READER_EXE).c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE);
        if (!file) return;
        if (HMENU menu = LoadMenuA(file, MAKEINTRESOURCEA(IDR_MAIN_MENU))) {
            for (int m = 0; m < GetMenuItemCount(menu); ++m) {
                HMENU popup = GetSubMenu(menu, m);
                for (int i = 0; popup && i < GetMenuItemCount(popup); ++i) {
                    char text[128] = "";
                    GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
                    // Keyed by the item's text without the key shown after a tab.
                    if (char* tab = std::strchr(text, '\t')) *tab = '\0';
                    menuIds()[text] = GetMenuItemID(popup, i);
                }
            }
            DestroyMenu(menu);
        }
        FreeLibrary(file);
    }
    static std::map<std::string, UINT>& menuIds() {
        static std::map<std::string, UINT> ids;
        return ids;
    }

    void startReader() {
        session = std::make_unique<ReaderSession>(windowsPathOf(NORAVEL_READER_EXE));
        ASSERT_TRUE(reader().start());
        SetWindowPos(reader().window(), HWND_TOP, 0, 0, 900, 700, SWP_SHOWWINDOW);
        ASSERT_TRUE(reader().waitIdle());
    }
    void TearDown() override {
        if (session && reader().window() && IsWindow(reader().window())) {
            PostMessageA(reader().window(), WM_CLOSE, 0, 0);
            reader().waitForExit();
        }
        session.reset();
    }
    ReaderSession& reader() const { return *session; }

    // Chooses a menu item by its text, as a click on it would (WM_COMMAND, source 0).
    void chooseMenuItem(const std::string& text) {
        const auto found = menuIds().find(text);
        ASSERT_NE(found, menuIds().end()) << "no menu item " << text;
        PostMessageA(reader().window(), WM_COMMAND, MAKEWPARAM(found->second, 0), 0);
    }

    // A choice in one of the reader's drop-down lists: selection, then CBN_SELENDOK.
    void choose(int listId, int index) { ASSERT_TRUE(reader().choose(listId, index)); }
    std::string translationShown() const { return reader().text(reader().child(IDC_TRANSLATION)); }

    // Opens the Settings dialog with File, Settings...
    HWND openSettings() {
        chooseMenuItem("&Settings...");
        return reader().waitForWindow("#32770", "Setting");
    }
    // Picks an item of one of the dialog's lists as a click in it would.
    static void pick(HWND dialog, int listId, const char* item) {
        HWND list = GetDlgItem(dialog, listId);
        const LRESULT index = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(item));
        ASSERT_GE(index, 0) << item;
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    void press(HWND dialog, int buttonId) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
        EXPECT_TRUE(waitUntilClosed(dialog));
        ASSERT_TRUE(reader().waitIdle());
    }

    std::unique_ptr<ReaderSession> session;
};

TEST_F(CommandJourney, LanguageAndFontChoicesOutlastARestart) {
    SavedSettings saved;
    const auto english = readAyahTexts("133_english.txt");
    ASSERT_EQ(english.count({1, 1}), 1u);
    SavedSettings::startWith("Tahoma", 13, 0);

    startReader();
    choose(IDC_LANGUAGE_LIST, 1); // English
    HWND dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    pick(dialog, IDC_FONT_FACE, "Arial");
    pick(dialog, IDC_FONT_SIZE, "16");
    press(dialog, IDOK);
    chooseMenuItem("E&xit");
    EXPECT_EQ(reader().waitForExit(), 0);

    // The next start finds all three choices again.
    startReader();
    EXPECT_EQ(comboChoice(reader().child(IDC_LANGUAGE_LIST)), "English");
    EXPECT_EQ(translationShown(), english.at({1, 1}));
    dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(comboChoice(GetDlgItem(dialog, IDC_FONT_FACE)), "Arial");
    EXPECT_EQ(comboChoice(GetDlgItem(dialog, IDC_FONT_SIZE)), "16");
    press(dialog, IDCANCEL);
    chooseMenuItem("E&xit");
    EXPECT_EQ(reader().waitForExit(), 0);
}

} // namespace
