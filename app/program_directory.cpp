#include "app/program_directory.h"

#include <cstring>

void programDirectoryFromPath(const char* programPath, char* out, std::size_t outSize) {
    if (outSize == 0) return;
    if (!programPath) {
        out[0] = '\0';
        return;
    }
    const char* lastBackslash = std::strrchr(programPath, '\\');
    std::size_t length = lastBackslash ? static_cast<std::size_t>(lastBackslash - programPath)
                                       : std::strlen(programPath);
    if (length > outSize - 1) length = outSize - 1;
    std::memcpy(out, programPath, length);
    out[length] = '\0';
}
