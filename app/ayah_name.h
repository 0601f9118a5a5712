// The name a screen reader speaks for the picture of an ayah: where it stands, in words a
// voice reads well, and then its Arabic text in Unicode, e.g.
// "Surah 1 Al Fatihah, ayah 1: " followed by the Arabic letters.
#ifndef NORAVEL_APP_AYAH_NAME_H
#define NORAVEL_APP_AYAH_NAME_H

#include <string>

// surahName may be empty and arabicBytes (the Arabic byte code) empty or null: the name then
// holds what there is.
std::u16string spokenAyahName(int surah, int ayah, const char* surahName, const char* arabicBytes);

#endif
