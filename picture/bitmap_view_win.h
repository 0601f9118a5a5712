// The bitmap view: a child window of class "WND_DRAW_BITMAP" that shows one bitmap at
// its natural size, centred horizontally 40 pixels below its top, and scrolls it
// vertically. The bitmap is only borrowed: whoever hands it over with WM_SETPICTURE
// (resources/resource_ids.h; wParam 0, lParam the HBITMAP or null) keeps and deletes it.
#ifndef NORAVEL_BITMAP_VIEW_WIN_H
#define NORAVEL_BITMAP_VIEW_WIN_H

#include <windows.h>

// How far below the view's top edge the picture starts.
constexpr int kPictureTopMargin = 40;

// Registers the class on the first successful call and creates one view, visible, at
// the default place (the parent's layout moves it). Null if the class cannot be
// registered (a later call tries again) or the window cannot be made. A background
// brush, if given, is the class's; the view paints its own background either way.
HWND createBitmapView(HINSTANCE instance, HWND parent, HBRUSH background);

// Shows the picture in the night scheme (light ink on a dark ground) or, with false, as it
// is. Copies of the picture are not affected.
void setBitmapViewNight(HWND view, bool night);

#endif
