#include "settings/settings_dialog_win.h"

#include "app/process_state_win.h"
#include "base/dpi_win.h"
#include "base/guards_win.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kItemSize = 64; // room for any item of the two lists

int addItem(HWND list, const char* text) {
    return static_cast<int>(SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

// The text of the selected item into item; false when nothing is selected (or it does not fit).
bool selectedItem(HWND list, char (&item)[kItemSize]) {
    const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index < 0) return false;
    const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, index, 0);
    if (length < 0 || length >= kItemSize) return false;
    item[0] = '\0';
    SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item));
    item[kItemSize - 1] = '\0';
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

void onInitDialog(HWND dialog) {
    HWND faces = GetDlgItem(dialog, IDC_FONT_FACE);
    int faceIndex = -1;
    for (const char* face : kOfferedFaces) {
        const int index = addItem(faces, face);
        if (std::strcmp(face, process.ayahFontName) == 0) faceIndex = index; // the last match
    }
    SendMessageA(faces, CB_SETCURSEL, faceIndex >= 0 ? faceIndex : 0, 0);

    HWND sizes = GetDlgItem(dialog, IDC_FONT_SIZE);
    int sizeIndex = -1;
    for (const char* size : kOfferedSizes) {
        const int index = addItem(sizes, size);
        if (decimalValue(size) == process.ayahFontSize) sizeIndex = index;
    }
    // The list is sorted; "10" sorts first, so index 0 is the first size offered.
    SendMessageA(sizes, CB_SETCURSEL, sizeIndex >= 0 ? sizeIndex : 0, 0);
}

// Makes the ayah font from the chosen face and size, stores both and repaints the main window.
void onOk(HWND dialog) {
    char face[kItemSize];
    if (selectedItem(GetDlgItem(dialog, IDC_FONT_FACE), face))
        std::snprintf(process.ayahFontName, sizeof process.ayahFontName, "%s", face);
    // Text typed into the size field that matches no item leaves no selection: then the
    // current size stays rather than a size of 0.
    char size[kItemSize];
    if (selectedItem(GetDlgItem(dialog, IDC_FONT_SIZE), size))
        process.ayahFontSize = decimalValue(size);

    {
        // For the DPI of the window that shows the ayat.
        LOGFONTA font{};
        font.lfHeight = -MulDiv(process.ayahFontSize,
                                windowDpi(process.mainWindow ? process.mainWindow : dialog), 72);
        font.lfWeight = FW_NORMAL;
        font.lfQuality = PROOF_QUALITY;
        std::snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", process.ayahFontName);
        // The old font goes only once its replacement exists.
        if (HFONT made = CreateFontIndirectA(&font)) {
            GdiObject<HFONT> previous(process.ayahFont);
            process.ayahFont = made;
        }
    }
    if (process.mainWindow) {
        InvalidateRect(process.mainWindow, nullptr, FALSE);
        // The translation and the result list take the new face and size at once.
        SendMessageA(process.mainWindow, WM_FONTS_CHANGED, 0, 0);
    }

    writeSettingString(kFontNameValue, process.ayahFontName);
    writeSettingDword(kFontSizeValue, process.ayahFontSize);
    EndDialog(dialog, IDOK);
}

} // namespace

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: onInitDialog(dialog); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: onOk(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR showSettingsDialog(HWND owner) {
    return DialogBoxParamA(process.instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                           settingsDialogProc, 0);
}
