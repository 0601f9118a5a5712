// Recitation and browser pages, in process: a window with the controls the recitation
// reads (112, 113, 155, 303, 304) stands in for the main window, a test player that
// records its command line stands in for zemplay.exe and morvent.exe, and a small COM
// server of ours stands in for the browser's automation object.
#include "app/ayah_navigation_win.h"
#include "app/process_state_win.h"
#include "app/startup_win.h"
#include "external/browser_pages_win.h"
#include "external/recitation_player_win.h"
#include "external/recitation_rules.h"
#include "resources/resource_ids.h"
#include "text/text_store.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kWindowClass[] = "RECITATION-TEST";

LRESULT CALLBACK testWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        RecitationPlayer::onTimer();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::string moduleFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\'));
}

// The stand-ins are built beside the test programs: <build>/test_companions.
std::string testCompanion(const char* name) {
    return moduleFolder() + "\\..\\..\\test_companions\\" + name;
}

std::string readFile(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, got);
        std::fclose(f);
    }
    return text;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        result.push_back(text.substr(start, end - start));
    return result;
}

// Runs the message loop until `done` holds or `ms` have passed; true when it held.
template <typename Condition> bool pumpUntil(DWORD ms, Condition done) {
    const DWORD begin = GetTickCount();
    while (true) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) return true;
        if (GetTickCount() - begin >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void pumpFor(DWORD ms) {
    pumpUntil(ms, [] { return false; });
}

std::vector<std::string> reports;
void recordReport(const char* text) {
    reports.push_back(text);
}

class Recitation : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        TextStore::load();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = testWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassA(&windowClass);
        // A folder with a blank in its name, holding the stand-in player and tajwid program.
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "noravel recitation test";
        CreateDirectoryA(folder.c_str(), nullptr);
    }

    void SetUp() override {
        window = CreateWindowA(kWindowClass, "test", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        process.mainWindow = window;
        auto make = [&](const char* cls, const char* text, DWORD style, int id) {
            CreateWindowA(cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 200, window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        };
        make("BUTTON", "Listen", 0, IDC_LISTEN);
        make("BUTTON", "Continue", BS_AUTOCHECKBOX, IDC_CONTINUE);
        make("COMBOBOX", "", CBS_DROPDOWNLIST, IDC_RECITATION_SCOPE);
        make("COMBOBOX", "", CBS_DROPDOWNLIST, IDC_SURAH_LIST);
        make("COMBOBOX", "", CBS_DROPDOWNLIST, IDC_AYAH_LIST);
        for (const char* scope : kScopeNames)
            SendDlgItemMessageA(window, IDC_RECITATION_SCOPE, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(scope));
        SendDlgItemMessageA(window, IDC_RECITATION_SCOPE, CB_SETCURSEL, kScopeTotal - 1, 0);
        for (int surah = 1; surah <= 114; ++surah)
            SendDlgItemMessageA(window, IDC_SURAH_LIST, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(TextStore::surahName(surah)));
        ASSERT_TRUE(useProgramDirectory(folder.c_str()));
        log = folder + "\\player.log";
        DeleteFileA(log.c_str());
        SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LOG", log.c_str());
        setPlayer(1000, 0);
        installStandIn("zemplay.exe");
        installStandIn("morvent.exe");
        reports.clear();
        RecitationPlayer::setFailureReporter(recordReport);
    }

    void TearDown() override {
        if (RecitationPlayer::playing()) RecitationPlayer::stop();
        RecitationPlayer::resetFailureReporter();
        DestroyWindow(window);
        process.mainWindow = nullptr;
        pumpFor(50);
    }

    // A stand-in of the previous test may still be ending: its file is free soon after.
    void installStandIn(const char* name) {
        const std::string source = testCompanion("test_player.exe");
        const std::string target = folder + "\\" + name;
        EXPECT_TRUE(pumpUntil(3000, [&] {
            return CopyFileA(source.c_str(), target.c_str(), FALSE);
        })) << source;
    }
    static void setPlayer(int lifeMs, int exitCode) {
        SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LIFE_MS", std::to_string(lifeMs).c_str());
        SetEnvironmentVariableA("NORAVEL_TEST_PLAYER_EXIT", std::to_string(exitCode).c_str());
    }
    void tickContinue(bool ticked) {
        SendDlgItemMessageA(window, IDC_CONTINUE, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED,
                            0);
    }
    void chooseScope(int scope) {
        SendDlgItemMessageA(window, IDC_RECITATION_SCOPE, CB_SETCURSEL, scope - 1, 0);
    }
    std::string caption() {
        char text[64] = "";
        GetDlgItemTextA(window, IDC_LISTEN, text, sizeof text);
        return text;
    }
    std::vector<std::string> playerLines() { return lines(readFile(log)); }
    std::string expectedPlayerLine(int surah, int ayah, bool continuous) {
        const ::Recitation r = TextStore::recitation(surah, ayah);
        char mp3[260];
        char line[1024];
        formatMp3Path(mp3, sizeof mp3, folder.c_str(), r.file);
        formatPlayerCommandLine(line, sizeof line, folder.c_str(), mp3, r.startMs, r.endMs,
                                continuous);
        return std::string("0|") + line; // started hidden (SW_HIDE)
    }
    std::string ayahShown() {
        return std::to_string(currentSurah()) + ":" + std::to_string(currentAyah());
    }

    static std::string folder;
    HWND window = nullptr;
    std::string log;
};

std::string Recitation::folder;

TEST_F(Recitation, ListenStartsTheHiddenPlayerWithQuotedPathsAndWholeSeconds) {
    selectAyah(1, 2); // 3000 to 6000 ms in 1_1.mp3
    RecitationPlayer::onListenCommand();
    EXPECT_EQ(caption(), "Stop");
    ASSERT_TRUE(pumpUntil(3000, [&] { return playerLines().size() == 1; }));
    EXPECT_EQ(playerLines()[0], expectedPlayerLine(1, 2, false));
    EXPECT_NE(playerLines()[0].find(" 3 6"), std::string::npos);
    RecitationPlayer::onListenCommand(); // "Stop"
    tickContinue(true);
    RecitationPlayer::onListenCommand();
    ASSERT_TRUE(pumpUntil(3000, [&] { return playerLines().size() == 2; }));
    EXPECT_EQ(playerLines()[1], expectedPlayerLine(1, 2, true));
    EXPECT_NE(playerLines()[1].find(" 3 0"), std::string::npos);
}

TEST_F(Recitation, StopTerminatesThePlayerAndLeavesTheDisplay) {
    setPlayer(30000, 0);
    tickContinue(true);
    selectAyah(2, 5);
    RecitationPlayer::onListenCommand();
    ASSERT_NE(process.playerProcess, nullptr);
    HANDLE player = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), process.playerProcess, GetCurrentProcess(),
                                &player, SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, 0));
    pumpFor(1200);
    RecitationPlayer::onListenCommand(); // reads "Stop": stops
    EXPECT_EQ(caption(), "Listen");
    EXPECT_EQ(WaitForSingleObject(player, 3000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(player, &code);
    CloseHandle(player);
    EXPECT_EQ(code, 1u);
    EXPECT_EQ(process.playerProcess, nullptr); // its handle is closed
    pumpFor(2200);
    EXPECT_EQ(ayahShown(), "2:5");
    EXPECT_EQ(caption(), "Listen");
    EXPECT_EQ(playerLines().size(), 1u) << "nothing restarted after the stop";
}

TEST_F(Recitation, WithoutContinueTheCaptionReturnsWithinTwoTicksOfThePlayersEnd) {
    setPlayer(300, 0);
    selectAyah(3, 7);
    RecitationPlayer::onListenCommand();
    const DWORD begin = GetTickCount();
    ASSERT_TRUE(pumpUntil(4000, [&] { return caption() == "Listen"; }));
    EXPECT_LE(GetTickCount() - begin, 300u + 2000u + 300u);
    EXPECT_FALSE(RecitationPlayer::playing());
    EXPECT_EQ(process.playerProcess, nullptr);
    pumpFor(1200);
    EXPECT_EQ(ayahShown(), "3:7");
    EXPECT_EQ(playerLines().size(), 1u);
    EXPECT_TRUE(reports.empty());
}

// Al Fatihah lies in one file: 1:1 0-3000, 1:2 3000-6000, 1:3 6000-8000, 1:4 8000-10000.
TEST_F(Recitation, WithContinueTheDisplayFollowsTheTimingAndGoesOn) {
    ASSERT_EQ(TextStore::recitation(1, 3).startMs, 6000);
    setPlayer(7000, 0); // plays the file "to its end" at 7 s
    tickContinue(true);
    selectAyah(1, 1);
    RecitationPlayer::onListenCommand();
    const DWORD begin = GetTickCount();
    ASSERT_TRUE(pumpUntil(5000, [&] { return ayahShown() == "1:2"; }));
    const DWORD second = GetTickCount() - begin;
    EXPECT_GE(second, 2900u);
    EXPECT_LE(second, 4200u);
    ASSERT_TRUE(pumpUntil(4000, [&] { return ayahShown() == "1:3"; }));
    const DWORD third = GetTickCount() - begin;
    EXPECT_GE(third, 5900u);
    EXPECT_LE(third, 7200u);
    // The player ends at 7 s: the reading goes on with the ayah after the one shown.
    ASSERT_TRUE(pumpUntil(4000, [&] { return playerLines().size() == 2; }));
    EXPECT_EQ(ayahShown(), "1:4");
    EXPECT_EQ(playerLines()[1], expectedPlayerLine(1, 4, true));
    EXPECT_EQ(caption(), "Stop");
}

TEST_F(Recitation, TotalGoesFromTheLastAyahOf114ToTheFirstOfSurahOne) {
    setPlayer(200, 0);
    tickContinue(true);
    chooseScope(kScopeTotal);
    selectAyah(114, 6);
    RecitationPlayer::onListenCommand();
    ASSERT_TRUE(pumpUntil(4000, [&] { return playerLines().size() == 2; }));
    EXPECT_EQ(ayahShown(), "1:1");
    EXPECT_EQ(playerLines()[1], expectedPlayerLine(1, 1, true));
}

TEST_F(Recitation, SuratGoesBackToTheFirstAyahOfTheSameSurah) {
    setPlayer(200, 0);
    tickContinue(true);
    chooseScope(kScopeSurah);
    selectAyah(112, 4);
    RecitationPlayer::onListenCommand();
    ASSERT_TRUE(pumpUntil(4000, [&] { return playerLines().size() == 2; }));
    EXPECT_EQ(ayahShown(), "112:1");
    EXPECT_EQ(playerLines()[1], expectedPlayerLine(112, 1, true));
}

TEST_F(Recitation, ALateWorkerOfAStoppedPlaybackDoesNotEndANewerOne) {
    setPlayer(5000, 0);
    selectAyah(2, 1);
    for (int round = 0; round < 3; ++round) {
        RecitationPlayer::start();
        RecitationPlayer::stop(); // its worker wakes some time after the next start
    }
    RecitationPlayer::start();
    pumpFor(2600); // more than two ticks
    EXPECT_EQ(caption(), "Stop");
    EXPECT_TRUE(RecitationPlayer::playing());
    EXPECT_EQ(ayahShown(), "2:1");
}

TEST_F(Recitation, AMissingPlayerGivesOneMessagePerClickAndNoLoop) {
    DeleteFileA((folder + "\\zemplay.exe").c_str());
    tickContinue(true);
    selectAyah(1, 1);
    RecitationPlayer::onListenCommand();
    EXPECT_EQ(caption(), "Listen");
    EXPECT_FALSE(RecitationPlayer::playing());
    pumpFor(2300);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(folder + "\\zemplay.exe"), std::string::npos) << reports[0];
    RecitationPlayer::onListenCommand();
    pumpFor(1200);
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_EQ(ayahShown(), "1:1");
}

