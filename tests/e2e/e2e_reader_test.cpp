// Journeys through the reader window, driven from a separate process: the surah and ayah
// lists, the up-down arrows across a surah boundary, the juz in the status bar and the
// listing of the visited ayat; a start on a hostile picture of 1:1.
#include "reader_session_win.h"

#include "resources/resource_ids.h"
#include "tests/native/picture_builder.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The same text with every byte outside ASCII as '?', to compare an ANSI text with one
// that came back as UTF-16.
std::string ascii(const std::string& text) {
    std::string out;
    for (unsigned char c : text)
        out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

class ReaderWindowJourney : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(reader.start());
        SetWindowPos(reader.window(), HWND_TOP, 0, 0, 900, 700, SWP_SHOWWINDOW);
        ASSERT_TRUE(reader.waitIdle());
    }
    void TearDown() override {
        PostMessageA(reader.window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(reader.waitForExit(), 0);
    }

    int selection(int id) const {
        return static_cast<int>(SendMessageA(reader.child(id), CB_GETCURSEL, 0, 0));
    }
    std::string shown() const {
        return std::to_string(selection(IDC_SURAH_LIST) + 1) + ":" +
               std::to_string(selection(IDC_AYAH_LIST) + 1);
    }
    // What a choice in a drop-down list sends its parent when the list closes. Sent, not
    // posted: a waitIdle (a sent message) could otherwise overtake a posted one.
    void choose(int id, int index) {
        SendMessageA(reader.child(id), CB_SETCURSEL, index, 0);
        SendMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(reader.child(id)));
        reader.waitIdle();
    }
    // A click on the upper (previous ayah) or lower (next ayah) arrow.
    void clickArrow(bool lower) {
        HWND upDown = reader.child(IDC_AYAH_STEPPER);
        RECT rect;
        GetClientRect(upDown, &rect);
        const LPARAM where =
            MAKELPARAM(rect.right / 2, lower ? rect.bottom * 3 / 4 : rect.bottom / 4);
        SendMessageA(upDown, WM_LBUTTONDOWN, MK_LBUTTON, where);
        SendMessageA(upDown, WM_LBUTTONUP, 0, where);
        reader.waitIdle();
    }
    std::string translation() const { return reader.text(reader.child(IDC_TRANSLATION)); }

    ReaderSession reader{windowsPathOf(NORAVEL_READER_EXE)};
};

