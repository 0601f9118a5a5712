// The main window's own commands, run in this test program against a real main window and
// sent as their menu items send them: the clipboard copies read back from the clipboard, the
// clipboard failure reports, the About box, the Settings dialog driven through its controls,
// and the language switch.
#include "app/about_win.h"
#include "app/clipboard_win.h"
#include "app/keyboard_win.h"
#include "app/main_layout.h"
#include "app/reader_window_win.h"
#include "app/startup_win.h"
#include "app/translation_area_win.h"
#include "arabic/arabic_bytes.h"
#include "base/dpi_win.h"
#include "base/global_block_win.h"
#include "picture/bitmap_view_win.h"
#include "recitation/memorise_settings_win.h"
#include "resources/resource_ids.h"
#include "settings/language_switch_win.h"
#include "settings/registry_win.h"
#include "settings/settings_dialog_win.h"
#include "settings/settings_win.h"
#include "text/text_store.h"
#include "text/translations_win.h"

#include "tests/support/modal_dialog_driver_win.h"
#include "tests/support/registry_value_win.h"
#include "win_test_support.h"

#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr char kSettingKey[] = "SOFTWARE\\KELVANE\\QURAN\\SETTING";
const char* const kSettingNames[] = {kFontNameValue, kFontSizeValue, kLanguageValue,
                                     kTranslationLanguageValue, kSecondTranslationValue};

RegistryValue rawRead(HKEY root, const char* name) {
    return readRegistryValue(root, kSettingKey, name);
}

void rawRestore(HKEY root, const char* name, const RegistryValue& value) {
    writeRegistryValue(root, kSettingKey, name, value);
}

// The three settings and the two translation choices in both places, as stored.
std::vector<RegistryValue> settingsSnapshot() {
    std::vector<RegistryValue> values;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const char* name : kSettingNames)
            values.push_back(rawRead(root, name));
    return values;
}

void restoreSettings(const std::vector<RegistryValue>& values) {
    size_t i = 0;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const char* name : kSettingNames)
            rawRestore(root, name, values.at(i++));
}

std::string storedFontName() {
    char name[256];
    readSettingString(kFontNameValue, "(none)", name, sizeof name);
    return name;
}

// Clipboard contents, read the way another program would read them.
struct ClipboardReader {
    ClipboardReader() : open(OpenClipboard(nullptr) != FALSE) {}
    ~ClipboardReader() {
        if (open) CloseClipboard();
    }
    bool open;
};

// The Unicode text of the clipboard, as UTF-8.
std::string clipboardUnicodeText() {
    ClipboardReader clipboard;
    if (!clipboard.open) return "(clipboard closed)";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return "(no text)";
    const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(data));
    std::string result = text ? utf8FromWide(text) : "(locked)";
    GlobalUnlock(data);
    return result;
}

std::string clipboardText() {
    ClipboardReader clipboard;
    if (!clipboard.open) return "(clipboard closed)";
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return "(no text)";
    const char* text = static_cast<const char*>(GlobalLock(data));
    std::string result = text ? std::string(text, strnlen(text, GlobalSize(data))) : "(locked)";
    GlobalUnlock(data);
    return result;
}

std::u16string clipboardUnicode() {
    ClipboardReader clipboard;
    if (!clipboard.open) return u"(clipboard closed)";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return u"(no text)";
    const char16_t* text = static_cast<const char16_t*>(GlobalLock(data));
    std::u16string result;
    const size_t capacity = GlobalSize(data) / 2;
    for (size_t i = 0; text && i < capacity && text[i] != 0; ++i)
        result += text[i];
    GlobalUnlock(data);
    return result;
}

std::vector<BYTE> clipboardBytes(UINT format) {
    ClipboardReader clipboard;
    std::vector<BYTE> bytes;
    HANDLE data = clipboard.open ? GetClipboardData(format) : nullptr;
    if (const auto* first = data ? static_cast<const BYTE*>(GlobalLock(data)) : nullptr) {
        bytes.assign(first, first + GlobalSize(data));
        GlobalUnlock(data);
    }
    return bytes;
}

std::u16string widened(const char* arabic) {
    std::u16string units;
    for (const char* c = arabic; *c; ++c)
        units += static_cast<char16_t>(arabicByteToUnicode(static_cast<unsigned char>(*c)));
    return units;
}

void putSentinel() {
    ASSERT_TRUE(putClipboardText({testReaderWindow(), nullptr}, CF_TEXT, "sentinel", 9));
    ASSERT_EQ(clipboardText(), "sentinel");
}

// A window of another program, as far as the clipboard can tell.
struct OtherWindow {
    OtherWindow()
        : window(CreateWindowA("STATIC", "other", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr)) {}
    ~OtherWindow() { DestroyWindow(window); }
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    HWND window;
};

struct Report {
    HWND owner;
    std::string text;
    std::string caption;
};
std::vector<Report> reports;

void recordReport(HWND owner, const char* text, const char* caption) {
    reports.push_back({owner, text, caption});
}

// Runs a modal dialog or message box of this thread with the given caption; script drives
// it from inside its modal loop and must close it.
template <typename Open>
auto runModal(const char* caption, Open open, std::function<void(HWND)> script) {
    ModalDialogDriver driver(caption, std::move(script));
    const auto result = open();
    EXPECT_TRUE(driver.ran()) << caption;
    return result;
}

INT_PTR runSettingsDialog(std::function<void(HWND)> script) {
    return runModal(
        "Setting", [] { return reader().chooseAyahFont(); }, std::move(script));
}

