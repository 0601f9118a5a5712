// The texts of the Memorise dialog: an ayah typed as "surah:ayah" and a number of seconds
// or times with at most one decimal ("1.5"), in tenths.
#ifndef NORAVEL_RECITATION_MEMORISE_INPUT_H
#define NORAVEL_RECITATION_MEMORISE_INPUT_H

#include "text/ayah_ref.h"

#include <cstddef>

// "2:255" (blanks around it allowed) gives that ayah when the surah has it; an empty text
// gives no ayah. False for anything else.
bool parseAyahText(const char* text, int (*ayahCount)(int surah), AyahRef* out);
// "2:255", or "" for no ayah.
bool formatAyahText(char* out, size_t size, AyahRef ayah);

// "1", "1.5", " 10 " in tenths (10, 15, 100); at most 9999.9. False for anything else.
bool parseTenths(const char* text, int* tenths);
// 15 as "1.5", 20 as "2".
bool formatTenths(char* out, size_t size, int tenths);

#endif
