#include "pages/page_paths.h"

#include "base/bounded_format.h"

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

} // namespace

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
