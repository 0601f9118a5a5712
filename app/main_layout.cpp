#include "app/main_layout.h"

namespace {

int atLeastZero(int value) {
    return value < 0 ? 0 : value;
}

} // namespace

MainLayout computeMainLayout(int width, int height, int statusHeight, int translationHeight) {
    MainLayout layout;
    layout.languageList = {kLanguageListLeft, 0, atLeastZero(width - kLanguageListLeft), 225};
    layout.statusBar = {0, 0, atLeastZero(width), 0};

    const int resultTop = height - statusHeight - kResultListHeight;
    layout.resultList = {0, resultTop, atLeastZero(width), kResultListHeight};

    // The translation control may take at most the room left under the picture's top
    // edge; the picture's height is Y - 26.
    const int room = atLeastZero(resultTop - kPictureFrameTop);
    int clamped = atLeastZero(translationHeight);
    if (clamped > room) clamped = room;
    layout.translationHeight = clamped;

    const int line = resultTop - clamped;
    layout.splitterLine = line;
    layout.bitmapView = {kPictureMargin, kPictureTop, atLeastZero(width - 2 * kPictureMargin),
                         atLeastZero(line - kPictureFrameTop)};
    layout.translation = {0, line, atLeastZero(width), clamped};
    layout.splitterLeft = 0;
    layout.splitterTop = line - 2;
    layout.splitterRight = atLeastZero(width);
    return layout;
}

int translationFontPoints(int ayahFontPoints) {
    constexpr long long kSmallest = 6, kLargest = 72;
    const long long points = (static_cast<long long>(ayahFontPoints) * 12 + 7) / 14;
    return static_cast<int>(points < kSmallest ? kSmallest : points > kLargest ? kLargest : points);
}
