// Global memory blocks on their way to the clipboard, shared by the text copies and the
// picture copy.
#ifndef NORAVEL_BASE_GLOBAL_BLOCK_WIN_H
#define NORAVEL_BASE_GLOBAL_BLOCK_WIN_H

#include "base/guards_win.h"

#include <windows.h>

// A new movable, zero-filled global block with the same bytes as block, or nullptr (also for
// nullptr). The source is left as it was.
HGLOBAL duplicateGlobalBlock(HGLOBAL block);

// How an offer of a block to the clipboard ended.
enum class ClipboardHandover {
    Taken,     // the clipboard owns the block now (the guard was released)
    NotOpened, // another window holds the clipboard: nothing changed
    Refused,   // the clipboard was emptied but refused the block (the guard still owns it)
};

// Opens the clipboard with owner as its owner, empties it and offers the block in format.
// The clipboard is closed again before this returns, so that whatever the caller reports
// next never keeps other programs from the clipboard. On Refused, *error (when given)
// holds the system's error code of the refusal.
ClipboardHandover handToClipboard(HWND owner, UINT format, GlobalBlock& block,
                                  DWORD* error = nullptr);

#endif
