// The registry helpers and the settings policy, against the real registry of the Wine
// prefix. Every test works under private keys of this process and removes them before
// and after it runs.
#include "settings/registry_win.h"
#include "settings/settings_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const std::string kRun = std::to_string(GetCurrentProcessId());
const std::string kTestKey = "SOFTWARE\\NoravelTest\\" + kRun;
constexpr const char* kSubkey = "SETTING";

struct RootCase {
    const char* name;
    HKEY root;
    std::string key;
};

const RootCase kRoots[] = {
    {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT, "NoravelTest." + kRun},
    {"HKEY_CURRENT_USER", HKEY_CURRENT_USER, kTestKey},
    {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE, kTestKey},
    {"HKEY_USERS", HKEY_USERS, ".DEFAULT\\Software\\NoravelTest\\" + kRun},
};

std::string fullPath(const std::string& key) {
    return key + "\\" + kSubkey;
}

// The registry as seen without the helpers under test.
struct RawValue {
    bool found = false;
    DWORD type = 0;
    std::string data;
};

RawValue rawRead(HKEY root, const std::string& key, const char* name) {
    RawValue value;
    HKEY opened;
    if (RegOpenKeyExA(root, fullPath(key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return value;
    char data[1024];
    DWORD size = sizeof data;
    if (RegQueryValueExA(opened, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data),
                         &size) == ERROR_SUCCESS) {
        value.found = true;
        value.data.assign(data, size);
    }
    RegCloseKey(opened);
    return value;
}

void rawWrite(HKEY root, const std::string& key, const char* name, DWORD type,
              const std::string& data) {
    HKEY opened;
    ASSERT_EQ(RegCreateKeyExA(root, fullPath(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &opened, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(opened, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(opened);
}

std::wstring widePath(const std::string& key) {
    const std::string path = fullPath(key);
    return std::wstring(path.begin(), path.end()); // the test keys are ASCII
}

// Stores the bytes as they are, through the W call: a text of any length, odd or without
// its NUL.
void rawWriteWide(HKEY root, const std::string& key, const wchar_t* name, DWORD type,
                  const std::string& bytes) {
    HKEY opened;
    ASSERT_EQ(RegCreateKeyExW(root, widePath(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &opened, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(opened, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(opened);
}

// The UTF-16 units of a value as another program reads them.
std::wstring rawReadWide(HKEY root, const std::string& key, const wchar_t* name) {
    HKEY opened;
    if (RegOpenKeyExW(root, widePath(key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return L"(no key)";
    wchar_t data[512];
    DWORD size = sizeof data;
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(opened);
    if (result != ERROR_SUCCESS || type != REG_SZ) return L"(no text)";
    return std::wstring(data, size / sizeof(wchar_t));
}

void removeTestKeys() {
    for (const RootCase& c : kRoots)
        RegDeleteTreeA(c.root, c.key.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\NoravelTest"); // only when no other run uses it
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\NoravelTest");
    RegDeleteKeyA(HKEY_USERS, ".DEFAULT\\Software\\NoravelTest");
}

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { removeTestKeys(); }
    void TearDown() override { removeTestKeys(); }

    const SettingsLocation where{HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, kTestKey.c_str(), kSubkey};
};

std::string readText(HKEY root, const std::string& key, const char* defaultText, int outSize,
                     bool* read = nullptr) {
    char out[512];
    std::memset(out, '#', sizeof out);
    const bool ok =
        readRegistryString(root, key.c_str(), kSubkey, "FontName", defaultText, out, outSize);
    if (read) *read = ok;
    EXPECT_EQ(out[outSize], '#') << "wrote past the out size";
    return std::string(out, strnlen(out, outSize));
}

TEST_F(RegistryTest, EveryAllowedRootStoresTextAndNumberWhereTheRawRegistrySeesThem) {
    for (const RootCase& c : kRoots) {
        SCOPED_TRACE(c.name);
        const char* key = c.key.c_str();
        EXPECT_TRUE(writeRegistryString(c.root, key, kSubkey, "FontName", "Tahoma"));
        EXPECT_TRUE(writeRegistryDword(c.root, key, kSubkey, "FontSize", -5));

        const RawValue text = rawRead(c.root, c.key, "FontName");
        EXPECT_EQ(text.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(text.data, std::string("Tahoma", 7)); // stored with its NUL
        const RawValue number = rawRead(c.root, c.key, "FontSize");
        EXPECT_EQ(number.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(number.data, std::string("\xFB\xFF\xFF\xFF", 4));

        bool read = false;
        EXPECT_EQ(readText(c.root, c.key, "Arial", 255, &read), "Tahoma");
        EXPECT_TRUE(read);
        EXPECT_EQ(readRegistryDword(c.root, key, kSubkey, "FontSize", 14), -5);

        EXPECT_TRUE(deleteRegistryValue(c.root, key, kSubkey, "FontName"));
        EXPECT_FALSE(rawRead(c.root, c.key, "FontName").found);
        EXPECT_TRUE(deleteRegistryValue(c.root, key, kSubkey, "FontName")); // already gone
    }
}

TEST_F(RegistryTest, AnyOtherRootFailsAtOnceAndLeavesTheOutBufferAlone) {
    for (HKEY root : {HKEY_CURRENT_CONFIG, reinterpret_cast<HKEY>(0x1234)}) {
        const char* key = kTestKey.c_str();
        char out[16] = "untouched";
        EXPECT_FALSE(readRegistryString(root, key, kSubkey, "FontName", "Arial", out, sizeof out));
        EXPECT_STREQ(out, "untouched");
        EXPECT_EQ(readRegistryDword(root, key, kSubkey, "FontSize", 77), 77);
        EXPECT_FALSE(writeRegistryString(root, key, kSubkey, "FontName", "Tahoma"));
        EXPECT_FALSE(writeRegistryDword(root, key, kSubkey, "FontSize", 1));
        EXPECT_FALSE(deleteRegistryValue(root, key, kSubkey, "FontName"));
    }
}

TEST_F(RegistryTest, MissingKeyOrValueGivesTheDefaults) {
    bool read = true;
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Microsoft Sans Serif", 255, &read),
              "Microsoft Sans Serif");
    EXPECT_FALSE(read);
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, nullptr, 255), "");
    EXPECT_EQ(readRegistryDword(HKEY_LOCAL_MACHINE, kTestKey.c_str(), kSubkey, "FontSize", 14), 14);

    rawWrite(HKEY_LOCAL_MACHINE, kTestKey, "Other", REG_SZ, std::string("x", 2));
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Tahoma", 255, &read), "Tahoma");
    EXPECT_FALSE(read);

    const SettingsValues values = readAllSettings(where);
    EXPECT_STREQ(values.fontName, "Microsoft Sans Serif");
    EXPECT_EQ(values.fontSize, 14);
    EXPECT_EQ(values.language, 0);
}

TEST_F(RegistryTest, LongTextIsCutToTheOutSizeWhateverItsLength) {
    for (size_t length : {259u, 260u, 300u}) {
        SCOPED_TRACE(length);
        const std::string name(length, 'n');
        ASSERT_TRUE(writeRegistryString(HKEY_LOCAL_MACHINE, kTestKey.c_str(), kSubkey, "FontName",
                                        name.c_str()));
        EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 255), name.substr(0, 254));
        EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 400), name);
        EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 1), "");
        EXPECT_EQ(std::strlen(readAllSettings(where).fontName), 254u);
    }
}

TEST_F(RegistryTest, TextStoredWithoutItsNulEndsWithItsData) {
    // A short value must not pick up the rest of the default it was read over.
    rawWrite(HKEY_LOCAL_MACHINE, kTestKey, "FontName", REG_BINARY, "ab");
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Microsoft Sans Serif", 255), "ab");
    // A value that fills the whole read buffer still ends where the data ends.
    rawWrite(HKEY_LOCAL_MACHINE, kTestKey, "FontName", REG_BINARY, std::string(260, 'x'));
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 400), std::string(260, 'x'));
}

TEST_F(RegistryTest, NumberIsTheFirstFourBytesOfAnyValueNoLongerThanFour) {
    const char* key = kTestKey.c_str();
    rawWrite(HKEY_LOCAL_MACHINE, kTestKey, "Bahasa", REG_SZ, std::string("Indonesia", 10));
    EXPECT_EQ(readRegistryDword(HKEY_LOCAL_MACHINE, key, kSubkey, "Bahasa", 0), 0);
    EXPECT_EQ(readRegistryDword(HKEY_LOCAL_MACHINE, key, kSubkey, "Bahasa", 9), 9);
    EXPECT_EQ(readAllSettings(where).language, 0);

    rawWrite(HKEY_LOCAL_MACHINE, kTestKey, "Bahasa", REG_SZ, std::string("abc", 4));
    EXPECT_EQ(readRegistryDword(HKEY_LOCAL_MACHINE, key, kSubkey, "Bahasa", 0), 0x00636261);
    rawWrite(HKEY_LOCAL_MACHINE, kTestKey, "Bahasa", REG_BINARY, std::string("\x01\x00", 2));
    EXPECT_EQ(readRegistryDword(HKEY_LOCAL_MACHINE, key, kSubkey, "Bahasa", 7), 1);
    rawWrite(HKEY_LOCAL_MACHINE, kTestKey, "Bahasa", REG_QWORD, std::string(8, '\x01'));
    EXPECT_EQ(readRegistryDword(HKEY_LOCAL_MACHINE, key, kSubkey, "Bahasa", 7), 7);
}

TEST_F(RegistryTest, ReadsPreferTheUserValueThenTheMachineValueThenTheDefault) {
    char out[256];
    EXPECT_FALSE(readSettingString("FontName", "Arial", out, sizeof out, where));
    EXPECT_STREQ(out, "Arial");
    EXPECT_EQ(readSettingDword("FontSize", 14, where), 14);

    rawWrite(HKEY_LOCAL_MACHINE, kTestKey, "FontName", REG_SZ, std::string("Tahoma", 7));
    writeRegistryDword(HKEY_LOCAL_MACHINE, kTestKey.c_str(), kSubkey, "FontSize", 16);
    EXPECT_TRUE(readSettingString("FontName", "Arial", out, sizeof out, where));
    EXPECT_STREQ(out, "Tahoma");
    EXPECT_EQ(readSettingDword("FontSize", 14, where), 16);

    rawWrite(HKEY_CURRENT_USER, kTestKey, "FontName", REG_SZ, std::string("Andalus", 8));
    writeRegistryDword(HKEY_CURRENT_USER, kTestKey.c_str(), kSubkey, "FontSize", 0);
    EXPECT_TRUE(readSettingString("FontName", "Arial", out, sizeof out, where));
    EXPECT_STREQ(out, "Andalus");
    EXPECT_EQ(readSettingDword("FontSize", 14, where), 0);

    // A per-user value that is no number does not hide the machine-wide one.
    rawWrite(HKEY_CURRENT_USER, kTestKey, "FontSize", REG_SZ, std::string("sixteen", 8));
    EXPECT_EQ(readSettingDword("FontSize", 14, where), 16);
}

TEST_F(RegistryTest, WriteRefusedMachineWideLandsUnderTheUserAndReadsBack) {
    const SettingsLocation refused{reinterpret_cast<HKEY>(0x1234), HKEY_CURRENT_USER,
                                   kTestKey.c_str(), kSubkey};
    EXPECT_TRUE(writeSettingString("FontName", "Tahoma", refused));
    EXPECT_TRUE(writeSettingDword("Bahasa", 1, refused));
    EXPECT_EQ(rawRead(HKEY_CURRENT_USER, kTestKey, "FontName").data, std::string("Tahoma", 7));
    EXPECT_FALSE(rawRead(HKEY_LOCAL_MACHINE, kTestKey, "FontName").found);

    const SettingsValues values = readAllSettings(refused);
    EXPECT_STREQ(values.fontName, "Tahoma");
    EXPECT_EQ(values.language, 1);
    EXPECT_EQ(readAllSettings(where).language, 1); // the real machine root has no value

    const SettingsLocation nowhere{HKEY_CURRENT_CONFIG, reinterpret_cast<HKEY>(0x1234),
                                   kTestKey.c_str(), kSubkey};
    EXPECT_FALSE(writeSettingDword("Bahasa", 0, nowhere));
    char out[8] = "x";
    EXPECT_FALSE(readSettingString("FontName", "Arial", out, sizeof out, nowhere));
    EXPECT_STREQ(out, "Arial");
}

TEST_F(RegistryTest, MachineWideWriteRemovesTheUserValue) {
    writeRegistryString(HKEY_CURRENT_USER, kTestKey.c_str(), kSubkey, "FontName", "Andalus");
    writeRegistryDword(HKEY_CURRENT_USER, kTestKey.c_str(), kSubkey, "FontSize", 10);
    writeRegistryDword(HKEY_CURRENT_USER, kTestKey.c_str(), kSubkey, "Bahasa", 1);

    EXPECT_TRUE(writeSettingString("FontName", "Tahoma", where));
    EXPECT_TRUE(writeSettingDword("FontSize", 20, where));
    EXPECT_FALSE(rawRead(HKEY_CURRENT_USER, kTestKey, "FontName").found);
    EXPECT_FALSE(rawRead(HKEY_CURRENT_USER, kTestKey, "FontSize").found);
    EXPECT_TRUE(rawRead(HKEY_CURRENT_USER, kTestKey, "Bahasa").found); // other values stay

    const SettingsValues values = readAllSettings(where);
    EXPECT_STREQ(values.fontName, "Tahoma");
    EXPECT_EQ(values.fontSize, 20);
    EXPECT_EQ(values.language, 1);
}

// Earlier versions stored the font name through RegSetValueExA, in the ANSI code page:
// it reads as the same name, now in UTF-8.
TEST_F(RegistryTest, TextStoredThroughTheAnsiCallsReadsAsTheSameTextInUtf8) {
    struct AnsiCase {
        UINT codePage;
        const char* ansi;
        const char* utf8;
    };
    const AnsiCase cases[] = {
        {1252, "Caf\xE9 Sans", "Caf\xC3\xA9 Sans"},                                 // Café Sans
        {1251, "\xD8\xF0\xE8\xF4\xF2", "\xD0\xA8\xD1\x80\xD0\xB8\xD1\x84\xD1\x82"}, // Шрифт
        {1256, "\xC7\xE1\xD1\xCD\xE3\xE4",
         "\xD8\xA7\xD9\x84\xD8\xB1\xD8\xAD\xD9\x85\xD9\x86"}, // الرحمن
    };
    const AnsiCase* found = nullptr;
    for (const AnsiCase& c : cases)
        if (c.codePage == GetACP()) found = &c;
    if (!found) GTEST_SKIP() << "no case for the ANSI code page " << GetACP();

    rawWrite(HKEY_LOCAL_MACHINE, kTestKey, "FontName", REG_SZ,
             std::string(found->ansi, std::strlen(found->ansi) + 1));
    bool read = false;
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 255, &read), found->utf8);
    EXPECT_TRUE(read);
    EXPECT_STREQ(readAllSettings(where).fontName, found->utf8);
    // And the same under the user root, through the settings reader.
    rawWrite(HKEY_CURRENT_USER, kTestKey, "FontName", REG_SZ,
             std::string(found->ansi, std::strlen(found->ansi) + 1));
    char out[64];
    EXPECT_TRUE(readSettingString(kFontNameValue, "Arial", out, sizeof out, where));
    EXPECT_STREQ(out, found->utf8);
}

// A name in a script the ANSI code page lacks is stored as its UTF-16 (what any other
// program reads) and reads back whole.
TEST_F(RegistryTest, TextInAnyScriptRoundTripsAndIsStoredAsItsUtf16) {
    struct Script {
        const char* utf8;
        const wchar_t* wide;
    };
    const Script scripts[] = {
        {"\xD0\xA8\xD1\x80\xD0\xB8\xD1\x84\xD1\x82 \xD0\x9D\xD0\xBE\xD0\xB2\xD1\x8B\xD0\xB9",
         L"\x0428\x0440\x0438\x0444\x0442 \x041D\x043E\x0432\x044B\x0439"}, // Шрифт Новый
        {"\xD8\xAE\xD8\xB7 \xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A",
         L"\x062E\x0637 \x0639\x0631\x0628\x064A"},                          // خط عربي
        {"Noto \xF0\x9F\x98\x80 \xE4\xB8\xAD", L"Noto \xD83D\xDE00 \x4E2D"}, // a pair of surrogates
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.utf8);
        ASSERT_TRUE(writeSettingString(kFontNameValue, script.utf8, where));
        EXPECT_EQ(rawReadWide(HKEY_LOCAL_MACHINE, kTestKey, L"FontName"),
                  std::wstring(script.wide) + L'\0');
        char out[256];
        EXPECT_TRUE(readSettingString(kFontNameValue, "Arial", out, sizeof out, where));
        EXPECT_STREQ(out, script.utf8);
        EXPECT_STREQ(readAllSettings(where).fontName, script.utf8);

        ASSERT_TRUE(writeRegistryString(HKEY_CURRENT_USER, kTestKey.c_str(), kSubkey, "FontName",
                                        script.utf8));
        EXPECT_EQ(readText(HKEY_CURRENT_USER, kTestKey, "Arial", 255), script.utf8);
    }
    // Bytes that are no UTF-8 are no name: nothing is stored.
    EXPECT_FALSE(
        writeRegistryString(HKEY_LOCAL_MACHINE, kTestKey.c_str(), kSubkey, "Other", "Caf\xE9"));
    EXPECT_FALSE(rawRead(HKEY_LOCAL_MACHINE, kTestKey, "Other").found);
}

// The out size counts UTF-8 bytes: a text too long is cut as before, but never inside
// a character.
TEST_F(RegistryTest, LongUnicodeTextIsCutBetweenCharactersToTheOutSize) {
    const std::string alef = "\xD8\xA7", euro = "\xE2\x82\xAC", smile = "\xF0\x9F\x98\x80";
    struct LongCase {
        std::string text;
        size_t keptAt255; // bytes left by an out size of 255
    };
    std::string twoByte = "a", threeByte, fourByte = "abc";
    for (int i = 0; i < 200; ++i) {
        twoByte += alef;
        threeByte += euro;
        fourByte += smile;
    }
    const LongCase cases[] = {{twoByte, 253}, {threeByte, 252}, {fourByte, 251}};
    for (const LongCase& c : cases) {
        SCOPED_TRACE(c.keptAt255);
        ASSERT_TRUE(writeRegistryString(HKEY_LOCAL_MACHINE, kTestKey.c_str(), kSubkey, "FontName",
                                        c.text.c_str()));
        bool read = false;
        EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 255, &read),
                  c.text.substr(0, c.keptAt255));
        EXPECT_TRUE(read);
        EXPECT_EQ(std::string(readAllSettings(where).fontName), c.text.substr(0, c.keptAt255));
        EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 1), "");
    }
    // A default that does not fit is cut the same way.
    EXPECT_TRUE(deleteRegistryValue(HKEY_LOCAL_MACHINE, kTestKey.c_str(), kSubkey, "FontName"));
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, ("x" + euro).c_str(), 3, nullptr), "x");
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, ("x" + euro).c_str(), 5, nullptr), "x" + euro);
}

