// morvent: the reader's tajwid companion. It shows the ayah the reader shows as a picture in
// which every letter is coloured by its rule of recitation (drawn from the font and the glyph
// runs beside the program, at the window's size), with a legend of the colours, and follows the
// reader from ayah to ayah by reading the reader's surah and ayah lists about twice a second.
// Without a reader it has a surah and ayah choice of its own. Started again (a second click
// on Tajwid), it brings the running window to the front and ends.
#include "base/dpi_win.h"
#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "picture/calligraphy_win.h"
#include "tajwid/tajwid_legend.h"
#include "tajwid/tajwid_view.h"
#include "text/text_store.h"

#include "resources/resource_ids.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kClassName[] = L"MORVENT";
constexpr wchar_t kPictureClassName[] = L"MORVENT_AYAH";
constexpr wchar_t kRulesClassName[] = L"MORVENT_RULES";
constexpr wchar_t kRulesCaption[] = L"Tajwid - the rules of recitation";
constexpr wchar_t kReaderClassName[] = L"AL-QURAN";
constexpr wchar_t kInstanceMutex[] = L"Noravel.Morvent.Tajwid";
constexpr int kReaderSurahList = 303;
constexpr int kReaderAyahList = 304;

enum ControlId {
    kSurahList = 101,
    kAyahList = 102,
    kRulesButton = 103,
    kPicture = 104,
    kRulesText = 105,
};
constexpr UINT_PTR kFollowTimer = 1;
constexpr UINT kFollowMs = 500;
constexpr UINT kDpiChanged = 0x02E0; // WM_DPICHANGED

const wchar_t kRules[] =
    L"TAJWID: THE MAIN RULES OF RECITATION\r\n"
    "\r\n"
    "Tajwid means giving every letter its due: its place of articulation, its qualities and "
    "its length. The rules below are the ones a reader meets on nearly every page.\r\n"
    "\r\n"
    "1. NUN SAKINAH AND TANWIN (a nun without a vowel, or the doubled ending -an, -in, -un)\r\n"
    "   Izhar (clear): before the six throat letters (hamzah, ha, ain, ha, ghin, kha) the nun "
    "is pronounced plainly, without nasal prolongation.\r\n"
    "   Idgham (merging): before ya, nun, mim and wau the nun merges into the next letter "
    "with a nasal sound (ghunnah); before lam and ra it merges without ghunnah. Inside one "
    "word there is no idgham.\r\n"
    "   Iqlab (turning): before ba the nun turns into a hidden mim, held with ghunnah.\r\n"
    "   Ikhfa (hiding): before the remaining fifteen letters the nun is hidden: the tongue "
    "prepares the next letter while the nose carries the sound for about two counts.\r\n"
    "\r\n"
    "2. MIM SAKINAH (a mim without a vowel)\r\n"
    "   Ikhfa syafawi: before ba the mim is hidden with the lips lightly closed, with ghunnah.\r\n"
    "   Idgham mitslain: before another mim the two merge into one doubled mim with ghunnah.\r\n"
    "   Izhar syafawi: before every other letter the mim is clear, above all before wau and "
    "fa.\r\n"
    "\r\n"
    "3. GHUNNAH\r\n"
    "   A doubled nun or a doubled mim (with shaddah) is always held with a nasal sound of "
    "two counts.\r\n"
    "\r\n"
    "4. QALQALAH (echo)\r\n"
    "   The five letters qaf, tha, ba, jim and dal, when they carry no vowel, are released "
    "with a slight bounce. The bounce is stronger when the reader stops on such a letter at "
    "the end of an ayah.\r\n"
    "\r\n"
    "5. MAD (lengthening)\r\n"
    "   Natural mad: alif after fathah, ya after kasrah and wau after dammah are held for two "
    "counts.\r\n"
    "   Connected mad (wajib muttasil): a mad letter followed by hamzah in the same word, four "
    "or five counts.\r\n"
    "   Separated mad (jaiz munfasil): a mad letter at the end of a word and hamzah at the "
    "start of the next, two, four or five counts.\r\n"
    "   Mad arid lissukun: a mad letter before the last letter of an ayah where the reader "
    "stops, two, four or six counts.\r\n"
    "   Mad lazim: a mad letter followed by a letter with a fixed sukun or shaddah, six "
    "counts.\r\n"
    "\r\n"
    "6. LAM OF THE ARTICLE (al-)\r\n"
    "   Qamariyah (moon letters): the lam is pronounced, as in al-qamar.\r\n"
    "   Syamsiyah (sun letters): the lam is silent and the next letter is doubled, as in "
    "asy-syams.\r\n"
    "\r\n"
    "7. RA: HEAVY OR LIGHT\r\n"
    "   Ra is heavy (tafkhim) with fathah or dammah, and light (tarqiq) with kasrah or after "
    "a kasrah when it has no vowel.\r\n"
    "\r\n"
    "8. STOPPING (waqf)\r\n"
    "   At a stop the last vowel is dropped; a ta marbutah is read as ha; a tanwin fathah is "
    "read as a long a. Follow the stop signs of the mushaf: a small mim requires a stop, la "
    "forbids it, and the other signs allow either.\r\n";

