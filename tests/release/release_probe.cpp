// Looks at an installed or unpacked copy of the reader from inside Windows (Wine), for the
// release tests (scripts/release-test.sh):
//   release_probe shortcut LNK          prints the program and working folder a shortcut starts
//   release_probe reader EXE [english]  starts EXE, checks its window shows 1:1 (caption, juz,
//                                       picture), optionally switches the translation to
//                                       English (which stores a setting), and closes it
//   release_probe identity EXE ICO      checks EXE's version record names Noravel 3.2 and
//                                       that it carries every image of ICO as an icon
//   release_probe wait-reader SECONDS   waits until a reader's main window is there
//   release_probe close-readers         closes every reader's main window and waits until
//                                       they are gone
//   release_probe uninstall-in-place DIR  runs DIR\uninstall.exe /S in place and exits with
//                                       its exit code
// Exit code 0 when everything checked holds; what was seen goes to standard output.
#include "reader_session_win.h"

#include "base/guards_win.h"
#include "resources/resource_ids.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string narrowPath(const wchar_t* wide) {
    char buffer[MAX_PATH * 2] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

int printShortcut(const char* lnkPath) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 1;
    {
        ComRef<IShellLinkW> link;
        ComRef<IPersistFile> file;
        wchar_t widePath[MAX_PATH] = L"";
        MultiByteToWideChar(CP_ACP, 0, lnkPath, -1, widePath, MAX_PATH);
        widePath[MAX_PATH - 1] = L'\0';
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkW, reinterpret_cast<void**>(link.put()))) &&
            SUCCEEDED(
                link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))) &&
            SUCCEEDED(file->Load(widePath, STGM_READ))) {
            wchar_t target[MAX_PATH] = L"";
            wchar_t folder[MAX_PATH] = L"";
            WIN32_FIND_DATAW found{};
            if (link->GetPath(target, MAX_PATH, &found, SLGP_RAWPATH) == S_OK &&
                SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH))) {
                target[MAX_PATH - 1] = folder[MAX_PATH - 1] = L'\0';
                std::printf("target=%s\nfolder=%s\n", narrowPath(target).c_str(),
                            narrowPath(folder).c_str());
                status = 0;
            }
        }
        if (status != 0) std::printf("cannot read the shortcut %s\n", lnkPath);
    }
    CoUninitialize();
    return status;
}

// SB_GETTEXT is not carried across processes: the text is written into a buffer that
// lives in the reader and read back from there.
std::string statusPart(const ReaderSession& reader, int part) {
    KernelHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                     FALSE, reader.processId()));
    if (!process.get()) return "(no access)";
    constexpr SIZE_T kSize = 512;
    void* remote = VirtualAllocEx(process.get(), nullptr, kSize, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return "(no buffer)";
    char local[kSize] = "";
    WriteProcessMemory(process.get(), remote, local, kSize, nullptr);
    SendMessageA(reader.child(IDC_STATUS_BAR), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process.get(), remote, local, kSize, nullptr);
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    local[kSize - 1] = '\0';
    return local;
}

struct ChildSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK findChildOfClass(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct MessageBoxSearch {
    DWORD processId;
    std::string text;
};

// A message box of the reader (a missing file, a failed load) would wait for a click.
BOOL CALLBACK findMessageBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<MessageBoxSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && std::strcmp(name, "#32770") == 0 && IsWindowVisible(window)) {
        char text[512] = "";
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        search->text = text[0] ? text : "(a dialog)";
        return FALSE;
    }
    return TRUE;
}

// Counts the pixels of a window's area on the screen that are clearly dark: the ink of an
// ayah picture (grey levels from white to a dark ink) on its white ground.
long darkPixelsOf(HWND window) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return -1;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return -1;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    WindowDc screen(nullptr);
    MemoryDc memory(screen.get());
    void* bits = nullptr;
    GdiObject<HBITMAP> picture(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture.get() || !bits) return -1;
    {
        SelectedObject selected(memory.get(), picture.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    }
    GdiFlush();
    const auto* pixel = static_cast<const unsigned char*>(bits);
    long dark = 0;
    for (long i = 0; i < static_cast<long>(width) * height; ++i, pixel += 4) {
        const int luminance = (pixel[0] * 11 + pixel[1] * 59 + pixel[2] * 30) / 100;
        if (luminance < 100) ++dark;
    }
    return dark;
}