void press(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string selectedText(HWND list) {
    const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index < 0) return "(none)";
    char text[64] = "";
    if (SendMessageA(list, CB_GETLBTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof text))
        return "(too long)";
    SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::string> items(HWND list) {
    std::vector<std::string> all;
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[64] = "";
        if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        all.push_back(text);
    }
    return all;
}

LOGFONTA fontOf(HFONT font) {
    LOGFONTA description{};
    GetObjectA(font, sizeof description, &description);
    return description;
}

int pixelsPerInch() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// One main window for the whole program (its creation loads the text store), the reader's
// settings saved before and put back after, and every message recorded instead of shown.
class CommandsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        saved = new std::vector<RegistryValue>(settingsSnapshot());
        writeSettingDword(kLanguageValue, 0);
        window = createReaderWindow(900, 700);
    }

    static void TearDownTestSuite() {
        if (IsWindow(window)) DestroyWindow(window);
        pumpMessages();
        restoreSettings(*saved);
        delete saved;
        saved = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(window, nullptr);
        reports.clear();
        testPrompts().onTell = recordReport;
    }

    void TearDown() override { testPrompts().reset(); }

    HWND child(int id) const { return GetDlgItem(window, id); }
    // A command as its menu item sends it.
    void command(int id) const { SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    int selection(int id) const {
        return static_cast<int>(SendMessageA(child(id), CB_GETCURSEL, 0, 0));
    }
    std::string shown() const {
        return std::to_string(currentSurah()) + ":" + std::to_string(currentAyah());
    }
    std::string translation() const { return windowText(child(IDC_TRANSLATION)); }
    void fillResults(std::initializer_list<const char*> lines) const {
        SendMessageA(child(IDC_RESULT_LIST), LB_RESETCONTENT, 0, 0);
        for (const char* line : lines)
            SendMessageA(child(IDC_RESULT_LIST), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    // The language list as the user leaves it, then its notification's handler.
    void chooseLanguage(int index, LanguageStore store = storeLanguageSetting) const {
        SendMessageA(child(IDC_LANGUAGE_LIST), CB_SETCURSEL, index, 0);
        reader().switchLanguage(index, store);
    }

    static HWND window;
    static std::vector<RegistryValue>* saved;
};

HWND CommandsTest::window = nullptr;
std::vector<RegistryValue>* CommandsTest::saved = nullptr;

// ---- Clipboard copies ----

// A key pressed with the modifiers down, through the reader's key table as its message loop
// does; the keyboard state is put back after.
bool pressWithModifiers(HWND window, WORD key, std::initializer_list<WORD> modifiers) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE before[256];
    std::memcpy(before, keys, sizeof keys);
    for (WORD modifier : modifiers)
        keys[modifier] = 0x80;
    SetKeyboardState(keys);
    MSG message{};
    message.hwnd = window;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    message.lParam = 1 | (MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16);
    const bool handled = translateReaderKey(window, reader().bitmapView(),
                                            readerKeys(GetModuleHandleA(nullptr)), message);
    SetKeyboardState(before);
    return handled;
}
bool pressWithCtrl(HWND window, WORD key) {
    return pressWithModifiers(window, key, {VK_CONTROL});
}

TEST_F(CommandsTest, ZoomKeysStepThePictureBetween75And400AndStoreItForTheUserOnly) {
    const RegistryValue userBefore = rawRead(HKEY_CURRENT_USER, kPictureZoomValue);
    const RegistryValue machineBefore = rawRead(HKEY_LOCAL_MACHINE, kPictureZoomValue);
    rawRestore(HKEY_CURRENT_USER, kPictureZoomValue, RegistryValue{});
    HWND view = bitmapViewWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(bitmapViewZoom(view), 100);
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE;
    GetScrollInfo(view, SB_VERT, &scroll);
    const int naturalRange = scroll.nMax;

    const struct {
        WORD key;
        int zoom;
    } presses[] = {{VK_OEM_PLUS, 125}, {VK_ADD, 150},      {VK_OEM_PLUS, 175}, {VK_OEM_PLUS, 200},
                   {VK_OEM_PLUS, 250}, {VK_OEM_PLUS, 300}, {VK_OEM_PLUS, 350}, {VK_OEM_PLUS, 400},
                   {VK_OEM_PLUS, 400}, {'0', 100},         {VK_OEM_MINUS, 75}, {VK_SUBTRACT, 75},
                   {VK_NUMPAD0, 100},  {VK_OEM_PLUS, 125}};
    for (const auto& press : presses) {
        ASSERT_TRUE(pressWithCtrl(window, press.key)) << press.key;
        EXPECT_EQ(bitmapViewZoom(view), press.zoom) << press.key;
        EXPECT_EQ(readPictureZoom(), press.zoom) << press.key;
    }
    const RegistryValue stored = rawRead(HKEY_CURRENT_USER, kPictureZoomValue);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_TRUE(rawRead(HKEY_LOCAL_MACHINE, kPictureZoomValue) == machineBefore);
    // The picture of the current ayah is drawn larger: its scroll range grew with it.
    GetScrollInfo(view, SB_VERT, &scroll);
    EXPECT_NEAR(scroll.nMax - 40, (naturalRange - 40) * 1.25, (naturalRange - 40) * 0.1);

    ASSERT_TRUE(pressWithCtrl(window, '0'));
    rawRestore(HKEY_CURRENT_USER, kPictureZoomValue, userBefore);
}

// Ctrl+] and Ctrl+[ step the speed by 0.05 within 0.5..2.0, store it for the user and show
// it in the status bar while it is not 1; Repeat from here and ...to here store the range.
TEST_F(CommandsTest, SpeedKeysStepTheSpeedAndTheRangeCommandsTakeTheAyahShown) {
    const char* values[] = {kPlaySpeedPercentValue, kRepeatRangeFromValue, kRepeatRangeToValue};
    std::vector<RegistryValue> before;
    for (const char* value : values) {
        before.push_back(rawRead(HKEY_CURRENT_USER, value));
        rawRestore(HKEY_CURRENT_USER, value, RegistryValue{});
    }
    auto status = [&] {
        char text[128] = "";
        SendMessageA(GetDlgItem(window, IDC_STATUS_BAR), SB_GETTEXTA, 1,
                     reinterpret_cast<LPARAM>(text));
        return std::string(text);
    };
    ASSERT_TRUE(pressWithCtrl(window, VK_OEM_6));
    EXPECT_EQ(readMemoriseSettings().speedPercent, 105);
    EXPECT_EQ(status(), "Speed 1.05x");
    ASSERT_TRUE(pressWithCtrl(window, VK_OEM_4));
    EXPECT_EQ(readMemoriseSettings().speedPercent, 100);
    EXPECT_EQ(status(), "");
    for (int k = 0; k < 12; ++k)
        pressWithCtrl(window, VK_OEM_4);
    EXPECT_EQ(readMemoriseSettings().speedPercent, 50);
    EXPECT_EQ(status(), "Speed 0.50x");

    selectAyah(1, 5);
    SendMessageA(window, WM_COMMAND, IDM_REPEAT_FROM_HERE, 0);
    selectAyah(2, 2);
    SendMessageA(window, WM_COMMAND, IDM_REPEAT_TO_HERE, 0);
    EXPECT_EQ(readMemoriseSettings().rangeFrom, (AyahRef{1, 5}));
    EXPECT_EQ(readMemoriseSettings().rangeTo, (AyahRef{2, 2}));
    EXPECT_EQ(status(), "Repeat 1:5 to 2:2");
    SendMessageA(window, WM_COMMAND, IDM_REPEAT_CLEAR, 0);
    EXPECT_FALSE(readMemoriseSettings().hasRange());
    for (size_t k = 0; k < std::size(values); ++k)
        rawRestore(HKEY_CURRENT_USER, values[k], before[k]);
}

TEST_F(CommandsTest, ResultListIsCopiedAsItsLinesJoinedByCrLfWithoutATrailingOne) {
    fillResults({"2:255 Allah", "3:2 Allah", "20:8 Allah"});
    command(IDM_COPY_RESULTS);
    EXPECT_EQ(clipboardText(), "2:255 Allah\r\n3:2 Allah\r\n20:8 Allah");

    fillResults({"1:1 only"});
    command(IDM_COPY_RESULTS);
    EXPECT_EQ(clipboardText(), "1:1 only");
    // Lines in any script are copied whole as Unicode text.
    SendMessageW(child(IDC_RESULT_LIST), LB_RESETCONTENT, 0, 0);
    SendMessageW(child(IDC_RESULT_LIST), LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(L"2:255 \u0410\u043B\u043B\u0430\u0445 \u771F\u4E3B"));
    command(IDM_COPY_RESULTS);
    EXPECT_EQ(clipboardUnicodeText(), "2:255 \xD0\x90\xD0\xBB\xD0\xBB\xD0\xB0\xD1\x85 "
                                      "\xE7\x9C\x9F\xE4\xB8\xBB");
    EXPECT_TRUE(reports.empty());
}

TEST_F(CommandsTest, AnEmptyResultListCopiesNothing) {
    putSentinel();
    fillResults({});
    command(IDM_COPY_RESULTS);
    EXPECT_EQ(clipboardText(), "sentinel");
    fillResults({""}); // one line without text: the joined text is empty
    command(IDM_COPY_RESULTS);
    EXPECT_EQ(clipboardText(), "sentinel");
    EXPECT_TRUE(reports.empty());
}

TEST_F(CommandsTest, TranslationIsCopiedAsShownAndAnEmptyOneCopiesNothing) {
    selectAyah(2, 255);
    command(IDM_COPY_TRANSLATION);
    EXPECT_EQ(clipboardText(), shownTranslationOf(2, 255));

    putSentinel();
    SetWindowTextA(child(IDC_TRANSLATION), "");
    command(IDM_COPY_TRANSLATION);
    EXPECT_EQ(clipboardText(), "sentinel");
    EXPECT_TRUE(reports.empty());
}

TEST_F(CommandsTest, ArabicAyahIsItsBytesThroughTheByteTable) {
    selectAyah(2, 255);
    const std::u16string expected = widened(TextStore::arabic(2, 255));
    ASSERT_GT(expected.size(), 100u);
    command(IDM_COPY_ARABIC_AYAH);
    const std::u16string copied = clipboardUnicode();
    EXPECT_EQ(copied, expected);
    // Arabic letters, not the code page bytes themselves.
    EXPECT_NE(copied.find(u'\u0627'), std::u16string::npos); // ALEF
}

TEST_F(CommandsTest, SurahOneIsSevenLinesEachEndingInItsNumberAndCrLf) {
    selectAyah(1, 3);
    command(IDM_COPY_ARABIC_SURAH);
    const std::u16string copied = clipboardUnicode();
    std::u16string expected;
    for (int ayah = 1; ayah <= 7; ++ayah) {
        ASSERT_STRNE(TextStore::arabic(1, ayah), "");
        const std::string number = "(" + std::to_string(ayah) + ")\r\n";
        expected += widened(TextStore::arabic(1, ayah)) + widened(number.c_str());
    }
    EXPECT_EQ(copied, expected);
    EXPECT_EQ(copied.substr(copied.size() - 5), u"(7)\r\n");
    EXPECT_EQ(shown(), "1:3"); // the copy does not move the reader
}

TEST_F(CommandsTest, AyahPictureIsAColourDibOfClientWidthAndSplitterLessTwentySixWithTheAyahOnIt) {
    selectAyah(1, 1);
    ASSERT_NE(reader().currentPicture(), nullptr);
    command(IDM_COPY_PICTURE);
    const std::vector<BYTE> dib = clipboardBytes(CF_DIB);
    BITMAPINFOHEADER header{};
    ASSERT_GE(dib.size(), sizeof header);
    std::memcpy(&header, dib.data(), sizeof header);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(header.biWidth, client.right);
    const LONG rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    EXPECT_EQ(rows, reader().splitterLine() - 26);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    ASSERT_TRUE(header.biBitCount == 24 || header.biBitCount == 32) << header.biBitCount;
    const size_t stride = (static_cast<size_t>(header.biBitCount) * header.biWidth + 31) / 32 * 4;
    const size_t bits = header.biSize + header.biClrUsed * sizeof(RGBQUAD);
    ASSERT_GE(dib.size(), bits + stride * rows) << "header and size disagree";
    // The picture of 1:1 drawn on the window colour.
    const COLORREF ground = GetSysColor(COLOR_WINDOW);
    size_t groundPixels = 0, darkPixels = 0;
    for (LONG row = 0; row < rows; ++row)
        for (LONG x = 0; x < header.biWidth; ++x) {
            const BYTE* pixel = &dib[bits + row * stride + x * (header.biBitCount / 8)];
            if (RGB(pixel[2], pixel[1], pixel[0]) == ground) ++groundPixels;
            if (pixel[0] + pixel[1] + pixel[2] < 3 * 96) ++darkPixels;
        }
    EXPECT_GT(groundPixels, static_cast<size_t>(rows * header.biWidth / 2));
    EXPECT_GT(darkPixels, 100u);
}

// ---- The hand-over to the clipboard and its reports ----

TEST_F(CommandsTest, ABlockThatCannotBeAllocatedIsReportedOnlyWhenAsked) {
    putSentinel();
    const char bytes[] = "x";
    const size_t impossible = SIZE_MAX / 2;
    EXPECT_FALSE(putClipboardText({window, nullptr}, CF_TEXT, bytes, impossible));
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(putClipboardText({window, &testPrompts()}, CF_TEXT, bytes, impossible));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].text, "Error");
    EXPECT_EQ(reports[0].caption, "hMem=0");
    EXPECT_EQ(reports[0].owner, window);
    EXPECT_EQ(clipboardText(), "sentinel");
}

