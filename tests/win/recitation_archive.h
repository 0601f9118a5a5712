// The local recitation archive of recitation_server.py (127.0.0.1 only), as the tests that
// run under it steer and read it.
#ifndef NORAVEL_TESTS_WIN_RECITATION_ARCHIVE_H
#define NORAVEL_TESTS_WIN_RECITATION_ARCHIVE_H

#include <windows.h>
#include <winhttp.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

inline int serverPort() {
    const char* port = std::getenv("NORAVEL_RECITATION_PORT");
    return port ? std::atoi(port) : 0;
}

// One GET to the local archive; its body, "" on any failure.
inline std::string get(const wchar_t* path) {
    std::string body;
    HINTERNET session = WinHttpOpen(L"test", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    HINTERNET connection =
        session ? WinHttpConnect(session, L"127.0.0.1", static_cast<INTERNET_PORT>(serverPort()), 0)
                : nullptr;
    HINTERNET request =
        connection ? WinHttpOpenRequest(connection, L"GET", path, nullptr, WINHTTP_NO_REFERER,
                                        WINHTTP_DEFAULT_ACCEPT_TYPES, 0)
                   : nullptr;
    if (request && WinHttpSendRequest(request, nullptr, 0, nullptr, 0, 0, 0) &&
        WinHttpReceiveResponse(request, nullptr)) {
        char chunk[4096];
        DWORD got = 0;
        for (int i = 0; i < 1000 && WinHttpReadData(request, chunk, sizeof chunk, &got) && got; ++i)
            body.append(chunk, got);
    }
    for (HINTERNET h : {request, connection, session})
        if (h) WinHttpCloseHandle(h);
    return body;
}

// Sets the archive's rules ("missing=001003&html=001004") and clears its counts.
inline void serve(const std::string& rules) {
    const std::wstring path = L"/__rules?" + std::wstring(rules.begin(), rules.end());
    ASSERT_EQ(get(path.c_str()), "ok");
}

// How often each ayah's file was asked for since the last serve().
inline std::map<std::string, int> requestCounts() {
    std::map<std::string, int> counts;
    std::istringstream lines(get(L"/__counts"));
    std::string path;
    int count = 0;
    while (lines >> path >> count)
        counts[path.substr(path.rfind('/') + 1)] = count;
    counts.erase("max-in-flight");
    return counts;
}

// The most answers the archive worked on at once since the last serve().
inline int maxInFlight() {
    std::istringstream lines(get(L"/__counts"));
    std::string path;
    int count = 0;
    while (lines >> path >> count)
        if (path == "max-in-flight") return count;
    return -1;
}

// Every request of the archive with its path, as the test asked for it.
inline std::map<std::string, int> requestPaths() {
    std::map<std::string, int> counts;
    std::istringstream lines(get(L"/__counts"));
    std::string path;
    int count = 0;
    while (lines >> path >> count)
        if (path != "max-in-flight") counts[path] = count;
    return counts;
}

#endif
