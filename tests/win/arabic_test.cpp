// The Arabic input field, the Uniscribe measuring and drawing, and the Arabic search
// dialog with its on-screen keyboard, in process. The test prefix maps "Tahoma" to a
// font with Arabic letters, so the text is really shaped.
#include "arabic/arabic_bytes.h"
#include "arabic/arabic_draw_win.h"
#include "arabic/arabic_edit_win.h"
#include "base/wide_text_win.h"
#include "resources/resource_ids.h"
#include "search/arabic_search_win.h"
#include "search/search_memory.h"
#include "settings/settings_win.h"
#include "text/text_store.h"

#include <commctrl.h>

#include "win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

// ---- Test bed: a stand-in main window with the controls the search fills ----

HWND mainWindow = nullptr;
HFONT fieldFont = nullptr;

// The reader window's side of the search, played by the stand-in main window: its result
// list and status bar, and the keyboard font.
class TestView : public ReaderView {
  public:
    HWND window() const override { return main; }
    AyahRef shownAyah() const override { return {}; }
    void goToAyah(AyahRef) override {}
    HWND resultList() const override { return GetDlgItem(main, IDC_RESULT_LIST); }
    void setStatusText(int part, const char* text) override {
        SendDlgItemMessageW(main, IDC_STATUS_BAR, SB_SETTEXTW, part,
                            reinterpret_cast<LPARAM>(wideFromUtf8(text).c_str()));
    }
    void clearTranslationMarks() override {}
    void boldTranslationRange(long, long) override {}
    void markArabicText(const std::vector<bool>&, bool) override {}
    HFONT keyboardFont() const override { return keyboard; }

    HWND main = nullptr;
    HFONT keyboard = nullptr;
};
TestView view;
SearchMemory memory;

// The search after OK, with the stand-in's check boxes as its options (as the reader's
// command runs it).
void searchArabic() {
    runArabicSearch(testContext(), view, memory,
                    IsDlgButtonChecked(mainWindow, IDC_MATCH_CASE) == BST_CHECKED,
                    IsDlgButtonChecked(mainWindow, IDC_WHOLE_WORD) == BST_CHECKED);
}

class Environment : public ::testing::Environment {
  public:
    void SetUp() override {
        testContext().instance = GetModuleHandleA(nullptr);
        InitCommonControls();
        testContext().controlBrush = CreateSolidBrush(kControlColour);
        ASSERT_NE(registerArabicEditClass(testContext().instance, testContext().controlBrush), 0);
        view.keyboard = CreateFontA(-16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
        fieldFont = CreateFontA(-16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, PROOF_QUALITY, 0, "Tahoma");
        WNDCLASSA plain = {};
        plain.lpfnWndProc = DefWindowProcA;
        plain.hInstance = testContext().instance;
        plain.lpszClassName = "ARABIC_TEST_MAIN";
        RegisterClassA(&plain);
        mainWindow =
            CreateWindowExA(0, "ARABIC_TEST_MAIN", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                            700, 500, nullptr, nullptr, testContext().instance, nullptr);
        CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 0, 0, 600, 300,
                        mainWindow, reinterpret_cast<HMENU>(IDC_RESULT_LIST), nullptr, nullptr);
        for (int id : {IDC_MATCH_CASE, IDC_WHOLE_WORD})
            CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 10, 10, mainWindow,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "", mainWindow, IDC_STATUS_BAR);
        int parts[] = {100, -1};
        SendMessageA(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
        view.main = mainWindow;
        TextStore::load(readLanguageSetting());
        TextStore::loadArabic();
    }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new Environment);

// Sets the field's text in the Arabic byte code.
void setBytes(HWND window, const std::string& bytes) {
    SendMessageA(window, kArabicEditSetBytes, 0, reinterpret_cast<LPARAM>(bytes.c_str()));
}

std::string textOf(HWND window) {
    static char buffer[40000];
    const LRESULT n =
        SendMessageA(window, kArabicEditGetBytes, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<size_t>(n));
}

// Sets the thread's view of Shift, Ctrl and Caps Lock for the characters handled next.
void setKeys(bool shift, bool control = false, bool capsLock = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
    keys[VK_CAPITAL] = capsLock ? 0x01 : 0;
    SetKeyboardState(keys);
}

// A bitmap to draw into, filled with one colour, whose pixels can be read back.
class Canvas {
  public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255))
        : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                   nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all = {0, 0, width, height};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF at(int x, int y) const {
        GdiFlush();
        const DWORD p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Columns holding a pixel darker than the fill; -1 when none.
    int inkLeft() const { return inkEdge(true); }
    int inkRight() const { return inkEdge(false); }
    bool same(const Canvas& other, int x0, int x1) const {
        for (int y = 0; y < height_; ++y)
            for (int x = x0; x < x1; ++x)
                if (at(x, y) != other.at(x, y)) return false;
        return true;
    }

  private:
    int inkEdge(bool fromLeft) const {
        for (int i = 0; i < width_; ++i) {
            const int x = fromLeft ? i : width_ - 1 - i;
            for (int y = 0; y < height_; ++y)
                if (GetGValue(at(x, y)) < 150) return x; // glyph edges are grey
        }
        return -1;
    }
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    DWORD* bits_ = nullptr;
};

