#include "app/reading_marks_win.h"

#include "app/reading_marks.h"
#include "base/dpi_win.h"
#include "base/guards_win.h"
#include "base/message_font_win.h"
#include "base/wide_text_win.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>

namespace {

// At 96 DPI: the room above and below the text of a mark, the margin beside it (the view's
// own text margin) and the space left between the rule and a text.
constexpr int kMarkPadding = 4;
constexpr int kMarkMargin = 24;
constexpr int kRuleGap = 8;

// The font and the strip's height for the DPI the view was last laid out at, which is the
// DPI it draws at: the view lays its column out again whenever its DPI changes.
struct MarkFont {
    int dpi = 0;
    int height = 0;
    GdiObject<HFONT> font;

    void makeFor(int forDpi) {
        if (forDpi == dpi && font) return;
        dpi = forDpi;
        font.reset(createMessageFont(dpi));
        MemoryDc dc(nullptr);
        SelectedObject selected(dc.get(), font ? font.get() : GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.get(), &metrics);
        height = metrics.tmHeight + 2 * scaledForDpi(kMarkPadding, dpi);
    }
};

// A solid bar of the ink from left to right (nothing when it has no length).
void drawBar(HDC dc, HBRUSH ink, int left, int right, int top, int thickness) {
    if (right <= left) return;
    const RECT bar{left, top, right, top + thickness};
    FillRect(dc, &bar, ink);
}

void drawMarks(HDC dc, const MarkFont& font, const ReadingMarkText& marks, const RECT& strip,
               COLORREF ink) {
    const int dpi = font.dpi > 0 ? font.dpi : kBaseDpi;
    const int margin = scaledForDpi(kMarkMargin, dpi);
    const int gap = scaledForDpi(kRuleGap, dpi);
    SelectedObject selected(dc, font.font ? font.font.get() : GetStockObject(DEFAULT_GUI_FONT));
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

    // The label from the left margin; the rule starts after it.
    int ruleLeft = strip.left + margin;
    if (marks.label[0]) {
        const std::wstring label = wideFromUtf8(marks.label);
        RECT place{strip.left + margin, strip.top, strip.right - margin, strip.bottom};
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &place, format | DT_LEFT);
        SIZE size{};
        GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
        ruleLeft += size.cx + gap;
    }
    if (marks.page == 0) return;

    wchar_t page[16];
    std::swprintf(page, 16, L"Page %i", marks.page);
    const int length = static_cast<int>(std::wcslen(page));
    SIZE size{};
    GetTextExtentPoint32W(dc, page, length, &size);
    // In the middle, or after the label where the column is too narrow for both.
    const int left = std::max(static_cast<int>(strip.left + strip.right - size.cx) / 2, ruleLeft);
    RECT place{left, strip.top, left + size.cx, strip.bottom};
    DrawTextW(dc, page, length, &place, format | DT_LEFT);

    GdiObject<HBRUSH> brush(CreateSolidBrush(ink));
    const int thickness = std::max(1, scaledForDpi(1, dpi));
    const int y = (strip.top + strip.bottom - thickness) / 2;
    drawBar(dc, brush.get(), ruleLeft, place.left - gap, y, thickness);
    drawBar(dc, brush.get(), place.right + gap, strip.right - margin, y, thickness);
}

} // namespace

ReadingMarks mushafReadingMarks() {
    auto font = std::make_shared<MarkFont>();
    ReadingMarks marks;
    marks.ruleHeight = [font](AyahRef ayah, int dpi) {
        if (!readingMarkOf(ayah).any()) return 0;
        font->makeFor(dpi);
        return font->height;
    };
    marks.drawRule = [font](HDC dc, AyahRef ayah, const RECT& strip, bool night) {
        const ReadingMarkText text = readingMarkOf(ayah);
        if (!text.any()) return;
        // The view draws the ayah's texts after this in its own colour and mode.
        const COLORREF ink = night ? kReadingNightMarkInk : kReadingMarkInk;
        const COLORREF colour = SetTextColor(dc, ink);
        const int mode = SetBkMode(dc, TRANSPARENT);
        drawMarks(dc, *font, text, strip, ink);
        SetBkMode(dc, mode);
        SetTextColor(dc, colour);
    };
    return marks;
}
