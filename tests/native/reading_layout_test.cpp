// The reading view's column: where blocks begin, which ayah is at an offset, how far it
// scrolls, and the parts of one ayah's block.
#include "app/reading_layout.h"

#include <gtest/gtest.h>

namespace {

// An opening of 50 and blocks of 100, 30, 0 (an ayah with nothing to show) and 70.
ReadingColumn smallColumn() {
    ReadingColumn column;
    column.set(50, {100, 30, 0, 70});
    return column;
}

TEST(ReadingColumn, BlocksFollowTheOpeningOneAfterAnother) {
    const ReadingColumn column = smallColumn();
    EXPECT_EQ(column.ayatCount(), 4);
    EXPECT_EQ(column.totalHeight(), 250);
    EXPECT_EQ(column.ayahTop(1), 50);
    EXPECT_EQ(column.ayahTop(2), 150);
    EXPECT_EQ(column.ayahTop(3), 180);
    EXPECT_EQ(column.ayahTop(4), 180);
    EXPECT_EQ(column.ayahHeight(2), 30);
    EXPECT_EQ(column.ayahHeight(4), 70);
    // Ayat outside the surah are kept inside it.
    EXPECT_EQ(column.ayahTop(0), 50);
    EXPECT_EQ(column.ayahTop(99), 180);
}

TEST(ReadingColumn, TheAyahAtAnOffsetIsTheBlockHoldingIt) {
    const ReadingColumn column = smallColumn();
    EXPECT_EQ(column.ayahAt(-10), 1); // above the column
    EXPECT_EQ(column.ayahAt(0), 1);   // the opening counts as the first ayah
    EXPECT_EQ(column.ayahAt(49), 1);
    EXPECT_EQ(column.ayahAt(149), 1);
    EXPECT_EQ(column.ayahAt(150), 2);
    EXPECT_EQ(column.ayahAt(179), 2);
    // A block of no height is never the one at an offset: the next one begins there too.
    EXPECT_EQ(column.ayahAt(180), 4);
    EXPECT_EQ(column.ayahAt(1000), 4); // below the end
}

TEST(ReadingColumn, ScrollingStopsWhenTheLastAyahIsAtTheTop) {
    const ReadingColumn column = smallColumn();
    EXPECT_EQ(column.maxScroll(), 180);
    EXPECT_EQ(column.clampScroll(-5), 0);
    EXPECT_EQ(column.clampScroll(120), 120);
    EXPECT_EQ(column.clampScroll(500), 180);
    // Scrolling to an ayah puts its block at the top; the first shows the opening too.
    EXPECT_EQ(column.scrollFor(1), 0);
    EXPECT_EQ(column.scrollFor(2), 150);
    EXPECT_EQ(column.scrollFor(4), 180);
    for (int ayah : {2, 4})
        EXPECT_EQ(column.ayahAt(column.scrollFor(ayah)), ayah);
}

TEST(ReadingColumn, VisibleAyatAreThoseWithAPartInTheView) {
    const ReadingColumn column = smallColumn();
    ReadingColumn::Range range = column.visibleAyat(0, 60);
    EXPECT_EQ(range.first, 1);
    EXPECT_EQ(range.last, 1);
    range = column.visibleAyat(140, 50);
    EXPECT_EQ(range.first, 1);
    EXPECT_EQ(range.last, 4);
    range = column.visibleAyat(300, 50); // below the end: nothing
    EXPECT_LT(range.last, range.first);
    range = column.visibleAyat(0, 0);
    EXPECT_LT(range.last, range.first);
}

TEST(ReadingColumn, AnEmptyColumnHasNoAyahAndDoesNotScroll) {
    ReadingColumn column;
    column.set(40, {});
    EXPECT_EQ(column.ayahAt(10), 0);
    EXPECT_EQ(column.maxScroll(), 0);
    EXPECT_EQ(column.clampScroll(30), 0);
    EXPECT_EQ(column.ayahTop(1), 0);
    EXPECT_LT(column.visibleAyat(0, 100).last, column.visibleAyat(0, 100).first);
    // Negative heights count as nothing.
    column.set(-10, {-5, 20});
    EXPECT_EQ(column.ayahTop(1), 0);
    EXPECT_EQ(column.ayahTop(2), 0);
    EXPECT_EQ(column.totalHeight(), 20);
}

TEST(AyahBlock, PartsFollowEachOtherWithPaddingAndGapsScaledForTheDpi) {
    const AyahBlockPlaces one = placeAyahBlock({0, 80, 40, 0}, 96);
    EXPECT_EQ(one.picture, kReadingBlockPadding);
    EXPECT_EQ(one.first, kReadingBlockPadding + 80 + kReadingPartGap);
    EXPECT_EQ(one.second, one.first + 40); // no second line: no gap for it
    EXPECT_EQ(one.height, one.second + kReadingBlockPadding);

    const AyahBlockPlaces two = placeAyahBlock({10, 160, 80, 60}, 192);
    EXPECT_EQ(two.rule, 0);
    EXPECT_EQ(two.picture, 10 + 2 * kReadingBlockPadding);
    EXPECT_EQ(two.first, two.picture + 160 + 2 * kReadingPartGap);
    EXPECT_EQ(two.second, two.first + 80 + 2 * kReadingPartGap);
    EXPECT_EQ(two.height, two.second + 60 + 2 * kReadingBlockPadding);
}

} // namespace
