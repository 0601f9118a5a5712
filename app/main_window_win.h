// The main window "AL-QURAN": its class, its creation and its window procedure.
#ifndef NORAVEL_MAIN_WINDOW_WIN_H
#define NORAVEL_MAIN_WINDOW_WIN_H

#include <windows.h>

constexpr char kMainWindowClass[] = "AL-QURAN";

bool registerMainWindowClass(HINSTANCE instance);
HWND createMainWindow(HINSTANCE instance);
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
