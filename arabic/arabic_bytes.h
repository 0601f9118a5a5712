// The program's Arabic byte code and its conversion to UTF-16.
//
// One byte per character: ASCII below 128, the Arabic letters at their code page 1256
// values, and four vowel marks (F0 FATHATAN, F1 SHADDA, F3 FATHA, F5 DAMMA). F1 is the
// one place where the code differs from code page 1256, which has DAMMATAN there.
#ifndef NORAVEL_ARABIC_ARABIC_BYTES_H
#define NORAVEL_ARABIC_ARABIC_BYTES_H

#include <cstddef>
#include <cstdint>

// Turns one byte of the Arabic byte code into one UTF-16 code unit. Every byte has a
// value: the bytes that are no letter of the code get the same offsets as their
// neighbours (0x560 up to E2, 0x562 from E7 on).
std::uint16_t arabicByteToUnicode(unsigned char byte);

// The byte of the Arabic byte code for one UTF-16 unit; false when the code has none. Where
// two bytes give the same unit, the letter's byte is chosen.
bool arabicByteFromUnicode(std::uint16_t unit, unsigned char& byte);

// Converts the NUL-terminated `text` unit by unit into `wide`, which holds `capacity`
// units, and ends the result with two NUL units. At most capacity - 2 bytes are
// converted; the number converted is returned (0 when capacity is below 2, in which
// case nothing is written). `Unit` is any 16-bit code unit type (WCHAR on Windows).
template <typename Unit>
std::size_t widenArabicText(const char* text, Unit* wide, std::size_t capacity) {
    static_assert(sizeof(Unit) == 2, "UTF-16 code units");
    if (capacity < 2 || !wide) return 0;
    std::size_t n = 0;
    if (text) {
        for (; n + 2 < capacity && text[n] != '\0'; ++n)
            wide[n] = static_cast<Unit>(arabicByteToUnicode(static_cast<unsigned char>(text[n])));
    }
    wide[n] = 0;
    wide[n + 1] = 0;
    return n;
}

#endif
