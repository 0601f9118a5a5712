// The Recitation dialog (143), from View, Recitation..., the Recitation menu and the message
// that there is nothing to play: the recitation folder, the reciters (built in, and the
// typed address) with what each has on disk, "Repeat each ayah", the download of the chosen
// reciter into its folder, the deletion of a reciter's files, and "Memorise...", which opens
// the Memorise dialog (recitation/memorise_dialog_win.h).
//
// The dialog is modeless, so that the reader stays usable while a download runs; the
// message loop hands it its messages through routeRecitationDialogMessage.
#ifndef NORAVEL_RECITATION_RECITATION_DIALOG_WIN_H
#define NORAVEL_RECITATION_RECITATION_DIALOG_WIN_H

#include <windows.h>

class Prompts;

// Opens the dialog over the owner, or brings it to the front when it is open. Its questions
// go to `prompts` (the system's message boxes when null).
void openRecitationDialog(HWND owner, Prompts* prompts = nullptr);

// The open dialog, or null.
HWND recitationDialog();

// Lets the open dialog take a message of the message loop (Tab, Enter, Escape, mnemonics);
// true when it did, and the loop must not dispatch it again. The dialog is a Unicode window:
// the loop takes its messages with GetMessageW (or PeekMessageW).
bool routeRecitationDialogMessage(MSG& message);

// Cancels a download under way, waits a bounded time for it to end and closes the dialog
// (the main window calls this when it closes).
void closeRecitationDialog();

// The message by which the download tells the dialog of its progress (wParam 1 at its end).
constexpr UINT kRecitationDownloadMessage = WM_APP + 0x143;

#endif
