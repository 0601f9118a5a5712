// The reader's entry routine: process-wide state, settings, window classes, the main
// window, the message loop and the shutdown.
#ifndef NORAVEL_STARTUP_WIN_H
#define NORAVEL_STARTUP_WIN_H

#include <windows.h>

// Exit codes when the program cannot start (a normal close exits with 0).
constexpr int kExitClassNotRegistered = 2;
constexpr int kExitWindowNotCreated = 3;
constexpr int kExitFolderPathTooLong = 4; // the program folder leaves no room for its files
constexpr int kExitRichEditMissing = 5;   // no Riched32.dll in the Windows system folder

// Tells the user that the reader cannot start. The program shows a message box; tests
// pass their own reporter so that nothing waits for a click.
using StartFailureReporter = void (*)(const char* text);
void showStartFailureBox(const char* text);

// Start-up before the window classes: the program folder, the settings, the rich edit
// library (from the system folder only: process.richEditLoaded says whether it came), the
// instance, the brushes and the common controls. Tests that create the main
// window in their own process call it too. False when the program folder's path is too
// long for the files beside it (everything else is prepared all the same).
bool prepareProcessState(HINSTANCE instance);

// Makes utf8Directory the program folder (process.programDirectory and its UTF-8 twin).
// False, with both emptied, when it is not valid UTF-8 or longer than
// kMaxProgramDirectoryUnits.
bool useProgramDirectory(const char* utf8Directory);

// Limits every later library load of the process to the Windows system folder, so that a
// DLL placed beside the program (or in the current folder) is never loaded in place of the
// system's.
void restrictLibrarySearchToSystem();

// Runs the whole program and returns its exit code.
int runReader(HINSTANCE instance, int showCommand,
              StartFailureReporter reportFailure = showStartFailureBox);

#endif
