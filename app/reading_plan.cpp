#include "app/reading_plan.h"

#include <algorithm>

namespace {

// Part k of n (0-based) when `total` things are shared as evenly as they go, the first
// parts taking one more: its first place and how many it takes.
struct Share {
    int begin;
    int size;
};

Share shareOf(int total, int n, int k) {
    const int each = total / n;
    const int more = total % n;
    return {k * each + std::min(k, more), each + (k < more ? 1 : 0)};
}

std::vector<int> part(const std::vector<int>& pages, int n, int k) {
    const Share share = shareOf(static_cast<int>(pages.size()), n, k);
    return std::vector<int>(pages.begin() + share.begin, pages.begin() + share.begin + share.size);
}

} // namespace

ReadingPlan::ReadingPlan(const PlanPages& pages, const PlanSettings& settings)
    : pages_(pages), settings_(settings), firstDay_(dayNumber(settings.start)),
      readOn_(static_cast<size_t>(pages.ayahTotal()), kNotRead) {}

bool ReadingPlan::markRead(int ayahIndex, long day) {
    if (ayahIndex < 0 || ayahIndex >= static_cast<int>(readOn_.size()) || day == kNotRead)
        return false;
    long& when = readOn_[static_cast<size_t>(ayahIndex)];
    const bool first = when == kNotRead;
    if (day < when) when = day;
    if (first) ++ayatRead_;
    return first;
}

void ReadingPlan::markPagesRead(int firstPage, int lastPage, long day) {
    firstPage = std::max(firstPage, 1);
    lastPage = std::min(lastPage, pages_.pageCount());
    for (int page = firstPage; page <= lastPage; ++page)
        for (int index = pages_.pageBegin(page); index < pages_.pageEnd(page); ++index)
            markRead(index, day);
}

long ReadingPlan::readOn(int ayahIndex) const {
    return ayahIndex >= 0 && ayahIndex < static_cast<int>(readOn_.size())
               ? readOn_[static_cast<size_t>(ayahIndex)]
               : kNotRead;
}

std::vector<long> ReadingPlan::pageReadDays() const {
    std::vector<long> days(static_cast<size_t>(pages_.pageCount()) + 1, kNotRead);
    for (int page = 1; page <= pages_.pageCount(); ++page) {
        long last = LONG_MIN;
        for (int index = pages_.pageBegin(page); index < pages_.pageEnd(page); ++index)
            last = std::max(last, readOn_[static_cast<size_t>(index)]);
        days[static_cast<size_t>(page)] = last;
    }
    return days;
}

int ReadingPlan::pagesRead() const {
    const std::vector<long> days = pageReadDays();
    return static_cast<int>(
        std::count_if(days.begin() + 1, days.end(), [](long day) { return day != kNotRead; }));
}

int ReadingPlan::percentRead() const {
    const int total = pages_.pageCount();
    const int read = pagesRead();
    return read == total ? 100 : read * 100 / total;
}

PagePortion ReadingPlan::planned(int dayIndex) const {
    PagePortion portion;
    if (dayIndex < 0 || dayIndex >= settings_.days) return portion;
    const Share share = shareOf(pages_.pageCount(), settings_.days, dayIndex);
    portion.pages = share.size;
    if (share.size > 0) {
        portion.firstPage = share.begin + 1;
        portion.lastPage = share.begin + share.size;
    }
    return portion;
}

std::vector<int> ReadingPlan::unreadBefore(const std::vector<long>& pageDays, long today) const {
    std::vector<int> unread;
    for (int page = 1; page <= pages_.pageCount(); ++page)
        if (pageDays[static_cast<size_t>(page)] >= today) unread.push_back(page);
    return unread;
}

PagePortion ReadingPlan::portionOf(const std::vector<int>& pagesOfDay,
                                   const std::vector<long>& pageDays) const {
    PagePortion portion;
    if (pagesOfDay.empty()) return portion;
    portion.firstPage = pagesOfDay.front();
    portion.lastPage = pagesOfDay.back();
    portion.pages = static_cast<int>(pagesOfDay.size());
    for (int page : pagesOfDay)
        if (pageDays[static_cast<size_t>(page)] != kNotRead) ++portion.pagesRead;
    return portion;
}

std::vector<int> ReadingPlan::todayPages(const std::vector<long>& pageDays, long today) const {
    const int index = dayIndex(today);
    if (index < 0) return {};
    std::vector<int> rest = unreadBefore(pageDays, today);
    if (index >= settings_.days) return rest; // the days are over: all that is left
    if (settings_.missed == MissedDays::spread) return part(rest, settings_.days - index, 0);
    const int last = planned(index).lastPage;
    rest.erase(std::find_if(rest.begin(), rest.end(), [last](int page) { return page > last; }),
               rest.end());
    return rest;
}

PagePortion ReadingPlan::portionOn(long today) const {
    const std::vector<long> pageDays = pageReadDays();
    return portionOf(todayPages(pageDays, today), pageDays);
}

std::vector<PlanDay> ReadingPlan::schedule(long today) const {
    const std::vector<long> pageDays = pageReadDays();
    const std::vector<int> rest = unreadBefore(pageDays, today);
    const int index = dayIndex(today);
    // The first day whose portion is still to be read, and how many there are from it.
    const int from = std::max(index, 0);
    std::vector<PlanDay> days;
    for (int d = 0; d < settings_.days; ++d) {
        PlanDay day;
        day.day = firstDay_ + d;
        if (d < index) {
            const PagePortion plan = planned(d);
            std::vector<int> all;
            for (int page = plan.firstPage; page <= plan.lastPage; ++page)
                all.push_back(page);
            day.portion = portionOf(all, pageDays);
            day.state = day.portion.done() ? DayState::read : DayState::missed;
        } else if (d == index) {
            day.portion = portionOf(todayPages(pageDays, today), pageDays);
            day.state = DayState::today;
        } else if (settings_.missed == MissedDays::spread) {
            day.portion = portionOf(part(rest, settings_.days - from, d - from), pageDays);
        } else {
            const PagePortion plan = planned(d);
            std::vector<int> left;
            for (int page : rest)
                if (page >= plan.firstPage && page <= plan.lastPage) left.push_back(page);
            day.portion = portionOf(left, pageDays);
        }
        days.push_back(day);
    }
    return days;
}

int ReadingPlan::pagesBehind(long today) const {
    const std::vector<long> pageDays = pageReadDays();
    const int before = std::min(std::max(dayIndex(today), 0), settings_.days);
    if (before == 0) return 0;
    const int last = planned(before - 1).lastPage;
    int behind = 0;
    for (int page = 1; page <= last; ++page)
        if (pageDays[static_cast<size_t>(page)] == kNotRead) ++behind;
    return behind;
}
