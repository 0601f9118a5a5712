// The three objects with static storage, defined in one place so that they are built in
// this order before the entry routine runs, and destroyed in the reverse order after it
// returns: the reading history, the picture loader and the splitter bar (which counts one
// user of the shared halftone brush).
#include "app/ayah_navigation_win.h"
#include "app/main_window_win.h"
#include "app/splitter_bar_win.h"
#include "picture/picture_loader_win.h"
#include "text/reading_history.h"

ReadingHistory readingHistory;
Picture picture;
SplitterBar splitterBar(false); // horizontal