std::wstring widened(const std::string& bytes) {
    std::wstring wide(bytes.size() + 2, L'\0');
    widenArabicText(bytes.c_str(), &wide[0], wide.size());
    wide.resize(bytes.size());
    return wide;
}

const std::string kBismi = "\xC8\xD3\xE3"; // BEH SEEN MEEM

// ---- Measuring and drawing ----

TEST(ArabicShaping, LamAlefMeasuresAsTheLigatureNotAsTwoLetters) {
    Canvas canvas(10, 10);
    SelectObject(canvas.dc(), fieldFont);
    const WCHAR lamAlef[] = {0x0644, 0x0627, 0};
    const int together = measureArabicText(canvas.dc(), lamAlef, 2);
    const int apart =
        measureArabicText(canvas.dc(), lamAlef, 1) + measureArabicText(canvas.dc(), lamAlef + 1, 1);
    EXPECT_GT(together, 0);
    EXPECT_LT(together, apart);
    EXPECT_EQ(measureArabicText(canvas.dc(), lamAlef, 0), 0);
    EXPECT_EQ(measureArabicText(canvas.dc(), L"", 0), 0);
    // A mark typed before any letter (SHADDA, then BEH) is measured too.
    const WCHAR markFirst[] = {0x0651, 0x0628, 0};
    EXPECT_GE(measureArabicText(canvas.dc(), markFirst, 2),
              measureArabicText(canvas.dc(), markFirst + 1, 1));
}

TEST(ArabicShaping, ALongTextIsMeasuredInPiecesThatAddUp) {
    Canvas canvas(10, 10);
    SelectObject(canvas.dc(), fieldFont);
    const std::wstring word = widened(kBismi + " ");
    std::wstring text;
    for (int i = 0; i < 1500; ++i) // 6,000 units, more than any one piece
        text += word;
    const int one = measureArabicText(canvas.dc(), word.c_str(), static_cast<int>(word.size()));
    ASSERT_GT(one, 0);
    EXPECT_EQ(measureArabicText(canvas.dc(), text.c_str(), static_cast<int>(text.size())),
              1500 * one);
    // Without a space to cut at, the pieces still cover the whole text.
    const std::wstring letters(4500, 0x0633);
    EXPECT_GT(measureArabicText(canvas.dc(), letters.c_str(), 4500),
              measureArabicText(canvas.dc(), letters.c_str(), 3000));
}

TEST(ArabicShaping, EmptyStringDrawsNothingAndTextStandsAtTheRightEdge) {
    const RECT rect = {0, 0, 200, 30};
    Canvas empty(200, 30);
    SelectObject(empty.dc(), fieldFont);
    drawArabicText(empty.dc(), L"", rect);
    EXPECT_EQ(empty.inkLeft(), -1);
    EXPECT_EQ(GetBkMode(empty.dc()), TRANSPARENT);
    EXPECT_EQ(GetTextAlign(empty.dc()) & TA_RIGHT, static_cast<UINT>(TA_RIGHT));

    Canvas word(200, 30, RGB(0, 255, 0)); // nothing behind the glyphs is painted
    SelectObject(word.dc(), fieldFont);
    drawArabicText(word.dc(), widened(kBismi).c_str(), rect);
    const int measured = measureArabicText(word.dc(), widened(kBismi).c_str(), 3);
    ASSERT_GE(word.inkRight(), 190);
    EXPECT_NEAR(word.inkLeft(), 200 - measured, 4);
    EXPECT_EQ(word.at(2, 2), RGB(0, 255, 0));
}

TEST(ArabicShaping, ATextWiderThanTheRectangleKeepsItsBeginningAtTheRight) {
    const RECT rect = {0, 0, 200, 30};
    std::string longText = kBismi;
    for (int i = 0; i < 30; ++i)
        longText += " \xC7\xE1\xE1\xE5";
    Canvas first(200, 30), whole(200, 30);
    SelectObject(first.dc(), fieldFont);
    SelectObject(whole.dc(), fieldFont);
    drawArabicText(first.dc(), widened(kBismi + " ").c_str(), rect);
    drawArabicText(whole.dc(), widened(longText).c_str(), rect);
    const int wordLeft = first.inkLeft();
    ASSERT_GT(wordLeft, 100);
    EXPECT_TRUE(first.same(whole, wordLeft, 200)); // the first word, unchanged at the right
    // The rest runs off the left edge (a space may fall on the very first columns).
    EXPECT_GT(
        measureArabicText(whole.dc(), widened(longText).c_str(), static_cast<int>(longText.size())),
        400);
    EXPECT_LT(whole.inkLeft(), 12);
}

// ---- The input field ----