// ---- Owners of what the window holds --------------------------------------------------

// ---- The state of the process: one window and its pieces --------------------------------

struct Morvent {
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    HWND picture = nullptr;
    HWND rules = nullptr;
    std::wstring programFolder;
    AyahRef shown;
    std::unique_ptr<Calligraphy> calligraphy; // null without the runs file or the font
    AyahRuns runs;                            // of the ayah shown
    int scroll = 0;
    UINT dpi = 96;
    GdiObject<HFONT> uiFont;
    GdiObject<HFONT> legendFont;
    bool following = false;
};
Morvent app;

int scaled(int pixels) {
    return MulDiv(pixels, static_cast<int>(app.dpi), 96);
}

UINT dpiOf(HWND window) {
    return static_cast<UINT>(windowDpi(window));
}

std::wstring programFolder() {
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return L".";
    std::wstring folder(path, length);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : folder.substr(0, slash);
}

// The ayah is drawn from the font at any size; beyond twice its 1x size (at 96 dpi) a short
// ayah would only fill the window with a few huge words.
double largestScale() {
    return 2.0 * app.dpi / 96.0;
}

// The colours of the tajwid rules, by rule number; the ink for numbers without a rule.
const COLORREF* ruleColours() {
    static COLORREF colours[kGlyphRunsRuleLimit];
    for (std::size_t r = 0; r < kGlyphRunsRuleLimit; ++r) {
        const tajwid::Colour c =
            tajwid::palette()[r < tajwid::kRuleCount
                                  ? tajwid::paletteIndex(static_cast<tajwid::Rule>(r))
                                  : tajwid::kInkIndex];
        colours[r] = RGB(c.r, c.g, c.b);
    }
    return colours;
}

// ---- Layout ------------------------------------------------------------------------------

int rowHeight() {
    return scaled(30);
}
int legendLineHeight() {
    return scaled(19);
}
int legendHeight() {
    return legendLineHeight() * tajwid::kLegendSize + scaled(12);
}

void layout() {
    RECT client;
    GetClientRect(app.window, &client);
    const int pad = scaled(6);
    const int controlHeight = scaled(24);
    MoveWindow(GetDlgItem(app.window, kSurahList), pad, pad, scaled(200), scaled(400), TRUE);
    MoveWindow(GetDlgItem(app.window, kAyahList), pad * 2 + scaled(200), pad, scaled(70),
               scaled(400), TRUE);
    MoveWindow(GetDlgItem(app.window, kRulesButton), pad * 3 + scaled(270), pad, scaled(150),
               controlHeight, TRUE);
    const int top = rowHeight() + pad;
    const int bottom = client.bottom - legendHeight();
    MoveWindow(app.picture, 0, top, client.right, bottom > top ? bottom - top : 0, TRUE);
    InvalidateRect(app.window, nullptr, TRUE);
}

