// The mushaf's marks in the reading view: above an ayah that begins a page of the Madinah
// mushaf, a thin rule across the column with "Page N" in its middle; above an ayah that begins
// a quarter of a hizb or is a place of prostration, its label at the left, clear of the
// calligraphy and the translation. Both in the message font at the view's DPI, in a muted ink
// of either scheme.
#ifndef NORAVEL_APP_READING_MARKS_WIN_H
#define NORAVEL_APP_READING_MARKS_WIN_H

#include "app/reading_view_win.h"

#include <windows.h>

// The ink of the rules and labels on the day and the night paper.
constexpr COLORREF kReadingMarkInk = RGB(138, 118, 84);
constexpr COLORREF kReadingNightMarkInk = RGB(176, 160, 124);

// The marks for one view (each keeps its own font for the DPI it was last laid out at).
ReadingMarks mushafReadingMarks();

#endif
