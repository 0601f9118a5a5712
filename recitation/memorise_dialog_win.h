// The Memorise dialog (270), from View > Memorise... and the Recitation window: the range
// to repeat and its passes, the pauses after each ayah and each pass, and the speed. OK
// stores them for the user (recitation/memorise_settings_win.h); a value out of its range
// is named and the dialog stays open. The next Listen reads them.
#ifndef NORAVEL_RECITATION_MEMORISE_DIALOG_WIN_H
#define NORAVEL_RECITATION_MEMORISE_DIALOG_WIN_H

#include <windows.h>

// Modal over the owner; true when OK stored the settings.
bool showMemoriseDialog(HWND owner);

#endif