void makeFonts() {
    app.uiFont.reset(CreateFontW(-MulDiv(9, static_cast<int>(app.dpi), 72), 0, 0, 0, FW_NORMAL, 0,
                                 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    app.legendFont.reset(CreateFontW(
        -MulDiv(8, static_cast<int>(app.dpi), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    for (int id : {kSurahList, kAyahList, kRulesButton})
        SendDlgItemMessageW(app.window, id, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFont.get()),
                            TRUE);
}

// ---- The ayah shown ----------------------------------------------------------------------

void updateScrollBar() {
    RECT client;
    GetClientRect(app.picture, &client);
    const tajwid::DrawnSize drawn = tajwid::fitToWidth(app.runs.width, app.runs.height,
                                                       client.right - scaled(16), largestScale());
    const int content = drawn.height + scaled(16);
    app.scroll = tajwid::clampScroll(app.scroll, content, client.bottom);
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    content - 1,
                    static_cast<UINT>(client.bottom),
                    app.scroll,
                    0};
    SetScrollInfo(app.picture, SB_VERT, &info, TRUE);
}

void fillAyahList(int surah) {
    HWND list = GetDlgItem(app.window, kAyahList);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    wchar_t item[8];
    for (int a = 1; a <= TextStore::ayahCount(surah); ++a) {
        std::swprintf(item, sizeof item / sizeof item[0], L"%d", a);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
}

void showAyah(AyahRef ayah) {
    if (!ayah.valid() || ayah.ayah > TextStore::ayahCount(ayah.surah)) return;
    if (ayah.surah != app.shown.surah) {
        SendDlgItemMessageW(app.window, kSurahList, CB_SETCURSEL, ayah.surah - 1, 0);
        fillAyahList(ayah.surah);
    }
    SendDlgItemMessageW(app.window, kAyahList, CB_SETCURSEL, ayah.ayah - 1, 0);
    app.shown = ayah;
    char caption[160];
    tajwid::formatCaption(caption, sizeof caption, ayah.surah, ayah.ayah,
                          TextStore::surahName(ayah.surah));
    SetWindowTextW(app.window, wideFromUtf8(caption).c_str());
    app.runs = app.calligraphy ? app.calligraphy->ayah(ayah.surah, ayah.ayah) : AyahRuns{};
    app.scroll = 0;
    updateScrollBar();
    InvalidateRect(app.picture, nullptr, TRUE);
}

// The reader's main window and the ayah its lists show, asked with a time limit so that a
// busy reader does not hold this window up.
AyahRef readerAyah(HWND reader) {
    DWORD_PTR surah = static_cast<DWORD_PTR>(-1), ayah = static_cast<DWORD_PTR>(-1);
    if (!SendMessageTimeoutW(GetDlgItem(reader, kReaderSurahList), CB_GETCURSEL, 0, 0,
                             SMTO_ABORTIFHUNG, 200, &surah) ||
        !SendMessageTimeoutW(GetDlgItem(reader, kReaderAyahList), CB_GETCURSEL, 0, 0,
                             SMTO_ABORTIFHUNG, 200, &ayah))
        return {};
    return tajwid::ayahFromSelections(static_cast<LONG>(surah), static_cast<LONG>(ayah));
}

void followReader() {
    HWND reader = FindWindowW(kReaderClassName, nullptr);
    app.following = reader != nullptr;
    EnableWindow(GetDlgItem(app.window, kSurahList), !app.following);
    EnableWindow(GetDlgItem(app.window, kAyahList), !app.following);
    if (!reader) return;
    const AyahRef ayah = readerAyah(reader);
    if (ayah.valid() && ayah != app.shown) showAyah(ayah);
}

// ---- The rules text, one click away -------------------------------------------------------

void showRulesText() {
    if (app.rules) {
        ShowWindow(app.rules, SW_RESTORE);
        SetForegroundWindow(app.rules);
        return;
    }
    app.rules = CreateWindowExW(0, kRulesClassName, kRulesCaption, WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, scaled(640), scaled(560), app.window,
                                nullptr, app.instance, nullptr);
    if (app.rules) ShowWindow(app.rules, SW_SHOWNORMAL);
}

LRESULT CALLBACK rulesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HWND text = CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", kRules,
            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0,
            0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRulesText)), app.instance,
            nullptr);
        SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFont.get()), 0);
        return 0;
    }
    case WM_SIZE:
        MoveWindow(GetDlgItem(window, kRulesText), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY: app.rules = nullptr; return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// ---- The picture view ---------------------------------------------------------------------

void onPicturePaint(HWND window) {
    PaintDc paint(window);
    HDC dc = paint.get();
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!app.runs.empty()) {
        const tajwid::DrawnSize drawn = tajwid::fitToWidth(
            app.runs.width, app.runs.height, client.right - scaled(16), largestScale());
        const int x = client.right > drawn.width ? (client.right - drawn.width) / 2 : 0;
        const int y = scaled(8) - app.scroll;
        // Each glyph in the colour of its letter's rule, at the window's size.
        RunColours colours;
        colours.ink =
            RGB(tajwid::palette()[tajwid::kInkIndex].r, tajwid::palette()[tajwid::kInkIndex].g,
                tajwid::palette()[tajwid::kInkIndex].b);
        colours.ruleColours = ruleColours();
        drawAyahRuns(dc, *app.calligraphy, app.runs,
                     static_cast<double>(drawn.width) / app.runs.width, x, y, colours);
    } else if (app.shown.valid()) {
        SetBkMode(dc, TRANSPARENT);
        SelectedObject font(dc, app.uiFont.get());
        const wchar_t missing[] = L"The font (AmiriQuran.ttf) or the glyph runs (ayah_runs.bin) "
                                  L"are missing from the program folder.";
        DrawTextW(dc, missing, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void onPictureScroll(HWND window, WPARAM wParam) {
    RECT client;
    GetClientRect(window, &client);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(window, SB_VERT, &info);
    int position = app.scroll;
    const int line = scaled(20);
    switch (LOWORD(wParam)) {
    case SB_LINEUP: position -= line; break;
    case SB_LINEDOWN: position += line; break;
    case SB_PAGEUP: position -= client.bottom; break;
    case SB_PAGEDOWN: position += client.bottom; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return;
    }
    app.scroll = tajwid::clampScroll(position, info.nMax + 1, client.bottom);
    SetScrollPos(window, SB_VERT, app.scroll, TRUE);
    InvalidateRect(window, nullptr, TRUE);
}

LRESULT CALLBACK pictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: onPicturePaint(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_VSCROLL: onPictureScroll(window, wParam); return 0;
    case WM_MOUSEWHEEL:
        onPictureScroll(window, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN);
        return 0;
    case WM_SIZE:
        updateScrollBar();
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// ---- The main window ----------------------------------------------------------------------

void paintLegend(HDC dc, const RECT& client) {
    const int line = legendLineHeight();
    int y = client.bottom - legendHeight() + scaled(6);
    SelectedObject font(dc, app.legendFont.get());
    SetBkMode(dc, TRANSPARENT);
    for (const tajwid::LegendEntry& entry : tajwid::legend()) {
        const tajwid::Colour c = tajwid::palette()[entry.paletteIndex];
        GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(c.r, c.g, c.b)));
        RECT swatch{scaled(8), y + scaled(3), scaled(30), y + line - scaled(3)};
        if (brush) FillRect(dc, &swatch, brush.get());
        char text[300];
        std::snprintf(text, sizeof text, "%s (%s): %s", entry.indonesian, entry.english,
                      entry.explanation);
        RECT where{scaled(38), y, client.right - scaled(4), y + line};
        DrawTextW(dc, wideFromUtf8(text).c_str(), -1, &where,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        y += line;
    }
}

bool onCreate(HWND window, const CREATESTRUCTW* create) {
    app.window = window;
    app.dpi = dpiOf(window);
    auto make = [&](const wchar_t* cls, DWORD style, int id, const wchar_t* text = L"") {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), create->hInstance,
                               nullptr);
    };
    make(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kSurahList);
    make(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, kAyahList);
    make(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, kRulesButton, L"Rules of tajwid...");
    app.picture = CreateWindowExW(WS_EX_CLIENTEDGE, kPictureClassName, L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 0, 0, window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPicture)),
                                  create->hInstance, nullptr);
    if (!app.picture) return false;
    makeFonts();
    char item[80];
    for (int s = 1; s <= TextStore::kSurahs; ++s) {
        std::snprintf(item, sizeof item, "%d - %s", s, TextStore::surahName(s));
        SendDlgItemMessageW(window, kSurahList, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(wideFromUtf8(item).c_str()));
    }
    SetTimer(window, kFollowTimer, kFollowMs, nullptr);
    return true;
}

