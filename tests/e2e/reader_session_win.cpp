#include "reader_session_win.h"

#include "app/resume_win.h"
#include "resources/resource_ids.h"

#include <commctrl.h>

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

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return "";
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], size,
                            nullptr, nullptr);
    return text;
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

std::string statusBarText(const ReaderSession& reader, int part) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 reader.processId());
    if (!process) return "(no access)";
    constexpr SIZE_T kSize = 512;
    void* remote = VirtualAllocEx(process, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE);
    std::string text = "(no buffer)";
    if (remote) {
        char local[kSize] = "";
        WriteProcessMemory(process, remote, local, kSize, nullptr);
        SendMessageA(reader.child(IDC_STATUS_BAR), SB_GETTEXTA, part,
                     reinterpret_cast<LPARAM>(remote));
        SIZE_T read = 0;
        ReadProcessMemory(process, remote, local, kSize, &read);
        local[kSize - 1] = '\0';
        text = local;
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
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
    DWORD processId; // 0 for children
    const char* className;
    HWND found;
};

bool hasClass(HWND window, const char* className) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, className) == 0;
}

BOOL CALLBACK findTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && hasClass(window, search->className) &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findChild(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (!hasClass(window, search->className)) return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND findProcessWindow(DWORD processId, const char* className) {
    WindowSearch search{processId, className, nullptr};
    EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&search));
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
    std::string commandLine = "\"" + exePath_ + "\"";
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exePath_.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &processInfo_)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", exePath_.c_str(), GetLastError());
        return false;
    }
    WaitForInputIdle(processInfo_.hProcess, timeoutMs);
    const DWORD until = GetTickCount() + timeoutMs;
    while (!window_ && static_cast<LONG>(until - GetTickCount()) > 0) {
        window_ = findProcessWindow(processInfo_.dwProcessId, "AL-QURAN");
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

bool saveScreenArea(const RECT& rect, const std::string& bmpPath) {
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
        const DWORD stride = ((width * 3 + 3) / 4) * 4;
        const DWORD imageSize = stride * height;
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        info.bmiHeader.biSizeImage = imageSize;
        if (FILE* out = std::fopen(bmpPath.c_str(), "wb")) {
            ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                 std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                 std::fwrite(bits, 1, imageSize, out) == imageSize;
            ok = std::fclose(out) == 0 && ok;
        }
    }
    if (picture) DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool ReaderSession::saveWindowPicture(const std::string& bmpPath) const {
    RECT rect;
    if (!window_ || !GetWindowRect(window_, &rect)) return false;
    return saveScreenArea(rect, bmpPath);
}
