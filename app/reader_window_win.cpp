#include "app/reader_window_win.h"

#include "app/control_names_win.h"
#include "app/main_layout.h"
#include "app/night_scheme_win.h"
#include "app/reading_plan_win.h"
#include "app/translation_area_win.h"
#include "base/dpi_win.h"
#include "base/guards_win.h"
#include "base/message_font_win.h"
#include "base/wide_text_win.h"
#include "base/window_frame_win.h"
#include "picture/bitmap_view_win.h"
#include "recitation/memorise_settings_win.h"
#include "recitation/recitation_dialog_win.h"
#include "resources/resource_ids.h"
#include "resources/version.h"
#include "settings/settings_dialog_win.h"
#include "settings/settings_win.h"
#include "text/text_store.h"

#include <commctrl.h>
#include <windowsx.h>

#include <new>

namespace {

// One child control of the table of creation.
struct ChildControl {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD extendedStyle;
};

const ChildControl kChildren[] = {
    {IDC_TRANSLATION, L"RICHEDIT", L"",
     WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_READONLY | ES_MULTILINE | ES_CENTER, WS_EX_CLIENTEDGE},
    {IDC_RESULT_LIST, L"LISTBOX", L"",
     WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, 0},
    {IDC_SURAH_LIST, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0},
    {IDC_AYAH_LIST, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0},
    {IDC_TRANSLATION_SEARCH, L"BUTTON", L"Cari(ind/eng)",
     WS_CHILD | WS_VISIBLE | BS_FLAT | BS_DEFPUSHBUTTON, 0},
    {IDC_ARABIC_SEARCH, L"BUTTON", L"Cari(Arab)",
     WS_CHILD | WS_VISIBLE | BS_FLAT | BS_DEFPUSHBUTTON, 0},
    {IDC_TAJWID, L"BUTTON", L"Tajwid", WS_CHILD | WS_VISIBLE | BS_FLAT | BS_DEFPUSHBUTTON, 0},
    {IDC_CONTINUE, L"BUTTON", L"Continue", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0},
    {IDC_RECITATION_SCOPE, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
     0},
    {IDC_LISTEN, L"BUTTON", L"Listen", WS_CHILD | WS_VISIBLE | BS_FLAT, 0},
    // Never placed by the layout: size 0, unseen, read by the Arabic search as its options.
    {IDC_MATCH_CASE, L"BUTTON", L"match case", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0},
    {IDC_WHOLE_WORD, L"BUTTON", L"word", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0},
    {IDC_LANGUAGE_LIST, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 0},
};

// The up-down control's odd range: upper 0, lower 100, so that the upward arrow proposes
// a negative step and the downward arrow a positive one.
constexpr int kUpDownUpper = 0;
constexpr int kUpDownLower = 100;

// The children that show the system's message font: the row's buttons and lists, the
// language list, the two hidden check boxes and the status bar.
constexpr int kMessageFontChildren[] = {
    IDC_SURAH_LIST, IDC_AYAH_LIST,  IDC_TRANSLATION_SEARCH, IDC_ARABIC_SEARCH,
    IDC_TAJWID,     IDC_CONTINUE,   IDC_RECITATION_SCOPE,   IDC_LISTEN,
    IDC_MATCH_CASE, IDC_WHOLE_WORD, IDC_LANGUAGE_LIST,      IDC_STATUS_BAR};

HFONT makeFont(int dpi, const std::string& face, int points) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfQuality = PROOF_QUALITY;
    const std::wstring wide = wideFromUtf8(face.c_str());
    lstrcpynW(font.lfFaceName, wide.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

void replaceFont(HFONT& slot, HFONT font) {
    if (slot) DeleteObject(slot);
    slot = font;
}

// The parts follow the bar's width: the page and the marks stay at its right end.
void setStatusParts(HWND status, int dpi) {
    RECT bar{};
    GetClientRect(status, &bar);
    StatusParts parts = statusPartsFor(bar.right - bar.left, dpi);
    SendMessageW(status, SB_SETPARTS, kStatusPartCount, reinterpret_cast<LPARAM>(parts.rightEdges));
}

void place(HWND window, int id, const Placement& where) {
    if (HWND child = GetDlgItem(window, id))
        MoveWindow(child, where.x, where.y, where.width, where.height, FALSE);
}

// The position of a mouse message, in client coordinates. Read as signed words, so that a
// captured drag above or left of the window gives negative numbers, not 65535.
POINT mousePoint(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

void setCheckMark(HWND window, bool night) {
    CheckMenuItem(GetMenu(window), IDM_NIGHT, MF_BYCOMMAND | (night ? MF_CHECKED : MF_UNCHECKED));
}

BOOL CALLBACK invalidateChild(HWND child, LPARAM) {
    // A child erases with its own colours, which are already the new ones.
    InvalidateRect(child, nullptr, TRUE);
    return TRUE;
}

} // namespace

// ---- the object and its window ----

ReaderWindow::ReaderWindow(const ProgramContext& context, const ReaderSettings& settings,
                           int translationHeight)
    : context_(context), settings_(settings), translationHeight_(translationHeight),
      search_(std::make_unique<SearchMemory>()) {}

ReaderWindow::~ReaderWindow() {
    // The players end with the window that started them.
    recitation_.reset();
    replaceFont(controlFont_, nullptr);
    replaceFont(ayahFont_, nullptr);
    replaceFont(translationFont_, nullptr);
    replaceFont(keyboardFont_, nullptr);
    if (currentPicture_) DeleteObject(currentPicture_);
}

bool ReaderWindow::registerClass(HINSTANCE instance) {
    // Once per instance: a class of the name that is not this one (another program's part
    // took it) makes no reader window.
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kMainWindowClass, &existing))
        return existing.lpfnWndProc == windowProc;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN_ICON));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

