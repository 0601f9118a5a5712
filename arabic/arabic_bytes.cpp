#include "arabic/arabic_bytes.h"

std::uint16_t arabicByteToUnicode(unsigned char byte) {
    if (byte < 0x80) return byte;
    // Letters whose Unicode block order differs from the code page's.
    if (byte >= 0xD8 && byte <= 0xDB) return static_cast<std::uint16_t>(byte + 0x55F);
    if (byte >= 0xDD && byte <= 0xDF) return static_cast<std::uint16_t>(byte + 0x564);
    switch (byte) {
    case 0xE1: return 0x0644; // LAM
    case 0xEC: return 0x0649; // ALEF MAKSURA
    case 0xED: return 0x064A; // YEH
    case 0xF0: return 0x064B; // FATHATAN
    case 0xF1: return 0x0651; // SHADDA
    case 0xF3: return 0x064E; // FATHA
    case 0xF5: return 0x064F; // DAMMA
    default: break;
    }
    // C1..D6 (HAMZA..DAD) and every other byte up to E2 sit 0x560 below their unit;
    // E3..E6 (MEEM..WAW) and every other byte from E7 on sit 0x562 below.
    if (byte <= 0xE2) return static_cast<std::uint16_t>(byte + 0x560);
    return static_cast<std::uint16_t>(byte + 0x562);
}

namespace {

// Bytes whose unit another byte also reaches by the offsets: these are the letters.
const unsigned char kLetterBytes[] = {0xD8, 0xD9, 0xDA, 0xDB, 0xDD, 0xDE, 0xDF,
                                      0xE1, 0xEC, 0xED, 0xF0, 0xF1, 0xF3, 0xF5};

} // namespace

bool arabicByteFromUnicode(std::uint16_t unit, unsigned char& byte) {
    if (unit < 0x80) {
        byte = static_cast<unsigned char>(unit);
        return true;
    }
    for (unsigned char letter : kLetterBytes) {
        if (arabicByteToUnicode(letter) == unit) {
            byte = letter;
            return true;
        }
    }
    for (int candidate = 0x80; candidate <= 0xFF; ++candidate) {
        if (arabicByteToUnicode(static_cast<unsigned char>(candidate)) == unit) {
            byte = static_cast<unsigned char>(candidate);
            return true;
        }
    }
    return false;
}
