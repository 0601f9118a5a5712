#include "base/window_frame_win.h"

#include "base/system_library_win.h"

namespace {

// The numbers of dwmapi.h, given here because older headers lack the newer ones.
constexpr DWORD kExtendedFrameBounds = 9;   // DWMWA_EXTENDED_FRAME_BOUNDS
constexpr DWORD kImmersiveDarkMode = 20;    // DWMWA_USE_IMMERSIVE_DARK_MODE
constexpr DWORD kImmersiveDarkModeOld = 19; // the same before Windows 10 20H1

using WindowAttributeGetter = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

WindowAttributeGetter dwmGetter() {
    static const auto get =
        systemFunction<WindowAttributeGetter>(L"dwmapi.dll", "DwmGetWindowAttribute");
    return get;
}

WindowAttributeSetter dwmSetter() {
    static const auto set =
        systemFunction<WindowAttributeSetter>(L"dwmapi.dll", "DwmSetWindowAttribute");
    return set;
}

int atLeastZero(LONG value) {
    return value > 0 ? static_cast<int>(value) : 0;
}

} // namespace

FrameBorders invisibleBorders(HWND window) {
    FrameBorders borders;
    RECT outer{}, frame{};
    const WindowAttributeGetter get = dwmGetter();
    if (!window || !get || !GetWindowRect(window, &outer) ||
        FAILED(get(window, kExtendedFrameBounds, &frame, sizeof frame)))
        return borders;
    // An empty or outlying answer (a window not composed yet) is no border.
    if (frame.right <= frame.left || frame.bottom <= frame.top || frame.left < outer.left ||
        frame.top < outer.top || frame.right > outer.right || frame.bottom > outer.bottom)
        return borders;
    borders.left = atLeastZero(frame.left - outer.left);
    borders.top = atLeastZero(frame.top - outer.top);
    borders.right = atLeastZero(outer.right - frame.right);
    borders.bottom = atLeastZero(outer.bottom - frame.bottom);
    return borders;
}

RECT visiblePartOf(const RECT& rect, const FrameBorders& borders) {
    return RECT{rect.left + borders.left, rect.top + borders.top, rect.right - borders.right,
                rect.bottom - borders.bottom};
}

bool useDarkTitleBar(HWND window, bool dark, WindowAttributeSetter set) {
    if (!set) set = dwmSetter();
    if (!window || !set) return false;
    const BOOL value = dark ? TRUE : FALSE;
    if (SUCCEEDED(set(window, kImmersiveDarkMode, &value, sizeof value))) return true;
    return SUCCEEDED(set(window, kImmersiveDarkModeOld, &value, sizeof value));
}
