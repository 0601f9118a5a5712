// Screen density. The reader is aware of each monitor's DPI: every pixel figure of its
// layout is given for 96 DPI and scaled to the DPI of the window that shows it, so that
// at 96 DPI every position and size is the one given.
#ifndef NORAVEL_BASE_DPI_WIN_H
#define NORAVEL_BASE_DPI_WIN_H

#include <windows.h>

constexpr int kBaseDpi = 96;

// The DPI of the monitor the window is on (GetDpiForWindow where the system has it), else
// the screen's LOGPIXELSY; 96 when neither answers. A null window gives the screen's.
int windowDpi(HWND window);

// A length given at 96 DPI, at `dpi` (rounded to the nearest pixel; negative lengths keep
// their sign).
inline int scaledForDpi(int pixels, int dpi) {
    return MulDiv(pixels, dpi, kBaseDpi);
}

// Makes the process aware of each monitor's DPI (version 2) where the system has it, and of
// the system DPI otherwise. Called before any window exists; the manifest says the same for
// systems that read it.
void becomeDpiAware();

#endif
