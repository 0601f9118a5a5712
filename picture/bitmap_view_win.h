// The bitmap view: a child window of class "WND_DRAW_BITMAP" that shows one picture,
// centred horizontally 40 pixels (at 96 DPI; scaled with the window's DPI) below its top,
// and scrolls it vertically.
//
// A picture comes in one of two ways. WM_SETPICTURE (resources/resource_ids.h; wParam 0,
// lParam the HBITMAP or null) lends the view a bitmap, shown at its natural size; whoever
// hands it over keeps and deletes it. showBitmapViewFiles then gives the view the ayah's
// files in the 1x and 2x picture sets: the view draws the picture from the set its scale
// (window DPI / 96 x zoom) needs, resized with an area-average filter, keeps the result
// until the ayah, the zoom or the DPI changes, and shows it in day or night colours.
#ifndef NORAVEL_PICTURE_BITMAP_VIEW_WIN_H
#define NORAVEL_PICTURE_BITMAP_VIEW_WIN_H

#include <windows.h>

#include <vector>

class Calligraphy;

// How far below the view's top edge the picture starts.
constexpr int kPictureTopMargin = 40;

// Registers the class on the first successful call and creates one view, visible, at
// the default place (the parent's layout moves it). Null if the class cannot be
// registered (a later call tries again) or the window cannot be made. A background
// brush, if given, is the class's; the view paints its own background either way.
HWND createBitmapView(HINSTANCE instance, HWND parent, HBRUSH background);

// Gives the view the current ayah's pictures (UTF-8 paths; the 2x one may be null). Above
// scale 1 the 2x picture is used; when it cannot be read the 1x picture is shown at its
// natural size rather than enlarged. False when neither can be drawn: the view then shows
// the bitmap of WM_SETPICTURE. A later WM_SETPICTURE forgets the files.
bool showBitmapViewFiles(HWND view, const char* singlePath, const char* doublePath);

// The same with the ayah's glyph runs: when calligraphy (may be null) has runs for surah:ayah
// the view draws them at its scale from the font, in the scheme's ink and paper, and the
// files are only the fallback. Shortly after, while the view is shown, it draws the glyphs of
// the next ayah ahead into the calligraphy's kept drawings (a timer of the view's own). The
// calligraphy must outlive the view's use of it.
bool showBitmapViewAyah(HWND view, const char* singlePath, const char* doublePath,
                        const Calligraphy* calligraphy, int surah, int ayah);

// The zoom in percent of the DPI-scaled size (picture_scale.h: 75..400; anything else is
// 100). The picture and its scroll range follow at once.
void setBitmapViewZoom(HWND view, int percent);
int bitmapViewZoom(HWND view);

// Shows the picture in the night scheme (light ink on a dark ground) or, with false, as it
// is. Only the colour table of the drawn picture changes (no decoding, no erase in
// between); the view's ground outside the picture goes dark as well. Copies of the picture
// are not affected.
void setBitmapViewNight(HWND view, bool night);

// Hides the ayah but for its first shownWords words (picture/word_reveal.h; below 0: all
// shown). A picture not drawn from the runs is hidden whole while any word is. A click on the
// view sends its parent WM_COMMAND IDM_REVEAL_WORD (resources/resource_ids.h).
void setBitmapViewShownWords(HWND view, int shownWords);
int bitmapViewShownWords(HWND view);
// The words of the ayah shown from its runs; 0 when the picture is not drawn from them.
int bitmapViewWordCount(HWND view);
// Marks the letters of the shown ayah that a search matched: matchedBytes holds one entry
// per byte of the ayah's Arabic byte-code text (with inSpellingForm: of its spelling form),
// true where it matched. Drawn from the runs,
// those letters take the scheme's mark colour until another ayah is shown or the marks are
// set again (an empty vector takes them off). False when nothing could be marked (no runs,
// or runs made from another text).
bool markBitmapViewText(HWND view, const std::vector<bool>& matchedBytes, bool inSpellingForm);
// The letters marked now (code point indices), empty without marks.
std::vector<bool> bitmapViewMarkedLetters(HWND view);

#endif
