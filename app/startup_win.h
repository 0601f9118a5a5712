// The reader's entry routine: the program context, settings, window classes, the main
// window, the message loop and the shutdown.
#ifndef NORAVEL_APP_STARTUP_WIN_H
#define NORAVEL_APP_STARTUP_WIN_H

#include "app/reader_window_win.h"
#include "base/program_context_win.h"

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

// Makes the program context before the window classes: the instance, the prompts, the
// program folder, the rich edit library (from the system folder only: richEditLoaded says
// whether it came), the brushes and the common controls. Tests that create the main
// window in their own process call it too. False when the program folder's path is too
// long for the files beside it (everything else is prepared all the same).
bool prepareProgramContext(HINSTANCE instance, Prompts& prompts, ProgramContext& context);

// Makes utf8Directory the program folder of the context (in UTF-16 and UTF-8). False,
// with both emptied, when it is not valid UTF-8 or longer than kMaxProgramDirectoryUnits.
bool useProgramDirectory(ProgramContext& context, const char* utf8Directory);

// The settings the main window starts with, as stored.
ReaderSettings readReaderSettings();

// Limits every later library load of the process to the Windows system folder, so that a
// DLL placed beside the program (or in the current folder) is never loaded in place of the
// system's.
void restrictLibrarySearchToSystem();

// Runs the whole program and returns its exit code.
int runReader(HINSTANCE instance, int showCommand,
              StartFailureReporter reportFailure = showStartFailureBox);

#endif