HWND ReaderWindow::create(const ProgramContext& context, const ReaderSettings& settings,
                          int translationHeight, const RECT* placed) {
    Creation creation{new (std::nothrow) ReaderWindow(context, settings, translationHeight), false};
    if (!creation.reader) return nullptr;
    // From WM_NCCREATE on the window owns the object and deletes it at WM_NCDESTROY, also
    // when the creation fails later.
    const int x = placed ? placed->left : CW_USEDEFAULT;
    const int y = placed ? placed->top : 0;
    const int width = placed ? placed->right - placed->left : CW_USEDEFAULT;
    const int height = placed ? placed->bottom - placed->top : 0;
    HWND window =
        CreateWindowExW(WS_EX_WINDOWEDGE, kMainWindowClass, NORAVEL_CAPTION_W, WS_OVERLAPPEDWINDOW,
                        x, y, width, height, nullptr, nullptr, context.instance, &creation);
    if (!creation.attached) delete creation.reader; // it never reached WM_NCCREATE
    return window;
}

ReaderWindow* ReaderWindow::from(HWND window) {
    wchar_t className[32] = L"";
    if (!window || !GetClassNameW(window, className, 32) ||
        std::wcscmp(className, kMainWindowClass) != 0)
        return nullptr;
    return reinterpret_cast<ReaderWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK ReaderWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* creation =
            static_cast<Creation*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        creation->attached = true;
        creation->reader->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->reader));
    }
    auto* reader = reinterpret_cast<ReaderWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!reader) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete reader;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may leave for the system's frames: out of memory in a handler leaves the
    // window as that handler got it (and a window that cannot be made is not made).
    try {
        return reader->handle(message, wParam, lParam);
    } catch (...) {
        return message == WM_CREATE ? -1 : 0;
    }
}

LRESULT ReaderWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate() ? 0 : -1;
    case WM_DESTROY: onDestroy(); return 0;
    // Windows may log off, restart or shut down: the reader never refuses, and stores what
    // it stores at close, since WM_DESTROY does not come when the session ends.
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: onEndSession(wParam != FALSE); return 0;
    case WM_SIZE: layout(); return 0;
    case WM_PAINT: onPaint(); return 0;
    case WM_ERASEBKGND: return onEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_NOTIFY: return onNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        if (onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) {
            markRecitedAyah(); // Listen and Stop start and end the recited ayah's band
            return 0;
        }
        break;
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: return onControlColour(reinterpret_cast<HDC>(wParam));
    // A drop-down list's face and a check box ask for these: dark at night, by day the
    // system's colours as ever.
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (night_) return onControlColour(reinterpret_cast<HDC>(wParam));
        break;
    case WM_MOUSEMOVE: onMouseMove(mousePoint(lParam)); return 0;
    case WM_LBUTTONDOWN: onLButtonDown(mousePoint(lParam)); return 0;
    case WM_LBUTTONUP: onLButtonUp(mousePoint(lParam)); return 0;
    case WM_CAPTURECHANGED: onCaptureChanged(); return 0;
    case WM_TIMER: onTimer(wParam); return 0;
    case WM_MOUSEWHEEL:
        // The wheel turned over the lists' row or the status bar scrolls the reading view.
        if (readingOn_ && reading_)
            return SendMessageW(reading_->window(), message, wParam, lParam);
        break;
    case WM_FONTS_CHANGED: onFontsChanged(); return 0;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// ---- creation ----

