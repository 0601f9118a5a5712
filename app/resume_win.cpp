#include "app/resume_win.h"

#include "base/window_frame_win.h"
#include "settings/registry_win.h"
#include "settings/settings_win.h"
#include "text/text_store.h"

namespace {

// Only the per-user copy: these values describe one user's reading, never the machine's.
bool readValue(const char* name, int& value) {
    const SettingsLocation& where = defaultSettingsLocation();
    return queryRegistryDword(where.userRoot, where.key, where.subkey, name, &value);
}

void writeValue(const char* name, int value) {
    const SettingsLocation& where = defaultSettingsLocation();
    writeRegistryDword(where.userRoot, where.key, where.subkey, name, value);
}

// The window's rectangle when neither maximised nor minimised, in screen coordinates.
bool normalRect(HWND window, RECT& rect, bool& maximized) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return false;
    maximized =
        placement.showCmd == SW_SHOWMAXIMIZED ||
        (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED));
    if (!IsZoomed(window) && !IsIconic(window)) return GetWindowRect(window, &rect) != FALSE;
    // The placement is in work-area coordinates: shift it by the work area's offset.
    rect = placement.rcNormalPosition;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
        OffsetRect(&rect, monitor.rcWork.left - monitor.rcMonitor.left,
                   monitor.rcWork.top - monitor.rcMonitor.top);
    return true;
}

// The borders in one value: a byte each, left, top, right and bottom from the lowest. A
// border wider than a byte is no border a window frame has.
int packedBorders(const FrameBorders& borders) {
    const int sides[4] = {borders.left, borders.top, borders.right, borders.bottom};
    unsigned packed = 0;
    for (int side = 3; side >= 0; --side) {
        if (sides[side] < 0 || sides[side] > 255) return 0;
        packed = (packed << 8) | static_cast<unsigned>(sides[side]);
    }
    return static_cast<int>(packed);
}

FrameBorders unpackedBorders(int value) {
    const auto bits = static_cast<unsigned>(value);
    FrameBorders borders;
    borders.left = static_cast<int>(bits & 0xFF);
    borders.top = static_cast<int>((bits >> 8) & 0xFF);
    borders.right = static_cast<int>((bits >> 16) & 0xFF);
    borders.bottom = static_cast<int>((bits >> 24) & 0xFF);
    return borders;
}

ScreenRect screenRectOf(const RECT& rect) {
    return {static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.right),
            static_cast<int>(rect.bottom)};
}

} // namespace

AyahRef storedResumeAyah() {
    int surah = 0, ayah = 0;
    if (!readValue(kLastSurahValue, surah) || !readValue(kLastAyahValue, ayah)) return {1, 1};
    return resumeAyah(surah, ayah, TextStore::ayahCount);
}

void ResumeKeeper::store(AyahRef ayah) {
    writeValue(kLastSurahValue, ayah.surah);
    writeValue(kLastAyahValue, ayah.ayah);
    throttle_.wrote(GetTickCount());
}

void ResumeKeeper::remember(HWND window, AyahRef ayah) {
    heldBack_ = ayah;
    if (timerRunning_) return; // the timer stores the newest at its end
    const uint32_t wait = throttle_.delayFor(GetTickCount());
    if (wait == 0 || !window) {
        store(heldBack_);
        return;
    }
    timerRunning_ = SetTimer(window, kResumeTimer, wait, nullptr) != 0;
    if (!timerRunning_) store(heldBack_);
}

void ResumeKeeper::onTimer(HWND window) {
    if (window) KillTimer(window, kResumeTimer);
    if (!timerRunning_) return;
    timerRunning_ = false;
    store(heldBack_);
}

void ResumeKeeper::storeAtClose(HWND window, AyahRef shown, int translationHeight) {
    if (timerRunning_) KillTimer(window, kResumeTimer);
    timerRunning_ = false;
    if (shown.surah >= 1 && shown.ayah >= 1) store(shown);

    RECT rect;
    bool maximized = false;
    if (normalRect(window, rect, maximized) && isPlausibleWindowRect(screenRectOf(rect))) {
        writeValue(kWindowLeftValue, rect.left);
        writeValue(kWindowTopValue, rect.top);
        writeValue(kWindowWidthValue, rect.right - rect.left);
        writeValue(kWindowHeightValue, rect.bottom - rect.top);
        writeValue(kWindowMaximizedValue, maximized ? 1 : 0);
        writeValue(kWindowFrameBordersValue, packedBorders(invisibleBorders(window)));
    }
    writeValue(kTranslationHeightValue, translationHeight);
}

int storedTranslationHeight(int fallback) {
    int height = 0;
    if (!readValue(kTranslationHeightValue, height)) return fallback;
    return height >= 0 && height <= kLargestWindowSide ? height : fallback;
}

bool storedWindowRect(RECT& placed) {
    int left = 0, top = 0, width = 0, height = 0;
    if (!readValue(kWindowLeftValue, left) || !readValue(kWindowTopValue, top) ||
        !readValue(kWindowWidthValue, width) || !readValue(kWindowHeightValue, height))
        return false;
    // Each edge is checked before it is added to: the stored numbers may be anything.
    if (width < kSmallestWindowSide || width > kLargestWindowSide || height < kSmallestWindowSide ||
        height > kLargestWindowSide)
        return false;
    ScreenRect wanted{left, top, 0, 0};
    if (left <= -kLargestWindowSide || left >= kLargestWindowSide || top <= -kLargestWindowSide ||
        top >= kLargestWindowSide)
        return false;
    wanted.right = left + width;
    wanted.bottom = top + height;

    // A window that is on no screen any more (a monitor was removed, the resolution
    // dropped) goes onto the nearest one. Only what the user saw of it counts: an
    // invisible border on a screen does not make the window reachable there.
    int packed = 0;
    FrameBorders borders;
    if (readValue(kWindowFrameBordersValue, packed)) borders = unpackedBorders(packed);
    if (borders.left + borders.right >= width / 2 || borders.top + borders.bottom >= height / 2)
        borders = FrameBorders{};
    RECT rect{wanted.left, wanted.top, wanted.right, wanted.bottom};
    const RECT visible = visiblePartOf(rect, borders);
    if (!MonitorFromRect(&visible, MONITOR_DEFAULTTONULL)) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
            wanted = fitOntoArea(wanted, screenRectOf(monitor.rcWork));
    }
    placed = RECT{wanted.left, wanted.top, wanted.right, wanted.bottom};
    return true;
}

int restoreWindowPlacement(HWND mainWindow, int showCommand) {
    RECT placed{};
    if (!storedWindowRect(placed)) return showCommand;
    int maximized = 0;
    readValue(kWindowMaximizedValue, maximized);
    const ScreenRect wanted = screenRectOf(placed);
    SetWindowPos(mainWindow, nullptr, wanted.left, wanted.top, wanted.width(), wanted.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (GetWindowRect(mainWindow, &placed) &&
        (placed.left != wanted.left || placed.top != wanted.top || placed.right != wanted.right ||
         placed.bottom != wanted.bottom))
        SetWindowPos(mainWindow, nullptr, wanted.left, wanted.top, wanted.width(), wanted.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    const bool ordinaryShow =
        showCommand == SW_SHOWNORMAL || showCommand == SW_SHOWDEFAULT || showCommand == SW_SHOW;
    return maximized == 1 && ordinaryShow ? SW_SHOWMAXIMIZED : showCommand;
}
