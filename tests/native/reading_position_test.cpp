// Resume, window fitting and the once-a-second store of the ayah shown.
#include "app/go_to_input.h"
#include "app/reading_position.h"

#include <gtest/gtest.h>

namespace {

int ayahCount(int surah) {
    return surah == 2 ? 286 : 7;
}

TEST(ResumeAyah, StartsOnAStoredAyahOnlyWhenItExists) {
    EXPECT_EQ(resumeAyah(2, 255, ayahCount).surah, 2);
    EXPECT_EQ(resumeAyah(2, 255, ayahCount).ayah, 255);
    EXPECT_EQ(resumeAyah(114, 7, ayahCount).surah, 114);
    for (auto [surah, ayah] :
         {std::pair{0, 1}, {115, 1}, {-2, 5}, {2, 0}, {2, 287}, {1, -1}, std::pair{3, 8}}) {
        const AyahRef start = resumeAyah(surah, ayah, ayahCount);
        EXPECT_EQ(start.surah, 1) << surah << ":" << ayah;
        EXPECT_EQ(start.ayah, 1) << surah << ":" << ayah;
    }
}

TEST(WindowFitting, AWindowOffEveryScreenIsMovedOntoTheArea) {
    const ScreenRect area{0, 0, 1280, 994};
    const ScreenRect inside{100, 50, 1000, 750};
    const ScreenRect same = fitOntoArea(inside, area);
    EXPECT_EQ(same.left, 100);
    EXPECT_EQ(same.bottom, 750);

    // Far right and below (a second monitor that is gone): keeps its size, touches the edges.
    const ScreenRect moved = fitOntoArea({3000, 2000, 3900, 2700}, area);
    EXPECT_EQ(moved.left, 380);
    EXPECT_EQ(moved.top, 294);
    EXPECT_EQ(moved.width(), 900);
    EXPECT_EQ(moved.height(), 700);

    // Above and left, and larger than the area: shrunk to it.
    const ScreenRect shrunk = fitOntoArea({-5000, -4000, -2000, -2000}, {1280, 0, 2560, 1024});
    EXPECT_EQ(shrunk.left, 1280);
    EXPECT_EQ(shrunk.width(), 1280);
    EXPECT_EQ(shrunk.top, 0);
    EXPECT_EQ(shrunk.height(), 1024);
}

TEST(WindowFitting, OnlyPlausibleStoredRectanglesAreUsed) {
    EXPECT_TRUE(isPlausibleWindowRect({10, 10, 910, 710}));
    EXPECT_FALSE(isPlausibleWindowRect({10, 10, 10, 710}));                 // no width
    EXPECT_FALSE(isPlausibleWindowRect({10, 10, 50, 710}));                 // too narrow to use
    EXPECT_FALSE(isPlausibleWindowRect({910, 10, 10, 710}));                // edges swapped
    EXPECT_FALSE(isPlausibleWindowRect({-2147483647, 0, 2147483647, 700})); // overflowing width
    EXPECT_FALSE(isPlausibleWindowRect({40000, 0, 40900, 700}));            // beyond any screen
}

TEST(SaveThrottle, WritesAtOnceThenAtMostOncePerInterval) {
    SaveThrottle throttle(1000);
    EXPECT_EQ(throttle.delayFor(5000), 0u);
    throttle.wrote(5000);
    EXPECT_EQ(throttle.delayFor(5000), 1000u);
    EXPECT_EQ(throttle.delayFor(5400), 600u);
    EXPECT_EQ(throttle.delayFor(6000), 0u);
    // Across the wrap of the tick count.
    throttle.wrote(0xFFFFFF00u);
    EXPECT_EQ(throttle.delayFor(0x00000010u), 1000u - 0x110u);
    EXPECT_EQ(throttle.delayFor(0x00000400u), 0u);
}

// ---- Go to ----

const char* surahName(int surah) {
    switch (surah) {
    case 1: return "Al Fatihah ";
    case 2: return "Al Baqarah ";
    case 4: return "An Nisa ";
    case 36: return "Ya Sin ";
    case 110: return "An Nasr ";
    case 114: return "An Nas ";
    default: return "Other ";
    }
}

int goToAyahCount(int surah) {
    return surah == 2 ? 286 : surah == 36 ? 83 : 6;
}

GoToTarget goTo(const char* text) {
    return parseGoToInput(text, surahName, goToAyahCount);
}

TEST(GoToInput, AcceptsNumbersWithAColonOrASpaceAndNamesTypedInPart) {
    struct Case {
        const char* text;
        int surah, ayah;
    };
    for (const Case& c : {Case{"2:255", 2, 255},
                          {" 2 255 ", 2, 255},
                          {"2 : 7", 2, 7},
                          {"114", 114, 1},
                          {"baqa", 2, 1},
                          {"BAQA 255", 2, 255},
                          {"al-baqarah:3", 2, 3},
                          {"yasin 83", 36, 83},
                          {"ya sin", 36, 1},
                          {"nas", 114, 1},
                          {"nasr", 110, 1},
                          {"fati", 1, 1}}) {
        const GoToTarget target = goTo(c.text);
        EXPECT_TRUE(target.found) << c.text << ": " << target.problem;
        EXPECT_EQ(target.surah, c.surah) << c.text;
        EXPECT_EQ(target.ayah, c.ayah) << c.text;
    }
}

TEST(GoToInput, BadInputIsExplained) {
    struct Case {
        const char* text;
        const char* problemPart;
    };
    for (const Case& c : {Case{"", "Type a surah"},
                          {"   ", "Type a surah"},
                          {"115:1", "no surah 115"},
                          {"0", "no surah 0"},
                          {"2:287", "ayat 1 to 286, not 287"},
                          {"2:0", "not 0"},
                          {"2:99999999999", "not 99999999999"},
                          {"baqa 300", "not 300"},
                          {"zzz", "No surah name contains \"zzz\""},
                          {"an", "fits several surahs (An Nisa, An Nasr, An Nas)"},
                          {"::", "neither an ayah nor a surah name"}}) {
        const GoToTarget target = goTo(c.text);
        EXPECT_FALSE(target.found) << c.text;
        EXPECT_NE(target.problem.find(c.problemPart), std::string::npos)
            << c.text << " -> " << target.problem;
    }
}

// A page goes to its first ayah; "page" and "p" in any case, with or without blanks.
TEST(GoToInput, TakesAPageOfTheMushafByNumber) {
    struct Case {
        const char* text;
        int page, surah, ayah;
    };
    for (const Case& c : {Case{"page 50", 50, 3, 1},
                          {"p50", 50, 3, 1},
                          {" P 50 ", 50, 3, 1},
                          {"PAGE50", 50, 3, 1},
                          {"Page  1", 1, 1, 1},
                          {"p604", 604, 112, 1},
                          {"p 049", 49, 2, 283}}) {
        const GoToTarget target = goTo(c.text);
        EXPECT_TRUE(target.found) << c.text << ": " << target.problem;
        EXPECT_EQ(target.page, c.page) << c.text;
        EXPECT_EQ(target.surah, c.surah) << c.text;
        EXPECT_EQ(target.ayah, c.ayah) << c.text;
    }
    // An ayah or a surah is no page.
    EXPECT_EQ(goTo("2:255").page, 0);
    EXPECT_EQ(goTo("baqa").page, 0);
}

TEST(GoToInput, APageOutsideTheMushafIsRefused) {
    struct Case {
        const char* text;
        const char* problemPart;
    };
    for (const Case& c :
         {Case{"page 0", "no page 0: the pages of the mushaf are numbered 1 to 604"},
          {"p605", "no page 605"},
          {"p 99999999999", "no page 99999999999"},
          {"page", "Type the page's number, 1 to 604"},
          {"pages 5", "No surah name contains \"pages\""},
          {"p-5", "No surah name contains \"p-5\""}}) {
        const GoToTarget target = goTo(c.text);
        EXPECT_FALSE(target.found) << c.text;
        EXPECT_EQ(target.page, 0) << c.text;
        EXPECT_NE(target.problem.find(c.problemPart), std::string::npos)
            << c.text << " -> " << target.problem;
    }
}

// Whether text is whole UTF-8: every lead byte followed by its continuation bytes.
bool isWholeUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80    ? 1
                              : lead >= 0xF0 ? 4
                              : lead >= 0xE0 ? 3
                              : lead >= 0xC0 ? 2
                                             : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// The Go to field takes text in any script; a long word quoted back in the problem is cut
// between characters, so that the dialog can show it.
TEST(GoToInput, ALongWordInAnyScriptIsQuotedWholeCharactersOnly) {
    for (const char*
             text : {"x\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0\xD0\x9C\xD0\xBE\xD1\x81\xD0"
                     "\xBA"
                     "\xD0\xB2\xD0\xB0\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0\xD0\x9C\xD0"
                     "\xBE", // xМосква...
                     "\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95\xE4\xB8\xAD\xE6\x96\x87\xE6"
                     "\xB5\x8B"
                     "\xE8\xAF\x95\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95\xE4\xB8\xAD\xE6"
                     "\x96\x87", // 中文测试...
                     "2:\xD9\xA2\xD9\xA5\xD9\xA5\xD9\xA5\xD9\xA5\xD9\xA5\xD9\xA5"}) { // 2: and
                                                                                      // Arabic
                                                                                      // digits
        const GoToTarget target = goTo(text);
        EXPECT_FALSE(target.found) << text;
        EXPECT_FALSE(target.problem.empty()) << text;
        EXPECT_TRUE(isWholeUtf8(target.problem)) << text << " -> " << target.problem;
    }
    // What fits is quoted as it was typed.
    const GoToTarget chinese = goTo("\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_NE(chinese.problem.find("\xE4\xB8\xAD\xE6\x96\x87"), std::string::npos)
        << chinese.problem;
}

} // namespace
