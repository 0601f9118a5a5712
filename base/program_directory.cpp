#include "base/program_directory.h"

#include <cstdio>
#include <cstring>

std::size_t utf16UnitsOf(const char* utf8) {
    std::size_t units = 0;
    if (!utf8) return 0;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(utf8); *c; ++c) {
        if ((*c & 0xC0) == 0x80) continue; // a continuation byte
        units += *c >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool programDirectoryFromPath(const char* programPath, char* out, std::size_t outSize) {
    if (outSize == 0) return false;
    out[0] = '\0';
    if (!programPath) return false;
    const char* lastBackslash = std::strrchr(programPath, '\\');
    const std::size_t length = lastBackslash ? static_cast<std::size_t>(lastBackslash - programPath)
                                             : std::strlen(programPath);
    if (length > outSize - 1) return false;
    std::memcpy(out, programPath, length);
    out[length] = '\0';
    if (utf16UnitsOf(out) > kMaxProgramDirectoryUnits) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool formatPicturePath(char* out, std::size_t size, const char* directory, int surah, int ayah,
                       const char* set) {
    if (size == 0) return false;
    const int length = std::snprintf(out, size, "%s\\%s\\%i\\%i_%i.gif", directory ? directory : "",
                                     set ? set : "gif", surah, surah, ayah);
    if (length < 0 || static_cast<std::size_t>(length) >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}
