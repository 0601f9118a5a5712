// The reader's entry routine: process-wide state, settings, window classes, the main
// window, the message loop and the shutdown.
#ifndef NORAVEL_STARTUP_WIN_H
#define NORAVEL_STARTUP_WIN_H

#include <windows.h>

// Exit codes when the program cannot start (a normal close exits with 0).
constexpr int kExitClassNotRegistered = 2;
constexpr int kExitWindowNotCreated = 3;

// Tells the user that the reader cannot start. The program shows a message box; tests
// pass their own reporter so that nothing waits for a click.
using StartFailureReporter = void (*)(const char* text);
void showStartFailureBox(const char* text);

// Runs the whole program and returns its exit code.
int runReader(HINSTANCE instance, int showCommand,
              StartFailureReporter reportFailure = showStartFailureBox);

#endif
