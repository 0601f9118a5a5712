// The bitmap view's window class and procedure. Its state (the borrowed bitmap, the ayah's
// files and the picture drawn from them) lives in a small object reached through the
// window's user data.
#include "picture/bitmap_view_win.h"

#include "base/dpi_win.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "picture/calligraphy_win.h"
#include "picture/picture_loader_win.h"
#include "picture/picture_scale.h"
#include "picture/word_reveal.h"
#include "resources/resource_ids.h"

#include <array>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace {

// A Unicode class, so that its window text (the ayah, for screen readers) is Unicode.
const wchar_t kClassName[] = L"WND_DRAW_BITMAP";
bool classRegistered = false;

// The colours of the letters a search matched: a strong blue on the white paper, amber on
// the night ground; both stand apart from the ink.
const COLORREF kDaySearchMark = RGB(0, 90, 200);
const COLORREF kNightSearchMark = RGB(255, 190, 60);

// An 8-bit DIB section and the two colour tables it takes.
struct DrawnPicture {
    GdiObject<HBITMAP> bitmap;
    SIZE size{};
    std::array<DibColour, 256> day{};
    std::array<DibColour, 256> night{};
    int dpi = 0; // what it was made for
    int zoom = 0;
    bool fromRuns = false; // drawn from the glyph runs in the colours of its scheme
};

class BitmapViewState {
  public:
    virtual ~BitmapViewState() = default;
    HBITMAP bitmap = nullptr; // borrowed, never deleted here
    std::string singlePath;   // the ayah's files; empty when the view shows `bitmap`
    std::string doublePath;
    const Calligraphy* calligraphy = nullptr; // the ayah drawn from the font, when it has runs
    AyahRuns runs;
    int surah = 0; // the ayah of the runs
    int ayah = 0;
    std::vector<bool> marked; // letters a search matched, by code point index
    DrawnPicture drawn;       // from the runs or the files, for the current DPI and zoom
    int zoom = kDefaultZoom;
    bool night = false;
    int shownWords = kAllWordsShown; // of the runs; a picture not drawn from them is hidden whole
};

BitmapViewState* stateOf(HWND window) {
    return reinterpret_cast<BitmapViewState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

int topMargin(HWND window) {
    return scaledForDpi(kPictureTopMargin, windowDpi(window));
}

// Puts a colour table into the DIB section.
void applyColours(const DrawnPicture& drawn, bool night) {
    if (!drawn.bitmap) return;
    MemoryDc memory(nullptr);
    if (!memory) return;
    SelectedObject selected(memory.get(), drawn.bitmap.get());
    const auto& table = night ? drawn.night : drawn.day;
    static_assert(sizeof(RGBQUAD) == sizeof(DibColour), "a colour table entry is an RGBQUAD");
    SetDIBColorTable(memory.get(), 0, 256, reinterpret_cast<const RGBQUAD*>(table.data()));
}

// The DIB section holding the picture, in the day or night colours; null when GDI has none.
HBITMAP makeSection(const DrawablePicture& picture, bool night) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = picture.width;
    info.header.biHeight = -picture.height; // rows top first, as the picture holds them
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 256;
    const auto& table = night ? picture.night : picture.day;
    std::memcpy(info.colours, table.data(), sizeof info.colours);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                       DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        if (section) DeleteObject(section);
        return nullptr;
    }
    // An 8-bit DIB's rows are padded to 4 bytes, as the picture's are.
    std::memcpy(bits, picture.pixels.data(), picture.pixels.size());
    GdiFlush();
    return section;
}

// The glyphs of the ayah after the shown one are drawn ahead this long after a drawing from
// the runs, unless another drawing comes first (as when a key held down steps on).
constexpr UINT_PTR kDrawAheadTimer = 1;
constexpr UINT kDrawAheadDelayMs = 150;

double viewScale(int dpi, int zoom) {
    return dpi * zoom / (96.0 * 100.0);
}

COLORREF colourOf(const DibColour& c) {
    return RGB(c.red, c.green, c.blue);
}

