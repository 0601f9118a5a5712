// Visual styles per control. A program whose manifest asks for Common Controls 6 draws its
// controls with the system's theme; a themed check box ignores the text colour its parent
// gives it and a themed drop-down list draws its face from the theme, so a control that
// must show colours of its own is drawn without the theme. uxtheme.dll is loaded when
// first needed; where it is missing nothing changes.
#ifndef NORAVEL_BASE_VISUAL_STYLE_WIN_H
#define NORAVEL_BASE_VISUAL_STYLE_WIN_H

#include <windows.h>

// SetWindowTheme's shape, so that tests can watch the calls.
using WindowThemeSetter = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);

// themed: the control follows the system's theme again; otherwise it is drawn classic
// (SetWindowTheme with empty names). With no setter given, uxtheme's own. True when done.
bool useVisualStyle(HWND control, bool themed, WindowThemeSetter set = nullptr);

#endif
