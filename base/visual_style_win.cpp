#include "base/visual_style_win.h"

#include "base/system_library_win.h"

bool useVisualStyle(HWND control, bool themed, WindowThemeSetter set) {
    if (!set) {
        static const auto system =
            systemFunction<WindowThemeSetter>(L"uxtheme.dll", "SetWindowTheme");
        set = system;
    }
    if (!control || !set) return false;
    // Null names take back what an earlier call set; empty names match no theme class.
    return SUCCEEDED(themed ? set(control, nullptr, nullptr) : set(control, L"", L""));
}