void onCommand(HWND, int id, int notification) {
    switch (id) {
    case kSurahList:
        if (notification == CBN_SELENDOK || notification == CBN_SELCHANGE) {
            const LRESULT s = SendDlgItemMessageW(app.window, kSurahList, CB_GETCURSEL, 0, 0);
            showAyah(tajwid::ayahFromSelections(static_cast<long>(s), 0));
        }
        break;
    case kAyahList:
        if (notification == CBN_SELENDOK || notification == CBN_SELCHANGE) {
            const LRESULT a = SendDlgItemMessageW(app.window, kAyahList, CB_GETCURSEL, 0, 0);
            showAyah(tajwid::ayahFromSelections(app.shown.surah - 1, static_cast<long>(a)));
        }
        break;
    case kRulesButton: showRulesText(); break;
    }
}

void onPaint(HWND window) {
    PaintDc paint(window);
    RECT client;
    GetClientRect(window, &client);
    paintLegend(paint.get(), client);
}

void onDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    app.dpi = HIWORD(wParam);
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    makeFonts();
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    layout();
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate(window, reinterpret_cast<CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_SIZE: layout(); return 0;
    case WM_COMMAND: onCommand(window, LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_TIMER:
        if (wParam == kFollowTimer) followReader();
        return 0;
    case WM_PAINT: onPaint(window); return 0;
    case WM_MOUSEWHEEL: return SendMessageW(app.picture, message, wParam, lParam);
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {scaled(480), scaled(420)};
        return 0;
    case kDpiChanged: onDpiChanged(window, wParam, lParam); return 0;
    case WM_DESTROY:
        KillTimer(window, kFollowTimer);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A copy already running: its window comes to the front (it may still be starting).
bool activateRunningCopy() {
    for (int attempt = 0; attempt < 40; ++attempt) {
        HWND running = FindWindowW(kClassName, nullptr);
        if (running) {
            if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
            SetForegroundWindow(running);
            return true;
        }
        Sleep(100);
    }
    return false;
}

// The surah names and ayah counts come from the same text resource as the reader's.
void loadSurahList() {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDT_SURAH_LIST), L"TXT");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const ResourceBytes surahs{static_cast<const char*>(data),
                               data ? static_cast<size_t>(SizeofResource(module, found)) : 0};
    TextStore::loadFrom(surahs, WritableBytes{nullptr, 0}, ResourceBytes{nullptr, 0}, 1);
}

