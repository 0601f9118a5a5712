// "EDITARAB": a one-line Arabic input field. It holds a text in the Arabic byte code,
// draws it right to left through Uniscribe, keeps its caret at the text's left end
// (the logical end of right-to-left text) and turns characters typed on a Latin
// keyboard into Arabic letters through ArabicKeyTable. Text is always added and removed
// at the end: no selection, no clipboard, no caret movement. Its window is Unicode:
// WM_SETTEXT, WM_GETTEXT and WM_GETTEXTLENGTH take and give the text in UTF-16 (what a
// screen reader reads), kArabicEditSetBytes and kArabicEditGetBytes in the byte code. It
// sends nothing to its parent.
#ifndef NORAVEL_ARABIC_ARABIC_EDIT_WIN_H
#define NORAVEL_ARABIC_ARABIC_EDIT_WIN_H

#include "arabic/arabic_text_rules.h"

#include <windows.h>

// The class name, for the narrow calls and for the W calls.
constexpr char kArabicEditClass[] = "EDITARAB";
constexpr wchar_t kArabicEditClassW[] = L"EDITARAB";

// A key of an on-screen keyboard: wParam is the character, typed as WM_CHAR types it but
// whatever mouse button is held (the click on the key itself holds one down).
constexpr UINT kArabicEditKeyMessage = WM_APP + 0x41;
// The text in the Arabic byte code. Set: lParam the NUL-terminated text (its first 31,999
// bytes are kept; null changes nothing). Get: wParam the destination's size in bytes,
// lParam the destination; copies what fits and a NUL and returns the bytes copied.
constexpr UINT kArabicEditSetBytes = WM_APP + 0x42;
constexpr UINT kArabicEditGetBytes = WM_APP + 0x43;

// Registers the class once per process; returns its atom, 0 when registration fails.
// `background` is the brush the fields paint behind their text (kept as the class's
// background brush; the system's window colour when null).
ATOM registerArabicEditClass(HINSTANCE instance, HBRUSH background);
LRESULT CALLBACK arabicEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The state of one field, kept with its window (in the class's window bytes, so that
// GWLP_USERDATA stays free for whoever creates the field): made at WM_CREATE and
// destroyed at WM_NCDESTROY.
class ArabicEditState {
  public:
    static constexpr int kWideUnits = 40000;
    virtual ~ArabicEditState() = default;

    ArabicFieldBuffer text = {}; // the Arabic byte code, NUL-terminated
    int caretX = 0;              // caret position in client pixels, as last computed
    int caretY = 0;              // always 0
    int insertPos = 0;           // always the text's length
    HFONT font = nullptr;        // Tahoma 12 points, owned by the state
    int fontHeight = 0;          // pixels; also the caret's height
    WCHAR wide[kWideUnits] = {}; // the text in UTF-16, rebuilt before measuring and drawing
    HWND window = nullptr;
};

// The state of a field of this class; nullptr for any other window and for a field
// still being created.
ArabicEditState* arabicEditState(HWND field);

// Recomputes the caret's x from the text's measured width (2 pixels left of the text,
// which is drawn right-aligned) and moves the caret there.
void updateCaret(ArabicEditState& state);

#endif
