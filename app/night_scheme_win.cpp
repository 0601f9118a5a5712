#include "app/night_scheme_win.h"

namespace {

// Sets the text colour of the scheme into a character format: the window text colour by
// day (as a new control has it), the light colour by night.
void putSchemeColour(CHARFORMAT2W& format, bool night) {
    format.dwMask |= CFM_COLOR;
    if (night) {
        format.dwEffects &= ~static_cast<DWORD>(CFE_AUTOCOLOR);
        format.crTextColor = kNightText;
    } else {
        format.dwEffects |= CFE_AUTOCOLOR;
        format.crTextColor = GetSysColor(COLOR_WINDOWTEXT);
    }
}

struct SchemeTheme {
    bool night;
    WindowThemeSetter set;
};

bool drawsColoursOfItsParent(HWND child) {
    wchar_t className[32] = L"";
    if (!GetClassNameW(child, className, 32)) return false;
    if (lstrcmpiW(className, L"ComboBox") == 0) return true;
    if (lstrcmpiW(className, L"Button") != 0) return false;
    const LONG_PTR type = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE;
}

BOOL CALLBACK themeChild(HWND child, LPARAM parameter) {
    const auto* scheme = reinterpret_cast<const SchemeTheme*>(parameter);
    if (drawsColoursOfItsParent(child)) useVisualStyle(child, !scheme->night, scheme->set);
    return TRUE;
}

} // namespace

void themeControlsForScheme(HWND mainWindow, bool night, WindowThemeSetter set) {
    SchemeTheme scheme{night, set};
    EnumChildWindows(mainWindow, themeChild, reinterpret_cast<LPARAM>(&scheme));
}

HBRUSH backgroundBrushFor(const ProgramContext& context, bool night) {
    if (night && context.nightBackgroundBrush) return context.nightBackgroundBrush;
    return context.backgroundBrush;
}

COLORREF translationBackgroundFor(bool night, COLORREF dayBackground) {
    return night ? kNightTranslationBackground : dayBackground;
}

HBRUSH colourControl(const ProgramContext& context, bool night, HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    if (night) {
        SetBkColor(dc, kNightControlColour);
        SetTextColor(dc, kNightText);
        return context.nightControlBrush;
    }
    SetBkColor(dc, kControlColour);
    return context.controlBrush;
}

void colourTranslation(HWND translation, bool night, COLORREF dayBackground,
                       CHARFORMAT2W& defaultFormat) {
    if (!translation) return;
    SendMessageW(translation, EM_SETBKGNDCOLOR, 0, translationBackgroundFor(night, dayBackground));
    CHARFORMAT2W colour{};
    colour.cbSize = sizeof colour;
    putSchemeColour(colour, night);
    // Only the colour: bold search marks in the text stay as they are.
    SendMessageW(translation, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&colour));
    SendMessageW(translation, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&colour));
    // The format that clears the marks on the next ayah carries the colour on.
    if (defaultFormat.cbSize != 0) putSchemeColour(defaultFormat, night);
}
