#include "text/mushaf_pages.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

// Made at build time from quran-meta (tools/make_mushaf_tables.cpp): kMushafAyahCounts,
// kMushafPageStarts, kMushafQuarterStarts, kMushafProstrations.
#include "mushaf_tables.inc"

constexpr int kSurahs = 114;

static_assert(std::size(kMushafAyahCounts) == kSurahs, "one ayah count per surah");
static_assert(std::size(kMushafPageStarts) == kMushafPageCount, "one start per page");
static_assert(std::size(kMushafQuarterStarts) == kHizbQuarterCount, "one start per quarter");

constexpr int kKeyPerSurah = 1000;

bool exists(AyahRef ayah) {
    return ayah.surah >= 1 && ayah.surah <= kSurahs && ayah.ayah >= 1 &&
           ayah.ayah <= kMushafAyahCounts[ayah.surah - 1];
}

int keyOf(AyahRef ayah) {
    return ayah.surah * kKeyPerSurah + ayah.ayah;
}

AyahRef ayahOfKey(int key) {
    return {key / kKeyPerSurah, key % kKeyPerSurah};
}

// Index of key in a sorted table, or -1.
template <size_t N> int indexOf(const int (&table)[N], int key) {
    const int* found = std::lower_bound(std::begin(table), std::end(table), key);
    return found != std::end(table) && *found == key ? static_cast<int>(found - table) : -1;
}

// "" in text and false: the whole or nothing.
bool copied(char* text, size_t size, const char* from) {
    if (!text || size == 0) return false;
    const int length = std::snprintf(text, size, "%s", from);
    if (length < 0 || static_cast<size_t>(length) >= size) {
        text[0] = '\0';
        return false;
    }
    return true;
}

} // namespace

int mushafPageOf(AyahRef ayah) {
    if (!exists(ayah)) return 0;
    // The last page whose first ayah is not after this one.
    const int* after =
        std::upper_bound(std::begin(kMushafPageStarts), std::end(kMushafPageStarts), keyOf(ayah));
    return static_cast<int>(after - kMushafPageStarts);
}

AyahRef firstAyahOfPage(int page) {
    if (page < 1 || page > kMushafPageCount) return {};
    return ayahOfKey(kMushafPageStarts[page - 1]);
}

AyahRef firstAyahOfPageAfter(AyahRef ayah, int delta) {
    const int page = mushafPageOf(ayah);
    if (page == 0 || delta < -kMushafPageCount || delta > kMushafPageCount) return {};
    return firstAyahOfPage(page + delta);
}

HizbQuarter hizbQuarterStartingAt(AyahRef ayah) {
    if (!exists(ayah)) return {};
    const int found = indexOf(kMushafQuarterStarts, keyOf(ayah));
    if (found < 0) return {};
    HizbQuarter quarter;
    quarter.index = found + 1;
    quarter.juz = found / 8 + 1;
    quarter.hizb = found / 4 + 1;
    quarter.quarter = found % 4 + 1;
    return quarter;
}

bool isProstrationAyah(AyahRef ayah) {
    return exists(ayah) && indexOf(kMushafProstrations, keyOf(ayah)) >= 0;
}

bool formatHizbQuarter(const HizbQuarter& quarter, char* text, size_t size) {
    // "", then ¼, ½ and ¾ (U+00BC..U+00BE) in UTF-8.
    static const char* const kFractions[] = {"", " \xC2\xBC", " \xC2\xBD", " \xC2\xBE"};
    if (quarter.index < 1 || quarter.index > kHizbQuarterCount || quarter.quarter < 1 ||
        quarter.quarter > 4)
        return copied(text, size, "");
    char line[32];
    std::snprintf(line, sizeof line, "Hizb %d%s", quarter.hizb, kFractions[quarter.quarter - 1]);
    return copied(text, size, line);
}

bool formatMushafMarks(AyahRef ayah, char* text, size_t size) {
    char quarter[32] = "";
    formatHizbQuarter(hizbQuarterStartingAt(ayah), quarter, sizeof quarter);
    const bool prostration = isProstrationAyah(ayah);
    char line[64];
    std::snprintf(line, sizeof line, "%s%s%s", quarter,
                  quarter[0] && prostration ? " \xC2\xB7 " : "", prostration ? "Sajdah" : "");
    return copied(text, size, line);
}
