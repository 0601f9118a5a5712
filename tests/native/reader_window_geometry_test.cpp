// The main window's arithmetic: splitter bar geometry, layout rectangles and up-down steps.
#include "app/ayah_stepping.h"
#include "app/main_layout.h"
#include "app/splitter_geometry.h"

#include <gtest/gtest.h>

#include <vector>

// Found by argument-dependent lookup, so beside Placement in the global namespace.
bool operator==(const Placement& a, const Placement& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::ostream& operator<<(std::ostream& out, const Placement& p) {
    return out << "(" << p.x << ", " << p.y << ", " << p.width << ", " << p.height << ")";
}

namespace {

// ---- splitter bar ----

TEST(SplitterGeometry, ABarGivenOnlyItsTopIsSevenPixelsThick) {
    SplitterGeometry bar(false);
    bar.setPosition(0, 100, 500, 0);
    EXPECT_EQ(bar.bar().left, 0);
    EXPECT_EQ(bar.bar().top, 100);
    EXPECT_EQ(bar.bar().right, 500);
    EXPECT_EQ(bar.bar().bottom, 107);
    EXPECT_EQ(bar.feedbackX(), 1);
    EXPECT_EQ(bar.feedbackY(), 101);
    EXPECT_EQ(bar.feedbackWidth(), 498);
    EXPECT_EQ(bar.feedbackHeight(), 5);
    const InvertedArea area = bar.invertedArea();
    EXPECT_EQ(area.x, 1);
    EXPECT_EQ(area.y, 101);
    EXPECT_EQ(area.width, 497);
    EXPECT_EQ(area.height, 4);
}

TEST(SplitterGeometry, AVerticalBarGivenOnlyItsLeftIsSevenPixelsWide) {
    SplitterGeometry bar(true);
    bar.setPosition(200, 0, 0, 300);
    EXPECT_EQ(bar.bar().right, 207);
    EXPECT_EQ(bar.feedbackWidth(), 5);
    EXPECT_EQ(bar.feedbackHeight(), 298);
}

TEST(SplitterGeometry, ACommitWithoutMovementLeavesMovedClear) {
    SplitterGeometry bar(false);
    bar.setPosition(0, 100, 500, 0);
    bar.followPoint(250, 103); // inside the bar: the feedback stays
    bar.commit();
    EXPECT_FALSE(bar.moved());
    EXPECT_EQ(bar.bar().top, 100);
    EXPECT_EQ(bar.feedbackY(), 101);
}

TEST(SplitterGeometry, AHorizontalBarFollowsOnlyYAndTheCommitMovesIt) {
    SplitterGeometry bar(false);
    bar.setPosition(0, 100, 500, 0);
    bar.followPoint(30, 60);
    EXPECT_EQ(bar.feedbackX(), 1);
    EXPECT_EQ(bar.feedbackY(), 60);
    bar.commit();
    EXPECT_TRUE(bar.moved());
    EXPECT_EQ(bar.bar().top, 59);
    EXPECT_EQ(bar.bar().bottom, 66);
    // The thickness is kept, and the flag stays set until the owner clears it.
    bar.commit();
    EXPECT_TRUE(bar.moved());
    bar.clearMoved();
    EXPECT_FALSE(bar.moved());
}

TEST(SplitterGeometry, AVerticalBarFollowsOnlyX) {
    SplitterGeometry bar(true);
    bar.setPosition(200, 0, 0, 300);
    bar.followPoint(260, 5);
    bar.commit();
    EXPECT_TRUE(bar.moved());
    EXPECT_EQ(bar.bar().left, 259);
    EXPECT_EQ(bar.bar().right, 266);
    EXPECT_EQ(bar.bar().top, 0);
}

TEST(SplitterGeometry, TheBarRectangleExcludesItsRightAndBottomEdges) {
    SplitterGeometry bar(false);
    bar.setPosition(0, 100, 500, 0);
    EXPECT_TRUE(bar.contains(0, 100));
    EXPECT_TRUE(bar.contains(499, 106));
    EXPECT_FALSE(bar.contains(500, 103));
    EXPECT_FALSE(bar.contains(10, 107));
    EXPECT_FALSE(bar.contains(10, 99));
}

// ---- layout ----

TEST(MainLayout, AWindowOf800By600PlacesEveryControlByTheTable) {
    const MainLayout layout = computeMainLayout(800, 600, 20, 140);
    EXPECT_EQ(layout.languageList, (Placement{616, 0, 184, 225}));
    EXPECT_EQ(layout.statusBar, (Placement{0, 0, 800, 0}));
    EXPECT_EQ(layout.resultList, (Placement{0, 500, 800, 80}));
    EXPECT_EQ(layout.splitterLine, 360);
    EXPECT_EQ(layout.bitmapView, (Placement{40, 25, 720, 334}));
    EXPECT_EQ(layout.translation, (Placement{0, 360, 800, 140}));
    EXPECT_EQ(layout.translationHeight, 140);
    EXPECT_EQ(layout.splitterTop, 358);
    EXPECT_EQ(layout.splitterRight, 800);
}

TEST(MainLayout, TheFixedRowMatchesTheTable) {
    const FixedRow row;
    EXPECT_EQ(row.surahList, (Placement{0, 0, 140, 225}));
    EXPECT_EQ(row.ayahList, (Placement{140, 0, 50, 225}));
    EXPECT_EQ(row.upDown, (Placement{190, 0, 14, 24}));
    EXPECT_EQ(row.translationSearch, (Placement{204, 0, 90, 24}));
    EXPECT_EQ(row.arabicSearch, (Placement{294, 0, 70, 24}));
    EXPECT_EQ(row.tajwid, (Placement{364, 0, 50, 24}));
    EXPECT_EQ(row.listen, (Placement{416, 0, 58, 24}));
    EXPECT_EQ(row.continueBox, (Placement{474, 0, 80, 24}));
    EXPECT_EQ(row.recitationScope, (Placement{554, 0, 60, 225}));
}

TEST(MainLayout, ATallerTranslationMakesThePictureShorterByTheSameAmount) {
    const MainLayout before = computeMainLayout(800, 600, 20, 140);
    const MainLayout after = computeMainLayout(800, 600, 20, 140 + 37);
    EXPECT_EQ(after.translation.height - before.translation.height, 37);
    EXPECT_EQ(before.bitmapView.height - after.bitmapView.height, 37);
    EXPECT_EQ(after.translation.y + after.translation.height, after.resultList.y);
}

TEST(MainLayout, TheTranslationHeightIsClampedSoThePictureNeverGoesBelowZero) {
    const MainLayout tall = computeMainLayout(800, 600, 20, 5000);
    EXPECT_EQ(tall.translationHeight, 500 - 26);
    EXPECT_EQ(tall.bitmapView.height, 0);
    EXPECT_EQ(tall.splitterLine, 26);

    const MainLayout negative = computeMainLayout(800, 600, 20, -50);
    EXPECT_EQ(negative.translationHeight, 0);
    EXPECT_EQ(negative.translation.height, 0);
    EXPECT_EQ(negative.splitterLine, 500);
    EXPECT_EQ(negative.bitmapView.height, 474);
}

TEST(MainLayout, ATinyWindowGivesNoNegativeSize) {
    for (int width : {0, 50, 100, 615}) {
        for (int height : {0, 60, 120}) {
            const MainLayout layout = computeMainLayout(width, height, 20, 140);
            for (const Placement* p : {&layout.languageList, &layout.statusBar, &layout.resultList,
                                       &layout.bitmapView, &layout.translation}) {
                EXPECT_GE(p->width, 0) << width << "x" << height;
                EXPECT_GE(p->height, 0) << width << "x" << height;
            }
        }
    }
    EXPECT_EQ(computeMainLayout(500, 600, 20, 140).languageList.width, 0);
}

// ---- layout at other densities ----

TEST(MainLayoutDpi, LengthsScaleToTheNearestPixelWithHalvesAwayFromZero) {
    EXPECT_EQ(scaledLength(140, 96), 140);
    EXPECT_EQ(scaledLength(141, 144), 212); // 211.5
    EXPECT_EQ(scaledLength(-3, 144), -5);   // -4.5
    EXPECT_EQ(scaledLength(7, 120), 9);     // 8.75
    EXPECT_EQ(scaledLength(50, 192), 100);
    EXPECT_EQ(scaledLength(2000000000, 96), 2000000000); // the product does not overflow
    EXPECT_EQ(lengthAt96(2000000000, 192), 1000000000);
}

TEST(MainLayoutDpi, AStoredHeightSurvivesTheRoundTripThroughAnyDpi) {
    for (int dpi : {96, 120, 144, 168, 192, 288})
        for (int height = 0; height <= 600; ++height)
            ASSERT_EQ(lengthAt96(scaledLength(height, dpi), dpi), height)
                << height << " at " << dpi;
    EXPECT_EQ(lengthAt96(211, 144), 141); // 140.67
    EXPECT_EQ(scaledLength(10, 0), 10);   // a DPI nobody answered counts as 96
    EXPECT_EQ(lengthAt96(10, -1), 10);
}

TEST(MainLayoutDpi, TheFixedRowAt96IsTheTableAndAt144OneAndAHalfTimesIt) {
    const FixedRow table;
    const FixedRow at96 = fixedRowFor(96);
    const FixedRow at144 = fixedRowFor(144);
    const FixedRow at192 = fixedRowFor(192);
    const Placement FixedRow::*members[] = {&FixedRow::surahList,      &FixedRow::ayahList,
                                            &FixedRow::upDown,         &FixedRow::translationSearch,
                                            &FixedRow::arabicSearch,   &FixedRow::tajwid,
                                            &FixedRow::listen,         &FixedRow::continueBox,
                                            &FixedRow::recitationScope};
    for (auto member : members) {
        const Placement& given = table.*member;
        EXPECT_EQ(at96.*member, given);
        EXPECT_EQ(at192.*member,
                  (Placement{2 * given.x, 2 * given.y, 2 * given.width, 2 * given.height}));
    }
    EXPECT_EQ(at144.translationSearch, (Placement{306, 0, 135, 36}));
    EXPECT_EQ(at144.recitationScope, (Placement{831, 0, 90, 338})); // 337.5 rounds up
    // The row stays one unbroken line: each control starts where the one before ends.
    EXPECT_EQ(at144.ayahList.x, at144.surahList.x + at144.surahList.width);
    EXPECT_EQ(at144.recitationScope.x, at144.continueBox.x + at144.continueBox.width);
}

TEST(MainLayoutDpi, AWindowAt144PlacesEveryControlOneAndAHalfTimesAsFar) {
    // 1200 x 900 pixels at 144 is the 800 x 600 window of the table at 96.
    const MainLayout layout = computeMainLayout(1200, 900, 30, 140, 144);
    EXPECT_EQ(layout.languageList, (Placement{924, 0, 276, 338}));
    EXPECT_EQ(layout.resultList, (Placement{0, 750, 1200, 120}));
    EXPECT_EQ(layout.translationHeight, 210);
    EXPECT_EQ(layout.translation, (Placement{0, 540, 1200, 210}));
    EXPECT_EQ(layout.splitterLine, 540);
    EXPECT_EQ(layout.bitmapView, (Placement{60, 38, 1080, 540 - 39}));
    EXPECT_EQ(layout.splitterTop, 537);
    EXPECT_EQ(layout.splitterBottom, 537 + 11);
}

TEST(MainLayoutDpi, TheDefaultDpiIsTheTableOf96AndTheBarIsSevenThick) {
    const MainLayout implicit = computeMainLayout(800, 600, 20, 140);
    const MainLayout at96 = computeMainLayout(800, 600, 20, 140, 96);
    EXPECT_EQ(implicit.bitmapView, at96.bitmapView);
    EXPECT_EQ(implicit.translation, at96.translation);
    EXPECT_EQ(at96.splitterBottom - at96.splitterTop, SplitterGeometry::kThickness);
}

TEST(MainLayoutDpi, AtHighDpiTheClampKeepsThePictureAtZeroAndNotBelow) {
    const MainLayout tall = computeMainLayout(1600, 1200, 40, 5000, 192);
    const int resultTop = 1200 - 40 - 160;
    EXPECT_EQ(tall.translationHeight, resultTop - 52);
    EXPECT_EQ(tall.bitmapView.height, 0);
    EXPECT_EQ(tall.splitterLine, 52);
    const MainLayout narrow = computeMainLayout(1000, 300, 40, 140, 192);
    EXPECT_EQ(narrow.languageList.width, 0); // 616 at 192 is 1232, beyond the window
    EXPECT_GE(narrow.bitmapView.height, 0);
    EXPECT_GE(narrow.translation.height, 0);
}

// ---- up-down steps ----

int counts(int surah) {
    switch (surah) {
    case 1: return 7;
    case 2: return 286;
    case 113: return 5;
    case 114: return 6;
    default: return 10;
    }
}

TEST(AyahStepping, NextWithinASurahMovesTheAyahListOnly) {
    const AyahStep step = stepAyah(2, 141, 1, counts);
    EXPECT_FALSE(step.changesSurah);
    EXPECT_EQ(step.surah, 2);
    EXPECT_EQ(step.ayah, 142);
}

TEST(AyahStepping, OnlyTheSignOfTheStepCounts) {
    EXPECT_EQ(stepAyah(2, 10, 57, counts).ayah, 11);
    EXPECT_EQ(stepAyah(2, 10, 0, counts).ayah, 9);
    EXPECT_EQ(stepAyah(2, 10, -40, counts).ayah, 9);
}

TEST(AyahStepping, NextFromTheLastAyahGoesToTheNextSurahAndWrapsAfter114) {
    AyahStep step = stepAyah(1, 7, 1, counts);
    EXPECT_TRUE(step.changesSurah);
    EXPECT_EQ(step.surah, 2);
    EXPECT_EQ(step.ayah, 1);
    step = stepAyah(114, 6, 1, counts);
    EXPECT_TRUE(step.changesSurah);
    EXPECT_EQ(step.surah, 1);
    EXPECT_EQ(step.ayah, 1);
}

TEST(AyahStepping, PreviousFromAyahOneGoesToTheLastAyahOfThePreviousSurah) {
    AyahStep step = stepAyah(2, 1, -1, counts);
    EXPECT_TRUE(step.changesSurah);
    EXPECT_EQ(step.surah, 1);
    EXPECT_EQ(step.ayah, 7);
    step = stepAyah(1, 1, -1, counts);
    EXPECT_TRUE(step.changesSurah);
    EXPECT_EQ(step.surah, 114);
    EXPECT_EQ(step.ayah, 6);
}

TEST(AyahStepping, AnAyahListWithoutSelectionStepsBackIntoThePreviousSurah) {
    const AyahStep step = stepAyah(114, 0, -1, counts);
    EXPECT_TRUE(step.changesSurah);
    EXPECT_EQ(step.surah, 113);
    EXPECT_EQ(step.ayah, 5);
}

// The page and the marks keep their widths at the right end of the status bar; on a bar
// too narrow for them the messages' part goes first and no edge passes the one before.
TEST(StatusParts, PageAndMarksKeepTheirWidthsAtTheRightEnd) {
    auto edges = [](int width, int dpi) {
        const StatusParts parts = statusPartsFor(width, dpi);
        return std::vector<int>(parts.rightEdges, parts.rightEdges + kStatusPartCount);
    };
    EXPECT_EQ(edges(900, 96), (std::vector<int>{50, 680, 760, -1}));
    EXPECT_EQ(edges(900, 192), (std::vector<int>{100, 460, 620, -1}));
    EXPECT_EQ(edges(300, 96), (std::vector<int>{50, 80, 160, -1}));
    EXPECT_EQ(edges(200, 96), (std::vector<int>{50, 50, 60, -1}));
    EXPECT_EQ(edges(0, 144), (std::vector<int>{75, 75, 75, -1}));
}

} // namespace
