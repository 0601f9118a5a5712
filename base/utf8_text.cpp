#include "base/utf8_text.h"

#include <cstring>

namespace {

bool isContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

size_t utf8LengthThatFits(const char* text, size_t length, size_t room) {
    if (length <= room) return length;
    // The first byte left out continues a character: that character goes whole.
    size_t cut = room;
    for (int back = 0; back < 3 && cut > 0 && isContinuation(text[cut]); ++back)
        --cut;
    return isContinuation(text[cut]) ? room : cut; // no lead byte within reach: not UTF-8
}

size_t copyUtf8Bounded(char* out, size_t outSize, const char* text, size_t length) {
    if (!out || outSize == 0) return 0;
    const size_t count = text ? utf8LengthThatFits(text, length, outSize - 1) : 0;
    if (count > 0) std::memcpy(out, text, count);
    out[count] = '\0';
    return count;
}
