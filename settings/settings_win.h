// The reader's three settings and where they are kept.
//
// A normal user may not write under HKEY_LOCAL_MACHINE on current Windows, so each value
// may live in one of two places under the same key path: machine-wide or per user.
// Reading takes the per-user value when it can be read, else the machine-wide one, else
// the default. Writing tries machine-wide first; when that works the per-user copy is
// removed so the two never disagree, and when it is refused the value goes to the user.
//
// Every text here is UTF-8 (converted to UTF-16 at the registry's calls): a font name
// stored by an earlier version through the ANSI calls reads as the same name.
#ifndef NORAVEL_SETTINGS_SETTINGS_WIN_H
#define NORAVEL_SETTINGS_SETTINGS_WIN_H

#include <windows.h>

#include <string>

struct SettingsLocation {
    HKEY machineRoot;
    HKEY userRoot;
    const char* key;
    const char* subkey;
};

// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, "SOFTWARE\KELVANE\QURAN", "SETTING".
const SettingsLocation& defaultSettingsLocation();

inline constexpr const char* kFontNameValue = "FontName";
inline constexpr const char* kFontSizeValue = "FontSize";
inline constexpr const char* kLanguageValue = "Bahasa";

inline constexpr const char* kDefaultFontName = "Microsoft Sans Serif";
inline constexpr int kDefaultFontSize = 14;
inline constexpr int kDefaultLanguage = 0; // Indonesian; any other value is English

// True when a stored value was read; otherwise out holds defaultText ("" for nullptr).
bool readSettingString(const char* valueName, const char* defaultText, char* out, int outSize,
                       const SettingsLocation& where = defaultSettingsLocation());
int readSettingDword(const char* valueName, int defaultValue,
                     const SettingsLocation& where = defaultSettingsLocation());

// True when the value is now stored where the next read finds it.
bool writeSettingString(const char* valueName, const char* text,
                        const SettingsLocation& where = defaultSettingsLocation());
bool writeSettingDword(const char* valueName, int value,
                       const SettingsLocation& where = defaultSettingsLocation());

struct SettingsValues {
    char fontName[256];
    int fontSize;
    int language;
};

// The translation language as the text store takes it (kDefaultLanguage when none is stored).
int readLanguageSetting(const SettingsLocation& where = defaultSettingsLocation());

// The three settings as start-up reads them (the font name in UTF-8, at most 254 bytes and
// never a character cut in half).
SettingsValues readAllSettings(const SettingsLocation& where = defaultSettingsLocation());

// ---- Recitation settings, kept per user only (the user's own folder and habit) ----
inline constexpr const char* kRecitationFolderValue = "RecitationFolder";
inline constexpr const char* kRepeatEachAyahValue = "RepeatEachAyah";
inline constexpr const char* kRecitationAddressValue = "RecitationAddress";
// An address template of a download, with its {SSS} and {AAA}.
inline constexpr DWORD kRecitationAddressUnits = 2048;
// A folder path the system takes: at most 259 UTF-16 units and the terminator.
inline constexpr DWORD kRecitationFolderUnits = 260;

// The recitation folder the user chose, a Unicode text under the user root, as UTF-8; ""
// when none is stored or it cannot be read whole.
std::string readRecitationFolder(const SettingsLocation& where = defaultSettingsLocation());
bool writeRecitationFolder(const char* utf8Folder,
                           const SettingsLocation& where = defaultSettingsLocation());
// The folder recordings are looked for in and downloaded to: the stored one, else the
// default one, %LOCALAPPDATA%\Noravel\Recitation (UTF-8; "" when neither is known).
std::string defaultRecitationFolder();
std::string recitationFolderInUse(const SettingsLocation& where = defaultSettingsLocation());
// The address template of the last download, a Unicode text under the user root ("" when none).
std::string readRecitationAddress(const SettingsLocation& where = defaultSettingsLocation());
bool writeRecitationAddress(const char* utf8Address,
                            const SettingsLocation& where = defaultSettingsLocation());
// "Repeat each ayah" as stored under the user root (1 when none); the caller bounds it.
int readRepeatEachAyah(const SettingsLocation& where = defaultSettingsLocation());
bool writeRepeatEachAyah(int times, const SettingsLocation& where = defaultSettingsLocation());
// The reciter chosen, the folder name of a built-in one or the mark of the typed address
// ("" when none is stored); the recitation room decides what is in force.
inline constexpr const char* kReciterValue = "Reciter";
inline constexpr DWORD kReciterUnits = 128;
std::string readReciter(const SettingsLocation& where = defaultSettingsLocation());
bool writeReciter(const char* utf8Choice,
                  const SettingsLocation& where = defaultSettingsLocation());
// A mirror of the archive ("http://127.0.0.1:8080/data/") that replaces its address for every
// built-in reciter; "" when none is stored.
inline constexpr const char* kRecitationMirrorValue = "RecitationMirror";
std::string readRecitationMirror(const SettingsLocation& where = defaultSettingsLocation());
// How many files a download fetches at once, as stored (0 when none); the caller bounds it.
inline constexpr const char* kDownloadConnectionsValue = "DownloadConnections";
int readDownloadConnections(const SettingsLocation& where = defaultSettingsLocation());

// ---- The translation chosen, kept per user by its language code ("tr", "ur", ...) so that
// languages can be added without renumbering; "Bahasa" keeps 0 Indonesian / 1 English ----
inline constexpr const char* kTranslationLanguageValue = "TranslationLanguage";
inline constexpr DWORD kTranslationLanguageUnits = 32;
// The stored code, "" when none is stored.
std::string readTranslationChoice(const SettingsLocation& where = defaultSettingsLocation());
bool writeTranslationChoice(const char* code,
                            const SettingsLocation& where = defaultSettingsLocation());

// The second line of reading under the first, by its code ("" or none stored: no second line).
inline constexpr const char* kSecondTranslationValue = "SecondTranslation";
std::string readSecondTranslation(const SettingsLocation& where = defaultSettingsLocation());
bool writeSecondTranslation(const char* code,
                            const SettingsLocation& where = defaultSettingsLocation());

// ---- The night scheme, kept per user only (a habit of the user, not of the machine) ----
inline constexpr const char* kNightSchemeValue = "NightScheme";
// Off when nothing is stored.
bool readNightScheme(const SettingsLocation& where = defaultSettingsLocation());
bool writeNightScheme(bool night, const SettingsLocation& where = defaultSettingsLocation());

// ---- Hiding the text to recite from memory (View > Hide the text), per user only ----
inline constexpr const char* kHideTextValue = "HideText";
// Off when nothing is stored; any value but 0 is on.
bool readHideText(const SettingsLocation& where = defaultSettingsLocation());
bool writeHideText(bool hide, const SettingsLocation& where = defaultSettingsLocation());

// ---- The reading view (View > Reading) in place of the one-ayah view, per user only ----
inline constexpr const char* kReadingViewValue = "ReadingView";
// Off when nothing is stored; any value but 0 is on.
bool readReadingView(const SettingsLocation& where = defaultSettingsLocation());
bool writeReadingView(bool on, const SettingsLocation& where = defaultSettingsLocation());

// ---- The picture's zoom, kept per user only: percent, written only once the user zooms ----
inline constexpr const char* kPictureZoomValue = "PictureZoom";
// The stored percent, 100 when none is stored; the view bounds it (75..200, else 100).
int readPictureZoom(const SettingsLocation& where = defaultSettingsLocation());
bool writePictureZoom(int percent, const SettingsLocation& where = defaultSettingsLocation());

#endif
