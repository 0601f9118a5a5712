// The reader's keys (the accelerator table): which key presses of the message loop become
// main-window commands, and which stay with the control that has the focus.
#ifndef NORAVEL_APP_KEYBOARD_WIN_H
#define NORAVEL_APP_KEYBOARD_WIN_H

#include <windows.h>

// Loads the table from the program's resources once; later calls give the same table.
HACCEL readerKeys(HINSTANCE instance);

// True when message was a key of the table and has been carried out as a command of
// mainWindow. Keys for other windows (dialogs, other top-level windows) and keys that an
// open drop-down list needs for itself are left alone. Tab and Shift+Tab move the focus
// through the main window's controls (pictureView among them), and the arrow keys step the
// focused up-down control. While part of an ayah is hidden, Space and Enter in the picture,
// the translation or the window itself reveal the next word or the rest.
bool translateReaderKey(HWND mainWindow, HWND pictureView, HACCEL keys, MSG& message);

// Ctrl+C: when the focused control shows a text selection, that control copies it (true);
// otherwise nothing happens here (false) and the translation is copied.
bool copyFocusedSelection();

#endif
