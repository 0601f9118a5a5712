// A stand-in for the companion player in the tests: it appends one line to the file named
// by NORAVEL_TEST_PLAYER_LOG, "<show-window state>|<its whole command line>", lives for
// NORAVEL_TEST_PLAYER_LIFE_MS milliseconds (default 1000) and ends with the exit code
// NORAVEL_TEST_PLAYER_EXIT (default 0).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int numberFromEnvironment(const char* name, int fallback) {
    char text[32] = "";
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text) return fallback;
    return std::atoi(text);
}

void recordCommandLine() {
    char logPath[MAX_PATH] = "";
    const DWORD length =
        GetEnvironmentVariableA("NORAVEL_TEST_PLAYER_LOG", logPath, sizeof logPath);
    if (length == 0 || length >= sizeof logPath) return;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    char line[2048];
    const int written = std::snprintf(line, sizeof line, "%d|%s\n", show, GetCommandLineA());
    if (written <= 0 || static_cast<size_t>(written) >= sizeof line) return;
    HANDLE log = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD done = 0;
    WriteFile(log, line, static_cast<DWORD>(written), &done, nullptr);
    CloseHandle(log);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    recordCommandLine();
    Sleep(static_cast<DWORD>(numberFromEnvironment("NORAVEL_TEST_PLAYER_LIFE_MS", 1000)));
    return numberFromEnvironment("NORAVEL_TEST_PLAYER_EXIT", 0);
}