// The ayah drawn from its runs at the scale, in the scheme's colours; false when it cannot be.
bool drawFromRuns(BitmapViewState& state, int dpi) {
    if (!state.calligraphy || state.runs.empty()) return false;
    const double scale = viewScale(dpi, state.zoom);
    RunColours colours;
    colours.ink = state.night ? colourOf(kNightInk) : colourOf(kDayInk);
    colours.paper = state.night ? colourOf(kNightGround) : RGB(255, 255, 255);
    colours.shownWords = state.shownWords;
    if (!state.marked.empty()) {
        colours.markedLetters = &state.marked;
        colours.mark = state.night ? kNightSearchMark : kDaySearchMark;
    }
    state.drawn.bitmap.reset(makeAyahRunsBitmap(*state.calligraphy, state.runs, scale, colours));
    if (!state.drawn.bitmap) return false;
    state.drawn.size = ayahRunsSize(state.runs, scale);
    state.drawn.dpi = dpi;
    state.drawn.zoom = state.zoom;
    state.drawn.fromRuns = true;
    return true;
}

// Draws the ayah's picture for the window's DPI and zoom unless it is drawn already: from the
// runs when the view has them, else from the files. The 2x picture is taken above scale 1;
// without it the 1x picture at its natural size.
void drawFromFilesOrThrow(HWND window, BitmapViewState& state) {
    if (state.singlePath.empty()) return;
    const int dpi = windowDpi(window);
    if (state.drawn.bitmap && state.drawn.dpi == dpi && state.drawn.zoom == state.zoom) return;
    state.drawn = DrawnPicture{};
    if (drawFromRuns(state, dpi)) return;
    PictureSourceChoice choice = choosePictureSource(dpi, state.zoom, !state.doublePath.empty());
    DrawablePicture picture;
    if (choice.set == PictureSet::Double)
        picture = makeDrawablePicture(decodePictureFile(state.doublePath.c_str()), choice);
    if (picture.empty()) {
        choice = choosePictureSource(dpi, state.zoom, false);
        picture = makeDrawablePicture(decodePictureFile(state.singlePath.c_str()), choice);
    }
    if (picture.empty()) return;
    state.drawn.bitmap.reset(makeSection(picture, state.night));
    if (!state.drawn.bitmap) return;
    state.drawn.size = SIZE{picture.width, picture.height};
    state.drawn.day = picture.day;
    state.drawn.night = picture.night;
    state.drawn.dpi = dpi;
    state.drawn.zoom = state.zoom;
}

// The same from the window procedure: without memory for the picture the view shows the
// lent bitmap instead, and no exception leaves.
void drawFromFiles(HWND window, BitmapViewState& state) {
    try {
        drawFromFilesOrThrow(window, state);
    } catch (...) {
        state.drawn = DrawnPicture{};
    }
}

// The bitmap's size; false when there is none or the handle no longer names a bitmap.
bool bitmapSize(HBITMAP bitmap, SIZE& size) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) != sizeof info) return false;
    size = SIZE{info.bmWidth, info.bmHeight};
    return true;
}

// What the view shows: the picture drawn from the files, else the borrowed bitmap.
HBITMAP shownBitmap(const BitmapViewState& state, SIZE& size) {
    if (state.drawn.bitmap) {
        size = state.drawn.size;
        return state.drawn.bitmap.get();
    }
    return bitmapSize(state.bitmap, size) ? state.bitmap : nullptr;
}

void updateScrollBar(HWND window, const BitmapViewState& state) {
    RECT client{};
    GetClientRect(window, &client);
    SIZE picture{};
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    // Without a picture there is nothing to scroll.
    info.nMax = shownBitmap(state, picture) ? picture.cy + topMargin(window) : 0;
    info.nPage = static_cast<UINT>(client.bottom > 0 ? client.bottom : 0);
    SetScrollInfo(window, SB_VERT, &info, TRUE);

    // A zoomed picture wider than the view scrolls across as well; a narrower one needs no
    // bar (the system hides it).
    SCROLLINFO across{};
    across.cbSize = sizeof across;
    across.fMask = SIF_RANGE | SIF_PAGE;
    across.nMax = shownBitmap(state, picture) && picture.cx > client.right ? picture.cx - 1 : 0;
    across.nPage = static_cast<UINT>(client.right > 0 ? client.right : 0);
    SetScrollInfo(window, SB_HORZ, &across, TRUE);
}

