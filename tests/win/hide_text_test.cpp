// Hiding the text (View > Hide the text) in a real main window: the picture and the
// translation hidden, revealed word by word by a click or Space and whole by Enter, hidden
// again on another ayah, the copies unaffected and the choice stored for the user.
#include "app/keyboard_win.h"
#include "app/reader_window_win.h"
#include "base/guards_win.h"
#include "picture/bitmap_view_win.h"
#include "picture/calligraphy_win.h"
#include "picture/picture_scale.h"
#include "picture/word_reveal.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"
#include "tests/support/printed_client_win.h"

#include "tests/support/registry_value_win.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr char kSettingKey[] = "SOFTWARE\\KELVANE\\QURAN\\SETTING";

void command(int id) {
    SendMessageW(testReaderWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// A key pressed in window (no Ctrl), through the reader's key table as its message loop does;
// true when the loop would not pass it on.
bool press(HWND window, WORD key) {
    MSG message{};
    message.hwnd = window;
    message.message = WM_KEYDOWN;
    message.wParam = key;
    message.lParam = 1 | (MapVirtualKeyA(key, MAPVK_VK_TO_VSC) << 16);
    return translateReaderKey(testReaderWindow(), bitmapViewWindow(),
                              readerKeys(GetModuleHandleW(nullptr)), message);
}

std::string translation() {
    return windowText(GetDlgItem(testReaderWindow(), IDC_TRANSLATION));
}

// The view's client area as WM_PRINTCLIENT draws it, 0xRRGGBB top-down.
std::vector<std::uint32_t> viewPixels(SIZE& size) {
    return printedClientPixels(bitmapViewWindow(), size);
}

// The ayah's picture as the view would show it by day at 1x with only the glyphs of its
// first `words` words (and the end sign when all are), drawn from runs cut down to those.
std::vector<std::uint32_t> expectedPicture(int surah, int ayah, int words, SIZE& size) {
    const Calligraphy* calligraphy = programCalligraphy(testContext().programDirectory);
    AyahRuns runs = calligraphy->ayah(surah, ayah);
    const int count = runsWordCount(runs);
    for (RunLine& line : runs.lines) {
        std::vector<RunGlyph> kept;
        for (const RunGlyph& g : line.glyphs)
            if (g.word == kNoWord ? words >= count : g.word < words) kept.push_back(g);
        line.glyphs = kept;
    }
    size = ayahRunsSize(runs, 1.0);
    RunColours colours;
    colours.ink = RGB(kDayInk.red, kDayInk.green, kDayInk.blue);
    colours.paper = RGB(255, 255, 255);
    std::vector<std::uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
    EXPECT_TRUE(renderAyahRuns(*calligraphy, runs, 1.0, colours, pixels.data(), size));
    return pixels;
}

// The part of the view where the picture stands (centred, kPictureTopMargin from the top at
// 96 DPI, not scrolled).
std::vector<std::uint32_t> shownPicture(SIZE picture) {
    SIZE view{};
    const std::vector<std::uint32_t> all = viewPixels(view);
    const int left = view.cx / 2 - picture.cx / 2;
    std::vector<std::uint32_t> part;
    for (int y = 0; y < picture.cy; ++y)
        for (int x = 0; x < picture.cx; ++x)
            part.push_back(all.at(static_cast<size_t>(y + kPictureTopMargin) * view.cx + x + left));
    return part;
}

// Whether text is the first part of whole, ending at the end of a word of it.
bool wordPrefix(const std::string& text, const std::string& whole) {
    return whole.compare(0, text.size(), text) == 0 &&
           (text.size() == whole.size() || text.empty() || whole[text.size()] == ' ');
}

class HideTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        before = readRegistryValue(HKEY_CURRENT_USER, kSettingKey, kHideTextValue);
        writeRegistryValue(HKEY_CURRENT_USER, kSettingKey, kHideTextValue, RegistryValue{});
        writeSettingDword(kLanguageValue, 1);
        ASSERT_NE(createReaderWindow(900, 700), nullptr);
        setBitmapViewZoom(bitmapViewWindow(), 100);
        ASSERT_NE(programCalligraphy(testContext().programDirectory), nullptr);
    }
    void TearDown() override {
        if (IsWindow(testReaderWindow())) DestroyWindow(testReaderWindow());
        pumpMessages();
        writeRegistryValue(HKEY_CURRENT_USER, kSettingKey, kHideTextValue, before);
    }
    bool checked() const {
        return (GetMenuState(GetMenu(testReaderWindow()), IDM_HIDE_TEXT, MF_BYCOMMAND) &
                MF_CHECKED) != 0;
    }
    RegistryValue before;
};