int checkReader(const char* exePath, bool chooseEnglish) {
    ReaderSession reader(exePath);
    if (!reader.start()) {
        std::printf("the reader did not start or showed no window\n");
        return 1;
    }
    SetWindowPos(reader.window(), HWND_TOP, 0, 0, 900, 700, SWP_SHOWWINDOW);
    reader.waitIdle();
    Sleep(1500); // let the X server draw what the window painted
    int failures = 0;
    auto expect = [&failures](bool holds, const char* what, const std::string& seen) {
        std::printf("%s %s: %s\n", holds ? "ok  " : "FAIL", what, seen.c_str());
        if (!holds) ++failures;
    };

    MessageBoxSearch box{reader.processId(), ""};
    EnumWindows(findMessageBox, reinterpret_cast<LPARAM>(&box));
    expect(box.text.empty(), "no message box", box.text.empty() ? "none" : box.text);

    const std::string caption = reader.text(reader.window());
    expect(caption == "Noravel ver 3.2", "caption", caption);
    const LRESULT surah = SendMessageA(reader.child(IDC_SURAH_LIST), CB_GETCURSEL, 0, 0);
    const LRESULT ayah = SendMessageA(reader.child(IDC_AYAH_LIST), CB_GETCURSEL, 0, 0);
    const std::string place = std::to_string(surah + 1) + ":" + std::to_string(ayah + 1);
    expect(place == "1:1", "ayah shown", place);
    const std::string juz = statusPart(reader, 0);
    expect(juz == "JUZ 1", "status bar", juz);
    const std::string translation = reader.text(reader.child(IDC_TRANSLATION));
    expect(translation.size() > 10, "translation", translation.substr(0, 60));

    ChildSearch view{"WND_DRAW_BITMAP", nullptr};
    EnumChildWindows(reader.window(), findChildOfClass, reinterpret_cast<LPARAM>(&view));
    const long dark = view.found ? darkPixelsOf(view.found) : -1;
    expect(dark >= 200, "dark pixels of the ayah picture", std::to_string(dark));

    if (chooseEnglish) {
        HWND languages = reader.child(IDC_LANGUAGE_LIST);
        SendMessageA(languages, CB_SETCURSEL, 1, 0);
        SendMessageA(reader.window(), WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_LIST, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(languages));
        reader.waitIdle();
        const std::string english = reader.text(reader.child(IDC_TRANSLATION));
        expect(english != translation && english.size() > 10, "English translation",
               english.substr(0, 60));
    }

    PostMessageA(reader.window(), WM_CLOSE, 0, 0);
    const long code = reader.waitForExit();
    expect(code == 0, "exit code", std::to_string(code));
    return failures == 0 ? 0 : 1;
}

std::string versionValue(const std::vector<char>& record, const char* name) {
    // The translations the record names, then the value in the first one that has it.
    struct Translation {
        WORD language, codePage;
    };
    Translation* translations = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(record.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &size))
        size = 0;
    std::vector<Translation> tried(translations, translations + size / sizeof(Translation));
    tried.push_back({0x0409, 0x04b0});
    tried.push_back({0x0409, 0x04e4});
    for (const Translation& t : tried) {
        char path[128];
        std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", t.language, t.codePage,
                      name);
        char* value = nullptr;
        UINT length = 0;
        if (VerQueryValueA(record.data(), path, reinterpret_cast<void**>(&value), &length) &&
            value && length > 0)
            return std::string(value, strnlen(value, length));
    }
    return "(none)";
}

std::vector<unsigned char> readFile(const char* path) {
    std::vector<unsigned char> bytes;
    if (FILE* in = std::fopen(path, "rb")) {
        unsigned char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(in);
    }
    return bytes;
}

// The images of an .ico file (header: reserved, type 1, count; then 16-byte entries with
// the size and offset of each image), every size and offset checked against the file.
std::vector<std::vector<unsigned char>> iconImages(const std::vector<unsigned char>& ico) {
    std::vector<std::vector<unsigned char>> images;
    auto word = [&ico](size_t at) { return static_cast<unsigned>(ico[at] | ico[at + 1] << 8); };
    auto dword = [&](size_t at) {
        return word(at) | static_cast<unsigned long>(word(at + 2)) << 16;
    };
    if (ico.size() < 6 || word(0) != 0 || word(2) != 1) return images;
    const unsigned count = word(4);
    if (6 + 16ul * count > ico.size()) return images;
    for (unsigned i = 0; i < count; ++i) {
        const size_t entry = 6 + 16ul * i;
        const unsigned long size = dword(entry + 8), offset = dword(entry + 12);
        if (offset > ico.size() || size > ico.size() - offset) return {};
        images.emplace_back(ico.begin() + offset, ico.begin() + offset + size);
    }
    return images;
}

