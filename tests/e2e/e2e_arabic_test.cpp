// Journeys through the Arabic search of the real reader: open "Find (Arab)" with the
// "Cari(Arab)" button, type a word by clicking the on-screen keys, press OK. The exact
// search ("Ejaan persis" ticked) is compared with a count made directly on the Arabic
// resource; the tolerant search must find words typed in standard spelling in the
// Uthmani text.
#include "reader_session_win.h"

#include "arabic/arabic_bytes.h"
#include "resources/resource_ids.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The field's text as another program (a screen reader) reads it: in UTF-16.
std::wstring fieldText(HWND field) {
    wchar_t text[64] = L"";
    SendMessageW(field, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring unicodeOf(const std::string& bytes) {
    std::vector<wchar_t> wide(bytes.size() + 2);
    widenArabicText(bytes.c_str(), wide.data(), wide.size());
    return wide.data();
}

std::string readerPath() {
    return windowsPathOf(NORAVEL_READER_EXE);
}

// The generated Arabic resource lies in the data folder beside the program folder.
std::string arabicResourcePath() {
#ifdef NORAVEL_DATA_DIR
    return windowsPathOf(std::string(NORAVEL_DATA_DIR) + "/134_arabic.txt");
#else
    std::string exe = NORAVEL_READER_EXE;
    return windowsPathOf(exe.substr(0, exe.rfind("/dist/")) + "/data/134_arabic.txt");
#endif
}

// "surah:ayah" of every ayah whose text holds `query`, from records
// "surah CR LF ayah CR LF text NUL CR LF".
std::vector<std::string> ayatHolding(const std::string& query) {
    std::ifstream in(arabicResourcePath(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();
    std::vector<std::string> found;
    for (size_t at = 0; at < data.size();) {
        const size_t end = data.find(std::string("\0\r\n", 3), at);
        if (end == std::string::npos) break;
        std::istringstream record(data.substr(at, end - at));
        int surah = 0, ayah = 0;
        std::string text;
        record >> surah >> ayah;
        std::getline(record, text);
        std::getline(record, text, '\0');
        if (surah > 0 && text.find(query) != std::string::npos)
            found.push_back(std::to_string(surah) + ":" + std::to_string(ayah));
        at = end + 3;
    }
    return found;
}

std::string listLine(HWND list, int index) {
    WCHAR line[1100] = L"";
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line));
    char narrow[1100] = "";
    WideCharToMultiByte(CP_ACP, 0, line, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

// Status bar part 1, read through a buffer inside the reader's process.
std::string statusPart1(HWND statusBar, DWORD processId) {
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return "";
    char text[256] = "";
    void* remote = VirtualAllocEx(process, nullptr, sizeof text, MEM_COMMIT, PAGE_READWRITE);
    if (remote) {
        SendMessageA(statusBar, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote, text, sizeof text - 1, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

// Opens "Find (Arab)" with the "Cari(Arab)" button; null when it does not appear.
HWND openArabicSearch(const ReaderSession& reader) {
    PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDC_ARABIC_SEARCH, BN_CLICKED),
                 reinterpret_cast<LPARAM>(reader.child(IDC_ARABIC_SEARCH)));
    return reader.waitForWindow("#32770", "Find (Arab)");
}

// OK, then waiting until the dialog is gone and the search has run: a message sent to
// the reader while the dialog is still open would be answered from the dialog's loop,
// before the search.
bool pressOk(const ReaderSession& reader, HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 1000 && IsWindow(dialog); ++i)
        Sleep(10);
    return !IsWindow(dialog) && reader.waitIdle();
}

void clickKeys(HWND dialog, const std::vector<int>& keys) {
    for (int key : keys)
        SendMessageA(GetDlgItem(dialog, key), BM_CLICK, 0, 0);
}

TEST(ArabicSearchJourney, ClickingAWordOnTheKeyboardListsEveryAyahHoldingIt) {
    ReaderSession reader(readerPath());
    ASSERT_TRUE(reader.start());
    HWND dialog = openArabicSearch(reader);
    ASSERT_NE(dialog, nullptr);
    // "AR-RAHMAN": alif, lam, ra, ha, mim, nun, letter for letter.
    clickKeys(dialog,
              {IDC_KEY_ALIF, IDC_KEY_LAM, IDC_KEY_RA, IDC_KEY_HA, IDC_KEY_MIM, IDC_KEY_NUN});
    clickKeys(dialog, {IDC_ARABIC_EXACT_SPELLING});
    HWND field = FindWindowExA(dialog, nullptr, "EDITARAB", nullptr);
    ASSERT_NE(field, nullptr);
    const std::string query = "\xC7\xE1\xD1\xCD\xE3\xE4";
    EXPECT_EQ(fieldText(field), unicodeOf(query));

    ASSERT_TRUE(pressOk(reader, dialog));

    const std::vector<std::string> expected = ayatHolding(query);
    ASSERT_GT(expected.size(), 1u);
    HWND list = reader.child(IDC_RESULT_LIST);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const std::string line = listLine(list, static_cast<int>(i));
        EXPECT_EQ(line.substr(0, expected[i].size() + 1), expected[i] + " ") << i;
        EXPECT_GT(line.size(), expected[i].size() + 2) << "no translation on line " << i;
    }
    EXPECT_EQ(statusPart1(reader.child(IDC_STATUS_BAR), reader.processId()),
              "Found " + std::to_string(expected.size()) + " items");

    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(reader.waitForExit(), 0);
}

// Presses the left button where the cursor is and releases it `holdMs` later.
void clickHere(DWORD holdMs) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof input);
    Sleep(holdMs);
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

// The second of two quick clicks arrives as a double click while the button is still
// down; it types the letter as the first one did.
TEST(ArabicSearchJourney, TwoQuickRealClicksOnALetterKeyTypeItTwice) {
    ReaderSession reader(readerPath());
    ASSERT_TRUE(reader.start());
    HWND dialog = openArabicSearch(reader);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(reader.waitIdle());
    HWND field = FindWindowExA(dialog, nullptr, "EDITARAB", nullptr);
    ASSERT_NE(field, nullptr);
    RECT key;
    ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, IDC_KEY_MIM), &key));
    SetForegroundWindow(dialog);
    SetCursorPos((key.left + key.right) / 2, (key.top + key.bottom) / 2);
    Sleep(100);
    clickHere(40);
    Sleep(40); // the second press comes about 80 ms after the first
    // Held long enough for the reader to handle the double click before the release.
    clickHere(400);
    Sleep(200);
    ASSERT_TRUE(reader.waitIdle());
    EXPECT_EQ(fieldText(field), L"\x0645\x0645"); // meem, meem

    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(reader.waitIdle());
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(reader.waitForExit(), 0);
}

