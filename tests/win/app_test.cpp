// Start-up and the text store, in process: the entry routine's failure path and the
// loads from the program's own "TXT" resources.
#include "app/startup_win.h"
#include "settings/registry_win.h"
#include "settings/settings_win.h"
#include "text/text_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The language setting of the test prefix, restored after each test that changes it.
class LanguageSetting : public ::testing::Test {
  protected:
    void SetUp() override { removeLanguage(); }
    void TearDown() override { removeLanguage(); }
    static void removeLanguage() {
        const SettingsLocation& where = defaultSettingsLocation();
        deleteRegistryValue(where.machineRoot, where.key, where.subkey, kLanguageValue);
        deleteRegistryValue(where.userRoot, where.key, where.subkey, kLanguageValue);
    }
};

// The load as the reader makes it: in the language stored in the settings.
void loadInStoredLanguage() {
    TextStore::load(readLanguageSetting());
}

int totalAyat() {
    int total = 0;
    for (int surah = 1; surah <= 114; ++surah)
        total += TextStore::ayahCount(surah);
    return total;
}

TEST_F(LanguageSetting, WithoutTheSettingTheIndonesianTranslationIsLoaded) {
    loadInStoredLanguage();
    TextStore::loadArabic();
    EXPECT_EQ(TextStore::language(), 0);
    EXPECT_EQ(totalAyat(), 6236);
    EXPECT_EQ(TextStore::ayahCount(2), 286);
    EXPECT_STREQ(TextStore::surahName(1), "Al Fatihah");
    EXPECT_EQ(std::strncmp(TextStore::translation(1, 1), "Dengan nama Allah", 17), 0);
    EXPECT_STREQ(TextStore::translation(1, 8), "Not Found");
    EXPECT_STREQ(TextStore::arabic(1, 8), "");
    // 1:1 in the Arabic byte code: BISMILLAH, four words.
    EXPECT_STREQ(TextStore::arabic(1, 1), "\xC8\xD3\xE3 \xC7\xE1\xE1\xE5 \xC7\xE1\xD1\xCD\xE3\xE4 "
                                          "\xC7\xE1\xD1\xCD\xED\xE3");
    const Recitation first = TextStore::recitation(1, 1);
    EXPECT_EQ(first.startMs, 0);
    ASSERT_NE(first.file, nullptr);
    EXPECT_STREQ(first.file, "1_1.mp3");
}

TEST_F(LanguageSetting, AnyNonZeroLanguageLoadsTheEnglishTranslation) {
    for (int language : {1, 7}) {
        ASSERT_TRUE(writeSettingDword(kLanguageValue, language));
        loadInStoredLanguage();
        EXPECT_EQ(TextStore::language(), language);
        EXPECT_EQ(std::strncmp(TextStore::translation(1, 1), "In the name of Allah", 20), 0)
            << TextStore::translation(1, 1);
        EXPECT_EQ(totalAyat(), 6236);
    }
}

// The load takes the language it is given: what is stored is the caller's to read.
TEST_F(LanguageSetting, TheLoadTakesTheLanguageItIsGivenWhateverIsStored) {
    ASSERT_TRUE(writeSettingDword(kLanguageValue, 1));
    TextStore::load(0);
    EXPECT_EQ(TextStore::language(), 0);
    EXPECT_EQ(std::strncmp(TextStore::translation(1, 1), "Dengan nama Allah", 17), 0);
    ASSERT_TRUE(writeSettingDword(kLanguageValue, 0));
    TextStore::load(1);
    EXPECT_EQ(TextStore::language(), 1);
    EXPECT_EQ(std::strncmp(TextStore::translation(1, 1), "In the name of Allah", 20), 0);
}

// The resource data is mapped read-only: the texts are terminated in a writable copy,
// and loading the same language again (as the language switch does) gives the same texts.
TEST_F(LanguageSetting, LoadingAgainAndSwitchingBackGivesTheSameTexts) {
    loadInStoredLanguage();
    const std::string before = TextStore::translation(2, 255);
    const std::string lastBefore = TextStore::translation(114, 6);
    ASSERT_TRUE(writeSettingDword(kLanguageValue, 1));
    loadInStoredLanguage();
    EXPECT_NE(TextStore::translation(2, 255), before);
    ASSERT_TRUE(writeSettingDword(kLanguageValue, 0));
    loadInStoredLanguage();
    loadInStoredLanguage();
    EXPECT_EQ(TextStore::translation(2, 255), before);
    EXPECT_EQ(TextStore::translation(114, 6), lastBefore);
    EXPECT_EQ(totalAyat(), 6236);
}

std::string reportedFailure;
void recordFailure(const char* text) {
    reportedFailure = text;
}

LRESULT CALLBACK otherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// When the window class cannot be registered the program says so and ends with a
// non-zero code instead of waiting in its message loop for ever.
TEST(Startup, AClassThatCannotBeRegisteredEndsTheProgramWithAMessage) {
    WNDCLASSA taken{};
    taken.lpfnWndProc = otherProc;
    taken.hInstance = GetModuleHandleA(nullptr);
    taken.lpszClassName = "AL-QURAN";
    ASSERT_NE(RegisterClassA(&taken), 0);
    reportedFailure.clear();
    EXPECT_EQ(runReader(GetModuleHandleA(nullptr), SW_HIDE, recordFailure),
              kExitClassNotRegistered);
    EXPECT_NE(reportedFailure.find("cannot start"), std::string::npos);
    UnregisterClassA("AL-QURAN", GetModuleHandleA(nullptr));
}

} // namespace
