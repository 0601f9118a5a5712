// The reader's main window, created in this test program as the reader creates it: its
// controls, layout, navigation, up-down steps, splitter drag, colours and the history list.
#include "app/bookmarks_win.h"
#include "app/main_layout.h"
#include "app/night_scheme_win.h"
#include "app/startup_win.h"
#include "arabic/arabic_bytes.h"
#include "base/guards_win.h"
#include "base/message_font_win.h"
#include "resources/resource_ids.h"
#include "settings/registry_win.h"
#include "settings/settings_win.h"
#include "text/text_store.h"

#include <commctrl.h>
#include <oleacc.h>
#include <richedit.h>

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

void removeLanguageSetting() {
    const SettingsLocation& where = defaultSettingsLocation();
    deleteRegistryValue(where.machineRoot, where.key, where.subkey, kLanguageValue);
    deleteRegistryValue(where.userRoot, where.key, where.subkey, kLanguageValue);
    deleteRegistryValue(where.userRoot, where.key, where.subkey, kTranslationLanguageValue);
}

// An item in UTF-8, read through the W message (the language list names languages in
// their own scripts).
std::string comboItem(HWND list, int index) {
    wchar_t text[1024] = L"";
    if (SendMessageW(list, CB_GETLBTEXTLEN, index, 0) >= 1024) return "(too long)";
    SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return utf8FromWide(text);
}

std::string listItem(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length < 0) return "(none)";
    std::vector<char> text(static_cast<size_t>(length) + 1);
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

