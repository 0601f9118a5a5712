#include "app/reading_layout.h"

#include "app/main_layout.h"

#include <algorithm>

namespace {

int atLeastZero(int value) {
    return value < 0 ? 0 : value;
}

} // namespace

AyahBlockPlaces placeAyahBlock(const AyahBlockParts& parts, int dpi) {
    const int padding = scaledLength(kReadingBlockPadding, dpi);
    const int gap = scaledLength(kReadingPartGap, dpi);
    AyahBlockPlaces places;
    places.rule = 0;
    places.picture = atLeastZero(parts.rule) + padding;
    places.first = places.picture + atLeastZero(parts.picture) + gap;
    places.second = places.first + atLeastZero(parts.first);
    if (parts.second > 0) places.second += gap;
    places.height = places.second + atLeastZero(parts.second) + padding;
    return places;
}

void ReadingColumn::set(int headHeight, const std::vector<int>& ayahHeights) {
    tops_.clear();
    tops_.reserve(ayahHeights.size());
    int top = atLeastZero(headHeight);
    for (int height : ayahHeights) {
        tops_.push_back(top);
        top += atLeastZero(height);
    }
    total_ = top;
}

int ReadingColumn::clampAyah(int ayah) const {
    return std::clamp(ayah, 1, std::max(1, ayatCount()));
}

int ReadingColumn::ayahTop(int ayah) const {
    if (tops_.empty()) return 0;
    return tops_[clampAyah(ayah) - 1];
}

int ReadingColumn::ayahHeight(int ayah) const {
    if (tops_.empty()) return 0;
    const int index = clampAyah(ayah);
    const int end = index < ayatCount() ? tops_[index] : total_;
    return end - tops_[index - 1];
}

int ReadingColumn::ayahAt(int offset) const {
    if (tops_.empty()) return 0;
    // The last block that begins at or above the offset.
    const auto after = std::upper_bound(tops_.begin(), tops_.end(), offset);
    if (after == tops_.begin()) return 1;
    return static_cast<int>(after - tops_.begin());
}

int ReadingColumn::clampScroll(int offset) const {
    return std::clamp(offset, 0, maxScroll());
}

int ReadingColumn::scrollFor(int ayah) const {
    if (ayah <= 1) return 0;
    return clampScroll(ayahTop(ayah));
}

ReadingColumn::Range ReadingColumn::visibleAyat(int offset, int viewHeight) const {
    Range range;
    if (tops_.empty() || viewHeight <= 0 || offset >= total_ || offset + viewHeight <= 0)
        return range;
    range.first = ayahAt(offset);
    range.last = ayahAt(offset + viewHeight - 1);
    return range;
}