TEST_F(CommandsTest, AClipboardHeldByAnotherThreadIsReportedAndKeepsItsContents) {
    putSentinel();
    OtherWindow holder;
    ASSERT_TRUE(OpenClipboard(holder.window));
    bool copied = true;
    std::thread other([&] {
        copied = putClipboardText({window, &testPrompts()}, CF_TEXT, "new", 4);
    });
    other.join();
    CloseClipboard();
    EXPECT_FALSE(copied);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].text, "Error");
    EXPECT_EQ(reports[0].caption, "OpenClipboard");
    EXPECT_EQ(clipboardText(), "sentinel");
}

// Every copy opens the clipboard with the main window as its owner: EmptyClipboard hands
// the ownership to the window that opened the clipboard, and Windows refuses the data of a
// clipboard without an owner.
TEST_F(CommandsTest, TheMainWindowOwnsTheClipboardAfterEachCopy) {
    selectAyah(2, 255);
    const int copies[] = {IDM_COPY_TRANSLATION, IDM_COPY_ARABIC_AYAH, IDM_COPY_ARABIC_SURAH,
                          IDM_COPY_PICTURE};
    for (const auto& copy : copies) {
        putSentinel();
        { // another program takes the clipboard meanwhile
            OtherWindow other;
            ASSERT_TRUE(OpenClipboard(other.window));
            EmptyClipboard();
            CloseClipboard();
            ASSERT_EQ(GetClipboardOwner(), other.window);
        }
        command(copy);
        EXPECT_EQ(GetClipboardOwner(), window);
    }
    EXPECT_TRUE(reports.empty());
}

