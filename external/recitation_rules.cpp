#include "external/recitation_rules.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

bool formatInto(char* out, size_t size, const char* format, ...) {
    if (!out || size == 0) return false;
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(out, size, format, arguments);
    va_end(arguments);
    if (length < 0 || static_cast<size_t>(length) >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

} // namespace

bool formatMp3Path(char* out, size_t size, const char* directory, const char* file) {
    return formatInto(out, size, "%s\\mp3\\%s", directory, file ? file : "");
}

bool formatPlayerCommandLine(char* out, size_t size, const char* directory, const char* mp3Path,
                             int startMs, int endMs, bool continuous) {
    return formatInto(out, size, "\"%s\\zemplay.exe\" \"%s\" %i %i", directory, mp3Path,
                      wholeSeconds(startMs), continuous ? 0 : wholeSeconds(endMs));
}

bool formatTajwidCommandLine(char* out, size_t size, const char* directory) {
    return formatInto(out, size, "\"%s\\morvent.exe\" ", directory);
}

bool formatCommentaryPath(char* out, size_t size, const char* directory, int surah, int ayah) {
    return formatInto(out, size, "%s\\html\\qs%i\\%i.html#%i", directory, surah,
                      commentaryPageNumber(ayah), ayah);
}

bool formatHelpPath(char* out, size_t size, const char* directory) {
    return formatInto(out, size, "%s\\help.htm", directory);
}

bool formatFileUrl(char* out, size_t size, const char* path) {
    if (!out || size == 0) return false;
    static const char kHex[] = "0123456789ABCDEF";
    static const char kScheme[] = "file:///";
    size_t used = 0;
    auto put = [&](char c) {
        if (used + 1 >= size) return false;
        out[used++] = c;
        return true;
    };
    bool fits = true;
    for (const char* c = kScheme; *c && fits; ++c)
        fits = put(*c);
    bool inAnchor = false;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(path); *p && fits; ++p) {
        const unsigned char c = *p;
        if (!inAnchor && c == '#') {
            inAnchor = true;
            fits = put('#');
        } else if (c == '\\' && !inAnchor) {
            fits = put('/');
        } else if (isUnreserved(c) || c == '/' || (c == ':' && !inAnchor)) {
            fits = put(static_cast<char>(c));
        } else {
            fits = put('%') && put(kHex[c >> 4]) && put(kHex[c & 15]);
        }
    }
    if (!fits) {
        out[0] = '\0';
        return false;
    }
    out[used] = '\0';
    return true;
}

TimingSource textStoreTiming() {
    return {&TextStore::ayahCount, &TextStore::recitation};
}

int followedAyah(const char* mp3Path, int positionMs, const TimingSource& timing) {
    if (!mp3Path) return 0;
    const char* name = std::strrchr(mp3Path, '\\');
    name = name ? name + 1 : mp3Path;
    if (!std::strchr(name, '_')) return 0;
    // The leading decimal number, bounded so that no digit string can overflow.
    int surah = 0;
    for (const char* c = name; *c >= '0' && *c <= '9'; ++c) {
        surah = surah * 10 + (*c - '0');
        if (surah > TextStore::kSurahs) return 0;
    }
    if (surah < 1) return 0;
    const int count = timing.ayahCount(surah);
    for (int k = 1; k <= count; ++k) {
        const Recitation r = timing.recitation(surah, k);
        if (r.file && std::strcmp(r.file, name) == 0 && r.startMs <= positionMs &&
            positionMs <= r.endMs)
            return k;
    }
    return 0;
}

AyahRef ayahAfter(int surah, int ayah, int scope, int ayahCountOfSurah) {
    if (ayah < ayahCountOfSurah) return {surah, ayah + 1};
    if (scope == kScopeTotal) return {surah >= TextStore::kSurahs ? 1 : surah + 1, 1};
    return {surah, 1};
}
