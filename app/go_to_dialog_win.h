// The Go to dialog (dialog 140): type "2:255", "2 255" or a part of a surah name and the
// reader shows that ayah. Input that names no ayah is explained inside the dialog, which
// stays open with the text selected.
#ifndef NORAVEL_GO_TO_DIALOG_WIN_H
#define NORAVEL_GO_TO_DIALOG_WIN_H

#include <windows.h>

// Runs the dialog modally and shows the chosen ayah. Returns IDOK, IDCANCEL or -1.
INT_PTR showGoToDialog(HWND owner);

#endif
