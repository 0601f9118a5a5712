#include "app/commands_win.h"

#include "resources/resource_ids.h"

namespace {

using CommandHandler = void (*)(HWND window, int notification);

struct Command {
    int id;
    CommandHandler handler;
};

void exitProgram(HWND window, int) {
    DestroyWindow(window);
}

// One row per command: which id leads to what.
const Command kCommands[] = {
    {IDM_EXIT, exitProgram},
};

} // namespace

bool handleMainWindowCommand(HWND window, int id, int notification, HWND) {
    for (const Command& command : kCommands) {
        if (command.id == id) {
            command.handler(window, notification);
            return true;
        }
    }
    return false;
}
