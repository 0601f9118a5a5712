// printf-style formatting into a caller's buffer of a given size, for the formatters that
// build paths, command lines and file names.
#ifndef NORAVEL_BASE_BOUNDED_FORMAT_H
#define NORAVEL_BASE_BOUNDED_FORMAT_H

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

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

// Copies UTF-8 text into out (size bytes, the NUL counted), cut before the first character
// that does not fit whole, so that a cut never leaves half a character. Returns whether the
// whole text fitted.
inline bool copyUtf8Cut(char* out, size_t size, const std::string& text) {
    if (!out || size == 0) return false;
    size_t length = text.size();
    if (length >= size) {
        length = size - 1;
        // Back to the start of the character that would be cut (continuation bytes are
        // 10xxxxxx).
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
    return length == text.size();
}

#endif
