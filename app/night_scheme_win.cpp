#include "app/night_scheme_win.h"

#include "app/ayah_navigation_win.h"
#include "app/main_window_win.h"
#include "app/process_state_win.h"
#include "picture/bitmap_view_win.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"

#include <richedit.h>

namespace {

// Made on first use and kept for the run, as the day brushes are.
HBRUSH nightBackgroundBrush() {
    static const HBRUSH brush = [] {
        // The tile lives as long as the brush that repeats it.
        HBITMAP tile = LoadBitmapA(process.instance, MAKEINTRESOURCEA(IDB_BACKGROUND_NIGHT));
        return tile ? CreatePatternBrush(tile) : nullptr;
    }();
    return brush;
}

HBRUSH nightControlBrush() {
    static const HBRUSH brush = CreateSolidBrush(kNightControlColour);
    return brush;
}

// Sets the text colour of the scheme into a character format: the window text colour by
// day (as a new control has it), the light colour by night.
void putSchemeColour(CHARFORMATA& format) {
    format.dwMask |= CFM_COLOR;
    if (process.nightScheme) {
        format.dwEffects &= ~static_cast<DWORD>(CFE_AUTOCOLOR);
        format.crTextColor = kNightText;
    } else {
        format.dwEffects |= CFE_AUTOCOLOR;
        format.crTextColor = GetSysColor(COLOR_WINDOWTEXT);
    }
}

void setCheckMark(HWND window) {
    CheckMenuItem(GetMenu(window), IDM_NIGHT,
                  MF_BYCOMMAND | (process.nightScheme ? MF_CHECKED : MF_UNCHECKED));
}

BOOL CALLBACK invalidateChild(HWND child, LPARAM) {
    // A child erases with its own colours, which are already the new ones.
    InvalidateRect(child, nullptr, TRUE);
    return TRUE;
}

void showScheme(HWND window, bool night) {
    process.nightScheme = night;
    setCheckMark(window);
    if (HWND view = bitmapViewWindow()) setBitmapViewNight(view, night);
    colourTranslation(GetDlgItem(window, IDC_TRANSLATION));
    EnumChildWindows(window, invalidateChild, 0);
    // The window itself is not erased first: its paint covers the whole client with the
    // new tile, so the old colours never show.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
}

} // namespace

bool nightSchemeOn() {
    return process.nightScheme;
}

HBRUSH backgroundBrushInUse() {
    if (process.nightScheme && nightBackgroundBrush()) return nightBackgroundBrush();
    return process.backgroundBrush;
}

COLORREF translationBackgroundInUse() {
    return process.nightScheme ? kNightTranslationBackground : kTranslationBackground;
}

HBRUSH colourControl(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    if (process.nightScheme) {
        SetBkColor(dc, kNightControlColour);
        SetTextColor(dc, kNightText);
        return nightControlBrush();
    }
    SetBkColor(dc, kControlColour);
    return process.controlBrush;
}

void colourTranslation(HWND translation) {
    if (!translation) return;
    SendMessageA(translation, EM_SETBKGNDCOLOR, 0, translationBackgroundInUse());
    CHARFORMATA colour{};
    colour.cbSize = sizeof colour;
    putSchemeColour(colour);
    // Only the colour: bold search marks in the text stay as they are.
    SendMessageA(translation, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&colour));
    SendMessageA(translation, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&colour));
    // The format that clears the marks on the next ayah carries the colour on.
    if (defaultCharFormat.cbSize != 0) putSchemeColour(defaultCharFormat);
}

void showStoredNightScheme(HWND window) {
    // By day a new window already has the day colours: nothing to change then.
    if (readNightScheme())
        showScheme(window, true);
    else
        process.nightScheme = false;
}

void toggleNightScheme(HWND window) {
    showScheme(window, !process.nightScheme);
    writeNightScheme(process.nightScheme);
}
