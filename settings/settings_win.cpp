#include "settings/settings_win.h"

#include "base/utf8_text.h"
#include "base/wide_text_win.h"
#include "settings/registry_win.h"

#include <shlobj.h>

#include <cstring>

const SettingsLocation& defaultSettingsLocation() {
    static const SettingsLocation location{HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER,
                                           "SOFTWARE\\KELVANE\\QURAN", "SETTING"};
    return location;
}

bool readSettingString(const char* valueName, const char* defaultText, char* out, int outSize,
                       const SettingsLocation& where) {
    if (!out || outSize <= 0) return false;
    if (readRegistryString(where.userRoot, where.key, where.subkey, valueName, defaultText, out,
                           outSize))
        return true;
    if (readRegistryString(where.machineRoot, where.key, where.subkey, valueName, defaultText, out,
                           outSize))
        return true;
    // A root the helpers refuse leaves out untouched: give the default here in any case.
    const char* fallback = defaultText ? defaultText : "";
    copyUtf8Bounded(out, static_cast<size_t>(outSize), fallback, std::strlen(fallback));
    return false;
}

int readSettingDword(const char* valueName, int defaultValue, const SettingsLocation& where) {
    int value = defaultValue;
    if (queryRegistryDword(where.userRoot, where.key, where.subkey, valueName, &value))
        return value;
    if (queryRegistryDword(where.machineRoot, where.key, where.subkey, valueName, &value))
        return value;
    return defaultValue;
}

namespace {

// After a machine-wide write the per-user copy must go, or it would keep overriding the
// new value; when it cannot be removed it is overwritten with the same value instead.
template <typename WriteTo>
bool storeSetting(const char* valueName, const SettingsLocation& where, WriteTo writeTo) {
    if (writeTo(where.machineRoot)) {
        if (deleteRegistryValue(where.userRoot, where.key, where.subkey, valueName)) return true;
    }
    return writeTo(where.userRoot);
}

} // namespace

bool writeSettingString(const char* valueName, const char* text, const SettingsLocation& where) {
    return storeSetting(valueName, where, [&](HKEY root) {
        return writeRegistryString(root, where.key, where.subkey, valueName, text);
    });
}

bool writeSettingDword(const char* valueName, int value, const SettingsLocation& where) {
    return storeSetting(valueName, where, [&](HKEY root) {
        return writeRegistryDword(root, where.key, where.subkey, valueName, value);
    });
}

int readLanguageSetting(const SettingsLocation& where) {
    return readSettingDword(kLanguageValue, kDefaultLanguage, where);
}

SettingsValues readAllSettings(const SettingsLocation& where) {
    SettingsValues values{};
    readSettingString(kFontNameValue, kDefaultFontName, values.fontName, 255, where);
    values.fontSize = readSettingDword(kFontSizeValue, kDefaultFontSize, where);
    values.language = readLanguageSetting(where);
    return values;
}

namespace {

std::wstring userKeyPath(const SettingsLocation& where) {
    return wideFromUtf8((std::string(where.key) + "\\" + where.subkey).c_str());
}

// A Unicode text of at most `units` - 1 UTF-16 units under the user root, as UTF-8.
std::string readUserText(const char* valueName, DWORD units, const SettingsLocation& where) {
    std::wstring text(units, L'\0');
    DWORD size = units * sizeof(wchar_t);
    const std::wstring value = wideFromUtf8(valueName);
    if (RegGetValueW(where.userRoot, userKeyPath(where).c_str(), value.c_str(), RRF_RT_REG_SZ,
                     nullptr, &text[0], &size) != ERROR_SUCCESS)
        return "";
    return utf8FromWide(text.c_str());
}

bool writeUserText(const char* valueName, const char* utf8Text, DWORD units,
                   const SettingsLocation& where) {
    std::wstring text;
    if (!tryWideFromUtf8(utf8Text, text) || text.size() >= units) return false;
    const std::wstring value = wideFromUtf8(valueName);
    return RegSetKeyValueW(where.userRoot, userKeyPath(where).c_str(), value.c_str(), REG_SZ,
                           text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

} // namespace

std::string readTranslationChoice(const SettingsLocation& where) {
    return readUserText(kTranslationLanguageValue, kTranslationLanguageUnits, where);
}

bool writeTranslationChoice(const char* code, const SettingsLocation& where) {
    return writeUserText(kTranslationLanguageValue, code, kTranslationLanguageUnits, where);
}

std::string readSecondTranslation(const SettingsLocation& where) {
    return readUserText(kSecondTranslationValue, kTranslationLanguageUnits, where);
}

bool writeSecondTranslation(const char* code, const SettingsLocation& where) {
    return writeUserText(kSecondTranslationValue, code, kTranslationLanguageUnits, where);
}

std::string readRecitationFolder(const SettingsLocation& where) {
    return readUserText(kRecitationFolderValue, kRecitationFolderUnits, where);
}

bool writeRecitationFolder(const char* utf8Folder, const SettingsLocation& where) {
    return writeUserText(kRecitationFolderValue, utf8Folder, kRecitationFolderUnits, where);
}

std::string defaultRecitationFolder() {
    PWSTR local = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &local)) &&
        local)
        folder = utf8FromWide(local) + "\\Noravel\\Recitation";
    CoTaskMemFree(local);
    return folder;
}