// A report box waits for a click: the clipboard must be closed before it shows, or every
// other program's copy and paste fails meanwhile.
TEST_F(CommandsTest, NoFailureIsReportedWhileTheClipboardIsStillOpen) {
    static OtherWindow* other = nullptr;
    static std::vector<bool> openableWhileReported;
    OtherWindow otherProgram;
    other = &otherProgram;
    openableWhileReported.clear();
    testPrompts().onTell = [](HWND owner, const char* text, const char* caption) {
        bool opened = false;
        std::thread elsewhere([&] {
            opened = OpenClipboard(other->window) != FALSE;
            if (opened) CloseClipboard();
        });
        elsewhere.join();
        openableWhileReported.push_back(opened);
        recordReport(owner, text, caption);
    };
    EXPECT_FALSE(
        putClipboardText({window, &testPrompts()}, 0, "x", 2)); // refused twice, then reported
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(openableWhileReported, std::vector<bool>{true});
    other = nullptr;
}

TEST_F(CommandsTest, AFormatTheClipboardRefusesTwiceIsReportedWithTheSystemText) {
    EXPECT_FALSE(putClipboardText({window, &testPrompts()}, 0, "x", 2));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].caption, "error");
    EXPECT_FALSE(reports[0].text.empty());
    reports.clear();
    EXPECT_FALSE(putClipboardText({window, nullptr}, 0, "x", 2));
    EXPECT_TRUE(reports.empty());
}

