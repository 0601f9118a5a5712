#include "app/plan_pages.h"
#include "app/reading_plan.h"
#include "base/civil_date.h"
#include "tests/support/even_mushaf_pages.h"
#include "tests/support/quran_counts.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

constexpr int kPages = 604;
constexpr int kAyat = 6236;

PlanPages evenPages() {
    PlanPages pages = evenPlanPages();
    EXPECT_EQ(pages.pageCount(), kPages);
    return pages;
}

const PlanPages& table() {
    static const PlanPages pages = evenPages();
    return pages;
}

long day(int year, int month, int d) {
    return dayNumber({year, month, d});
}

PlanSettings settings(CivilDate start, int days, MissedDays missed) {
    PlanSettings s;
    s.start = start;
    s.days = days;
    s.missed = missed;
    return s;
}

} // namespace

TEST(CivilDate, CountsDaysAcrossMonthYearAndLeapDays) {
    EXPECT_EQ(dayNumber({1970, 1, 1}), 0);
    EXPECT_EQ(day(2027, 1, 1) - day(2026, 12, 31), 1);
    EXPECT_EQ(day(2024, 3, 1) - day(2024, 2, 28), 2); // 2024 has 29 February
    EXPECT_EQ(day(2023, 3, 1) - day(2023, 2, 28), 1);
    EXPECT_EQ(day(2000, 3, 1) - day(2000, 2, 28), 2); // divisible by 400: leap
    EXPECT_EQ(day(2100, 3, 1) - day(2100, 2, 28), 1); // by 100 only: not
    EXPECT_EQ(day(2025, 1, 1) - day(2024, 1, 1), 366);
    // Every day from 1899 to 2101 comes back as the date it was made from, one day apart.
    long previous = day(1899, 1, 1) - 1;
    for (int year = 1899; year <= 2101; ++year)
        for (int month = 1; month <= 12; ++month)
            for (int d = 1; d <= daysInMonth(year, month); ++d) {
                const long n = day(year, month, d);
                ASSERT_EQ(n, previous + 1) << year << "-" << month << "-" << d;
                ASSERT_EQ(dateOfDay(n), (CivilDate{year, month, d}));
                previous = n;
            }
}

TEST(CivilDate, ReadsAndWritesOnlyRealDatesInTheFourDigitForm) {
    CivilDate date;
    EXPECT_TRUE(parseDate("2024-02-29", date));
    EXPECT_EQ(date, (CivilDate{2024, 2, 29}));
    char text[11];
    ASSERT_TRUE(formatDate(text, sizeof text, date));
    EXPECT_STREQ(text, "2024-02-29");
    EXPECT_FALSE(formatDate(text, 10, date)); // no room for the NUL
    for (const char* wrong : {"2023-02-29", "2026-13-01", "2026-04-31", "2026-1-07", "2026-01-7 ",
                              "0000-01-01", "2026/01/07", "+026-01-07", ""})
        EXPECT_FALSE(parseDate(wrong, date)) << wrong;
    EXPECT_EQ(date, (CivilDate{2024, 2, 29})); // untouched by the failures
}

TEST(PlanPages, MapsEveryAyahToItsPlaceAndPage) {
    const PlanPages& pages = table();
    ASSERT_EQ(pages.ayahTotal(), kAyat);
    ASSERT_EQ(pages.pageCount(), kPages);
    EXPECT_EQ(pages.indexOf({2, 1}), 7);
    EXPECT_EQ(pages.indexOf({114, 6}), kAyat - 1);
    EXPECT_EQ(pages.indexOf({2, 287}), -1);
    EXPECT_EQ(pages.indexOf({115, 1}), -1);
    EXPECT_EQ(pages.indexOf({1, 0}), -1);
    EXPECT_EQ(pages.ayahAt(kAyat), AyahRef{});
    int page = 1;
    for (int index = 0; index < kAyat; ++index) {
        ASSERT_EQ(pages.indexOf(pages.ayahAt(index)), index);
        if (index == pages.pageEnd(page)) ++page;
        ASSERT_EQ(pages.pageOfIndex(index), page);
    }
    EXPECT_EQ(page, kPages);
}

TEST(PlanPages, RefusesTablesThatAreNotAMushaf) {
    PlanPages pages;
    auto starts = [](AyahRef second) {
        return [second](int page) { return page == 1 ? AyahRef{1, 1} : second; };
    };
    EXPECT_TRUE(pages.build(quranAyahCount, starts({2, 1}), 2));
    EXPECT_FALSE(pages.build(quranAyahCount, starts({1, 1}), 2)); // not after page 1
    EXPECT_FALSE(pages.ready());
    EXPECT_FALSE(pages.build(quranAyahCount, starts({2, 287}), 2)); // no such ayah
    EXPECT_FALSE(pages.build(
        quranAyahCount,
        [](int) {
            return AyahRef{1, 2};
        },
        1)); // page 1 not at 1:1
    EXPECT_FALSE(pages.build([](int) { return 0; }, starts({2, 1}), 2));
    EXPECT_FALSE(pages.build(quranAyahCount, starts({2, 1}), kAyat + 1));
    EXPECT_EQ(pages.ayahTotal(), 0);
}

