#include "settings/settings_dialog_win.h"

#include "base/wide_text_win.h"
#include "resources/resource_ids.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kItemSize = 64; // room for any item of the two lists

int addItem(HWND list, const char* text) {
    return static_cast<int>(
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromUtf8(text).c_str())));
}

// The text of the selected item into item; false when nothing is selected (or it does not fit).
bool selectedItem(HWND list, char (&item)[kItemSize]) {
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index < 0) return false;
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
    if (length < 0 || length >= kItemSize) return false;
    wchar_t wide[kItemSize] = L"";
    SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide));
    wide[kItemSize - 1] = L'\0';
    const std::string utf8 = utf8FromWide(wide);
    if (utf8.size() >= kItemSize) return false;
    std::snprintf(item, kItemSize, "%s", utf8.c_str());
    return true;
}

// A signed decimal number: leading white space skipped, an optional sign, the digits up to
// the first other character; 0 without digits. Out-of-range values are clamped.
int decimalValue(const char* text) {
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

FontChoice* choiceOf(HWND dialog) {
    return reinterpret_cast<FontChoice*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void onInitDialog(HWND dialog, LPARAM parameter) {
    SetWindowLongPtrW(dialog, DWLP_USER, parameter);
    const FontChoice* shown = choiceOf(dialog);
    const std::string currentFace = shown ? shown->face : std::string();
    const int currentSize = shown ? shown->size : 0;
    HWND faces = GetDlgItem(dialog, IDC_FONT_FACE);
    int faceIndex = -1;
    for (const char* face : kOfferedFaces) {
        const int index = addItem(faces, face);
        if (currentFace == face) faceIndex = index; // the last match
    }
    SendMessageW(faces, CB_SETCURSEL, faceIndex >= 0 ? faceIndex : 0, 0);

    HWND sizes = GetDlgItem(dialog, IDC_FONT_SIZE);
    int sizeIndex = -1;
    for (const char* size : kOfferedSizes) {
        const int index = addItem(sizes, size);
        if (decimalValue(size) == currentSize) sizeIndex = index;
    }
    // The list is sorted; "10" sorts first, so index 0 is the first size offered.
    SendMessageW(sizes, CB_SETCURSEL, sizeIndex >= 0 ? sizeIndex : 0, 0);
}

// Hands the chosen face and size back to the caller.
void onOk(HWND dialog) {
    if (FontChoice* choice = choiceOf(dialog)) {
        char face[kItemSize];
        if (selectedItem(GetDlgItem(dialog, IDC_FONT_FACE), face)) choice->face = face;
        // Text typed into the size field that matches no item leaves no selection: then the
        // current size stays rather than a size of 0.
        char size[kItemSize];
        if (selectedItem(GetDlgItem(dialog, IDC_FONT_SIZE), size))
            choice->size = decimalValue(size);
    }
    EndDialog(dialog, IDOK);
}

} // namespace

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) try {
    switch (message) {
    case WM_INITDIALOG: onInitDialog(dialog, lParam); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: onOk(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        break;
    }
    return FALSE;
} catch (...) { // out of memory: the dialog stays as it is
    return TRUE;
}

INT_PTR showSettingsDialog(HINSTANCE instance, HWND owner, FontChoice& choice) {
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SETTINGS), owner, settingsDialogProc,
                           reinterpret_cast<LPARAM>(&choice));
}
