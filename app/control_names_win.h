// What a screen reader and a keyboard user need of the main window: a spoken name for each
// control that shows no text of its own, and the order in which Tab and Shift+Tab move the
// focus through the controls.
#ifndef NORAVEL_APP_CONTROL_NAMES_WIN_H
#define NORAVEL_APP_CONTROL_NAMES_WIN_H

#include <windows.h>

// Puts a hidden static label right before each control without a text of its own in Z
// order, which is where the system's accessibility support looks for a control's name.
void nameControls(HWND window);

// Moves the focus from the focused control of the main window to the next one in the Tab
// order (with backwards, to the one before it), round at the ends, and shows focus marks
// from then on. pictureView is the picture's view, a stop with no id of its own. False
// when the focus is outside the main window.
bool moveFocusByTab(HWND mainWindow, HWND pictureView, bool backwards);

#endif
