#include "app/main_window_win.h"

#include "recitation/recitation_dialog_win.h"
#include "recitation/recitation_player_win.h"

#include "app/ayah_navigation_win.h"
#include "app/ayah_stepping.h"
#include "app/commands_win.h"
#include "app/control_names_win.h"
#include "app/main_layout.h"
#include "app/night_scheme_win.h"
#include "app/process_state_win.h"
#include "app/recitation_host_win.h"
#include "app/resume_win.h"
#include "resources/version.h"
#include "base/dpi_win.h"
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
    // The translation control's height in pixels as the last layout gave it (after
    // clamping); a drag changes the height from there.
    int shownTranslationHeight = 0;
    // The DPI the window lays out and makes its fonts for: its monitor's at creation, then
    // the one each WM_DPICHANGED names.
    int dpi = kBaseDpi;
    // The font of the row's buttons and lists at any DPI but 96; none at 96, where they
    // show the system's font as they always have.
    HFONT controlFont = nullptr;
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

int dpiOf(HWND window) {
    const MainWindowState* state = stateOf(window);
    return state ? state->dpi : windowDpi(window);
}

HFONT makeFont(int dpi, const char* face, int points) {
    LOGFONTA font{};
    font.lfHeight = -MulDiv(points, dpi, 72);
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
    const int dpi = dpiOf(window);
    replaceFont(process.ayahFont, makeFont(dpi, process.ayahFontName, process.ayahFontSize));
    replaceFont(process.translationFont,
                makeFont(dpi, process.ayahFontName, translationFontPoints(process.ayahFontSize)));
    replaceFont(process.keyboardFont, makeFont(dpi, "Tahoma", 12));
}

void setStatusParts(HWND status, int dpi) {
    int rightEdges[2] = {scaledForDpi(kStatusFirstPart, dpi), -1};
    SendMessageA(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rightEdges));
}

void makeStatusBar(HWND window) {
    HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", window, IDC_STATUS_BAR);
    setStatusParts(status, dpiOf(window));
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
    nameControls(window);
}

// The translation control after the first ayah is in it: colours, font, the character
// format that clears search marks, and margins.
void setUpTranslationControl(HWND window) {
    HWND translation = GetDlgItem(window, IDC_TRANSLATION);
    if (!translation) return;
    SendMessageA(translation, EM_SETBKGNDCOLOR, 0, translationBackgroundInUse());
    SendMessageA(translation, WM_SETFONT, reinterpret_cast<WPARAM>(process.translationFont), TRUE);
    SendDlgItemMessageA(window, IDC_RESULT_LIST, WM_SETFONT,
                        reinterpret_cast<WPARAM>(process.translationFont), TRUE);
    defaultCharFormat = CHARFORMATA{};
    defaultCharFormat.cbSize = sizeof defaultCharFormat;
    SendMessageA(translation, EM_GETCHARFORMAT, SCF_SELECTION,
                 reinterpret_cast<LPARAM>(&defaultCharFormat));
    const int margin = scaledForDpi(kTranslationMargin, dpiOf(window));
    SendMessageA(translation, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELPARAM(margin, margin));
    if (nightSchemeOn()) colourTranslation(translation);
}

void place(HWND window, int id, const Placement& where) {
    if (HWND child = GetDlgItem(window, id))
        MoveWindow(child, where.x, where.y, where.width, where.height, FALSE);
}

