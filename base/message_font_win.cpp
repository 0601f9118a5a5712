#include "base/message_font_win.h"

#include "base/dpi_win.h"
#include "base/guards_win.h"
#include "base/system_library_win.h"

#include <cstddef>

namespace {

// NONCLIENTMETRICSW as Windows XP and before know it, without the last member
// (iPaddedBorderWidth): the call fails there for the longer size.
constexpr UINT kOlderMetricsSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);

bool systemMetrics(NONCLIENTMETRICSW& metrics) {
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return true;
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = kOlderMetricsSize;
    return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0) != FALSE;
}

// The DPI the system's metrics are given for: the screen's (a DPI-aware process is given
// them unscaled).
int systemDpi() {
    WindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kBaseDpi;
    return dpi > 0 ? dpi : kBaseDpi;
}

} // namespace

bool messageFontScaledFromSystemDpi(int dpi, LOGFONTW& font) {
    NONCLIENTMETRICSW metrics;
    if (!systemMetrics(metrics)) return false;
    font = metrics.lfMessageFont;
    const int from = systemDpi();
    if (dpi > 0 && dpi != from) {
        font.lfHeight = MulDiv(font.lfHeight, dpi, from);
        font.lfWidth = MulDiv(font.lfWidth, dpi, from);
    }
    return true;
}

bool messageFontAt(int dpi, LOGFONTW& font) {
    using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi =
        systemFunction<ForDpiFn>(L"user32.dll", "SystemParametersInfoForDpi");
    if (forDpi && dpi > 0) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, static_cast<UINT>(dpi))) {
            font = metrics.lfMessageFont;
            return true;
        }
    }
    return messageFontScaledFromSystemDpi(dpi, font);
}

HFONT createMessageFont(int dpi) {
    LOGFONTW font{};
    return messageFontAt(dpi, font) ? CreateFontIndirectW(&font) : nullptr;
}
