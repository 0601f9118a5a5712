#include "settings/registry_win.h"

#include "base/utf8_text.h"
#include "base/wide_text_win.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kPathSize = 260;
// A value longer than this (64 Ki characters of text) is no setting anyone wrote; it
// reads as the default.
constexpr DWORD kLongestValue = 64 * 1024 * sizeof(wchar_t);
// A number is read from at most this much data: a text of more units has more than four
// bytes in any code page.
constexpr DWORD kLongestNumberData = 32 * sizeof(wchar_t);

bool isAllowedRoot(HKEY root) {
    return root == HKEY_CLASSES_ROOT || root == HKEY_CURRENT_USER || root == HKEY_LOCAL_MACHINE ||
           root == HKEY_USERS;
}

// "key\subkey" in UTF-16. False when a part is missing or not UTF-8, or the joined path
// does not fit: a path cut short would name another key.
bool keyPath(const char* key, const char* subkey, std::wstring& path) {
    if (!key || !subkey) return false;
    char joined[kPathSize];
    const int length = std::snprintf(joined, sizeof joined, "%s\\%s", key, subkey);
    return length >= 0 && length < kPathSize && tryWideFromUtf8(joined, path);
}

// A value name as the W calls take it; null stays null (the key's unnamed value).
class ValueName {
  public:
    explicit ValueName(const char* utf8) : null_(!utf8), valid_(tryWideFromUtf8(utf8, wide_)) {}
    bool valid() const { return valid_; }
    const wchar_t* get() const { return null_ ? nullptr : wide_.c_str(); }

  private:
    bool null_;
    std::wstring wide_;
    bool valid_;
};

bool openKey(HKEY root, const char* key, const char* subkey, REGSAM access, RegistryKey& opened,
             LONG* result = nullptr) {
    std::wstring path;
    if (!keyPath(key, subkey, path)) return false;
    const LONG opening = RegOpenKeyExW(root, path.c_str(), 0, access, opened.put());
    if (result) *result = opening;
    return opening == ERROR_SUCCESS;
}

bool openForWriting(HKEY root, const char* key, const char* subkey, RegistryKey& opened) {
    std::wstring path;
    if (!keyPath(key, subkey, path)) return false;
    return RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                           nullptr, opened.put(), nullptr) == ERROR_SUCCESS;
}

// A value's type and data as the registry keeps them.
struct ValueData {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// Reads a value whole when it holds at most `largest` bytes (ERROR_MORE_DATA when it holds
// more). A value that grows between the size and the read is asked for again.
LONG queryValue(HKEY opened, const wchar_t* name, DWORD largest, ValueData& value) {
    DWORD size = 0;
    LONG result = RegQueryValueExW(opened, name, nullptr, &value.type, nullptr, &size);
    for (int attempt = 0; attempt < 4 && result == ERROR_SUCCESS; ++attempt) {
        if (size > largest) return ERROR_MORE_DATA;
        // Never a null buffer: that would ask only for the size again.
        const DWORD room = size + sizeof(wchar_t);
        value.bytes.resize(room);
        DWORD got = room;
        result = RegQueryValueExW(opened, name, nullptr, &value.type, value.bytes.data(), &got);
        if (result == ERROR_SUCCESS) {
            value.bytes.resize(got < room ? got : room);
            return result;
        }
        if (result == ERROR_MORE_DATA) {
            size = got;
            result = ERROR_SUCCESS;
        }
    }
    return result == ERROR_SUCCESS ? ERROR_MORE_DATA : result;
}

bool isTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The UTF-16 units of a text value; an odd last byte is no unit and is left out.
std::wstring unitsOf(const ValueData& value) {
    std::wstring units(value.bytes.size() / sizeof(wchar_t), L'\0');
    if (!units.empty()) std::memcpy(&units[0], value.bytes.data(), units.size() * sizeof(wchar_t));
    return units;
}

// The text of a value's data as UTF-8: up to its first NUL, or all of it when the data
// has none (a value stored without its NUL). Text values are UTF-16; the data of any other
// type is taken as text in the ANSI code page, as the narrow calls gave it. False when the
// UTF-16 is not text (an unpaired surrogate).
bool textOf(const ValueData& value, std::string& text) {
    if (isTextType(value.type)) {
        const std::wstring units = unitsOf(value);
        const size_t length = std::min(units.find(L'\0'), units.size());
        text = utf8FromWide(units.data(), length);
        return length == 0 || !text.empty();
    }
    const char* data = reinterpret_cast<const char*>(value.bytes.data());
    const void* nul = std::memchr(data, '\0', value.bytes.size());
    const size_t length =
        nul ? static_cast<size_t>(static_cast<const char*>(nul) - data) : value.bytes.size();
    text = utf8FromAnsi(data, length);
    return length == 0 || !text.empty();
}

bool readText(HKEY root, const char* key, const char* subkey, const char* valueName,
              std::string& text) {
    const ValueName name(valueName);
    RegistryKey opened;
    if (!name.valid() || !openKey(root, key, subkey, KEY_READ, opened)) return false;
    ValueData value;
    return queryValue(opened.get(), name.get(), kLongestValue, value) == ERROR_SUCCESS &&
           textOf(value, text);
}

} // namespace

