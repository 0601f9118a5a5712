#include "app/splitter_bar_win.h"

#include "base/guards_win.h"

namespace {

// Instances, changed only with interlocked operations, and the brush they share.
volatile LONG instanceCount = 0;
HBRUSH sharedBrush = nullptr;

// A one-pixel checkerboard: an 8 x 8 monochrome bitmap whose rows alternate 0x55 and 0xAA.
HBRUSH makeHalftoneBrush() {
    WORD rows[8];
    for (int i = 0; i < 8; ++i)
        rows[i] = static_cast<WORD>(0x5555 << (i % 2));
    GdiObject<HBITMAP> pattern(CreateBitmap(8, 8, 1, 1, rows));
    if (!pattern) return nullptr;
    return CreatePatternBrush(pattern.get()); // the brush keeps its own copy of the pattern
}

} // namespace

SplitterBar::SplitterBar(bool vertical) : geometry_(vertical) {
    if (InterlockedIncrement(&instanceCount) == 1 && !sharedBrush)
        sharedBrush = makeHalftoneBrush();
}

SplitterBar::~SplitterBar() {
    if (InterlockedDecrement(&instanceCount) <= 0 && sharedBrush) {
        DeleteObject(sharedBrush);
        sharedBrush = nullptr;
    }
}

HBRUSH SplitterBar::halftoneBrush() {
    return sharedBrush;
}

void SplitterBar::setPosition(int left, int top, int right, int bottom) {
    geometry_.setPosition(left, top, right, bottom);
}

void SplitterBar::paint(HDC dc) const {
    RECT rect;
    getRect(&rect);
    DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
}

void SplitterBar::trackDrag(HDC dc, const POINT* point) {
    if (point)
        geometry_.followPoint(point->x, point->y);
    else
        geometry_.commit();
    const InvertedArea area = geometry_.invertedArea();
    SelectedObject brush(dc, sharedBrush);
    PatBlt(dc, area.x, area.y, area.width, area.height, PATINVERT);
}

void SplitterBar::getRect(RECT* rect) const {
    const Box& bar = geometry_.bar();
    *rect = {bar.left, bar.top, bar.right, bar.bottom};
}
