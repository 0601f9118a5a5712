// The reading view (View > Reading) in a real main window: shown in place of the picture and
// the translation and back, scrolled by the wheel and the keys with the lists, the juz and the
// stored choice following, scrolled to any ayah chosen elsewhere, and drawn in the schemes and
// at another DPI with the recited ayah on its band and the mushaf's pages and marks above
// their ayat.
#include "app/reader_window_win.h"
#include "app/reading_marks_win.h"
#include "app/reading_view_win.h"
#include "base/guards_win.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"
#include "tests/support/printed_client_win.h"
#include "text/juz.h"

#include "win_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void command(int id, int notification = 0) {
    SendMessageW(testReaderWindow(), WM_COMMAND, MAKEWPARAM(id, notification), 0);
}

ReadingView& view() {
    return *reader().readingView();
}

void wheel(HWND window, int notches) {
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, -notches * WHEEL_DELTA), 0);
}

int ayahListSelection() {
    return static_cast<int>(
               SendDlgItemMessageW(testReaderWindow(), IDC_AYAH_LIST, CB_GETCURSEL, 0, 0)) +
           1;
}

// The view's client area as its paint draws it, 0xRRGGBB top-down.
std::vector<std::uint32_t> viewPixels(SIZE& size) {
    return printedClientPixels(view().window(), size);
}

std::uint32_t rgb(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// How many pixels of rows [top, bottom) of the view have the colour.
int pixelsOf(const std::vector<std::uint32_t>& pixels, SIZE size, int top, int bottom,
             COLORREF colour) {
    int count = 0;
    for (int y = std::max(0, top); y < std::min<int>(bottom, size.cy); ++y)
        for (int x = 0; x < size.cx; ++x)
            count += pixels[y * size.cx + x] == rgb(colour);
    return count;
}

// Whether a pixel is the colour or text drawn in it (within a step of anti-aliasing).
bool closeTo(std::uint32_t pixel, COLORREF colour) {
    const std::uint32_t c = rgb(colour);
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((pixel >> shift) & 0xFF) -
                     static_cast<int>((c >> shift) & 0xFF)) > 24)
            return false;
    return true;
}

// Where the pixels of rows [top, bottom) near the colour are: how many, their bounds, and the
// longest run of them along one row (a rule; text breaks into short runs).
struct Ink {
    int count = 0;
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
    int longestRun = 0;
};

Ink inkOf(const std::vector<std::uint32_t>& pixels, SIZE size, int top, int bottom,
          COLORREF colour) {
    Ink ink;
    for (int y = std::max(0, top); y < std::min<int>(bottom, size.cy); ++y) {
        int run = 0;
        for (int x = 0; x < size.cx; ++x) {
            if (!closeTo(pixels[y * size.cx + x], colour)) {
                run = 0;
                continue;
            }
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            ink.longestRun = std::max(ink.longestRun, ++run);
        }
    }
    return ink;
}

// The first of rows [top, bottom) with the calligraphy's or the translation's ink in it (the
// dark ink of the day, the light ink of the night; the marks' ink is neither): the top of the
// calligraphy in an ayah's block. bottom when there is none.
int calligraphyTop(const std::vector<std::uint32_t>& pixels, SIZE size, int top, int bottom,
                   bool night) {
    for (int y = std::max(0, top); y < std::min<int>(bottom, size.cy); ++y)
        for (int x = 0; x < size.cx; ++x) {
            const std::uint32_t p = pixels[y * size.cx + x];
            const int darkest = std::min({p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF});
            const int lightest = std::max({p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF});
            if (night ? darkest > 190 : lightest < 70) return y;
        }
    return bottom;
}

class ReadingViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeReadingView(false);
        writeNightScheme(false);
        ASSERT_NE(createReaderWindow(), nullptr);
    }
    void TearDown() override {
        DestroyWindow(testReaderWindow());
        pumpMessages();
        writeReadingView(false);
        writeNightScheme(false);
    }
    // Shows the reading view on the ayah.
    void openOn(int surah, int ayah) {
        selectAyah(surah, ayah);
        command(IDM_READING_VIEW);
        ASSERT_TRUE(reader().readingViewOn());
        ASSERT_NE(reader().readingView(), nullptr);
    }
};

