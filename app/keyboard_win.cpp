#include "app/keyboard_win.h"

#include "app/control_names_win.h"
#include "app/reader_window_win.h"
#include "arabic/arabic_edit_win.h"
#include "resources/resource_ids.h"

#include <cwchar>

namespace {

bool isKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

bool classIs(HWND window, const wchar_t* name) {
    wchar_t className[32] = L"";
    GetClassNameW(window, className, 32);
    return _wcsicmp(className, name) == 0;
}

// A combo box whose list is dropped down takes Page Up/Down and the like for itself. The
// focus is then on the combo box, or on the edit field inside it.
bool isOpenList(HWND focus) {
    for (HWND window = focus; window; window = GetParent(window)) {
        if (classIs(window, L"ComboBox"))
            return SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
        if (GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP) break;
    }
    return false;
}

bool isHeldDown(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

// Tab and Shift+Tab move the focus; with Ctrl or Alt held the key is not theirs.
bool isTabKey(const MSG& message) {
    return message.message == WM_KEYDOWN && message.wParam == VK_TAB && !isHeldDown(VK_CONTROL) &&
           !isHeldDown(VK_MENU);
}

// The up-down control with the focus steps with the arrow keys, as it does with its arrows:
// the previous or next ayah.
bool stepsByArrow(HWND mainWindow, const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_UP && message.wParam != VK_DOWN))
        return false;
    if (message.hwnd != GetDlgItem(mainWindow, IDC_AYAH_STEPPER)) return false;
    SendMessageW(mainWindow, WM_COMMAND,
                 MAKEWPARAM(message.wParam == VK_UP ? IDM_PREVIOUS_AYAH : IDM_NEXT_AYAH, 0), 0);
    return true;
}

// Space and Enter reveal a hidden ayah (the next word, the rest) where they have no meaning
// of their own: in the picture, the read-only translation or the window itself. Anywhere
// else (the search fields, buttons, lists) they keep theirs.
bool revealsByKey(HWND mainWindow, HWND pictureView, const MSG& message) {
    if (message.message != WM_KEYDOWN ||
        (message.wParam != VK_SPACE && message.wParam != VK_RETURN) || isHeldDown(VK_CONTROL) ||
        isHeldDown(VK_MENU))
        return false;
    if (message.hwnd != pictureView && message.hwnd != mainWindow &&
        message.hwnd != GetDlgItem(mainWindow, IDC_TRANSLATION))
        return false;
    const ReaderWindow* reader = ReaderWindow::from(mainWindow);
    if (!reader || !reader->revealPending()) return false;
    SendMessageW(mainWindow, WM_COMMAND,
                 MAKEWPARAM(message.wParam == VK_SPACE ? IDM_REVEAL_WORD : IDM_REVEAL_ALL, 0), 0);
    return true;
}

} // namespace

HACCEL readerKeys(HINSTANCE instance) {
    static const HACCEL keys = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
    return keys;
}

bool translateReaderKey(HWND mainWindow, HWND pictureView, HACCEL keys, MSG& message) {
    if (!mainWindow || !keys || !isKeyMessage(message.message)) return false;
    if (message.hwnd != mainWindow && !IsChild(mainWindow, message.hwnd)) return false;
    // The Arabic input field reads every key itself.
    if (classIs(message.hwnd, kArabicEditClassW)) return false;
    if (isOpenList(GetFocus())) return false;
    if (isTabKey(message)) return moveFocusByTab(mainWindow, pictureView, isHeldDown(VK_SHIFT));
    if (stepsByArrow(mainWindow, message)) return true;
    if (revealsByKey(mainWindow, pictureView, message)) return true;
    return TranslateAcceleratorW(mainWindow, keys, &message) != 0;
}

bool copyFocusedSelection() {
    HWND focus = GetFocus();
    if (!focus) return false;
    wchar_t className[32] = L"";
    GetClassNameW(focus, className, 32);
    // Edit fields and rich edit controls ("Edit", "RICHEDIT", "RichEdit20W", ...).
    if (!std::wcsstr(_wcslwr(className), L"edit")) return false;
    DWORD start = 0, end = 0;
    SendMessageW(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    if (start == end) return false;
    SendMessageW(focus, WM_COPY, 0, 0);
    return true;
}