TEST_F(CommandsTest, DuplicateBlockHasTheSameBytesAndLeavesTheSourceAlone) {
    EXPECT_EQ(duplicateGlobalBlock(nullptr), nullptr);
    HGLOBAL source = GlobalAlloc(GMEM_MOVEABLE, 5);
    ASSERT_NE(source, nullptr);
    std::memcpy(GlobalLock(source), "abcd", 5);
    GlobalUnlock(source);
    HGLOBAL copy = duplicateGlobalBlock(source);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, source);
    EXPECT_GE(GlobalSize(copy), 5u);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(copy)), "abcd");
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(source)), "abcd");
    GlobalUnlock(copy);
    GlobalUnlock(source);
    GlobalFree(copy);
    GlobalFree(source);
}

TEST_F(CommandsTest, AboutShowsFourLinesUnderTheCaptionAbout) {
    showAbout(window, testPrompts());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].caption, "About");
    EXPECT_EQ(reports[0].owner, window);
    const std::string& text = reports[0].text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_NE(text.find("Noravel"), std::string::npos);
    EXPECT_NE(text.find("ver 3.2"), std::string::npos);
    EXPECT_NE(text.find('@'), std::string::npos);
    EXPECT_NE(text.find("https://"), std::string::npos);
}

TEST_F(CommandsTest, TheProgramShowsAboutAsAMessageBoxOwnedByTheMainWindow) {
    // The program's own message box.
    testPrompts().onTell = [](HWND owner, const char* text, const char* caption) {
        MessageBoxPrompts().tell(owner, text, caption, 0);
    };
    std::string text;
    runModal(
        "About",
        [this] {
            command(IDM_ABOUT);
            return 0;
        },
        [&](HWND box) {
            text = windowText(GetDlgItem(box, 0xFFFF)); // the box's text
            EXPECT_EQ(GetWindow(box, GW_OWNER), window);
            press(box, IDOK);
        });
    char expected[512];
    formatAboutText(expected, sizeof expected);
    EXPECT_EQ(text, expected);
}

// ---- Settings dialog ----

TEST_F(CommandsTest, StoredSizeThirteenOpensOnTenAndOkStoresTenAndShowsItAtOnce) {
    // The translation shows another face and size first, so that OK's change can be seen.
    reader().showAyahFont("Arial", 20);
    reader().showAyahFont("Tahoma", 13);
    writeSettingDword(kFontSizeValue, 13);
    const HFONT before = reader().ayahFont();

    const INT_PTR result = runSettingsDialog([](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), testReaderWindow());
        HWND faces = GetDlgItem(dialog, IDC_FONT_FACE), sizes = GetDlgItem(dialog, IDC_FONT_SIZE);
        EXPECT_EQ(items(faces),
                  (std::vector<std::string>{"Microsoft Sans Serif", "Tahoma", "Arial", "Andalus"}));
        EXPECT_EQ(items(sizes), (std::vector<std::string>{"10", "12", "14", "16", "18", "20"}));
        EXPECT_EQ(selectedText(faces), "Tahoma");
        EXPECT_EQ(selectedText(sizes), "10");
        press(dialog, IDOK);
    });

    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(readSettingDword(kFontSizeValue, -1), 10);
    EXPECT_EQ(storedFontName(), "Tahoma");
    EXPECT_EQ(reader().settings().fontSize, 10);
    ASSERT_NE(reader().ayahFont(), nullptr);
    EXPECT_NE(reader().ayahFont(), before);
    EXPECT_EQ(GetObjectType(before), 0u); // the old font is deleted
    const LOGFONTA font = fontOf(reader().ayahFont());
    EXPECT_EQ(font.lfHeight, -MulDiv(10, pixelsPerInch(), 72));
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfQuality, PROOF_QUALITY);
    EXPECT_STREQ(font.lfFaceName, "Tahoma");

    // The translation and the result list take the new face and size at once.
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(child(IDC_TRANSLATION), EM_GETCHARFORMAT, SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ(format.szFaceName, L"Tahoma");
    const LOGFONTA listFont =
        fontOf(reinterpret_cast<HFONT>(SendMessageA(child(IDC_RESULT_LIST), WM_GETFONT, 0, 0)));
    EXPECT_STREQ(listFont.lfFaceName, "Tahoma");
    EXPECT_EQ(listFont.lfHeight, -MulDiv(translationFontPoints(10), pixelsPerInch(), 72));
}

TEST_F(CommandsTest, CancelLeavesFontNameSizeFontAndRegistryUntouched) {
    reader().showAyahFont("Arial", 16);
    writeSettingString(kFontNameValue, "Arial");
    writeSettingDword(kFontSizeValue, 16);
    const HFONT before = reader().ayahFont();
    const std::vector<RegistryValue> stored = settingsSnapshot();

    const INT_PTR result = runSettingsDialog([](HWND dialog) {
        EXPECT_EQ(selectedText(GetDlgItem(dialog, IDC_FONT_FACE)), "Arial");
        EXPECT_EQ(selectedText(GetDlgItem(dialog, IDC_FONT_SIZE)), "16");
        SendDlgItemMessageA(dialog, IDC_FONT_FACE, CB_SETCURSEL, 3, 0);
        SendDlgItemMessageA(dialog, IDC_FONT_SIZE, CB_SETCURSEL, 5, 0);
        press(dialog, IDCANCEL);
    });

    EXPECT_EQ(result, IDCANCEL);
    EXPECT_STREQ(reader().settings().fontName.c_str(), "Arial");
    EXPECT_EQ(reader().settings().fontSize, 16);
    EXPECT_EQ(reader().ayahFont(), before);
    EXPECT_EQ(GetObjectType(before), static_cast<DWORD>(OBJ_FONT));
    EXPECT_TRUE(settingsSnapshot() == stored);
}

