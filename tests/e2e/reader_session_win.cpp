#include "reader_session_win.h"

#include "app/resume_win.h"
#include "resources/resource_ids.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

std::string windowsPathOf(const std::string& unixPath) {
    if (unixPath.empty() || unixPath[0] != '/') return unixPath;
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

namespace {

std::string inCodePage(const std::wstring& wide, UINT codePage) {
    if (wide.empty()) return "";
    const int size = WideCharToMultiByte(codePage, 0, wide.c_str(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(codePage, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0],
                            size, nullptr, nullptr);
    return text;
}

} // namespace

std::string narrow(const std::wstring& wide) {
    return inCodePage(wide, CP_ACP);
}

std::string utf8Of(const std::wstring& wide) {
    return inCodePage(wide, CP_UTF8);
}

bool waitUntilClosed(HWND window) {
    for (int i = 0; i < 1000 && IsWindow(window); ++i)
        Sleep(10);
    return !IsWindow(window);
}

std::wstring wideOfUtf8(const std::string& utf8) {
    if (utf8.empty()) return L"";
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()), &wide[0],
                            size);
    return wide;
}

namespace {

// Whether target holds a file of the same size and time of writing as the one found.
bool sameFile(const WIN32_FIND_DATAW& found, const std::wstring& target) {
    WIN32_FILE_ATTRIBUTE_DATA there{};
    if (!GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &there)) return false;
    return there.nFileSizeLow == found.nFileSizeLow && there.nFileSizeHigh == found.nFileSizeHigh &&
           CompareFileTime(&there.ftLastWriteTime, &found.ftLastWriteTime) == 0;
}

} // namespace

bool copyFolderTree(const std::wstring& from, const std::wstring& to) {
    if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring source = from + L"\\" + name, target = to + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = copyFolderTree(source, target) && ok;
        } else if (!sameFile(found, target)) {
            DeleteFileW(target.c_str()); // a copy of an older build
            ok = (CreateHardLinkW(target.c_str(), source.c_str(), nullptr) ||
                  CopyFileW(source.c_str(), target.c_str(), TRUE)) &&
                 ok;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return ok;
}

bool replaceFile(const std::wstring& source, const std::wstring& target) {
    // The target may be a link to the build's own file: it is removed, never written into.
    DeleteFileW(target.c_str());
    return CopyFileW(source.c_str(), target.c_str(), FALSE) != FALSE;
}

namespace {

std::string itemText(HWND control, UINT lengthMessage, UINT textMessage, int index) {
    const LRESULT length = SendMessageW(control, lengthMessage, index, 0);
    if (length < 0) return "(none)";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(control, textMessage, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return narrow(text);
}

} // namespace

std::string listItemText(HWND list, int index) {
    return itemText(list, LB_GETTEXTLEN, LB_GETTEXT, index);
}

std::string comboItemText(HWND combo, int index) {
    return itemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

bool sendWithReaderBuffer(const ReaderSession& reader, HWND window, UINT message, WPARAM wParam,
                          void* data, size_t size) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 reader.processId());
    if (!process) return false;
    void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    bool copied = false;
    if (remote) {
        SIZE_T read = 0;
        copied = WriteProcessMemory(process, remote, data, size, nullptr) &&
                 (SendMessageA(window, message, wParam, reinterpret_cast<LPARAM>(remote)), true) &&
                 ReadProcessMemory(process, remote, data, size, &read) && read == size;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return copied;
}

std::string statusBarText(const ReaderSession& reader, int part) {
    char text[512] = "";
    if (!sendWithReaderBuffer(reader, reader.child(IDC_STATUS_BAR), SB_GETTEXTA, part, text,
                              sizeof text))
        return "(no buffer)";
    text[sizeof text - 1] = '\0';
    return text;
}

void clearStoredReadingPosition() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\KELVANE\\QURAN\\SETTING", 0, KEY_SET_VALUE,
                      &key) != ERROR_SUCCESS)
        return;
    for (const char* name : kReadingPositionValues)
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

void clickAt(HWND window, POINT point) {
    ClientToScreen(window, &point);
    // Absolute coordinates over the virtual desktop, 0 to 65535 from its left or top edge to
    // its right or bottom one, aimed at the middle of the pixel so that either rounding finds it.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = std::max(1, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    const int height = std::max(1, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    INPUT inputs[3]{};
    inputs[0].type = inputs[1].type = inputs[2].type = INPUT_MOUSE;
    inputs[0].mi.dx =
        static_cast<LONG>((static_cast<long long>(point.x - left) * 65536 + 32768) / width);
    inputs[0].mi.dy =
        static_cast<LONG>((static_cast<long long>(point.y - top) * 65536 + 32768) / height);
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    // The pointer goes there first and the buttons follow once it has stayed there a while:
    // a window that has just appeared under the pointer's old place can still report the
    // pointer there (the test bed's display tells it late), and a click sent at once would go
    // to that place. The buttons travel with the move again, so that nothing comes between.
    SendInput(1, inputs, sizeof(INPUT));
    POINT at{};
    for (int steady = 0, tries = 0; steady < 5 && tries < 200; ++tries, Sleep(10)) {
        GetCursorPos(&at);
        steady = at.x == point.x && at.y == point.y ? steady + 1 : 0;
        if (steady == 0 && tries % 20 == 19) SendInput(1, inputs, sizeof(INPUT));
    }
    SendInput(3, inputs, sizeof(INPUT));
}

void pressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void typeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t unit : text)
        for (DWORD flags : {KEYEVENTF_UNICODE, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = static_cast<WORD>(unit);
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring windowTextW(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

ReaderSession::ReaderSession(std::string exePath) : exePath_(std::move(exePath)) {}

ReaderSession::~ReaderSession() {
    if (processInfo_.hProcess) {
        if (WaitForSingleObject(processInfo_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(processInfo_.hProcess, 99);
        CloseHandle(processInfo_.hProcess);
        CloseHandle(processInfo_.hThread);
    }
}

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK findProcessWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && std::strcmp(className, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findChild(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, search->className) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND topWindowOf(DWORD processId, const char* className) {
    WindowSearch search{processId, className, nullptr};
    EnumWindows(findProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND findChildWindow(HWND parent, const char* className) {
    WindowSearch search{0, className, nullptr};
    EnumChildWindows(parent, findChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ReaderSession::start(DWORD timeoutMs, bool keepReadingPosition) {
    if (!keepReadingPosition) clearStoredReadingPosition();
    std::string directory = exePath_;
    const size_t slash = directory.find_last_of('\\');
    directory = slash == std::string::npos ? std::string(".") : directory.substr(0, slash);
    const std::wstring exe = wideOfUtf8(exePath_);
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Under load, right after processes were killed, Wine has refused a start now and then
    // with ERROR_INTERNAL_ERROR: such a start is tried again a moment later.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt > 0) Sleep(500);
        started = CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                 wideOfUtf8(directory).c_str(), &startup, &processInfo_) != 0;
        if (!started) {
            const DWORD error = GetLastError();
            std::fprintf(stderr, "cannot start %s: error %lu\n", exePath_.c_str(), error);
            if (error != ERROR_INTERNAL_ERROR) return false;
        }
    }
    if (!started) return false;
    WaitForInputIdle(processInfo_.hProcess, timeoutMs);
    const DWORD until = GetTickCount() + timeoutMs;
    while (!window_ && static_cast<LONG>(until - GetTickCount()) > 0) {
        window_ = topWindowOf(processInfo_.dwProcessId, "AL-QURAN");
        if (!window_) {
            if (WaitForSingleObject(processInfo_.hProcess, 100) == WAIT_OBJECT_0) return false;
        }
    }
    return window_ && waitIdle();
}

bool ReaderSession::waitIdle(DWORD timeoutMs) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool ReaderSession::choose(int listId, int index) const {
    HWND list = child(listId);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(listId, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(list));
    return waitIdle();
}

bool ReaderSession::goTo(int surah, int ayah) const {
    return choose(IDC_SURAH_LIST, surah - 1) && choose(IDC_AYAH_LIST, ayah - 1);
}

std::string ReaderSession::text(HWND control) const {
    char buffer[4096] = "";
    SendMessageA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

HWND ReaderSession::waitForWindow(const char* className, const char* caption,
                                  DWORD timeoutMs) const {
    const DWORD until = GetTickCount() + timeoutMs;
    do {
        for (HWND found = FindWindowExA(nullptr, nullptr, className, caption); found;
             found = FindWindowExA(nullptr, found, className, caption)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner == processId() && IsWindowVisible(found)) return found;
        }
        Sleep(20);
    } while (static_cast<LONG>(until - GetTickCount()) > 0);
    return nullptr;
}

bool ReaderSession::bringToFront() const {
    SetForegroundWindow(window_);
    for (int i = 0; i < 100 && GetForegroundWindow() != window_; ++i)
        Sleep(20);
    return GetForegroundWindow() == window_ && waitIdle();
}

bool ReaderSession::kill() {
    if (!processInfo_.hProcess) return false;
    TerminateProcess(processInfo_.hProcess, 99);
    return WaitForSingleObject(processInfo_.hProcess, 20000) == WAIT_OBJECT_0;
}

long ReaderSession::waitForExit(DWORD timeoutMs) {
    if (!processInfo_.hProcess) return -1;
    if (WaitForSingleObject(processInfo_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(processInfo_.hProcess, &code);
    return static_cast<long>(code);
}

bool captureScreenArea(const RECT& rect, ScreenPixels& pixels) {
    pixels = ScreenPixels{};
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (picture && bits) {
        HGDIOBJ previous = SelectObject(memory, picture);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        SelectObject(memory, previous);
        GdiFlush();
        pixels.width = width;
        pixels.height = height;
        pixels.stride = ((width * 3 + 3) / 4) * 4;
        const BYTE* first = static_cast<const BYTE*>(bits);
        pixels.bgr.assign(first, first + static_cast<size_t>(pixels.stride) * height);
        ok = true;
    }
    if (picture) DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

size_t darkPixelsOnScreen(const RECT& rect) {
    ScreenPixels pixels;
    if (!captureScreenArea(rect, pixels)) return 0;
    size_t dark = 0;
    for (int row = 0; row < pixels.height; ++row)
        for (int x = 0; x < pixels.width; ++x) {
            const BYTE* pixel = &pixels.bgr[static_cast<size_t>(row) * pixels.stride + x * 3];
            if (pixel[0] + pixel[1] + pixel[2] < 3 * 96) ++dark;
        }
    return dark;
}

bool saveScreenArea(const RECT& rect, const std::string& bmpPath) {
    ScreenPixels pixels;
    if (!captureScreenArea(rect, pixels)) return false;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = pixels.width;
    header.biHeight = pixels.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD imageSize = static_cast<DWORD>(pixels.bgr.size());
    header.biSizeImage = imageSize;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    bool ok = false;
    if (FILE* out = std::fopen(bmpPath.c_str(), "wb")) {
        ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
             std::fwrite(&header, sizeof header, 1, out) == 1 &&
             std::fwrite(pixels.bgr.data(), 1, imageSize, out) == imageSize;
        ok = std::fclose(out) == 0 && ok;
    }
    return ok;
}

bool ReaderSession::saveWindowPicture(const std::string& bmpPath) const {
    RECT rect;
    if (!window_ || !GetWindowRect(window_, &rect)) return false;
    return saveScreenArea(rect, bmpPath);
}