void ReaderWindow::makeFonts() {
    replaceFont(ayahFont_, makeFont(dpi_, settings_.fontName, settings_.fontSize));
    replaceFont(translationFont_,
                makeFont(dpi_, settings_.fontName, translationFontPoints(settings_.fontSize)));
    replaceFont(keyboardFont_, makeFont(dpi_, "Tahoma", 12));
}

void ReaderWindow::makeStatusBar() {
    HWND status = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", window_, IDC_STATUS_BAR);
    setStatusParts(status, dpi_);
}

void ReaderWindow::makeChildren() {
    for (const ChildControl& child : kChildren) {
        const wchar_t* className =
            child.id == IDC_TRANSLATION ? translationAreaClass() : child.className;
        if (!className) continue;
        CreateWindowExW(child.extendedStyle, className, child.text, child.style, 0, 0, 0, 0,
                        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(child.id)),
                        context_.instance, nullptr);
    }
    bitmapView_ = createBitmapView(context_.instance, window_, nullptr);
    if (bitmapView_) setBitmapViewZoom(bitmapView_, readPictureZoom());
    CreateUpDownControl(WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_, IDC_AYAH_STEPPER,
                        context_.instance, nullptr, kUpDownUpper, kUpDownLower, 0);
    nameControls(window_);
}

// The translation control after the first ayah is in it: colours, font, the character
// format that clears search marks, and margins.
void ReaderWindow::setUpTranslationControl() {
    HWND translation = control(IDC_TRANSLATION);
    if (!translation) return;
    SendMessageW(translation, EM_SETBKGNDCOLOR, 0,
                 translationBackgroundFor(night_, kTranslationBackground));
    SendMessageW(translation, WM_SETFONT, reinterpret_cast<WPARAM>(translationFont_), TRUE);
    SendMessageW(control(IDC_RESULT_LIST), WM_SETFONT, reinterpret_cast<WPARAM>(translationFont_),
                 TRUE);
    // The control's default format carries the ayah font (the text may carry a script's face).
    defaultCharFormat_ = CHARFORMAT2W{};
    defaultCharFormat_.cbSize = sizeof defaultCharFormat_;
    SendMessageW(translation, EM_GETCHARFORMAT, SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&defaultCharFormat_));
    const int margin = scaledForDpi(kTranslationMargin, dpi_);
    SendMessageW(translation, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELPARAM(margin, margin));
    if (night_) colourTranslation(translation, true, kTranslationBackground, defaultCharFormat_);
}

