// Journeys through the reader's commands, driven from a separate process: the language
// list, the Settings dialog through its own controls, every Edit menu item with the
// clipboard read back here, About, and File, Exit. The settings the journeys change are
// saved before and put back afterwards, in both places the reader keeps them.
#include "reader_session_win.h"

#include "arabic/arabic_bytes.h"
#include "resources/resource_ids.h"
#include "tests/support/registry_value_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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

// The value the reader finds at its next start: the user's copy before the machine's.
RegistryValue effectiveValue(const char* name) {
    RegistryValue user = readRegistryValue(HKEY_CURRENT_USER, kSettingKey, name);
    return user.present ? user : readRegistryValue(HKEY_LOCAL_MACHINE, kSettingKey, name);
}

long storedNumber(const char* name) {
    const RegistryValue value = effectiveValue(name);
    if (!value.present || value.bytes.size() < sizeof(DWORD)) return -1;
    DWORD number = 0;
    std::memcpy(&number, value.bytes.data(), sizeof number);
    return static_cast<long>(number);
}

std::string storedText(const char* name) {
    const RegistryValue value = effectiveValue(name);
    if (!value.present) return "(absent)";
    return std::string(value.bytes.begin(), value.bytes.end()).c_str();
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

std::wstring widened(const std::string& arabic) {
    std::wstring units;
    for (unsigned char byte : arabic)
        units.push_back(static_cast<wchar_t>(arabicByteToUnicode(byte)));
    return units;
}

// ---- Reading another process's controls and the clipboard --------------------------

std::string comboItem(HWND combo, int index) {
    return comboItemText(combo, index);
}

std::vector<std::string> comboItems(HWND combo) {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        items.push_back(comboItem(combo, i));
    return items;
}

std::string comboChoice(HWND combo) {
    return comboItem(combo, static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
}

std::vector<std::string> resultLines(HWND list) {
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        lines.push_back(listItemText(list, i));
    return lines;
}

bool openClipboardHere() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(20);
    }
    return false;
}

// Returns once the clipboard has not changed for a tenth of a second (or after 3 s).
void waitForQuietClipboard() {
    DWORD sequence = GetClipboardSequenceNumber();
    DWORD quietSince = GetTickCount();
    const DWORD until = quietSince + 3000;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        Sleep(20);
        const DWORD now = GetClipboardSequenceNumber();
        if (now != sequence) {
            sequence = now;
            quietSince = GetTickCount();
        } else if (GetTickCount() - quietSince >= 100) {
            return;
        }
    }
}

// Empties the clipboard before a copy, once the previous copy has fully arrived, so that
// what is read afterwards can only come from the copy under test.
void emptyClipboard() {
    waitForQuietClipboard();
    if (!openClipboardHere()) return;
    EmptyClipboard();
    CloseClipboard();
    waitForQuietClipboard();
}

// The bytes of the clipboard's block in this format; empty when none came in time. Under
// Wine the clipboard of another process reaches this one a moment after the copy (it
// passes through the X selection), so the format is awaited.
std::vector<BYTE> clipboardBlock(UINT format) {
    std::vector<BYTE> bytes;
    // Let a copy that is still passing through the X selection settle first.
    waitForQuietClipboard();
    const DWORD until = GetTickCount() + 5000;
    do {
        if (!openClipboardHere()) return bytes;
        if (HANDLE data = GetClipboardData(format)) {
            const SIZE_T size = GlobalSize(data);
            if (const void* locked = GlobalLock(data)) {
                const auto* first = static_cast<const BYTE*>(locked);
                bytes.assign(first, first + size);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        if (!bytes.empty()) break;
        Sleep(20);
    } while (static_cast<LONG>(until - GetTickCount()) > 0);
    return bytes;
}

// A text format's contents up to its terminator; "(no terminator)" when the block has none.
std::string clipboardText() {
    const std::vector<BYTE> block = clipboardBlock(CF_TEXT);
    const auto end = std::find(block.begin(), block.end(), '\0');
    if (end == block.end()) return "(no terminator)";
    return std::string(block.begin(), end);
}

std::wstring clipboardUnicode() {
    const std::vector<BYTE> block = clipboardBlock(CF_UNICODETEXT);
    std::wstring text;
    for (size_t i = 0; i + 1 < block.size(); i += 2) {
        const wchar_t unit = static_cast<wchar_t>(block[i] | block[i + 1] << 8);
        if (unit == 0) return text;
        text.push_back(unit);
    }
    return L"(no terminator)";
}

std::string windowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A dialog or message box of the reader with this caption, once it has appeared.
HWND waitForReaderDialog(const ReaderSession& reader, const char* caption) {
    const DWORD until = GetTickCount() + 20000;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        HWND dialog = FindWindowA("#32770", caption);
        DWORD owner = 0;
        if (dialog) GetWindowThreadProcessId(dialog, &owner);
        if (dialog && owner == reader.processId()) return dialog;
        Sleep(20);
    }
    return nullptr;
}

// The screen's pixels in rect, as the bytes of a BMP file.
std::string pictureOf(const RECT& rect) {
    const std::string path = windowsPathOf(std::string(NORAVEL_DATA_DIR) + "/../area.bmp");
    if (!saveScreenArea(rect, path)) return "(no picture)";
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    in.close();
    DeleteFileA(path.c_str());
    return bytes.str();
}

bool waitUntilClosed(HWND window) {
    for (int i = 0; i < 1000 && IsWindow(window); ++i)
        Sleep(10);
    return !IsWindow(window);
}

std::string longestStaticText(HWND dialog) {
    std::string longest;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        if (_stricmp(className, "Static") != 0) continue;
        const std::string text = windowText(child);
        if (text.size() > longest.size()) longest = text;
    }
    return longest;
}

