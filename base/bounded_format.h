// printf-style formatting into a caller's buffer of a given size, for the formatters that
// build paths, command lines and file names.
#ifndef NORAVEL_BASE_BOUNDED_FORMAT_H
#define NORAVEL_BASE_BOUNDED_FORMAT_H

#include <cstdarg>
#include <cstddef>
#include <cstdio>

// Writes the formatted text into out (size bytes) and answers whether the whole text
// fitted. A text that does not fit is never used: the buffer then holds "".
inline bool formatInto(char* out, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

inline bool formatInto(char* out, size_t size, const char* format, ...) {
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

#endif
