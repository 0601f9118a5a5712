// Where the reader starts and how its window comes back: the checks on the stored last
// ayah, the rule that limits how often the ayah shown is stored, and the fitting of a
// stored window rectangle onto a screen's work area.
#ifndef NORAVEL_APP_READING_POSITION_H
#define NORAVEL_APP_READING_POSITION_H

#include "text/ayah_ref.h"

#include <cstdint>

// The ayah to start on from the stored values: the stored one when the surah is 1..114
// and the ayah lies in 1..ayahCount(surah), else 1:1.
AyahRef resumeAyah(int storedSurah, int storedAyah, int (*ayahCount)(int surah));

// Edges of a rectangle in screen pixels (right and bottom exclusive).
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// A stored window size is used only between these bounds; anything else is no size a
// window of the reader had.
constexpr int kSmallestWindowSide = 100;
constexpr int kLargestWindowSide = 32767;
bool isPlausibleWindowRect(const ScreenRect& window);

// Moves window so that it lies inside area, shrinking a side that is longer than the
// area's. A window already inside comes back unchanged.
ScreenRect fitOntoArea(const ScreenRect& window, const ScreenRect& area);

// Stores at most once per interval: the first change is written at once, changes within
// the interval after a write wait for its end (and only the last of them is written).
class SaveThrottle {
  public:
    explicit SaveThrottle(uint32_t intervalMs) : interval_(intervalMs) {}
    // A change at nowMs (a tick count that may wrap): 0 when it may be written now, else
    // the milliseconds to wait before writing it.
    uint32_t delayFor(uint32_t nowMs) const;
    void wrote(uint32_t nowMs) {
        lastWrite_ = nowMs;
        written_ = true;
    }

  private:
    uint32_t interval_;
    uint32_t lastWrite_ = 0;
    bool written_ = false;
};

#endif