TEST_F(Recitation, APlayerThatCannotPlayEndsTheReadingWithOneMessage) {
    setPlayer(0, 4); // as zemplay does for a file that is not an mp3
    tickContinue(true);
    selectAyah(1, 1);
    RecitationPlayer::onListenCommand();
    ASSERT_TRUE(pumpUntil(3000, [&] { return caption() == "Listen"; }));
    pumpFor(2200);
    EXPECT_EQ(playerLines().size(), 1u);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("1_1.mp3"), std::string::npos) << reports[0];
    EXPECT_EQ(ayahShown(), "1:1");
}

TEST_F(Recitation, TajwidStartsAnotherMaximisedInstanceOnEveryClick) {
    setPlayer(200, 0);
    RecitationPlayer::launchTajwid();
    RecitationPlayer::launchTajwid();
    ASSERT_TRUE(pumpUntil(4000, [&] { return playerLines().size() == 2; }));
    const std::string expected = "3|\"" + folder + "\\morvent.exe\" "; // SW_SHOWMAXIMIZED
    EXPECT_EQ(playerLines()[0], expected);
    EXPECT_EQ(playerLines()[1], expected);
    const std::string tajwid = folder + "\\morvent.exe";
    ASSERT_TRUE(pumpUntil(3000, [&] { return DeleteFileA(tajwid.c_str()); }));
    RecitationPlayer::launchTajwid();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("morvent.exe"), std::string::npos);
}