SCROLLINFO readScrollBar(HWND window, int bar = SB_VERT) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(window, bar, &info)) info.nMin = info.nMax = info.nPos = 0;
    return info;
}

// A picture wider than the view starts at its right end, where Arabic lines begin.
void scrollToLineStarts(HWND window) {
    SCROLLINFO across = readScrollBar(window, SB_HORZ);
    if (across.nMax <= 0) return;
    across.fMask = SIF_POS;
    across.nPos = across.nMax;
    SetScrollInfo(window, SB_HORZ, &across, TRUE);
}

// Fills the view around the picture (all of it without one) in the ground colour. The
// picture's own place is left alone, so a redraw never shows the ground there first.
void paintGround(HDC dc, const RECT& client, const RECT* picture, bool night) {
    GdiObject<HBRUSH> dark;
    if (night)
        dark.reset(CreateSolidBrush(RGB(kNightGround.red, kNightGround.green, kNightGround.blue)));
    HBRUSH brush = dark ? dark.get() : GetSysColorBrush(COLOR_WINDOW);
    const int saved = SaveDC(dc);
    if (picture) ExcludeClipRect(dc, picture->left, picture->top, picture->right, picture->bottom);
    FillRect(dc, &client, brush);
    if (saved) RestoreDC(dc, saved);
}

// Draws the picture (or, without one, just the ground colour) into dc.
void paintView(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    BitmapViewState* state = stateOf(window);
    SIZE picture{};
    HBITMAP shown = state ? shownBitmap(*state, picture) : nullptr;
    const bool night = state && state->night;
    if (state && state->shownWords >= 0 && !state->drawn.fromRuns) shown = nullptr;
    if (!shown) {
        paintGround(dc, client, nullptr, night);
        return;
    }
    const SCROLLINFO scroll = readScrollBar(window);
    const int left = picture.cx > client.right ? -readScrollBar(window, SB_HORZ).nPos
                                               : client.right / 2 - picture.cx / 2;
    const int top = topMargin(window) - scroll.nPos;
    const RECT place{left, top, left + picture.cx, top + picture.cy};
    paintGround(dc, client, &place, night);
    MemoryDc source(dc);
    if (!source) return;
    SelectedObject selected(source.get(), shown);
    BitBlt(dc, left, top, picture.cx, picture.cy, source.get(), 0, 0, SRCCOPY);
}

int newScrollPosition(const SCROLLINFO& scroll, int code) {
    const int page = static_cast<int>(scroll.nPage);
    switch (code) {
    case SB_LINEUP: return scroll.nPos - 1;
    case SB_LINEDOWN: return scroll.nPos + 1;
    case SB_PAGEUP: return scroll.nPos - page;
    case SB_PAGEDOWN: return scroll.nPos + page;
    case SB_THUMBTRACK: return scroll.nTrackPos;
    case SB_TOP: return scroll.nMin;
    case SB_BOTTOM: return scroll.nMax;
    default: return scroll.nPos;
    }
}

// The picture drawn again for a new scale, its scroll ranges and a repaint without erase.
void redrawForScale(HWND window, BitmapViewState& state) {
    drawFromFiles(window, state);
    updateScrollBar(window, state);
    scrollToLineStarts(window);
    InvalidateRect(window, nullptr, FALSE);
    if (state.drawn.fromRuns) SetTimer(window, kDrawAheadTimer, kDrawAheadDelayMs, nullptr);
}

// The glyphs of the ayah after the shown one (the next surah's first after a surah's last)
// drawn and kept at the view's scale, so that stepping on only places them. Not while the
// view is hidden: another view may be drawing ayat at its own scale.
void drawAhead(HWND window, const BitmapViewState& state) {
    if (!state.calligraphy || !state.drawn.fromRuns || !IsWindowVisible(window)) return;
    try {
        AyahRuns next = state.calligraphy->ayah(state.surah, state.ayah + 1);
        if (next.empty()) next = state.calligraphy->ayah(state.surah + 1, 1);
        state.calligraphy->core().prepare(next, viewScale(state.drawn.dpi, state.drawn.zoom));
    } catch (...) { // without the memory they are drawn when shown
    }
}