class ArabicField : public ::testing::Test {
  protected:
    void SetUp() override {
        setKeys(false);
        field = CreateWindowExA(WS_EX_CLIENTEDGE, kArabicEditClass, "", WS_CHILD | WS_VISIBLE, 0,
                                310, 450, 30, mainWindow, nullptr, testContext().instance, nullptr);
        ASSERT_NE(field, nullptr);
        ArabicEditState* state = arabicEditState(field);
        ASSERT_NE(state, nullptr);
        EXPECT_EQ(state->window, field);
        GetClientRect(field, &client);
    }
    void TearDown() override {
        DestroyWindow(field);
        setKeys(false);
    }
    void type(const char* characters) {
        for (const char* c = characters; *c; ++c)
            SendMessageA(field, WM_CHAR, static_cast<unsigned char>(*c), 0);
    }
    POINT caret() {
        POINT at = {-999, -999};
        GetCaretPos(&at);
        return at;
    }
    HWND field = nullptr;
    RECT client = {};
};

TEST_F(ArabicField, EmptyFieldWithTheFocusHasItsCaretTwoPixelsInsideTheRightEdge) {
    SetFocus(field);
    EXPECT_EQ(caret().x, client.right - 2);
    EXPECT_EQ(caret().y, 0);
    ArabicEditState* state = arabicEditState(field);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->fontHeight, 16);
    EXPECT_EQ(state->insertPos, 0);
}

TEST_F(ArabicField, TypingBInsertsLamAlefAndTheCaretFollowsTheTextsLeftEnd) {
    SetFocus(field);
    type("b");
    EXPECT_EQ(textOf(field), "\xE1\xC7");
    const int afterLamAlef = caret().x;
    EXPECT_LT(afterLamAlef, client.right - 2);
    type("1 \xC7"); // not in the table: stored as typed
    EXPECT_EQ(textOf(field), "\xE1\xC7"
                             "1 \xC7");
    EXPECT_LT(caret().x, afterLamAlef);
    type("\b\b\b");
    EXPECT_EQ(caret().x, afterLamAlef);
    type("\r");
    EXPECT_EQ(textOf(field), "\xE1\xC7");
}

TEST_F(ArabicField, OnlyTheShiftKeyChoosesTheShiftColumnNotCapsLock) {
    setKeys(false, false, true);
    type("E");
    setKeys(true);
    type("e");
    type("r");
    EXPECT_EQ(textOf(field), "\xCB\xF5\xF1");
}

TEST_F(ArabicField, CharactersTypedWithCtrlOrAMouseButtonHeldAreIgnored) {
    setKeys(false, true);
    type("fh");
    EXPECT_EQ(textOf(field), "");
    setKeys(false);

    INPUT press = {};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    SendInput(1, &press, sizeof press);
    pumpMessages();
    if (!(GetAsyncKeyState(VK_RBUTTON) & 0x8000)) {
        press.mi.dwFlags = MOUSEEVENTF_RIGHTUP;
        SendInput(1, &press, sizeof press);
        GTEST_SKIP() << "this display does not report an injected button as held";
    }
    type("f");
    press.mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(1, &press, sizeof press);
    pumpMessages();
    EXPECT_EQ(textOf(field), "");
    type("f");
    EXPECT_EQ(textOf(field), "\xC8");
}

