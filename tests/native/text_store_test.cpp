#include "text/text_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kNul(1, '\0');
const std::string kEndLine = "~~~~~~~\r\n";

// Builders for the record formats of the resources.
std::string surahRecord(const std::string& count, const std::string& name) {
    return count + "\r\n" + name + kNul + "\r\n";
}
std::string ayahRecord(int surah, int ayah, const std::string& text, const std::string& end) {
    return std::to_string(surah) + "\r\n" + std::to_string(ayah) + "\r\n" + text + end;
}
std::string translationRecord(int surah, int ayah, const std::string& text) {
    return ayahRecord(surah, ayah, text, "\r\n");
}
std::string arabicRecord(int surah, int ayah, const std::string& text) {
    return ayahRecord(surah, ayah, text, kNul + "\r\n");
}

ResourceBytes bytesOf(const std::string& s) {
    return {s.data(), s.size()};
}
ResourceBytes bytesOf(WritableCopy& copy) {
    return {copy.bytes().data, copy.bytes().size};
}

// Two surahs of 3 and 2 ayat; the Arabic text lacks 1:3 and 2:1.
const std::string kSurahs =
    surahRecord(" 3 ", "Al Fatihah") + surahRecord(" 2 ", "Al Baqarah") + kEndLine;
const std::string kTexts[] = {"", "satu", "dua ", "tiga", "empat  lima", "enam"};
const std::string kIndonesian =
    translationRecord(1, 1, kTexts[1]) + translationRecord(1, 2, kTexts[2]) +
    translationRecord(1, 3, kTexts[3]) + translationRecord(2, 1, kTexts[4]) +
    translationRecord(2, 2, kTexts[5]) + "\r\n" + kEndLine;
const std::string kEnglish = translationRecord(1, 1, "one") + translationRecord(1, 2, "two") +
                             translationRecord(1, 3, "three") + translationRecord(2, 1, "four");
const std::string kArabics[] = {"", "\xC8\xD3\xE3", "\xC7\xE1", "", "", "\xE3 \xE4"};
const std::string kArabic = arabicRecord(1, 1, kArabics[1]) + arabicRecord(1, 2, kArabics[2]) +
                            arabicRecord(2, 2, kArabics[5]) + kEndLine;
const Recitation kRecitations[] = {{0, 0, nullptr},         {0, 5000, "1_1.mp3"},
                                   {5000, 5000, "1_1.mp3"}, {9000, 7000, "1_2.mp3"},
                                   {0, 3000, "2_1.mp3"},    {3000, 8000, "2_1.mp3"}};
std::string timingOf(const Recitation (&list)[6]) {
    std::string data;
    for (int i = 1; i < 6; ++i)
        data += " " + std::to_string(list[i].startMs) + " \r\n " + std::to_string(list[i].endMs) +
                " \r\n" + list[i].file + kNul + "\r\n";
    return data + kEndLine;
}
const std::string kTiming = timingOf(kRecitations);
int indexOf(int surah, int ayah) {
    return (surah - 1) * 3 + ayah;
}

class TextStoreTest : public ::testing::Test {
  protected:
    void SetUp() override { TextStore::reset(); }
    // The tables point into data owned by the test.
    void TearDown() override { TextStore::reset(); }

    void loadTranslation(WritableCopy& copy, int language = 0) {
        TextStore::loadFrom(bytesOf(kSurahs), copy.bytes(), bytesOf(kTiming), language);
    }
};

TEST_F(TextStoreTest, AccessorsGiveDefaultsForAnyArguments) {
    WritableCopy copy(bytesOf(kIndonesian));
    for (int loaded = 0; loaded < 2; ++loaded) {
        for (int surah : {INT_MIN, -1, 0, 1, 2, 3, 115, 120, 121, INT_MAX}) {
            EXPECT_STREQ(TextStore::translation(surah, 0), "");
            EXPECT_STREQ(TextStore::arabic(surah, 0), "");
            for (int ayah : {INT_MIN, -1, 4, 300, 301, INT_MAX}) {
                EXPECT_STREQ(TextStore::translation(surah, ayah), "Not Found");
                EXPECT_STREQ(TextStore::arabic(surah, ayah), "");
                EXPECT_EQ(TextStore::recitation(surah, ayah).file, nullptr);
            }
            if (surah == 1 || surah == 2) continue;
            EXPECT_EQ(TextStore::ayahCount(surah), 0);
            EXPECT_STREQ(TextStore::surahName(surah), "");
            EXPECT_STREQ(TextStore::translation(surah, 1), "Not Found");
        }
        loadTranslation(copy);
        TextStore::loadArabicFrom(bytesOf(kArabic));
    }
}