struct Box {
    int x, y, width, height;
    bool operator==(const Box& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "(" << b.x << ", " << b.y << ", " << b.width << ", " << b.height << ")";
}

// A child's rectangle in its parent's client coordinates.
Box placeOf(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Creates the main window as the reader does, with a fresh first layout and history, at a
// known outer size.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = createReaderWindow(900, 700);
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override {
        if (IsWindow(window)) DestroyWindow(window);
        pumpMessages();
    }

    HWND child(int id) const { return GetDlgItem(window, id); }
    std::string statusText(int part) const {
        char text[256] = "";
        SendMessageA(child(IDC_STATUS_BAR), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
        return text;
    }
    int selection(int id) const {
        return static_cast<int>(SendMessageA(child(id), CB_GETCURSEL, 0, 0));
    }
    void choose(int id, int index) const {
        SendMessageA(child(id), CB_SETCURSEL, index, 0);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(child(id)));
    }
    void step(int delta) const {
        NMUPDOWN notice{};
        notice.hdr.hwndFrom = child(IDC_AYAH_STEPPER);
        notice.hdr.idFrom = IDC_AYAH_STEPPER;
        notice.hdr.code = UDN_DELTAPOS;
        notice.iDelta = delta;
        SendMessageA(window, WM_NOTIFY, IDC_AYAH_STEPPER, reinterpret_cast<LPARAM>(&notice));
    }
    std::string translation() const { return windowText(child(IDC_TRANSLATION)); }
    std::string shown() const {
        return std::to_string(selection(IDC_SURAH_LIST) + 1) + ":" +
               std::to_string(selection(IDC_AYAH_LIST) + 1);
    }

    HWND window = nullptr;
};

struct ExpectedChild {
    int id;
    const char* className;
    const char* text;
    DWORD style;
};

TEST_F(MainWindowTest, EveryControlExistsWithItsIdClassStyleAndText) {
    // Wine drops WS_VSCROLL from a control's style while its scroll bar is hidden, so that
    // bit is compared only where it is always shown.
    const ExpectedChild expected[] = {
        {IDC_STATUS_BAR, "msctls_statusbar32", nullptr, 0x50000000},
        // A Unicode Rich Edit (Msftedit.dll), so that every script shows.
        {IDC_TRANSLATION, "RICHEDIT50W", nullptr, 0x50000805},
        {IDC_RESULT_LIST, "ListBox", "", 0x50000101},
        {IDC_SURAH_LIST, "ComboBox", nullptr, 0x50000003},
        {IDC_AYAH_LIST, "ComboBox", nullptr, 0x50000003},
        {IDC_TRANSLATION_SEARCH, "Button", "Cari(ind/eng)", 0x50008001},
        {IDC_ARABIC_SEARCH, "Button", "Cari(Arab)", 0x50008001},
        {IDC_TAJWID, "Button", "Tajwid", 0x50008001},
        {IDC_CONTINUE, "Button", "Continue", 0x50000003},
        {IDC_RECITATION_SCOPE, "ComboBox", nullptr, 0x50000003},
        {IDC_LISTEN, "Button", "Listen", 0x50008000},
        {IDC_MATCH_CASE, "Button", "match case", 0x50000003},
        {IDC_WHOLE_WORD, "Button", "word", 0x50000003},
        {IDC_LANGUAGE_LIST, "ComboBox", nullptr, 0x50000003},
        {IDC_AYAH_STEPPER, "msctls_updown32", "", 0x50000000},
    };
    for (const ExpectedChild& e : expected) {
        HWND control = child(e.id);
        ASSERT_NE(control, nullptr) << e.id;
        char className[64] = "";
        GetClassNameA(control, className, sizeof className);
        EXPECT_STRCASEEQ(className, e.className) << e.id;
        const DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
        EXPECT_EQ(style & ~static_cast<DWORD>(WS_VSCROLL), e.style) << e.id;
        if (e.text) {
            EXPECT_EQ(windowText(control), e.text) << e.id;
        }
    }
    EXPECT_EQ(GetWindowLongA(child(IDC_TRANSLATION), GWL_EXSTYLE) & WS_EX_CLIENTEDGE,
              WS_EX_CLIENTEDGE);
    // The two option boxes are never placed: size 0, unchecked.
    EXPECT_EQ(placeOf(child(IDC_MATCH_CASE)).width, 0);
    EXPECT_EQ(SendMessageA(child(IDC_WHOLE_WORD), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // The bitmap view: a child of the window's own class.
    HWND view = bitmapViewWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(GetParent(view), window);
    char viewClass[64] = "";
    GetClassNameA(view, viewClass, sizeof viewClass);
    EXPECT_STREQ(viewClass, "WND_DRAW_BITMAP");

    // The up-down control's odd range: lower 100, upper 0.
    int lower = -1, upper = -1;
    SendMessageA(child(IDC_AYAH_STEPPER), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                 reinterpret_cast<LPARAM>(&upper));
    EXPECT_EQ(lower, 100);
    EXPECT_EQ(upper, 0);

    // The status bar has four parts: the juz's part ends at 50, the last at the bar's end.
    int edges[4] = {0, 0, 0, 0};
    EXPECT_EQ(SendMessageA(child(IDC_STATUS_BAR), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)),
              4);
    EXPECT_EQ(edges[0], 50);
    EXPECT_EQ(edges[3], -1);
}

TEST_F(MainWindowTest, FontsAndTheTranslationControlAreSetUp) {
    ASSERT_NE(reader().ayahFont(), nullptr);
    ASSERT_NE(reader().translationFont(), nullptr);
    ASSERT_NE(reader().keyboardFont(), nullptr);
    LOGFONTA font{};
    GetObjectA(reader().keyboardFont(), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfQuality, PROOF_QUALITY);
    {
        WindowDc dc(window);
        EXPECT_EQ(font.lfHeight, -MulDiv(12, GetDeviceCaps(dc.get(), LOGPIXELSY), 72));
    }
    GetObjectA(reader().ayahFont(), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, reader().settings().fontName.c_str());

    HWND translationControl = child(IDC_TRANSLATION);
    // The captured character format is that of the translation font (12 points = 240 twips),
    // so the font was set before the format was read.
    EXPECT_EQ(reader().defaultCharFormat().cbSize, sizeof(CHARFORMAT2W));
    EXPECT_STREQ(reader().defaultCharFormat().szFaceName,
                 wideFromUtf8(reader().settings().fontName.c_str()).c_str());
    EXPECT_EQ(reader().defaultCharFormat().yHeight, 240);
    // EM_SETBKGNDCOLOR answers the colour it replaces.
    EXPECT_EQ(SendMessageA(translationControl, EM_SETBKGNDCOLOR, 0, RGB(243, 228, 117)),
              static_cast<LRESULT>(RGB(243, 228, 117)));
}

TEST_F(MainWindowTest, AtAKnownClientSizeEveryRectangleMatchesTheLayout) {
    RECT client;
    GetClientRect(window, &client);
    const int w = client.right, h = client.bottom;
    const int s = placeOf(child(IDC_STATUS_BAR)).height - 0;
    RECT statusClient;
    GetClientRect(child(IDC_STATUS_BAR), &statusClient);
    const int statusHeight = statusClient.bottom;
    ASSERT_GT(statusHeight, 0);
    EXPECT_EQ(placeOf(child(IDC_STATUS_BAR)).y + s, h); // at the bottom edge

    EXPECT_EQ(placeOf(child(IDC_SURAH_LIST)).x, 0);
    EXPECT_EQ(placeOf(child(IDC_SURAH_LIST)).width, 140);
    EXPECT_EQ(placeOf(child(IDC_AYAH_LIST)).x, 140);
    EXPECT_EQ(placeOf(child(IDC_AYAH_LIST)).width, 50);
    EXPECT_EQ(placeOf(child(IDC_AYAH_STEPPER)).x, 190);
    EXPECT_EQ(placeOf(child(IDC_TRANSLATION_SEARCH)), (Box{204, 0, 90, 24}));
    EXPECT_EQ(placeOf(child(IDC_ARABIC_SEARCH)), (Box{294, 0, 70, 24}));
    EXPECT_EQ(placeOf(child(IDC_TAJWID)), (Box{364, 0, 50, 24}));
    EXPECT_EQ(placeOf(child(IDC_LISTEN)), (Box{416, 0, 58, 24}));
    EXPECT_EQ(placeOf(child(IDC_CONTINUE)), (Box{474, 0, 80, 24}));
    EXPECT_EQ(placeOf(child(IDC_RECITATION_SCOPE)).x, 554);
    EXPECT_EQ(placeOf(child(IDC_LANGUAGE_LIST)).x, 616);
    EXPECT_EQ(placeOf(child(IDC_LANGUAGE_LIST)).width, w - 616);

    const int l = h - statusHeight - 80;
    const int y = l - 140;
    EXPECT_EQ(placeOf(child(IDC_RESULT_LIST)), (Box{0, l, w, 80}));
    EXPECT_EQ(placeOf(child(IDC_TRANSLATION)), (Box{0, y, w, 140}));
    EXPECT_EQ(placeOf(bitmapViewWindow()), (Box{40, 25, w - 80, y - 26}));
    EXPECT_EQ(reader().splitterLine(), y);
    RECT bar;
    reader().splitterBar().getRect(&bar);
    EXPECT_EQ(bar.top, y - 2);
    EXPECT_EQ(bar.bottom, y + 5);
    EXPECT_EQ(bar.right, w);

    // A resize moves everything but the fixed row.
    SetWindowPos(window, nullptr, 0, 0, 1000, 640, SWP_NOZORDER | SWP_NOMOVE);
    pumpMessages();
    GetClientRect(window, &client);
    EXPECT_EQ(placeOf(child(IDC_TRANSLATION_SEARCH)), (Box{204, 0, 90, 24}));
    EXPECT_EQ(placeOf(child(IDC_LANGUAGE_LIST)).width, client.right - 616);
    const int l2 = client.bottom - statusHeight - 80;
    EXPECT_EQ(placeOf(child(IDC_TRANSLATION)), (Box{0, l2 - 140, client.right, 140}));
}

TEST_F(MainWindowTest, OpensOnTheFirstAyahWithItsPictureTranslationAndJuz) {
    EXPECT_EQ(SendMessageA(child(IDC_SURAH_LIST), CB_GETCOUNT, 0, 0), 114);
    EXPECT_EQ(comboItem(child(IDC_SURAH_LIST), 0), std::string("1 - ") + TextStore::surahName(1));
    EXPECT_EQ(comboItem(child(IDC_SURAH_LIST), 113),
              std::string("114 - ") + TextStore::surahName(114));
    EXPECT_EQ(SendMessageA(child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 7);
    EXPECT_EQ(shown(), "1:1");
    EXPECT_EQ(translation(), shownTranslationOf(1, 1));
    EXPECT_EQ(statusText(0), "JUZ 1");
    EXPECT_NE(reader().currentPicture(), nullptr);
    EXPECT_EQ(comboItem(child(IDC_RECITATION_SCOPE), 0), "Surat");
    EXPECT_EQ(comboItem(child(IDC_RECITATION_SCOPE), 2), "Ayat");
    EXPECT_EQ(selection(IDC_RECITATION_SCOPE), 1);
    // Indonesian and English first, then the others by their own names, then the
    // transliteration.
    EXPECT_EQ(SendMessageA(child(IDC_LANGUAGE_LIST), CB_GETCOUNT, 0, 0), 11);
    EXPECT_EQ(comboItem(child(IDC_LANGUAGE_LIST), 0), "Indonesia");
    EXPECT_EQ(comboItem(child(IDC_LANGUAGE_LIST), 1), "English");
    EXPECT_EQ(comboItem(child(IDC_LANGUAGE_LIST), 8), "T\xC3\xBCrk\xC3\xA7"
                                                      "e");
    EXPECT_EQ(comboItem(child(IDC_LANGUAGE_LIST), 9), "\xD8\xA7\xD8\xB1\xD8\xAF\xD9\x88");
    EXPECT_EQ(comboItem(child(IDC_LANGUAGE_LIST), 10), "Transliteration");
}

TEST_F(MainWindowTest, ChoosingSurahTwoFills286AyatAndShowsItsFirst) {
    choose(IDC_SURAH_LIST, 1);
    HWND ayahList = child(IDC_AYAH_LIST);
    ASSERT_EQ(SendMessageA(ayahList, CB_GETCOUNT, 0, 0), 286);
    EXPECT_EQ(comboItem(ayahList, 0), "1");
    EXPECT_EQ(comboItem(ayahList, 285), "286");
    EXPECT_EQ(shown(), "2:1");
    EXPECT_EQ(translation(), shownTranslationOf(2, 1));
    EXPECT_EQ(statusText(0), "JUZ 1");
    ASSERT_NE(reader().currentPicture(), nullptr);
    BITMAP picture{};
    EXPECT_NE(GetObjectA(reader().currentPicture(), sizeof picture, &picture), 0);
}

TEST_F(MainWindowTest, ChoosingAyah142ShowsJuzTwoAndLeavesTheSurahListAlone) {
    choose(IDC_SURAH_LIST, 1);
    SendMessageA(child(IDC_SURAH_LIST), CB_SETCURSEL, 1, 0);
    choose(IDC_AYAH_LIST, 141);
    EXPECT_EQ(shown(), "2:142");
    EXPECT_EQ(translation(), shownTranslationOf(2, 142));
    EXPECT_EQ(statusText(0), "JUZ 2");
    EXPECT_EQ(SendMessageA(child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 286);
}

TEST_F(MainWindowTest, OnlySelEndOkOfTheListsMovesTheReader) {
    SendMessageA(child(IDC_SURAH_LIST), CB_SETCURSEL, 4, 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_SURAH_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(child(IDC_SURAH_LIST)));
    EXPECT_EQ(translation(), shownTranslationOf(1, 1));
    EXPECT_EQ(SendMessageA(child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 7);
}

TEST_F(MainWindowTest, SurahNumbersOutsideTheQuranChangeNothing) {
    choose(IDC_SURAH_LIST, 2);
    choose(IDC_AYAH_LIST, 4); // 3:5
    const HBITMAP pictureBefore = reader().currentPicture();
    const int historyBefore = reader().readingHistory().size();
    for (int surah : {0, 115, -1}) {
        selectAyah(surah, 1);
        showAyah(surah, 1);
        reader().showAyahPicture({surah, 1});
    }
    EXPECT_EQ(shown(), "3:5");
    EXPECT_EQ(translation(), shownTranslationOf(3, 5));
    EXPECT_EQ(statusText(0), "JUZ 3");
    EXPECT_EQ(reader().currentPicture(), pictureBefore);
    EXPECT_EQ(reader().readingHistory().size(), historyBefore);
    EXPECT_EQ(SendMessageA(child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), TextStore::ayahCount(3));
}

TEST_F(MainWindowTest, AnAyahBeyondTheSurahShowsNotFoundAndNoPicture) {
    showAyah(1, 8);
    EXPECT_EQ(translation(), "Not Found");
    EXPECT_EQ(reader().currentPicture(), nullptr);
    EXPECT_EQ(statusText(0), "JUZ 1");
}

TEST_F(MainWindowTest, StepsWrapBetweenTheLastAndTheFirstAyah) {
    selectAyah(114, 5);
    step(1);
    EXPECT_EQ(shown(), "114:6");
    EXPECT_EQ(statusText(0), "JUZ 30");
    step(1);
    EXPECT_EQ(shown(), "1:1");
    EXPECT_EQ(translation(), shownTranslationOf(1, 1));
    EXPECT_EQ(SendMessageA(child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 7);
    step(-1);
    EXPECT_EQ(shown(), "114:6");
    EXPECT_EQ(translation(), shownTranslationOf(114, 6));
    EXPECT_EQ(SendMessageA(child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 6);
    step(0); // a step of 0 counts as backwards
    EXPECT_EQ(shown(), "114:5");
}

TEST_F(MainWindowTest, StepsForwardAcrossASurahBoundaryRefillTheAyahList) {
    selectAyah(1, 7);
    step(3);
    EXPECT_EQ(shown(), "2:1");
    EXPECT_EQ(SendMessageA(child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 286);
    step(-2);
    EXPECT_EQ(shown(), "1:7");
}

// A click on the lower half of the up-down control: its parent gets UDN_DELTAPOS with a
// positive step (the control's range runs from 100 down to 0); on the upper half, a
// negative one.
void clickArrow(HWND upDown, bool lower = true) {
    RECT rect;
    GetClientRect(upDown, &rect);
    const LPARAM where = MAKELPARAM(rect.right / 2, lower ? rect.bottom * 3 / 4 : rect.bottom / 4);
    SendMessageA(upDown, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageA(upDown, WM_LBUTTONUP, 0, where);
}

TEST_F(MainWindowTest, TheLowerArrowStepsToTheNextAyahAndTheUpperOneBack) {
    HWND upDown = child(IDC_AYAH_STEPPER);
    selectAyah(1, 7);
    clickArrow(upDown);
    pumpMessages();
    EXPECT_EQ(shown(), "2:1");
    EXPECT_EQ(SendMessageA(child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 286);
    clickArrow(upDown, false);
    pumpMessages();
    EXPECT_EQ(shown(), "1:7");
    EXPECT_EQ(SendMessageA(child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 7);
}

TEST_F(MainWindowTest, TheHistoryListsVisitedAyatNewestFirst) {
    selectAyah(2, 5);
    step(1);          // a step is a visit too
    selectAyah(1, 1); // shown at the start already: it moves up, it is not listed twice
    selectAyah(2, 255);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_READING_HISTORY, 0), 0);
    HWND results = child(IDC_RESULT_LIST);
    ASSERT_GE(SendMessageA(results, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(results, LB_GETCOUNT, 0, 0), reader().readingHistory().size());
    EXPECT_EQ(listItem(results, 0), "2:255 " + shownTranslationOf(2, 255));
    EXPECT_EQ(listItem(results, 1), "1:1 " + shownTranslationOf(1, 1));
    EXPECT_EQ(listItem(results, 2), "2:6 " + shownTranslationOf(2, 6));
    EXPECT_EQ(listItem(results, 3), "2:5 " + shownTranslationOf(2, 5));
    EXPECT_EQ(reader().readingHistory().newest(0), 255u * 65536u + 2u);
}

TEST_F(MainWindowTest, ControlColoursUseTheControlBrushOnATransparentBackground) {
    WindowDc dc(window);
    for (UINT message : {WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN}) {
        SetBkColor(dc.get(), RGB(0, 0, 0));
        SetBkMode(dc.get(), OPAQUE);
        const LRESULT brush = SendMessageA(window, message, reinterpret_cast<WPARAM>(dc.get()),
                                           reinterpret_cast<LPARAM>(child(IDC_RESULT_LIST)));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), testContext().controlBrush);
        EXPECT_EQ(GetBkColor(dc.get()), RGB(240, 240, 190));
        EXPECT_EQ(GetBkMode(dc.get()), TRANSPARENT);
    }
}

// ---- splitter ----

LPARAM at(int x, int y) {
    return MAKELPARAM(x, y);
}

TEST_F(MainWindowTest, DraggingTheBarUpMakesTheTranslationTallerByTheDistance) {
    const Box translationBefore = placeOf(child(IDC_TRANSLATION));
    const Box pictureBefore = placeOf(bitmapViewWindow());
    const Box fixedBefore = placeOf(child(IDC_TAJWID));
    const int y = reader().splitterLine() - 1; // the uncovered row of the bar
    const int d = 60;
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(10, y));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(10, y - 20));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(10, y - d));
    SendMessageA(window, WM_LBUTTONUP, 0, at(10, y - d));
    pumpMessages();
    const Box translationAfter = placeOf(child(IDC_TRANSLATION));
    EXPECT_EQ(translationAfter.height, translationBefore.height + d);
    EXPECT_EQ(translationAfter.y, translationBefore.y - d);
    EXPECT_EQ(placeOf(bitmapViewWindow()).height, pictureBefore.height - d);
    EXPECT_EQ(placeOf(child(IDC_TAJWID)), fixedBefore);
    EXPECT_EQ(reader().splitterLine(), translationAfter.y);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MainWindowTest, AClickOnTheBarWithoutMovementChangesNothing) {
    const Box translationBefore = placeOf(child(IDC_TRANSLATION));
    const int lineBefore = reader().splitterLine();
    const int y = lineBefore - 1;
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(10, y));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(12, y + 2)); // still inside the bar
    SendMessageA(window, WM_LBUTTONUP, 0, at(12, y + 2));
    pumpMessages();
    EXPECT_EQ(placeOf(child(IDC_TRANSLATION)), translationBefore);
    EXPECT_EQ(reader().splitterLine(), lineBefore);
    EXPECT_FALSE(reader().splitterBar().moved());
}

TEST_F(MainWindowTest, DraggingFarAboveTheWindowLeavesThePictureAtZeroHeight) {
    const int y = reader().splitterLine() - 1;
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(10, y));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(10, -300));
    SendMessageA(window, WM_LBUTTONUP, 0, at(10, -300));
    pumpMessages();
    EXPECT_EQ(placeOf(bitmapViewWindow()).height, 0);
    const Box translationBox = placeOf(child(IDC_TRANSLATION));
    EXPECT_EQ(translationBox.y, 26);
    // Dragging back down from there works from the height actually shown.
    const int top = reader().splitterLine() - 1;
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(10, top));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(10, top + 100));
    SendMessageA(window, WM_LBUTTONUP, 0, at(10, top + 100));
    pumpMessages();
    EXPECT_EQ(placeOf(child(IDC_TRANSLATION)).height, translationBox.height - 100);
}