void placeFixedRow(HWND window) {
    const FixedRow row = fixedRowFor(dpiOf(window));
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

// The children that show the system's font unless told otherwise: the row's buttons and
// lists, the language list and the two hidden check boxes.
constexpr int kSystemFontChildren[] = {
    IDC_SURAH_LIST, IDC_AYAH_LIST,  IDC_TRANSLATION_SEARCH, IDC_ARABIC_SEARCH,
    IDC_TAJWID,     IDC_CONTINUE,   IDC_RECITATION_SCOPE,   IDC_LISTEN,
    IDC_MATCH_CASE, IDC_WHOLE_WORD, IDC_LANGUAGE_LIST};

// The system font's cell at 96 DPI: 16 pixels high, 7 wide on average. Its width is given
// with its height, so that a font made for another DPI keeps the same proportions (the
// stock font's own description may keep the 96-DPI width at a higher system DPI).
constexpr int kSystemFontHeightAt96 = 16;
constexpr int kSystemFontWidthAt96 = 7;

// At 96 DPI these children keep the system's font (as they always had); at any other they
// get the system's face with its 96-DPI cell scaled by dpi / 96, so that every label takes
// the same share of its control as at 96 DPI.
void fitControlFont(HWND window, MainWindowState& state) {
    HFONT font = nullptr;
    if (state.dpi != kBaseDpi) {
        LOGFONTA description{};
        if (GetObjectA(GetStockObject(SYSTEM_FONT), sizeof description, &description)) {
            description.lfHeight = scaledForDpi(kSystemFontHeightAt96, state.dpi);
            description.lfWidth = scaledForDpi(kSystemFontWidthAt96, state.dpi);
            font = CreateFontIndirectA(&description);
        }
    }
    for (int id : kSystemFontChildren)
        SendDlgItemMessageA(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    replaceFont(state.controlFont, font); // the children hold the new one (or none) already
}

// ---- message handlers ----

bool onCreate(HWND window) {
    auto* state = new (std::nothrow) MainWindowState;
    if (!state) return false;
    state->dpi = windowDpi(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    process.mainWindow = window;
    makeFonts(window);
    makeStatusBar(window);
    makeChildren(window, *state);
    if (state->dpi != kBaseDpi) fitControlFont(window, *state);
    layoutMainWindow(window);
    TextStore::load(readLanguageSetting());
    TextStore::loadArabic();
    fillNavigationLists();
    connectRecitationPlayer();
    const AyahRef start = storedResumeAyah();
    selectAyah(start.surah, start.ayah);
    setUpTranslationControl(window);
    showStoredNightScheme(window);
    return true;
}

void onDestroy(HWND window) {
    closeRecitationDialog(); // a download under way is cancelled, its files cleaned up
    storeReadingPosition(window);
    PostQuitMessage(0);
}

// After the children are gone: the window's own state, and the fonts and picture that
// lived as long as the window that used them.
void onNcDestroy(HWND window) {
    if (MainWindowState* state = stateOf(window)) replaceFont(state->controlFont, nullptr);
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
    if (HBRUSH tile = backgroundBrushInUse()) FillRect(paint.get(), &client, tile);
    RECT frame{0, scaledForDpi(kPictureFrameTop, dpiOf(window)), client.right,
               process.splitterLine};
    DrawEdge(paint.get(), &frame, BDR_SUNKENINNER, BF_RECT);
    splitterBar.paint(paint.get());
}

LRESULT onControlColour(HDC dc) {
    return reinterpret_cast<LRESULT>(colourControl(dc));
}

// The tile of the scheme in force is the only ground: no white of the class brush shows
// before the paint.
LRESULT onEraseBackground(HWND window, HDC dc) {
    HBRUSH tile = backgroundBrushInUse();
    if (!tile) return DefWindowProcA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, tile);
    return 1;
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
    // Kept in 96-DPI units, so that the stored height means the same on every monitor.
    process.translationHeight =
        lengthAt96(state->shownTranslationHeight + (state->dragStartY - point.y), state->dpi);
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
    process.translationFont =
        makeFont(dpiOf(window), process.ayahFontName, translationFontPoints(process.ayahFontSize));
    if (!process.translationFont) {
        process.translationFont = previous;
        return;
    }
    setUpTranslationControl(window);
    if (previous) DeleteObject(previous); // no control uses it any more
    InvalidateRect(window, nullptr, TRUE);
}

// The window came onto a monitor of another DPI (or that monitor's DPI changed): the fonts
// are made again for it, the row and the status bar's parts are scaled, the window takes
// the rectangle the system suggests (and lays out again from its WM_SIZE), and the ayah
// is selected again so that its picture is loaded for the new density.
void onDpiChanged(HWND window, int dpi, const RECT* suggested) {
    MainWindowState* state = stateOf(window);
    if (!state || dpi <= 0) return;
    state->dpi = dpi;
    replaceFont(process.ayahFont, makeFont(dpi, process.ayahFontName, process.ayahFontSize));
    replaceFont(process.keyboardFont, makeFont(dpi, "Tahoma", 12));
    onFontsChanged(window); // the translation's and the result list's font, and the margins
    fitControlFont(window, *state);
    placeFixedRow(window);
    if (HWND status = GetDlgItem(window, IDC_STATUS_BAR)) setStatusParts(status, dpi);
    if (suggested)
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    layoutMainWindow(window);
    const int surah = currentSurah();
    if (surah >= 1) selectAyah(surah, currentAyah() >= 1 ? currentAyah() : 1);
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
    const int dpi = dpiOf(window);
    const MainLayout first = computeMainLayout(width, height, 0, process.translationHeight, dpi);
    place(window, IDC_LANGUAGE_LIST, first.languageList);
    const int statusHeight = placeStatusBar(window, first.statusBar);

    const MainLayout layout =
        computeMainLayout(width, height, statusHeight, process.translationHeight, dpi);
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
    splitterBar.setPosition(layout.splitterLeft, layout.splitterTop, layout.splitterRight,
                            layout.splitterBottom);

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
    case WM_ERASEBKGND: return onEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_NOTIFY: return onNotify(window, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        if (handleMainWindowCommand(window, LOWORD(wParam), HIWORD(wParam),
                                    reinterpret_cast<HWND>(lParam)))
            return 0;
        break;
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: return onControlColour(reinterpret_cast<HDC>(wParam));
    // A drop-down list's face and a check box ask for these: dark at night, by day the
    // system's colours as ever.
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (nightSchemeOn()) return onControlColour(reinterpret_cast<HDC>(wParam));
        break;
    case WM_MOUSEMOVE: onMouseMove(window, mousePoint(lParam)); return 0;
    case WM_LBUTTONDOWN: onLButtonDown(window, mousePoint(lParam)); return 0;
    case WM_LBUTTONUP: onLButtonUp(window, mousePoint(lParam)); return 0;
    case WM_CAPTURECHANGED: onCaptureChanged(window); return 0;
    case WM_TIMER: onTimer(wParam); return 0;
    case WM_FONTS_CHANGED: onFontsChanged(window); return 0;
    case WM_DPICHANGED:
        onDpiChanged(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
