// What lasts the whole run and every room may read: the instance, the program folder, the
// brushes of both schemes, whether the rich edit library came, and where the user is told
// and asked things. Made once at start; the rooms get it as a const reference.
#ifndef NORAVEL_BASE_PROGRAM_CONTEXT_WIN_H
#define NORAVEL_BASE_PROGRAM_CONTEXT_WIN_H

#include "base/prompts_win.h"

#include <windows.h>

#include <string>

struct ProgramContext {
    HINSTANCE instance = nullptr;
    // The program folder for the system's calls, and the same folder in UTF-8 for the
    // portable formatters of the paths beside it.
    std::wstring programDirectory;
    std::string programDirectoryUtf8;
    // The window's tiled ground by day and by night, and the ground of the lists and
    // buttons by day and by night.
    HBRUSH backgroundBrush = nullptr;
    HBRUSH nightBackgroundBrush = nullptr;
    HBRUSH controlBrush = nullptr;
    HBRUSH nightControlBrush = nullptr;
    bool richEditLoaded = false; // the "RICHEDIT" class of the system's Riched32.dll
    Prompts* prompts = nullptr;  // never null once the context is made
};

// The colour of the day control brush, also the text background of list boxes and buttons.
constexpr COLORREF kControlColour = RGB(240, 240, 190);

#endif