LRESULT onCreate(HWND window) {
    auto* state = new (std::nothrow) BitmapViewState;
    if (state) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return 0;
}

LRESULT onDestroy(HWND window) {
    KillTimer(window, kDrawAheadTimer);
    delete stateOf(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return 0;
}

LRESULT onSize(HWND window) {
    if (const BitmapViewState* state = stateOf(window)) updateScrollBar(window, *state);
    return 0;
}

LRESULT onSetPicture(HWND window, HBITMAP bitmap) {
    BitmapViewState* state = stateOf(window);
    if (!state) return 0;
    state->bitmap = bitmap;
    state->singlePath.clear();
    state->doublePath.clear();
    state->runs = AyahRuns{};
    state->marked.clear();
    state->drawn = DrawnPicture{};
    SetScrollPos(window, SB_VERT, 0, FALSE);
    updateScrollBar(window, *state);
    return 0;
}

// A focus rectangle just inside the edge while the view has the keyboard focus.
void paintFocus(HWND window, HDC dc) {
    if (GetFocus() != window) return;
    RECT client{};
    GetClientRect(window, &client);
    InflateRect(&client, -1, -1);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &client);
}

LRESULT onPaint(HWND window) {
    PaintDc paint(window);
    paintView(window, paint.get());
    paintFocus(window, paint.get());
    return 0;
}

LRESULT onVScroll(HWND window, int code) {
    const SCROLLINFO scroll = readScrollBar(window);
    int position = newScrollPosition(scroll, code);
    if (position <= 0)
        position = 0;
    else if (position >= (scroll.nMax < 0 ? -scroll.nMax : scroll.nMax))
        position = scroll.nMax;
    if (position != scroll.nPos) {
        SetScrollPos(window, SB_VERT, position, TRUE);
        InvalidateRect(window, nullptr, FALSE);
    }
    return 0;
}

LRESULT onHScroll(HWND window, int code) {
    SCROLLINFO across = readScrollBar(window, SB_HORZ);
    const int before = across.nPos;
    across.nPos = newScrollPosition(across, code);
    across.fMask = SIF_POS; // the system keeps it within the range less the page
    SetScrollInfo(window, SB_HORZ, &across, TRUE);
    if (readScrollBar(window, SB_HORZ).nPos != before) InvalidateRect(window, nullptr, FALSE);
    return 0;
}

// The window moved to a monitor of another DPI.
// A click takes the focus (so that the keys reveal the next word) and asks the parent for it.
LRESULT onLButtonDown(HWND window) {
    SetFocus(window);
    SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(IDM_REVEAL_WORD, 0),
                 reinterpret_cast<LPARAM>(window));
    return 0;
}

LRESULT onTimer(HWND window, UINT_PTR id) {
    if (id != kDrawAheadTimer) return 0;
    KillTimer(window, id);
    if (const BitmapViewState* state = stateOf(window)) drawAhead(window, *state);
    return 0;
}

LRESULT onDpiChanged(HWND window) {
    if (BitmapViewState* state = stateOf(window)) redrawForScale(window, *state);
    return 0;
}

LRESULT CALLBACK bitmapViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate(window);
    case WM_DESTROY: return onDestroy(window);
    case WM_SETPICTURE: return onSetPicture(window, reinterpret_cast<HBITMAP>(lParam));
    case WM_SIZE: return onSize(window);
    case WM_PAINT: return onPaint(window);
    // What WM_PAINT draws, into a given device context (PrintWindow and the like).
    case WM_PRINTCLIENT: paintView(window, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_VSCROLL: return onVScroll(window, LOWORD(wParam));
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_HSCROLL: return onHScroll(window, LOWORD(wParam));
    // WM_PAINT paints every pixel: no erase, so nothing flickers in between.
    case WM_ERASEBKGND: return 1;
    case WM_DPICHANGED_AFTERPARENT: return onDpiChanged(window);
    case WM_LBUTTONDOWN: return onLButtonDown(window);
    case WM_TIMER: return onTimer(window, static_cast<UINT_PTR>(wParam));
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

HWND createBitmapView(HINSTANCE instance, HWND parent, HBRUSH background) {
    if (!classRegistered) {
        WNDCLASSW windowClass{};
        windowClass.style = 0;
        windowClass.lpfnWndProc = bitmapViewProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconW(nullptr, wideResourceId(IDI_APPLICATION));
        windowClass.hCursor = LoadCursorW(nullptr, wideResourceId(IDC_ARROW));
        windowClass.hbrBackground = background;
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassW(&windowClass)) return nullptr;
        classRegistered = true;
    }
    return CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"",
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance,
                           nullptr);
}

