// State that lives for the whole run and that several parts of the program read
// directly: the instance, the main window, the program folder, the settings in force,
// the shared brushes, the last player process and the layout values of the main window.
#ifndef NORAVEL_PROCESS_STATE_WIN_H
#define NORAVEL_PROCESS_STATE_WIN_H

#include "app/program_directory.h"

#include <windows.h>

struct ProcessState {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    // The program folder for the system's calls, and the same folder in UTF-8 for the
    // portable formatters of the paths beside it (both set by useProgramDirectory).
    wchar_t programDirectory[kSystemPathUnits] = L"";
    char programDirectoryUtf8[kUtf8PathBytes] = "";
    char ayahFontName[256] = "Microsoft Sans Serif";
    int ayahFontSize = 14;
    int language = 0; // 0 Indonesian, any other value English
    HBRUSH backgroundBrush = nullptr;
    HBRUSH controlBrush = nullptr; // red 240, green 240, blue 190
    bool nightScheme = false;      // the night scheme is shown (app/night_scheme_win.h)
    HANDLE playerProcess = nullptr;
    bool richEditLoaded = false; // the "RICHEDIT" class of the system's Riched32.dll
    // Fonts made by the main window on its creation. The Settings dialog replaces ayahFont,
    // and the main window then remakes translationFont (WM_FONTS_CHANGED).
    HFONT ayahFont = nullptr;
    HFONT translationFont = nullptr;
    HFONT keyboardFont = nullptr; // Tahoma 12 points, for the on-screen keyboard
    int translationHeight = 140;
    int splitterLine = 246;
    bool firstLayout = true;
};

extern ProcessState process;

// The colour of the control brush, also used as the text background of list boxes and buttons.
constexpr COLORREF kControlColour = RGB(240, 240, 190);

#endif
