// The Madinah mushaf (Hafs, 604 pages): the page of every ayah, the hizb quarters (rub')
// and the places of prostration (sajdah). The tables are made at build time from the
// quran-meta package and compiled in; nothing is loaded at run time.
#ifndef NORAVEL_TEXT_MUSHAF_PAGES_H
#define NORAVEL_TEXT_MUSHAF_PAGES_H

#include "text/ayah_ref.h"

#include <cstddef>

constexpr int kMushafPageCount = 604;
constexpr int kHizbQuarterCount = 240;

// The page 1..604 on which the ayah stands (the page where it begins); 0 for an ayah that
// does not exist (surah outside 1..114, ayah outside 1..the surah's count).
int mushafPageOf(AyahRef ayah);

// The first ayah of page 1..604; {0, 0} for any other number.
AyahRef firstAyahOfPage(int page);

// The first ayah of the page delta pages after the ayah's own (before it for a negative
// delta); {0, 0} when that page lies outside 1..604 or the ayah does not exist.
AyahRef firstAyahOfPageAfter(AyahRef ayah, int delta);

// A quarter of a hizb. index 1..240 through the Quran, hizb 1..60, juz 1..30; quarter 1..4
// within its hizb: 1 begins the hizb, 2, 3 and 4 begin its second, third and fourth
// quarter. index 0 names no quarter.
struct HizbQuarter {
    int index = 0;
    int juz = 0;
    int hizb = 0;
    int quarter = 0;
};

// The quarter that begins with this ayah; index 0 when none begins there.
HizbQuarter hizbQuarterStartingAt(AyahRef ayah);

// Whether the ayah is one of the 15 places of prostration. The package tells no kind of
// prostration, so none is told here.
bool isProstrationAyah(AyahRef ayah);

// The quarter as a reader names it, in UTF-8: "Hizb 5" at the start of a hizb, "Hizb 5 ¼",
// "Hizb 5 ½", "Hizb 5 ¾" at its later quarters; "" for index 0. Written into text (size
// bytes); answers whether the whole text fitted. A text that does not fit leaves "".
bool formatHizbQuarter(const HizbQuarter& quarter, char* text, size_t size);

// The marks of an ayah in UTF-8: the quarter it begins and "Sajdah" at a place of
// prostration, joined by " · " when both apply; "" when none does. Written and answered
// as formatHizbQuarter does.
bool formatMushafMarks(AyahRef ayah, char* text, size_t size);

#endif
