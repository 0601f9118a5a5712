// The arithmetic of a splitter bar: its rectangle, the drag feedback rectangle that follows
// the mouse, and the commit that moves the bar to where the feedback is. Plain data; the
// Windows class SplitterBar draws what this describes.
#ifndef NORAVEL_APP_SPLITTER_GEOMETRY_H
#define NORAVEL_APP_SPLITTER_GEOMETRY_H

struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The area that the drag feedback inverts: x, y, width, height.
struct InvertedArea {
    int x;
    int y;
    int width;
    int height;
};

class SplitterGeometry {
  public:
    static constexpr int kThickness = 7; // a bar given only its start is this thick

    // vertical: the bar is dragged sideways and follows x; otherwise up and down, following y.
    explicit SplitterGeometry(bool vertical) : vertical_(vertical) {}

    // Places the bar. A right (vertical bar) or bottom (horizontal bar) of 0 means the
    // start + 7. The feedback returns to the bar's own place.
    void setPosition(int left, int top, int right, int bottom);

    // Moves the feedback to the point, unless the point lies inside the bar rectangle
    // (so a small movement within the bar leaves the feedback where it is).
    void followPoint(int x, int y);
    // Moves the bar to where the feedback is; sets moved when that is a new place.
    void commit();

    bool contains(int x, int y) const {
        return x >= bar_.left && x < bar_.right && y >= bar_.top && y < bar_.bottom;
    }
    InvertedArea invertedArea() const {
        return {feedbackX_, feedbackY_, feedbackWidth_ - 1, feedbackHeight_ - 1};
    }

    const Box& bar() const { return bar_; }
    bool moved() const { return moved_; }
    void clearMoved() { moved_ = false; }
    bool vertical() const { return vertical_; }
    int feedbackX() const { return feedbackX_; }
    int feedbackY() const { return feedbackY_; }
    int feedbackWidth() const { return feedbackWidth_; }
    int feedbackHeight() const { return feedbackHeight_; }

  private:
    bool moved_ = false;
    int feedbackX_ = 0;
    int feedbackY_ = 0;
    int feedbackWidth_ = 0;
    int feedbackHeight_ = 0;
    bool vertical_;
    Box bar_;
};

#endif
