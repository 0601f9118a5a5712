// The marks of an Arabic search on the letters of the shown ayah, in process: the reader
// window is made as the reader makes it, the search runs over the real text, and the
// picture view's marked letters and drawn pixels are read back.
#include "picture/bitmap_view_win.h"
#include "picture/calligraphy_win.h"
#include "resources/resource_ids.h"
#include "search/arabic_search_win.h"
#include "tests/support/printed_client_win.h"
#include "text/text_store.h"

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const char kAllah[] = "\xC7\xE1\xE1\xE5"; // الله in the byte code
const char kRabb[] = "\xD1\xC8";          // رب, not in 1:1

std::set<std::size_t> markedLetters() {
    std::set<std::size_t> out;
    const std::vector<bool> letters = bitmapViewMarkedLetters(bitmapViewWindow());
    for (std::size_t i = 0; i < letters.size(); ++i)
        if (letters[i]) out.insert(i);
    return out;
}

void search(const char* query, bool exact = true) {
    SearchMemory& memory = reader().searchMemory();
    std::snprintf(memory.arabic, sizeof memory.arabic, "%s", query);
    memory.exactSpelling = exact;
    runArabicSearch(testContext(), reader(), memory, false, false);
    pumpMessages();
}

// Opens the result line of surah:ayah as a click on it does.
void openResult(int surah, int ayah) {
    HWND list = GetDlgItem(testReaderWindow(), IDC_RESULT_LIST);
    const std::string prefix = std::to_string(surah) + ":" + std::to_string(ayah) + " ";
    const LRESULT index = SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(prefix.c_str()));
    ASSERT_NE(index, LB_ERR) << prefix;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(testReaderWindow(), WM_COMMAND, MAKEWPARAM(IDC_RESULT_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    pumpMessages();
}

// The view as it paints itself, in a 32-bit top-down DIB (0x00RRGGBB).
struct ViewPixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    int countNear(COLORREF colour) const {
        int count = 0;
        for (std::uint32_t p : pixels) {
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            count += std::abs(r - GetRValue(colour)) < 24 && std::abs(g - GetGValue(colour)) < 24 &&
                     std::abs(b - GetBValue(colour)) < 24;
        }
        return count;
    }
};

ViewPixels paintedView() {
    SIZE size{};
    ViewPixels out;
    out.pixels = printedClientPixels(bitmapViewWindow(), size);
    out.width = size.cx;
    out.height = size.cy;
    return out;
}

// Writes the view's pixels as a PPM picture.
void savePicture(const ViewPixels& view, const std::string& path) {
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr) << path;
    std::fprintf(out, "P6\n%d %d\n255\n", view.width, view.height);
    for (std::uint32_t p : view.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                      static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, out);
    }
    std::fclose(out);
}

// Every glyph of the word that one of its letters begins is marked; the glyphs of its marks
// (shadda, fatha, kasra) and of every other word are not.
void expectWordMarked(const AyahRuns& runs, int word, const std::set<std::size_t>& letters) {
    const std::set<std::size_t> marked = markedLetters();
    ASSERT_FALSE(marked.empty());
    int wordGlyphs = 0;
    for (const RunLine& line : runs.lines)
        for (const RunGlyph& glyph : line.glyphs) {
            if (glyph.letter == kNoLetter) continue;
            const bool isMarked = marked.count(glyph.letter) > 0;
            if (glyph.word != word) {
                EXPECT_FALSE(isMarked) << "letter " << glyph.letter;
                continue;
            }
            ++wordGlyphs;
            EXPECT_EQ(isMarked, letters.count(glyph.letter) > 0) << "letter " << glyph.letter;
        }
    EXPECT_GT(wordGlyphs, static_cast<int>(marked.size())); // the word's marks stay ink
}