TEST_F(ReadingViewTest, ReadingTakesThePlaceOfThePictureAndLeavingReturnsOnTheCurrentAyah) {
    openOn(2, 10);
    HWND window = testReaderWindow();
    EXPECT_TRUE(GetWindowLongPtrW(view().window(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongPtrW(reader().bitmapView(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongPtrW(GetDlgItem(window, IDC_TRANSLATION), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetMenuState(GetMenu(window), IDM_READING_VIEW, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(readReadingView());
    EXPECT_EQ(view().topAyah(), (AyahRef{2, 10}));
    RECT area{};
    GetWindowRect(view().window(), &area);
    EXPECT_GT(area.bottom - area.top, 200);

    EXPECT_EQ(windowText(view().window()), windowText(reader().bitmapView()));

    wheel(view().window(), 6); // on to another ayah
    const int reached = currentAyah();
    ASSERT_GT(reached, 10);
    // A screen reader speaks the ayah at the top; Tab reaches the view where the picture was.
    EXPECT_NE(windowText(view().window()).find("ayah " + std::to_string(reached) + ":"),
              std::string::npos)
        << windowText(view().window());
    EXPECT_EQ(reader().pictureWindow(), view().window());
    command(IDM_READING_VIEW);
    EXPECT_FALSE(reader().readingViewOn());
    EXPECT_FALSE(readReadingView());
    EXPECT_FALSE(GetWindowLongPtrW(view().window(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongPtrW(reader().bitmapView(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(currentSurah(), 2);
    EXPECT_EQ(currentAyah(), reached);
    EXPECT_EQ(windowText(GetDlgItem(window, IDC_TRANSLATION)), shownTranslationOf(2, reached));
    EXPECT_EQ(reader().pictureWindow(), reader().bitmapView());
}

TEST_F(ReadingViewTest, TheWheelMovesTheCurrentAyahAndTheListsAndJuzFollow) {
    openOn(2, 130);
    EXPECT_EQ(statusBarPart(testReaderWindow(), 0), "JUZ 1");
    int previous = currentAyah();
    // The wheel over the view or the main window scrolls the column, down and back up.
    for (int turn = 0; turn < 200 && currentAyah() < 145; ++turn) {
        wheel(turn % 2 ? view().window() : testReaderWindow(), 1);
        const int now = currentAyah();
        ASSERT_GE(now, previous);
        previous = now;
        EXPECT_EQ(now, view().column().ayahAt(view().scrollOffset()));
        EXPECT_EQ(ayahListSelection(), now);
    }
    ASSERT_GE(currentAyah(), 145);
    EXPECT_EQ(currentSurah(), 2);
    EXPECT_EQ(statusBarPart(testReaderWindow(), 0),
              "JUZ " + std::to_string(juzOf(2, currentAyah())));
    EXPECT_EQ(statusBarPart(testReaderWindow(), 0), "JUZ 2");
    for (int turn = 0; turn < 10; ++turn)
        wheel(view().window(), -200);
    EXPECT_EQ(view().scrollOffset(), 0);
    EXPECT_EQ(currentAyah(), 1);
    EXPECT_EQ(statusBarPart(testReaderWindow(), 0), "JUZ 1");
}

TEST_F(ReadingViewTest, KeysAndTheScrollBarScrollAndPageDownGoesByAPage) {
    openOn(3, 1);
    HWND window = view().window();
    SendMessageW(window, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(currentAyah(), 200);
    EXPECT_EQ(view().scrollOffset(), view().column().maxScroll());
    SendMessageW(window, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(view().scrollOffset(), 0);
    EXPECT_EQ(currentAyah(), 1);
    SendMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(view().scrollOffset(), view().lineHeight());
    SendMessageW(window, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(view().scrollOffset(), 0);
    // Page Down from the key table scrolls the view by a page, not by one ayah.
    RECT client{};
    GetClientRect(window, &client);
    command(IDM_NEXT_AYAH, 1);
    EXPECT_EQ(view().scrollOffset(), client.bottom - view().lineHeight());
    command(IDM_PREVIOUS_AYAH, 1);
    EXPECT_EQ(view().scrollOffset(), 0);
    SendMessageW(window, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(view().scrollOffset(), client.bottom - view().lineHeight());
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &info));
    EXPECT_EQ(info.nPos, view().scrollOffset());
    EXPECT_EQ(info.nMax - static_cast<int>(info.nPage) + 1, view().column().maxScroll());
}

TEST_F(ReadingViewTest, ChoosingAnAyahAnywhereScrollsTheViewToIt) {
    openOn(2, 1);
    selectAyah(2, 255); // Go to, the results, the bookmarks
    EXPECT_EQ(view().topAyah(), (AyahRef{2, 255}));
    EXPECT_EQ(view().scrollOffset(), view().column().scrollFor(255));
    // The ayah list.
    HWND window = testReaderWindow();
    SendDlgItemMessageW(window, IDC_AYAH_LIST, CB_SETCURSEL, 99, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_AYAH_LIST, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_AYAH_LIST)));
    EXPECT_EQ(view().topAyah(), (AyahRef{2, 100}));
    // Next ayah from the menu, and another surah: its column, its opening at the top.
    command(IDM_NEXT_AYAH);
    EXPECT_EQ(view().topAyah(), (AyahRef{2, 101}));
    command(IDM_NEXT_SURAH);
    EXPECT_EQ(view().topAyah(), (AyahRef{3, 1}));
    EXPECT_EQ(view().scrollOffset(), 0);
    EXPECT_EQ(view().column().ayatCount(), 200);
}

TEST_F(ReadingViewTest, TheChoiceIsStoredAndANewWindowOpensInTheReadingView) {
    openOn(18, 10);
    DestroyWindow(testReaderWindow());
    pumpMessages();
    ASSERT_TRUE(readReadingView());
    HWND window =
        ReaderWindow::create(testContext(), readReaderSettings(), kDefaultTranslationHeight);
    testReaderWindow() = window;
    ASSERT_NE(window, nullptr);
    pumpMessages();
    ASSERT_TRUE(reader().readingViewOn());
    EXPECT_EQ(view().topAyah(), reader().shownAyah());
    EXPECT_EQ(view().topAyah(), (AyahRef{18, 10}));
}

TEST_F(ReadingViewTest, NightDpiAndTheRecitedAyahAreDrawn) {
    openOn(2, 5);
    SIZE size{};
    std::vector<std::uint32_t> pixels = viewPixels(size);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(pixels[0], rgb(kReadingPaper));

    // The recited ayah lies on the band, edge to edge; no other does.
    view().setRecited(5);
    pixels = viewPixels(size);
    const int bandTop = view().column().ayahTop(5) - view().scrollOffset();
    const int bandBottom = bandTop + view().column().ayahHeight(5);
    EXPECT_EQ(pixels[(bandTop + 2) * size.cx], rgb(kReadingBand));
    EXPECT_GT(pixelsOf(pixels, size, bandTop, bandBottom, kReadingBand), size.cx * 10);
    EXPECT_EQ(pixelsOf(pixels, size, bandBottom, size.cy, kReadingBand), 0);

    // The reader marks what its recitation recites after each command: nothing plays here.
    command(IDM_NIGHT);
    EXPECT_EQ(view().recited(), 0);
    view().setRecited(5);
    pixels = viewPixels(size);
    EXPECT_EQ(pixels[(bandBottom + 2) * size.cx], rgb(kReadingNightPaper));
    EXPECT_GT(pixelsOf(pixels, size, bandTop, bandBottom, kReadingNightBand), size.cx * 10);
    view().setRecited(0);
    pixels = viewPixels(size);
    EXPECT_EQ(pixelsOf(pixels, size, 0, size.cy, kReadingNightBand), 0);

    // A DPI change lays the column out again for it, on the same ayah.
    const int height96 = view().column().ayahHeight(5);
    RECT rect{};
    GetWindowRect(testReaderWindow(), &rect);
    SendMessageW(testReaderWindow(), WM_DPICHANGED, MAKEWPARAM(192, 192),
                 reinterpret_cast<LPARAM>(&rect));
    EXPECT_GT(view().column().ayahHeight(5), height96 * 3 / 2);
    EXPECT_EQ(view().topAyah(), (AyahRef{2, 5}));
    SendMessageW(testReaderWindow(), WM_DPICHANGED, MAKEWPARAM(96, 96),
                 reinterpret_cast<LPARAM>(&rect));
}

TEST_F(ReadingViewTest, APageBeginsUnderARuleAndAQuarterIsLabelledAboveItsAyah) {
    openOn(2, 5);
    SIZE size{};
    std::vector<std::uint32_t> pixels = viewPixels(size);
    const auto blockTop = [](int ayah) {
        return view().column().ayahTop(ayah) - view().scrollOffset();
    };
    ASSERT_LE(blockTop(7), size.cy) << "2:5 and 2:6 are on screen";
    // Page 3 of the mushaf begins with 2:6: a rule across the column, with the page's number,
    // above its calligraphy, in room of its own.
    const int calligraphy6 = calligraphyTop(pixels, size, blockTop(6), blockTop(7), false);
    ASSERT_LT(calligraphy6, blockTop(7));
    const Ink rule = inkOf(pixels, size, blockTop(6), calligraphy6, kReadingMarkInk);
    EXPECT_GT(rule.longestRun, size.cx / 4);
    EXPECT_GT(rule.count, rule.longestRun + 20); // and text: the number
    EXPECT_LT(rule.left, size.cx / 5);
    EXPECT_GT(rule.right, size.cx * 4 / 5);
    const int calligraphy5 = calligraphyTop(pixels, size, blockTop(5), blockTop(6), false);
    EXPECT_GT(calligraphy6 - blockTop(6), calligraphy5 - blockTop(5) + rule.bottom - rule.top);
    // 2:5 ends page 2: no mark anywhere in its block.
    EXPECT_EQ(inkOf(pixels, size, blockTop(5), blockTop(6), kReadingMarkInk).count, 0);

    // 2:26 begins the second quarter of hizb 1: its label at the left above the calligraphy,
    // with no rule (no page begins there); 2:27 begins nothing.
    selectAyah(2, 26);
    ASSERT_EQ(view().topAyah(), (AyahRef{2, 26}));
    for (bool night : {false, true}) {
        if (night) command(IDM_NIGHT);
        pixels = viewPixels(size);
        const COLORREF ink = night ? kReadingNightMarkInk : kReadingMarkInk;
        const int calligraphy = calligraphyTop(pixels, size, blockTop(26), blockTop(27), night);
        const Ink label = inkOf(pixels, size, blockTop(26), calligraphy, ink);
        EXPECT_GT(label.count, 20) << night;
        EXPECT_LT(label.right, size.cx / 3) << night;
        EXPECT_LT(label.longestRun, size.cx / 10) << night;
        const int next = calligraphyTop(pixels, size, blockTop(27), blockTop(28), night);
        EXPECT_EQ(inkOf(pixels, size, blockTop(27), next, ink).count, 0) << night;
    }
}

TEST_F(ReadingViewTest, ANarrowerWindowWrapsTheTranslationIntoTallerBlocks) {
    openOn(2, 20);
    const int wide = view().column().ayahHeight(20);
    SetWindowPos(testReaderWindow(), nullptr, 0, 0, 500, 700, SWP_NOZORDER | SWP_NOMOVE);
    pumpMessages();
    EXPECT_GT(view().column().ayahHeight(20), wide);
    EXPECT_EQ(view().topAyah(), (AyahRef{2, 20}));
}

} // namespace