std::vector<COLORREF> pixels(HDC dc, int width, int height) {
    std::vector<COLORREF> all;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            all.push_back(GetPixel(dc, x, y));
    return all;
}

TEST(SplitterBarDrawing, TwoTrackDragsWithTheSameStateLeaveThePixelsUnchanged) {
    WindowDc screen(nullptr);
    MemoryDc memory(screen.get());
    GdiObject<HBITMAP> canvas(CreateCompatibleBitmap(screen.get(), 60, 30));
    SelectedObject selected(memory.get(), canvas.get());
    RECT all{0, 0, 60, 30};
    GdiObject<HBRUSH> fill(CreateSolidBrush(RGB(10, 200, 90)));
    FillRect(memory.get(), &all, fill.get());
    const std::vector<COLORREF> before = pixels(memory.get(), 60, 30);

    SplitterBar bar(false);
    bar.setPosition(0, 10, 50, 0);
    bar.trackDrag(memory.get(), nullptr);
    const std::vector<COLORREF> once = pixels(memory.get(), 60, 30);
    int changed = 0;
    for (size_t i = 0; i < before.size(); ++i)
        if (before[i] != once[i]) ++changed;
    // Half of the 47 x 4 inverted area (a checkerboard) changes, and nothing outside it.
    EXPECT_EQ(changed, 47 * 4 / 2);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) {
            const size_t i = static_cast<size_t>(y * 60 + x);
            const bool inside = x >= 1 && x < 48 && y >= 11 && y < 15;
            if (!inside) {
                EXPECT_EQ(once[i], before[i]) << x << "," << y;
            }
            if (once[i] != before[i]) {
                EXPECT_EQ(once[i], before[i] ^ 0x00FFFFFFu) << x << "," << y;
            }
        }
    }
    bar.trackDrag(memory.get(), nullptr);
    EXPECT_EQ(pixels(memory.get(), 60, 30), before);
}

