#include "arabic/arabic_edit_win.h"

#include "arabic/arabic_bytes.h"
#include "arabic/arabic_draw_win.h"
#include "arabic/arabic_key_table.h"
#include "base/dpi_win.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"

#include <cstdint>
#include <cwchar>
#include <new>

// ---- The field ----

namespace {

// Rebuilds the UTF-16 copy of the text; returns its length in units.
int rebuildWide(ArabicEditState& state) {
    return static_cast<int>(widenArabicText(state.text, state.wide, ArabicEditState::kWideUnits));
}

bool isHeld(int virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// The window bytes of the class that hold the field's state.
constexpr int kStateSlot = 0;

ArabicEditState* stateOf(HWND window) {
    return reinterpret_cast<ArabicEditState*>(GetWindowLongPtrW(window, kStateSlot));
}

bool onCreate(HWND window) {
    auto* state = new (std::nothrow) ArabicEditState();
    if (!state) return false;
    state->window = window;
    LOGFONTW description = {};
    description.lfHeight = -MulDiv(12, windowDpi(window), 72);
    description.lfQuality = PROOF_QUALITY;
    std::wcscpy(description.lfFaceName, L"Tahoma");
    state->font = CreateFontIndirectW(&description);
    state->fontHeight = description.lfHeight < 0 ? -description.lfHeight : description.lfHeight;
    if (!state->font) {
        delete state;
        return false;
    }
    SetWindowLongPtrW(window, kStateSlot, reinterpret_cast<LONG_PTR>(state));
    return true;
}

// The last message a window gets: its state goes with it.
void onNcDestroy(HWND window) {
    ArabicEditState* state = stateOf(window);
    if (!state) return;
    SetWindowLongPtrW(window, kStateSlot, 0);
    if (state->font) DeleteObject(state->font);
    delete state;
}

void onSetFocus(ArabicEditState& state) {
    CreateCaret(state.window, nullptr, 2, state.fontHeight);
    updateCaret(state);
    ShowCaret(state.window);
}

void removeLastByte(ArabicEditState& state) {
    if (!removeArabicByteBeforeInsertPoint(state.text, state.insertPos)) return;
    InvalidateRect(state.window, nullptr, TRUE);
    updateCaret(state);
}

void typeCharacter(ArabicEditState& state, WPARAM wParam) {
    const bool shiftDown = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const ArabicCharEffect effect =
        arabicCharEffect(static_cast<unsigned char>(wParam & 0xFF), shiftDown);
    switch (effect.action) {
    case ArabicCharAction::Ignore: return;
    case ArabicCharAction::Backspace: removeLastByte(state); return;
    case ArabicCharAction::Insert:
        if (!insertArabicKey(state.text, state.insertPos, effect.bytes)) return;
        updateCaret(state);
        InvalidateRect(state.window, nullptr, TRUE);
        return;
    }
}

// The window is Unicode, so WM_CHAR brings UTF-16; the key table reads the byte of the
// system's code page, as a typed character has always reached it (0 when there is none).
WPARAM typedByte(WPARAM wParam) {
    const WCHAR unit = static_cast<WCHAR>(wParam);
    if (unit < 0x80) return unit;
    char byte = 0;
    BOOL lost = FALSE;
    if (WideCharToMultiByte(CP_ACP, 0, &unit, 1, &byte, 1, nullptr, &lost) != 1 || lost) return 0;
    return static_cast<unsigned char>(byte);
}

// Characters typed while a mouse button or Ctrl is held are dropped.
void onChar(ArabicEditState& state, WPARAM wParam) {
    if (isHeld(VK_LBUTTON) || isHeld(VK_RBUTTON) || (GetKeyState(VK_CONTROL) & 0x8000)) return;
    typeCharacter(state, typedByte(wParam));
}

bool setBytes(ArabicEditState& state, const char* bytes) {
    if (!setArabicFieldText(state.text, state.insertPos, bytes)) return false;
    InvalidateRect(state.window, nullptr, TRUE);
    return true;
}

LRESULT getBytes(ArabicEditState& state, WPARAM wParam, LPARAM lParam) {
    return copyArabicFieldText(state.text, reinterpret_cast<char*>(lParam),
                               static_cast<long long>(static_cast<LONG_PTR>(wParam)));
}

// WM_SETTEXT in UTF-16: taken when every unit has a byte in the code (the first 31,999
// of them); otherwise the text stays as it was and the answer is FALSE.
LRESULT onSetText(ArabicEditState& state, LPARAM lParam) {
    const auto* wide = reinterpret_cast<const WCHAR*>(lParam);
    if (!wide) return FALSE;
    ArabicFieldBuffer bytes;
    int length = 0;
    for (; wide[length] != 0 && length < kArabicFieldMaxText; ++length) {
        unsigned char byte = 0;
        if (!arabicByteFromUnicode(static_cast<std::uint16_t>(wide[length]), byte) || byte == 0)
            return FALSE;
        bytes[length] = static_cast<char>(byte);
    }
    bytes[length] = '\0';
    return setBytes(state, bytes) ? TRUE : FALSE;
}

// WM_GETTEXT in UTF-16: as many units as fit before the terminator; their number.
LRESULT onGetText(ArabicEditState& state, WPARAM wParam, LPARAM lParam) {
    auto* out = reinterpret_cast<WCHAR*>(lParam);
    if (!out || wParam == 0) return 0;
    const int length = rebuildWide(state);
    const int room = static_cast<int>(wParam > static_cast<WPARAM>(length) ? length : wParam - 1);
    for (int i = 0; i < room; ++i)
        out[i] = state.wide[i];
    out[room] = 0;
    return room;
}

void onPaint(ArabicEditState& state) {
    RECT client;
    GetClientRect(state.window, &client);
    PaintDc paint(state.window);
    SelectedObject font(paint.get(), state.font);
    SetTextAlign(paint.get(), TA_RIGHT);
    // The class's background brush: the ground the caller gave at registration.
    FillRect(paint.get(), &client,
             reinterpret_cast<HBRUSH>(GetClassLongPtrW(state.window, GCLP_HBRBACKGROUND)));
    rebuildWide(state);
    drawArabicText(paint.get(), state.wide, client);
    if (GetFocus() == state.window) updateCaret(state);
}

} // namespace

void updateCaret(ArabicEditState& state) {
    const int length = rebuildWide(state);
    RECT client;
    GetClientRect(state.window, &client);
    int width = 0;
    {
        WindowDc dc(state.window);
        SelectedObject font(dc.get(), state.font);
        width = measureArabicText(dc.get(), state.wide, length);
    }
    state.caretX = client.right - width - 2;
    SetCaretPos(state.caretX, state.caretY);
}

ATOM registerArabicEditClass(HINSTANCE instance, HBRUSH background) {
    // A Unicode class: WM_GETTEXT through the W functions (and so screen readers) gets
    // the Arabic letters; the program itself reads and writes the byte code by
    // kArabicEditGetBytes and kArabicEditSetBytes.
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = arabicEditProc;
    windowClass.cbWndExtra = sizeof(ArabicEditState*);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, wideResourceId(IDC_IBEAM));
    windowClass.hbrBackground =
        background ? background : reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kArabicEditClassW;
    return RegisterClassExW(&windowClass);
}

