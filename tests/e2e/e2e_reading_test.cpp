// The reading view of the real reader driven by a user's input: Ctrl+R opens it, the wheel
// scrolls it to Ayat al-Kursi with the lists and the juz following, and the next start opens
// it again on the same ayah. What the view does in itself is seen in process
// (tests/win/reading_view_test.cpp).
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
    // One notch of a user's wheel, towards the end, over the view.
    void wheelDown(HWND view) {
        RECT area{};
        GetWindowRect(view, &area);
        SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_WHEEL;
        input.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
        SendInput(1, &input, sizeof input);
        Sleep(30); // input reaches the reader after the messages sent to it
        ASSERT_TRUE(session->waitIdle());
    }

    RegistryValue saved;
    std::unique_ptr<ReaderSession> session;
};

TEST_F(ReadingJourney, TheWheelReadsOnToAyatAlKursiAndTheNextStartOpensThere) {
    startReader(false);
    ASSERT_TRUE(session->goTo(2, 240));
    ASSERT_TRUE(session->bringToFront());
    pressKeys({VK_CONTROL, 'R'});
    Sleep(100);
    ASSERT_TRUE(session->waitIdle());
    HWND view = readingView();
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