TEST_F(HideTextTest, RevealsWordByWordThenWholeAndHidesTheNextAyahAgain) {
    selectAyah(1, 2);
    const std::string whole = translation();
    SIZE size{};
    const std::vector<std::uint32_t> full = expectedPicture(1, 2, 99, size);
    ASSERT_EQ(shownPicture(size), full) << "nothing hidden at the default";
    EXPECT_FALSE(checked());
    EXPECT_FALSE(press(bitmapViewWindow(), VK_SPACE))
        << "Space is not taken when nothing is hidden";

    command(IDM_HIDE_TEXT);
    EXPECT_TRUE(checked());
    EXPECT_EQ(translation(), "");
    EXPECT_EQ(shownPicture(size), expectedPicture(1, 2, 0, size));
    EXPECT_EQ(shownPicture(size), std::vector<std::uint32_t>(full.size(), 0xFFFFFF));
    // The copy is the whole translation all the same.
    command(IDM_COPY_TRANSLATION);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const std::string copied =
        data ? utf8FromWide(static_cast<const wchar_t*>(GlobalLock(data))) : "(none)";
    if (data) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(copied, whole);

    const int words = runsWordCount(programCalligraphy(testContext().programDirectory)->ayah(1, 2));
    ASSERT_GE(words, 3);
    // Space in the search field keeps its meaning there.
    EXPECT_FALSE(press(GetDlgItem(testReaderWindow(), IDC_TRANSLATION_SEARCH), VK_SPACE));
    std::string last;
    for (int k = 1; k < words; ++k) {
        if (k == 1)
            SendMessageW(bitmapViewWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        else
            ASSERT_TRUE(press(bitmapViewWindow(), VK_SPACE));
        EXPECT_EQ(shownPicture(size), expectedPicture(1, 2, k, size)) << k << " words";
        const std::string shown = translation();
        EXPECT_TRUE(wordPrefix(shown, whole)) << shown;
        EXPECT_GT(shown.size(), last.size()) << k << " words";
        EXPECT_LT(shown.size(), whole.size()) << k << " words";
        last = shown;
    }
    EXPECT_EQ(GetFocus(), bitmapViewWindow()) << "a click gives the picture the keys";
    ASSERT_TRUE(press(bitmapViewWindow(), VK_RETURN));
    EXPECT_EQ(shownPicture(size), full);
    EXPECT_EQ(translation(), whole);
    EXPECT_FALSE(press(bitmapViewWindow(), VK_RETURN)) << "nothing left to reveal";

    // Shown again (as a language switch does) it stays revealed; another ayah is hidden.
    selectAyah(1, 2);
    EXPECT_EQ(translation(), whole);
    reader().stepAyah(1);
    EXPECT_EQ(translation(), "");
    EXPECT_EQ(bitmapViewShownWords(bitmapViewWindow()), 0);
    ASSERT_TRUE(press(bitmapViewWindow(), VK_RETURN));
    EXPECT_EQ(bitmapViewShownWords(bitmapViewWindow()), kAllWordsShown);
    EXPECT_EQ(translation(), shownTranslationOf(1, 3));
}

TEST_F(HideTextTest, TheChoiceIsStoredForTheUserAndANewWindowStartsHidden) {
    command(IDM_HIDE_TEXT);
    EXPECT_TRUE(readHideText());
    DestroyWindow(testReaderWindow());
    pumpMessages();
    ASSERT_NE(createReaderWindow(900, 700), nullptr);
    EXPECT_TRUE(checked());
    EXPECT_EQ(translation(), "");
    EXPECT_EQ(bitmapViewShownWords(bitmapViewWindow()), 0);
    command(IDM_HIDE_TEXT);
    EXPECT_FALSE(readHideText());
    EXPECT_FALSE(checked());
    EXPECT_NE(translation(), "");
    EXPECT_EQ(bitmapViewShownWords(bitmapViewWindow()), kAllWordsShown);
}

// A picture not drawn from the runs (the 1x file) is hidden whole and shown whole.
TEST_F(HideTextTest, APictureFromItsFileIsHiddenWhole) {
    const std::string path = distDirectory() + "\\gif\\1\\1_2.gif";
    HWND view = bitmapViewWindow();
    ASSERT_TRUE(showBitmapViewFiles(view, path.c_str(), nullptr));
    EXPECT_EQ(bitmapViewWordCount(view), 0);
    auto inked = [] {
        SIZE size{};
        int ink = 0;
        for (std::uint32_t p : viewPixels(size))
            ink += (p & 0xFF) < 128;
        return ink;
    };
    EXPECT_GT(inked(), 100);
    setBitmapViewShownWords(view, 0);
    EXPECT_EQ(inked(), 0);
    setBitmapViewShownWords(view, kAllWordsShown);
    EXPECT_GT(inked(), 100);
}

} // namespace
