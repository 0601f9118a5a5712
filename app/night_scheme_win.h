// The night scheme: light text on dark grounds for the picture view, the translation, the
// result list, the lists and boxes of the top row and the window's tiled background.
// View > Night switches it at once; the choice is kept per user ("NightScheme") and read
// when the main window is made. Copies to the clipboard keep their day form.
#ifndef NORAVEL_NIGHT_SCHEME_WIN_H
#define NORAVEL_NIGHT_SCHEME_WIN_H

#include <windows.h>

// The translation's ground and the text on every dark ground.
constexpr COLORREF kNightTranslationBackground = RGB(30, 32, 42);
constexpr COLORREF kNightText = RGB(232, 226, 200);
// The ground of the result list, the combo boxes and the check boxes at night.
constexpr COLORREF kNightControlColour = RGB(44, 47, 61);

bool nightSchemeOn();

// What the main window paints with in the scheme in force.
HBRUSH backgroundBrushInUse();
COLORREF translationBackgroundInUse();

// The colours of a list box or button about to be drawn into dc; returns its brush.
HBRUSH colourControl(HDC dc);

// Gives the translation control the colours of the scheme in force: its ground, and the
// text colour in the captured default format and in all its text. Search marks stay.
void colourTranslation(HWND translation);

// Shows the stored scheme on a new main window (nothing is written).
void showStoredNightScheme(HWND window);

// View > Night: shows the other scheme at once and stores it.
void toggleNightScheme(HWND window);

#endif
