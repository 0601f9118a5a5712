// The main window's commands, dispatched by menu or control id.
#ifndef NORAVEL_COMMANDS_WIN_H
#define NORAVEL_COMMANDS_WIN_H

#include <windows.h>

// Carries out one WM_COMMAND of the main window. Returns false for an id the program does
// not handle, which then goes to the default window procedure.
bool handleMainWindowCommand(HWND window, int id, int notification, HWND control);

#endif
