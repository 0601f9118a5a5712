// The main window "AL-QURAN": its class, its creation, its layout and its window procedure.
#ifndef NORAVEL_MAIN_WINDOW_WIN_H
#define NORAVEL_MAIN_WINDOW_WIN_H

#include "app/splitter_bar_win.h"

#include <windows.h>

constexpr char kMainWindowClass[] = "AL-QURAN";

// Colours of the translation control's background and of the control texts' background.
constexpr COLORREF kTranslationBackground = RGB(243, 228, 117);

// The one splitter bar between the picture and the translation control.
extern SplitterBar splitterBar;

bool registerMainWindowClass(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance);
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Places every child from the current client size (on creation, on WM_SIZE and after a
// splitter drag). The row along the top is placed only by the first call of the run.
void layoutMainWindow(HWND window);

// One step of the up-down control (delta 1 or more: the next ayah, else the previous),
// across surah ends; also Page Down and Page Up.
void stepAyahInLists(HWND window, int delta);

// The bitmap view of the main window (none before the main window is created).
HWND bitmapViewWindow();

#endif
