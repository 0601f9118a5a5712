// Journeys of text in scripts beyond the ANSI code page (Cyrillic, the Arabic letters of
// Urdu, Chinese), typed with real key presses into the reader's text fields: the Go to
// field, the first word of the translation search and the Recitation window's download
// address. Each field must then hold exactly the UTF-16 text typed. Keys arrive as Unicode
// packets; a message loop or a dialog that passes them through a code page turns every letter
// that code page lacks into "?", and that is what these journeys catch. Go to and the search
// then take the text on OK and give it back (Go to quotes it in its problem; the search
// dialog shows the stored words when it opens again), which a narrow read of the field
// would turn into "?" too. The Recitation window is left with Escape, so nothing is kept.
#include "reader_session_win.h"

#include "recitation/reciter_catalogue.h"
#include "resources/resource_ids.h"
#include "settings/settings_win.h"
#include "tests/support/registry_value_win.h"

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>

namespace {

constexpr char kSettingKey[] = "SOFTWARE\\KELVANE\\QURAN\\SETTING";

struct Script {
    const char* name;
    std::wstring text;
};

// None of these letters is in code page 1252, the ANSI code page of the test bed.
const Script kScripts[] = {
    {"Russian", L"Москва мир"},
    {"Urdu", L"اردو زبان"},
    {"Chinese", L"中文测试"},
};

class UnicodeInputJourney : public ::testing::Test {
  protected:
    void SetUp() override {
        session = std::make_unique<ReaderSession>(windowsPathOf(NORAVEL_READER_EXE));
        ASSERT_TRUE(reader().start());
    }
    void TearDown() override {
        if (session && reader().window() && IsWindow(reader().window())) {
            PostMessageA(reader().window(), WM_CLOSE, 0, 0);
            EXPECT_EQ(reader().waitForExit(), 0);
        }
        session.reset();
    }
    ReaderSession& reader() const { return *session; }

    // The reader's focused window (another thread's focus is read through its GUI state).
    HWND focused() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(reader().window(), nullptr), &info);
        return info.hwndFocus;
    }

    // Makes the dialog the foreground window and clicks into the field, as a user would
    // before typing; true once the field has the keyboard focus. Not every dialog opens with
    // the focus there: the translation search gives it to OK, the Recitation window to its
    // folder.
    bool focusField(HWND dialog, HWND field) const {
        SetForegroundWindow(dialog);
        for (int i = 0; i < 100 && GetForegroundWindow() != dialog; ++i)
            Sleep(20);
        reader().waitIdle(); // the dialog's appearance handled before the click
        RECT area{};
        GetClientRect(field, &area);
        clickAt(field, {area.left + 4, (area.top + area.bottom) / 2});
        for (int i = 0; i < 250 && focused() != field; ++i)
            Sleep(20);
        return GetForegroundWindow() == dialog && focused() == field && reader().waitIdle();
    }

    // Types each script into the emptied field and expects to read exactly it back. Every
    // unit typed gives one character, converted or not, so the wait is for the length.
    void expectEveryScriptArrives(HWND dialog, int fieldId, const char* fieldName) {
        HWND field = GetDlgItem(dialog, fieldId);
        ASSERT_NE(field, nullptr) << fieldName;
        ASSERT_TRUE(focusField(dialog, field)) << "the focus did not reach " << fieldName;
        for (const Script& script : kScripts) {
            SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            typeText(script.text);
            std::wstring shown;
            for (int i = 0; i < 250 && (shown = windowTextW(field)).size() < script.text.size();
                 ++i)
                Sleep(20);
            ASSERT_TRUE(reader().waitIdle());
            shown = windowTextW(field);
            EXPECT_EQ(shown, script.text)
                << fieldName << ", " << script.name << ": typed \"" << utf8Of(script.text)
                << "\", the field holds \"" << utf8Of(shown) << "\"";
        }
    }

    // Escape, as a user leaves a dialog without taking what was typed.
    void leaveWithEscape(HWND dialog, const char* caption) {
        pressKeys({VK_ESCAPE});
        EXPECT_TRUE(waitUntilClosed(dialog)) << caption << " stayed open after Escape";
        ASSERT_TRUE(reader().waitIdle());
    }

    std::unique_ptr<ReaderSession> session;
};

