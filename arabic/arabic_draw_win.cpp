#include "arabic/arabic_draw_win.h"

#include <usp10.h>

#include <climits>

namespace {

// The one script control and script state record of every call: all zero (no flags,
// default language, base embedding level 0). Uniscribe only reads them.
SCRIPT_CONTROL scriptControl{};
SCRIPT_STATE scriptState{};
// Drawing asks for a right-to-left paragraph (SSA_RTL). Wine's Uniscribe takes the
// paragraph direction from the state's embedding level only, so drawing passes level 1
// as well: a leading space then stands at the right end, as the keyboard keys expect.
const SCRIPT_STATE rightToLeftState = [] {
    SCRIPT_STATE state{};
    state.uBidiLevel = 1;
    return state;
}();

// Room of the fixed arrays of one measurement. A piece of at most kArabicMeasurePiece
// units leaves the glyph arrays the margin (1.5 times the units and more) that
// shaping may need.
constexpr int kMaxItems = 2000;
constexpr int kMaxGlyphs = 2000;
static_assert(kArabicMeasurePiece * 3 / 2 + 16 <= kMaxGlyphs, "glyph room for a piece");

// Shapes and places one piece as a single run with the analysis of its first item.
int measurePiece(HDC dc, const WCHAR* text, int length) {
    // ScriptItemize writes one item beyond the count it may return: the end marker.
    SCRIPT_ITEM items[kMaxItems + 1] = {};
    int itemCount = 0;
    if (FAILED(ScriptItemize(text, length, kMaxItems, &scriptControl, &scriptState, items,
                             &itemCount)) ||
        itemCount < 1)
        return 0;

    WORD glyphs[kMaxGlyphs] = {};
    WORD clusters[kMaxGlyphs] = {}; // one entry per unit; a piece has fewer units
    SCRIPT_VISATTR attributes[kMaxGlyphs] = {};
    int advances[kMaxGlyphs] = {};
    GOFFSET offsets[kMaxGlyphs] = {};
    ABC abc = {};
    int glyphCount = 0;
    SCRIPT_CACHE cache = nullptr;
    SCRIPT_ANALYSIS analysis = items[0].a;
    int width = 0;
    if (SUCCEEDED(ScriptShape(dc, &cache, text, length, kMaxGlyphs, &analysis, glyphs, clusters,
                              attributes, &glyphCount)) &&
        glyphCount > 0 && glyphCount <= kMaxGlyphs &&
        SUCCEEDED(ScriptPlace(dc, &cache, glyphs, glyphCount, attributes, &analysis, advances,
                              offsets, &abc)))
        width = abc.abcA + static_cast<int>(abc.abcB) + abc.abcC;
    ScriptFreeCache(&cache);
    return width;
}

// Where the piece that starts at `text` ends: after its leading marks if it starts
// with one, else after its last space when it has one and the text goes on beyond it,
// else after kArabicMeasurePiece units.
// Leading Arabic vowel marks (a mark typed before any letter) form a piece of their
// own: shaped with the analysis of a mark's item, a following letter makes Wine's
// ScriptPlace read out of bounds and crash.
bool isArabicMark(WCHAR unit) {
    return (unit >= 0x064B && unit <= 0x065F) || unit == 0x0670;
}

int pieceLength(const WCHAR* text, int remaining) {
    if (isArabicMark(text[0])) {
        int n = 1;
        while (n < remaining && n < kArabicMeasurePiece && isArabicMark(text[n]))
            ++n;
        return n;
    }
    if (remaining <= kArabicMeasurePiece) return remaining;
    for (int n = kArabicMeasurePiece; n > 0; --n)
        if (text[n - 1] == L' ') return n;
    return kArabicMeasurePiece;
}

} // namespace

int measureArabicText(HDC dc, const WCHAR* text, int length) {
    if (!text || length <= 0) return 0;
    int width = 0;
    for (int at = 0; at < length;) {
        const int n = pieceLength(text + at, length - at);
        width += measurePiece(dc, text + at, n);
        at += n;
    }
    return width;
}

void drawArabicText(HDC dc, const WCHAR* text, const RECT& rectangle) {
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_RIGHT);
    if (!text) return;
    int n = 0;
    while (text[n] != 0 && n < INT_MAX / 3 - 1)
        ++n;
    if (n == 0) return;

    SCRIPT_STRING_ANALYSIS analysis = nullptr;
    if (FAILED(ScriptStringAnalyse(dc, text, n, n * 3 / 2 + 1, -1, SSA_GLYPHS | SSA_RTL,
                                   rectangle.right - rectangle.left, &scriptControl,
                                   const_cast<SCRIPT_STATE*>(&rightToLeftState), nullptr, nullptr,
                                   nullptr, &analysis)) ||
        !analysis)
        return;
    // The text ends on the rectangle's right edge. It is placed from its left end, at
    // right - width, and clipped through the device context rather than ETO_CLIPPED:
    // Wine's Uniscribe, given TA_RIGHT, right-aligns each run on its own (misplacing a
    // string of several runs) and clips every run away under ETO_CLIPPED. The clip is
    // the rectangle with its left edge taken as 0. SaveDC/RestoreDC bring back TA_RIGHT
    // and the caller's clip region.
    const SIZE* size = ScriptString_pSize(analysis);
    const int width = size ? size->cx : 0;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, rectangle.top, rectangle.right, rectangle.bottom);
    SetTextAlign(dc, TA_LEFT);
    ScriptStringOut(analysis, rectangle.right - width, 0, 0, nullptr, 0, 0, FALSE);
    if (saved) RestoreDC(dc, saved);
    ScriptStringFree(&analysis);
}
