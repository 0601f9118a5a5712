#include "app/main_layout.h"

#include <algorithm>
#include <initializer_list>

namespace {

int atLeastZero(int value) {
    return value < 0 ? 0 : value;
}

int usableDpi(int dpi) {
    return dpi < 1 ? kLayoutBaseDpi : dpi;
}

// value * numerator / denominator, rounded to the nearest, halves away from zero; the
// product is taken in 64 bits so that no figure overflows.
int scaledRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    const long long quotient =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(quotient);
}

Placement scaled(const Placement& p, int dpi) {
    return {scaledLength(p.x, dpi), scaledLength(p.y, dpi), scaledLength(p.width, dpi),
            scaledLength(p.height, dpi)};
}

} // namespace

int scaledLength(int pixels, int dpi) {
    return scaledRounded(pixels, usableDpi(dpi), kLayoutBaseDpi);
}

int lengthAt96(int pixels, int dpi) {
    return scaledRounded(pixels, kLayoutBaseDpi, usableDpi(dpi));
}

StatusParts statusPartsFor(int width, int dpi) {
    const int juz = scaledLength(kStatusFirstPart, dpi);
    const int marks = scaledLength(kStatusMarksWidth, dpi);
    const int page = scaledLength(kStatusPageWidth, dpi);
    const int pageEnd = std::max(juz, width - marks);
    const int messagesEnd = std::max(juz, pageEnd - page);
    return {{juz, messagesEnd, pageEnd, -1}};
}

FixedRow fixedRowFor(int dpi) {
    FixedRow row;
    for (Placement* p :
         {&row.surahList, &row.ayahList, &row.upDown, &row.translationSearch, &row.arabicSearch,
          &row.tajwid, &row.listen, &row.continueBox, &row.recitationScope})
        *p = scaled(*p, dpi);
    return row;
}

MainLayout computeMainLayout(int width, int height, int statusHeight, int translationHeight,
                             int dpi) {
    const auto at = [dpi](int pixels) { return scaledLength(pixels, dpi); };
    MainLayout layout;
    const int languageLeft = at(kLanguageListLeft);
    layout.languageList = {languageLeft, 0, atLeastZero(width - languageLeft), at(225)};
    layout.statusBar = {0, 0, atLeastZero(width), 0};

    const int resultHeight = at(kResultListHeight);
    const int resultTop = height - statusHeight - resultHeight;
    layout.resultList = {0, resultTop, atLeastZero(width), resultHeight};

    // The translation control may take at most the room left under the picture's top
    // edge; the picture's height is Y - 26.
    const int frameTop = at(kPictureFrameTop);
    const int room = atLeastZero(resultTop - frameTop);
    int clamped = atLeastZero(at(translationHeight));
    if (clamped > room) clamped = room;
    layout.translationHeight = clamped;

    const int line = resultTop - clamped;
    const int margin = at(kPictureMargin);
    layout.splitterLine = line;
    layout.bitmapView = {margin, at(kPictureTop), atLeastZero(width - 2 * margin),
                         atLeastZero(line - frameTop)};
    layout.translation = {0, line, atLeastZero(width), clamped};
    layout.splitterLeft = 0;
    layout.splitterTop = line - at(2);
    layout.splitterRight = atLeastZero(width);
    layout.splitterBottom = layout.splitterTop + at(7);
    return layout;
}

int translationFontPoints(int ayahFontPoints) {
    constexpr long long kSmallest = 6, kLargest = 72;
    const long long points = (static_cast<long long>(ayahFontPoints) * 12 + 7) / 14;
    return static_cast<int>(points < kSmallest ? kSmallest : points > kLargest ? kLargest : points);
}