TEST_F(ArabicField, DeleteRemovesTheLastByteAsBackspaceDoesAndAnEmptyTextStaysEmpty) {
    SendMessageA(field, WM_KEYDOWN, VK_DELETE, 0);
    type("\b");
    EXPECT_EQ(textOf(field), "");
    type("fsl");
    SendMessageA(field, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(textOf(field), "\xC8\xD3");
    SendMessageA(field, WM_KEYDOWN, VK_LEFT, 0); // no other key edits or moves
    SendMessageA(field, WM_KEYDOWN, VK_BACK, 0);
    EXPECT_EQ(textOf(field), "\xC8\xD3");
}

TEST_F(ArabicField, SetTextReplacesTheTextAndGetTextCopiesWhatFits) {
    setBytes(field, "\xC8\xD3\xE3 \xC7");
    char out[8];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(SendMessageA(field, kArabicEditGetBytes, 3, reinterpret_cast<LPARAM>(out)), 2);
    EXPECT_EQ(std::string(out, 4), std::string("\xC8\xD3\0#", 4));
    EXPECT_EQ(SendMessageA(field, kArabicEditGetBytes, 0, reinterpret_cast<LPARAM>(out)), 0);
    EXPECT_EQ(SendMessageA(field, kArabicEditGetBytes, 8, 0), 0);
    SendMessageA(field, kArabicEditSetBytes, 0, 0); // null: unchanged
    EXPECT_EQ(textOf(field), "\xC8\xD3\xE3 \xC7");

    const std::string tooLong(35000, '\xE3');
    setBytes(field, tooLong.c_str());
    EXPECT_EQ(textOf(field), tooLong.substr(0, 31999));
    type("b"); // full: nothing more goes in
    EXPECT_EQ(textOf(field).size(), 31999u);
    setBytes(field, "");
    EXPECT_EQ(textOf(field), "");
    type("f");
    EXPECT_EQ(textOf(field), "\xC8");
}

// What a screen reader reads through the W functions: the letters in Unicode.
TEST_F(ArabicField, TheWideTextIsTheArabicInUnicodeAndAWideTextSetsTheBytes) {
    EXPECT_TRUE(IsWindowUnicode(field));
    setBytes(field, "\xC8\xD3\xE3 \xC7\xE1\xF1");
    EXPECT_EQ(SendMessageW(field, WM_GETTEXTLENGTH, 0, 0), 7);
    wchar_t wide[16];
    EXPECT_EQ(GetWindowTextW(field, wide, 16), 7);
    EXPECT_EQ(std::wstring(wide), L"\x0628\x0633\x0645 \x0627\x0644\x0651");
    // A short buffer takes what fits and the terminator.
    std::fill(std::begin(wide), std::end(wide), L'#');
    EXPECT_EQ(SendMessageW(field, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(wide)), 2);
    EXPECT_EQ(std::wstring(wide, 4), std::wstring(L"\x0628\x0633\0#", 4));
    EXPECT_EQ(SendMessageW(field, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(wide)), 0);

    EXPECT_TRUE(SetWindowTextW(field, L"\x0645\x0646 1"));
    EXPECT_EQ(textOf(field), "\xE3\xE4 1");
    // A text the byte code cannot hold leaves the field as it was.
    EXPECT_FALSE(SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\x0645\x00E9")));
    EXPECT_EQ(textOf(field), "\xE3\xE4 1");
    type("f"); // typed letters still go in as bytes
    EXPECT_EQ(textOf(field), "\xE3\xE4 1\xC8");
}

// A mark typed after a digit has no letter to sit on; the field still paints it.
TEST_F(ArabicField, ADigitFollowedByAMarkPaintsWithoutFault) {
    SetFocus(field);
    type("1");
    setKeys(true);
    type("r"); // shadda
    setKeys(false);
    UpdateWindow(field);
    type("1\xF8"); // the code page's own shadda, stored as typed
    UpdateWindow(field);
    EXPECT_EQ(textOf(field), "1\xF1"
                             "1\xF8");
    EXPECT_LT(caret().x, client.right - 2);
}

// What the field shows on the screen, read from its window's device context.
TEST_F(ArabicField, PaintsTheControlColourAndKeepsALongTextsBeginningAtTheRight) {
    setBytes(field, "");
    UpdateWindow(field);
    Canvas shot(client.right, client.bottom);
    HDC dc = GetDC(field);
    BitBlt(shot.dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(field, dc);
    EXPECT_EQ(shot.at(5, 5), kControlColour);
    EXPECT_EQ(shot.inkLeft(), -1);

    std::string longText = kBismi;
    for (int i = 0; i < 60; ++i)
        longText += " \xC7\xE1\xE1\xE5";
    setBytes(field, longText.c_str());
    SetFocus(field);
    UpdateWindow(field);
    EXPECT_LT(caret().x, 0); // beyond the left edge
    Canvas drawn(client.right, client.bottom), expected(client.right, client.bottom);
    dc = GetDC(field);
    BitBlt(drawn.dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(field, dc);
    SelectObject(expected.dc(), fieldFont);
    drawArabicText(expected.dc(), widened(kBismi + " ").c_str(), client);
    const int wordLeft = expected.inkLeft();
    ASSERT_GT(wordLeft, 0);
    for (int x = wordLeft; x < client.right; ++x)
        for (int y = 0; y < client.bottom; ++y)
            ASSERT_EQ(GetGValue(drawn.at(x, y)) < 128, GetGValue(expected.at(x, y)) < 128)
                << x << "," << y;
}

// Each field keeps its own state with its window, whatever its creator keeps in
// GWLP_USERDATA, and the state goes with the window; only fields have one.
TEST_F(ArabicField, EachFieldKeepsItsOwnTextBesideWhatItsCreatorKeepsInTheUserData) {
    HWND other = CreateWindowExA(0, kArabicEditClass, "", WS_CHILD | WS_VISIBLE, 0, 350, 450, 30,
                                 mainWindow, nullptr, testContext().instance, nullptr);
    ASSERT_NE(other, nullptr);
    ASSERT_NE(arabicEditState(other), arabicEditState(field));
    SetWindowLongPtrA(field, GWLP_USERDATA, 0x1234);
    type("fsl");
    setBytes(other, "\xC7");
    EXPECT_EQ(textOf(field), "\xC8\xD3\xE3");
    EXPECT_EQ(textOf(other), "\xC7");
    EXPECT_EQ(GetWindowLongPtrA(field, GWLP_USERDATA), 0x1234);
    // The state goes with its window: the font it owns is deleted then.
    UpdateWindow(other);
    const HFONT otherFont = arabicEditState(other)->font;
    EXPECT_EQ(GetObjectType(otherFont), static_cast<DWORD>(OBJ_FONT));
    DestroyWindow(other);
    EXPECT_EQ(GetObjectType(otherFont), 0u);
    EXPECT_EQ(textOf(field), "\xC8\xD3\xE3");

    EXPECT_EQ(arabicEditState(mainWindow), nullptr);
    EXPECT_EQ(arabicEditState(nullptr), nullptr);
}

// ---- The dialog ----

struct KeyPlace {
    int id;
    int x, y, w, h;
    std::wstring face;
};

// Right to left, row by row, with the letters on each key's face.
const KeyPlace kKeys[] = {
    {1016, 283, 30, 19, 22, L"\x0627"}, {1021, 263, 30, 19, 22, L"\x0628"},
    {1022, 243, 30, 19, 22, L"\x062A"}, {1023, 224, 30, 19, 22, L"\x062B"},
    {1024, 205, 30, 19, 22, L"\x062C"}, {1025, 185, 30, 19, 22, L"\x062D"},
    {1026, 165, 30, 19, 22, L"\x062E"}, {1027, 145, 30, 19, 22, L"\x062F"},
    {1028, 125, 30, 19, 22, L"\x0630"}, {1029, 105, 30, 19, 22, L"\x0631"},
    {1030, 85, 30, 19, 22, L"\x0632"},  {1031, 65, 30, 19, 22, L"\x0633"},
    {1032, 45, 30, 19, 22, L"\x0634"},  {1033, 25, 30, 19, 22, L"\x0635"},
    {1034, 7, 30, 19, 22, L"\x0636"},   {1035, 283, 57, 19, 20, L"\x0637"},
    {1036, 262, 57, 19, 20, L"\x0638"}, {1037, 243, 57, 19, 20, L"\x0639"},
    {1038, 223, 57, 21, 20, L"\x063A"}, {1046, 205, 57, 19, 20, L"\x0641"},
    {1047, 185, 57, 19, 20, L"\x0642"}, {1048, 165, 57, 19, 20, L"\x0643"},
    {1049, 143, 57, 19, 20, L"\x0644"}, {1043, 124, 57, 19, 20, L"\x0645"},
    {1050, 103, 57, 19, 20, L"\x0646"}, {1051, 83, 57, 19, 20, L"\x0648"},
    {1052, 63, 57, 19, 20, L"\x0647"},  {1053, 38, 57, 24, 20, L"\x0644\x0627"},
    {1054, 7, 57, 28, 20, L"\x0621"},   {1055, 283, 81, 19, 19, L"\x064A"},
    {1058, 263, 81, 19, 19, L"\x0649"}, {1059, 244, 81, 19, 19, L"\x0626"},
    {1061, 225, 81, 19, 19, L"\x0624"}, {1056, 205, 81, 19, 19, L"\x0623"},
    {1057, 186, 81, 19, 19, L"\x0625"}, {1060, 167, 81, 19, 19, L"\x0629"},
    {1062, 145, 81, 19, 19, L"\x0622"},
};

// The dialog, opened without its modal loop so that a test can look at it at leisure.
class ArabicDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        setKeys(false);
        std::snprintf(memory.arabic, sizeof memory.arabic, "%s", "");
        state = ArabicSearchDialog{};
        state.instance = testContext().instance;
        state.memory = &memory;
        state.keyboardFont = view.keyboard;
        dialog = CreateDialogParamA(testContext().instance, MAKEINTRESOURCEA(IDD_ARABIC_SEARCH),
                                    mainWindow, arabicSearchDialogProc,
                                    reinterpret_cast<LPARAM>(&state));
        ASSERT_NE(dialog, nullptr);
        field = arabicSearchField(dialog);
        ASSERT_NE(field, nullptr);
    }
    void TearDown() override {
        DestroyWindow(dialog);
        setKeys(false);
    }
    void click(int id, int notification = BN_CLICKED) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, notification),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }
    // The font the dialog draws its key faces with.
    HFONT keyFont() const { return state.fittedKeyFont ? state.fittedKeyFont : state.keyboardFont; }

    ArabicSearchDialog state;
    HWND dialog = nullptr;
    HWND field = nullptr;
};

