// The font Windows gives message boxes and dialogs (the "message font" of the non-client
// metrics: Segoe UI 9 points on Windows 11), at the DPI of a given window rather than the
// system's, for controls that should read as the system's own.
#ifndef NORAVEL_BASE_MESSAGE_FONT_WIN_H
#define NORAVEL_BASE_MESSAGE_FONT_WIN_H

#include <windows.h>

// The message font's description at dpi: SystemParametersInfoForDpi where the system has it
// (Windows 10 1607 on), else the metrics for the system DPI scaled to dpi. False when the
// system answers neither.
bool messageFontAt(int dpi, LOGFONTW& font);
// The same from the older call only (what systems without SystemParametersInfoForDpi get).
bool messageFontScaledFromSystemDpi(int dpi, LOGFONTW& font);

// A new font of that description (the caller deletes it), or null.
HFONT createMessageFont(int dpi);

#endif
