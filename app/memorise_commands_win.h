// The main window's commands for memorising: View > Repeat from here, ... to here (the
// ayah shown, also when a search result shows it), Clear the repeated range, and the
// speed a step slower (Ctrl+[) or faster (Ctrl+]), shown in the status bar while not 1.
#ifndef NORAVEL_APP_MEMORISE_COMMANDS_WIN_H
#define NORAVEL_APP_MEMORISE_COMMANDS_WIN_H

class ReaderWindow;

void repeatFromHere(ReaderWindow& reader);
void repeatToHere(ReaderWindow& reader);
void clearRepeatRange(ReaderWindow& reader);
void stepPlaySpeed(ReaderWindow& reader, int steps);

#endif
