// The program's entry point.
#include "app/startup_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return runReader(instance, showCommand);
}
