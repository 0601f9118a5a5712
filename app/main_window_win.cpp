#include "app/main_window_win.h"

#include "external/recitation_player_win.h"

#include "app/ayah_navigation_win.h"
#include "app/ayah_stepping.h"
#include "app/commands_win.h"
#include "app/main_layout.h"
#include "app/process_state_win.h"
#include "app/recitation_host_win.h"
#include "app/resume_win.h"
#include "app/version.h"
#include "base/guards_win.h"
#include "picture/bitmap_view_win.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"
#include "text/text_store.h"

#include <commctrl.h>
#include <richedit.h>
#include <windowsx.h>

#include <cstring>
#include <new>

namespace {

// State of the main window that no other part reads: its bitmap view and the splitter drag.
struct MainWindowState {
    virtual ~MainWindowState() = default;
    HWND bitmapView = nullptr;
    bool dragging = false;
    POINT lastMouse{0, 0};
    int dragStartY = 0;
    // The translation control's height as the last layout gave it (after clamping); a drag
    // changes the height from there.
    int shownTranslationHeight = 0;
};

MainWindowState* stateOf(HWND window) {
    return reinterpret_cast<MainWindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// One child control of the table of creation.
struct ChildControl {
    int id;
    const char* className;
    const char* text;
    DWORD style;
    DWORD extendedStyle;
};

const ChildControl kChildren[] = {
    {IDC_TRANSLATION, "RICHEDIT", "",
     WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_READONLY | ES_MULTILINE | ES_CENTER, WS_EX_CLIENTEDGE},
    {IDC_RESULT_LIST, "LISTBOX", "",
     WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 0},
    {IDC_SURAH_LIST, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0},
    {IDC_AYAH_LIST, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0},
    {IDC_TRANSLATION_SEARCH, "BUTTON", "Cari(ind/eng)",
     WS_CHILD | WS_VISIBLE | BS_FLAT | BS_DEFPUSHBUTTON, 0},
    {IDC_ARABIC_SEARCH, "BUTTON", "Cari(Arab)", WS_CHILD | WS_VISIBLE | BS_FLAT | BS_DEFPUSHBUTTON,
     0},
    {IDC_TAJWID, "BUTTON", "Tajwid", WS_CHILD | WS_VISIBLE | BS_FLAT | BS_DEFPUSHBUTTON, 0},
    {IDC_CONTINUE, "BUTTON", "Continue", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0},
    {IDC_RECITATION_SCOPE, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
     0},
    {IDC_LISTEN, "BUTTON", "Listen", WS_CHILD | WS_VISIBLE | BS_FLAT, 0},
    // Never placed by the layout: size 0, unseen, read by the Arabic search as its options.
    {IDC_MATCH_CASE, "BUTTON", "match case", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0},
    {IDC_WHOLE_WORD, "BUTTON", "word", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0},
    {IDC_LANGUAGE_LIST, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0},
};

// The up-down control's odd range: upper 0, lower 100, so that the upward arrow proposes
// a negative step and the downward arrow a positive one.
constexpr int kUpDownUpper = 0;
constexpr int kUpDownLower = 100;

HFONT makeFont(HDC dc, const char* face, int points) {
    LOGFONTA font{};
    font.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfWeight = FW_NORMAL;
    font.lfQuality = PROOF_QUALITY;
    std::strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
    return CreateFontIndirectA(&font);
}

void replaceFont(HFONT& slot, HFONT font) {
    if (slot) DeleteObject(slot);
    slot = font;
}

void makeFonts(HWND window) {
    WindowDc dc(window);
    replaceFont(process.ayahFont, makeFont(dc.get(), process.ayahFontName, process.ayahFontSize));
    replaceFont(process.translationFont, makeFont(dc.get(), process.ayahFontName,
                                                  translationFontPoints(process.ayahFontSize)));
    replaceFont(process.keyboardFont, makeFont(dc.get(), "Tahoma", 12));
}

void makeStatusBar(HWND window) {
    HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", window, IDC_STATUS_BAR);
    int rightEdges[2] = {50, -1};
    SendMessageA(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rightEdges));
}

void makeChildren(HWND window, MainWindowState& state) {
    for (const ChildControl& child : kChildren) {
        CreateWindowExA(child.extendedStyle, child.className, child.text, child.style, 0, 0, 0, 0,
                        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)),
                        process.instance, nullptr);
    }
    state.bitmapView = createBitmapView(process.instance, window, nullptr);
    if (state.bitmapView) setBitmapViewZoom(state.bitmapView, readPictureZoom());
    CreateUpDownControl(WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, IDC_AYAH_STEPPER,
                        process.instance, nullptr, kUpDownUpper, kUpDownLower, 0);
}

