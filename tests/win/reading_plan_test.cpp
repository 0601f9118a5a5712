// The reading plan in the reader: its dialog, the status bar at start, the ayah that stays
// shown, the file and its damaged lines, and a save killed half-way.
#include "app/reading_plan_file.h"
#include "app/reading_plan_win.h"
#include "app/user_files_win.h"
#include "base/guards_win.h"
#include "resources/resource_ids.h"
#include "text/text_store.h"

#include <commctrl.h>

#include "tests/support/even_mushaf_pages.h"
#include "tests/support/modal_dialog_driver_win.h"
#include "win_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kSaveReachedEvent[] = L"NoravelReadingPlanTestSaveReached";

std::string fileText(const std::wstring& path) {
    std::string text;
    return readUserFile(path, text) == UserFileRead::read ? text : std::string("(none)");
}

std::string itemText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

std::string listLine(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, IDC_PLAN_DAYS_LIST);
    wchar_t text[512] = L"";
    if (SendMessageW(list, LB_GETTEXTLEN, index, 0) >= 512) return "(too long)";
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    return utf8FromWide(text);
}

void press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

SYSTEMTIME systemDate(long day) {
    const CivilDate date = dateOfDay(day);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    return time;
}

PlanSettings startingYesterday(int days) {
    PlanSettings settings;
    settings.start = dateOfDay(readingPlanToday() - 1);
    settings.days = days;
    return settings;
}

// With NORAVEL_PLAN_SHOT naming a .bmp file, the screen under the dialog is saved there
// (24-bit), for a person to look at.
void saveShotOf(HWND dialog) {
    char path[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("NORAVEL_PLAN_SHOT", path, MAX_PATH)) return;
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rect;
    GetClientRect(dialog, &rect);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = stride * static_cast<DWORD>(height);
    std::vector<BYTE> pixels(header.biSizeImage);
    WindowDc screen(nullptr);
    MemoryDc memory(screen.get());
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        SelectedObject selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    }
    GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    if (FILE* out = std::fopen(path, "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&header, sizeof header, 1, out);
        std::fwrite(pixels.data(), 1, pixels.size(), out);
        std::fclose(out);
    }
}

class ReadingPlanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = createReaderWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(useReadingPlanPages(evenFirstAyah, 604));
        path = readingPlanFilePath();
        ASSERT_FALSE(path.empty());
        makeUserFolder();
        DeleteFileW(path.c_str());
        DeleteFileW((path + L".tmp").c_str());
        DeleteFileW(damagedReadingPlanFilePath().c_str());
        testPrompts().reset();
        loadReadingPlan(window, testPrompts());
    }
    void TearDown() override {
        testPrompts().reset();
        setReadingPlanSavePause(nullptr);
        if (IsWindow(window)) DestroyWindow(window);
        pumpMessages();
        DeleteFileW(path.c_str());
        DeleteFileW(damagedReadingPlanFilePath().c_str());
    }

    HWND window = nullptr;
    std::wstring path;
};

} // namespace

