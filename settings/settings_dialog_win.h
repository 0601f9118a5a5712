// The Settings dialog (dialog 102, "Setting"): the face and the point size of the ayah font.
#ifndef NORAVEL_SETTINGS_SETTINGS_DIALOG_WIN_H
#define NORAVEL_SETTINGS_SETTINGS_DIALOG_WIN_H

#include <windows.h>

#include <string>

// The faces and sizes the dialog offers, in their order in the lists.
inline constexpr const char* kOfferedFaces[] = {"Microsoft Sans Serif", "Tahoma", "Arial",
                                                "Andalus"};
inline constexpr const char* kOfferedSizes[] = {"10", "12", "14", "16", "18", "20"};

// The ayah font as the dialog shows and returns it: a face (UTF-8) and a point size.
struct FontChoice {
    std::string face;
    int size = 0;
};

// The dialog procedure; its parameter is the FontChoice it opens with. OK writes the chosen
// face and size into it (a size field that holds no item of the list keeps the size);
// Cancel leaves it alone.
INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the dialog modally, owned by owner, starting from choice. Returns IDOK (choice then
// holds what the user chose; the caller applies and stores it), IDCANCEL, or -1 when it
// cannot open.
INT_PTR showSettingsDialog(HINSTANCE instance, HWND owner, FontChoice& choice);

#endif
