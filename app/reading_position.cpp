#include "app/reading_position.h"

namespace {

constexpr int kSurahs = 114;

// Shifts [start, end) into [low, high), shrinking it first when it is longer.
void fitSpan(int& start, int& end, int low, int high) {
    if (end - start > high - low) {
        start = low;
        end = high;
        return;
    }
    if (start < low) {
        end += low - start;
        start = low;
    }
    if (end > high) {
        start -= end - high;
        end = high;
    }
}

} // namespace

AyahRef resumeAyah(int storedSurah, int storedAyah, int (*ayahCount)(int surah)) {
    if (storedSurah < 1 || storedSurah > kSurahs) return {1, 1};
    if (storedAyah < 1 || storedAyah > ayahCount(storedSurah)) return {1, 1};
    return {storedSurah, storedAyah};
}

bool isPlausibleWindowRect(const ScreenRect& window) {
    // Compared in 64 bits: stored edges are any 32-bit numbers.
    const long long width = static_cast<long long>(window.right) - window.left;
    const long long height = static_cast<long long>(window.bottom) - window.top;
    return width >= kSmallestWindowSide && width <= kLargestWindowSide &&
           height >= kSmallestWindowSide && height <= kLargestWindowSide &&
           window.left > -kLargestWindowSide && window.left < kLargestWindowSide &&
           window.top > -kLargestWindowSide && window.top < kLargestWindowSide;
}

ScreenRect fitOntoArea(const ScreenRect& window, const ScreenRect& area) {
    ScreenRect fitted = window;
    fitSpan(fitted.left, fitted.right, area.left, area.right);
    fitSpan(fitted.top, fitted.bottom, area.top, area.bottom);
    return fitted;
}

uint32_t SaveThrottle::delayFor(uint32_t nowMs) const {
    if (!written_) return 0;
    const uint32_t since = nowMs - lastWrite_; // unsigned: right across a wrap of the count
    return since >= interval_ ? 0 : interval_ - since;
}
