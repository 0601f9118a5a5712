// The reader's window as Windows 10 and 11 treat it: the messages and rectangles the
// system sends on a move to another DPI, at the end of a session and when a stored window
// comes back; the message font and the labels that must fit in it; the dark title bar.
#include "app/main_layout.h"
#include "app/night_scheme_win.h"
#include "app/resume_win.h"
#include "base/guards_win.h"
#include "base/message_font_win.h"
#include "base/window_frame_win.h"
#include "resources/resource_ids.h"
#include "settings/registry_win.h"
#include "settings/settings_win.h"

#include <richedit.h>

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

int storedNumber(const char* name) {
    const SettingsLocation& where = defaultSettingsLocation();
    int value = -1;
    return queryRegistryDword(where.userRoot, where.key, where.subkey, name, &value) ? value : -1;
}

void storeNumber(const char* name, int value) {
    const SettingsLocation& where = defaultSettingsLocation();
    writeRegistryDword(where.userRoot, where.key, where.subkey, name, value);
}

RECT windowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// WM_DPICHANGED as the system sends it: the new DPI in both words, the suggested window
// rectangle in lParam.
void sendDpiChanged(HWND window, int dpi, RECT suggested) {
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    pumpMessages();
}

LOGFONTW fontOf(HWND control) {
    LOGFONTW description{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof description,
               &description);
    return description;
}

LOGFONTW messageFont(int dpi) {
    LOGFONTW font{};
    EXPECT_TRUE(messageFontAt(dpi, font));
    return font;
}

class SystemWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = createReaderWindow(900, 700);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        pumpMessages();
        clearStoredReadingPosition();
    }
    HWND child(int id) const { return GetDlgItem(window, id); }
    bool translationBold(long start, long end) const {
        HWND translation = child(IDC_TRANSLATION);
        SendMessageW(translation, EM_SETSEL, start, end);
        CHARFORMATA format{};
        format.cbSize = sizeof format;
        SendMessageW(translation, EM_GETCHARFORMAT, SCF_SELECTION,
                     reinterpret_cast<LPARAM>(&format));
        return (format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
    }

    HWND window = nullptr;
};

// ---- a move to a monitor of another DPI ----

TEST_F(SystemWindowTest, ADpiChangeKeepsSearchMarksAndPictureScrollAndRescalesTheStatusBar) {
    selectAyah(2, 255);
    HWND view = reader().bitmapView();
    for (int line = 0; line < 40; ++line)
        SendMessageW(view, WM_VSCROLL, SB_LINEDOWN, 0);
    const int scrolled = GetScrollPos(view, SB_VERT);
    ASSERT_GT(scrolled, 0) << "the picture of 2:255 is taller than the view";
    reader().boldTranslationRange(4, 12);
    ASSERT_TRUE(translationBold(4, 12));

    // The suggested rectangle keeps the window's size, so that the picture still needs the
    // scroll it had (the view here stays at 96 DPI: the system tells it of its own DPI).
    sendDpiChanged(window, 144, RECT{0, 0, 900, 700});
    EXPECT_EQ(GetScrollPos(view, SB_VERT), scrolled);
    EXPECT_TRUE(translationBold(4, 12));
    EXPECT_FALSE(translationBold(20, 30));
    EXPECT_EQ(fontOf(child(IDC_STATUS_BAR)).lfHeight, messageFont(144).lfHeight);
    EXPECT_EQ(reader().shownAyah().surah, 2);
    EXPECT_EQ(reader().shownAyah().ayah, 255);

    // The next ayah shown clears the marks as ever; a later DPI change brings none back.
    reader().showAyah({2, 256});
    sendDpiChanged(window, 96, RECT{0, 0, 900, 700});
    EXPECT_FALSE(translationBold(4, 12));
}