bool readRegistryString(HKEY root, const char* key, const char* subkey, const char* valueName,
                        const char* defaultText, char* out, int outSize) {
    if (!isAllowedRoot(root) || !out || outSize <= 0) return false;
    try {
        std::string text;
        if (readText(root, key, subkey, valueName, text)) {
            copyUtf8Bounded(out, static_cast<size_t>(outSize), text.data(), text.size());
            return true;
        }
    } catch (...) { // out of memory: as a value that cannot be read
    }
    const char* fallback = defaultText ? defaultText : "";
    copyUtf8Bounded(out, static_cast<size_t>(outSize), fallback, std::strlen(fallback));
    return false;
}

bool queryRegistryDword(HKEY root, const char* key, const char* subkey, const char* valueName,
                        int* value) {
    if (!isAllowedRoot(root) || !value) return false;
    try {
        const ValueName name(valueName);
        RegistryKey opened;
        if (!name.valid() || !openKey(root, key, subkey, KEY_READ, opened)) return false;
        ValueData data;
        if (queryValue(opened.get(), name.get(), kLongestNumberData, data) != ERROR_SUCCESS)
            return false;
        // The bytes the narrow calls gave: a text in the ANSI code page, NUL included.
        std::string bytes;
        if (isTextType(data.type)) {
            const std::wstring units = unitsOf(data);
            bytes = ansiFromWide(units.data(), units.size());
        } else {
            bytes.assign(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size());
        }
        // A value shorter than four bytes fills only the low bytes; the rest stay zero.
        DWORD number = 0;
        if (bytes.size() > sizeof number) return false;
        if (!bytes.empty()) std::memcpy(&number, bytes.data(), bytes.size());
        *value = static_cast<int>(number);
        return true;
    } catch (...) { // out of memory: as a value that cannot be read
        return false;
    }
}

int readRegistryDword(HKEY root, const char* key, const char* subkey, const char* valueName,
                      int defaultValue) {
    int value = defaultValue;
    return queryRegistryDword(root, key, subkey, valueName, &value) ? value : defaultValue;
}

bool writeRegistryString(HKEY root, const char* key, const char* subkey, const char* valueName,
                         const char* text) {
    if (!isAllowedRoot(root) || !text) return false;
    try {
        std::wstring wide;
        const ValueName name(valueName);
        if (!tryWideFromUtf8(text, wide) || !name.valid()) return false;
        const size_t size = (wide.size() + 1) * sizeof(wchar_t);
        if (size > MAXDWORD) return false;
        RegistryKey opened;
        if (!openForWriting(root, key, subkey, opened)) return false;
        return RegSetValueExW(opened.get(), name.get(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(wide.c_str()),
                              static_cast<DWORD>(size)) == ERROR_SUCCESS;
    } catch (...) { // out of memory: not stored
        return false;
    }
}

bool writeRegistryDword(HKEY root, const char* key, const char* subkey, const char* valueName,
                        int value) {
    if (!isAllowedRoot(root)) return false;
    try {
        const ValueName name(valueName);
        RegistryKey opened;
        if (!name.valid() || !openForWriting(root, key, subkey, opened)) return false;
        const DWORD data = static_cast<DWORD>(value);
        return RegSetValueExW(opened.get(), name.get(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
    } catch (...) { // out of memory: not stored
        return false;
    }
}

bool deleteRegistryValue(HKEY root, const char* key, const char* subkey, const char* valueName) {
    if (!isAllowedRoot(root)) return false;
    try {
        const ValueName name(valueName);
        if (!name.valid()) return false;
        RegistryKey opened;
        LONG result = ERROR_SUCCESS;
        if (!openKey(root, key, subkey, KEY_SET_VALUE, opened, &result)) {
            if (result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND) return true;
            return false;
        }
        result = RegDeleteValueW(opened.get(), name.get());
        return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    } catch (...) { // out of memory: the value may still be there
        return false;
    }
}
