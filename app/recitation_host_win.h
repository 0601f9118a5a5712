// Hands the recitation player what it needs of the reader: the main window with its
// lists, the program folder, the ayah navigation and the message box for its reports.
#ifndef NORAVEL_RECITATION_HOST_WIN_H
#define NORAVEL_RECITATION_HOST_WIN_H

void connectRecitationPlayer();

#endif
