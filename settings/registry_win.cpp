#include "settings/registry_win.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr int kPathSize = 260;
constexpr DWORD kValueBufferSize = 260;
// A text value longer than this is no setting anyone wrote; it reads as the default.
constexpr DWORD kLongestTextValue = 64 * 1024;

bool isAllowedRoot(HKEY root) {
    return root == HKEY_CLASSES_ROOT || root == HKEY_CURRENT_USER || root == HKEY_LOCAL_MACHINE ||
           root == HKEY_USERS;
}

// "key\subkey" into path. False when a part is missing or the joined path does not fit:
// a path cut short would name another key.
bool joinKeyPath(const char* key, const char* subkey, char (&path)[kPathSize]) {
    if (!key || !subkey) return false;
    const int length = std::snprintf(path, sizeof path, "%s\\%s", key, subkey);
    return length >= 0 && length < kPathSize;
}

bool openForReading(HKEY root, const char* key, const char* subkey, RegistryKey& opened) {
    char path[kPathSize];
    if (!joinKeyPath(key, subkey, path)) return false;
    return RegOpenKeyExA(root, path, 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

bool openForWriting(HKEY root, const char* key, const char* subkey, RegistryKey& opened) {
    char path[kPathSize];
    if (!joinKeyPath(key, subkey, path)) return false;
    return RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                           opened.put(), nullptr) == ERROR_SUCCESS;
}

// Copies at most outSize - 1 of length bytes and a NUL; outSize is at least 1.
void copyBounded(char* out, int outSize, const char* text, size_t length) {
    const size_t room = static_cast<size_t>(outSize) - 1;
    const size_t count = length < room ? length : room;
    std::memcpy(out, text, count);
    out[count] = '\0';
}

// The text of a value's data: up to its first NUL, or all of it when the data has none
// (a value stored without its NUL, or of another type).
size_t textLength(const char* data, DWORD size) {
    const void* nul = std::memchr(data, '\0', size);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - data) : size;
}

// Queries a value into data (room for size bytes); on success size holds the bytes
// returned, which is never more than the room.
LONG queryValue(HKEY opened, const char* valueName, char* data, DWORD& size) {
    const DWORD room = size;
    const LONG result =
        RegQueryValueExA(opened, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    if (result == ERROR_SUCCESS && size > room) size = room;
    return result;
}

} // namespace

bool readRegistryString(HKEY root, const char* key, const char* subkey, const char* valueName,
                        const char* defaultText, char* out, int outSize) {
    if (!isAllowedRoot(root) || !out || outSize <= 0) return false;
    const char* fallback = defaultText ? defaultText : "";

    RegistryKey opened;
    if (openForReading(root, key, subkey, opened)) {
        char value[kValueBufferSize];
        copyBounded(value, sizeof value, fallback, std::strlen(fallback));
        DWORD size = sizeof value;
        LONG result = queryValue(opened.get(), valueName, value, size);
        if (result == ERROR_SUCCESS) {
            copyBounded(out, outSize, value, textLength(value, size));
            return true;
        }
        // A value too long for the buffer is still read, so that it is cut to the out
        // size like any other long value instead of turning into the default.
        if (result == ERROR_MORE_DATA && size > sizeof value && size <= kLongestTextValue) {
            std::unique_ptr<char[]> large(new (std::nothrow) char[size]);
            if (large && queryValue(opened.get(), valueName, large.get(), size) == ERROR_SUCCESS) {
                copyBounded(out, outSize, large.get(), textLength(large.get(), size));
                return true;
            }
        }
    }
    copyBounded(out, outSize, fallback, std::strlen(fallback));
    return false;
}

bool queryRegistryDword(HKEY root, const char* key, const char* subkey, const char* valueName,
                        int* value) {
    if (!isAllowedRoot(root) || !value) return false;
    RegistryKey opened;
    if (!openForReading(root, key, subkey, opened)) return false;
    // A value shorter than four bytes fills only the low bytes; the rest stay zero.
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(opened.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&data),
                         &size) != ERROR_SUCCESS)
        return false;
    *value = static_cast<int>(data);
    return true;
}

int readRegistryDword(HKEY root, const char* key, const char* subkey, const char* valueName,
                      int defaultValue) {
    int value = defaultValue;
    return queryRegistryDword(root, key, subkey, valueName, &value) ? value : defaultValue;
}

bool writeRegistryString(HKEY root, const char* key, const char* subkey, const char* valueName,
                         const char* text) {
    if (!isAllowedRoot(root) || !text) return false;
    const size_t size = std::strlen(text) + 1;
    if (size > MAXDWORD) return false;
    RegistryKey opened;
    if (!openForWriting(root, key, subkey, opened)) return false;
    return RegSetValueExA(opened.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool writeRegistryDword(HKEY root, const char* key, const char* subkey, const char* valueName,
                        int value) {
    if (!isAllowedRoot(root)) return false;
    RegistryKey opened;
    if (!openForWriting(root, key, subkey, opened)) return false;
    const DWORD data = static_cast<DWORD>(value);
    return RegSetValueExA(opened.get(), valueName, 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool deleteRegistryValue(HKEY root, const char* key, const char* subkey, const char* valueName) {
    if (!isAllowedRoot(root)) return false;
    char path[kPathSize];
    if (!joinKeyPath(key, subkey, path)) return false;
    RegistryKey opened;
    LONG result = RegOpenKeyExA(root, path, 0, KEY_SET_VALUE, opened.put());
    if (result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND) return true;
    if (result != ERROR_SUCCESS) return false;
    result = RegDeleteValueA(opened.get(), valueName);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
