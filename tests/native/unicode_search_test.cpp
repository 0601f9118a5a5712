// The translation search in every script: the loader of the UTF-8 translation resources,
// folding (case, Turkish i, accents and a language's own letters), whole words by Unicode
// letters, and the UTF-16 ranges of the bold marks.
#include "search/unicode_search.h"
#include "text/translation_languages.h"
#include "text/translation_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string record(int surah, int ayah, const std::string& text) {
    return std::to_string(surah) + " " + std::to_string(ayah) + " " +
           std::to_string(text.size()) + "\n" + text + "\n";
}

std::string fold(const std::string& text, LetterRules letters = LetterRules::Common,
                 bool ignoreAccents = true, bool matchCase = false) {
    FoldRules rules;
    rules.letters = letters;
    rules.ignoreAccents = ignoreAccents;
    rules.matchCase = matchCase;
    std::string out;
    foldText(text, rules, out);
    return out;
}

TEST(TranslationText, ReadsMeaningsAndAyatWithAnyBytesAndStopsAtABrokenRecord) {
    const std::string data = record(1, 0, "The Opening") + record(1, 1, "a\tb\nc") +
                             record(1, 2, "") + record(2, 0, "The Cow") + record(2, 1, "x") +
                             "2 2 99\nshort";
    TranslationText text;
    EXPECT_EQ(text.load(data.data(), data.size()), 3);
    EXPECT_EQ(text.surahMeaning(1), "The Opening");
    EXPECT_EQ(text.ayah(1, 1), "a\tb\nc");
    EXPECT_EQ(text.ayah(1, 2), "");
    EXPECT_EQ(text.ayahCount(1), 2);
    EXPECT_EQ(text.ayahCount(2), 1);
    EXPECT_EQ(text.ayah(2, 2), ""); // cut short: not read
    EXPECT_EQ(text.ayah(3, 1), "");
    EXPECT_EQ(text.ayah(1, 0), "");
    EXPECT_EQ(text.ayah(-1, 1), "");
}

TEST(TranslationText, RecordsOutOfOrderOrOutOfRangeEndTheWalk) {
    for (const std::string& bad :
         {record(1, 0, "m") + record(1, 2, "gap"), record(1, 0, "m") + record(3, 0, "skip"),
          record(1, 0, "m") + "1 1 4294967296\nx\n", record(1, 0, "m") + "1 1 x\nx\n",
          record(1, 0, "m") + "1 301 1\nx\n", record(1, 0, "m") + record(1, 1, "ab").substr(0, 7)}) {
        TranslationText text;
        EXPECT_EQ(text.load(bad.data(), bad.size()), 0) << bad;
        EXPECT_EQ(text.surahMeaning(1), "m");
    }
}

TEST(TranslationLanguages, StoredCodeWinsAndBahasaKeepsItsMeaning) {
    EXPECT_STREQ(translationLanguageAt(0)->code, "id");
    EXPECT_STREQ(translationLanguageAt(1)->code, "en");
    EXPECT_STREQ(translationLanguageAt(10)->code, "transliteration");
    EXPECT_EQ(translationLanguageAt(11), nullptr);
    EXPECT_EQ(startingTranslationIndex("tr", 0), translationLanguageIndex("tr"));
    EXPECT_EQ(startingTranslationIndex("", 0), 0);
    EXPECT_EQ(startingTranslationIndex("", 1), 1);
    EXPECT_EQ(startingTranslationIndex("xx", 7), 1);
    EXPECT_EQ(bahasaOf(0), 0);
    EXPECT_EQ(bahasaOf(1), 1);
    EXPECT_EQ(bahasaOf(translationLanguageIndex("ur")), -1);
    EXPECT_TRUE(translationLanguageAt(translationLanguageIndex("ur"))->rightToLeft);
    EXPECT_FALSE(translationLanguageAt(translationLanguageIndex("zh"))->spacedWords);
}