// ---- Browser pages ----

constexpr char kTestBrowserClsid[] = "{D6F1E6A2-3B7C-4C55-9E2A-5A1C7B3E9F01}";

bool setRegistryText(const std::string& key, const std::string& value) {
    HKEY opened;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result =
        RegSetValueExA(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

std::string registryText(const std::string& key) {
    char value[256] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return "";
    return value;
}

std::vector<std::string> shellUrls;
void recordShellUrl(const char* url) {
    shellUrls.push_back(url);
}

// Our automation server takes the browser's ProgID in the test prefix for the suite; the
// prefix's own registration is put back afterwards.
class BrowserPages : public Recitation {
  protected:
    static void SetUpTestSuite() {
        Recitation::SetUpTestSuite();
        previousClsid = registryText(progIdKey);
        server = testCompanion("test_browser.exe");
        registered = setRegistryText(progIdKey, kTestBrowserClsid) &&
                     setRegistryText(std::string("Software\\Classes\\CLSID\\") + kTestBrowserClsid +
                                         "\\LocalServer32",
                                     "\"" + server + "\"");
    }
    static void TearDownTestSuite() {
        if (!previousClsid.empty())
            setRegistryText(progIdKey, previousClsid);
        else
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, progIdKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE,
                       (std::string("Software\\Classes\\CLSID\\") + kTestBrowserClsid).c_str());
    }
    void SetUp() override {
        Recitation::SetUp();
        ASSERT_TRUE(registered);
        browserLog = server.substr(0, server.rfind('\\')) + "\\test_browser.log";
        DeleteFileA(browserLog.c_str());
        shellUrls.clear();
        setShellPageOpener(recordShellUrl);
    }
    void TearDown() override {
        resetShellPageOpener();
        Recitation::TearDown();
    }
    // The log's lines without the process id in front.
    std::vector<std::string> told() {
        std::vector<std::string> result;
        for (const std::string& line : lines(readFile(browserLog)))
            result.push_back(line.substr(line.find(' ') + 1));
        return result;
    }

    static constexpr const char* progIdKey =
        "Software\\Classes\\InternetExplorer.Application\\CLSID";
    static std::string previousClsid;
    static std::string server;
    static bool registered;
    std::string browserLog;
};

std::string BrowserPages::previousClsid;
std::string BrowserPages::server;
bool BrowserPages::registered = false;

TEST_F(BrowserPages, CommentaryPageIsShownVisibleAtTheAyahsAnchor) {
    selectAyah(2, 11);
    openCommentaryPage();
    const std::vector<std::string> expected = {"Visible 1",
                                               "Navigate " + folder + "\\html\\qs2\\20.html#11"};
    EXPECT_EQ(told(), expected);
    EXPECT_TRUE(shellUrls.empty());
}

// The browser object is told the page's path as UTF-16: a folder named in Arabic letters
// (outside the ANSI code page) arrives unchanged.
TEST_F(BrowserPages, APageBesideAFolderNamedInArabicReachesTheBrowserUnchanged) {
    const std::string arabicFolder = "C:\\برنامج القرآن"; // UTF-8, as the browser logs it
    ASSERT_TRUE(useProgramDirectory(arabicFolder.c_str()));
    openHelpPage();
    const std::vector<std::string> expected = {"Visible 1",
                                               "Navigate " + arabicFolder + "\\help.htm"};
    EXPECT_EQ(told(), expected);
}

TEST_F(BrowserPages, HelpPageGoesToTheRunningBrowserInstance) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION running{};
    std::string line = "\"" + server + "\" -active 3000";
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &running));
    CloseHandle(running.hThread);
    ASSERT_TRUE(pumpUntil(5000, [&] { return !told().empty(); }));
    openHelpPage();
    const std::vector<std::string> all = lines(readFile(browserLog));
    ASSERT_EQ(all.size(), 3u);
    const std::string pid = std::to_string(running.dwProcessId) + " ";
    EXPECT_EQ(all[0], pid + "Active");
    EXPECT_EQ(all[1], pid + "Visible 1");
    EXPECT_EQ(all[2], pid + "Navigate " + folder + "\\help.htm");
    // It ends by itself and revokes its class: a server terminated here would stay
    // registered with the system's COM service, and the next run of these tests would be
    // sent to it instead of starting a new one.
    EXPECT_EQ(WaitForSingleObject(running.hProcess, 10000), WAIT_OBJECT_0);
    CloseHandle(running.hProcess);
}

