#include "external/recitation_dialog_win.h"

// Placeholder until the dialog lands: nothing opens.
void openRecitationDialog(HWND) {}