TEST(ReadingPlan, SharesThePagesEvenlyForOneToThreeHundredSixtyFiveDays) {
    for (int days : {1, 2, 7, 29, 30, 100, 364, 365}) {
        ReadingPlan plan(table(), settings({2026, 12, 1}, days, MissedDays::carryForward));
        int next = 1, least = kPages, most = 0;
        for (int d = 0; d < days; ++d) {
            const PagePortion portion = plan.planned(d);
            ASSERT_EQ(portion.firstPage, next) << days << " days, day " << d;
            ASSERT_EQ(portion.lastPage - portion.firstPage + 1, portion.pages);
            least = std::min(least, portion.pages);
            most = std::max(most, portion.pages);
            next = portion.lastPage + 1;
        }
        EXPECT_EQ(next, kPages + 1) << days; // every page once, in order
        EXPECT_LE(most - least, 1) << days;
        EXPECT_GE(least, 1) << days;
    }
    ReadingPlan one(table(), settings({2026, 12, 1}, 1, MissedDays::spread));
    EXPECT_EQ(one.portionOn(day(2026, 12, 1)).lastPage, kPages);
    ReadingPlan year(table(), settings({2026, 12, 1}, 365, MissedDays::carryForward));
    EXPECT_EQ(year.planned(0).pages, 2); // 604 = 365 + 239: the first 239 days read two
    EXPECT_EQ(year.planned(238).pages, 2);
    EXPECT_EQ(year.planned(239).pages, 1);
    EXPECT_EQ(year.schedule(day(2026, 12, 1)).back().day, day(2027, 11, 30));
}

// A plan of 30 days started yesterday, nothing read.
TEST(ReadingPlan, YesterdayMissedIsCarriedIntoToday) {
    const long today = day(2026, 12, 8);
    ReadingPlan plan(table(), settings({2026, 12, 7}, 30, MissedDays::carryForward));
    const std::vector<PlanDay> days = plan.schedule(today);
    EXPECT_EQ(days[0].state, DayState::missed);
    EXPECT_EQ(days[0].portion.firstPage, 1);
    EXPECT_EQ(days[0].portion.lastPage, 21); // 604 = 30 * 20 + 4: the first 4 days read 21
    EXPECT_EQ(days[1].state, DayState::today);
    EXPECT_EQ(days[2].state, DayState::coming);
    EXPECT_EQ(days[2].portion.firstPage, 43);
    const PagePortion portion = plan.portionOn(today);
    EXPECT_EQ(portion.firstPage, 1);
    EXPECT_EQ(portion.lastPage, 42);
    EXPECT_EQ(portion.pages, 42);
    EXPECT_EQ(plan.pagesBehind(today), 21);

    plan.markPagesRead(1, 30, today);
    // Read today: the portion stays what it was at the start of the day.
    const PagePortion during = plan.portionOn(today);
    EXPECT_EQ(during.firstPage, 1);
    EXPECT_EQ(during.pages, 42);
    EXPECT_EQ(during.pagesRead, 30);
    EXPECT_FALSE(during.done());
    EXPECT_EQ(plan.schedule(today)[0].state, DayState::read);
    EXPECT_EQ(plan.pagesBehind(today), 0);

    plan.markPagesRead(during.firstPage, during.lastPage, today);
    EXPECT_TRUE(plan.portionOn(today).done());
    EXPECT_EQ(plan.pagesRead(), 42);
    EXPECT_EQ(plan.percentRead(), 6); // 42 of 604
    // Tomorrow is the plan's third day, as if nothing had been missed.
    EXPECT_EQ(plan.portionOn(today + 1).firstPage, 43);
    EXPECT_EQ(plan.portionOn(today + 1).pages, 21);
}

TEST(ReadingPlan, YesterdayMissedIsSpreadOverTheDaysLeft) {
    const long today = day(2026, 12, 8);
    ReadingPlan plan(table(), settings({2026, 12, 7}, 30, MissedDays::spread));
    const PagePortion portion = plan.portionOn(today);
    EXPECT_EQ(portion.firstPage, 1);
    EXPECT_EQ(portion.pages, 21); // 604 = 29 * 20 + 24 over the 29 days left
    const std::vector<PlanDay> days = plan.schedule(today);
    EXPECT_EQ(days[0].state, DayState::missed);
    EXPECT_EQ(days[0].portion.lastPage, 21);
    int total = 0, next = 1;
    for (size_t d = 1; d < days.size(); ++d) {
        EXPECT_EQ(days[d].portion.firstPage, next);
        next = days[d].portion.lastPage + 1;
        total += days[d].portion.pages;
    }
    EXPECT_EQ(total, kPages);
    EXPECT_EQ(days[24].portion.pages, 21);
    EXPECT_EQ(days[25].portion.pages, 20);

    plan.markPagesRead(portion.firstPage, portion.lastPage, today);
    EXPECT_TRUE(plan.portionOn(today).done());
    EXPECT_EQ(plan.portionOn(today).pages, 21);
    EXPECT_EQ(plan.portionOn(today + 1).firstPage, 22);
}

