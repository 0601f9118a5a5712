// Where the reader left off: the last ayah shown, the window's place and size and the
// splitter's translation height, kept per user under the settings key of
// HKEY_CURRENT_USER and restored at the next start.
#ifndef NORAVEL_APP_RESUME_WIN_H
#define NORAVEL_APP_RESUME_WIN_H

#include "app/reading_position.h"

#include <windows.h>

#include <cstdint>

// The registry values this part writes (REG_DWORD each), in the order of the README.
inline constexpr const char* kLastSurahValue = "LastSurah";
inline constexpr const char* kLastAyahValue = "LastAyah";
inline constexpr const char* kWindowLeftValue = "WindowLeft";
inline constexpr const char* kWindowTopValue = "WindowTop";
inline constexpr const char* kWindowWidthValue = "WindowWidth";
inline constexpr const char* kWindowHeightValue = "WindowHeight";
inline constexpr const char* kWindowMaximizedValue = "WindowMaximized";
inline constexpr const char* kTranslationHeightValue = "TranslationHeight";
inline constexpr const char* kWindowFrameBordersValue = "WindowFrameBorders";
inline constexpr const char* const kReadingPositionValues[] = {
    kLastSurahValue,       kLastAyahValue,          kWindowLeftValue,
    kWindowTopValue,       kWindowWidthValue,       kWindowHeightValue,
    kWindowMaximizedValue, kTranslationHeightValue, kWindowFrameBordersValue};

// The main window's timer that stores an ayah change held back by the once-a-second rule.
constexpr UINT_PTR kResumeTimer = 101;
constexpr uint32_t kResumeStoreIntervalMs = 1000;

// The ayah to open on: the stored one when it exists in the loaded text store, else 1:1.
AyahRef storedResumeAyah();

// Stores the ayah shown, at most once a second, for one main window.
class ResumeKeeper {
  public:
    // Every ayah shown passes here; it is stored at once, or at the end of the second that
    // began with the previous store (timer kResumeTimer of window).
    void remember(HWND window, AyahRef ayah);
    void onTimer(HWND window);
    // At close: the ayah shown (when there is one), the window's normal rectangle and the
    // invisible borders it has on the screen (one byte each, left in the lowest), whether
    // it is maximised and the splitter's translation height (96-DPI pixels).
    void storeAtClose(HWND window, AyahRef shown, int translationHeight);

  private:
    void store(AyahRef ayah);

    SaveThrottle throttle_{kResumeStoreIntervalMs};
    AyahRef heldBack_;
    bool timerRunning_ = false;
};

// Before the main window is made: the stored translation height, or fallback.
int storedTranslationHeight(int fallback);

// The stored window rectangle, moved onto the nearest screen when its visible part (the
// rectangle less the stored invisible borders) is on none. False without stored values or
// with values no window of the reader had.
bool storedWindowRect(RECT& placed);

// Before the main window is shown: moves it to its stored rectangle (onto the nearest
// screen when its visible part, the rectangle less the stored invisible borders, is on
// none) and returns the show command to use (maximised when it was). The rectangle is set
// again when the first move changed it: a move onto a monitor of another DPI makes the
// window take the size the system suggests for that DPI, and the stored size is already
// the one for that monitor. Without stored values nothing changes.
int restoreWindowPlacement(HWND mainWindow, int showCommand);

#endif
