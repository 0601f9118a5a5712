// The memorising journey of the real reader with the stand-in player: a range from 1:5 to
// 2:2 read twice, each ayah twice, with a second's pause between the passes, starts the
// players in exactly that order, the reader's own display shows each ayah as its turn
// comes, and its status bar counts the pause down.
#include "reader_session_win.h"

#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr char kSettingKey[] = "SOFTWARE\\KELVANE\\QURAN\\SETTING";
const char* const kValues[] = {"RepeatEachAyah", "RepeatRangeFrom", "RepeatRangeTo",
                               "RepeatRangePasses", "PauseAfterPassTenths"};

void setUserDword(const char* name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void deleteUserValue(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);)
        all.push_back(line);
    return all;
}

TEST(MemoriseJourney, ARangeAcrossSurahsPlaysInOrderPassAfterPassAndTheDisplayFollows) {
    const std::string exe = windowsPathOf(NORAVEL_READER_EXE);
    const std::string dist = exe.substr(0, exe.rfind('\\'));
    const std::string buildRoot = dist.substr(0, dist.rfind('\\'));
    const std::string folder = buildRoot + "\\e2e-folders\\memorise";
    CreateDirectoryW(wideOfUtf8(buildRoot + "\\e2e-folders").c_str(), nullptr);
    ASSERT_TRUE(copyFolderTree(wideOfUtf8(dist), wideOfUtf8(folder)));
    const std::string standIn = windowsPathOf(NORAVEL_TEST_COMPANIONS) + "\\test_player.exe";
    ASSERT_TRUE(replaceFile(wideOfUtf8(standIn), wideOfUtf8(folder + "\\zemplay.exe")));
    // Recordings of the range beside the program (the stand-in does not read them).
    CreateDirectoryW(wideOfUtf8(folder + "\\mp3").c_str(), nullptr);
    const std::vector<std::string> range = {"001005", "001006", "001007", "002001", "002002"};
    for (const std::string& name : range) {
        std::ofstream(folder + "\\mp3\\" + name + ".mp3") << "ID3";
    }
    const std::string log = buildRoot + "\\e2e-folders\\memorise-players.log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LOG", log.c_str()); // the reader passes it on
    SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LIFE_MS", "300");
    setUserDword("RepeatEachAyah", 2);
    setUserDword("RepeatRangeFrom", 1005);
    setUserDword("RepeatRangeTo", 2002);
    setUserDword("RepeatRangePasses", 2);
    setUserDword("PauseAfterPassTenths", 10);
    clearStoredReadingPosition();

    ReaderSession reader(folder + "\\Noravel.exe");
    ASSERT_TRUE(reader.start());
    ASSERT_TRUE(reader.waitIdle());
    // It opens on 1:1, outside the range: Listen starts at the range's beginning.
    ASSERT_EQ(SendMessageA(reader.child(IDC_SURAH_LIST), CB_GETCURSEL, 0, 0), 0);
    ASSERT_EQ(SendMessageA(reader.child(IDC_AYAH_LIST), CB_GETCURSEL, 0, 0), 0);
    SendMessageA(reader.child(IDC_CONTINUE), BM_SETCHECK, BST_CHECKED, 0);
    PostMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDC_LISTEN, BN_CLICKED),
                 reinterpret_cast<LPARAM>(reader.child(IDC_LISTEN)));
    // The display as the lists show it, each change noted; until the reading has ended.
    std::vector<std::string> shown;
    std::string previous;
    std::string pauseShown;
    char shot[MAX_PATH] = ""; // with NORAVEL_MEMORISE_SHOT: a picture of the window in the pause
    GetEnvironmentVariableA("NORAVEL_MEMORISE_SHOT", shot, MAX_PATH);
    size_t started = 0;
    for (DWORD until = GetTickCount() + 60000; GetTickCount() < until; Sleep(10)) {
        const LRESULT surah = SendMessageA(reader.child(IDC_SURAH_LIST), CB_GETCURSEL, 0, 0) + 1;
        const LRESULT ayah = SendMessageA(reader.child(IDC_AYAH_LIST), CB_GETCURSEL, 0, 0) + 1;
        const std::string now = std::to_string(surah) + ":" + std::to_string(ayah);
        // A state of the lists seen twice in a row is what the display shows (between the
        // two lists' changes another process may catch them half changed); 1:1 until the
        // reader has taken the click.
        const bool steady = now == previous;
        previous = now;
        if (steady && !(shown.empty() && now == "1:1") && (shown.empty() || shown.back() != now))
            shown.push_back(now);
        const std::string status = statusBarText(reader, 1);
        if (pauseShown.empty() && status.rfind("Pause", 0) == 0) {
            pauseShown = status + " after " + std::to_string(lines(log).size()) + " players";
            if (shot[0]) reader.saveWindowPicture(shot);
        }
        started = lines(log).size();
        if (started == 20 && reader.text(reader.child(IDC_LISTEN)) == "Listen") break;
    }
    std::vector<std::string> expected;
    for (int pass = 0; pass < 2; ++pass)
        for (const std::string& name : range)
            expected.insert(expected.end(), 2,
                            "0|\"" + folder + "\\zemplay.exe\" \"" + folder + "\\mp3\\" + name +
                                ".mp3\" 0 0");
    EXPECT_EQ(lines(log), expected);
    EXPECT_EQ(shown, (std::vector<std::string>{"1:5", "1:6", "1:7", "2:1", "2:2", "1:5", "1:6",
                                               "1:7", "2:1", "2:2"}));
    EXPECT_EQ(reader.text(reader.child(IDC_LISTEN)), "Listen") << "the reading ended";
    // Between the passes the status bar counted the pause down.
    EXPECT_EQ(pauseShown, "Pause: repeat the ayah (1 s) after 10 players");

    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(reader.waitForExit(), 0);
    for (const char* value : kValues)
        deleteUserValue(value);
    SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LOG", nullptr);
    SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LIFE_MS", nullptr);
}

} // namespace