TEST(SplitterBarDrawing, InstancesShareOneHalftoneBrush) {
    SplitterBar first(false);
    const HBRUSH shared = SplitterBar::halftoneBrush();
    ASSERT_NE(shared, nullptr);
    {
        SplitterBar second(true);
        EXPECT_EQ(SplitterBar::halftoneBrush(), shared);
    }
    EXPECT_EQ(SplitterBar::halftoneBrush(), shared);
    LOGBRUSH brush{};
    EXPECT_NE(GetObjectA(shared, sizeof brush, &brush), 0);
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_PATTERN));
}

// ---- leaks ----

// Wine answers 0 to GetGuiResources and GetProcessHandleCount, so the handles in use are
// measured through the allocators themselves: both hand out the lowest free slots first
// (GDI from a free list, kernel handles from the lowest free index). Taking many fresh
// handles at once fills every free slot, and the highest slot reached is then the number
// of slots in use plus the number taken. Equal highest slots before and after mean equal
// numbers of handles in use.
template <typename Make, typename Free> unsigned highestFreshSlot(Make make, Free release) {
    constexpr int kProbes = 4000;
    std::vector<HANDLE> taken;
    taken.reserve(kProbes);
    unsigned highest = 0;
    for (int i = 0; i < kProbes; ++i) {
        HANDLE h = make();
        if (!h) break;
        taken.push_back(h);
        const unsigned slot = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(h) & 0xFFFF);
        if (slot > highest) highest = slot;
    }
    for (auto it = taken.rbegin(); it != taken.rend(); ++it)
        release(*it);
    return highest;
}