TEST_F(ReadingPlanTest, ThirtyDaysFromYesterdayShowBothPortionsAndMarkingThemShowsProgress) {
    HMENU menu = GetMenu(window);
    ASSERT_EQ(GetMenuState(menu, IDM_READING_PLAN, MF_BYCOMMAND) & MF_GRAYED, 0u);
    const long today = readingPlanToday();
    // Day 1 (yesterday) has pages 1-21; today's 22-42 come with them, carried.
    const std::string lastOf42 = [] {
        const AyahRef last = evenFirstAyah(43);
        return std::to_string(last.surah) + ":" + std::to_string(last.ayah - 1);
    }();
    std::vector<std::string> before, after;
    std::string todayBefore, todayAfter, progressBefore, progressAfter;
    ModalDialogDriver driver("Reading plan", [&](HWND dialog) {
        SetDlgItemInt(dialog, IDC_PLAN_DAYS, 30, FALSE);
        const SYSTEMTIME yesterday = systemDate(today - 1);
        SendDlgItemMessageW(dialog, IDC_PLAN_START, DTM_SETSYSTEMTIME, GDT_VALID,
                            reinterpret_cast<LPARAM>(&yesterday));
        press(dialog, IDC_PLAN_BEGIN);
        before = {listLine(dialog, 0), listLine(dialog, 1), listLine(dialog, 2)};
        todayBefore = itemText(dialog, IDC_PLAN_TODAY);
        progressBefore = itemText(dialog, IDC_PLAN_PROGRESS);
        press(dialog, IDC_PLAN_MARK_READ);
        after = {listLine(dialog, 0), listLine(dialog, 1)};
        todayAfter = itemText(dialog, IDC_PLAN_TODAY);
        progressAfter = itemText(dialog, IDC_PLAN_PROGRESS);
        saveShotOf(dialog);
        press(dialog, IDCANCEL);
    });
    showReadingPlanDialog(testContext().instance, window, testPrompts());
    ASSERT_TRUE(driver.ran());

    ASSERT_EQ(before.size(), 3u);
    EXPECT_NE(before[0].find("pages 1\u201321\t0 of 21 read\tmissed"), std::string::npos)
        << before[0];
    EXPECT_NE(before[1].find("pages 1\u201342\t0 of 42 read\ttoday"), std::string::npos)
        << before[1];
    EXPECT_NE(before[2].find("pages 43\u201363\t0 of 21 read"), std::string::npos) << before[2];
    EXPECT_EQ(todayBefore, "Today: pages 1\u201342, 1:1 \u2013 " + lastOf42);
    EXPECT_EQ(progressBefore, "Read: 0 of 604 pages (0%); 21 pages behind the plan");

    EXPECT_NE(after[0].find("21 of 21 read\tread"), std::string::npos) << after[0];
    EXPECT_NE(after[1].find("42 of 42 read\ttoday"), std::string::npos) << after[1];
    EXPECT_EQ(todayAfter, todayBefore + " (read)");
    EXPECT_EQ(progressAfter, "Read: 42 of 604 pages (6%)");
    EXPECT_NE(statusBarPart(window, 1).find(todayAfter), std::string::npos);

    // Saved as it stands.
    const PlanFileContent saved = parsePlanFile(fileText(path), TextStore::ayahCount);
    ASSERT_TRUE(saved.settings.has_value());
    EXPECT_EQ(dayNumber(saved.settings->start), today - 1);
    EXPECT_EQ(saved.settings->days, 30);
    ASSERT_EQ(saved.runs.size(), 1u);
    EXPECT_EQ(saved.runs[0].first, (AyahRef{1, 1}));
    EXPECT_EQ(std::to_string(saved.runs[0].last.surah) + ":" +
                  std::to_string(saved.runs[0].last.ayah),
              lastOf42);
}

TEST_F(ReadingPlanTest, AtStartTodaysPortionIsInTheStatusBar) {
    ASSERT_TRUE(startReadingPlan(startingYesterday(30)));
    reader().setStatusText(1, "");
    loadReadingPlan(window, testPrompts());
    ASSERT_NE(readingPlan(), nullptr);
    EXPECT_EQ(statusBarPart(window, 1).rfind("Today: pages 1\u201342, 1:1 \u2013 ", 0), 0u)
        << statusBarPart(window, 1);
    // Without a plan the start says nothing.
    ASSERT_TRUE(stopReadingPlan());
    reader().setStatusText(1, "");
    loadReadingPlan(window, testPrompts());
    EXPECT_EQ(readingPlan(), nullptr);
    EXPECT_EQ(statusBarPart(window, 1), "");
    EXPECT_EQ(fileText(path), "(none)");
}

TEST_F(ReadingPlanTest, AnAyahCountsAsReadOnlyOnceItStaysShownAFewSeconds) {
    ASSERT_TRUE(startReadingPlan(startingYesterday(30)));
    const ReadingPlan& plan = *readingPlan();
    const int passedBy = plan.pages().indexOf({2, 256});
    const int stayed = plan.pages().indexOf({2, 257});
    const DWORD shownAt = GetTickCount();
    selectAyah(2, 256);
    selectAyah(2, 257);
    const DWORD limit = GetTickCount() + 20000;
    while (plan.readOn(stayed) == kNotRead && GetTickCount() < limit) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        pumpMessages();
    }
    ASSERT_EQ(plan.readOn(stayed), readingPlanToday());
    EXPECT_GE(GetTickCount() - shownAt, kReadingPlanReadAfterMs - 100);
    EXPECT_EQ(plan.readOn(passedBy), kNotRead);
    // What was read is saved when the reader closes.
    DestroyWindow(window);
    pumpMessages();
    const PlanFileContent saved = parsePlanFile(fileText(path), TextStore::ayahCount);
    ASSERT_EQ(saved.runs.size(), 1u);
    EXPECT_EQ(saved.runs[0].first, (AyahRef{2, 257}));
    EXPECT_EQ(saved.runs[0].last, (AyahRef{2, 257}));
}

