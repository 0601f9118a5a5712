#include "arabic/arabic_key_table.h"

namespace {

// One row per key: the byte without Shift and with Shift (the same where the key has
// no Shift column).
struct KeyRow {
    unsigned char plain;
    unsigned char shifted;
};

// The letters A..Z. B is the two-byte key and is handled on its own.
constexpr KeyRow kLetters[26] = {
    {0xD4, 0xD4}, // A  SHEEN
    {0xE1, 0xE1}, // B  LAM (then ALEF)
    {0xC4, 0xC4}, // C  WAW WITH HAMZA ABOVE
    {0xED, 0xED}, // D  YEH
    {0xCB, 0xF5}, // E  THEH / DAMMA
    {0xC8, 0xC8}, // F  BEH
    {0xE1, 0xE1}, // G  LAM
    {0xC7, 0xC3}, // H  ALEF / ALEF WITH HAMZA ABOVE
    {0xE5, 0xE5}, // I  HEH
    {0xCA, 0xCA}, // J  TEH
    {0xE4, 0xE4}, // K  NOON
    {0xE3, 0xE3}, // L  MEEM
    {0xC9, 0xC9}, // M  TEH MARBUTA
    {0xEC, 0xC2}, // N  ALEF MAKSURA / ALEF WITH MADDA ABOVE
    {0xCE, 0xCE}, // O  KHAH
    {0xCD, 0xCD}, // P  HAH
    {0xD6, 0xF3}, // Q  DAD / FATHA
    {0xDE, 0xF1}, // R  QAF / SHADDA
    {0xD3, 0xD3}, // S  SEEN
    {0xDD, 0xDD}, // T  FEH
    {0xDA, 0xDA}, // U  AIN
    {0xD1, 0xD1}, // V  REH
    {0xD5, 0xF0}, // W  SAD / FATHATAN
    {0xC1, 0xC1}, // X  HAMZA
    {0xDB, 0xC5}, // Y  GHAIN / ALEF WITH HAMZA BELOW
    {0xC6, 0xC6}, // Z  YEH WITH HAMZA ABOVE
};

// Punctuation keys: both characters of a key give the same byte.
struct PunctuationRow {
    char typed;
    unsigned char byte;
};

constexpr PunctuationRow kPunctuation[] = {
    {'"', 0xD8}, {'\'', 0xD8}, // TAH
    {'#', 0xC5},               // ALEF WITH HAMZA BELOW
    {'$', 0xC2},               // ALEF WITH MADDA ABOVE
    {',', 0xE6}, {'<', 0xE6},  // WAW
    {'.', 0xD2}, {'>', 0xD2},  // ZAIN
    {'/', 0xD9}, {'?', 0xD9},  // ZAH
    {':', 0xDF}, {';', 0xDF},  // KAF
    {'@', 0xC3},               // ALEF WITH HAMZA ABOVE
    {'[', 0xCC}, {'{', 0xCC},  // JEEM
    {']', 0xCF}, {'}', 0xCF},  // DAL
    {'`', 0xD0}, {'~', 0xD0},  // THAL
};

constexpr ArabicKeyBytes one(unsigned char byte) {
    return {{byte, 0}, 1};
}

} // namespace

ArabicKeyBytes ArabicKeyTable::lookup(unsigned char typed, bool shiftDown) {
    int letter = -1;
    if (typed >= 'A' && typed <= 'Z') letter = typed - 'A';
    if (typed >= 'a' && typed <= 'z') letter = typed - 'a';
    if (letter == 'B' - 'A') return {{0xE1, 0xC7}, 2}; // LAM ALEF
    if (letter >= 0) return one(shiftDown ? kLetters[letter].shifted : kLetters[letter].plain);
    for (const PunctuationRow& row : kPunctuation)
        if (static_cast<unsigned char>(row.typed) == typed) return one(row.byte);
    return {{0, 0}, 0};
}

ArabicCharEffect arabicCharEffect(unsigned char typed, bool shiftDown) {
    // A NUL byte would end the text early and leave the insertion point past its end.
    if (typed == '\r' || typed == '\0') return {ArabicCharAction::Ignore, {{0, 0}, 0}};
    if (typed == '\b') return {ArabicCharAction::Backspace, {{0, 0}, 0}};
    const ArabicKeyBytes listed = ArabicKeyTable::lookup(typed, shiftDown);
    if (listed.count > 0) return {ArabicCharAction::Insert, listed};
    return {ArabicCharAction::Insert, one(typed)};
}
