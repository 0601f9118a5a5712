#include "app/control_names_win.h"

#include "base/wide_text_win.h"
#include "resources/resource_ids.h"

#include <iterator>

namespace {

struct ControlLabel {
    int id;
    const char* text;
};

// Controls whose window text is no name (lists show their selection, the translation its
// text, the up-down control nothing). Label texts end with a colon, as labels do.
const ControlLabel kLabels[] = {
    {IDC_SURAH_LIST, "Surah:"},
    {IDC_AYAH_LIST, "Ayah:"},
    {IDC_AYAH_STEPPER, "Previous or next ayah:"},
    {IDC_RECITATION_SCOPE, "Recitation scope:"},
    {IDC_LANGUAGE_LIST, "Translation language:"},
    {IDC_TRANSLATION, "Translation:"},
    {IDC_RESULT_LIST, "Search results:"},
};

// The id that stands for the picture view, which has none of its own.
constexpr int kPictureView = 0;

// Left to right along the top row, then the picture, the translation below it and the
// result list beside them.
const int kTabOrder[] = {
    IDC_SURAH_LIST, IDC_AYAH_LIST,   IDC_AYAH_STEPPER, IDC_TRANSLATION_SEARCH, IDC_ARABIC_SEARCH,
    IDC_TAJWID,     IDC_LISTEN,      IDC_CONTINUE,     IDC_RECITATION_SCOPE,   IDC_LANGUAGE_LIST,
    kPictureView,   IDC_TRANSLATION, IDC_RESULT_LIST,
};
constexpr int kTabStops = static_cast<int>(std::size(kTabOrder));

HWND tabStop(HWND mainWindow, HWND pictureView, int index) {
    const int id = kTabOrder[index];
    return id == kPictureView ? pictureView : GetDlgItem(mainWindow, id);
}

bool takesFocus(HWND control) {
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}

// The place in the Tab order of the control that holds the focus (or holds the window
// that does, as a combo box holds its edit field); -1 when none.
int focusedStop(HWND mainWindow, HWND pictureView, HWND focus) {
    for (HWND window = focus; window && window != mainWindow; window = GetParent(window)) {
        for (int index = 0; index < kTabStops; ++index)
            if (tabStop(mainWindow, pictureView, index) == window) return index;
    }
    return -1;
}

} // namespace

void nameControls(HWND window) {
    for (const ControlLabel& label : kLabels) {
        HWND control = GetDlgItem(window, label.id);
        if (!control) continue;
        // Not WS_VISIBLE: the label is only read, never shown.
        HWND name = CreateWindowExW(
            0, L"STATIC", wideFromUtf8(label.text).c_str(), WS_CHILD | SS_LEFT, 0, 0, 0, 0, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), GetModuleHandleW(nullptr), nullptr);
        if (!name) continue;
        HWND before = GetWindow(control, GW_HWNDPREV);
        SetWindowPos(name, before ? before : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

bool moveFocusByTab(HWND mainWindow, HWND pictureView, bool backwards) {
    HWND focus = GetFocus();
    if (!mainWindow || (focus != mainWindow && !IsChild(mainWindow, focus))) return false;
    const int from = focusedStop(mainWindow, pictureView, focus);
    const int step = backwards ? kTabStops - 1 : 1;
    int index = from >= 0 ? from : (backwards ? 0 : kTabStops - 1);
    for (int tried = 0; tried < kTabStops; ++tried) {
        index = (index + step) % kTabStops;
        HWND next = tabStop(mainWindow, pictureView, index);
        if (!takesFocus(next)) continue;
        SetFocus(next);
        // As in a dialog: once the keyboard moves the focus, the focus marks show.
        SendMessageW(mainWindow, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        return true;
    }
    return true;
}
