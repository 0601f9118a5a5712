#include "app/splitter_geometry.h"

namespace {

int distance(int a, int b) {
    return a > b ? a - b : b - a;
}

} // namespace

void SplitterGeometry::setPosition(int left, int top, int right, int bottom) {
    if (vertical_ && right == 0) right = left + kThickness;
    if (!vertical_ && bottom == 0) bottom = top + kThickness;
    feedbackX_ = left + 1;
    feedbackY_ = top + 1;
    bar_ = {left, top, right, bottom};
    feedbackWidth_ = distance(right, left) - 2;
    feedbackHeight_ = distance(top, bottom) - 2;
}

void SplitterGeometry::followPoint(int x, int y) {
    if (contains(x, y)) return;
    if (vertical_)
        feedbackX_ = x;
    else
        feedbackY_ = y;
}

void SplitterGeometry::commit() {
    if (vertical_) {
        if (feedbackX_ != bar_.left + 1) {
            bar_.left = feedbackX_ - 1;
            bar_.right = feedbackX_ + feedbackWidth_ + 1;
            moved_ = true;
        }
    } else if (feedbackY_ != bar_.top + 1) {
        bar_.top = feedbackY_ - 1;
        bar_.bottom = feedbackY_ + feedbackHeight_ + 1;
        moved_ = true;
    }
}