std::vector<std::string> linesOf(const std::string& text, char separator) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == separator) {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    lines.push_back(line);
    return lines;
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
    void runMenuItem(const std::string& text) {
        chooseMenuItem(text);
        ASSERT_TRUE(reader().waitIdle());
    }

    // A choice in one of the reader's drop-down lists: selection, then CBN_SELENDOK.
    void choose(int listId, int index) { ASSERT_TRUE(reader().choose(listId, index)); }
    void goTo(int surah, int ayah) { ASSERT_TRUE(reader().goTo(surah, ayah)); }
    int shownSurah() const {
        return static_cast<int>(SendMessageA(reader().child(IDC_SURAH_LIST), CB_GETCURSEL, 0, 0)) +
               1;
    }
    int shownAyah() const {
        return static_cast<int>(SendMessageA(reader().child(IDC_AYAH_LIST), CB_GETCURSEL, 0, 0)) +
               1;
    }
    std::string translationShown() const { return reader().text(reader().child(IDC_TRANSLATION)); }

    // Opens the Settings dialog with File, Settings... (command 40002); the dialog is owned
    // by the main window.
    HWND openSettings() {
        EXPECT_EQ(menuIds()["&Settings..."], static_cast<UINT>(IDM_SETTINGS));
        chooseMenuItem("&Settings...");
        HWND dialog = waitForReaderDialog(reader(), "Setting");
        if (dialog) {
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), reader().window());
        }
        return dialog;
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

