// Journeys through the real reader, driven from a separate process.
#include "reader_session_win.h"

#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string readerPath() {
    return windowsPathOf(NORAVEL_READER_EXE);
}

std::string caption(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST(ReaderStartAndStop, OpensItsMainWindowWithCaptionAndClass) {
    ReaderSession reader(readerPath());
    ASSERT_TRUE(reader.start());
    EXPECT_EQ(caption(reader.window()), "Noravel ver 3.2");
    EXPECT_TRUE(IsWindowVisible(reader.window()));
    LONG style = GetWindowLongA(reader.window(), GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(reader.waitForExit(), 0);
}

TEST(ReaderStartAndStop, FileExitEndsTheProgramWithCodeZero) {
    ReaderSession reader(readerPath());
    ASSERT_TRUE(reader.start());
    PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDM_EXIT, 0), 0);
    EXPECT_EQ(reader.waitForExit(), 0);
}

TEST(ReaderStartAndStop, CloseBoxEndsTheProgramWithCodeZero) {
    ReaderSession reader(readerPath());
    ASSERT_TRUE(reader.start());
    PostMessageA(reader.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(reader.waitForExit(), 0);
}

TEST(ReaderStartAndStop, UnknownCommandLeavesTheReaderRunning) {
    ReaderSession reader(readerPath());
    ASSERT_TRUE(reader.start());
    PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(12345, 0), 0);
    ASSERT_TRUE(reader.waitIdle());
    EXPECT_EQ(reader.waitForExit(300), -1);
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(reader.waitForExit(), 0);
}