TEST_F(ReadingPlanTest, LinesThatDoNotReadAreSetAsideAndReportedOnce) {
    std::vector<std::string> told;
    testPrompts().onTell = [&](HWND, const char* text, const char*) { told.push_back(text); };
    const std::string head = "Noravel reading plan 1\nstart 2026-12-07\ndays 30\nmissed spread\n";
    ASSERT_TRUE(writeFileReplacing(path, head + "read 2026-12-07 1:1 1:7\nread 2026-12-07 2:1 "
                                                "2:999\r\nsomething else\n"));
    loadReadingPlan(window, testPrompts());
    ASSERT_NE(readingPlan(), nullptr);
    EXPECT_EQ(readingPlan()->settings().missed, MissedDays::spread);
    EXPECT_EQ(readingPlan()->ayatRead(), 7);
    EXPECT_EQ(fileText(damagedReadingPlanFilePath()),
              "read 2026-12-07 2:1 2:999\r\nsomething else\n");
    EXPECT_EQ(fileText(path), head + "read 2026-12-07 1:1 1:7\n");
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("2 lines"), std::string::npos) << told[0];

    // A file that is no plan goes aside whole; the reader has no plan then.
    told.clear();
    ASSERT_TRUE(writeFileReplacing(path, "start 2026-12-07\nplan of someone else\n"));
    loadReadingPlan(window, testPrompts());
    EXPECT_EQ(readingPlan(), nullptr);
    EXPECT_EQ(fileText(damagedReadingPlanFilePath()),
              "read 2026-12-07 2:1 2:999\r\nsomething else\nstart 2026-12-07\nplan of someone "
              "else\n");
    EXPECT_EQ(fileText(path), "(none)");
    EXPECT_EQ(told.size(), 1u);
}

// Run only as the child of the test below: saves a new plan and, between writing the
// temporary file and moving it over the plan file, tells the parent and waits to be killed.
TEST(ReadingPlanSaveChild, DISABLED_SavesAndWaitsToBeKilled) {
    ASSERT_NE(createReaderWindow(), nullptr);
    ASSERT_TRUE(useReadingPlanPages(evenFirstAyah, 604));
    setReadingPlanSavePause([] {
        HANDLE reached = OpenEventW(EVENT_MODIFY_STATE, FALSE, kSaveReachedEvent);
        if (reached) SetEvent(reached);
        Sleep(INFINITE);
    });
    startReadingPlan(startingYesterday(7));
    FAIL() << "the save went on past its pause";
}

TEST_F(ReadingPlanTest, TheFileSurvivesAKillBetweenWritingAndReplacing) {
    ASSERT_TRUE(startReadingPlan(startingYesterday(30)));
    ASSERT_TRUE(markTodaysPortionRead());
    const std::string old = fileText(path);

    KernelHandle reached(CreateEventW(nullptr, TRUE, FALSE, kSaveReachedEvent));
    ASSERT_TRUE(reached);
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) +
                           L"\" --gtest_also_run_disabled_tests "
                           L"--gtest_filter=ReadingPlanSaveChild.*";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &child));
    KernelHandle process(child.hProcess), thread(child.hThread);
    // However the test ends, the child does not outlive it.
    struct Ender {
        HANDLE process;
        ~Ender() {
            TerminateProcess(process, 9);
            WaitForSingleObject(process, 30000);
        }
    } ender{process.get()};
    HANDLE waits[2] = {reached.get(), process.get()};
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 120000);
    ASSERT_EQ(woke, WAIT_OBJECT_0) << "the child ended or hung before its save";
    // The new file is written in full beside the old one when the child is killed.
    const PlanFileContent pending = parsePlanFile(fileText(path + L".tmp"), TextStore::ayahCount);
    ASSERT_TRUE(pending.settings.has_value());
    EXPECT_EQ(pending.settings->days, 7);
    ASSERT_TRUE(TerminateProcess(process.get(), 9));
    ASSERT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);

    EXPECT_EQ(fileText(path), old);
    loadReadingPlan(window, testPrompts());
    ASSERT_NE(readingPlan(), nullptr);
    EXPECT_EQ(readingPlan()->settings().days, 30);
    EXPECT_EQ(readingPlan()->pagesRead(), 42);
    // The next save goes through, over the temporary file left behind.
    ASSERT_TRUE(changeMissedDays(MissedDays::spread));
    EXPECT_EQ(fileText(path + L".tmp"), "(none)");
    EXPECT_NE(fileText(path).find("missed spread"), std::string::npos);
}
