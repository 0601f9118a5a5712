// The table that turns characters typed on a Latin keyboard into bytes of the Arabic
// byte code, for the Arabic input field and (through it) the on-screen keyboard.
#ifndef NORAVEL_ARABIC_ARABIC_KEY_TABLE_H
#define NORAVEL_ARABIC_ARABIC_KEY_TABLE_H

// The bytes one typed character stands for: none (the table does not list it), one
// letter or mark, or two bytes (LAM ALEF for the key B).
struct ArabicKeyBytes {
    unsigned char bytes[2];
    int count;
};

class ArabicKeyTable {
  public:
    // Upper and lower case of a letter give the same result. Where the table has a
    // separate Shift column, `shiftDown` (the state of the Shift key when the character
    // is handled, not the case of the character) chooses it. Characters the table does
    // not list give count 0.
    static ArabicKeyBytes lookup(unsigned char typed, bool shiftDown);
};

// What the input field does with one WM_CHAR character (its low byte).
enum class ArabicCharAction {
    Ignore,    // carriage return, and NUL (which the text cannot hold)
    Backspace, // remove the byte before the insertion point
    Insert,    // insert `bytes`: the table's bytes, or the character itself if unlisted
};

struct ArabicCharEffect {
    ArabicCharAction action;
    ArabicKeyBytes bytes;
};

// The rule for one character, the mouse and Ctrl keys aside (the caller ignores the
// character while one of them is held).
ArabicCharEffect arabicCharEffect(unsigned char typed, bool shiftDown);

#endif