TEST(UnicodeFold, CaseAccentsAndTheLettersALanguageKeeps) {
    EXPECT_EQ(fold("PRIÈRE"), "priere");
    EXPECT_EQ(fold("PRIÈRE", LetterRules::Common, false), "prière");
    EXPECT_EQ(fold("АЛЛАХ Ёлка"), "аллах елка");
    EXPECT_EQ(fold("Cafe\xCC\x81"), "cafe"); // a combining acute accent is dropped
    // Turkish: İ and i are one letter, I and ı another; ç ş ğ ö ü stay.
    EXPECT_EQ(fold("İbrahim IŞIK çöğü", LetterRules::Turkish), "ibrahim ışık çöğü");
    EXPECT_EQ(fold("İbrahim Işık", LetterRules::Common), "ibrahim isik");
    EXPECT_EQ(fold("İ", LetterRules::Turkish, true, true), "İ");
    // Swedish å ä ö and Spanish ñ are letters of their own; other accents go.
    EXPECT_EQ(fold("Åland Än Öl é", LetterRules::Swedish), "åland än öl e");
    EXPECT_EQ(fold("Año é", LetterRules::Spanish), "año e");
    EXPECT_EQ(fold("Año", LetterRules::Common), "ano");
    EXPECT_EQ(fold("真主 বাংলা اردو"), "真主 বাংলা اردو");
    EXPECT_EQ(fold("\xFF\xC3"), "\xEF\xBF\xBD\xEF\xBF\xBD"); // not UTF-8: U+FFFD
}

TEST(UnicodeSearch, WholeWordsByUnicodeLettersWithApostrophesInside) {
    EXPECT_EQ(findFoldedWord("o'nun ve nun", "nun", true), 9u);
    EXPECT_EQ(findFoldedWord("сказал аллах.", "аллах", true), 13u);
    EXPECT_EQ(findFoldedWord("аллаха", "аллах", true), std::string::npos);
    EXPECT_EQ(findFoldedWord("аллаха", "аллах", false), 0u);
    EXPECT_EQ(findFoldedWord("éte", "te", true), std::string::npos);
    EXPECT_EQ(findFoldedWord("x", "", false), std::string::npos);
}

TEST(UnicodeSearch, ListsHitsInOrderWithTheLanguagesRules) {
    const std::string data = record(1, 0, "") + record(1, 1, "İbrahim dedi") +
                             record(1, 2, "Ibrahim değil") + record(2, 0, "") +
                             record(2, 1, "ibrahim'in") + record(2, 2, "安拉是真主");
    TranslationText text;
    ASSERT_EQ(text.load(data.data(), data.size()), 4);
    FoldRules turkish;
    turkish.letters = LetterRules::Turkish;
    FoldedTranslation folded;
    folded.build(text, turkish);
    SearchQuery query;
    std::snprintf(query.words[0], SearchQuery::kWordSize, "%s", "ibrahim");
    const std::vector<SearchHit> expected = {{1, 1}, {2, 1}};
    EXPECT_EQ(searchFolded(query, folded, turkish, true), expected);
    std::snprintf(query.words[0], SearchQuery::kWordSize, "%s", "İbrahim");
    EXPECT_EQ(searchFolded(query, folded, turkish, true), expected);
    query.wholeWord = true; // "ibrahim'in" is one word
    EXPECT_EQ(searchFolded(query, folded, turkish, true), (std::vector<SearchHit>{{1, 1}}));
    std::snprintf(query.words[0], SearchQuery::kWordSize, "%s", "真主");
    // Whole words do not apply to a language written without spaces.
    EXPECT_EQ(searchFolded(query, folded, turkish, false), (std::vector<SearchHit>{{2, 2}}));
}

TEST(UnicodeSearch, MarksAreUtf16RangesOfTheShownText) {
    SearchQuery query;
    std::snprintf(query.words[0], SearchQuery::kWordSize, "%s", "priere");
    std::snprintf(query.words[1], SearchQuery::kWordSize, "%s", "\xF0\x9F\x98\x80 x");
    const auto marks = searchMarks("La pri\xC3\xA8re \xF0\x9F\x98\x80 x", query, FoldRules{}, true);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0], (std::pair<long, long>{3, 9}));
    EXPECT_EQ(marks[1], (std::pair<long, long>{10, 14})); // the emoji takes two units
}

} // namespace