// The translation control after the first ayah is in it: colours, font, the character
// format that clears search marks, and margins.
void setUpTranslationControl(HWND window) {
    HWND translation = GetDlgItem(window, IDC_TRANSLATION);
    if (!translation) return;
    SendMessageA(translation, EM_SETBKGNDCOLOR, 0, kTranslationBackground);
    SendMessageA(translation, WM_SETFONT, reinterpret_cast<WPARAM>(process.translationFont), TRUE);
    SendDlgItemMessageA(window, IDC_RESULT_LIST, WM_SETFONT,
                        reinterpret_cast<WPARAM>(process.translationFont), TRUE);
    defaultCharFormat = CHARFORMATA{};
    defaultCharFormat.cbSize = sizeof defaultCharFormat;
    SendMessageA(translation, EM_GETCHARFORMAT, SCF_SELECTION,
                 reinterpret_cast<LPARAM>(&defaultCharFormat));
    SendMessageA(translation, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(10, 10));
}

void place(HWND window, int id, const Placement& where) {
    if (HWND child = GetDlgItem(window, id))
        MoveWindow(child, where.x, where.y, where.width, where.height, FALSE);
}

void placeFixedRow(HWND window) {
    const FixedRow row;
    place(window, IDC_SURAH_LIST, row.surahList);
    place(window, IDC_AYAH_LIST, row.ayahList);
    place(window, IDC_AYAH_STEPPER, row.upDown);
    place(window, IDC_TRANSLATION_SEARCH, row.translationSearch);
    place(window, IDC_ARABIC_SEARCH, row.arabicSearch);
    place(window, IDC_TAJWID, row.tajwid);
    place(window, IDC_LISTEN, row.listen);
    place(window, IDC_CONTINUE, row.continueBox);
    place(window, IDC_RECITATION_SCOPE, row.recitationScope);
}

// Places the status bar and returns its height.
int placeStatusBar(HWND window, const Placement& where) {
    HWND status = GetDlgItem(window, IDC_STATUS_BAR);
    if (!status) return 0;
    MoveWindow(status, where.x, where.y, where.width, where.height, FALSE);
    SendMessageA(status, WM_SIZE, 0, 0); // the bar moves itself to the bottom edge
    RECT client;
    GetClientRect(status, &client);
    return client.bottom - client.top;
}

// ---- message handlers ----

bool onCreate(HWND window) {
    auto* state = new (std::nothrow) MainWindowState;
    if (!state) return false;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    process.mainWindow = window;
    makeFonts(window);
    makeStatusBar(window);
    makeChildren(window, *state);
    layoutMainWindow(window);
    TextStore::load();
    TextStore::loadArabic();
    fillNavigationLists();
    connectRecitationPlayer();
    const AyahRef start = storedResumeAyah();
    selectAyah(start.surah, start.ayah);
    setUpTranslationControl(window);
    return true;
}

void onDestroy(HWND window) {
    storeReadingPosition(window);
    PostQuitMessage(0);
}

