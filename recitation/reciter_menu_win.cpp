#include "recitation/reciter_menu_win.h"

#include "base/wide_text_win.h"
#include "recitation/reciter_catalogue.h"
#include "recitation/reciter_choice_win.h"
#include "resources/resource_ids.h"

#include <cstring>
#include <string>

namespace {

// The Recitation window item and the separator come before the reciters.
constexpr int kFixedItems = 2;

HMENU recitationPopup(HWND mainWindow) {
    HMENU bar = mainWindow ? GetMenu(mainWindow) : nullptr;
    for (int i = 0; bar && i < GetMenuItemCount(bar); ++i) {
        HMENU popup = GetSubMenu(bar, i);
        if (popup && GetMenuState(popup, IDM_RECITER_WINDOW, MF_BYCOMMAND) != static_cast<UINT>(-1))
            return popup;
    }
    return nullptr;
}

} // namespace

const char* reciterOfMenuItem(int id) {
    size_t count = 0;
    const Reciter* reciters = builtInReciters(&count);
    if (id < IDM_RECITER_FIRST || id > IDM_RECITER_LAST) return nullptr;
    const size_t index = static_cast<size_t>(id - IDM_RECITER_FIRST);
    if (index < count) return reciters[index].folder;
    return index == count ? kOtherAddressChoice : nullptr;
}

void refreshReciterMenu(HWND mainWindow) {
    HMENU popup = recitationPopup(mainWindow);
    if (!popup) return;
    while (GetMenuItemCount(popup) > kFixedItems)
        DeleteMenu(popup, kFixedItems, MF_BYPOSITION);
    const std::string chosen = reciterInForce();
    size_t count = 0;
    const Reciter* reciters = builtInReciters(&count);
    for (size_t i = 0; i <= count && IDM_RECITER_FIRST + static_cast<int>(i) <= IDM_RECITER_LAST;
         ++i) {
        const int id = IDM_RECITER_FIRST + static_cast<int>(i);
        std::wstring text;
        if (i < count) {
            char line[200];
            if (!formatReciterLine(line, sizeof line, reciters[i])) continue;
            text = wideFromUtf8(line);
        } else {
            text = L"Other address\u2026";
        }
        const bool checked = chosen == reciterOfMenuItem(id);
        AppendMenuW(popup, MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), id, text.c_str());
    }
    DrawMenuBar(mainWindow);
}

bool chooseReciterFromMenu(HWND mainWindow, int id) {
    const char* choice = reciterOfMenuItem(id);
    if (!choice) return false;
    chooseReciter(choice);
    refreshReciterMenu(mainWindow);
    return true;
}
