// The arithmetic and texts of the tajwid window (companions/morvent.cpp): its caption, how
// the ayah fits the window, and the reader's
// list selections turned into an ayah.
#ifndef NORAVEL_TAJWID_TAJWID_VIEW_H
#define NORAVEL_TAJWID_TAJWID_VIEW_H

#include "text/ayah_ref.h"

#include <cstddef>
#include <string>

namespace tajwid {

// "Tajwid - 2:255 Al Baqarah" into out (always terminated). False, with out empty, for a
// surah outside 1..114 or an ayah below 1; a caption cut short by the size is still written.
bool formatCaption(char* out, std::size_t size, int surah, int ayah, const char* surahName);

// The size a picture is drawn at: as wide as the room allows, never more than maxScale
// times its own size (the pictures are drawn large already; more would only blur them),
// the height in proportion. Both at least 1 for a picture that has any size.
struct DrawnSize {
    int width = 0;
    int height = 0;
};
DrawnSize fitToWidth(int pictureWidth, int pictureHeight, int roomWidth, double maxScale);

// A scroll position kept inside 0..content-page (0 when everything fits).
int clampScroll(int position, int content, int page);

// The ayah the reader shows, from the selections of its surah and ayah lists (0-based, -1
// for none). {0, 0} when there is no valid selection.
AyahRef ayahFromSelections(long surahIndex, long ayahIndex);

} // namespace tajwid

#endif
