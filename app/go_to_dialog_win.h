// The Go to dialog (dialog 140): type "2:255", "2 255" or a part of a surah name and the
// reader shows that ayah. The text is UTF-16 in the field and UTF-8 for the parser. Input that
// names no ayah is explained inside the dialog, which stays open with the text selected.
#ifndef NORAVEL_APP_GO_TO_DIALOG_WIN_H
#define NORAVEL_APP_GO_TO_DIALOG_WIN_H

#include "text/ayah_ref.h"

#include <windows.h>

// Runs the dialog modally; chosen gets the ayah named on OK, else {0, 0}. Returns IDOK,
// IDCANCEL or -1.
INT_PTR showGoToDialog(HINSTANCE instance, HWND owner, AyahRef& chosen);

#endif