ArabicEditState* arabicEditState(HWND field) {
    wchar_t name[16] = L"";
    if (!field || !GetClassNameW(field, name, 16) || std::wcscmp(name, kArabicEditClassW) != 0)
        return nullptr;
    return stateOf(field);
}

LRESULT CALLBACK arabicEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return onCreate(window) ? 0 : -1;
    if (message == WM_NCDESTROY) {
        onNcDestroy(window);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    ArabicEditState* state = stateOf(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_SIZE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_SETFOCUS: onSetFocus(*state); return 0;
    case WM_KILLFOCUS: DestroyCaret(); return 0;
    case WM_SETTEXT: return onSetText(*state, lParam);
    case WM_GETTEXT: return onGetText(*state, wParam, lParam);
    case WM_GETTEXTLENGTH: return rebuildWide(*state);
    case kArabicEditSetBytes: setBytes(*state, reinterpret_cast<const char*>(lParam)); return 0;
    case kArabicEditGetBytes: return getBytes(*state, wParam, lParam);
    case WM_PAINT: onPaint(*state); return 0;
    case WM_KEYDOWN:
        if (wParam == VK_DELETE) removeLastByte(*state);
        return 0;
    case WM_CHAR: onChar(*state, wParam); return 0;
    case kArabicEditKeyMessage: typeCharacter(*state, wParam); return 0;
    case WM_LBUTTONDOWN:
        if (GetFocus() != window) SetFocus(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
