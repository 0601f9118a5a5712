#include "app/ayah_name.h"

#include "arabic/arabic_bytes.h"

#include <cstdio>

std::u16string spokenAyahName(int surah, int ayah, const char* surahName, const char* arabicBytes) {
    char place[320];
    if (surahName && surahName[0])
        std::snprintf(place, sizeof place, "Surah %d %.255s, ayah %d: ", surah, surahName, ayah);
    else
        std::snprintf(place, sizeof place, "Surah %d, ayah %d: ", surah, ayah);
    // The place is ASCII, or single-byte Latin text taken unit for unit.
    std::u16string name;
    for (const char* c = place; *c; ++c)
        name.push_back(static_cast<char16_t>(static_cast<unsigned char>(*c)));
    if (!arabicBytes) return name;
    for (const char* c = arabicBytes; *c; ++c)
        name.push_back(static_cast<char16_t>(arabicByteToUnicode(static_cast<unsigned char>(*c))));
    return name;
}