unsigned gdiSlots() {
    return highestFreshSlot([] { return static_cast<HANDLE>(CreateRectRgn(0, 0, 1, 1)); },
                            [](HANDLE h) { DeleteObject(static_cast<HGDIOBJ>(h)); });
}

unsigned kernelSlots() {
    return highestFreshSlot([] { return CreateEventA(nullptr, TRUE, FALSE, nullptr); },
                            [](HANDLE h) { CloseHandle(h); });
}

BOOL CALLBACK countWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, countWindow, count);
    return TRUE;
}

int threadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(HandleProbe, SeesHandlesThatAreKeptAndNotThoseGivenBack) {
    const unsigned gdiBefore = gdiSlots();
    const unsigned kernelBefore = kernelSlots();
    EXPECT_EQ(gdiSlots(), gdiBefore);
    EXPECT_EQ(kernelSlots(), kernelBefore);
    std::vector<HRGN> kept;
    std::vector<HANDLE> keptEvents;
    for (int i = 0; i < 5; ++i) {
        kept.push_back(CreateRectRgn(0, 0, 2, 2));
        keptEvents.push_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    }
    EXPECT_EQ(gdiSlots(), gdiBefore + 5);
    EXPECT_GT(kernelSlots(), kernelBefore);
    for (HRGN r : kept)
        DeleteObject(r);
    for (HANDLE e : keptEvents)
        CloseHandle(e);
    EXPECT_EQ(gdiSlots(), gdiBefore);
    EXPECT_EQ(kernelSlots(), kernelBefore);
}

TEST_F(MainWindowTest, AThousandUpDownStepsLeakNoGdiObjectWindowOrKernelHandle) {
    HWND upDown = child(IDC_AYAH_STEPPER);
    // A first pass over the same 1000 steps, uncounted: what the system allocates once, on
    // first use, and keeps (the rich edit's vertical scroll bar appears first at 2:102, and
    // three GDI objects come with it) is not a leak. A leak of even one handle per step
    // would show as 1000 slots in the second pass.
    selectAyah(113, 1);
    for (int i = 0; i < 1000; ++i) {
        clickArrow(upDown);
        pumpMessages();
    }
    selectAyah(113, 1);
    pumpMessages();
    // Counting the windows first: the enumeration allocates a few handles of its own once.
    const int windowsBefore = threadWindows();
    const unsigned gdiBefore = gdiSlots();
    const unsigned kernelBefore = kernelSlots();

    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i) {
        clickArrow(upDown);
        pumpMessages();
    }
    const double msPerStep =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count() /
        1000;

    // 113:1 + 1000 = 4 + 6 (114) + 7 (1) + 286 (2) + 200 (3) + 176 (4) + 120 (5) + 165 (6)
    // + 36 into surah 7: 7:36.
    EXPECT_EQ(shown(), "7:36");
    EXPECT_EQ(statusText(0), "JUZ 8");
    const unsigned gdiAfter = gdiSlots();
    const unsigned kernelAfter = kernelSlots();
    const int windowsAfter = threadWindows();
    // Across runs the second pass shows 0 or, now and then, 1 more GDI object in use: a
    // system cache filling one more entry at some point, not a leak, which grows with the
    // steps (a leak every 500 steps would already give 2).
    EXPECT_LE(gdiAfter, gdiBefore + 1);
    EXPECT_EQ(kernelAfter, kernelBefore);
    EXPECT_EQ(windowsAfter, windowsBefore);
    std::printf("1000 up-down steps: %.2f ms per step; highest fresh GDI slot %u -> %u, kernel "
                "handle %u -> %u, windows %d -> %d\n",
                msPerStep, gdiBefore, gdiAfter, kernelBefore, kernelAfter, windowsBefore,
                windowsAfter);
}

// ---- language ----

class EnglishByAnUnknownLanguage : public MainWindowTest {
  protected:
    void SetUp() override {
        removeLanguageSetting();
        ASSERT_TRUE(writeSettingDword(kLanguageValue, 2));
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        removeLanguageSetting();
        TextStore::load(readLanguageSetting());
    }
};

TEST_F(EnglishByAnUnknownLanguage, ShowsTheEnglishTextAndNoLanguageSelection) {
    EXPECT_EQ(translation().rfind("In the name of Allah", 0), 0u) << translation();
    EXPECT_EQ(selection(IDC_LANGUAGE_LIST), CB_ERR);
}

// ---- settings at once, the bookmarks menu ----

