// A stand-in for the companion player in the tests: it appends one line to the file named
// by NORAVEL_TEST_PLAYER_LOG, "<show-window state>|<its whole command line in UTF-8>", lives for
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
    wchar_t logPath[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"NORAVEL_TEST_PLAYER_LOG", logPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
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
    if (written <= 0 || static_cast<size_t>(written) >= sizeof line) return;
    HANDLE log = CreateFileW(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
