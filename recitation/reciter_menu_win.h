// The Recitation menu of the main window: after its fixed items, one item per built-in
// reciter and one for the typed address, the reciter in force checked. Choosing one is the
// same choice as in the Recitation window.
#ifndef NORAVEL_RECITATION_RECITER_MENU_WIN_H
#define NORAVEL_RECITATION_RECITER_MENU_WIN_H

#include <windows.h>

// Fills (again) the reciter items of the main window's Recitation menu.
void refreshReciterMenu(HWND mainWindow);

// Command IDM_RECITER_FIRST + i: stores that choice and checks it; false for another id.
bool chooseReciterFromMenu(HWND mainWindow, int id);

// The choice of menu item `id`: a built-in folder or kOtherAddressChoice; null for another id.
const char* reciterOfMenuItem(int id);

#endif