// Every caption of the row's buttons and check box fits its control in the control's own
// font, which is the message font of the window's DPI: a push button's text stands inside
// its edge and focus rectangle, a check box's right of its square.
TEST_F(SystemWindowTest, EveryLabelFitsItsControlInTheMessageFontAtFourDpis) {
    using ForDpiFn = int(WINAPI*)(int, UINT);
    const auto metricForDpi = reinterpret_cast<ForDpiFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
    for (int dpi : {96, 120, 144, 192}) {
        sendDpiChanged(window, dpi, RECT{0, 0, scaledLength(900, dpi), scaledLength(700, dpi)});
        const int checkSquare =
            metricForDpi ? metricForDpi(SM_CXMENUCHECK, dpi) : scaledLength(13, dpi);
        for (int id :
             {IDC_TRANSLATION_SEARCH, IDC_ARABIC_SEARCH, IDC_TAJWID, IDC_LISTEN, IDC_CONTINUE}) {
            HWND control = child(id);
            wchar_t caption[64] = L"";
            GetWindowTextW(control, caption, 64);
            const LOGFONTW font = fontOf(control);
            EXPECT_EQ(font.lfHeight, messageFont(dpi).lfHeight) << "control " << id;
            EXPECT_STREQ(font.lfFaceName, messageFont(dpi).lfFaceName) << "control " << id;
            WindowDc screen(nullptr);
            HFONT made = CreateFontIndirectW(&font);
            HGDIOBJ previous = SelectObject(screen.get(), made);
            SIZE text{};
            GetTextExtentPoint32W(screen.get(), caption, lstrlenW(caption), &text);
            SelectObject(screen.get(), previous);
            DeleteObject(made);
            RECT rect = windowRect(control);
            const int width = rect.right - rect.left;
            const int room = id == IDC_CONTINUE ? width - checkSquare - scaledLength(6, dpi)
                                                : width - 2 * scaledLength(5, dpi);
            EXPECT_LE(text.cx, room) << "control " << id << " at " << dpi << " DPI: width " << width
                                     << ", caption " << text.cx;
            EXPECT_LE(text.cy, rect.bottom - rect.top) << "control " << id << " at " << dpi;
        }
    }
}

// ---- the end of the session ----

TEST_F(SystemWindowTest, TheSessionEndStoresWhatTheCloseStoresAndACalledOffEndNothing) {
    selectAyah(3, 7);
    selectAyah(3, 8); // within the second: held back for the timer
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    SendMessageW(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_EQ(storedNumber(kWindowWidthValue), -1);

    SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(storedNumber(kLastSurahValue), 3);
    EXPECT_EQ(storedNumber(kLastAyahValue), 8);
    const RECT rect = windowRect(window);
    EXPECT_EQ(storedNumber(kWindowLeftValue), rect.left);
    EXPECT_EQ(storedNumber(kWindowWidthValue), 900);
    EXPECT_EQ(storedNumber(kWindowHeightValue), 700);
    EXPECT_EQ(storedNumber(kTranslationHeightValue), kDefaultTranslationHeight);
}

// ---- a stored window comes back ----

// Stands in for the system: the first move of the window takes it onto a monitor of 144
// DPI, and the window is sent WM_DPICHANGED with the rectangle the system suggests (the
// same top left, the size scaled by 144 / 96).
WNDPROC originalProc = nullptr;
int movesToDpiChange = 0;
LRESULT CALLBACK monitorOf144Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CallWindowProcW(originalProc, window, message, wParam, lParam);
    if (message == WM_WINDOWPOSCHANGED && movesToDpiChange > 0 && --movesToDpiChange == 0) {
        const auto* moved = reinterpret_cast<const WINDOWPOS*>(lParam);
        RECT suggested{moved->x, moved->y, moved->x + MulDiv(moved->cx, 144, 96),
                       moved->y + MulDiv(moved->cy, 144, 96)};
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144),
                     reinterpret_cast<LPARAM>(&suggested));
    }
    return result;
}

void storeWindowRect(int left, int top, int width, int height) {
    storeNumber(kWindowLeftValue, left);
    storeNumber(kWindowTopValue, top);
    storeNumber(kWindowWidthValue, width);
    storeNumber(kWindowHeightValue, height);
}

TEST_F(SystemWindowTest, AWindowRestoredOntoAMonitorOfAnotherDpiKeepsItsStoredSize) {
    storeWindowRect(100, 50, 800, 600);
    originalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(monitorOf144Proc)));
    movesToDpiChange = 1;
    restoreWindowPlacement(window, SW_SHOWNORMAL);
    movesToDpiChange = 0;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc));
    const RECT rect = windowRect(window);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.right - rect.left, 800);
    EXPECT_EQ(rect.bottom - rect.top, 600);
}

// On Windows 10 and 11 the window rectangle holds resize borders nobody sees (7 pixels left,
// right and below at 96 DPI, none above): a window whose visible frame is off every screen
// comes back onto one although its rectangle still overlaps a screen by the border.
TEST_F(SystemWindowTest, AWindowSeenOnNoScreenComesBackThoughItsInvisibleBorderIsOnOne) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const POINT origin{0, 0};
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const int right = monitor.rcMonitor.right;

    storeWindowRect(right - 7, 100, 800, 600);
    storeNumber(kWindowFrameBordersValue, 7 | 0 << 8 | 7 << 16 | 7 << 24);
    restoreWindowPlacement(window, SW_SHOWNORMAL);
    RECT rect = windowRect(window);
    EXPECT_GE(rect.left, monitor.rcWork.left);
    EXPECT_LE(rect.right, monitor.rcWork.right);
    EXPECT_EQ(rect.right - rect.left, 800);

    // Without invisible borders those 7 pixels are the frame the user sees: it stays.
    storeNumber(kWindowFrameBordersValue, 0);
    restoreWindowPlacement(window, SW_SHOWNORMAL);
    rect = windowRect(window);
    EXPECT_EQ(rect.left, right - 7);
}