struct IconSearch {
    HMODULE module;
    std::vector<std::vector<unsigned char>> resources;
};

BOOL CALLBACK collectIcon(HMODULE module, LPCSTR, LPSTR name, LONG_PTR param) {
    auto* search = reinterpret_cast<IconSearch*>(param);
    HRSRC found = FindResourceA(module, name, reinterpret_cast<LPCSTR>(RT_ICON));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    if (data) search->resources.emplace_back(data, data + SizeofResource(module, found));
    return TRUE;
}

int checkIdentity(const char* exePath, const char* icoPath) {
    int failures = 0;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exePath, &ignored);
    std::vector<char> record(size ? size : 1);
    const bool haveRecord = size && GetFileVersionInfoA(exePath, 0, size, record.data());
    const std::string product = haveRecord ? versionValue(record, "ProductName") : "(no record)";
    const std::string version = haveRecord ? versionValue(record, "ProductVersion") : "(no record)";
    std::printf("ProductName=%s ProductVersion=%s\n", product.c_str(), version.c_str());
    if (product != "Noravel" || version != "3.2") ++failures;

    const auto images = iconImages(readFile(icoPath));
    if (images.empty()) {
        std::printf("cannot read the icon %s\n", icoPath);
        return 1;
    }
    HMODULE module = LoadLibraryExA(exePath, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        std::printf("cannot open %s\n", exePath);
        return 1;
    }
    IconSearch search{module, {}};
    EnumResourceNamesA(module, reinterpret_cast<LPCSTR>(RT_ICON), collectIcon,
                       reinterpret_cast<LONG_PTR>(&search));
    size_t matched = 0;
    for (const auto& image : images) {
        for (const auto& resource : search.resources)
            if (resource == image) {
                ++matched;
                break;
            }
    }
    FreeLibrary(module);
    std::printf("icon images: %zu of %zu found among %zu icons\n", matched, images.size(),
                search.resources.size());
    if (matched != images.size()) ++failures;
    return failures == 0 ? 0 : 1;
}

constexpr char kReaderClass[] = "AL-QURAN";

int waitForReader(const char* seconds) {
    const DWORD until = GetTickCount() + 1000 * static_cast<DWORD>(std::atoi(seconds));
    while (!FindWindowA(kReaderClass, nullptr)) {
        if (static_cast<LONG>(until - GetTickCount()) <= 0) {
            std::printf("no reader window\n");
            return 1;
        }
        Sleep(100);
    }
    return 0;
}

int closeReaders() {
    const DWORD until = GetTickCount() + 20000;
    while (HWND reader = FindWindowA(kReaderClass, nullptr)) {
        if (static_cast<LONG>(until - GetTickCount()) <= 0) {
            std::printf("a reader window stays\n");
            return 1;
        }
        PostMessageA(reader, WM_CLOSE, 0, 0);
        Sleep(200);
    }
    return 0;
}

// "_?=" must come last and unquoted, blanks and all, which a shell's argument quoting
// cannot give: the command line is written here as the uninstaller wants it.
int uninstallInPlace(const char* folder) {
    std::string line = std::string("\"") + folder + "\\uninstall.exe\" /S _?=" + folder;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        std::printf("cannot start %s\n", line.c_str());
        return 99;
    }
    KernelHandle process(started.hProcess), thread(started.hThread);
    DWORD code = 99;
    if (WaitForSingleObject(process.get(), 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.get(), &code);
    std::printf("%s: exit code %lu\n", line.c_str(), code);
    return static_cast<int>(code);
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc >= 2 ? argv[1] : "";
    if (command == "shortcut" && argc == 3) return printShortcut(argv[2]);
    if (command == "reader" && (argc == 3 || argc == 4))
        return checkReader(argv[2], argc == 4 && std::strcmp(argv[3], "english") == 0);
    if (command == "identity" && argc == 4) return checkIdentity(argv[2], argv[3]);
    if (command == "wait-reader" && argc == 3) return waitForReader(argv[2]);
    if (command == "close-readers" && argc == 2) return closeReaders();
    if (command == "uninstall-in-place" && argc == 3) return uninstallInPlace(argv[2]);
    std::fprintf(stderr, "usage: release_probe shortcut LNK | reader EXE [english] | "
                         "identity EXE ICO | wait-reader SECONDS | close-readers | "
                         "uninstall-in-place DIR\n");
    return 2;
}
