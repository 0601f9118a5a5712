#include "app/reading_plan_file.h"
#include "tests/support/even_mushaf_pages.h"
#include "tests/support/quran_counts.h"

#include <gtest/gtest.h>

namespace {

PlanPages evenPages() {
    return evenPlanPages();
}

constexpr char kGoodHead[] = "Noravel reading plan 1\nstart 2026-12-07\ndays 30\nmissed spread\n";

} // namespace

TEST(ReadingPlanFile, KeepsTheSettingsAndEveryAyahReadWithItsDay) {
    const PlanPages pages = evenPages();
    PlanSettings settings;
    settings.start = {2024, 2, 28};
    settings.days = 365;
    settings.missed = MissedDays::spread;
    ReadingPlan plan(pages, settings);
    const long first = plan.firstDay();
    plan.markPagesRead(1, 3, first);
    plan.markPagesRead(3, 5, first + 1); // page 3 keeps its first day
    plan.markRead(pages.indexOf({2, 255}), first + 2);
    plan.markRead(pages.indexOf({114, 6}), first + 400);

    const std::string text = formatPlanFile(plan.settings(), readRunsOf(plan));
    const PlanFileContent content = parsePlanFile(text, quranAyahCount);
    ASSERT_TRUE(content.recognised);
    EXPECT_TRUE(content.damagedLines.empty());
    ASSERT_TRUE(content.settings.has_value());
    EXPECT_EQ(content.settings->start, settings.start);
    EXPECT_EQ(content.settings->days, 365);
    EXPECT_EQ(content.settings->missed, MissedDays::spread);
    EXPECT_EQ(content.runs.size(), 4u);
    ReadingPlan again(pages, *content.settings);
    applyReadRuns(again, content.runs);
    for (int index = 0; index < pages.ayahTotal(); ++index)
        ASSERT_EQ(again.readOn(index), plan.readOn(index)) << index;
    EXPECT_EQ(again.ayatRead(), plan.ayatRead());
}

TEST(ReadingPlanFile, SetsAsideEveryLineThatDoesNotReadByteForByte) {
    const std::string text = std::string("\xEF\xBB\xBF") + kGoodHead +
                             "read 2026-12-07 1:1 1:7\r\n"
                             "\n"
                             "read 2026-12-07 2:1 2:287\n"   // no such ayah
                             "read 2026-12-07 2:5 2:4\n"     // backwards
                             "read 2026-02-29 2:1 2:4\n"     // no such day
                             "read 2026-12-07 115:1 115:2\n" // no such surah
                             "read 2026-12-07 2:1\n"         // no end
                             "read 2026-12-07 2:01234 2:1\n" // too many digits
                             "days 29\r\n"                   // given twice
                             "colour blue\n"
                             "read  2026-12-07 2:1 2:4\n"   // two spaces
                             "read 2026-12-08 114:1 114:6"; // no line end: still a line
    const PlanFileContent content = parsePlanFile(text, quranAyahCount);
    ASSERT_TRUE(content.recognised);
    ASSERT_TRUE(content.settings.has_value());
    EXPECT_EQ(content.settings->days, 30);
    ASSERT_EQ(content.runs.size(), 2u);
    EXPECT_EQ(content.runs[0].last, (AyahRef{1, 7}));
    EXPECT_EQ(content.runs[1].first, (AyahRef{114, 1}));
    const std::vector<std::string> expected = {"read 2026-12-07 2:1 2:287",
                                               "read 2026-12-07 2:5 2:4",
                                               "read 2026-02-29 2:1 2:4",
                                               "read 2026-12-07 115:1 115:2",
                                               "read 2026-12-07 2:1",
                                               "read 2026-12-07 2:01234 2:1",
                                               "days 29\r",
                                               "colour blue",
                                               "read  2026-12-07 2:1 2:4"};
    EXPECT_EQ(content.damagedLines, expected);
}

TEST(ReadingPlanFile, ReadsNothingWithoutItsVersionLineAndNoPlanWithoutEverySetting) {
    for (const char* other : {"Noravel reading plan 2\nstart 2026-12-07\n", "start 2026-12-07\n",
                              "1:1\t2026-12-07 10:00:00\n"}) {
        const PlanFileContent content = parsePlanFile(other, quranAyahCount);
        EXPECT_FALSE(content.recognised) << other;
        EXPECT_FALSE(content.settings.has_value());
        EXPECT_TRUE(content.runs.empty());
    }
    const PlanFileContent noDays = parsePlanFile(
        "Noravel reading plan 1\nstart 2026-12-07\ndays 366\nmissed carry\n", quranAyahCount);
    EXPECT_TRUE(noDays.recognised);
    EXPECT_FALSE(noDays.settings.has_value());
    EXPECT_EQ(noDays.damagedLines, std::vector<std::string>{"days 366"});
    for (const char* days : {"days 0", "days -1", "days ", "days 30x"})
        EXPECT_FALSE(parsePlanFile(std::string("Noravel reading plan 1\nstart 2026-12-07\n") +
                                       days + "\nmissed carry\n",
                                   quranAyahCount)
                         .settings.has_value())
            << days;
    EXPECT_FALSE(parsePlanFile("", quranAyahCount).recognised);
}

TEST(ReadingPlanFile, ReadsNoMoreReadLinesThanTheQuranHasAyat) {
    std::string text = kGoodHead;
    for (size_t i = 0; i <= kMostReadLines; ++i)
        text += "read 2026-12-07 1:1 1:1\n";
    const PlanFileContent content = parsePlanFile(text, quranAyahCount);
    EXPECT_EQ(content.runs.size(), kMostReadLines);
    EXPECT_EQ(content.damagedLines.size(), 1u);
}