TEST_F(BrowserPages, WithoutABrowserObjectThePageGoesToTheShellAsAFileUrl) {
    char path[260];
    ASSERT_TRUE(formatCommentaryPath(path, sizeof path, "C:\\Noravel Reader", 2, 286));
    EXPECT_EQ(showPageInBrowser(path, "Noravel.NoSuchBrowser"), BrowserOutcome::ShellOpened);
    ASSERT_EQ(shellUrls.size(), 1u);
    EXPECT_EQ(shellUrls[0], "file:///C:/Noravel%20Reader/html/qs2/290.html#286");
    // A class that is registered but whose server cannot be started: the shell too.
    ASSERT_TRUE(setRegistryText("Software\\Classes\\Noravel.BrokenBrowser\\CLSID",
                                "{D6F1E6A2-3B7C-4C55-9E2A-5A1C7B3E9F02}"));
    ASSERT_TRUE(setRegistryText(
        "Software\\Classes\\CLSID\\{D6F1E6A2-3B7C-4C55-9E2A-5A1C7B3E9F02}\\LocalServer32",
        "C:\\nowhere\\browser.exe"));
    EXPECT_EQ(showPageInBrowser(path, "Noravel.BrokenBrowser"), BrowserOutcome::ShellOpened);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Classes\\Noravel.BrokenBrowser");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE,
                   "Software\\Classes\\CLSID\\{D6F1E6A2-3B7C-4C55-9E2A-5A1C7B3E9F02}");
    EXPECT_EQ(shellUrls.size(), 2u);
    EXPECT_TRUE(told().empty());
}

} // namespace
