#include "recitation/memorise_input.h"

#include <cstdio>

namespace {

const char* skipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

// Up to `maxDigits` decimal digits into *value; the text after them.
const char* readDigits(const char* p, int maxDigits, int* value, int* digits) {
    *value = 0;
    *digits = 0;
    while (*p >= '0' && *p <= '9') {
        if (++*digits > maxDigits) return nullptr;
        *value = *value * 10 + (*p - '0');
        ++p;
    }
    return p;
}

bool fits(int written, size_t size, char* out) {
    if (written >= 0 && static_cast<size_t>(written) < size) return true;
    if (size) out[0] = '\0';
    return false;
}

} // namespace

bool parseAyahText(const char* text, int (*ayahCount)(int surah), AyahRef* out) {
    const char* p = skipBlanks(text);
    if (*p == '\0') {
        *out = AyahRef{};
        return true;
    }
    int surah = 0, ayah = 0, digits = 0;
    p = readDigits(p, 3, &surah, &digits);
    if (!p || !digits || *p != ':') return false;
    p = readDigits(p + 1, 3, &ayah, &digits);
    if (!p || !digits || *skipBlanks(p) != '\0') return false;
    if (surah < 1 || surah > 114 || ayah < 1 || ayah > ayahCount(surah)) return false;
    *out = AyahRef{surah, ayah};
    return true;
}

bool formatAyahText(char* out, size_t size, AyahRef ayah) {
    const int n = ayah.valid() ? std::snprintf(out, size, "%d:%d", ayah.surah, ayah.ayah)
                               : std::snprintf(out, size, "%s", "");
    return fits(n, size, out);
}

bool parseTenths(const char* text, int* tenths) {
    int whole = 0, digits = 0, tenth = 0, tenthDigits = 0;
    const char* p = readDigits(skipBlanks(text), 4, &whole, &digits);
    if (!p || !digits) return false;
    if (*p == '.') {
        p = readDigits(p + 1, 1, &tenth, &tenthDigits);
        if (!p || !tenthDigits) return false;
    }
    if (*skipBlanks(p) != '\0') return false;
    *tenths = whole * 10 + tenth;
    return true;
}

bool formatTenths(char* out, size_t size, int tenths) {
    const int n = tenths % 10 ? std::snprintf(out, size, "%d.%d", tenths / 10, tenths % 10)
                              : std::snprintf(out, size, "%d", tenths / 10);
    return fits(n, size, out);
}
