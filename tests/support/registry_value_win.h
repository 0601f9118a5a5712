// One registry value exactly as stored (type and bytes), or its absence: for tests that
// save the reader's settings before they change them and put them back afterwards.
#ifndef NORAVEL_TESTS_SUPPORT_REGISTRY_VALUE_WIN_H
#define NORAVEL_TESTS_SUPPORT_REGISTRY_VALUE_WIN_H

#include <windows.h>

#include <vector>

struct RegistryValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
    bool operator==(const RegistryValue& o) const {
        return present == o.present && type == o.type && bytes == o.bytes;
    }
};

inline RegistryValue readRegistryValue(HKEY root, const char* key, const char* name) {
    RegistryValue value;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(opened, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.present = RegQueryValueExA(opened, name, nullptr, &value.type, value.bytes.data(),
                                         &size) == ERROR_SUCCESS;
        value.bytes.resize(size);
    }
    RegCloseKey(opened);
    return value;
}

// Stores the value as it was read; an absent one is deleted (its key is not made for it).
inline void writeRegistryValue(HKEY root, const char* key, const char* name,
                               const RegistryValue& value) {
    HKEY opened = nullptr;
    if (!value.present) {
        if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
        RegDeleteValueA(opened, name);
    } else {
        if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
            ERROR_SUCCESS)
            return;
        RegSetValueExA(opened, name, 0, value.type, value.bytes.data(),
                       static_cast<DWORD>(value.bytes.size()));
    }
    RegCloseKey(opened);
}

// Sets a text value for the scope of a test and puts back what was stored before.
class ScopedRegistryText {
  public:
    ScopedRegistryText(HKEY root, const char* key, const char* name, const char* text)
        : root_(root), key_(key), name_(name), saved_(readRegistryValue(root, key, name)) {
        RegistryValue value;
        value.present = true;
        value.type = REG_SZ;
        const char* end = text;
        while (*end)
            ++end;
        value.bytes.assign(reinterpret_cast<const BYTE*>(text),
                           reinterpret_cast<const BYTE*>(end) + 1);
        writeRegistryValue(root, key, name, value);
    }
    ~ScopedRegistryText() { writeRegistryValue(root_, key_, name_, saved_); }
    ScopedRegistryText(const ScopedRegistryText&) = delete;
    ScopedRegistryText& operator=(const ScopedRegistryText&) = delete;

  private:
    HKEY root_;
    const char* key_;
    const char* name_;
    RegistryValue saved_;
};

#endif
