// The rules by which the Arabic input field changes its text: a NUL-terminated text of
// at most 31,999 bytes in a 32,000-byte buffer, always edited at its end.
//
// The insertion point is passed in and out by the caller (it lives in the field's
// state); the functions keep it equal to the text's length. No function writes past
// the buffer, whatever the source or the insertion point it is given.
#ifndef NORAVEL_ARABIC_ARABIC_TEXT_RULES_H
#define NORAVEL_ARABIC_ARABIC_TEXT_RULES_H

#include "arabic/arabic_key_table.h"

constexpr int kArabicFieldBytes = 32000;                   // the buffer, NUL included
constexpr int kArabicFieldMaxText = kArabicFieldBytes - 1; // bytes of text at most

using ArabicFieldBuffer = char[kArabicFieldBytes];

// Replaces the text with the NUL-terminated `source`, keeping its first 31,999 bytes
// when it is longer. A null source changes nothing and returns false. On success the
// insertion point becomes the new length.
bool setArabicFieldText(ArabicFieldBuffer& text, int& insertPos, const char* source);

// Inserts the key's bytes at the insertion point, all of them or none: when they do not
// all fit, nothing is inserted (so the text never ends in half of LAM ALEF). Returns
// true when the text changed.
bool insertArabicKey(ArabicFieldBuffer& text, int& insertPos, const ArabicKeyBytes& key);

// Removes the byte before the insertion point (Backspace and Delete alike). Returns
// false, changing nothing, when the insertion point is at the start.
bool removeArabicByteBeforeInsertPoint(ArabicFieldBuffer& text, int& insertPos);

// WM_GETTEXT: copies min(length, destinationSize - 1) bytes and a NUL into the
// destination and returns the number of bytes copied. A null destination or a size of
// 0 or less writes nothing and returns 0.
int copyArabicFieldText(const ArabicFieldBuffer& text, char* destination,
                        long long destinationSize);

#endif
