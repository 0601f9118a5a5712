// Bounded copies of UTF-8 text. A text cut to fit a buffer is cut between characters, never
// inside one: half a character is no text any reader of the buffer can show or convert.
#ifndef NORAVEL_BASE_UTF8_TEXT_H
#define NORAVEL_BASE_UTF8_TEXT_H

#include <cstddef>

// How many of the first `length` bytes of `text` to keep so that at most `room` bytes
// remain and no character is cut: all of them when they fit, else `room` less the bytes
// of a character that would be cut (its lead byte and the continuation bytes that fit,
// at most three).
size_t utf8LengthThatFits(const char* text, size_t length, size_t room);

// Copies what fits of the first `length` bytes of `text` (utf8LengthThatFits with room
// outSize - 1) and a NUL into out; returns the bytes copied. Nothing when outSize is 0.
size_t copyUtf8Bounded(char* out, size_t outSize, const char* text, size_t length);

#endif
