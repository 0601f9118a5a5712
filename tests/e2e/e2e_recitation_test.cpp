// The journey of a user who chooses a reciter and presses Listen with nothing on disk: the
// reader, copied with a stand-in player that records its command lines, fetches from the
// local archive of recitation_server.py through the per-user RecitationMirror.
#include "reader_session_win.h"

#include "../win/recitation_archive.h"
#include "resources/resource_ids.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const wchar_t kSettingsKey[] = L"SOFTWARE\\KELVANE\\QURAN\\SETTING";

void setUserText(const wchar_t* name, const std::string& utf8) {
    const std::wstring text = wideOfUtf8(utf8);
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::string userText(const wchar_t* name) {
    wchar_t text[256] = L"";
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return "";
    return utf8Of(text);
}

bool exists(const std::string& path) {
    return GetFileAttributesW(wideOfUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class RecitationJourney : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_GT(serverPort(), 0) << "run under recitation_server.py";
        const std::string exe = windowsPathOf(NORAVEL_READER_EXE);
        const std::string dist = exe.substr(0, exe.rfind('\\'));
        const std::string buildRoot = dist.substr(0, dist.rfind('\\'));
        work = buildRoot + "\\e2e-recitation";
        program = work + "\\program";
        recitations = work + "\\recitations";
        removeTree(wideOfUtf8(work));
        CreateDirectoryW(wideOfUtf8(work).c_str(), nullptr);
        ASSERT_TRUE(copyFolderTree(wideOfUtf8(dist), wideOfUtf8(program)));
        const std::string standIn = windowsPathOf(NORAVEL_TEST_COMPANIONS) + "\\test_player.exe";
        ASSERT_TRUE(replaceFile(wideOfUtf8(standIn), wideOfUtf8(program + "\\zemplay.exe")));
        log = work + "\\player.log";
        SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LOG", log.c_str()); // the reader passes it on
        SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LIFE_MS", "300");
        setUserText(L"RecitationFolder", recitations);
        setUserText(L"Reciter", "Husary_128kbps");
        mirrorOn(serverPort());
        serve("fallback=001001");
        session = std::make_unique<ReaderSession>(program + "\\Noravel.exe");
        ASSERT_TRUE(session->start());
        SetWindowPos(session->window(), HWND_TOP, 0, 0, 900, 700, SWP_SHOWWINDOW);
        ASSERT_TRUE(session->waitIdle());
    }
    void TearDown() override {
        if (session && session->window()) {
            PostMessageA(session->window(), WM_CLOSE, 0, 0);
            EXPECT_EQ(session->waitForExit(), 0);
        }
        session.reset();
        for (const wchar_t* name : {L"RecitationFolder", L"Reciter", L"RecitationMirror"})
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name);
        SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LOG", nullptr);
        SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LIFE_MS", nullptr);
        clearStoredReadingPosition();
    }
    static void removeTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(folder + L"\\" + name);
                else
                    DeleteFileW((folder + L"\\" + name).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
    void mirrorOn(int port) {
        setUserText(L"RecitationMirror", "http://127.0.0.1:" + std::to_string(port) + "/rec/");
    }
    void listen() {
        PostMessageA(session->window(), WM_COMMAND, MAKEWPARAM(IDC_LISTEN, BN_CLICKED),
                     reinterpret_cast<LPARAM>(session->child(IDC_LISTEN)));
    }
    std::vector<std::string> played() {
        std::ifstream in(log, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool waitForPlayed(size_t count, DWORD ms) {
        for (DWORD until = GetTickCount() + ms; GetTickCount() < until; Sleep(100))
            if (played().size() >= count) return true;
        return false;
    }
    std::string lineOf(const std::string& file) {
        return "0|\"" + program + "\\zemplay.exe\" \"" + recitations + "\\Alafasy_128kbps\\" +
               file + "\" 0 0";
    }

    std::unique_ptr<ReaderSession> session;
    std::string work, program, recitations, log;
};

TEST_F(RecitationJourney, ChooseAlafasyThenListenOnAnEmptyDiskPlaysTheBasmalaAndKeepsTheFiles) {
    PostMessageA(session->window(), WM_COMMAND, IDM_RECITER_WINDOW, 0);
    HWND dialog = session->waitForWindow("#32770", "Recitation");
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(session->waitIdle()); // the dialog's appearance handled before the click
    // A click on the first reciter of the list, as a user makes it.
    HWND list = GetDlgItem(dialog, IDC_RECITATION_RECITERS);
    // The list opens on the reciter in force, scrolled to show it; the first row is brought
    // into view and clicked in its middle, as the list itself places it.
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1)
        << userText(L"Reciter");
    SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
    ASSERT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
    RECT firstRow{LVIR_LABEL, 0, 0, 0};
    ASSERT_TRUE(
        sendWithReaderBuffer(*session, list, LVM_GETITEMRECT, 0, &firstRow, sizeof firstRow));
    ASSERT_GT(firstRow.bottom, firstRow.top);
    SetForegroundWindow(dialog);
    clickAt(list, POINT{firstRow.left + 20, (firstRow.top + firstRow.bottom) / 2});
    for (DWORD until = GetTickCount() + 5000; GetTickCount() < until; Sleep(100))
        if (userText(L"Reciter") == "Alafasy_128kbps") break;
    EXPECT_EQ(userText(L"Reciter"), "Alafasy_128kbps");
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitUntilClosed(dialog));

    ASSERT_TRUE(session->goTo(2, 1));
    SendMessageA(session->child(IDC_CONTINUE), BM_SETCHECK, BST_CHECKED, 0);
    listen();
    ASSERT_TRUE(waitForPlayed(3, 30000)) << played().size();
    listen(); // Stop
    const std::vector<std::string> lines = played();
    EXPECT_EQ(lines[0], lineOf("001001.mp3"));
    EXPECT_EQ(lines[1], lineOf("002001.mp3"));
    EXPECT_EQ(lines[2], lineOf("002002.mp3"));
    for (const char* file : {"001001.mp3", "002001.mp3", "002002.mp3"})
        EXPECT_TRUE(exists(recitations + "\\Alafasy_128kbps\\" + file)) << file;

    // A second Listen on 2:1 (without Continue: the basmala and 2:1) fetches nothing.
    ASSERT_TRUE(session->waitIdle());
    SendMessageA(session->child(IDC_CONTINUE), BM_SETCHECK, BST_UNCHECKED, 0);
    ASSERT_TRUE(session->goTo(2, 1));
    serve("fallback=001001");
    DeleteFileW(wideOfUtf8(log).c_str());
    listen();
    ASSERT_TRUE(waitForPlayed(2, 20000));
    EXPECT_EQ(played()[0], lineOf("001001.mp3"));
    EXPECT_EQ(played()[1], lineOf("002001.mp3"));
    EXPECT_EQ(requestCounts(), (std::map<std::string, int>{}));
}

TEST_F(RecitationJourney, WithTheArchiveGoneOneMessageAndNoPlayerAndTheReaderAnswers) {
    const char* refused = std::getenv("NORAVEL_REFUSED_PORT");
    ASSERT_TRUE(refused);
    mirrorOn(std::atoi(refused));
    setUserText(L"Reciter", "Alafasy_128kbps");
    ASSERT_TRUE(session->goTo(2, 5));
    listen();
    // While the fetch fails, the reader goes on answering.
    EXPECT_TRUE(session->waitIdle(2000));
    EXPECT_TRUE(session->goTo(2, 5));
    HWND box = session->waitForWindow("#32770", "Noravel ver 3.2", 30000);
    ASSERT_TRUE(box);
    EXPECT_NE(windowTextW(box).size(), 0u);
    HWND text = FindWindowExA(box, nullptr, "Static", nullptr);
    while (text && windowTextW(text).find(L"could not be fetched") == std::wstring::npos)
        text = FindWindowExA(box, text, "Static", nullptr);
    ASSERT_TRUE(text);
    EXPECT_NE(windowTextW(text).find(L"connection refused"), std::wstring::npos);
    PostMessageA(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(waitUntilClosed(box));
    EXPECT_TRUE(played().empty());
    EXPECT_EQ(topWindowOf(session->processId(), "#32770"), nullptr); // one message only
    EXPECT_EQ(session->text(session->child(IDC_LISTEN)), "Listen");
}

} // namespace