LOGFONTA fontOf(HWND control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

TEST_F(MainWindowTest, AFaceAndSizeFromSettingsReachTheTranslationAndResultListAtOnce) {
    const std::string face = reader().settings().fontName;
    const int size = reader().settings().fontSize;
    int pixelsPerInch = 96;
    {
        WindowDc dc(window);
        pixelsPerInch = GetDeviceCaps(dc.get(), LOGPIXELSY);
    }
    // At the default 14 points the translation and the result list have 12 points.
    EXPECT_EQ(fontOf(child(IDC_RESULT_LIST)).lfHeight, -MulDiv(12, pixelsPerInch, 72));

    reader().showAyahFont("Tahoma", 20);
    const LOGFONTA font = fontOf(child(IDC_RESULT_LIST));
    EXPECT_STREQ(font.lfFaceName, "Tahoma");
    EXPECT_EQ(font.lfHeight, -MulDiv(17, pixelsPerInch, 72));
    // The rich edit control tells its font by its character format (in twips, from whole
    // pixels), which is also what clearing search marks applies from now on.
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageW(child(IDC_TRANSLATION), EM_GETCHARFORMAT, SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ(format.szFaceName, L"Tahoma");
    EXPECT_NEAR(format.yHeight, 17 * 20, 10);
    EXPECT_STREQ(reader().defaultCharFormat().szFaceName, L"Tahoma");
    EXPECT_NEAR(reader().defaultCharFormat().yHeight, 17 * 20, 10);

    reader().showAyahFont(face, size);
}

std::string menuText(HMENU menu, int position) {
    wchar_t text[256] = L"";
    GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    char narrow[512] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

TEST_F(MainWindowTest, TheBookmarksMenuShowsTheNewestTenAndOpensThem) {
    const std::wstring path = bookmarkFilePath();
    ASSERT_FALSE(path.empty());
    std::vector<Bookmark> twelve;
    for (int ayah = 1; ayah <= 12; ++ayah) {
        Bookmark bookmark;
        bookmark.surah = 2;
        bookmark.ayah = ayah;
        bookmark.when = "2026-03-04 05:06:07";
        if (ayah == 12) bookmark.note = "note & more";
        twelve.push_back(bookmark);
    }
    // The reader makes its folder on its first save; a fresh prefix has none yet.
    CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
    ASSERT_TRUE(writeFileReplacing(path, formatBookmarkFile(twelve)));
    loadBookmarks(window, testPrompts());
    DeleteFileW(path.c_str());
    ASSERT_EQ(bookmarks().size(), 12u);

    HMENU popup = GetSubMenu(GetMenu(window), 3);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 2 + 1 + 10);
    EXPECT_EQ(menuText(popup, 3), "&1  2:12  Al Baqarah - note   more");
    EXPECT_EQ(menuText(popup, 4), "&2  2:11  Al Baqarah");
    EXPECT_EQ(menuText(popup, 12), "1&0  2:3  Al Baqarah");
    EXPECT_EQ(GetMenuItemID(popup, 12), static_cast<UINT>(IDM_BOOKMARK_LAST));

    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_BOOKMARK_FIRST + 1, 0), 0);
    EXPECT_EQ(shown(), "2:11");
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_BOOKMARK_LAST, 0), 0);
    EXPECT_EQ(shown(), "2:3");
}

// ---- the night scheme ----

void removeNightSetting() {
    const SettingsLocation& where = defaultSettingsLocation();
    deleteRegistryValue(where.userRoot, where.key, where.subkey, kNightSchemeValue);
}

// The stored value under the user's key, -1 when none is stored.
int storedNightValue() {
    const SettingsLocation& where = defaultSettingsLocation();
    int value = 0;
    return queryRegistryDword(where.userRoot, where.key, where.subkey, kNightSchemeValue, &value)
               ? value
               : -1;
}

class NightSchemeTest : public MainWindowTest {
  protected:
    void SetUp() override {
        removeNightSetting();
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        removeNightSetting();
    }
    void toggle() const { SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_NIGHT, 0), 0); }
    bool checked() const {
        return (GetMenuState(GetMenu(window), IDM_NIGHT, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    // The translation's ground: EM_SETBKGNDCOLOR answers the colour it replaces, so setting
    // a probe colour and putting the answer back reads it without changing it.
    COLORREF translationGround() const {
        HWND translation = child(IDC_TRANSLATION);
        const auto ground =
            static_cast<COLORREF>(SendMessageA(translation, EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3)));
        SendMessageA(translation, EM_SETBKGNDCOLOR, 0, ground);
        return ground;
    }
    // The format of the characters from..to of the translation.
    CHARFORMAT2W formatOf(int from, int to) const {
        HWND translation = child(IDC_TRANSLATION);
        SendMessageW(translation, EM_SETSEL, from, to);
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        SendMessageW(translation, EM_GETCHARFORMAT, SCF_SELECTION,
                     reinterpret_cast<LPARAM>(&format));
        SendMessageW(translation, EM_SETSEL, 0, 0);
        return format;
    }
    struct ListColours {
        HBRUSH brush;
        COLORREF ground, text, brushColour;
    };
    // The colours the window gives a control that asks with message (the result list asks
    // for its own, a drop-down list's face and a check box for theirs).
    ListColours listColours(UINT message = WM_CTLCOLORLISTBOX, int id = IDC_RESULT_LIST) const {
        WindowDc dc(window);
        SetTextColor(dc.get(), RGB(1, 2, 3));
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageA(window, message, reinterpret_cast<WPARAM>(dc.get()),
                         reinterpret_cast<LPARAM>(child(id))));
        LOGBRUSH described{};
        GetObjectA(brush, sizeof described, &described);
        return {brush, GetBkColor(dc.get()), GetTextColor(dc.get()), described.lbColor};
    }
    // The darkest and the lightest grey level of what the window's background erase paints.
    std::pair<int, int> groundLevels() const {
        WindowDc screen(window);
        MemoryDc memory(screen.get());
        const int size = 120;
        HBITMAP canvas = CreateCompatibleBitmap(screen.get(), size, size);
        int darkest = 255, lightest = 0;
        {
            SelectedObject selected(memory.get(), canvas);
            SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.get()), 0);
            for (int y = 0; y < size; y += 3)
                for (int x = 0; x < size; x += 3) {
                    const COLORREF c = GetPixel(memory.get(), x, y);
                    const int level = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
                    darkest = std::min(darkest, level);
                    lightest = std::max(lightest, level);
                }
        }
        DeleteObject(canvas);
        return {darkest, lightest};
    }
};