TEST(ArabicSearchJourney, WordsTypedInStandardSpellingFindTheUthmaniAyat) {
    struct Search {
        const char* word;
        std::vector<int> keys;
        std::vector<std::string> ayat; // each must be listed
    };
    const Search searches[] = {
        {"al-kitab",
         {IDC_KEY_ALIF, IDC_KEY_LAM, IDC_KEY_KAF, IDC_KEY_TA, IDC_KEY_ALIF, IDC_KEY_BA},
         {"2:2"}},
        {"as-salah",
         {IDC_KEY_ALIF, IDC_KEY_LAM, IDC_KEY_SHAD, IDC_KEY_LAMALIF, IDC_KEY_TEH_MARBUTA},
         {"2:3"}},
        {"az-zakah",
         {IDC_KEY_ALIF, IDC_KEY_LAM, IDC_KEY_ZA, IDC_KEY_KAF, IDC_KEY_ALIF, IDC_KEY_TEH_MARBUTA},
         {"2:43"}},
        {"ibrahim",
         {IDC_KEY_ALEF_HAMZA_BELOW, IDC_KEY_BA, IDC_KEY_RA, IDC_KEY_ALIF, IDC_KEY_HEH, IDC_KEY_YA,
          IDC_KEY_MIM},
         {"2:124", "14:35"}},
        {"as-samawat",
         {IDC_KEY_ALIF, IDC_KEY_LAM, IDC_KEY_SIN, IDC_KEY_MIM, IDC_KEY_ALIF, IDC_KEY_WAU,
          IDC_KEY_ALIF, IDC_KEY_TA},
         {"2:33"}},
        {"al-quran",
         {IDC_KEY_ALIF, IDC_KEY_LAM, IDC_KEY_QAF, IDC_KEY_RA, IDC_KEY_ALEF_MADDA, IDC_KEY_NUN},
         {"2:185"}},
        {"ya ayyuha an-nas",
         {IDC_KEY_YA, IDC_KEY_ALIF, IDC_KEY_SPACE, IDC_KEY_ALEF_HAMZA_ABOVE, IDC_KEY_YA,
          IDC_KEY_HEH, IDC_KEY_ALIF, IDC_KEY_SPACE, IDC_KEY_ALIF, IDC_KEY_LAM, IDC_KEY_NUN,
          IDC_KEY_ALIF, IDC_KEY_SIN},
         {"2:21"}},
    };
    ReaderSession reader(readerPath());
    ASSERT_TRUE(reader.start());
    HWND list = reader.child(IDC_RESULT_LIST);
    for (const Search& search : searches) {
        SCOPED_TRACE(search.word);
        // Once more when an ayah is missing: under load a key message sent across processes
        // has been seen to go astray in the test bed (once in several full runs). The second
        // search must find everything.
        std::vector<std::string> missing;
        for (int attempt = 0; attempt < 2 && (attempt == 0 || !missing.empty()); ++attempt) {
            if (attempt > 0) std::cout << "[ RETRY    ] " << search.word << ": typed again\n";
            HWND dialog = openArabicSearch(reader);
            ASSERT_NE(dialog, nullptr);
            clickKeys(dialog, {IDC_KEY_CLEAR});
            clickKeys(dialog, search.keys);
            ASSERT_TRUE(pressOk(reader, dialog));

            const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
            std::vector<std::string> listed;
            for (int i = 0; i < count; ++i) {
                const std::string line = listLine(list, i);
                listed.push_back(line.substr(0, line.find(' ')));
            }
            missing.clear();
            for (const std::string& ayah : search.ayat)
                if (std::find(listed.begin(), listed.end(), ayah) == listed.end())
                    missing.push_back(ayah);
        }
        for (const std::string& ayah : missing)
            ADD_FAILURE() << ayah << " not listed";
    }
    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(reader.waitForExit(), 0);
}

} // namespace
