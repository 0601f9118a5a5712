// What the Desktop Window Manager knows of a top-level window's frame: the part of
// GetWindowRect that is visible (Windows 10 and 11 draw their resize borders invisible,
// about 7 pixels at 96 DPI to the left, right and bottom) and the dark title bar of a dark
// scheme. dwmapi.dll is loaded when first asked; where it or an attribute is unknown the
// calls change nothing.
#ifndef NORAVEL_BASE_WINDOW_FRAME_WIN_H
#define NORAVEL_BASE_WINDOW_FRAME_WIN_H

#include <windows.h>

// How far each edge of the window rectangle lies outside the frame the user sees (0 where
// the whole rectangle is seen).
struct FrameBorders {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The invisible borders of the window as it is now: GetWindowRect against the frame
// bounds of DWMWA_EXTENDED_FRAME_BOUNDS. All 0 without the window manager.
FrameBorders invisibleBorders(HWND window);

// rect less the borders.
RECT visiblePartOf(const RECT& rect, const FrameBorders& borders);

// DwmSetWindowAttribute's shape, so that tests can watch the calls.
using WindowAttributeSetter = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

// Asks for a dark title bar (or the light one again): DWMWA_USE_IMMERSIVE_DARK_MODE (20),
// and where the system refuses it the number that Windows 10 builds before 20H1 knew (19).
// With no setter given, dwmapi's own. True when one of them was accepted.
bool useDarkTitleBar(HWND window, bool dark, WindowAttributeSetter set = nullptr);

#endif