TEST_F(ArabicDialog, TheFieldStandsAtTheTopLeftWithoutATabStop) {
    char name[32] = "";
    GetClassNameA(field, name, sizeof name);
    EXPECT_STREQ(name, "EDITARAB");
    RECT rect;
    GetWindowRect(field, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right - rect.left, 450);
    EXPECT_EQ(rect.bottom - rect.top, 30);
    EXPECT_TRUE(GetWindowLongA(field, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(GetWindowLongA(field, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(GetDlgCtrlID(field), 0);
}

TEST_F(ArabicDialog, EveryLetterKeyHasItsIdPlaceAndFaceAndClickingItTypesThatFace) {
    for (const KeyPlace& key : kKeys) {
        SCOPED_TRACE(key.id);
        HWND button = GetDlgItem(dialog, key.id);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & (BS_TYPEMASK | WS_TABSTOP),
                  BS_OWNERDRAW | WS_TABSTOP);
        // The dialog manager maps position and size each on its own.
        RECT expected = {key.x, key.y, key.w, key.h}, actual;
        MapDialogRect(dialog, &expected);
        expected.right += expected.left;
        expected.bottom += expected.top;
        GetWindowRect(button, &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right, expected.right);
        EXPECT_EQ(actual.bottom, expected.bottom);

        setBytes(field, "");
        click(key.id);
        EXPECT_EQ(widened(textOf(field)), key.face);

        // The dialog paints the key with exactly the face of the table above.
        const int w = actual.right - actual.left, h = actual.bottom - actual.top;
        Canvas byDialog(w, h), byFace(w, h);
        DRAWITEMSTRUCT item = {ODT_BUTTON,
                               static_cast<UINT>(key.id),
                               0,
                               ODA_DRAWENTIRE,
                               0,
                               button,
                               byDialog.dc(),
                               {0, 0, w, h},
                               0};
        SendMessageA(dialog, WM_DRAWITEM, key.id, reinterpret_cast<LPARAM>(&item));
        item.hDC = byFace.dc();
        drawLetterButton(key.face.c_str(), item, keyFont());
        EXPECT_TRUE(byDialog.same(byFace, 0, w));
        EXPECT_NE(byFace.inkLeft(), -1) << "no letter drawn";
    }
}

TEST_F(ArabicDialog, LetterKeysDrawTheirFaceAtTheRightWithAnEtchedOrRaisedBorder) {
    Canvas whole(40, 30, RGB(0, 255, 0)), pressed(40, 30, RGB(0, 255, 0));
    DRAWITEMSTRUCT item = {ODT_BUTTON, IDC_KEY_LAMALIF, 0, ODA_DRAWENTIRE, 0, nullptr,
                           whole.dc(), {0, 0, 40, 30},  0};
    const WCHAR lamAlef[] = {0x0644, 0x0627, 0};
    drawLetterButton(lamAlef, item, keyFont());
    item.itemAction = ODA_SELECT;
    item.hDC = pressed.dc();
    drawLetterButton(lamAlef, item, keyFont());
    EXPECT_EQ(whole.at(20, 25), RGB(0, 255, 0)); // no background of its own
    EXPECT_NE(whole.at(0, 15), RGB(0, 255, 0));  // a border
    EXPECT_FALSE(whole.same(pressed, 0, 2));     // etched and raised differ
    // One space width in from the right edge.
    EXPECT_LT(whole.inkRight(), 38);
    EXPECT_GT(whole.inkRight(), 20);
}

TEST_F(ArabicDialog, CommandKeysDeleteAddASpaceAndClearAndFocusChangesTypeNothing) {
    click(IDC_KEY_BA);
    click(IDC_KEY_SPACE);
    click(IDC_KEY_LAMALIF);
    EXPECT_EQ(textOf(field), "\xC8 \xE1\xC7");
    click(IDC_KEY_DELETE);
    EXPECT_EQ(textOf(field), "\xC8 \xE1");
    click(IDC_KEY_BA, BN_SETFOCUS);
    click(IDC_KEY_BA, BN_KILLFOCUS);
    EXPECT_EQ(textOf(field), "\xC8 \xE1");
    click(IDC_KEY_BA, BN_DOUBLECLICKED); // the second click of a double click
    EXPECT_EQ(textOf(field), "\xC8 \xE1\xC8");
    click(IDC_KEY_CLEAR);
    EXPECT_EQ(textOf(field), "");
    setKeys(true);
    click(IDC_KEY_QAF);
    click(IDC_KEY_ALIF);
    EXPECT_EQ(textOf(field), "\xF1\xC3"); // SHADDA, ALEF WITH HAMZA ABOVE
}

// On a real double click the second press arrives as BN_DOUBLECLICKED before the button
// is released. The right button stands in for the left here: the field treats both alike,
// and a held right button clicks nothing under the cursor.
TEST_F(ArabicDialog, ADoubleClickedKeyTypesItsLetterWhileTheButtonIsStillDown) {
    INPUT press = {};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    SendInput(1, &press, sizeof press);
    pumpMessages();
    const bool held = (GetAsyncKeyState(VK_RBUTTON) & 0x8000) != 0;
    if (held) {
        click(IDC_KEY_BA);
        click(IDC_KEY_BA, BN_DOUBLECLICKED);
    }
    press.mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(1, &press, sizeof press);
    pumpMessages();
    if (!held) GTEST_SKIP() << "this display does not report an injected button as held";
    EXPECT_EQ(textOf(field), "\xC8\xC8");
}

// ---- The modal dialog and the search ----

// Runs showArabicSearch with `script` acting on the open dialog from a timer.
std::function<void(HWND dialog, HWND field)> dialogScript;
void CALLBACK runScript(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = FindWindowA("#32770", "Find (Arab)");
    if (dialog && dialogScript)
        dialogScript(dialog, arabicSearchField(dialog));
    else if (dialog)
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}
void showWith(std::function<void(HWND, HWND)> script) {
    dialogScript = std::move(script);
    SetTimer(nullptr, 0, 50, runScript);
    if (showArabicSearch(testContext(), view, memory)) searchArabic();
    dialogScript = nullptr;
}
void clickKeys(HWND dialog, const std::vector<int>& ids) {
    for (int id : ids)
        SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

int notFoundReports = 0;
void recordNotFound(HWND) {
    ++notFoundReports;
}

std::vector<std::string> resultLines() {
    HWND list = GetDlgItem(mainWindow, IDC_RESULT_LIST);
    std::vector<std::string> lines;
    const int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char line[1100] = "";
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        lines.push_back(line);
    }
    return lines;
}
std::string statusText() {
    char text[64] = "";
    SendMessageA(GetDlgItem(mainWindow, IDC_STATUS_BAR), SB_GETTEXTA, 1,
                 reinterpret_cast<LPARAM>(text));
    return text;
}

class ArabicSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        setKeys(false);
        testPrompts().onTell = [](HWND owner, const char* text, const char* caption) {
            if (std::string(text) == "Not Found" && std::string(caption) == "Info")
                recordNotFound(owner);
        };
        notFoundReports = 0;
        memory.arabic[0] = '\0';
        memory.exactSpelling = false;
        SendDlgItemMessageA(mainWindow, IDC_RESULT_LIST, LB_RESETCONTENT, 0, 0);
        SendDlgItemMessageA(mainWindow, IDC_RESULT_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("1:1 earlier line"));
        SendDlgItemMessageA(mainWindow, IDC_STATUS_BAR, SB_SETTEXTA, 1,
                            reinterpret_cast<LPARAM>("earlier"));
    }
    void TearDown() override { testPrompts().reset(); }
};

TEST_F(ArabicSearch, OkListsEveryAyahHoldingTheTypedWordWithItsTranslationAndCount) {
    // "ALSAMAD" typed on the keys: alif, lam, shad, mim, dal.
    showWith([](HWND dialog, HWND) {
        clickKeys(dialog, {IDC_KEY_ALIF, IDC_KEY_LAM, IDC_KEY_SHAD, IDC_KEY_MIM, IDC_KEY_DAL});
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_STREQ(memory.arabic, "\xC7\xE1\xD5\xE3\xCF");
    std::vector<std::string> expected;
    for (int surah = 1; surah <= 114; ++surah)
        for (int ayah = 1; ayah <= TextStore::ayahCount(surah); ++ayah)
            if (std::strstr(TextStore::arabic(surah, ayah), memory.arabic))
                expected.push_back(
                    std::to_string(surah) + ":" + std::to_string(ayah) + " " +
                    std::string(TextStore::translation(surah, ayah)).substr(0, 1023 - 8));
    ASSERT_EQ(expected.size(), 1u);
    const auto lines = resultLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 20), expected[0].substr(0, 20));
    EXPECT_EQ(lines[0].substr(0, 6), "112:2 ");
    EXPECT_EQ(statusText(), "Found 1 Item");
    EXPECT_EQ(notFoundReports, 0);
}

TEST_F(ArabicSearch, ManyHitsComeInSurahOrderWithTheirCountAndLongLinesAreCut) {
    memory.exactSpelling = true; // counted below letter for letter
    std::snprintf(memory.arabic, sizeof memory.arabic, "%s", "\xC7\xE1\xE1\xE5"); // ALLAH
    searchArabic();
    const auto lines = resultLines();
    int expected = 0;
    for (int surah = 1; surah <= 114; ++surah)
        for (int ayah = 1; ayah <= TextStore::ayahCount(surah); ++ayah)
            expected += std::strstr(TextStore::arabic(surah, ayah), memory.arabic) != nullptr;
    ASSERT_GT(expected, 100);
    EXPECT_EQ(static_cast<int>(lines.size()), expected);
    EXPECT_EQ(statusText(), "Found " + std::to_string(expected) + " items");
    EXPECT_EQ(lines.front().substr(0, 4), "1:1 ");
    for (const std::string& line : lines)
        EXPECT_LE(line.size(), 1023u);
}

TEST_F(ArabicSearch, TolerantByDefaultAndTheExactSpellingBoxIsKeptForTheNextOpening) {
    // AL-KITAB as users write it; the Uthmani text writes it with a dagger alef.
    const std::vector<int> alKitab = {IDC_KEY_ALIF, IDC_KEY_LAM,  IDC_KEY_KAF,
                                      IDC_KEY_TA,   IDC_KEY_ALIF, IDC_KEY_BA};
    bool boxShown = true;
    showWith([&](HWND dialog, HWND) {
        boxShown = IsDlgButtonChecked(dialog, IDC_ARABIC_EXACT_SPELLING) == BST_CHECKED;
        clickKeys(dialog, alKitab);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_FALSE(boxShown);
    EXPECT_FALSE(memory.exactSpelling);
    const auto tolerant = resultLines();
    ASSERT_GT(tolerant.size(), 100u);
    EXPECT_EQ(tolerant.front().substr(0, 4), "2:2 ");
    EXPECT_EQ(statusText(), "Found " + std::to_string(tolerant.size()) + " items");

    showWith([&](HWND dialog, HWND) {
        clickKeys(dialog, {IDC_ARABIC_EXACT_SPELLING});
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(memory.exactSpelling);
    EXPECT_TRUE(resultLines().empty()); // no ayah writes the word letter for letter
    EXPECT_EQ(notFoundReports, 1);

    showWith([&](HWND dialog, HWND) {
        boxShown = IsDlgButtonChecked(dialog, IDC_ARABIC_EXACT_SPELLING) == BST_CHECKED;
        clickKeys(dialog, {IDC_ARABIC_EXACT_SPELLING});
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(boxShown);
    EXPECT_TRUE(memory.exactSpelling); // Cancel keeps what OK last left
}

TEST_F(ArabicSearch, TheMainWindowsCheckBoxesSetTheSharedFlags) {
    memory.translation.matchCase = memory.translation.wholeWord = true;
    std::snprintf(memory.arabic, sizeof memory.arabic, "%s", "\xC7\xE1\xD5\xE3\xCF");
    searchArabic();
    EXPECT_FALSE(memory.translation.matchCase);
    EXPECT_FALSE(memory.translation.wholeWord);
    CheckDlgButton(mainWindow, IDC_WHOLE_WORD, BST_CHECKED);
    searchArabic();
    EXPECT_TRUE(memory.translation.wholeWord);
    EXPECT_FALSE(memory.translation.matchCase);
    CheckDlgButton(mainWindow, IDC_WHOLE_WORD, BST_UNCHECKED);
    memory.translation.wholeWord = false;
}

TEST_F(ArabicSearch, HapusThenOkChangesNothingInTheMainWindow) {
    std::snprintf(memory.arabic, sizeof memory.arabic, "%s", "\xC8\xD3\xE3");
    showWith([](HWND dialog, HWND field) {
        EXPECT_EQ(textOf(field), "\xC8\xD3\xE3");
        clickKeys(dialog, {IDC_KEY_CLEAR});
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_STREQ(memory.arabic, "");
    EXPECT_EQ(resultLines(), std::vector<std::string>{"1:1 earlier line"});
    EXPECT_EQ(statusText(), "earlier");
}

TEST_F(ArabicSearch, TheFieldShowsTheLastAcceptedQueryAlsoAfterACancel) {
    showWith([](HWND dialog, HWND) {
        clickKeys(dialog, {IDC_KEY_BA, IDC_KEY_SIN, IDC_KEY_MIM});
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_STREQ(memory.arabic, "\xC8\xD3\xE3");
    std::string shown;
    showWith([&shown](HWND dialog, HWND field) {
        shown = textOf(field);
        clickKeys(dialog, {IDC_KEY_DELETE, IDC_KEY_QAF});
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(shown, "\xC8\xD3\xE3");
    EXPECT_STREQ(memory.arabic, "\xC8\xD3\xE3");
    showWith([&shown](HWND dialog, HWND field) {
        shown = textOf(field);
        PostMessageA(dialog, WM_CLOSE, 0, 0); // the close box acts as Cancel
    });
    EXPECT_EQ(shown, "\xC8\xD3\xE3");
}

TEST_F(ArabicSearch, AQueryFoundNowhereReportsNotFound) {
    showWith([](HWND dialog, HWND) {
        setKeys(true);
        clickKeys(dialog, {IDC_KEY_QAF}); // SHADDA: the scripture text has no marks
        setKeys(false);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_STREQ(memory.arabic, "\xF1");
    EXPECT_TRUE(resultLines().empty());
    EXPECT_EQ(statusText(), "Not Found");
    EXPECT_EQ(notFoundReports, 1);
}

// With NORAVEL_ARABIC_SHOT set to a file name, saves a picture of the dialog with a
// typed word (for the README).
TEST_F(ArabicSearch, PictureOfTheDialogWithATypedWord) {
    const char* path = std::getenv("NORAVEL_ARABIC_SHOT");
    if (!path) GTEST_SKIP() << "NORAVEL_ARABIC_SHOT not set";
    showWith([path](HWND dialog, HWND) {
        SetWindowPos(dialog, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        clickKeys(dialog, {IDC_KEY_ALIF, IDC_KEY_LAM, IDC_KEY_RA, IDC_KEY_HA, IDC_KEY_MIM,
                           IDC_KEY_NUN, IDC_KEY_SPACE, IDC_KEY_LAMALIF});
        RedrawWindow(dialog, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(500);
        RECT rect;
        GetWindowRect(dialog, &rect);
        const int w = rect.right - rect.left, h = rect.bottom - rect.top;
        Canvas shot(w, h);
        HDC screen = GetDC(nullptr);
        BitBlt(shot.dc(), 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        FILE* out = std::fopen(path, "wb");
        if (out) {
            std::fprintf(out, "P6\n%d %d\n255\n", w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const COLORREF c = shot.at(x, y);
                    const unsigned char rgb[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
                    std::fwrite(rgb, 1, 3, out);
                }
            std::fclose(out);
        }
        EXPECT_NE(out, nullptr);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

} // namespace
