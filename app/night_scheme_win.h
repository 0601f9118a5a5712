// The night scheme: light text on dark grounds for the picture view, the translation, the
// result list, the lists and boxes of the top row and the window's tiled background.
// View > Night switches it at once; the choice is kept per user ("NightScheme") and read
// when the main window is made. Copies to the clipboard keep their day form. These are the
// colours of either scheme; the reader window holds which one is in force.
#ifndef NORAVEL_APP_NIGHT_SCHEME_WIN_H
#define NORAVEL_APP_NIGHT_SCHEME_WIN_H

#include "base/program_context_win.h"
#include "base/visual_style_win.h"

#include <windows.h>

#include <richedit.h>

// The translation's ground and the text on every dark ground.
constexpr COLORREF kNightTranslationBackground = RGB(30, 32, 42);
constexpr COLORREF kNightText = RGB(232, 226, 200);
// The ground of the result list, the combo boxes and the check boxes at night.
constexpr COLORREF kNightControlColour = RGB(44, 47, 61);

// What the main window paints its ground with in the scheme.
HBRUSH backgroundBrushFor(const ProgramContext& context, bool night);
// The translation's ground in the scheme, by day dayBackground.
COLORREF translationBackgroundFor(bool night, COLORREF dayBackground);

// The colours of a list box or button about to be drawn into dc; returns its brush.
HBRUSH colourControl(const ProgramContext& context, bool night, HDC dc);

// Gives the translation control the colours of the scheme: its ground, and the text colour
// in all its text and in defaultFormat (the format that clears the search marks, when it
// has been captured). Search marks stay.
void colourTranslation(HWND translation, bool night, COLORREF dayBackground,
                       CHARFORMAT2W& defaultFormat);

// Under visual styles a drop-down list draws its face and a check box its text in the
// theme's colours, whatever its parent answers: at night the main window's combo boxes and
// check boxes are drawn without the theme so that they show the dark colours; by day they
// follow the theme again. Every other child keeps its theme (the result list, the
// translation and the keyboard's keys take their colours from the reader either way).
void themeControlsForScheme(HWND mainWindow, bool night, WindowThemeSetter set = nullptr);

#endif
