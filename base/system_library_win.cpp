#include "base/system_library_win.h"

#include <cwchar>

HMODULE loadSystemLibrary(const wchar_t* fileName) {
    if (!fileName || !*fileName) return nullptr;
    // The search flag exists from Windows 8 (and Windows 7 with KB2533623); elsewhere the
    // call fails with ERROR_INVALID_PARAMETER and the full path in the system folder is used.
    if (HMODULE library = LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return library;
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    const size_t nameLength = std::wcslen(fileName);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    std::wcscpy(path + length + 1, fileName);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