TEST_F(TextStoreTest, TranslationsReloadAlikeAndAnotherLanguageReplacesThem) {
    WritableCopy indonesian(bytesOf(kIndonesian)), english(bytesOf(kEnglish));
    loadTranslation(indonesian);
    const char* first = TextStore::translation(2, 2);
    loadTranslation(indonesian); // the copy is already terminated
    EXPECT_EQ(TextStore::language(), 0);
    EXPECT_EQ(TextStore::translation(2, 2), first);
    for (int surah = 1; surah <= 2; ++surah)
        for (int ayah = 1; ayah <= 4 - surah; ++ayah)
            EXPECT_EQ(TextStore::translation(surah, ayah), kTexts[indexOf(surah, ayah)]);
    EXPECT_STREQ(TextStore::translation(2, 3), "Not Found");
    // The empty line before the end line is no record: nothing of it is terminated.
    EXPECT_EQ(std::string(indonesian.bytes().data + kIndonesian.size() - 11, 11),
              "\r\n" + kEndLine);
    EXPECT_EQ(kIndonesian.find(kNul), std::string::npos); // the source stays untouched

    loadTranslation(english, 7); // the English data has no end line
    EXPECT_EQ(TextStore::language(), 7);
    EXPECT_STREQ(TextStore::translation(1, 3), "three");
    EXPECT_STREQ(TextStore::translation(2, 1), "four");
    EXPECT_STREQ(TextStore::translation(2, 2), "Not Found");
}

TEST(WritableCopyTest, OwnsACopyOfTheBytesAndHandsItOnWhenMoved) {
    std::string source = "abc";
    WritableCopy copy(bytesOf(source));
    copy.bytes().data[0] = 'x';
    EXPECT_EQ(source, "abc");
    WritableCopy kept;
    kept = std::move(copy);
    EXPECT_TRUE(copy.empty());
    EXPECT_EQ(std::string(kept.bytes().data, kept.bytes().size), "xbc");
    EXPECT_TRUE(WritableCopy(bytesOf(std::string())).empty());
}

TEST_F(TextStoreTest, RecordsOutsideSurahsAndAyatAreDropped) {
    std::string surahs;
    for (int k = 0; k < 116; ++k)
        surahs += surahRecord(k == 1 ? "9999" : k == 2 ? "-5" : "1", "S");
    std::string translation = translationRecord(0, 1, "x") + translationRecord(115, 1, "x") +
                              translationRecord(-1, 1, "x") + translationRecord(1, 301, "x") +
                              translationRecord(1, 0, "x") + translationRecord(1, 300, "last") +
                              translationRecord(114, 1, "end");
    std::string arabic = arabicRecord(120, 1, "x") + arabicRecord(1, 301, "x") +
                         arabicRecord(114, 300, "\xC7") + kEndLine;
    WritableCopy copy(bytesOf(translation));
    TextStore::loadFrom(bytesOf(surahs), copy.bytes(), {nullptr, 0}, 1);
    TextStore::loadArabicFrom(bytesOf(arabic));
    EXPECT_EQ(TextStore::ayahCount(2), 300); // counts are kept within the grid
    EXPECT_EQ(TextStore::ayahCount(3), 0);
    EXPECT_EQ(TextStore::ayahCount(114), 1);
    EXPECT_EQ(TextStore::ayahCount(115), 0);
    EXPECT_STREQ(TextStore::surahName(115), "");
    EXPECT_STREQ(TextStore::translation(115, 1), "Not Found");
    EXPECT_STREQ(TextStore::translation(1, 300), "last");
    EXPECT_STREQ(TextStore::translation(114, 1), "end");
    EXPECT_STREQ(TextStore::arabic(120, 1), "");
    EXPECT_STREQ(TextStore::arabic(114, 300), "\xC7");
}

TEST_F(TextStoreTest, NumberFieldsIgnoreBlanksAndStopAtOtherBytes) {
    std::string surahs = surahRecord("\t 12 ", "A") + surahRecord("+4x7", "B") +
                         surahRecord("", "C") + surahRecord(" -0 ", "D") +
                         surahRecord("99999999999999999999", "E") + surahRecord("\n5", "F");
    WritableCopy copy(bytesOf(std::string("002\r\n 7 \r\nseven\r\n")));
    std::string timing = " 99999999999 \r\n -99999999999 \r\nx" + kNul;
    TextStore::loadFrom(bytesOf(surahs), copy.bytes(), bytesOf(timing), 0);
    const int counts[] = {12, 4, 0, 0, 300, 5};
    for (int surah = 1; surah <= 6; ++surah)
        EXPECT_EQ(TextStore::ayahCount(surah), counts[surah - 1]);
    EXPECT_STREQ(TextStore::surahName(6), "F");
    EXPECT_STREQ(TextStore::translation(2, 7), "seven");
    EXPECT_EQ(TextStore::recitation(1, 1).startMs, INT_MAX);
    EXPECT_EQ(TextStore::recitation(1, 1).endMs, INT_MIN);
    EXPECT_EQ(TextStore::recitation(1, 2).file, nullptr); // the data has ended
}