TEST_F(UnicodeInputJourney, GoToFieldHoldsTextTypedInAnyScriptAndQuotesItBack) {
    ASSERT_TRUE(reader().bringToFront());
    pressKeys({VK_CONTROL, 'G'});
    HWND dialog = reader().waitForWindow("#32770", "Go to");
    ASSERT_NE(dialog, nullptr) << "Ctrl+G did not open Go to";
    expectEveryScriptArrives(dialog, IDC_GO_TO_TEXT, "Go to");
    // The last text typed names no surah: Enter keeps the dialog open and says so, quoting it.
    const std::wstring typed = kScripts[std::size(kScripts) - 1].text;
    pressKeys({VK_RETURN});
    // The key reaches the reader through the system's input queue: wait for its answer.
    HWND problemLine = GetDlgItem(dialog, IDC_GO_TO_PROBLEM);
    std::wstring problem;
    for (int i = 0; i < 250 && (problem = windowTextW(problemLine)).empty(); ++i)
        Sleep(20);
    ASSERT_TRUE(reader().waitIdle());
    problem = windowTextW(problemLine);
    EXPECT_NE(problem.find(L"\"" + typed + L"\""), std::wstring::npos)
        << "the problem quotes \"" << utf8Of(problem) << "\"";
    leaveWithEscape(dialog, "Go to");
}

TEST_F(UnicodeInputJourney, TranslationSearchWordHoldsTextTypedInAnyScriptAndKeepsIt) {
    ASSERT_TRUE(reader().bringToFront());
    pressKeys({VK_CONTROL, 'F'});
    // Visible only once its WM_INITDIALOG has filled the fields with the last query.
    HWND dialog = reader().waitForWindow("#32770", "Pencarian kata");
    ASSERT_NE(dialog, nullptr) << "Ctrl+F did not open the translation search";
    expectEveryScriptArrives(dialog, IDC_WORD_1, "translation search word 1");
    // OK searches for the last text typed (no translation holds it) and keeps it as the query.
    const std::wstring typed = kScripts[std::size(kScripts) - 1].text;
    pressKeys({VK_RETURN});
    EXPECT_TRUE(waitUntilClosed(dialog));
    HWND box = reader().waitForWindow("#32770", "Info");
    ASSERT_NE(box, nullptr) << "no \"Not Found\" box";
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(waitUntilClosed(box));
    ASSERT_TRUE(reader().waitIdle());
    // The dialog opens again with the query it kept.
    ASSERT_TRUE(reader().bringToFront());
    pressKeys({VK_CONTROL, 'F'});
    dialog = reader().waitForWindow("#32770", "Pencarian kata");
    ASSERT_NE(dialog, nullptr) << "Ctrl+F did not open the translation search again";
    const std::wstring kept = windowTextW(GetDlgItem(dialog, IDC_WORD_1));
    EXPECT_EQ(kept, typed) << "the search kept \"" << utf8Of(kept) << "\"";
    leaveWithEscape(dialog, "Pencarian kata");
}

TEST_F(UnicodeInputJourney, RecitationAddressHoldsTextTypedInAnyScriptAndCloseKeepsNone) {
    // The address field takes typing under "Other address…".
    const ScopedRegistryText typedAddress(HKEY_CURRENT_USER, kSettingKey, kReciterValue,
                                          kOtherAddressChoice);
    const RegistryValue storedAddress =
        readRegistryValue(HKEY_CURRENT_USER, kSettingKey, kRecitationAddressValue);
    PostMessageA(reader().window(), WM_COMMAND, MAKEWPARAM(IDM_RECITATION, 0), 0); // the menu
    HWND dialog = reader().waitForWindow("#32770", "Recitation");
    ASSERT_NE(dialog, nullptr) << "View, Recitation... did not open its window";
    expectEveryScriptArrives(dialog, IDC_RECITATION_ADDRESS, "Recitation address");
    leaveWithEscape(dialog, "Recitation");
    // Only a download stores the address: what was typed must not replace the user's.
    const RegistryValue addressAfter =
        readRegistryValue(HKEY_CURRENT_USER, kSettingKey, kRecitationAddressValue);
    EXPECT_TRUE(addressAfter == storedAddress) << "closing the Recitation window stored an address";
    if (!(addressAfter == storedAddress))
        writeRegistryValue(HKEY_CURRENT_USER, kSettingKey, kRecitationAddressValue, storedAddress);
}

} // namespace
