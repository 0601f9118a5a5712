// The reading view of the real reader driven as a user drives it: Ctrl+R (real key presses)
// opens it, the wheel's messages over it scroll it to Ayat al-Kursi with the lists and the juz
// following, and the next start opens it again on the same ayah. What the view does in itself is
// seen in process (tests/win/reading_view_test.cpp).
#include "reader_session_win.h"

#include "resources/resource_ids.h"
#include "tests/support/registry_value_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr char kSettingKey[] = "SOFTWARE\\KELVANE\\QURAN\\SETTING";
constexpr char kReadingViewValue[] = "ReadingView";

class ReadingJourney : public ::testing::Test {
  protected:
    void SetUp() override {
        saved = readRegistryValue(HKEY_CURRENT_USER, kSettingKey, kReadingViewValue);
        writeRegistryValue(HKEY_CURRENT_USER, kSettingKey, kReadingViewValue, RegistryValue{});
    }
    void TearDown() override {
        closeReader();
        clearStoredReadingPosition();
        writeRegistryValue(HKEY_CURRENT_USER, kSettingKey, kReadingViewValue, saved);
    }
    void startReader(bool keepReadingPosition) {
        session = std::make_unique<ReaderSession>(windowsPathOf(NORAVEL_READER_EXE));
        ASSERT_TRUE(session->start(60000, keepReadingPosition));
    }
    void closeReader() {
        if (session && session->window() && IsWindow(session->window())) {
            PostMessageA(session->window(), WM_CLOSE, 0, 0);
            EXPECT_EQ(session->waitForExit(), 0);
        }
        session.reset();
    }
    std::string shown() const {
        const LRESULT surah = SendMessageA(session->child(IDC_SURAH_LIST), CB_GETCURSEL, 0, 0);
        const LRESULT ayah = SendMessageA(session->child(IDC_AYAH_LIST), CB_GETCURSEL, 0, 0);
        return std::to_string(surah + 1) + ":" + std::to_string(ayah + 1);
    }
    HWND readingView() const { return findChildWindow(session->window(), "NORAVEL_READING"); }
    // One notch of the wheel towards the end, with the mouse over the view, to the window
    // under the mouse as the system sends it. Sent, not put into the input queue, so that the
    // notch has been handled when the call returns and none can arrive after the last check.
    void wheelDown(HWND view) {
        RECT area{};
        GetWindowRect(view, &area);
        const POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        SetCursorPos(middle.x, middle.y);
        HWND under = WindowFromPoint(middle);
        ASSERT_EQ(under, view);
        SendMessageW(under, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                     MAKELPARAM(middle.x, middle.y));
    }

    RegistryValue saved;
    std::unique_ptr<ReaderSession> session;
};

TEST_F(ReadingJourney, TheWheelReadsOnToAyatAlKursiAndTheNextStartOpensThere) {
    startReader(false);
    ASSERT_TRUE(session->goTo(2, 240));
    ASSERT_TRUE(session->bringToFront());
    pressKeys({VK_CONTROL, 'R'});
    // The keys arrive through the reader's input queue: the view shows once they are handled.
    HWND view = nullptr;
    for (int i = 0; i < 250 && !(view && IsWindowVisible(view)); ++i) {
        Sleep(20);
        view = readingView();
    }
    ASSERT_TRUE(session->waitIdle());
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(IsWindowVisible(view));
    EXPECT_EQ(shown(), "2:240");

    for (int notch = 0; notch < 200 && shown() != "2:255"; ++notch)
        wheelDown(view);
    ASSERT_EQ(shown(), "2:255");
    EXPECT_EQ(statusBarText(*session, 0), "JUZ 3");

    closeReader();
    startReader(true);
    view = readingView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(IsWindowVisible(view));
    EXPECT_EQ(shown(), "2:255");
    EXPECT_EQ(statusBarText(*session, 0), "JUZ 3");
}

} // namespace
