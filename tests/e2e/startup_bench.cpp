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

// Screen pixels of a window's area (BGRX, top row first).
std::vector<unsigned char> screenPixels(HWND window, int& width, int& height) {
    RECT rect;
    GetWindowRect(window, &rect);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
    std::vector<unsigned char> pixels;
    if (width <= 0 || height <= 0) return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP shot = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (shot && bits) {
        HGDIOBJ previous = SelectObject(memory, shot);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        SelectObject(memory, previous);
        GdiFlush();
        const auto* begin = static_cast<const unsigned char*>(bits);
        pixels.assign(begin, begin + static_cast<size_t>(width) * height * 4);
    }
    if (shot) DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The ayah picture is dark writing on a light ground: painted once enough pixels are dark.
bool ayahOnScreen(HWND reader) {
    char text[64] = "";
    SendMessageTimeoutA(GetDlgItem(reader, IDC_TRANSLATION), WM_GETTEXT, sizeof text,
                        reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000, nullptr);
    if (!text[0]) return false;
    HWND view = findChildWindow(reader, "WND_DRAW_BITMAP");
    if (!view) return false;
    int width = 0, height = 0;
    const std::vector<unsigned char> pixels = screenPixels(view, width, height);
    size_t dark = 0;
    for (size_t i = 0; i + 3 < pixels.size(); i += 4)
        if (pixels[i] + pixels[i + 1] + pixels[i + 2] < 150) ++dark;
    return dark > 200;
}

bool pictureOnScreen(HWND window) {
    int width = 0, height = 0;
    const std::vector<unsigned char> pixels = screenPixels(window, width, height);
    const size_t middle = (static_cast<size_t>(height / 3) * width + width / 3) * 4;
    return middle + 2 < pixels.size() && pixels[middle] == 160 && pixels[middle + 1] == 96 &&
           pixels[middle + 2] == 32;
}

struct Run {
    double ms = -1;
    SIZE_T privateBytes = 0;
};

Run measure(const std::string& exe, const char* className, bool (*painted)(HWND),
            const char* holdName = nullptr, DWORD holdMs = 0) {
    Run run;
    std::string directory = exe.substr(0, exe.find_last_of('\\'));
    std::string line = "\"" + exe + "\"";
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const double start = nowMs();
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &started))
        return run;
    HWND window = nullptr;
    while (nowMs() - start < 60000) {
        if (!window) window = findProcessWindow(started.dwProcessId, className);
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
                "(goal: at most 1.5)\n",
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
