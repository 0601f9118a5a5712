// A plan to read the whole Quran in a number of days: each day's portion is a run of whole
// pages, the pages shared as evenly as they go (the first days take one page more when
// they do not share evenly). What has been read is kept per ayah, with the day it was first
// read; a page counts as read once every ayah on it is read, so that half a page read
// before closing the reader is not counted as the page, and reading out of order (a surah
// on Friday, a bookmark) counts wherever it falls.
//
// Today's portion depends only on what was read before today, so it stays the same while
// the reader reads it:
//  - carried forward: the pages of earlier days still unread are added to today's;
//  - spread: the pages still unread are shared evenly over the days left, today first.
// On days after the last the portion is everything still unread.
#ifndef NORAVEL_APP_READING_PLAN_H
#define NORAVEL_APP_READING_PLAN_H

#include "app/plan_pages.h"
#include "base/civil_date.h"

#include <climits>
#include <vector>

constexpr int kFewestPlanDays = 1;
constexpr int kMostPlanDays = 365;
// The day an ayah not yet read was read on: after every day.
constexpr long kNotRead = LONG_MAX;

enum class MissedDays { carryForward, spread };

struct PlanSettings {
    CivilDate start;
    int days = 30;
    MissedDays missed = MissedDays::carryForward;
    bool valid() const {
        return isValidDate(start) && days >= kFewestPlanDays && days <= kMostPlanDays;
    }
};

// Pages firstPage..lastPage, less those read before the portion's day (`pages` of them
// remain), `pagesRead` of which have been read since. No pages: firstPage is 0.
struct PagePortion {
    int firstPage = 0;
    int lastPage = 0;
    int pages = 0;
    int pagesRead = 0;
    bool empty() const { return pages == 0; }
    bool done() const { return pagesRead == pages; }
};

enum class DayState { read, missed, today, coming };

struct PlanDay {
    long day = 0; // day number (base/civil_date.h)
    PagePortion portion;
    DayState state = DayState::coming;
};

class ReadingPlan {
  public:
    // pages must be ready and outlive the plan; settings must be valid.
    ReadingPlan(const PlanPages& pages, const PlanSettings& settings);

    const PlanSettings& settings() const { return settings_; }
    // The user may change the way missed days are handled while the plan runs.
    void setMissedDays(MissedDays missed) { settings_.missed = missed; }
    const PlanPages& pages() const { return pages_; }
    long firstDay() const { return firstDay_; }
    // Today's place in the plan: 0 on its first day, days-1 on its last, outside before and
    // after.
    int dayIndex(long today) const { return static_cast<int>(today - firstDay_); }

    // ---- reading ----
    // The ayah at index (plan order) was read on day; an earlier reading stays. True when
    // it had not been read before.
    bool markRead(int ayahIndex, long day);
    // Every ayah of pages firstPage..lastPage not yet read, read on day.
    void markPagesRead(int firstPage, int lastPage, long day);
    long readOn(int ayahIndex) const;
    int ayatRead() const { return ayatRead_; }
    // Pages every ayah of which is read.
    int pagesRead() const;
    // Whole percent of the pages read (100 only when all are).
    int percentRead() const;

    // ---- the days ----
    // The even share of day dayIndex (0..days-1), as if nothing had been read.
    PagePortion planned(int dayIndex) const;
    // The portion of the day `today` (empty before the plan starts and once all is read).
    PagePortion portionOn(long today) const;
    // Every day of the plan as it stands on `today`: days before it with their planned
    // pages (read or missed), today's portion, and the days to come as they fall now.
    std::vector<PlanDay> schedule(long today) const;
    // Pages planned for the days before today that are still unread.
    int pagesBehind(long today) const;

  private:
    // Per page the day its last ayah was read, kNotRead while one is not.
    std::vector<long> pageReadDays() const;
    // The pages (1-based) not read before today, in order.
    std::vector<int> unreadBefore(const std::vector<long>& pageDays, long today) const;
    PagePortion portionOf(const std::vector<int>& pagesOfDay,
                          const std::vector<long>& pageDays) const;
    std::vector<int> todayPages(const std::vector<long>& pageDays, long today) const;

    const PlanPages& pages_;
    PlanSettings settings_;
    long firstDay_ = 0;
    std::vector<long> readOn_; // per ayah
    int ayatRead_ = 0;
};

#endif
