// The registry helpers behind the reader's settings. Each one joins a key and a subkey
// into one path ("key\subkey"), works only under the four classic roots and opens the
// key for the single call it makes. Reads fall back to the caller's default; writes and
// reads report whether they reached the registry.
//
// Every text here (key paths, value names, values) is UTF-8; the registry is asked in
// UTF-16. Text values that earlier versions stored through the ANSI calls read as the same
// text: the registry itself keeps every REG_SZ in UTF-16.
#ifndef NORAVEL_SETTINGS_REGISTRY_WIN_H
#define NORAVEL_SETTINGS_REGISTRY_WIN_H

#include <windows.h>

// An open registry key, closed on destruction.
class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY get() const { return key_; }
    // For the Reg*Key* call that opens it; closes a key held before.
    HKEY* put() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
        return &key_;
    }
    explicit operator bool() const { return key_ != nullptr; }

  private:
    HKEY key_ = nullptr;
};

// Reads a text value into out as UTF-8 (at most outSize - 1 bytes and a NUL; a longer
// text is cut before the first character that does not fit whole) and returns true. The
// text ends at its first NUL or with its data. Data of a type other than text reads as
// text in the ANSI code page, as the narrow calls gave it. When the value cannot be read,
// out receives defaultText ("" for nullptr) and the result is false; under a root other
// than the four allowed ones out is left untouched.
bool readRegistryString(HKEY root, const char* key, const char* subkey, const char* valueName,
                        const char* defaultText, char* out, int outSize);

// The first four bytes of the value as a number, whatever type it is stored as, or
// defaultValue when it cannot be read (missing, or longer than four bytes). A text value
// counts in the bytes of its ANSI form, NUL included, as the narrow calls gave it.
int readRegistryDword(HKEY root, const char* key, const char* subkey, const char* valueName,
                      int defaultValue);

// As readRegistryDword, but tells whether the value was read: value is set only then.
bool queryRegistryDword(HKEY root, const char* key, const char* subkey, const char* valueName,
                        int* value);

// Store UTF-8 text as REG_SZ (in UTF-16, with its NUL), or value as REG_DWORD, creating the
// key as needed. Text that is not valid UTF-8 is not stored.
bool writeRegistryString(HKEY root, const char* key, const char* subkey, const char* valueName,
                         const char* text);
bool writeRegistryDword(HKEY root, const char* key, const char* subkey, const char* valueName,
                        int value);

// Removes a value. True when the value is absent afterwards (removed now, or its key or
// the value did not exist); false when it may still be there.
bool deleteRegistryValue(HKEY root, const char* key, const char* subkey, const char* valueName);

#endif
