// The translation search in every script: the loader of the UTF-8 translation resources,
// folding (case, Turkish i, accents and a language's own letters), whole words by Unicode
// letters, and the UTF-16 ranges of the bold marks.
#include "search/unicode_search.h"
#include "text/translation_credits.h"
#include "text/translation_languages.h"
#include "text/translation_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string record(int surah, int ayah, const std::string& text) {
    return std::to_string(surah) + " " + std::to_string(ayah) + " " + std::to_string(text.size()) +
           "\n" + text + "\n";
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
          record(1, 0, "m") + "1 301 1\nx\n",
          record(1, 0, "m") + record(1, 1, "ab").substr(0, 7)}) {
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

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The searches of the issue over the converted translations, set against the hits a
// separate reckoning in Python counts in the package (tests/support/count_translation_hits.py).
TEST(UnicodeSearch, ListsExactlyTheAyatCountedInThePackage) {
    std::istringstream expectations(
        readFile(std::string(NORAVEL_DATA_DIR) + "/translation_search_expected.txt"));
    std::string line;
    int searches = 0;
    while (std::getline(expectations, line)) {
        std::istringstream fields(line);
        std::string code, query, hits;
        std::getline(fields, code, '\t');
        std::getline(fields, query, '\t');
        std::getline(fields, hits);
        const int index = translationLanguageIndex(code.c_str());
        ASSERT_GE(index, 0) << code;
        const TranslationLanguage& language = *translationLanguageAt(index);
        const std::string data =
            readFile(std::string(NORAVEL_DATA_DIR) + "/" + std::to_string(language.resourceId) +
                     "_translation_" + code + ".txt");
        TranslationText text;
        ASSERT_EQ(text.load(data.data(), data.size()), 6236) << code;
        FoldRules rules;
        rules.letters = language.letters;
        FoldedTranslation folded;
        folded.build(text, rules);
        SearchQuery search;
        std::snprintf(search.words[0], SearchQuery::kWordSize, "%s", query.c_str());
        std::string listed;
        for (const SearchHit& hit : searchFolded(search, folded, rules, language.spacedWords))
            listed += (listed.empty() ? "" : " ") + std::to_string(hit.surah) + ":" +
                      std::to_string(hit.ayah);
        EXPECT_FALSE(listed.empty()) << code << " " << query;
        EXPECT_EQ(listed, hits) << code << " " << query;
        ++searches;
    }
    EXPECT_EQ(searches, 5);
}

} // namespace

namespace {

TEST(TranslationCredits, EveryLanguageIsCreditedAndNonCommercialTermsAreSaid) {
    const std::string page = translationCreditsText();
    for (size_t i = 0; i < kTranslationLanguageCount; ++i) {
        const TranslationCredit* credit = translationCredit(translationLanguages()[i].code);
        ASSERT_NE(credit, nullptr) << translationLanguages()[i].code;
        EXPECT_NE(page.find(credit->translator), std::string::npos);
        EXPECT_NE(page.find(credit->source), std::string::npos);
    }
    // The Tanzil translations are for non-commercial use only; the QuranEnc ones are not
    // marked so.
    EXPECT_TRUE(translationCredit("tr")->nonCommercialOnly);
    EXPECT_FALSE(translationCredit("id")->nonCommercialOnly);
    EXPECT_NE(page.find("Turkish (T\xC3\xBCrk\xC3\xA7"
                        "e): Turkish Directorate of Religious "
                        "Affairs (Diyanet). Source: Tanzil (tanzil.net/trans/tr.diyanet). Terms: "
                        "for non-commercial use only"),
              std::string::npos);
    EXPECT_EQ(translationCredit("xx"), nullptr);
}

} // namespace