TEST_F(ReaderWindowJourney, OpensOnTheFirstAyahWithJuzOne) {
    HWND surahList = reader.child(IDC_SURAH_LIST);
    EXPECT_EQ(SendMessageA(surahList, CB_GETCOUNT, 0, 0), 114);
    EXPECT_EQ(comboItemText(surahList, 0).rfind("1 - ", 0), 0u) << comboItemText(surahList, 0);
    EXPECT_EQ(comboItemText(surahList, 113).rfind("114 - ", 0), 0u);
    EXPECT_EQ(SendMessageA(reader.child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 7);
    EXPECT_EQ(shown(), "1:1");
    EXPECT_EQ(statusBarText(reader, 0), "JUZ 1");
    EXPECT_FALSE(translation().empty());
}

TEST_F(ReaderWindowJourney, TheListsChooseASurahAndAnAyah) {
    const std::string first = translation();
    choose(IDC_SURAH_LIST, 1);
    EXPECT_EQ(SendMessageA(reader.child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 286);
    EXPECT_EQ(comboItemText(reader.child(IDC_AYAH_LIST), 285), "286");
    EXPECT_EQ(shown(), "2:1");
    EXPECT_EQ(statusBarText(reader, 0), "JUZ 1");
    const std::string twoOne = translation();
    EXPECT_NE(twoOne, first);
    choose(IDC_AYAH_LIST, 141);
    EXPECT_EQ(shown(), "2:142");
    EXPECT_EQ(statusBarText(reader, 0), "JUZ 2");
    EXPECT_NE(translation(), twoOne);
    choose(IDC_SURAH_LIST, 45); // surah 46 lies in juz 26
    EXPECT_EQ(statusBarText(reader, 0), "JUZ 26");
}

TEST_F(ReaderWindowJourney, TheArrowsStepAcrossSurahBoundariesBothWays) {
    choose(IDC_SURAH_LIST, 0);
    choose(IDC_AYAH_LIST, 6); // 1:7
    clickArrow(true);
    EXPECT_EQ(shown(), "2:1");
    EXPECT_EQ(SendMessageA(reader.child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 286);
    clickArrow(true);
    EXPECT_EQ(shown(), "2:2");
    clickArrow(false);
    clickArrow(false);
    EXPECT_EQ(shown(), "1:7");
    EXPECT_EQ(SendMessageA(reader.child(IDC_AYAH_LIST), CB_GETCOUNT, 0, 0), 7);
    // Back from 1:1 wraps to the last ayah of surah 114, and on again to 1:1.
    choose(IDC_AYAH_LIST, 0);
    clickArrow(false);
    EXPECT_EQ(shown(), "114:6");
    EXPECT_EQ(statusBarText(reader, 0), "JUZ 30");
    clickArrow(true);
    EXPECT_EQ(shown(), "1:1");
    EXPECT_EQ(statusBarText(reader, 0), "JUZ 1");
}

TEST_F(ReaderWindowJourney, TheHistoryCommandListsTheVisitedAyatNewestFirst) {
    const std::string oneOne = translation();
    choose(IDC_SURAH_LIST, 1);
    const std::string twoOne = translation();
    clickArrow(true);
    clickArrow(true);
    const std::string twoThree = translation();
    choose(IDC_SURAH_LIST, 0); // 1:1 again: moves to the newest place
    SendMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDM_READING_HISTORY, 0), 0);
    ASSERT_TRUE(reader.waitIdle());
    HWND results = reader.child(IDC_RESULT_LIST);
    ASSERT_EQ(SendMessageA(results, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(listItemText(results, 0), "1:1 " + ascii(oneOne));
    EXPECT_EQ(listItemText(results, 1), "2:3 " + ascii(twoThree));
    EXPECT_EQ(listItemText(results, 2).rfind("2:2 ", 0), 0u);
    EXPECT_EQ(listItemText(results, 3), "2:1 " + ascii(twoOne));
}

// A copy of the program folder in the temporary folder: its programs and the pictures of
// surah 1. Returns the copy's folder.
std::string programCopy(const char* name) {
    const std::string from = windowsPathOf(NORAVEL_READER_EXE);
    const std::string dist = from.substr(0, from.rfind('\\'));
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string copy = std::string(temp) + name;
    CreateDirectoryA(copy.c_str(), nullptr);
    CreateDirectoryA((copy + "\\gif").c_str(), nullptr);
    CreateDirectoryA((copy + "\\gif\\1").c_str(), nullptr);
    for (const std::string& folder : {std::string(), std::string("\\gif\\1")}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dist + folder + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            CopyFileA((dist + folder + "\\" + found.cFileName).c_str(),
                      (copy + folder + "\\" + found.cFileName).c_str(), FALSE);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return copy;
}

// A copy of the program folder whose picture of 1:1 is a 1x1 GIF followed by 1 MB of
// codes that each name the longest string.
std::string programCopyWithHostileFirstPicture() {
    const std::string copy = programCopy("noravel-hostile-picture");
    using namespace picture_builder;
    GifSpec shape;
    shape.minimumCodeSize = 2;
    shape.globalTable = colourTable(4);
    shape.codeStream = deepestChains(4090, (1 << 20) * 8 / 12);
    const Bytes gif = buildGif(shape);
    std::ofstream(copy + "\\gif\\1\\1_1.gif", std::ios::binary)
        .write(reinterpret_cast<const char*>(gif.data()), static_cast<std::streamsize>(gif.size()));
    return copy + "\\Noravel.exe";
}

// Milliseconds from starting the reader until its window is ready; -1 when it is not.
long startAndClose(const std::string& exe) {
    ReaderSession reader(exe);
    const DWORD started = GetTickCount();
    if (!reader.start()) return -1;
    const long taken = static_cast<long>(GetTickCount() - started);
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    return reader.waitForExit() == 0 ? taken : -1;
}

TEST(HostilePictureJourney, AnEndlessCodeStreamAsTheFirstPictureDelaysTheStartByUnderOneSecond) {
    const std::string hostile = programCopyWithHostileFirstPicture();
    const long normal = startAndClose(windowsPathOf(NORAVEL_READER_EXE));
    const long slow = startAndClose(hostile);
    ASSERT_GE(normal, 0);
    ASSERT_GE(slow, 0);
    EXPECT_LE(slow, normal + 1000) << "normal start " << normal << " ms";
    std::cout << "normal start " << normal << " ms, on the hostile picture " << slow << " ms\n";
}

// A Riched32.dll that refuses to load, dropped beside a portable copy of the reader, is
// never loaded: the reader takes the system's and shows 1:1 with its translation.
TEST(ReaderStartAndStop, ALibraryDroppedBesideTheReaderIsNotLoaded) {
    const std::string copy = programCopy("noravel-dropped-library");
    ASSERT_TRUE(CopyFileA(windowsPathOf(NORAVEL_REFUSING_DLL).c_str(),
                          (copy + "\\riched32.dll").c_str(), FALSE));
    const std::string marker = copy + "\\riched32.dll.loaded";
    DeleteFileA(marker.c_str());
    // Wine prefers its own builtin DLLs to any beside a program; asking it for native ones
    // first (for this program, in the test prefix) makes it search the way Windows does:
    // the program's folder before the system's.
    const char* appDefaults = "Software\\Wine\\AppDefaults\\Noravel.exe\\DllOverrides";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, appDefaults, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const char order[] = "native,builtin";
    RegSetValueExA(key, "riched32", 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order);
    RegCloseKey(key);
    ReaderSession reader(copy + "\\Noravel.exe");
    const bool started = reader.start();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Noravel.exe");
    ASSERT_TRUE(started);
    EXPECT_EQ(reader.text(reader.child(IDC_TRANSLATION)),
              "Dengan nama Allah Yang Maha Pengasih, Maha Penyayang");
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(reader.waitForExit(), 0);
    EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the reader loaded the riched32.dll beside it";
}

} // namespace
