// The user's files; see user_files_win.h.
#include "app/user_files_win.h"

#include "base/guards_win.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

namespace {

constexpr LONGLONG kLargestUserFile = 16 * 1024 * 1024;

bool writeAll(HANDLE file, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        DWORD wrote = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1 << 20));
        if (!WriteFile(file, text.data() + done, chunk, &wrote, nullptr) || wrote == 0)
            return false;
        done += wrote;
    }
    return true;
}

} // namespace

std::wstring userFolder() {
    PWSTR appData = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &appData))) return L"";
    std::wstring folder = std::wstring(appData) + L"\\Noravel";
    CoTaskMemFree(appData);
    return folder;
}

bool makeUserFolder() {
    const std::wstring folder = userFolder();
    return !folder.empty() &&
           (CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
}

UserFileRead readUserFile(const std::wstring& path, std::string& text) {
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? UserFileRead::missing
                   : UserFileRead::failed;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 || size.QuadPart > kLargestUserFile)
        return UserFileRead::failed;
    text.assign(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < text.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), &text[done], static_cast<DWORD>(text.size() - done), &got,
                      nullptr))
            return UserFileRead::failed;
        if (got == 0) break; // shorter than it said: what is there counts
        done += got;
    }
    text.resize(done);
    return UserFileRead::read;
}

bool appendLinesToFile(const std::wstring& path, const std::vector<std::string>& lines) {
    KernelHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return writeAll(file.get(), text) && FlushFileBuffers(file.get());
}

bool writeTemporaryFile(const std::wstring& path, const std::string& text) {
    const std::wstring temporary = path + L".tmp";
    KernelHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // On disk before the move, so that the move never puts an unwritten file in place.
    if (!writeAll(file.get(), text) || !FlushFileBuffers(file.get())) {
        file.reset();
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool replaceWithTemporaryFile(const std::wstring& path) {
    const std::wstring temporary = path + L".tmp";
    if (!MoveFileExW(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool writeFileReplacing(const std::wstring& path, const std::string& text) {
    return writeTemporaryFile(path, text) && replaceWithTemporaryFile(path);
}