bool registerClasses(HINSTANCE instance) {
    WNDCLASSW main{};
    main.lpfnWndProc = windowProc;
    main.hInstance = instance;
    main.hCursor = LoadCursorW(nullptr, wideResourceId(IDC_ARROW));
    main.hIcon = LoadIconW(nullptr, wideResourceId(IDI_APPLICATION));
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    main.lpszClassName = kClassName;
    WNDCLASSW picture = main;
    picture.lpfnWndProc = pictureProc;
    picture.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    picture.lpszClassName = kPictureClassName;
    WNDCLASSW rules = main;
    rules.lpfnWndProc = rulesProc;
    rules.lpszClassName = kRulesClassName;
    return RegisterClassW(&main) && RegisterClassW(&picture) && RegisterClassW(&rules);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    becomeDpiAware();
    KernelHandle instanceMutex(CreateMutexW(nullptr, FALSE, kInstanceMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) return activateRunningCopy() ? 0 : 1;

    app.instance = instance;
    app.programFolder = programFolder();
    app.calligraphy = Calligraphy::open(app.programFolder);
    loadSurahList();
    if (!registerClasses(instance)) return 1;
    // Beside the reader, where there is one: to the right of its window.
    const UINT dpi = dpiOf(nullptr);
    int width = MulDiv(760, static_cast<int>(dpi), 96), height = MulDiv(720, dpi, 96);
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    if (HWND reader = FindWindowW(kReaderClassName, nullptr)) {
        RECT r;
        GetWindowRect(reader, &r);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(reader, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        // Kept on the reader's screen: over the reader's right part where there is no room.
        const int left = work.left, top = work.top, right = work.right, bottom = work.bottom;
        x = std::max(left, std::min(static_cast<int>(r.right), right - width));
        y = std::max(top, static_cast<int>(r.top));
        height = std::min(height, bottom - y);
    }
    HWND window = CreateWindowExW(0, kClassName, L"Tajwid", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  x, y, width, height, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    // The reader starts this program maximised; the window belongs beside the reader.
    ShowWindow(window, SW_SHOWNORMAL);
    if (IsZoomed(window)) ShowWindow(window, SW_RESTORE);
    layout();
    followReader();
    if (!app.shown.valid()) showAyah({1, 1});
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
