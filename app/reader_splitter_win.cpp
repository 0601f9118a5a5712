// The drag of the splitter bar between the picture and the translation: the feedback
// follows the mouse, and the drop sets the translation's height.
#include "app/reader_window_win.h"

#include "app/main_layout.h"

#include "base/dpi_win.h"
#include "base/guards_win.h"

namespace {

// The system's shared cursors. Their ids are integer resource names, which the narrow
// macros spell as narrow pointers; the value is the same for the wide call.
HCURSOR arrowCursor() {
    return LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
}

HCURSOR resizeCursor() {
    return LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_SIZENS));
}

} // namespace

bool ReaderWindow::onTheBar(POINT point) const {
    RECT bar;
    splitterBar_.getRect(&bar);
    return PtInRect(&bar, point) != FALSE;
}

void ReaderWindow::onMouseMove(POINT point) {
    lastMouse_ = point;
    SetCursor(dragging_ || onTheBar(point) ? resizeCursor() : arrowCursor());
    if (dragging_) {
        WindowDc dc(window_);
        splitterBar_.trackDrag(dc.get(), nullptr);
        splitterBar_.trackDrag(dc.get(), &point);
    }
}

void ReaderWindow::onLButtonDown(POINT point) {
    lastMouse_ = point;
    if (dragging_ || !onTheBar(point)) return;
    SetCapture(window_);
    dragging_ = true;
    WindowDc dc(window_);
    splitterBar_.trackDrag(dc.get(), &point);
    dragStartY_ = point.y;
}

void ReaderWindow::onLButtonUp(POINT point) {
    lastMouse_ = point;
    if (!dragging_) return;
    dragging_ = false; // before ReleaseCapture, whose WM_CAPTURECHANGED must find it done
    ReleaseCapture();
    {
        WindowDc dc(window_);
        splitterBar_.trackDrag(dc.get(), nullptr);
    }
    if (!splitterBar_.moved()) return;
    RECT bar;
    splitterBar_.getRect(&bar);
    InvalidateRect(window_, &bar, TRUE);
    UpdateWindow(window_);
    splitterBar_.clearMoved();
    // Kept in 96-DPI units, so that the stored height means the same on every monitor.
    translationHeight_ = lengthAt96(shownTranslationHeight_ + (dragStartY_ - point.y), dpi_);
    layout();
}

// Another window took the capture in the middle of a drag: the feedback is erased where it
// is and the drag ends without a move, so the dragging state never outlives the capture.
void ReaderWindow::onCaptureChanged() {
    if (!dragging_) return;
    dragging_ = false;
    WindowDc dc(window_);
    splitterBar_.trackDrag(dc.get(), nullptr);
    if (splitterBar_.moved()) {
        splitterBar_.clearMoved();
        layout();
    }
}
