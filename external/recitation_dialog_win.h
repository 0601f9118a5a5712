// The Recitation dialog (143), from View, Recitation... and from the message that there is
// nothing to play: the recitation folder and how many of the 6,236 per-ayah files it holds,
// "Repeat each ayah", and the download of a recitation into the folder.
#ifndef NORAVEL_RECITATION_DIALOG_WIN_H
#define NORAVEL_RECITATION_DIALOG_WIN_H

#include <windows.h>

// Shows the dialog over the owner and returns when it is closed.
void openRecitationDialog(HWND owner);

#endif
