#include "arabic/arabic_text_rules.h"

#include <cstring>

namespace {

// The length of a NUL-terminated text, reading no further than `limit` bytes: a text
// without a NUL among them counts as `limit` bytes long.
int boundedLength(const char* text, int limit) {
    int n = 0;
    while (n < limit && text[n] != '\0')
        ++n;
    return n;
}

// The field's length, never beyond the buffer even if its NUL went missing.
int lengthOf(const ArabicFieldBuffer& text) {
    return boundedLength(text, kArabicFieldMaxText);
}

// An insertion point that lies inside the text (it always does unless the caller's
// state was damaged).
int clampedInsertPos(int insertPos, int length) {
    if (insertPos < 0) return 0;
    return insertPos > length ? length : insertPos;
}

} // namespace

bool setArabicFieldText(ArabicFieldBuffer& text, int& insertPos, const char* source) {
    if (!source) return false;
    const int kept = boundedLength(source, kArabicFieldMaxText);
    std::memmove(text, source, static_cast<size_t>(kept));
    text[kept] = '\0';
    insertPos = kept;
    return true;
}

bool insertArabicKey(ArabicFieldBuffer& text, int& insertPos, const ArabicKeyBytes& key) {
    if (key.count < 1 || key.count > 2) return false;
    const int length = lengthOf(text);
    if (length + key.count > kArabicFieldMaxText) return false;
    const int at = clampedInsertPos(insertPos, length);
    // Move the tail and its NUL up to make room.
    std::memmove(text + at + key.count, text + at, static_cast<size_t>(length - at + 1));
    std::memcpy(text + at, key.bytes, static_cast<size_t>(key.count));
    insertPos = at + key.count;
    return true;
}

bool removeArabicByteBeforeInsertPoint(ArabicFieldBuffer& text, int& insertPos) {
    const int length = lengthOf(text);
    const int at = clampedInsertPos(insertPos, length);
    if (at < 1) {
        insertPos = at;
        return false;
    }
    // Move the tail and its NUL down over the removed byte.
    std::memmove(text + at - 1, text + at, static_cast<size_t>(length - at + 1));
    insertPos = at - 1;
    return true;
}

int copyArabicFieldText(const ArabicFieldBuffer& text, char* destination,
                        long long destinationSize) {
    if (!destination || destinationSize <= 0) return 0;
    const int length = lengthOf(text);
    const int copied =
        destinationSize - 1 < length ? static_cast<int>(destinationSize - 1) : length;
    std::memcpy(destination, text, static_cast<size_t>(copied));
    destination[copied] = '\0';
    return copied;
}
