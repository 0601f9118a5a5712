// A stand-in for the companion player in the tests: it appends one line to the file named
// by NORAVEL_TEST_PLAYER_LOG, "<show-window state>|<its whole command line in UTF-8>", lives for
// NORAVEL_TEST_PLAYER_LIFE_MS milliseconds (default 1000) and ends with the exit code
// NORAVEL_TEST_PLAYER_EXIT (default 0). With NORAVEL_TEST_PLAYER_SOUND_MS it sets the
// reader's started event ("Local\NoravelPlayerStarted-<its process id>") that many
// milliseconds after its start, as the real player does when its sound starts. With
// NORAVEL_TEST_PLAYER_FLAGS_LOG it appends the dwFlags of its STARTUPINFO there, in decimal.
// Started ahead of its ayah (the reader made its go event), it waits for its turn as the real
// player does, and NORAVEL_TEST_PLAYER_GO_LOG gets "wait <process id>" before the wait and
// "go <process id>" once the reader lets it play; its life counts from then. With
// NORAVEL_TEST_PLAYER_FINISHED_MS it sets the reader's finished event
// ("Local\NoravelPlayerFinished-<its process id>") that many milliseconds into its life, as
// the real player does when the last of its sound has played, and lives on to its end.
#include "companions/player_started_win.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

int numberFromEnvironment(const char* name, int fallback) {
    char text[32] = "";
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text) return fallback;
    return std::atoi(text);
}

void appendTo(const wchar_t* variable, const char* line, int length) {
    wchar_t logPath[MAX_PATH] = L"";
    const DWORD pathLength = GetEnvironmentVariableW(variable, logPath, MAX_PATH);
    if (pathLength == 0 || pathLength >= MAX_PATH) return;
    HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD done = 0;
    WriteFile(log, line, static_cast<DWORD>(length), &done, nullptr);
    CloseHandle(log);
}

void recordStart() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    // The command line as it came, in UTF-8: folders named in any script survive.
    char commandLine[4096] = "";
    if (!WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, commandLine, sizeof commandLine,
                             nullptr, nullptr))
        return;
    char line[sizeof commandLine + 32];
    const int written = std::snprintf(line, sizeof line, "%d|%s\n", show, commandLine);
    if (written > 0 && static_cast<size_t>(written) < sizeof line)
        appendTo(L"NORAVEL_TEST_PLAYER_LOG", line, written);
    char flags[32];
    const int flagsLength = std::snprintf(flags, sizeof flags, "%lu\n", startup.dwFlags);
    appendTo(L"NORAVEL_TEST_PLAYER_FLAGS_LOG", flags, flagsLength);
}

} // namespace

void recordGo(const char* what) {
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%s %lu\n", what, GetCurrentProcessId());
    appendTo(L"NORAVEL_TEST_PLAYER_GO_LOG", line, length);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    recordStart();
    if (HANDLE go = openGoEvent()) {
        recordGo("wait");
        if (!waitForGo(go)) return 8; // the reader ended first
        recordGo("go");
    }
    const int life = numberFromEnvironment("NORAVEL_TEST_PLAYER_LIFE_MS", 1000);
    const int sound = numberFromEnvironment("NORAVEL_TEST_PLAYER_SOUND_MS", -1);
    const int finished = numberFromEnvironment("NORAVEL_TEST_PLAYER_FINISHED_MS", -1);
    int lived = 0;
    const auto liveUntil = [&](int ms) {
        if (ms > lived) Sleep(static_cast<DWORD>(ms - lived));
        lived = ms > lived ? ms : lived;
    };
    if (sound >= 0 && sound <= life) {
        liveUntil(sound);
        signalSoundStarted();
    }
    if (finished >= 0 && finished <= life) {
        liveUntil(finished);
        signalSoundFinished();
    }
    liveUntil(life);
    return numberFromEnvironment("NORAVEL_TEST_PLAYER_EXIT", 0);
}
