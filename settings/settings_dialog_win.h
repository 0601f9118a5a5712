// The Settings dialog (dialog 102, "Setting"): the face and the point size of the ayah font.
#ifndef NORAVEL_SETTINGS_DIALOG_WIN_H
#define NORAVEL_SETTINGS_DIALOG_WIN_H

#include <windows.h>

// The faces and sizes the dialog offers, in their order in the lists.
inline constexpr const char* kOfferedFaces[] = {"Microsoft Sans Serif", "Tahoma", "Arial",
                                                "Andalus"};
inline constexpr const char* kOfferedSizes[] = {"10", "12", "14", "16", "18", "20"};

// The dialog procedure. OK rebuilds process.ayahFont from the chosen face and size (a size
// field that holds no item of the list keeps the current size), has the main window put
// the new face and size on the translation and the result list at once (WM_FONTS_CHANGED)
// and stores both settings; Cancel changes nothing.
INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the dialog modally, owned by owner. Returns IDOK, IDCANCEL, or -1 when it cannot open.
INT_PTR showSettingsDialog(HWND owner);

#endif