TEST(ReadingPlan, ReadingOnScheduleGivesThePlannedPortionsInBothWays) {
    for (MissedDays missed : {MissedDays::carryForward, MissedDays::spread}) {
        ReadingPlan plan(table(), settings({2026, 12, 7}, 30, missed));
        for (int d = 0; d < 30; ++d) {
            const long today = plan.firstDay() + d;
            const PagePortion portion = plan.portionOn(today);
            const PagePortion planned = plan.planned(d);
            ASSERT_EQ(portion.firstPage, planned.firstPage) << d;
            ASSERT_EQ(portion.lastPage, planned.lastPage) << d;
            plan.markPagesRead(portion.firstPage, portion.lastPage, today);
        }
        EXPECT_EQ(plan.percentRead(), 100);
        EXPECT_TRUE(plan.portionOn(plan.firstDay() + 30).empty());
    }
}

TEST(ReadingPlan, APageCountsOnlyOnceEveryAyahOnItIsRead) {
    ReadingPlan plan(table(), settings({2026, 12, 7}, 30, MissedDays::carryForward));
    const PlanPages& pages = table();
    const long today = plan.firstDay();
    for (int index = pages.pageBegin(1); index < pages.pageEnd(1) - 1; ++index)
        EXPECT_TRUE(plan.markRead(index, today));
    EXPECT_EQ(plan.pagesRead(), 0);
    EXPECT_EQ(plan.portionOn(today).pagesRead, 0);
    EXPECT_TRUE(plan.markRead(pages.pageEnd(1) - 1, today + 2));
    EXPECT_FALSE(plan.markRead(pages.pageEnd(1) - 1, today + 1)); // read before: earlier day kept
    EXPECT_FALSE(plan.markRead(pages.pageEnd(1) - 1, today + 5));
    EXPECT_EQ(plan.readOn(pages.pageEnd(1) - 1), today + 1);
    EXPECT_EQ(plan.pagesRead(), 1);
    EXPECT_EQ(plan.ayatRead(), pages.pageEnd(1));
    EXPECT_FALSE(plan.markRead(kAyat, today));
    EXPECT_FALSE(plan.markRead(-1, today));
}

TEST(ReadingPlan, PagesReadAheadLeaveTheirDayLighter) {
    const long first = day(2026, 12, 7);
    ReadingPlan carry(table(), settings({2026, 12, 7}, 30, MissedDays::carryForward));
    carry.markPagesRead(1, 42, first); // two days' pages on the first
    EXPECT_TRUE(carry.portionOn(first + 1).empty());
    EXPECT_EQ(carry.portionOn(first + 2).firstPage, 43);
    ReadingPlan spread(table(), settings({2026, 12, 7}, 30, MissedDays::spread));
    spread.markPagesRead(300, 310, first - 3); // before the plan began
    const PagePortion portion = spread.portionOn(first);
    EXPECT_EQ(portion.pages, 20); // 593 = 30 * 19 + 23
    const std::vector<PlanDay> days = spread.schedule(first);
    int total = 0;
    for (const PlanDay& d : days)
        total += d.portion.pages;
    EXPECT_EQ(total, kPages - 11);
}

TEST(ReadingPlan, BeforeItsStartNothingIsDueAndAfterItsEndAllThatIsLeft) {
    ReadingPlan plan(table(), settings({2026, 12, 7}, 10, MissedDays::carryForward));
    EXPECT_TRUE(plan.portionOn(day(2026, 12, 6)).empty());
    EXPECT_EQ(plan.pagesBehind(day(2026, 12, 6)), 0);
    plan.markPagesRead(1, 100, day(2026, 12, 7));
    const PagePortion late = plan.portionOn(day(2027, 1, 20));
    EXPECT_EQ(late.firstPage, 101);
    EXPECT_EQ(late.lastPage, kPages);
    EXPECT_EQ(plan.pagesBehind(day(2027, 1, 20)), kPages - 100);
    const std::vector<PlanDay> days = plan.schedule(day(2027, 1, 20));
    EXPECT_EQ(days[0].state, DayState::read);
    EXPECT_EQ(days[9].state, DayState::missed);
}