TEST_F(CommandJourney, LanguageAndFontChoicesShowAtOnceAreStoredAndOutlastARestart) {
    SavedSettings saved;
    const auto indonesian = readAyahTexts("131_indonesian.txt");
    const auto english = readAyahTexts("133_english.txt");
    ASSERT_EQ(english.count({2, 255}), 1u);
    SavedSettings::startWith("Tahoma", 13, 0);

    startReader();
    HWND languages = reader().child(IDC_LANGUAGE_LIST);
    EXPECT_EQ(comboItems(languages), (std::vector<std::string>{"Indonesia", "English"}));
    EXPECT_EQ(comboChoice(languages), "Indonesia");
    goTo(2, 255);
    EXPECT_EQ(translationShown(), indonesian.at({2, 255}));

    // "English": the same ayah in English at once, and the choice stored.
    choose(IDC_LANGUAGE_LIST, 1);
    EXPECT_EQ(shownSurah(), 2);
    EXPECT_EQ(shownAyah(), 255);
    EXPECT_EQ(translationShown(), english.at({2, 255}));
    EXPECT_EQ(comboChoice(languages), "English");
    EXPECT_EQ(storedNumber("Bahasa"), 1);
    // The language already in force shows the same ayah again.
    choose(IDC_LANGUAGE_LIST, 1);
    EXPECT_EQ(shownAyah(), 255);
    EXPECT_EQ(translationShown(), english.at({2, 255}));

    // Settings: a stored 13 is no size offered, so the dialog opens on "10".
    HWND dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(windowText(dialog), "Setting");
    EXPECT_EQ(comboItems(GetDlgItem(dialog, IDC_FONT_FACE)),
              (std::vector<std::string>{"Microsoft Sans Serif", "Tahoma", "Arial", "Andalus"}));
    EXPECT_EQ(comboItems(GetDlgItem(dialog, IDC_FONT_SIZE)),
              (std::vector<std::string>{"10", "12", "14", "16", "18", "20"}));
    EXPECT_EQ(comboChoice(GetDlgItem(dialog, IDC_FONT_FACE)), "Tahoma");
    EXPECT_EQ(comboChoice(GetDlgItem(dialog, IDC_FONT_SIZE)), "10");
    pick(dialog, IDC_FONT_FACE, "Arial");
    pick(dialog, IDC_FONT_SIZE, "16");
    // The translation as the screen shows it, before and right after OK: it changes at once.
    RECT translationArea{};
    GetWindowRect(reader().child(IDC_TRANSLATION), &translationArea);
    const std::string before = pictureOf(translationArea);
    press(dialog, IDOK);
    EXPECT_NE(pictureOf(translationArea), before);
    EXPECT_EQ(storedText("FontName"), "Arial");
    EXPECT_EQ(storedNumber("FontSize"), 16);

    // Cancel after other picks changes nothing, neither stored nor in the reader.
    dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(comboChoice(GetDlgItem(dialog, IDC_FONT_FACE)), "Arial");
    EXPECT_EQ(comboChoice(GetDlgItem(dialog, IDC_FONT_SIZE)), "16");
    pick(dialog, IDC_FONT_FACE, "Andalus");
    pick(dialog, IDC_FONT_SIZE, "20");
    press(dialog, IDCANCEL);
    EXPECT_EQ(storedText("FontName"), "Arial");
    EXPECT_EQ(storedNumber("FontSize"), 16);
    dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(comboChoice(GetDlgItem(dialog, IDC_FONT_FACE)), "Arial");
    EXPECT_EQ(comboChoice(GetDlgItem(dialog, IDC_FONT_SIZE)), "16");
    press(dialog, IDCANCEL);

    chooseMenuItem("E&xit");
    EXPECT_EQ(reader().waitForExit(), 0);

    // The next start remembers all three choices; "Indonesia" then stores 0.
    startReader();
    languages = reader().child(IDC_LANGUAGE_LIST);
    EXPECT_EQ(comboChoice(languages), "English");
    EXPECT_EQ(translationShown(), english.at({1, 1}));
    dialog = openSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(comboChoice(GetDlgItem(dialog, IDC_FONT_FACE)), "Arial");
    EXPECT_EQ(comboChoice(GetDlgItem(dialog, IDC_FONT_SIZE)), "16");
    press(dialog, IDCANCEL);
    goTo(1, 5);
    choose(IDC_LANGUAGE_LIST, 0);
    EXPECT_EQ(comboChoice(languages), "Indonesia");
    EXPECT_EQ(shownAyah(), 5);
    EXPECT_EQ(translationShown(), indonesian.at({1, 5}));
    EXPECT_EQ(storedNumber("Bahasa"), 0);

    chooseMenuItem("E&xit");
    EXPECT_EQ(reader().waitForExit(), 0);
}