// After the children are gone: the window's own state, and the fonts and picture that
// lived as long as the window that used them.
void onNcDestroy(HWND window) {
    delete stateOf(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    replaceFont(process.ayahFont, nullptr);
    replaceFont(process.translationFont, nullptr);
    replaceFont(process.keyboardFont, nullptr);
    if (currentPicture) {
        DeleteObject(currentPicture);
        currentPicture = nullptr;
    }
    if (process.mainWindow == window) process.mainWindow = nullptr;
}

void onPaint(HWND window) {
    PaintDc paint(window);
    RECT client;
    GetClientRect(window, &client);
    if (process.backgroundBrush) FillRect(paint.get(), &client, process.backgroundBrush);
    RECT frame{0, kPictureFrameTop, client.right, process.splitterLine};
    DrawEdge(paint.get(), &frame, BDR_SUNKENINNER, BF_RECT);
    splitterBar.paint(paint.get());
}

LRESULT onControlColour(HDC dc) {
    SetBkColor(dc, kControlColour);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(process.controlBrush);
}

int listSelection(HWND window, int id) {
    return static_cast<int>(SendDlgItemMessageA(window, id, CB_GETCURSEL, 0, 0));
}

} // namespace

void stepAyahInLists(HWND window, int delta) {
    const int surah = listSelection(window, IDC_SURAH_LIST) + 1;
    const int ayah = listSelection(window, IDC_AYAH_LIST) + 1;
    const AyahStep step = stepAyah(surah, ayah, delta, TextStore::ayahCount);
    if (step.changesSurah) {
        selectAyah(step.surah, step.ayah);
    } else {
        SendDlgItemMessageA(window, IDC_AYAH_LIST, CB_SETCURSEL, step.ayah - 1, 0);
        showAyah(step.surah, step.ayah);
    }
}

namespace {

LRESULT onNotify(HWND window, const NMHDR* header) {
    if (header->idFrom == IDC_AYAH_STEPPER && header->code == UDN_DELTAPOS)
        stepAyahInLists(window, reinterpret_cast<const NMUPDOWN*>(header)->iDelta);
    return 0;
}

HCURSOR arrowCursor() {
    static const HCURSOR cursor = LoadCursorA(nullptr, IDC_ARROW);
    return cursor;
}

HCURSOR resizeCursor() {
    static const HCURSOR cursor = LoadCursorA(nullptr, IDC_SIZENS);
    return cursor;
}

bool onTheBar(POINT point) {
    RECT bar;
    splitterBar.getRect(&bar);
    return PtInRect(&bar, point) != FALSE;
}

// The position of a mouse message, in client coordinates. Read as signed words, so that a
// captured drag above or left of the window gives negative numbers, not 65535.
POINT mousePoint(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

void onMouseMove(HWND window, POINT point) {
    MainWindowState* state = stateOf(window);
    if (!state) return;
    state->lastMouse = point;
    SetCursor(state->dragging || onTheBar(point) ? resizeCursor() : arrowCursor());
    if (state->dragging) {
        WindowDc dc(window);
        splitterBar.trackDrag(dc.get(), nullptr);
        splitterBar.trackDrag(dc.get(), &point);
    }
}

void onLButtonDown(HWND window, POINT point) {
    MainWindowState* state = stateOf(window);
    if (!state) return;
    state->lastMouse = point;
    if (state->dragging || !onTheBar(point)) return;
    SetCapture(window);
    state->dragging = true;
    WindowDc dc(window);
    splitterBar.trackDrag(dc.get(), &point);
    state->dragStartY = point.y;
}

void onLButtonUp(HWND window, POINT point) {
    MainWindowState* state = stateOf(window);
    if (!state) return;
    state->lastMouse = point;
    if (!state->dragging) return;
    state->dragging = false; // before ReleaseCapture, whose WM_CAPTURECHANGED must find it done
    ReleaseCapture();
    {
        WindowDc dc(window);
        splitterBar.trackDrag(dc.get(), nullptr);
    }
    if (!splitterBar.moved()) return;
    RECT bar;
    splitterBar.getRect(&bar);
    InvalidateRect(window, &bar, TRUE);
    UpdateWindow(window);
    splitterBar.clearMoved();
    process.translationHeight = state->shownTranslationHeight + (state->dragStartY - point.y);
    layoutMainWindow(window);
}

// Another window took the capture in the middle of a drag: the feedback is erased where it
// is and the drag ends without a move, so the dragging state never outlives the capture.
void onCaptureChanged(HWND window) {
    MainWindowState* state = stateOf(window);
    if (!state || !state->dragging) return;
    state->dragging = false;
    WindowDc dc(window);
    splitterBar.trackDrag(dc.get(), nullptr);
    if (splitterBar.moved()) {
        splitterBar.clearMoved();
        layoutMainWindow(window);
    }
}

void onTimer(WPARAM id) {
    if (id == kResumeTimer)
        onResumeTimer();
    else
        RecitationPlayer::onTimer();
}

// The Settings dialog accepted a face or size: the translation and the result list take
// the new font at once. Search marks are cleared with the old format before the format of
// the new font is captured.
void onFontsChanged(HWND window) {
    HWND translation = GetDlgItem(window, IDC_TRANSLATION);
    if (translation && defaultCharFormat.cbSize != 0)
        SendMessageA(translation, EM_SETCHARFORMAT, SCF_ALL,
                     reinterpret_cast<LPARAM>(&defaultCharFormat));
    HFONT previous = process.translationFont;
    {
        WindowDc dc(window);
        process.translationFont =
            makeFont(dc.get(), process.ayahFontName, translationFontPoints(process.ayahFontSize));
    }
    if (!process.translationFont) {
        process.translationFont = previous;
        return;
    }
    setUpTranslationControl(window);
    if (previous) DeleteObject(previous); // no control uses it any more
    InvalidateRect(window, nullptr, TRUE);
}

} // namespace

bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MAIN_ICON));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

