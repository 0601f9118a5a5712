// What the reading view marks above an ayah's block: the page of the Madinah mushaf that
// begins with the ayah (drawn as a rule across the column with the page's number), and the
// quarter of a hizb that begins there and the place of prostration (a label at its side).
#ifndef NORAVEL_APP_READING_MARKS_H
#define NORAVEL_APP_READING_MARKS_H

#include "text/ayah_ref.h"

struct ReadingMarkText {
    int page = 0;        // the page whose rule goes above the ayah; 0 for none
    char label[48] = ""; // "Hizb 1 ¼", "Sajdah" or both joined, in UTF-8; "" for none
    bool any() const { return page > 0 || label[0] != '\0'; }
};

// The marks above the ayah; none for an ayah that does not exist. A surah's first ayah gets
// no rule even where a page begins with it: the page begins with the surah's name, which opens
// the column, so there is no page above it to part from.
ReadingMarkText readingMarkOf(AyahRef ayah);

#endif
