// The juz (one of the thirty reading portions) in which an ayah lies.
#ifndef NORAVEL_TEXT_JUZ_H
#define NORAVEL_TEXT_JUZ_H

// Returns the juz 1..30 of surah:ayah, or 0 after 114:6. There is no lower bound: every
// ayah up to 2:141 (surah 0 and negative numbers included) lies in juz 1.
int juzOf(int surah, int ayah);

#endif
