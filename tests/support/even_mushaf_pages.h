// A made-up mushaf for the reading plan's tests: the 6,236 ayat shared evenly over 604
// pages by their place in reading order, so that what a test expects follows from the
// numbers alone.
#ifndef NORAVEL_TESTS_SUPPORT_EVEN_MUSHAF_PAGES_H
#define NORAVEL_TESTS_SUPPORT_EVEN_MUSHAF_PAGES_H

#include "app/plan_pages.h"
#include "tests/support/quran_counts.h"

// The first ayah of page 1..604.
inline AyahRef evenFirstAyah(int page) {
    static const PlanPages ayat = [] { // one page of every ayah, to count places
        PlanPages pages;
        pages.build(
            quranAyahCount,
            [](int) {
                return AyahRef{1, 1};
            },
            1);
        return pages;
    }();
    return ayat.ayahAt((page - 1) * 6236 / 604);
}

// The plan's pages of that mushaf.
inline PlanPages evenPlanPages() {
    PlanPages pages;
    pages.build(quranAyahCount, evenFirstAyah, 604);
    return pages;
}

#endif