bool showBitmapViewFiles(HWND view, const char* singlePath, const char* doublePath) {
    return showBitmapViewAyah(view, singlePath, doublePath, nullptr, 0, 0);
}

bool showBitmapViewAyah(HWND view, const char* singlePath, const char* doublePath,
                        const Calligraphy* calligraphy, int surah, int ayah) {
    BitmapViewState* state = stateOf(view);
    if (!state || !singlePath) return false;
    try {
        state->singlePath = singlePath;
        state->doublePath = doublePath ? doublePath : "";
        state->calligraphy = calligraphy;
        state->runs = calligraphy ? calligraphy->ayah(surah, ayah) : AyahRuns{};
        state->surah = surah;
        state->ayah = ayah;
        state->marked.clear();
    } catch (...) {
        state->singlePath.clear();
        state->doublePath.clear();
        state->runs = AyahRuns{};
        return false;
    }
    state->drawn = DrawnPicture{};
    SetScrollPos(view, SB_VERT, 0, FALSE);
    redrawForScale(view, *state);
    return static_cast<bool>(state->drawn.bitmap);
}

void setBitmapViewZoom(HWND view, int percent) {
    BitmapViewState* state = stateOf(view);
    if (!state) return;
    const int zoom = zoomFromStored(percent);
    if (zoom == state->zoom) return;
    state->zoom = zoom;
    redrawForScale(view, *state);
}

int bitmapViewZoom(HWND view) {
    const BitmapViewState* state = stateOf(view);
    return state ? state->zoom : kDefaultZoom;
}

void setBitmapViewNight(HWND view, bool night) {
    BitmapViewState* state = stateOf(view);
    if (!state || state->night == night) return;
    state->night = night;
    if (state->drawn.fromRuns) {
        // Drawn again in the other colours: no file is read.
        state->drawn = DrawnPicture{};
        drawFromFiles(view, *state);
    } else {
        applyColours(state->drawn, night);
    }
    // Painted over in place: the picture's pixels change their colours, nothing is erased.
    RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
}

void setBitmapViewShownWords(HWND view, int shownWords) {
    BitmapViewState* state = stateOf(view);
    if (shownWords < 0) shownWords = kAllWordsShown;
    if (!state || state->shownWords == shownWords) return;
    state->shownWords = shownWords;
    if (state->drawn.fromRuns) {
        state->drawn = DrawnPicture{};
        drawFromFiles(view, *state);
    }
    InvalidateRect(view, nullptr, FALSE);
}

int bitmapViewShownWords(HWND view) {
    const BitmapViewState* state = stateOf(view);
    return state ? state->shownWords : kAllWordsShown;
}

int bitmapViewWordCount(HWND view) {
    const BitmapViewState* state = stateOf(view);
    return state && state->drawn.fromRuns ? runsWordCount(state->runs) : 0;
}

bool markBitmapViewText(HWND view, const std::vector<bool>& matchedBytes, bool inSpellingForm) {
    BitmapViewState* state = stateOf(view);
    if (!state) return false;
    try {
        std::vector<bool> marked = inSpellingForm ? lettersOfFormBytes(state->runs, matchedBytes)
                                                  : lettersOfTextBytes(state->runs, matchedBytes);
        if (marked == state->marked) return !marked.empty();
        state->marked = std::move(marked);
    } catch (...) {
        state->marked.clear();
    }
    if (state->drawn.fromRuns) {
        // Drawn again with the marks: the scroll position stays.
        state->drawn = DrawnPicture{};
        drawFromFiles(view, *state);
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
    }
    return !state->marked.empty();
}

std::vector<bool> bitmapViewMarkedLetters(HWND view) {
    const BitmapViewState* state = stateOf(view);
    return state ? state->marked : std::vector<bool>{};
}
