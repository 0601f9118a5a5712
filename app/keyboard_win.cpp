#include "app/keyboard_win.h"

#include "app/control_names_win.h"
#include "app/main_window_win.h"
#include "arabic/arabic_edit_win.h"
#include "resources/resource_ids.h"

#include <cstring>

namespace {

bool isKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

bool classIs(HWND window, const char* name) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    return _stricmp(className, name) == 0;
}

// A combo box whose list is dropped down takes Page Up/Down and the like for itself. The
// focus is then on the combo box, or on the edit field inside it.
bool isOpenList(HWND focus) {
    for (HWND window = focus; window; window = GetParent(window)) {
        if (classIs(window, "ComboBox"))
            return SendMessageA(window, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
        if (GetWindowLongPtrA(window, GWL_STYLE) & WS_POPUP) break;
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

// The up-down control with the focus steps with the arrow keys, as it does with its arrows.
bool stepsByArrow(HWND mainWindow, const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_UP && message.wParam != VK_DOWN))
        return false;
    if (message.hwnd != GetDlgItem(mainWindow, IDC_AYAH_STEPPER)) return false;
    stepAyahInLists(mainWindow, message.wParam == VK_UP ? -1 : 1);
    return true;
}

} // namespace

HACCEL readerKeys(HINSTANCE instance) {
    static const HACCEL keys = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_MAIN_ACCELERATORS));
    return keys;
}

bool translateReaderKey(HWND mainWindow, HACCEL keys, MSG& message) {
    if (!mainWindow || !keys || !isKeyMessage(message.message)) return false;
    if (message.hwnd != mainWindow && !IsChild(mainWindow, message.hwnd)) return false;
    // The Arabic input field reads every key itself.
    if (classIs(message.hwnd, kArabicEditClass)) return false;
    if (isOpenList(GetFocus())) return false;
    if (isTabKey(message)) return moveFocusByTab(mainWindow, isHeldDown(VK_SHIFT));
    if (stepsByArrow(mainWindow, message)) return true;
    return TranslateAcceleratorA(mainWindow, keys, &message) != 0;
}

bool copyFocusedSelection() {
    HWND focus = GetFocus();
    if (!focus) return false;
    char className[32] = "";
    GetClassNameA(focus, className, sizeof className);
    // Edit fields and rich edit controls ("Edit", "RICHEDIT", "RichEdit20A", ...).
    if (!std::strstr(_strlwr(className), "edit")) return false;
    DWORD start = 0, end = 0;
    SendMessageA(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    if (start == end) return false;
    SendMessageA(focus, WM_COPY, 0, 0);
    return true;
}
