// The marks above the ayat of the reading view: page rules where the mushaf's pages begin,
// labels where hizb quarters begin.
#include "app/reading_marks.h"

#include "text/mushaf_pages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ReadingMarks, ARuleGoesAboveEveryAyahThatBeginsAPageButASurahsFirst) {
    // Surah 2 spans pages 2 to 49; page 2 begins with the surah itself.
    std::vector<int> pages;
    for (int ayah = 1; ayah <= 286; ++ayah) {
        const ReadingMarkText marks = readingMarkOf({2, ayah});
        if (marks.page == 0) continue;
        EXPECT_EQ(mushafPageOf({2, ayah}), marks.page) << ayah;
        EXPECT_EQ(firstAyahOfPage(marks.page), (AyahRef{2, ayah}));
        pages.push_back(marks.page);
    }
    ASSERT_EQ(pages.size(), 47u);
    EXPECT_EQ(pages.front(), 3);
    EXPECT_EQ(pages.back(), 49);
    EXPECT_EQ(readingMarkOf({2, 1}).page, 0);
    EXPECT_EQ(readingMarkOf({1, 1}).page, 0);
    EXPECT_EQ(readingMarkOf({3, 1}).page, 0); // page 50 begins with surah 3
}

TEST(ReadingMarks, AQuarterIsLabelledWithoutARuleOfItsOwn) {
    const ReadingMarkText quarter = readingMarkOf({2, 26});
    EXPECT_EQ(std::string(quarter.label), "Hizb 1 \xC2\xBC");
    EXPECT_EQ(quarter.page, 0);
    // A surah's first ayah keeps its label (the hizb that begins with it).
    EXPECT_EQ(std::string(readingMarkOf({1, 1}).label), "Hizb 1");
    EXPECT_FALSE(readingMarkOf({2, 27}).any());
    for (AyahRef none : {AyahRef{0, 0}, AyahRef{2, 287}, AyahRef{115, 1}})
        EXPECT_FALSE(readingMarkOf(none).any()) << none.surah << ":" << none.ayah;
}

} // namespace
