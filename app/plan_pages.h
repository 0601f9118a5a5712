// The ayat of the Quran in reading order and the pages of a printed mushaf they fall on,
// for the reading plan, which cuts its daily portions at page ends. Built from two tables
// its caller holds: the ayat of each surah, and the first ayah of each page.
#ifndef NORAVEL_APP_PLAN_PAGES_H
#define NORAVEL_APP_PLAN_PAGES_H

#include "text/ayah_ref.h"

#include <functional>
#include <vector>

constexpr int kPlanSurahs = 114;

class PlanPages {
  public:
    // ayahCount(1..114) gives each surah's ayat; firstAyahOfPage(1..pageCount) each page's
    // first ayah. False (and an empty table) unless the surahs have ayat, page 1 starts at
    // 1:1 and every page starts after the one before it on an ayah that exists.
    bool build(const std::function<int(int surah)>& ayahCount,
               const std::function<AyahRef(int page)>& firstAyahOfPage, int pageCount);

    bool ready() const { return !pageStart_.empty(); }
    int ayahTotal() const { return ready() ? surahStart_.back() : 0; }
    int pageCount() const { return ready() ? static_cast<int>(pageStart_.size()) - 1 : 0; }

    // The ayah's place in reading order (0 for 1:1), or -1 for an ayah that does not exist.
    int indexOf(AyahRef ayah) const;
    // The ayah at a place 0..ayahTotal()-1, or {0, 0}.
    AyahRef ayahAt(int index) const;
    // The page 1..pageCount() of the ayah at index, or 0.
    int pageOfIndex(int index) const;
    // The places of a page's first ayah and of the ayah after its last (page 1..pageCount()).
    int pageBegin(int page) const { return pageStart_[static_cast<size_t>(page - 1)]; }
    int pageEnd(int page) const { return pageStart_[static_cast<size_t>(page)]; }

  private:
    std::vector<int>
        surahStart_; // 115 entries: the place of each surah's first ayah, then the total
    std::vector<int> pageStart_; // pageCount + 1 entries, the last the total
};

#endif