// A program folder whose path leaves too little room for the files beside it (the system
// cannot start a program whose own path is longer than MAX_PATH at all): the reader refuses
// to start with a box that says why, instead of looking for its files in a folder cut out
// of that path, or showing no pictures.
TEST(ReaderStartAndStop, AFolderPathTooLongForItsFilesIsRefusedWithABox) {
    const std::string dist = readerPath().substr(0, readerPath().rfind('\\'));
    std::string folder = dist.substr(0, dist.rfind('\\')) + "\\e2e-folders";
    CreateDirectoryA(folder.c_str(), nullptr);
    constexpr size_t kFolderLength = 240; // over 219, and with "\Noravel.exe" under 260
    while (folder.size() < kFolderLength) {
        folder += "\\" + std::string(std::min<size_t>(kFolderLength - folder.size() - 1, 60), 'f');
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    ASSERT_EQ(folder.size(), kFolderLength);
    const std::string exe = folder + "\\Noravel.exe";
    ASSERT_TRUE(replaceFile(wideOfUtf8(readerPath()), wideOfUtf8(exe)));

    ReaderSession reader(exe);
    EXPECT_FALSE(reader.start(3000)) << "no main window";
    ASSERT_NE(reader.processId(), 0u) << "the system started the program";
    HWND box = nullptr;
    for (DWORD until = GetTickCount() + 10000; !box && GetTickCount() < until; Sleep(50))
        box = topWindowOf(reader.processId(), "#32770");
    ASSERT_NE(box, nullptr) << "a box tells the user";
    EXPECT_EQ(caption(box), "Noravel ver 3.2");
    char text[512] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // the box's text
    EXPECT_NE(std::string(text).find("longer than 219 characters"), std::string::npos) << text;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(reader.waitForExit(), 4);
}

// The menu as the reader's file carries it (another process's menu cannot be read
// through its window under every system, so it is read from the program file). Items with
// a key show it after a tab; separators read as "" with id 0.
TEST(ReaderMenu, HasTheFiveMenusWithTheirItemsKeysAndIds) {
    HMODULE file = LoadLibraryExA(readerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(file, nullptr);
    HMENU menu = LoadMenuA(file, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    ASSERT_NE(menu, nullptr);
    struct Item {
        std::string text;
        UINT id;
    };
    const std::vector<std::pair<std::string, std::vector<Item>>> expected = {
        {"&File", {{"&Settings...", IDM_SETTINGS}, {"", 0}, {"E&xit", IDM_EXIT}}},
        {"&Edit",
         {{"Copy &arabic text as bitmap", IDM_COPY_PICTURE},
          {"Copy arabic te&xt as text (ayat)", IDM_COPY_ARABIC_AYAH},
          {"Copy arabic text as text (&surat)", IDM_COPY_ARABIC_SURAH},
          {"Copy &terjemahan\tCtrl+C", IDM_COPY_TRANSLATION},
          {"&Copy list hasil pencarian", IDM_COPY_RESULTS}}},
        {"&View",
         {{"Html", IDM_COMMENTARY_PAGE},
          {"", 0},
          {"&Next ayah\tPage Down", IDM_NEXT_AYAH},
          {"&Previous ayah\tPage Up", IDM_PREVIOUS_AYAH},
          {"Next s&urah\tCtrl+Page Down", IDM_NEXT_SURAH},
          {"Previous su&rah\tCtrl+Page Up", IDM_PREVIOUS_SURAH},
          {"Ne&xt page\tCtrl+Shift+Page Down", IDM_NEXT_PAGE},
          {"Pre&vious page\tCtrl+Shift+Page Up", IDM_PREVIOUS_PAGE},
          {"&Go to...\tCtrl+G", IDM_GO_TO},
          {"Reading &plan...", IDM_READING_PLAN},
          {"", 0},
          {"&Translation search...\tCtrl+F", IDC_TRANSLATION_SEARCH},
          {"&Arabic search...\tCtrl+Shift+F", IDC_ARABIC_SEARCH},
          {"&Listen / Stop\tF5", IDC_LISTEN},
          {"&Recitation...", IDM_RECITATION},
          {"&Memorise...", IDM_MEMORISE},
          {"Repeat &from here", IDM_REPEAT_FROM_HERE},
          {"Repeat ...to &here", IDM_REPEAT_TO_HERE},
          {"&Clear the repeated range", IDM_REPEAT_CLEAR},
          {"&Slower\tCtrl+[", IDM_SPEED_DOWN},
          {"Fast&er\tCtrl+]", IDM_SPEED_UP},
          {"", 0},
          {"Zoom &in\tCtrl++", IDM_ZOOM_IN},
          {"Zoom &out\tCtrl+-", IDM_ZOOM_OUT},
          {"&Actual size\tCtrl+0", IDM_ZOOM_RESET},
          {"Nigh&t", IDM_NIGHT},
          {"Hi&de the text\tCtrl+H", IDM_HIDE_TEXT},
          {"Reading vie&w\tCtrl+R", IDM_READING_VIEW},
          {"Second &line", static_cast<UINT>(-1)}}},
        {"&Bookmarks",
         {{"&Add bookmark...\tCtrl+D", IDM_ADD_BOOKMARK},
          {"&Bookmarks...\tCtrl+B", IDM_BOOKMARKS}}},
        // The reciters follow at run time.
        {"Re&citation", {{"&Reciters and downloads...", IDM_RECITER_WINDOW}, {"", 0}}},
        {"&Help",
         {{"&How To\tF1", IDM_HELP_PAGE},
          {"&Translations...", IDM_TRANSLATION_CREDITS},
          {"&About", IDM_ABOUT}}},
    };
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size()));
    for (size_t m = 0; m < expected.size(); ++m) {
        char text[128] = "";
        GetMenuStringA(menu, static_cast<UINT>(m), text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(text, expected[m].first);
        HMENU popup = GetSubMenu(menu, static_cast<int>(m));
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected[m].second.size()));
        for (size_t i = 0; i < expected[m].second.size(); ++i) {
            GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            EXPECT_EQ(text, expected[m].second[i].text);
            EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)), expected[m].second[i].id);
        }
    }
    DestroyMenu(menu);
    FreeLibrary(file);
}

} // namespace