// Every prefix of each resource, in a block of exactly that size so that the
// sanitizer sees any read past its end: each entry is its default or the whole
// record of the full data, never a part; the full data fills every entry.
TEST_F(TextStoreTest, DataCutAnywhereStoresNoPartialRecord) {
    for (size_t length = 0; length <= kTiming.size(); ++length) {
        TextStore::reset();
        WritableCopy surahs(bytesOf(kSurahs.substr(0, length)));
        WritableCopy indonesian(bytesOf(kIndonesian.substr(0, length)));
        WritableCopy arabic(bytesOf(kArabic.substr(0, length)));
        // The timing is cut only once the whole surah list is there to walk it.
        WritableCopy timing(bytesOf(length < kSurahs.size() ? kTiming : kTiming.substr(0, length)));
        TextStore::loadFrom(bytesOf(surahs), indonesian.bytes(), bytesOf(timing), 0);
        TextStore::loadArabicFrom(bytesOf(arabic));
        bool whole = length == kTiming.size();
        for (int surah = 1; surah <= 2; ++surah) {
            std::string name = TextStore::surahName(surah);
            EXPECT_TRUE(name == (surah == 1 ? "Al Fatihah" : "Al Baqarah") ||
                        (!whole && name.empty()));
            int count = TextStore::ayahCount(surah);
            EXPECT_TRUE(count == 4 - surah || (!whole && count == 0)) << length;
            for (int ayah = 1; ayah <= 4 - surah; ++ayah) {
                int i = indexOf(surah, ayah);
                std::string text = TextStore::translation(surah, ayah);
                EXPECT_TRUE(text == kTexts[i] || (!whole && text == "Not Found")) << length;
                std::string arab = TextStore::arabic(surah, ayah);
                EXPECT_TRUE(arab == kArabics[i] || (!whole && arab.empty())) << length;
                Recitation r = TextStore::recitation(surah, ayah);
                ASSERT_TRUE(r.file || !whole);
                if (!r.file) continue;
                EXPECT_STREQ(r.file, kRecitations[i].file) << length;
                EXPECT_EQ(r.startMs, kRecitations[i].startMs);
                EXPECT_EQ(r.endMs, kRecitations[i].endMs); // kept even when before the start
            }
        }
    }
}

// The letters of the Arabic byte code (the scripture text carries no marks).
bool isArabicLetter(unsigned char c) {
    return (c >= 0xC1 && c <= 0xD6) || (c >= 0xD8 && c <= 0xDB) || (c >= 0xDD && c <= 0xDF) ||
           c == 0xE1 || (c >= 0xE3 && c <= 0xE6) || c == 0xEC || c == 0xED;
}

// The resources written by the data generator.
std::string readDataFile(const char* name) {
    std::ifstream in(std::string(NORAVEL_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST_F(TextStoreTest, GeneratedDataFillsEverySurahInBothLanguages) {
    std::string surahs = readDataFile("130_surahs.txt"), arabic = readDataFile("134_arabic.txt"),
                timing = readDataFile("137_timing.txt");
    WritableCopy copies[] = {WritableCopy(bytesOf(readDataFile("131_indonesian.txt"))),
                             WritableCopy(bytesOf(readDataFile("133_english.txt")))};
    if (surahs.empty() || arabic.empty() || timing.empty() || copies[0].empty() ||
        copies[1].empty())
        GTEST_SKIP() << "generated text resources not found in " << NORAVEL_DATA_DIR;

    std::string firstIndonesian;
    for (int language : {0, 1, 0}) {
        TextStore::loadFrom(bytesOf(surahs), copies[language].bytes(), bytesOf(timing), language);
        TextStore::loadArabicFrom(bytesOf(arabic));
        int total = 0;
        for (int surah = 1; surah <= 114; ++surah) {
            int count = TextStore::ayahCount(surah);
            total += count;
            EXPECT_GE(count, 3);
            EXPECT_STRNE(TextStore::surahName(surah), "");
            EXPECT_STREQ(TextStore::translation(surah, count + 1), "Not Found");
            for (int ayah = 1; ayah <= count; ++ayah) {
                const char* text = TextStore::translation(surah, ayah);
                ASSERT_STRNE(text, "") << surah << ":" << ayah;
                ASSERT_STRNE(text, "Not Found") << surah << ":" << ayah;
                ASSERT_NE(TextStore::recitation(surah, ayah).file, nullptr);
                std::string arab = TextStore::arabic(surah, ayah);
                ASSERT_FALSE(arab.empty()) << surah << ":" << ayah;
                ASSERT_NE(arab.front(), ' ');
                ASSERT_NE(arab.back(), ' ');
                ASSERT_EQ(arab.find("  "), std::string::npos);
                for (unsigned char c : arab)
                    ASSERT_TRUE(c == ' ' || isArabicLetter(c)) << surah << ":" << ayah;
            }
        }
        if (language == 0) { // the second time from the same, terminated copy
            if (firstIndonesian.empty()) firstIndonesian = TextStore::translation(2, 255);
            EXPECT_EQ(TextStore::translation(2, 255), firstIndonesian);
        }
        EXPECT_EQ(total, 6236);
        EXPECT_EQ(TextStore::ayahCount(2), 286);
        EXPECT_EQ(TextStore::ayahCount(115), 0);
        Recitation opening = TextStore::recitation(1, 1);
        EXPECT_EQ(opening.startMs, 0);
        EXPECT_STREQ(opening.file, "1_1.mp3");
    }
}

} // namespace
