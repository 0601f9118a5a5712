// The translations as a reader meets them: each language chosen in the language list shows
// its own text of 2:255, read back from the translation area as UTF-16 and set against the
// converted package text (which the build checked against the package ayah by ayah); Urdu's
// paragraph runs right to left and is right-aligned; and the choice is there again after a
// restart.
#include "reader_session_win.h"

#include "resources/resource_ids.h"
#include "text/translation_languages.h"
#include "text/translation_text.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The package's text of an ayah in a language, from the converted resource file.
std::string packageText(const TranslationLanguage& language, int surah, int ayah) {
    const std::string data =
        readFile(std::string(NORAVEL_DATA_DIR) + "/" + std::to_string(language.resourceId) +
                 "_translation_" + language.code + ".txt");
    TranslationText text;
    text.load(data.data(), data.size());
    return std::string(text.ayah(surah, ayah));
}

// The paragraph format at the start of the translation area, read through a buffer inside
// the reader (the structure is not carried across processes).
PARAFORMAT2 paragraphOf(const ReaderSession& reader) {
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                 reader.processId());
    if (!process) return format;
    void* remote = VirtualAllocEx(process, nullptr, sizeof format, MEM_COMMIT, PAGE_READWRITE);
    if (remote) {
        WriteProcessMemory(process, remote, &format, sizeof format, nullptr);
        SendMessageW(reader.child(IDC_TRANSLATION), EM_SETSEL, 0, 0);
        SendMessageW(reader.child(IDC_TRANSLATION), EM_GETPARAFORMAT, 0,
                     reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote, &format, sizeof format, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return format;
}

void show2_255(const ReaderSession& reader) {
    reader.goTo(2, 255);
    reader.waitIdle();
}

void chooseLanguage(const ReaderSession& reader, int index) {
    reader.choose(IDC_LANGUAGE_LIST, index);
    reader.waitIdle();
}

// Closes the reader as a user does and waits for it to end.
void closeReader(ReaderSession& reader) {
    PostMessageW(reader.window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(reader.waitForExit(), 0);
}

TEST(TranslationsJourney, EveryLanguageShowsThePackagesTextOf2_255AndTheChoiceSurvivesARestart) {
    {
        ReaderSession reader(windowsPathOf(NORAVEL_READER_EXE));
        ASSERT_TRUE(reader.start());
        show2_255(reader);
        for (int index = 0; index < static_cast<int>(kTranslationLanguageCount); ++index) {
            const TranslationLanguage& language = *translationLanguageAt(index);
            LARGE_INTEGER frequency, before, after;
            QueryPerformanceFrequency(&frequency);
            QueryPerformanceCounter(&before);
            chooseLanguage(reader, index); // the first choice loads the language
            QueryPerformanceCounter(&after);
            std::printf("choosing %s: %.1f ms\n", language.code,
                        1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                            static_cast<double>(frequency.QuadPart));
            const std::string expected = packageText(language, 2, 255);
            ASSERT_FALSE(expected.empty()) << language.code;
            EXPECT_EQ(utf8Of(windowTextW(reader.child(IDC_TRANSLATION))), expected)
                << language.code;
            const PARAFORMAT2 paragraph = paragraphOf(reader);
            EXPECT_EQ((paragraph.wEffects & PFE_RTLPARA) != 0, language.rightToLeft)
                << language.code;
            EXPECT_EQ(paragraph.wAlignment, language.rightToLeft ? PFA_RIGHT : PFA_CENTER)
                << language.code;
        }
        chooseLanguage(reader, translationLanguageIndex("tr"));
        closeReader(reader);
    }
    {
        ReaderSession reader(windowsPathOf(NORAVEL_READER_EXE));
        ASSERT_TRUE(reader.start());
        const TranslationLanguage& turkish = *translationLanguageAt(translationLanguageIndex("tr"));
        EXPECT_EQ(SendMessageW(reader.child(IDC_LANGUAGE_LIST), CB_GETCURSEL, 0, 0),
                  translationLanguageIndex("tr"));
        show2_255(reader);
        EXPECT_EQ(utf8Of(windowTextW(reader.child(IDC_TRANSLATION))), packageText(turkish, 2, 255));
        chooseLanguage(reader, 0); // the test bed goes on in Indonesian
        closeReader(reader);
    }
    // The next journeys choose their language by "Bahasa", which a stored code would override.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\KELVANE\\QURAN\\SETTING", 0, KEY_SET_VALUE,
                      &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "TranslationLanguage");
        RegCloseKey(key);
    }
}

} // namespace