std::string recitationFolderInUse(const SettingsLocation& where) {
    const std::string stored = readRecitationFolder(where);
    return stored.empty() ? defaultRecitationFolder() : stored;
}

std::string readRecitationAddress(const SettingsLocation& where) {
    return readUserText(kRecitationAddressValue, kRecitationAddressUnits, where);
}

bool writeRecitationAddress(const char* utf8Address, const SettingsLocation& where) {
    return writeUserText(kRecitationAddressValue, utf8Address, kRecitationAddressUnits, where);
}

int readRepeatEachAyah(const SettingsLocation& where) {
    return readRegistryDword(where.userRoot, where.key, where.subkey, kRepeatEachAyahValue, 1);
}

bool writeRepeatEachAyah(int times, const SettingsLocation& where) {
    return writeRegistryDword(where.userRoot, where.key, where.subkey, kRepeatEachAyahValue, times);
}

std::string readReciter(const SettingsLocation& where) {
    return readUserText(kReciterValue, kReciterUnits, where);
}

bool writeReciter(const char* utf8Choice, const SettingsLocation& where) {
    return writeUserText(kReciterValue, utf8Choice, kReciterUnits, where);
}

std::string readRecitationMirror(const SettingsLocation& where) {
    return readUserText(kRecitationMirrorValue, kRecitationAddressUnits, where);
}

int readDownloadConnections(const SettingsLocation& where) {
    return readRegistryDword(where.userRoot, where.key, where.subkey, kDownloadConnectionsValue, 0);
}

bool readNightScheme(const SettingsLocation& where) {
    // Any value but 0 counts as on, as for a check box.
    return readRegistryDword(where.userRoot, where.key, where.subkey, kNightSchemeValue, 0) != 0;
}

bool writeNightScheme(bool night, const SettingsLocation& where) {
    return writeRegistryDword(where.userRoot, where.key, where.subkey, kNightSchemeValue,
                              night ? 1 : 0);
}

bool readHideText(const SettingsLocation& where) {
    return readRegistryDword(where.userRoot, where.key, where.subkey, kHideTextValue, 0) != 0;
}

bool writeHideText(bool hide, const SettingsLocation& where) {
    return writeRegistryDword(where.userRoot, where.key, where.subkey, kHideTextValue,
                              hide ? 1 : 0);
}

bool readReadingView(const SettingsLocation& where) {
    return readRegistryDword(where.userRoot, where.key, where.subkey, kReadingViewValue, 0) != 0;
}

bool writeReadingView(bool on, const SettingsLocation& where) {
    return writeRegistryDword(where.userRoot, where.key, where.subkey, kReadingViewValue,
                              on ? 1 : 0);
}

int readPictureZoom(const SettingsLocation& where) {
    return readRegistryDword(where.userRoot, where.key, where.subkey, kPictureZoomValue, 100);
}

bool writePictureZoom(int percent, const SettingsLocation& where) {
    return writeRegistryDword(where.userRoot, where.key, where.subkey, kPictureZoomValue, percent);
}