// The controls take the message font of the window's DPI, the font of the system's own
// dialogs; where the system gives none they keep what they have.
void ReaderWindow::fitControlFont() {
    HFONT font = createMessageFont(dpi_);
    if (!font) return;
    for (int id : kMessageFontChildren)
        SendMessageW(control(id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    replaceFont(controlFont_, font); // the children hold the new one already
}

void ReaderWindow::placeFixedRow() {
    const FixedRow row = fixedRowFor(dpi_);
    place(window_, IDC_SURAH_LIST, row.surahList);
    place(window_, IDC_AYAH_LIST, row.ayahList);
    place(window_, IDC_AYAH_STEPPER, row.upDown);
    place(window_, IDC_TRANSLATION_SEARCH, row.translationSearch);
    place(window_, IDC_ARABIC_SEARCH, row.arabicSearch);
    place(window_, IDC_TAJWID, row.tajwid);
    place(window_, IDC_LISTEN, row.listen);
    place(window_, IDC_CONTINUE, row.continueBox);
    place(window_, IDC_RECITATION_SCOPE, row.recitationScope);
}

// Places the status bar and returns its height.
int ReaderWindow::placeStatusBar(int x, int y, int width, int height) {
    HWND status = control(IDC_STATUS_BAR);
    if (!status) return 0;
    MoveWindow(status, x, y, width, height, FALSE);
    SendMessageW(status, WM_SIZE, 0, 0); // the bar moves itself to the bottom edge
    setStatusParts(status, dpi_);
    RECT client;
    GetClientRect(status, &client);
    return client.bottom - client.top;
}

void ReaderWindow::layout() {
    RECT client;
    GetClientRect(window_, &client);
    if (firstLayout_) placeFixedRow();

    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const MainLayout first = computeMainLayout(width, height, 0, translationHeight_, dpi_);
    place(window_, IDC_LANGUAGE_LIST, first.languageList);
    const Placement& bar = first.statusBar;
    const int statusHeight = placeStatusBar(bar.x, bar.y, bar.width, bar.height);

    const MainLayout laid =
        computeMainLayout(width, height, statusHeight, translationHeight_, dpi_);
    place(window_, IDC_RESULT_LIST, laid.resultList);
    if (bitmapView_) {
        const Placement& view = laid.bitmapView;
        MoveWindow(bitmapView_, view.x, view.y, view.width, view.height, FALSE);
    }
    shownTranslationHeight_ = laid.translationHeight;
    place(window_, IDC_TRANSLATION, laid.translation);
    splitterLine_ = laid.splitterLine;
    splitterBar_.setPosition(laid.splitterLeft, laid.splitterTop, laid.splitterRight,
                             laid.splitterBottom);
    placeReadingView(
        RECT{0, laid.bitmapView.y, width, laid.translation.y + laid.translation.height});

    InvalidateRect(window_, nullptr, FALSE);
    firstLayout_ = false;
}

// ---- message handlers ----

bool ReaderWindow::onCreate() {
    dpi_ = windowDpi(window_);
    makeFonts();
    makeStatusBar();
    makeChildren();
    fitControlFont();
    layout();
    TextStore::load(settings_.language);
    TextStore::loadArabic();
    fillNavigationLists();
    recitation_ = std::make_unique<RecitationPlayer>(context_, *this);
    char speed[32]; // the speed in the status bar while it is not 1
    if (formatSpeedStatus(speed, sizeof speed, readMemoriseSettings().speedPercent) && speed[0])
        setStatusText(1, speed);
    const AyahRef start = storedResumeAyah();
    if (readHideText()) setHiding(true);
    goToAyah(start);
    setUpTranslationControl();
    // By day a new window already has the day colours: nothing to change then.
    if (readNightScheme()) showScheme(true);
    if (readReadingView()) showReadingView(true);
    return true;
}

void ReaderWindow::onDestroy() {
    closeRecitationDialog(); // a download under way is cancelled, its files cleaned up
    resume_.storeAtClose(window_, shownAyah(), translationHeight_);
    saveReadingPlanNow();
    PostQuitMessage(0);
}

// The session ends with the reader open: what the close stores is stored now, and the
// recitation's players and a download end with it. The window stays as it is: Windows
// ends the process without a WM_DESTROY.
void ReaderWindow::onEndSession(bool ending) {
    if (!ending) return; // the end was called off
    closeRecitationDialog();
    resume_.storeAtClose(window_, shownAyah(), translationHeight_);
    saveReadingPlanNow();
    if (recitation_) recitation_->endWithReader();
}

void ReaderWindow::onPaint() {
    PaintDc paint(window_);
    excludeReadingView(paint.get());
    RECT client;
    GetClientRect(window_, &client);
    if (HBRUSH tile = backgroundBrushFor(context_, night_)) FillRect(paint.get(), &client, tile);
    RECT frame{0, scaledForDpi(kPictureFrameTop, dpi_), client.right, splitterLine_};
    DrawEdge(paint.get(), &frame, BDR_SUNKENINNER, BF_RECT);
    splitterBar_.paint(paint.get());
}

LRESULT ReaderWindow::onControlColour(HDC dc) {
    return reinterpret_cast<LRESULT>(colourControl(context_, night_, dc));
}

// The tile of the scheme in force is the only ground: no white of the class brush shows
// before the paint.
LRESULT ReaderWindow::onEraseBackground(HDC dc) {
    HBRUSH tile = backgroundBrushFor(context_, night_);
    if (!tile) return DefWindowProcW(window_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window_, &client);
    excludeReadingView(dc);
    FillRect(dc, &client, tile);
    return 1;
}

LRESULT ReaderWindow::onNotify(const NMHDR* header) {
    if (header->idFrom == IDC_AYAH_STEPPER && header->code == UDN_DELTAPOS)
        stepAyah(reinterpret_cast<const NMUPDOWN*>(header)->iDelta);
    return 0;
}

void ReaderWindow::onTimer(WPARAM id) {
    if (id == kResumeTimer) {
        resume_.onTimer(window_);
    } else if (id == kReadingPlanTimer) {
        readingPlanTimer(window_);
    } else if (id == kReadingRestTimer) {
        onReadingRestTimer();
    } else if (recitation_) {
        recitation_->onTimer();
        markRecitedAyah();
    }
}

// The Settings dialog accepted a face or size (or the DPI changed): the translation and the
// result list take the new font at once. Search marks are cleared with the old format
// before the format of the new font is captured.
void ReaderWindow::onFontsChanged() {
    clearTranslationMarks();
    HFONT made = makeFont(dpi_, settings_.fontName, translationFontPoints(settings_.fontSize));
    if (!made) return;
    HFONT previous = translationFont_;
    translationFont_ = made;
    setUpTranslationControl();
    if (previous) DeleteObject(previous); // no control uses it any more
    // The new font replaced the faces given to the scripts of the text shown: show it again.
    const AyahRef shown = shownAyah();
    if (shown.surah >= 1 && shown.ayah >= 1) showTranslation(shown);
    refreshReadingLook(); // the DPI or the font changed
    InvalidateRect(window_, nullptr, TRUE);
}

// The window came onto a monitor of another DPI (or that monitor's DPI changed): the fonts
// are made again for it (the search marks are set again in the new one), the row and the
// status bar's parts are scaled, and the window takes the rectangle the system suggests
// (and lays out again from its WM_SIZE). The ayah stays as it is: the picture view draws
// itself for the new density at WM_DPICHANGED_AFTERPARENT and keeps its scroll position.
void ReaderWindow::onDpiChanged(int dpi, const RECT* suggested) {
    if (dpi <= 0) return;
    dpi_ = dpi;
    replaceFont(ayahFont_, makeFont(dpi, settings_.fontName, settings_.fontSize));
    replaceFont(keyboardFont_, makeFont(dpi, "Tahoma", 12));
    const std::vector<TextRange> marks = translationMarks_;
    onFontsChanged(); // the translation's and the result list's font, and the margins
    for (const TextRange& mark : marks)
        boldTranslationRange(mark.start, mark.end);
    fitControlFont();
    placeFixedRow();
    if (HWND status = control(IDC_STATUS_BAR)) setStatusParts(status, dpi);
    if (suggested)
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    layout();
    InvalidateRect(window_, nullptr, TRUE);
}

// ---- the schemes and the font ----

void ReaderWindow::showScheme(bool night) {
    night_ = night;
    setCheckMark(window_, night);
    useDarkTitleBar(window_, night); // where the system knows it
    themeControlsForScheme(window_, night);
    if (bitmapView_) setBitmapViewNight(bitmapView_, night);
    refreshReadingLook();
    colourTranslation(control(IDC_TRANSLATION), night, kTranslationBackground, defaultCharFormat_);
    EnumChildWindows(window_, invalidateChild, 0);
    // The window itself is not erased first: its paint covers the whole client with the
    // new tile, so the old colours never show.
    RedrawWindow(window_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
}

void ReaderWindow::toggleNightScheme() {
    showScheme(!night_);
    writeNightScheme(night_);
}

void ReaderWindow::showAyahFont(const std::string& face, int size) {
    settings_.fontName = face;
    settings_.fontSize = size;
    // The old font goes only once its replacement exists.
    if (HFONT made = makeFont(dpi_, settings_.fontName, settings_.fontSize))
        replaceFont(ayahFont_, made);
    InvalidateRect(window_, nullptr, FALSE);
    onFontsChanged(); // the translation and the result list take the new face and size
}

void ReaderWindow::applyAyahFont(const std::string& face, int size) {
    showAyahFont(face, size);
    writeSettingString(kFontNameValue, settings_.fontName.c_str());
    writeSettingDword(kFontSizeValue, settings_.fontSize);
}

INT_PTR ReaderWindow::chooseAyahFont() {
    FontChoice choice{settings_.fontName, settings_.fontSize};
    const INT_PTR result = showSettingsDialog(context_.instance, window_, choice);
    if (result == IDOK) applyAyahFont(choice.face, choice.size);
    return result;
}

void ReaderWindow::openRecitationDialog() {
    ::openRecitationDialog(window_, context_.prompts);
}