// ---- the message font and the title bar ----

TEST(MessageFont, TheOlderCallScaledFromTheSystemDpiGivesTheSameFont) {
    for (int dpi : {96, 144, 192}) {
        LOGFONTW forDpi{}, scaled{};
        ASSERT_TRUE(messageFontAt(dpi, forDpi));
        ASSERT_TRUE(messageFontScaledFromSystemDpi(dpi, scaled));
        EXPECT_STREQ(forDpi.lfFaceName, scaled.lfFaceName);
        EXPECT_NEAR(forDpi.lfHeight, scaled.lfHeight, 1) << dpi;
        EXPECT_NE(forDpi.lfHeight, 0);
    }
    LOGFONTW at96{}, at192{};
    messageFontAt(96, at96);
    messageFontAt(192, at192);
    EXPECT_NEAR(at192.lfHeight, 2 * at96.lfHeight, 1);
}

struct AttributeCall {
    DWORD attribute;
    BOOL value;
};
std::vector<AttributeCall> attributeCalls;
DWORD refusedAttribute = 0;

HRESULT WINAPI recordAttribute(HWND, DWORD attribute, LPCVOID value, DWORD size) {
    EXPECT_EQ(size, sizeof(BOOL));
    attributeCalls.push_back({attribute, *static_cast<const BOOL*>(value)});
    return attribute == refusedAttribute || refusedAttribute == 0xFFFF ? E_INVALIDARG : S_OK;
}

TEST(DarkTitleBar, AsksForTheImmersiveDarkModeAndTheOlderNumberWhereRefused) {
    HWND window = GetDesktopWindow();
    attributeCalls.clear();
    refusedAttribute = 0;
    EXPECT_TRUE(useDarkTitleBar(window, true, recordAttribute));
    ASSERT_EQ(attributeCalls.size(), 1u);
    EXPECT_EQ(attributeCalls[0].attribute, 20u);
    EXPECT_EQ(attributeCalls[0].value, TRUE);

    attributeCalls.clear();
    refusedAttribute = 20;
    EXPECT_TRUE(useDarkTitleBar(window, false, recordAttribute));
    ASSERT_EQ(attributeCalls.size(), 2u);
    EXPECT_EQ(attributeCalls[1].attribute, 19u);
    EXPECT_EQ(attributeCalls[1].value, FALSE);

    refusedAttribute = 0xFFFF; // a system that knows neither
    EXPECT_FALSE(useDarkTitleBar(window, true, recordAttribute));
    // And the real call on this system is harmless.
    HWND reader = createReaderWindow();
    ASSERT_NE(reader, nullptr);
    useDarkTitleBar(reader, true);
    EXPECT_TRUE(IsWindow(reader));
    DestroyWindow(reader);
    pumpMessages();
}

} // namespace

// ---- visual styles and the night scheme ----

struct ThemeCall {
    HWND control;
    bool themed;
};
std::vector<ThemeCall> themeCalls;

HRESULT WINAPI recordTheme(HWND control, LPCWSTR application, LPCWSTR classes) {
    const bool themed = application == nullptr && classes == nullptr;
    EXPECT_TRUE(themed || (application && !*application && classes && !*classes));
    themeCalls.push_back({control, themed});
    return S_OK;
}

// The lists and check boxes draw their face in their parent's colours only without the
// theme; the buttons, the result list and the translation keep theirs in either scheme.
TEST_F(SystemWindowTest, AtNightTheListsAndCheckBoxesLeaveTheThemeAndByDayTakeItBack) {
    const int unthemedAtNight[] = {IDC_SURAH_LIST,    IDC_AYAH_LIST, IDC_RECITATION_SCOPE,
                                   IDC_LANGUAGE_LIST, IDC_CONTINUE,  IDC_MATCH_CASE,
                                   IDC_WHOLE_WORD};
    for (bool night : {true, false}) {
        themeCalls.clear();
        themeControlsForScheme(window, night, recordTheme);
        ASSERT_EQ(themeCalls.size(), std::size(unthemedAtNight));
        for (int id : unthemedAtNight) {
            const auto call =
                std::find_if(themeCalls.begin(), themeCalls.end(),
                             [&](const ThemeCall& c) { return c.control == child(id); });
            ASSERT_NE(call, themeCalls.end()) << "control " << id;
            EXPECT_EQ(call->themed, !night) << "control " << id;
        }
    }
}
