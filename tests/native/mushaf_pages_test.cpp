// The mushaf's pages, hizb quarters and places of prostration compiled into the core, set
// against what the quran-meta package's own functions answer for every ayah (written at
// build time by tests/support/quran_meta_expected.mjs, apart from the converter).
#include "text/mushaf_pages.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string markOf(AyahRef ayah, size_t size = 64) {
    char text[64] = "?";
    formatMushafMarks(ayah, text, size);
    return text;
}

TEST(MushafPages, EveryAyahHasThePageQuarterAndProstrationQuranMetaGives) {
    std::ifstream in(std::string(NORAVEL_DATA_DIR) + "/mushaf_expected.txt");
    ASSERT_TRUE(in) << "build the generated data (mushaf_expectations)";
    int ayat = 0, pages = 0, quarters = 0, prostrations = 0, lastPage = 0;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        int surah, ayah, page, quarterStart, rub, hizb, juz, sajdah;
        ASSERT_TRUE(fields >> surah >> ayah >> page >> quarterStart >> rub >> hizb >> juz >> sajdah)
            << line;
        const AyahRef ref{surah, ayah};
        ++ayat;
        EXPECT_EQ(mushafPageOf(ref), page) << line;
        if (page != lastPage) {
            ++pages;
            EXPECT_EQ(page, lastPage + 1) << line;
            EXPECT_EQ(firstAyahOfPage(page), ref) << line;
            lastPage = page;
        }
        const HizbQuarter quarter = hizbQuarterStartingAt(ref);
        if (quarterStart) {
            ++quarters;
            EXPECT_EQ(quarter.index, rub) << line;
            EXPECT_EQ(quarter.hizb, hizb) << line;
            EXPECT_EQ(quarter.juz, juz) << line;
            EXPECT_EQ(quarter.quarter, (rub - 1) % 4 + 1) << line;
        } else {
            EXPECT_EQ(quarter.index, 0) << line;
        }
        EXPECT_EQ(isProstrationAyah(ref), sajdah == 1) << line;
        prostrations += sajdah;
    }
    EXPECT_EQ(ayat, 6236);
    EXPECT_EQ(pages, kMushafPageCount);
    EXPECT_EQ(quarters, kHizbQuarterCount);
    EXPECT_EQ(prostrations, 15);
}

TEST(MushafPages, AyatAndPagesThatDoNotExistHaveNone) {
    for (const AyahRef ayah : {AyahRef{0, 1}, AyahRef{115, 1}, AyahRef{-1, 1}, AyahRef{2, 0},
                               AyahRef{2, 287}, AyahRef{1, 8}, AyahRef{114, 7}}) {
        EXPECT_EQ(mushafPageOf(ayah), 0) << ayah.surah << ":" << ayah.ayah;
        EXPECT_EQ(hizbQuarterStartingAt(ayah).index, 0);
        EXPECT_FALSE(isProstrationAyah(ayah));
        EXPECT_EQ(firstAyahOfPageAfter(ayah, 1), AyahRef{});
        EXPECT_EQ(markOf(ayah), "");
    }
    for (int page : {0, -1, 605, 1 << 30})
        EXPECT_EQ(firstAyahOfPage(page), AyahRef{}) << page;
    EXPECT_EQ(mushafPageOf({2, 286}), 49);
    EXPECT_EQ(mushafPageOf({114, 6}), 604);
}

TEST(MushafPages, StepsByPageStopAtTheFirstAndTheLastPage) {
    EXPECT_EQ(firstAyahOfPageAfter({2, 286}, 1), (AyahRef{3, 1}));  // page 49 to 50
    EXPECT_EQ(firstAyahOfPageAfter({3, 5}, -1), (AyahRef{2, 283})); // mid page 50 to 49
    EXPECT_EQ(firstAyahOfPageAfter({3, 1}, 0), (AyahRef{3, 1}));
    EXPECT_EQ(firstAyahOfPageAfter({111, 5}, 1), (AyahRef{112, 1})); // to page 604
    EXPECT_EQ(firstAyahOfPageAfter({114, 6}, 1), AyahRef{});
    EXPECT_EQ(firstAyahOfPageAfter({1, 7}, -1), AyahRef{});
    EXPECT_EQ(firstAyahOfPageAfter({1, 1}, -2147483647 - 1), AyahRef{});
    EXPECT_EQ(firstAyahOfPageAfter({1, 1}, 2147483647), AyahRef{});
}

TEST(MushafPages, MarksNameTheQuarterAndTheProstration) {
    EXPECT_EQ(markOf({1, 1}), "Hizb 1");
    EXPECT_EQ(markOf({2, 26}), "Hizb 1 \xC2\xBC");
    EXPECT_EQ(markOf({2, 44}), "Hizb 1 \xC2\xBD");
    EXPECT_EQ(markOf({2, 60}), "Hizb 1 \xC2\xBE");
    EXPECT_EQ(markOf({2, 75}), "Hizb 2");
    EXPECT_EQ(markOf({100, 9}), "Hizb 60 \xC2\xBE");
    EXPECT_EQ(markOf({2, 27}), "");
    EXPECT_EQ(markOf({7, 206}), "Sajdah");
    EXPECT_EQ(markOf({96, 19}), "Sajdah");
    const HizbQuarter juzTwo = hizbQuarterStartingAt({2, 142});
    EXPECT_EQ(juzTwo.index, 9);
    EXPECT_EQ(juzTwo.juz, 2);
    EXPECT_EQ(juzTwo.hizb, 3);
    EXPECT_EQ(juzTwo.quarter, 1);
    // A buffer too small for the whole text holds none of it.
    char text[8] = "?";
    EXPECT_FALSE(formatMushafMarks({2, 26}, text, sizeof text));
    EXPECT_STREQ(text, "");
    EXPECT_TRUE(formatMushafMarks({7, 206}, text, sizeof text));
    EXPECT_STREQ(text, "Sajdah");
    EXPECT_FALSE(formatHizbQuarter({}, nullptr, 0));
    char quarter[16] = "?";
    EXPECT_TRUE(formatHizbQuarter({}, quarter, sizeof quarter));
    EXPECT_STREQ(quarter, "");
}

} // namespace
