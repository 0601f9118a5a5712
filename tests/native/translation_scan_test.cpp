#include "search/translation_scan.h"

#include "text/text_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace {

// Made-up translations: surahs not given have no ayat.
class MadeUpTranslations : public TranslationSource {
  public:
    explicit MadeUpTranslations(std::map<int, std::vector<std::string>> surahs)
        : surahs_(std::move(surahs)) {}
    int ayahCount(int surah) const override {
        auto it = surahs_.find(surah);
        return it == surahs_.end() ? 0 : static_cast<int>(it->second.size());
    }
    const char* translation(int surah, int ayah) const override {
        return surahs_.at(surah).at(ayah - 1).c_str();
    }

  private:
    std::map<int, std::vector<std::string>> surahs_;
};

const MadeUpTranslations kTexts({
    {1, {"mercy and light", "light only", "mercy only", "nothing here"}},
    {2, {"light, mercy and guidance", "guidance", "Mercy upon mercy"}},
    {114, {"mercy", "light"}},
});

SearchQuery queryOf(const char* w1, const char* w2, const char* w3, bool allWords) {
    SearchQuery query;
    setSearchWord(query, 0, w1);
    setSearchWord(query, 1, w2);
    setSearchWord(query, 2, w3);
    query.allWords = allWords;
    return query;
}

using Hits = std::vector<SearchHit>;

TEST(TranslationScan, OneWordGivesTheSameHitsWithDanAndAtau) {
    for (int slot = 0; slot < 3; ++slot) {
        const char* words[3] = {"", "", ""};
        words[slot] = "mercy";
        Hits expected = {{1, 1}, {1, 3}, {2, 1}, {2, 3}, {114, 1}};
        EXPECT_EQ(scanTranslations(queryOf(words[0], words[1], words[2], true), kTexts), expected);
        EXPECT_EQ(scanTranslations(queryOf(words[0], words[1], words[2], false), kTexts), expected);
    }
}

TEST(TranslationScan, DanNeedsEveryNonEmptyWordAtauAnyOne) {
    EXPECT_EQ(scanTranslations(queryOf("mercy", "", "light", true), kTexts),
              (Hits{{1, 1}, {2, 1}}));
    EXPECT_EQ(scanTranslations(queryOf("mercy", "", "light", false), kTexts),
              (Hits{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 3}, {114, 1}, {114, 2}}));
    EXPECT_EQ(scanTranslations(queryOf("mercy", "guidance", "light", true), kTexts),
              (Hits{{2, 1}}));
    EXPECT_EQ(scanTranslations(queryOf("only", "guidance", "nothing", false), kTexts),
              (Hits{{1, 2}, {1, 3}, {1, 4}, {2, 1}, {2, 2}}));
    EXPECT_EQ(scanTranslations(queryOf("mercy", "absent", "", true), kTexts), Hits{});
}

TEST(TranslationScan, ThreeEmptyWordsGiveNoHits) {
    EXPECT_TRUE(scanTranslations(queryOf("", "", "", true), kTexts).empty());
    EXPECT_TRUE(scanTranslations(queryOf("", "", "", false), kTexts).empty());
}

TEST(TranslationScan, FlagsChooseHowWordsMatch) {
    SearchQuery query = queryOf("Mercy", "", "", true);
    query.matchCase = true;
    EXPECT_EQ(scanTranslations(query, kTexts), (Hits{{2, 3}}));
    query = queryOf("merc", "", "", true);
    query.wholeWord = true;
    EXPECT_TRUE(scanTranslations(query, kTexts).empty());
}

TEST(TranslationScan, OneSurahSearchesOnlyThatSurahAndAnAyahOnce) {
    SearchQuery query = queryOf("mercy", "", "", true);
    query.oneSurah = true;
    query.surah = 2;
    EXPECT_EQ(scanTranslations(query, kTexts), (Hits{{2, 1}, {2, 3}}));
    query.surah = 114;
    EXPECT_EQ(scanTranslations(query, kTexts), (Hits{{114, 1}}));
    for (int surah : {0, -1, 115, 1000}) {
        query.surah = surah;
        EXPECT_TRUE(scanTranslations(query, kTexts).empty()) << surah;
    }
}

TEST(TranslationScan, ResultLineIsCutAt1023Characters) {
    char line[kResultLineSize];
    formatResultLine(line, 2, 255, "Allah - there is no deity");
    EXPECT_STREQ(line, "2:255 Allah - there is no deity");
    std::string longText(3000, 'x');
    longText[1016] = 'y'; // the last character that fits after "114:6 "
    formatResultLine(line, 114, 6, longText.c_str());
    ASSERT_EQ(std::strlen(line), 1023u);
    EXPECT_EQ(line[1022], 'y');
    EXPECT_EQ(std::string(line), "114:6 " + longText.substr(0, 1017));
}