class SearchMarks : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_NE(createReaderWindow(), nullptr);
        ShowWindow(testReaderWindow(), SW_SHOW);
        testPrompts().onTell = [](HWND, const char*, const char*) {};
    }
    static void TearDownTestSuite() {
        if (testReaderWindow()) DestroyWindow(testReaderWindow());
        pumpMessages();
    }
    void SetUp() override {
        ASSERT_NE(bitmapViewWindow(), nullptr);
        calligraphy = programCalligraphy(testContext().programDirectory);
        ASSERT_NE(calligraphy, nullptr) << "the runs and the font beside the program";
        reader().searchMemory().marksArabic = false;
    }
    const Calligraphy* calligraphy = nullptr;
};

// The word الله is the second word of 1:1 (بِسۡمِ ٱللَّهِ ...), bytes 4..7 of its text.
TEST_F(SearchMarks, AllahIn1_1MarksExactlyTheGlyphsOfTheWordsLetters) {
    selectAyah(1, 1);
    search(kAllah);
    const AyahRuns runs = calligraphy->ayah(1, 1);
    ASSERT_EQ(runs.textLetters.size(), std::strlen(TextStore::arabic(1, 1)));
    ASSERT_EQ(std::string(TextStore::arabic(1, 1)).substr(4, 4), kAllah);
    // The code points of the word's four letters, as the runs map the text's bytes.
    std::set<std::size_t> letters;
    for (std::size_t b = 4; b < 8; ++b)
        letters.insert(runs.textLetters[b]);
    ASSERT_EQ(letters.size(), 4u);
    expectWordMarked(runs, 1, letters);
    EXPECT_GT(paintedView().countNear(RGB(0, 90, 200)), 20);
}

// The tolerant search for الله meets لِلَّهِ, the second word of 1:2 (ٱلۡحَمۡدُ لِلَّهِ ...):
// its two lams (the first standing for the article's alef and lam) and its ha.
TEST_F(SearchMarks, TheTolerantSpellingMarksTheUthmaniLettersTheTypedWordMet) {
    selectAyah(1, 2);
    search(kAllah, false);
    const AyahRuns runs = calligraphy->ayah(1, 2);
    // The letters of the form's second word, as the runs map the form's bytes.
    std::set<std::size_t> letters;
    int word = 0;
    for (std::uint16_t letter : runs.formLetters) {
        if (letter == kNoLetter)
            ++word;
        else if (word == 1)
            letters.insert(letter);
    }
    ASSERT_EQ(letters.size(), 3u);
    expectWordMarked(runs, 1, letters);
    // The exact search does not find الله in لله.
    search(kAllah, true);
    EXPECT_TRUE(markedLetters().empty());
}

TEST_F(SearchMarks, MarksComeWithAResultAndGoWithAnotherAyahOrAnotherSearch) {
    selectAyah(2, 1); // no الله: the search marks nothing
    search(kAllah);
    EXPECT_TRUE(markedLetters().empty());
    openResult(1, 1);
    EXPECT_FALSE(markedLetters().empty());
    selectAyah(2, 7); // holds الله, but is not opened from the results
    EXPECT_TRUE(markedLetters().empty());
    EXPECT_EQ(paintedView().countNear(RGB(0, 90, 200)), 0);
    openResult(2, 7);
    EXPECT_FALSE(markedLetters().empty());
    search(kRabb); // another search, which 2:7 does not hold
    EXPECT_TRUE(markedLetters().empty());
    selectAyah(1, 2);
    search(kRabb);
    EXPECT_EQ(markedLetters().size(), 2u); // the ra and the ba of رَبِّ
}

TEST_F(SearchMarks, TheMarkColourIsTheSchemesInDayAndNight) {
    selectAyah(1, 1);
    search(kAllah);
    const ViewPixels day = paintedView();
    EXPECT_GT(day.countNear(RGB(0, 90, 200)), 20);
    setBitmapViewNight(bitmapViewWindow(), true);
    const ViewPixels night = paintedView();
    EXPECT_GT(night.countNear(RGB(255, 190, 60)), 20);
    EXPECT_EQ(night.countNear(RGB(0, 90, 200)), 0);
    setBitmapViewNight(bitmapViewWindow(), false);
    if (const char* path = std::getenv("NORAVEL_SEARCH_MARK_SHOT")) {
        savePicture(day, std::string(path) + "_day.ppm");
        savePicture(night, std::string(path) + "_night.ppm");
    }
}

} // namespace
