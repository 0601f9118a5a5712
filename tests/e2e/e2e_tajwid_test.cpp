// The tajwid window beside the reader, both real programs: the reader's Tajwid button starts
// it, it follows the reader from ayah to ayah, and a second click brings the running window
// to the front instead of starting another copy.
#include "reader_session_win.h"

#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

std::vector<HWND> tajwidWindows() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND window, LPARAM list) -> BOOL {
            char name[32] = "";
            GetClassNameA(window, name, sizeof name);
            if (std::string(name) == "MORVENT")
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

int tajwidProcesses() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (_stricmp(entry.szExeFile, "morvent.exe") == 0) ++count;
    CloseHandle(snapshot);
    return count;
}

std::string caption(HWND window) {
    char text[200] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Polls until the condition holds or the time is up; true if it held.
template <typename Condition> bool waitFor(Condition condition, DWORD timeoutMs = 10000) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(100);
    }
    return true;
}

class TajwidJourney : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(reader.start());
        SetWindowPos(reader.window(), HWND_TOP, 0, 0, 640, 700, SWP_SHOWWINDOW);
        ASSERT_TRUE(reader.waitIdle());
    }
    void TearDown() override {
        for (HWND window : tajwidWindows())
            PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(waitFor([] { return tajwidProcesses() == 0; }));
        PostMessageA(reader.window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(reader.waitForExit(), 0);
    }
    void clickTajwid() {
        SendMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDC_TAJWID, BN_CLICKED),
                     reinterpret_cast<LPARAM>(reader.child(IDC_TAJWID)));
    }
    // A choice in the reader's surah and ayah lists, as the lists report it when they close.
    void showInReader(int surah, int ayah) {
        for (const auto& [id, index] :
             {std::pair{IDC_SURAH_LIST, surah - 1}, std::pair{IDC_AYAH_LIST, ayah - 1}}) {
            SendMessageA(reader.child(id), CB_SETCURSEL, index, 0);
            SendMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK),
                         reinterpret_cast<LPARAM>(reader.child(id)));
            reader.waitIdle();
        }
    }
    bool tajwidShows(const std::string& expected) {
        return waitFor([&] {
            const auto windows = tajwidWindows();
            return windows.size() == 1 && caption(windows[0]) == expected;
        });
    }

    ReaderSession reader{windowsPathOf(NORAVEL_READER_EXE)};
};

TEST_F(TajwidJourney, FollowsTheReaderThroughThreeAyatAndASecondClickStartsNoSecondCopy) {
    clickTajwid();
    EXPECT_TRUE(tajwidShows("Tajwid - 1:1 Al Fatihah"));

    showInReader(2, 255);
    EXPECT_TRUE(tajwidShows("Tajwid - 2:255 Al Baqarah"));
    showInReader(2, 256);
    EXPECT_TRUE(tajwidShows("Tajwid - 2:256 Al Baqarah"));
    showInReader(34, 53);
    EXPECT_TRUE(tajwidShows("Tajwid - 34:53 Saba"));

    const HWND first = tajwidWindows().at(0);
    SetForegroundWindow(reader.window());
    clickTajwid();
    // The second copy hands over to the first and ends; the first comes to the front.
    EXPECT_TRUE(waitFor([] { return tajwidProcesses() == 1; }));
    EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == first; }));
    EXPECT_EQ(tajwidWindows(), std::vector<HWND>{first});
    EXPECT_EQ(caption(first), "Tajwid - 34:53 Saba");
}

} // namespace