TEST_F(CommandsTest, AFaceNotOfferedOpensOnMicrosoftSansSerifWhichOkThenStores) {
    for (const char* face : {"Courier New", "tahoma"}) { // the match is case-sensitive
        reader().showAyahFont(face, 14);
        writeSettingString(kFontNameValue, face);
        const INT_PTR result = runSettingsDialog([](HWND dialog) {
            EXPECT_EQ(selectedText(GetDlgItem(dialog, IDC_FONT_FACE)), "Microsoft Sans Serif");
            EXPECT_EQ(selectedText(GetDlgItem(dialog, IDC_FONT_SIZE)), "14");
            press(dialog, IDOK);
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(storedFontName(), "Microsoft Sans Serif") << face;
        EXPECT_STREQ(reader().settings().fontName.c_str(), "Microsoft Sans Serif");
        EXPECT_STREQ(fontOf(reader().ayahFont()).lfFaceName, "Microsoft Sans Serif");
    }
}

TEST_F(CommandsTest, ASizeFieldWithoutASelectedItemKeepsTheCurrentSize) {
    reader().showAyahFont("Tahoma", 18);
    const INT_PTR result = runSettingsDialog([](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_FONT_FACE, CB_SETCURSEL, 2, 0); // Arial
        SendDlgItemMessageA(dialog, IDC_FONT_SIZE, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetDlgItemTextA(dialog, IDC_FONT_SIZE, "abc");
        press(dialog, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(reader().settings().fontSize, 18);
    EXPECT_EQ(readSettingDword(kFontSizeValue, -1), 18);
    EXPECT_EQ(storedFontName(), "Arial");
    EXPECT_EQ(fontOf(reader().ayahFont()).lfHeight, -MulDiv(18, pixelsPerInch(), 72));
}

// ---- Language switch ----

TEST_F(CommandsTest, ChoosingEnglishThenIndonesiaStoresTheIndexAndShowsTheSameAyah) {
    selectAyah(2, 255);
    chooseLanguage(1);
    EXPECT_EQ(readSettingDword(kLanguageValue, -1), 1);
    EXPECT_EQ(rawRead(HKEY_LOCAL_MACHINE, kLanguageValue).bytes, (std::vector<BYTE>{1, 0, 0, 0}));
    EXPECT_EQ(shown(), "2:255");
    EXPECT_EQ(translation().rfind("Allah - there is no deity except Him", 0), 0u) << translation();
    EXPECT_EQ(reader().settings().language, 1);
    EXPECT_EQ(TextStore::language(), 1);
    EXPECT_EQ(selection(IDC_LANGUAGE_LIST), 1);

    chooseLanguage(0);
    EXPECT_EQ(readSettingDword(kLanguageValue, -1), 0);
    EXPECT_EQ(shown(), "2:255");
    EXPECT_EQ(translation().rfind("Allah, tidak ada tuhan selain Dia", 0), 0u) << translation();
    EXPECT_EQ(reader().settings().language, 0);
    EXPECT_EQ(selection(IDC_LANGUAGE_LIST), 0);
}

TEST_F(CommandsTest, ChoosingTheLanguageInForceShowsTheSameAyahAgain) {
    chooseLanguage(0);
    selectAyah(1, 1);
    selectAyah(3, 7);
    const std::string before = translation();
    chooseLanguage(0);
    EXPECT_EQ(shown(), "3:7");
    EXPECT_EQ(translation(), before);
    EXPECT_EQ(translation(), shownTranslationOf(3, 7));
    EXPECT_EQ(reader().readingHistory().newest(0),
              7u * 65536u + 3u); // shown again, so recorded again
    EXPECT_EQ(SendMessageA(child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), TextStore::ayahCount(3));
}

bool refuseToStore(int) {
    return false;
}

TEST_F(CommandsTest, ALanguageThatCannotBeStoredLeavesListTranslationAndSettingAgreeing) {
    chooseLanguage(0);
    selectAyah(1, 1);
    chooseLanguage(1, refuseToStore);
    EXPECT_EQ(readSettingDword(kLanguageValue, -1), 0);
    EXPECT_EQ(reader().settings().language, 0);
    EXPECT_EQ(selection(IDC_LANGUAGE_LIST), 0); // back on the language shown
    EXPECT_EQ(translation().rfind("Dengan nama Allah", 0), 0u) << translation();
}

TEST_F(CommandsTest, EveryLanguageShowsItsOwn2_255InUnicodeWithUrduRightToLeft) {
    chooseLanguage(1);
    selectAyah(2, 255);
    for (int index = 0; index < static_cast<int>(kTranslationLanguageCount); ++index) {
        const TranslationLanguage& language = *translationLanguageAt(index);
        chooseLanguage(index);
        EXPECT_EQ(shown(), "2:255") << language.code;
        EXPECT_EQ(selection(IDC_LANGUAGE_LIST), index);
        EXPECT_EQ(translationTextAt(index)->ayatLoaded(), 6236) << language.code;
        const std::string text(translationTextAt(index)->ayah(2, 255));
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(translation(), text) << language.code;
        EXPECT_EQ(readTranslationChoice(), language.code);

        PARAFORMAT2 paragraph{};
        paragraph.cbSize = sizeof paragraph;
        SendMessageW(child(IDC_TRANSLATION), EM_GETPARAFORMAT, 0,
                     reinterpret_cast<LPARAM>(&paragraph));
        EXPECT_EQ((paragraph.wEffects & PFE_RTLPARA) != 0, language.rightToLeft) << language.code;
        EXPECT_EQ(paragraph.wAlignment, language.rightToLeft ? PFA_RIGHT : PFA_CENTER)
            << language.code;
        // The other eight leave "Bahasa" on the last of Indonesian and English.
        EXPECT_EQ(readSettingDword(kLanguageValue, -1), index == 0 ? 0 : 1) << language.code;
    }
    // The texts are the package's, as the build checked them: two seen in it.
    // The surah list's tooltip names what the surah's name means, in the chosen language.
    chooseLanguage(1);
    EXPECT_EQ(reader().surahMeaningShown(), L"The Cow");
    chooseLanguage(translationLanguageIndex("tr"));
    EXPECT_EQ(reader().surahMeaningShown(), L"Bakara");
    EXPECT_EQ(translation().rfind("Allah, O'ndan ba\xC5\x9Fka tanr\xC4\xB1 olmayan", 0), 0u);
    chooseLanguage(translationLanguageIndex("zh"));
    EXPECT_EQ(translation().rfind("\xE5\xAE\x89\xE6\x8B\x89\xEF\xBC\x8C", 0), 0u);
    EXPECT_EQ(reader().surahMeaningShown(), L"\u9EC4\u725B");

    // The copy carries the script whole.
    chooseLanguage(translationLanguageIndex("bn"));
    command(IDM_COPY_TRANSLATION);
    EXPECT_EQ(clipboardUnicodeText(), translation());
    chooseLanguage(0);
}

// Bengali is given a face that has its letters; clearing the search marks and a move to a
// monitor of another DPI (which makes the translation's font again) leave it that face.
TEST_F(CommandsTest, BengaliKeepsItsScriptFaceThroughMarksAndADpiChange) {
    chooseLanguage(translationLanguageIndex("bn"));
    selectAyah(2, 255);
    const std::wstring face = scriptFaceFor(*translationLanguageAt(translationLanguageIndex("bn")));
    auto faceAt = [&](long position) {
        SendMessageW(child(IDC_TRANSLATION), EM_SETSEL, position, position + 1);
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        SendMessageW(child(IDC_TRANSLATION), EM_GETCHARFORMAT, SCF_SELECTION,
                     reinterpret_cast<LPARAM>(&format));
        return std::wstring(format.szFaceName);
    };
    ASSERT_EQ(faceAt(3), face);
    reader().boldTranslationRange(2, 6);
    reader().clearTranslationMarks();
    EXPECT_EQ(faceAt(3), face);

    RECT rect{};
    GetWindowRect(window, &rect);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(faceAt(3), face);
    EXPECT_EQ(translation(),
              std::string(translationTextAt(translationLanguageIndex("bn"))->ayah(2, 255)));
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&rect));
    chooseLanguage(0);
}

PARAFORMAT2 paragraphAt(HWND area, long at) {
    SendMessageW(area, EM_SETSEL, at, at);
    PARAFORMAT2 paragraph{};
    paragraph.cbSize = sizeof paragraph;
    SendMessageW(area, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
    SendMessageW(area, EM_SETSEL, 0, 0);
    return paragraph;
}

TEST_F(CommandsTest, ASecondLineOfReadingShowsUnderTheFirstInItsOwnDirectionAndIsStored) {
    chooseLanguage(translationLanguageIndex("ur"));
    selectAyah(2, 255);
    const int transliteration = translationLanguageIndex("transliteration");
    command(IDM_SECOND_LINE_FIRST + transliteration);
    const std::string urdu(translationTextAt(translationLanguageIndex("ur"))->ayah(2, 255));
    const std::string second(translationTextAt(transliteration)->ayah(2, 255));
    // The control reports its paragraph break as CR LF.
    EXPECT_EQ(translation(), urdu + "\r\n" + second);
    EXPECT_EQ(readSecondTranslation(), "transliteration");
    EXPECT_EQ(GetMenuState(GetMenu(window), IDM_SECOND_LINE_FIRST + transliteration, MF_BYCOMMAND) &
                  MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    HWND area = child(IDC_TRANSLATION);
    const long secondStart = static_cast<long>(wideFromUtf8(urdu.c_str()).size()) + 1;
    EXPECT_TRUE(paragraphAt(area, 0).wEffects & PFE_RTLPARA);
    EXPECT_EQ(paragraphAt(area, 0).wAlignment, PFA_RIGHT);
    EXPECT_FALSE(paragraphAt(area, secondStart + 3).wEffects & PFE_RTLPARA);
    EXPECT_EQ(paragraphAt(area, secondStart + 3).wAlignment, PFA_CENTER);

    // The next ayah keeps both lines; the copy takes the chosen translation alone.
    selectAyah(2, 256);
    EXPECT_EQ(translation(), shownTranslationOf(2, 256) + "\r\n" +
                                 std::string(translationTextAt(transliteration)->ayah(2, 256)));
    command(IDM_COPY_TRANSLATION);
    EXPECT_EQ(clipboardUnicodeText(), shownTranslationOf(2, 256));

    command(IDM_SECOND_LINE_NONE);
    EXPECT_EQ(translation(), shownTranslationOf(2, 256));
    EXPECT_EQ(readSecondTranslation(), "");
    chooseLanguage(0);
}

TEST_F(CommandsTest, NoLanguageSelectedChangesNothing) {
    chooseLanguage(1);
    selectAyah(1, 1);
    const std::string before = translation();
    reader().switchLanguage(-1);
    EXPECT_EQ(readSettingDword(kLanguageValue, -1), 1);
    EXPECT_EQ(reader().settings().language, 1);
    EXPECT_EQ(translation(), before);
    chooseLanguage(0);
}

// ---- Pages of the mushaf ----

bool pressWithCtrlShift(HWND window, WORD key) {
    return pressWithModifiers(window, key, {VK_CONTROL, VK_SHIFT});
}

// The parts' right edges, and the bar's width.
std::vector<int> statusEdges(HWND window) {
    int edges[8] = {};
    HWND status = GetDlgItem(window, IDC_STATUS_BAR);
    const int count =
        static_cast<int>(SendMessageW(status, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
    RECT bar{};
    GetClientRect(status, &bar);
    std::vector<int> out(edges, edges + (count > 0 ? count : 0));
    out.push_back(bar.right);
    return out;
}

// Part 2 names the page of the ayah shown, part 3 the quarter it begins and a place of
// prostration; the juz and the messages keep parts 0 and 1, and the page and the marks keep
// their widths at the bar's right end when the window is resized.
TEST_F(CommandsTest, TheStatusBarShowsThePageAndTheMarksOfTheAyah) {
    selectAyah(2, 26);
    EXPECT_EQ(statusBarPart(window, 0), "JUZ 1");
    EXPECT_EQ(statusBarPart(window, 2), "Page 5");
    EXPECT_EQ(statusBarPart(window, 3), "Hizb 1 \xC2\xBC");
    SendMessageA(child(IDC_AYAH_LIST), CB_SETCURSEL, 26, 0); // 2:27, through the ayah list
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_AYAH_LIST, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(child(IDC_AYAH_LIST)));
    EXPECT_EQ(shown(), "2:27");
    EXPECT_EQ(statusBarPart(window, 3), "");
    selectAyah(7, 206);
    EXPECT_EQ(statusBarPart(window, 2), "Page 176");
    EXPECT_EQ(statusBarPart(window, 3), "Sajdah");
    selectAyah(114, 6);
    EXPECT_EQ(statusBarPart(window, 0), "JUZ 30");
    EXPECT_EQ(statusBarPart(window, 2), "Page 604");

    const int dpi = windowDpi(window);
    for (int width : {900, 640, 1200}) {
        SetWindowPos(window, nullptr, 0, 0, width, 700, SWP_NOZORDER | SWP_NOMOVE);
        pumpMessages();
        const std::vector<int> edges = statusEdges(window);
        ASSERT_EQ(edges.size(), 5u) << width;
        EXPECT_EQ(edges[0], scaledForDpi(kStatusFirstPart, dpi)) << width;
        EXPECT_EQ(edges[2] - edges[1], scaledForDpi(kStatusPageWidth, dpi)) << width;
        EXPECT_EQ(edges[4] - edges[2], scaledForDpi(kStatusMarksWidth, dpi)) << width;
        EXPECT_EQ(edges[3], -1) << width;
    }
    SetWindowPos(window, nullptr, 0, 0, 900, 700, SWP_NOZORDER | SWP_NOMOVE);
    pumpMessages();
}

// Go to takes "p50" and shows the first ayah of page 50; a page the mushaf does not have
// is refused in the dialog, which stays open with the reason.
TEST_F(CommandsTest, GoToAPageShowsItsFirstAyahAndARefusedPageIsExplained) {
    selectAyah(1, 1);
    runModal(
        "Go to",
        [&] {
            command(IDM_GO_TO);
            return 0;
        },
        [](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_GO_TO_TEXT, L"p50");
            press(dialog, IDOK);
        });
    EXPECT_EQ(shown(), "3:1");
    EXPECT_EQ(statusBarPart(window, 2), "Page 50");

    std::string problem;
    runModal(
        "Go to",
        [&] {
            command(IDM_GO_TO);
            return 0;
        },
        [&](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_GO_TO_TEXT, L"Page 605");
            press(dialog, IDOK);
            problem = windowText(GetDlgItem(dialog, IDC_GO_TO_PROBLEM));
            press(dialog, IDCANCEL);
        });
    EXPECT_NE(problem.find("no page 605"), std::string::npos) << problem;
    EXPECT_EQ(shown(), "3:1");
}

// Ctrl+Shift+Page Down / Page Up go to the first ayah of the next / previous page and stay
// on the first and the last page; Ctrl+Page Down keeps stepping by surah.
TEST_F(CommandsTest, CtrlShiftPageKeysMoveByPageAndStayAtTheEnds) {
    selectAyah(2, 285); // page 49, which begins at 2:283
    ASSERT_TRUE(pressWithCtrlShift(window, VK_NEXT));
    EXPECT_EQ(shown(), "3:1");
    EXPECT_EQ(statusBarPart(window, 2), "Page 50");
    ASSERT_TRUE(pressWithCtrlShift(window, VK_NEXT));
    EXPECT_EQ(shown(), "3:10");
    ASSERT_TRUE(pressWithCtrlShift(window, VK_PRIOR));
    ASSERT_TRUE(pressWithCtrlShift(window, VK_PRIOR));
    EXPECT_EQ(shown(), "2:283");
    EXPECT_EQ(statusBarPart(window, 2), "Page 49");

    selectAyah(113, 3); // page 604
    ASSERT_TRUE(pressWithCtrlShift(window, VK_NEXT));
    EXPECT_EQ(shown(), "113:3");
    selectAyah(1, 4); // page 1
    ASSERT_TRUE(pressWithCtrlShift(window, VK_PRIOR));
    EXPECT_EQ(shown(), "1:4");

    ASSERT_TRUE(pressWithCtrl(window, VK_NEXT));
    EXPECT_EQ(shown(), "2:1");
}

} // namespace
