#include "app/reading_marks.h"

#include "text/mushaf_pages.h"

ReadingMarkText readingMarkOf(AyahRef ayah) {
    ReadingMarkText marks;
    const int page = mushafPageOf(ayah);
    if (page == 0) return marks;
    if (ayah.ayah > 1 && firstAyahOfPage(page) == ayah) marks.page = page;
    formatMushafMarks(ayah, marks.label, sizeof marks.label);
    return marks;
}