// The registry does not promise a text its NUL, nor a whole number of UTF-16 units.
TEST_F(RegistryTest, TextWithoutItsNulOrWithAnOddByteLengthReadsSafely) {
    const std::string tah("T\0a\0h\0", 6);
    rawWriteWide(HKEY_LOCAL_MACHINE, kTestKey, L"FontName", REG_SZ, tah);
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Microsoft Sans Serif", 255), "Tah");
    rawWriteWide(HKEY_LOCAL_MACHINE, kTestKey, L"FontName", REG_SZ, tah + "o");
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Microsoft Sans Serif", 255), "Tah");
    rawWriteWide(HKEY_LOCAL_MACHINE, kTestKey, L"FontName", REG_SZ, "T");
    bool read = false;
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 255, &read), "");
    EXPECT_TRUE(read);
    // Stops at its first NUL; a value that fills a whole page has no room for one.
    rawWriteWide(HKEY_LOCAL_MACHINE, kTestKey, L"FontName", REG_EXPAND_SZ,
                 std::string("a\0\0\0b\0", 6));
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 255), "a");
    std::string full;
    for (int i = 0; i < 2048; ++i)
        full += std::string("\x27\x06", 2); // ARABIC LETTER ALEF, 4 KiB without a NUL
    rawWriteWide(HKEY_LOCAL_MACHINE, kTestKey, L"FontName", REG_SZ, full);
    std::string alefs;
    for (int i = 0; i < 2048; ++i)
        alefs += "\xD8\xA7";
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 400), alefs.substr(0, 398));
    char whole[4200];
    EXPECT_TRUE(readRegistryString(HKEY_LOCAL_MACHINE, kTestKey.c_str(), kSubkey, "FontName",
                                   "Arial", whole, sizeof whole));
    EXPECT_EQ(std::string(whole), alefs);
    // Half a surrogate pair is no text: the default, as for a value that cannot be read.
    rawWriteWide(HKEY_LOCAL_MACHINE, kTestKey, L"FontName", REG_SZ,
                 std::string("a\0\x3D\xD8\0\0", 6));
    read = true;
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, kTestKey, "Arial", 255, &read), "Arial");
    EXPECT_FALSE(read);
}

} // namespace
