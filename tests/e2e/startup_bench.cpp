// Start-up benchmark: from process start to the first ayah on screen (its picture painted
// and its translation shown), beside the same measure for a minimal program that opens a
// window and paints one bitmap. Also the private memory of each after start-up.
// A measurement, not a test: it prints its figures and passes or fails nothing.
//   startup_bench <Noravel.exe> <minimal_window.exe> [runs] [holdMs]
// With holdMs, each program is started once more at the end and kept running for that
// long after "holding <name>" is printed, so that a script can read its memory from the
// host system (under Wine the process's own counters read 0).
#include "reader_session_win.h"

#include "resources/resource_ids.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

RECT screenRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The ayah picture is dark writing on a light ground: painted once enough pixels are dark,
// and the translation is there.
bool ayahOnScreen(HWND reader) {
    char text[64] = "";
    SendMessageTimeoutA(GetDlgItem(reader, IDC_TRANSLATION), WM_GETTEXT, sizeof text,
                        reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000, nullptr);
    if (!text[0]) return false;
    HWND view = findChildWindow(reader, "WND_DRAW_BITMAP");
    return view && darkPixelsOnScreen(screenRectOf(view)) > 200;
}

// The minimal program's bitmap is one colour: painted once the middle shows it.
bool pictureOnScreen(HWND window) {
    ScreenPixels pixels;
    if (!captureScreenArea(screenRectOf(window), pixels)) return false;
    const size_t middle = static_cast<size_t>(pixels.height / 2) * pixels.stride +
                          static_cast<size_t>(pixels.width / 3) * 3;
    return middle + 2 < pixels.bgr.size() && pixels.bgr[middle] == 160 &&
           pixels.bgr[middle + 1] == 96 && pixels.bgr[middle + 2] == 32;
}

struct Run {
    double ms = -1;
    SIZE_T privateBytes = 0;
};

Run measure(const std::string& exe, const char* className, bool (*painted)(HWND),
            const char* holdName = nullptr, DWORD holdMs = 0) {
    Run run;
    const std::wstring path = wideOfUtf8(exe);
    const std::wstring directory = path.substr(0, path.find_last_of(L'\\'));
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const double start = nowMs();
    if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &started))
        return run;
    HWND window = nullptr;
    while (nowMs() - start < 60000) {
        if (!window) window = topWindowOf(started.dwProcessId, className);
        if (window && painted(window)) {
            run.ms = nowMs() - start;
            break;
        }
        Sleep(1);
    }
    // Private memory once start-up has settled.
    if (window) SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(started.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory))
        run.privateBytes = memory.PrivateUsage;
    if (holdName) {
        std::printf("holding %s\n", holdName);
        std::fflush(stdout);
        Sleep(holdMs);
    }
    TerminateProcess(started.hProcess, 0);
    WaitForSingleObject(started.hProcess, 10000);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return run;
}

double median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_bench <Noravel.exe> <minimal_window.exe> [runs]\n");
        return 2;
    }
    const std::string reader = windowsPathOf(argv[1]);
    const std::string minimal = windowsPathOf(argv[2]);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    const DWORD holdMs = argc > 4 ? static_cast<DWORD>(std::max(0, std::atoi(argv[4]))) : 0;
    clearStoredReadingPosition(); // the reader starts as a first run does: on 1:1

    std::vector<double> readerMs, minimalMs;
    SIZE_T readerMemory = 0, minimalMemory = 0;
    // Alternating, so that both see the same state of the machine; one warm-up of each.
    for (int i = -1; i < runs; ++i) {
        const Run small = measure(minimal, "MINIMAL_PICTURE", pictureOnScreen);
        const Run full = measure(reader, "AL-QURAN", ayahOnScreen);
        if (i < 0) continue;
        std::printf("run %2d: minimal %7.1f ms, reader %7.1f ms\n", i + 1, small.ms, full.ms);
        if (small.ms >= 0) minimalMs.push_back(small.ms);
        if (full.ms >= 0) readerMs.push_back(full.ms);
        minimalMemory = std::max(minimalMemory, small.privateBytes);
        readerMemory = std::max(readerMemory, full.privateBytes);
    }
    const double m = median(minimalMs), r = median(readerMs);
    std::printf("median start to first paint: minimal %.1f ms, reader %.1f ms, ratio %.2f "
                "(goal: at most 1.3)\n",
                m, r, m > 0 ? r / m : 0.0);
    if (minimalMemory > 0 || readerMemory > 0)
        std::printf("private memory after start-up: minimal %.1f MB, reader %.1f MB\n",
                    minimalMemory / 1048576.0, readerMemory / 1048576.0);
    else
        std::printf("private memory: not reported to Windows programs here\n");
    std::fflush(stdout);
    if (holdMs > 0) {
        measure(minimal, "MINIMAL_PICTURE", pictureOnScreen, "minimal", holdMs);
        measure(reader, "AL-QURAN", ayahOnScreen, "reader", holdMs);
    }
    return 0;
}
