#include "base/dpi_win.h"

#include "base/guards_win.h"

#include <initializer_list>

namespace {

template <typename Function> Function user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

} // namespace

int windowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (window && getDpiForWindow) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    WindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kBaseDpi;
    return dpi > 0 ? dpi : kBaseDpi;
}

void becomeDpiAware() {
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    const auto setContext = user32Function<SetContextFn>("SetProcessDpiAwarenessContext");
    if (setContext) {
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, then the first version (all that some
        // systems, Wine 8 among them, accept). Access denied: the manifest has set it.
        for (INT_PTR context : {-4, -3}) {
            if (setContext(reinterpret_cast<HANDLE>(context))) return;
            if (GetLastError() == ERROR_ACCESS_DENIED) return;
        }
    }
    using SetProcessDpiAwareFn = BOOL(WINAPI*)();
    if (const auto setAware = user32Function<SetProcessDpiAwareFn>("SetProcessDPIAware"))
        setAware();
}
