// A bar that the user drags to divide a window: painted as a raised edge, with drag
// feedback drawn as an inverted halftone rectangle, so that dragging repaints nothing
// under it. The owner handles the mouse and decides what a drop means.
#ifndef NORAVEL_APP_SPLITTER_BAR_WIN_H
#define NORAVEL_APP_SPLITTER_BAR_WIN_H

#include "app/splitter_geometry.h"

#include <windows.h>

class SplitterBar {
  public:
    // vertical: dragged sideways (follows x); otherwise dragged up and down (follows y).
    explicit SplitterBar(bool vertical = false);
    virtual ~SplitterBar();
    SplitterBar(const SplitterBar&) = delete;
    SplitterBar& operator=(const SplitterBar&) = delete;

    void setPosition(int left, int top, int right, int bottom);
    void paint(HDC dc) const;
    // With a point: moves the feedback there (unless the point is inside the bar) and
    // draws it. Without (nullptr): commits the feedback's place to the bar and draws the
    // feedback once more, which erases it, since the fill is an exclusive-or.
    void trackDrag(HDC dc, const POINT* point);
    void getRect(RECT* rect) const;

    bool moved() const { return geometry_.moved(); }
    void clearMoved() { geometry_.clearMoved(); }
    const SplitterGeometry& geometry() const { return geometry_; }

    // The halftone brush shared by every instance (none while no instance exists).
    static HBRUSH halftoneBrush();

  private:
    SplitterGeometry geometry_;
};

#endif