TEST_F(CommandJourney, EveryEditMenuItemPutsItsCopyOnTheClipboardThenAboutAndExit) {
    SavedSettings saved;
    SavedSettings::startWith("Microsoft Sans Serif", 14, 1);
    const auto arabic = readAyahTexts("134_arabic.txt");
    const auto english = readAyahTexts("133_english.txt");
    startReader();
    ASSERT_EQ(shownSurah(), 1);
    ASSERT_EQ(shownAyah(), 1);

    // The translation as CF_TEXT, exactly as the translation control shows it.
    emptyClipboard();
    runMenuItem("Copy &terjemahan");
    EXPECT_EQ(clipboardText(), english.at({1, 1}));

    // The Arabic text of the ayah as Unicode: its bytes unit by unit.
    emptyClipboard();
    runMenuItem("Copy arabic te&xt as text (ayat)");
    const std::wstring firstAyah = clipboardUnicode();
    ASSERT_FALSE(arabic.at({1, 1}).empty());
    EXPECT_EQ(firstAyah, widened(arabic.at({1, 1})));

    // The surah: seven lines, each the ayah's Arabic text, "(k)" and CR LF.
    emptyClipboard();
    runMenuItem("Copy arabic text as text (&surat)");
    std::wstring expectedSurah;
    for (int ayah = 1; ayah <= 7; ++ayah)
        expectedSurah += widened(arabic.at({1, ayah})) + L"(" + std::to_wstring(ayah) + L")\r\n";
    const std::wstring surah = clipboardUnicode();
    EXPECT_EQ(surah, expectedSurah);
    EXPECT_EQ(surah.substr(0, firstAyah.size() + 5), firstAyah + L"(1)\r\n");

    // The picture as a colour DIB as wide as the client area and as high as the splitter
    // line less 26, with the picture of 1:1 drawn on the window colour.
    emptyClipboard();
    runMenuItem("Copy &arabic text as bitmap");
    RECT client{}, translation{};
    GetClientRect(reader().window(), &client);
    GetWindowRect(reader().child(IDC_TRANSLATION), &translation);
    MapWindowPoints(nullptr, reader().window(), reinterpret_cast<POINT*>(&translation), 2);
    const int splitterLine = translation.top;
    const std::vector<BYTE> dib = clipboardBlock(CF_DIB);
    ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data(), sizeof header);
    EXPECT_EQ(header.biSize, sizeof header);
    EXPECT_EQ(header.biWidth, client.right);
    EXPECT_EQ(header.biHeight < 0 ? -header.biHeight : header.biHeight, splitterLine - 26);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_GE(header.biBitCount, 16) << "the copy keeps its colours";
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    const size_t stride = (static_cast<size_t>(header.biBitCount) * header.biWidth + 31) / 32 * 4;
    const size_t rows =
        static_cast<size_t>(header.biHeight < 0 ? -header.biHeight : header.biHeight);
    const size_t bitsOffset = header.biSize + header.biClrUsed * sizeof(RGBQUAD);
    ASSERT_GE(dib.size(), bitsOffset + stride * rows) << "header and size disagree";
    if (header.biSizeImage != 0) {
        EXPECT_EQ(header.biSizeImage, stride * rows);
    }
    if (header.biBitCount == 24 || header.biBitCount == 32) {
        const size_t bytesPerPixel = header.biBitCount / 8;
        const COLORREF window = GetSysColor(COLOR_WINDOW);
        size_t windowPixels = 0, darkPixels = 0;
        for (size_t row = 0; row < rows; ++row) {
            for (LONG x = 0; x < header.biWidth; ++x) {
                const BYTE* pixel = &dib[bitsOffset + row * stride + x * bytesPerPixel];
                if (RGB(pixel[2], pixel[1], pixel[0]) == window) ++windowPixels;
                if (pixel[0] + pixel[1] + pixel[2] < 3 * 96) ++darkPixels;
            }
        }
        EXPECT_GT(windowPixels, rows * header.biWidth / 2) << "filled with the window colour";
        EXPECT_GT(darkPixels, 100u) << "the ayah's picture is drawn on it";
    }

    // The result list: two visited ayat listed by the history (40013), copied as its lines
    // joined by CR LF with none after the last.
    goTo(2, 255);
    goTo(3, 7);
    // Sent, not posted: a sent idle check is answered before posted messages are handled.
    SendMessageA(reader().window(), WM_COMMAND, MAKEWPARAM(IDM_READING_HISTORY, 0), 0);
    ASSERT_TRUE(reader().waitIdle());
    const std::vector<std::string> lines = resultLines(reader().child(IDC_RESULT_LIST));
    ASSERT_GE(lines.size(), 3u);
    std::string joined;
    for (const std::string& line : lines)
        joined += (joined.empty() ? "" : "\r\n") + line;
    emptyClipboard();
    runMenuItem("&Copy list hasil pencarian");
    const std::string copied = clipboardText();
    EXPECT_EQ(copied, joined);
    ASSERT_GE(copied.size(), 2u);
    EXPECT_NE(copied.substr(copied.size() - 2), "\r\n");
    EXPECT_NE(copied.find("2:255 " + english.at({2, 255}).substr(0, 40)), std::string::npos);
    EXPECT_NE(copied.find("3:7 "), std::string::npos);

    // About: a box owned by the main window, four lines, the version as in the caption.
    chooseMenuItem("&About");
    HWND about = waitForReaderDialog(reader(), "About");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), reader().window());
    const std::vector<std::string> aboutLines = linesOf(longestStaticText(about), '\n');
    ASSERT_EQ(aboutLines.size(), 4u) << longestStaticText(about);
    EXPECT_NE(aboutLines[1].find("ver 3.2"), std::string::npos) << aboutLines[1];
    EXPECT_NE(aboutLines[2].find('@'), std::string::npos) << aboutLines[2];
    EXPECT_NE(aboutLines[3].find("http"), std::string::npos) << aboutLines[3];
    PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(waitUntilClosed(about));
    ASSERT_TRUE(reader().waitIdle());

    chooseMenuItem("E&xit");
    EXPECT_EQ(reader().waitForExit(), 0);
}

} // namespace