TEST_F(NightSchemeTest, TogglingSwitchesCheckMarkStoredValueAndColoursAndComesBack) {
    // By day nothing is stored and nothing is changed.
    EXPECT_FALSE(checked());
    EXPECT_EQ(storedNightValue(), -1);
    EXPECT_EQ(translationGround(), kTranslationBackground);
    const CHARFORMAT2W dayFormat = formatOf(0, 5);
    const auto dayGround = groundLevels();
    EXPECT_GT(dayGround.first, 150) << "the sand tile by day";

    toggle();
    EXPECT_TRUE(checked());
    EXPECT_EQ(storedNightValue(), 1);
    EXPECT_EQ(translationGround(), kNightTranslationBackground);
    const CHARFORMAT2W night = formatOf(0, 5);
    EXPECT_FALSE(night.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(night.crTextColor, kNightText);
    const ListColours list = listColours();
    EXPECT_EQ(list.ground, kNightControlColour);
    EXPECT_EQ(list.brushColour, kNightControlColour);
    EXPECT_EQ(list.text, kNightText);
    EXPECT_NE(list.brush, testContext().controlBrush); // the Arabic field keeps the day brush
    for (auto [message, id] : {std::pair<UINT, int>{WM_CTLCOLOREDIT, IDC_SURAH_LIST},
                               {WM_CTLCOLORSTATIC, IDC_CONTINUE}}) {
        const ListColours asked = listColours(message, id);
        EXPECT_EQ(asked.brush, list.brush) << message;
        EXPECT_EQ(asked.text, kNightText) << message;
    }
    const auto nightGround = groundLevels();
    EXPECT_LT(nightGround.second, 100) << "a dark tile at night";
    EXPECT_LT(nightGround.first, nightGround.second) << "the lattice still shows";

    toggle();
    EXPECT_FALSE(checked());
    EXPECT_EQ(storedNightValue(), 0);
    EXPECT_EQ(translationGround(), kTranslationBackground);
    const CHARFORMAT2W day = formatOf(0, 5);
    EXPECT_EQ(day.dwEffects & CFE_AUTOCOLOR, dayFormat.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(listColours().brush, testContext().controlBrush);
    EXPECT_EQ(listColours().ground, kControlColour);
    // By day the faces and check boxes keep the system's colours.
    EXPECT_NE(listColours(WM_CTLCOLORSTATIC, IDC_CONTINUE).brush, testContext().controlBrush);
    EXPECT_NE(listColours(WM_CTLCOLORSTATIC, IDC_CONTINUE).text, kNightText);
    EXPECT_EQ(groundLevels(), dayGround);
}

TEST_F(NightSchemeTest, SearchMarksStayAndTheNextAyahsTextIsLightToo) {
    HWND translation = child(IDC_TRANSLATION);
    SendMessageW(translation, EM_SETSEL, 0, 4);
    CHARFORMAT2W bold{};
    bold.cbSize = sizeof bold;
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    SendMessageW(translation, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&bold));
    toggle();
    const CHARFORMAT2W marked = formatOf(0, 4);
    EXPECT_TRUE(marked.dwEffects & CFE_BOLD);
    EXPECT_EQ(marked.crTextColor, kNightText);
    EXPECT_FALSE(formatOf(6, 9).dwEffects & CFE_BOLD);

    step(1);
    EXPECT_EQ(shown(), "1:2");
    const CHARFORMAT2W next = formatOf(0, 5);
    EXPECT_FALSE(next.dwEffects & CFE_BOLD) << "marks are cleared on the next ayah";
    EXPECT_FALSE(next.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(next.crTextColor, kNightText);
    choose(IDC_SURAH_LIST, 1); // a new surah refills the lists and the text
    EXPECT_EQ(formatOf(0, 5).crTextColor, kNightText);
}

class StoredNightScheme : public NightSchemeTest {
  protected:
    void SetUp() override {
        removeNightSetting();
        ASSERT_TRUE(writeNightScheme(true));
        MainWindowTest::SetUp();
    }
};

TEST_F(StoredNightScheme, ANewWindowStartsInTheNightSchemeWithoutWritingAgain) {
    EXPECT_TRUE(checked());
    EXPECT_TRUE(reader().nightScheme());
    EXPECT_EQ(translationGround(), kNightTranslationBackground);
    EXPECT_EQ(formatOf(0, 5).crTextColor, kNightText);
    EXPECT_EQ(listColours().ground, kNightControlColour);
    EXPECT_LT(groundLevels().second, 100);
    toggle();
    EXPECT_FALSE(checked());
    EXPECT_EQ(storedNightValue(), 0);
}

// ---- names for screen readers ----

std::wstring wideText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

// IID_IAccessible, spelt out: both oleacc's and uuid's libraries define the symbol.
const IID kAccessibleInterface = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The Name property as the system's accessibility support gives it to a screen reader.
std::wstring accessibleName(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, kAccessibleInterface,
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        return L"(no object)";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result;
    if (object->get_accName(self, &name) == S_OK && name) result = name;
    SysFreeString(name);
    object->Release();
    return result;
}

// A control without a text of its own is named by the static label before it in Z order
// (the search stops at a tab stop that starts a group), which is where Windows looks.
std::wstring labelName(HWND control) {
    for (HWND before = GetWindow(control, GW_HWNDPREV); before;
         before = GetWindow(before, GW_HWNDPREV)) {
        char className[16] = "";
        GetClassNameA(before, className, sizeof className);
        if (_stricmp(className, "Static") == 0) return wideText(before);
        const LONG style = GetWindowLongA(before, GWL_STYLE);
        if ((style & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP)) break;
    }
    return L"";
}

std::wstring unicodeArabic(int surah, int ayah) {
    const char* bytes = TextStore::arabic(surah, ayah);
    std::vector<wchar_t> wide(std::strlen(bytes) + 2);
    widenArabicText(bytes, wide.data(), wide.size());
    return wide.data();
}

class AccessibleNames : public MainWindowTest {
  protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
};

TEST_F(AccessibleNames, ThePictureIsNamedByItsAyahInUnicodeAndFollowsEachStep) {
    HWND view = bitmapViewWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(IsWindowUnicode(view));
    const std::wstring first = L"Surah 1 Al Fatihah, ayah 1: " + unicodeArabic(1, 1);
    EXPECT_EQ(wideText(view), first);
    EXPECT_EQ(accessibleName(view), first);
    EXPECT_EQ(unicodeArabic(1, 1).substr(0, 3), L"\x0628\x0633\x0645"); // beh, seen, meem

    step(1);
    EXPECT_EQ(accessibleName(view), L"Surah 1 Al Fatihah, ayah 2: " + unicodeArabic(1, 2));
    choose(IDC_SURAH_LIST, 1);
    EXPECT_EQ(accessibleName(view), L"Surah 2 Al Baqarah, ayah 1: " + unicodeArabic(2, 1));
}

TEST_F(AccessibleNames, EveryControlThatTakesTheFocusHasANameToSpeak) {
    struct Named {
        int id;
        const wchar_t* name; // null: its own text, whatever it is
    };
    const Named controls[] = {
        {IDC_SURAH_LIST, L"Surah:"},
        {IDC_AYAH_LIST, L"Ayah:"},
        {IDC_AYAH_STEPPER, L"Previous or next ayah:"},
        {IDC_TRANSLATION_SEARCH, L"Cari(ind/eng)"},
        {IDC_ARABIC_SEARCH, L"Cari(Arab)"},
        {IDC_TAJWID, L"Tajwid"},
        {IDC_LISTEN, L"Listen"},
        {IDC_CONTINUE, L"Continue"},
        {IDC_RECITATION_SCOPE, L"Recitation scope:"},
        {IDC_LANGUAGE_LIST, L"Translation language:"},
        {IDC_TRANSLATION, L"Translation:"},
        {IDC_RESULT_LIST, L"Search results:"},
    };
    for (const Named& control : controls) {
        HWND window = child(control.id);
        ASSERT_NE(window, nullptr) << control.id;
        // Windows' own objects of lists and edit fields read the label; Wine's read the
        // window text, which for these shows the selection or the content.
        const std::wstring own = wideText(window);
        const bool labelled = std::wstring(control.name).back() == L':';
        if (labelled) {
            EXPECT_EQ(labelName(window), control.name) << control.id;
            // The label is never shown.
            HWND label = GetWindow(window, GW_HWNDPREV);
            EXPECT_FALSE(IsWindowVisible(label)) << control.id;
        } else {
            EXPECT_EQ(accessibleName(window), control.name) << control.id;
            EXPECT_EQ(own, control.name) << control.id;
        }
    }
    EXPECT_FALSE(accessibleName(bitmapViewWindow()).empty());
}

} // namespace

namespace {

// ---- a move to a monitor of another DPI ----

LOGFONTA descriptionOf(HFONT font) {
    LOGFONTA description{};
    GetObjectA(font, sizeof description, &description);
    return description;
}

// WM_DPICHANGED as the system sends it: the new DPI in both words, the suggested window
// rectangle in lParam.
void sendDpiChanged(HWND window, int dpi, RECT suggested) {
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    pumpMessages();
}

TEST_F(MainWindowTest, AMoveTo144DpiScalesTheLayoutFontsAndBarAndShowsTheAyahAgain) {
    ASSERT_EQ(GetDeviceCaps(WindowDc(window).get(), LOGPIXELSY), 96) << "the test bed is at 96";
    selectAyah(2, 255);
    const int historyBefore = reader().readingHistory().size();
    sendDpiChanged(window, 144, RECT{10, 20, 10 + 1200, 20 + 900});

    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, 10);
    EXPECT_EQ(outer.top, 20);
    EXPECT_EQ(outer.right - outer.left, 1200);
    EXPECT_EQ(outer.bottom - outer.top, 900);

    EXPECT_EQ(placeOf(child(IDC_TRANSLATION_SEARCH)), (Box{306, 0, 135, 36}));
    EXPECT_EQ(placeOf(child(IDC_CONTINUE)), (Box{711, 0, 120, 36}));
    EXPECT_EQ(placeOf(child(IDC_RECITATION_SCOPE)).x, 831);
    EXPECT_EQ(placeOf(child(IDC_LANGUAGE_LIST)).x, 924);
    RECT client, statusClient;
    GetClientRect(window, &client);
    GetClientRect(child(IDC_STATUS_BAR), &statusClient);
    const int resultTop = client.bottom - statusClient.bottom - 120;
    const int line = resultTop - 210; // the stored 140 at 96 DPI
    EXPECT_EQ(placeOf(child(IDC_RESULT_LIST)), (Box{0, resultTop, client.right, 120}));
    EXPECT_EQ(placeOf(child(IDC_TRANSLATION)), (Box{0, line, client.right, 210}));
    EXPECT_EQ(placeOf(bitmapViewWindow()), (Box{60, 38, client.right - 120, line - 39}));
    RECT bar;
    reader().splitterBar().getRect(&bar);
    EXPECT_EQ(bar.top, line - 3);
    EXPECT_EQ(bar.bottom, line - 3 + 11);
    int parts[4] = {};
    SendMessageA(child(IDC_STATUS_BAR), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts));
    EXPECT_EQ(parts[0], 75);
    EXPECT_EQ(parts[2] - parts[1], 120);           // the page's part, 80 at 96 DPI
    EXPECT_EQ(statusClient.right - parts[2], 210); // the marks' part, 140 at 96 DPI

    EXPECT_EQ(descriptionOf(reader().translationFont()).lfHeight,
              -MulDiv(translationFontPoints(reader().settings().fontSize), 144, 72));
    EXPECT_EQ(descriptionOf(reader().keyboardFont()).lfHeight, -24);
    EXPECT_EQ(descriptionOf(reader().ayahFont()).lfHeight,
              -MulDiv(reader().settings().fontSize, 144, 72));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(child(IDC_RESULT_LIST), WM_GETFONT, 0, 0)),
              reader().translationFont());
    // The buttons take the message font made for 144 DPI.
    HFONT buttonFont =
        reinterpret_cast<HFONT>(SendMessageA(child(IDC_TRANSLATION_SEARCH), WM_GETFONT, 0, 0));
    ASSERT_NE(buttonFont, nullptr);
    LOGFONTW messageAt144{};
    ASSERT_TRUE(messageFontAt(144, messageAt144));
    EXPECT_EQ(descriptionOf(buttonFont).lfHeight, messageAt144.lfHeight);

    // The same ayah is shown again, without a new history entry.
    EXPECT_EQ(currentSurah(), 2);
    EXPECT_EQ(currentAyah(), 255);
    EXPECT_NE(reader().currentPicture(), nullptr);
    EXPECT_EQ(reader().readingHistory().size(), historyBefore);
}

