// The bitmap view's window class and procedure. Its state (the borrowed bitmap) lives in
// a small object reached through the window's user data.
#include "picture/bitmap_view_win.h"

#include "base/guards_win.h"
#include "resources/resource_ids.h"

#include <new>

namespace {

// A Unicode class, so that its window text (the ayah, for screen readers) is Unicode.
const wchar_t kClassName[] = L"WND_DRAW_BITMAP";
bool classRegistered = false;

class BitmapViewState {
  public:
    virtual ~BitmapViewState() = default;
    HBITMAP bitmap = nullptr; // borrowed, never deleted here
};

BitmapViewState* stateOf(HWND window) {
    return reinterpret_cast<BitmapViewState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The bitmap's size; false when there is none or the handle no longer names a bitmap.
bool bitmapSize(HBITMAP bitmap, SIZE& size) {
    BITMAP info{};
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info) return false;
    size = SIZE{info.bmWidth, info.bmHeight};
    return true;
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
    info.nMax = bitmapSize(state.bitmap, picture) ? picture.cy + kPictureTopMargin : 0;
    info.nPage = static_cast<UINT>(client.bottom > 0 ? client.bottom : 0);
    SetScrollInfo(window, SB_VERT, &info, TRUE);
}

SCROLLINFO readScrollBar(HWND window) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(window, SB_VERT, &info)) info.nMin = info.nMax = info.nPos = 0;
    return info;
}

// Draws the picture (or, without one, just the window colour) into dc.
void paintView(HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));

    const BitmapViewState* state = stateOf(window);
    SIZE picture{};
    if (!state || !bitmapSize(state->bitmap, picture)) return;
    const SCROLLINFO scroll = readScrollBar(window);
    MemoryDc source(dc);
    if (!source) return;
    SelectedObject selected(source.get(), state->bitmap);
    BitBlt(dc, client.right / 2 - picture.cx / 2, kPictureTopMargin - scroll.nPos, picture.cx,
           picture.cy, source.get(), 0, 0, SRCCOPY);
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

LRESULT onCreate(HWND window) {
    auto* state = new (std::nothrow) BitmapViewState;
    if (state) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return 0;
}

LRESULT onDestroy(HWND window) {
    delete stateOf(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
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
        InvalidateRect(window, nullptr, TRUE);
    }
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
        windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
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

// Placeholder until the night scheme lands: the picture keeps its colours.
void setBitmapViewNight(HWND, bool) {}