HWND createMainWindow(HINSTANCE instance) {
    return CreateWindowExA(WS_EX_WINDOWEDGE, kMainWindowClass, NORAVEL_CAPTION, WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
}

HWND bitmapViewWindow() {
    MainWindowState* state = process.mainWindow ? stateOf(process.mainWindow) : nullptr;
    return state ? state->bitmapView : nullptr;
}

void layoutMainWindow(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    if (process.firstLayout) placeFixedRow(window);

    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const MainLayout first = computeMainLayout(width, height, 0, process.translationHeight);
    place(window, IDC_LANGUAGE_LIST, first.languageList);
    const int statusHeight = placeStatusBar(window, first.statusBar);

    const MainLayout layout =
        computeMainLayout(width, height, statusHeight, process.translationHeight);
    place(window, IDC_RESULT_LIST, layout.resultList);
    if (MainWindowState* state = stateOf(window)) {
        if (state->bitmapView) {
            const Placement& view = layout.bitmapView;
            MoveWindow(state->bitmapView, view.x, view.y, view.width, view.height, FALSE);
        }
        state->shownTranslationHeight = layout.translationHeight;
    }
    place(window, IDC_TRANSLATION, layout.translation);
    process.splitterLine = layout.splitterLine;
    splitterBar.setPosition(layout.splitterLeft, layout.splitterTop, layout.splitterRight, 0);

    InvalidateRect(window, nullptr, FALSE);
    process.firstLayout = false;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate(window) ? 0 : -1;
    case WM_DESTROY: onDestroy(window); return 0;
    case WM_NCDESTROY: onNcDestroy(window); break;
    case WM_SIZE: layoutMainWindow(window); return 0;
    case WM_PAINT: onPaint(window); return 0;
    case WM_NOTIFY: return onNotify(window, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        if (handleMainWindowCommand(window, LOWORD(wParam), HIWORD(wParam),
                                    reinterpret_cast<HWND>(lParam)))
            return 0;
        break;
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: return onControlColour(reinterpret_cast<HDC>(wParam));
    case WM_MOUSEMOVE: onMouseMove(window, mousePoint(lParam)); return 0;
    case WM_LBUTTONDOWN: onLButtonDown(window, mousePoint(lParam)); return 0;
    case WM_LBUTTONUP: onLButtonUp(window, mousePoint(lParam)); return 0;
    case WM_CAPTURECHANGED: onCaptureChanged(window); return 0;
    case WM_TIMER: onTimer(wParam); return 0;
    case WM_FONTS_CHANGED: onFontsChanged(window); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