TEST_F(MainWindowTest, AtHighDpiADragStoresTheHeightIn96DpiUnitsAndABackMoveRestoresTheTable) {
    sendDpiChanged(window, 144, RECT{0, 0, 1200, 900});
    const Box before = placeOf(child(IDC_TRANSLATION));
    ASSERT_EQ(before.height, 210);
    const int y = reader().splitterLine() - 1;
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at(10, y));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, at(10, y - 30));
    SendMessageA(window, WM_LBUTTONUP, 0, at(10, y - 30));
    pumpMessages();
    EXPECT_EQ(placeOf(child(IDC_TRANSLATION)).height, 240);
    EXPECT_EQ(reader().translationHeight(), 160); // 240 pixels at 144

    // Back on a monitor of 96 DPI: the table's own figures, and the message font for 96.
    sendDpiChanged(window, 96, RECT{0, 0, 900, 700});
    EXPECT_EQ(placeOf(child(IDC_TRANSLATION_SEARCH)), (Box{204, 0, 90, 24}));
    EXPECT_EQ(placeOf(child(IDC_TRANSLATION)).height, 160);
    EXPECT_EQ(placeOf(bitmapViewWindow()).x, 40);
    LOGFONTW messageAt96{};
    ASSERT_TRUE(messageFontAt(96, messageAt96));
    EXPECT_EQ(
        descriptionOf(reinterpret_cast<HFONT>(SendMessageA(child(IDC_TAJWID), WM_GETFONT, 0, 0)))
            .lfHeight,
        messageAt96.lfHeight);
    EXPECT_EQ(descriptionOf(reader().translationFont()).lfHeight,
              -MulDiv(translationFontPoints(reader().settings().fontSize), 96, 72));
    RECT bar;
    reader().splitterBar().getRect(&bar);
    EXPECT_EQ(bar.bottom - bar.top, 7);
}

} // namespace