TEST(TranslationScan, ResultLineGivesSurahAndAyahBack) {
    int surah = -7, ayah = -7;
    ASSERT_TRUE(parseResultLine("2:255 Allah - there is", &surah, &ayah));
    EXPECT_EQ(std::make_pair(surah, ayah), std::make_pair(2, 255));
    ASSERT_TRUE(parseResultLine(" :\r\n12::\n3\r\n", &surah, &ayah));
    EXPECT_EQ(std::make_pair(surah, ayah), std::make_pair(12, 3));
    ASSERT_TRUE(parseResultLine("2:255 ", &surah, &ayah)); // a history line of an empty text
    EXPECT_EQ(std::make_pair(surah, ayah), std::make_pair(2, 255));
    ASSERT_TRUE(parseResultLine("7a:x9 text", &surah, &ayah)); // leading digits, else 0
    EXPECT_EQ(std::make_pair(surah, ayah), std::make_pair(7, 0));
    ASSERT_TRUE(parseResultLine("99999999999999999999:4294967297", &surah, &ayah));
    EXPECT_EQ(std::make_pair(surah, ayah), std::make_pair(99999, 99999));
    ASSERT_TRUE(parseResultLine("Not Found", &surah, &ayah)); // two pieces without digits
    EXPECT_EQ(std::make_pair(surah, ayah), std::make_pair(0, 0));

    surah = ayah = -7;
    for (const char* line : {"", "   ", "7", "7:", ": 7 :\r\n"})
        EXPECT_FALSE(parseResultLine(line, &surah, &ayah)) << line;
    EXPECT_FALSE(parseResultLine(nullptr, &surah, &ayah));
    EXPECT_EQ(std::make_pair(surah, ayah), std::make_pair(-7, -7));
}

TEST(TranslationScan, CountTextSaysNotFoundOneItemOrTheNumber) {
    char text[kHitCountTextSize];
    const std::pair<int, const char*> cases[] = {{0, "Not Found"},
                                                 {1, "Found 1 Item"},
                                                 {2, "Found 2 items"},
                                                 {12, "Found 12 items"},
                                                 {6236, "Found 6236 items"}};
    for (const auto& [count, expected] : cases) {
        formatHitCount(text, count);
        EXPECT_STREQ(text, expected);
    }
}

// The generated resources, loaded into the text store for one language.
class GeneratedTranslations : public ::testing::Test {
  protected:
    static std::string readDataFile(const char* name) {
        std::ifstream in(std::string(NORAVEL_DATA_DIR) + "/" + name, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    bool load(int language) {
        surahs_ = readDataFile("130_surahs.txt");
        timing_ = readDataFile("137_timing.txt");
        std::string text = readDataFile(language ? "133_english.txt" : "131_indonesian.txt");
        copy_ = WritableCopy({text.data(), text.size()});
        if (surahs_.empty() || timing_.empty() || copy_.empty()) return false;
        TextStore::loadFrom({surahs_.data(), surahs_.size()}, copy_.bytes(),
                            {timing_.data(), timing_.size()}, language);
        return true;
    }
    void TearDown() override { TextStore::reset(); }

    std::string surahs_, timing_;
    WritableCopy copy_;
};

std::string lowered(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
}

TEST_F(GeneratedTranslations, CommonWordHitsEveryAyahHoldingItInEitherCase) {
    for (int language : {0, 1}) {
        if (!load(language)) GTEST_SKIP() << "generated resources not found";
        const char* word = language ? "Lord" : "Tuhan";
        Hits expected;
        for (int surah = 1; surah <= 114; ++surah)
            for (int ayah = 1; ayah <= TextStore::ayahCount(surah); ++ayah)
                if (lowered(TextStore::translation(surah, ayah)).find(lowered(word)) !=
                    std::string::npos)
                    expected.push_back({surah, ayah});
        Hits hits = scanTranslations(queryOf("", word, "", true), StoreTranslations());
        EXPECT_GT(hits.size(), 500u) << language;
        EXPECT_EQ(hits, expected) << language;
    }
}

TEST_F(GeneratedTranslations, SurahOneHundredFourteenAloneGivesItsSixAyat) {
    for (int language : {0, 1}) {
        if (!load(language)) GTEST_SKIP() << "generated resources not found";
        SearchQuery query = queryOf("n", "", "", true); // a letter of every ayah of 114
        EXPECT_GT(scanTranslations(query, StoreTranslations()).size(), 6000u);
        query.oneSurah = true;
        query.surah = 114;
        EXPECT_EQ(scanTranslations(query, StoreTranslations()),
                  (Hits{{114, 1}, {114, 2}, {114, 3}, {114, 4}, {114, 5}, {114, 6}}));
    }
}

TEST_F(GeneratedTranslations, EnglishLineOf2_282HoldsItsFirst1023Characters) {
    if (!load(1)) GTEST_SKIP() << "generated resources not found";
    const std::string text = TextStore::translation(2, 282);
    ASSERT_GT(text.size(), 1100u);
    char line[kResultLineSize];
    formatResultLine(line, 2, 282, text.c_str());
    EXPECT_EQ(std::string(line), ("2:282 " + text).substr(0, 1023));
}

} // namespace
