#include "base/global_block_win.h"

#include <cstring>

HGLOBAL duplicateGlobalBlock(HGLOBAL block) {
    if (!block) return nullptr;
    const SIZE_T size = GlobalSize(block);
    GlobalBlock copy(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!copy) return nullptr;
    {
        GlobalLock_ from(block);
        GlobalLock_ to(copy.get());
        if (!from.data() || !to.data()) return nullptr;
        std::memcpy(to.data(), from.data(), size);
    }
    return copy.release();
}

ClipboardHandover handToClipboard(HWND owner, UINT format, GlobalBlock& block, DWORD* error) {
    OpenedClipboard clipboard(owner);
    if (!clipboard.isOpen()) return ClipboardHandover::NotOpened;
    EmptyClipboard();
    if (SetClipboardData(format, block.get())) {
        block.release(); // the clipboard owns it now
        return ClipboardHandover::Taken;
    }
    if (error) *error = GetLastError();
    return ClipboardHandover::Refused;
}
