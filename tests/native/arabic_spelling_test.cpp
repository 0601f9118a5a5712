// The spelling-tolerant Arabic search: Uthmani words against queries in standard
// spelling, the folding of queries, the forms resource and the search's recall and
// precision over the whole generated text.
#include "search/arabic_spelling.h"

#include "search/arabic_scan.h"
#include "text/text_store.h"
#include "tools/spelling_form.h"

#include "bench/bench_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// A query typed in standard spelling, in the byte code.
std::string typed(const char* standard) {
    return textres::arabicToByteCode(standard);
}

bool formHolds(const char* uthmani, const char* standard) {
    return spellingFormHolds(textres::spellingForm(uthmani).c_str(),
                             foldArabicQuery(typed(standard).c_str()));
}

TEST(ArabicSpelling, StandardSpellingFindsTheUthmaniWriting) {
    const std::pair<const char*, const char*> cases[] = {
        // dagger alef
        {"ذَٰلِكَ ٱلۡكِتَٰبُ", "الكتاب"},
        {"ٱلۡكِتَٰبُ", "الكتب"},
        {"ٱلرَّحۡمَٰنِ", "الرحمن"},
        {"ٱلرَّحۡمَٰنِ", "الرحمان"},
        {"ذَٰلِكَ", "ذلك"},
        {"ٱلسَّمَٰوَٰتِ", "السماوات"},
        {"ٱلسَّمَٰوَٰتِ", "السموات"},
        {"أُوْلَٰٓئِكَ", "أولئك"},
        // waw or ya carrying the alef
        {"ٱلصَّلَوٰةَ", "الصلاة"},
        {"ٱلصَّلَوٰةَ", "الصلوة"},
        {"وَءَاتُواْ ٱلزَّكَوٰةَ", "الزكاة"},
        {"ٱلۡحَيَوٰةِ", "الحياة"},
        {"ٱلتَّوۡرَىٰةَ", "التوراة"},
        {"ٱلرِّبَوٰاْ", "الربا"},
        // dropped and small letters
        {"إِبۡرَٰهِـۧمَ", "إبراهيم"},
        {"إِبۡرَٰهِيمُ", "إبراهيم"},
        {"دَاوُۥدَ", "داود"},
        {"بِهِۦ", "به"},
        {"ٱلنَّبِيِّـۧنَ", "النبيين"},
        // hamza
        {"ٱلۡقُرۡءَانُ", "القرآن"},
        {"ءَادَمَ", "آدم"},
        {"بِٱلۡأٓخِرَةِ", "الآخرة"},
        {"يَسۡـَٔلُونَكَ", "يسألونك"},
        {"شَيۡـٔٗا", "شيئا"},
        {"رَءُوفٞ", "رؤوف"},
        {"تِلۡقَا\u0653يِٕ", "تلقاء"},
        {"ٱلۡمَلَٰٓئِكَةِ", "الملائكة"},
        {"إِسۡرَٰٓءِيلَ", "إسرائيل"},
        {"ٱلۡأَرۡضِ", "الأرض"},
        // vocative written as one word
        {"يَـٰٓأَيُّهَا ٱلنَّاسُ", "يا أيها الناس"},
        {"يَـٰٓأَيُّهَا", "يأيها"},
        {"وَيَٰقَوۡمِ", "يا قوم"},
        {"يَـٰٓـَٔادَمُ", "يا آدم"},
        {"هَـٰٓأَنتُمۡ", "ها أنتم"},
        // proclitics before the article
        {"بِٱللَّهِ", "بالله"},
        {"فَٱللَّهُ", "فالله"},
        {"وَٱللَّهُ", "والله"},
        {"وَٱللَّهُ", "الله"},
        {"لِلَّهِ", "الله"},
        {"وَلِلَّهِ", "لله"},
        {"لِّلنَّاسِ", "الناس"},
        {"لِلَّذِينَ", "الذين"},
        {"ٱلَّيۡلِ", "الليل"},
        // letters users confuse
        {"عَلَىٰ", "علي"},
        {"فِي", "فى"},
        {"ٱلۡجَنَّةَ", "الجنه"},
        {"رَحۡمَتِهِۦ", "رحمته"},
        // vowel marks typed with the query
        {"ٱلۡكِتَٰبُ", "الْكِتَابُ"},
    };
    for (const auto& [uthmani, standard] : cases)
        EXPECT_TRUE(formHolds(uthmani, standard)) << uthmani << " / " << standard;
}

TEST(ArabicSpelling, WordsThatOnlyLookAlikeStayApart) {
    const std::pair<const char*, const char*> cases[] = {
        {"قُلۡ", "قال"},       // say / he said: no alef to take in قل
        {"كَتَبَ", "كتاب"},     // he wrote / book
        {"ٱلۡكِتَٰبُ", "الكاتب"}, // the book / the writer
        {"عَلَىٰ", "علا"},      // on / rose: the final dagger alef is no alef of its own
        {"ٱلۡقُرۡءَانُ", "القران"}, {"ٱلصَّلَوٰةَ", "الصلة"},
        {"يَـٰٓأَيُّهَا", "يأيهم"},   {"وَأَلۡحِقۡنِي", "الحق"}, // join me / the truth: a hamza must be typed
        {"سَأَلَهَا", "إله"}, // asked it / god: hamza on a seat keeps its seat
    };
    for (const auto& [uthmani, standard] : cases)
        EXPECT_FALSE(formHolds(uthmani, standard)) << uthmani << " / " << standard;
}

// The code points of the Uthmani text whose letters the typed word met.
std::set<int> metLetters(const char* uthmani, const char* standard) {
    std::vector<int> letters;
    const std::string form = textres::spellingForm(uthmani, &letters);
    EXPECT_EQ(letters.size(), form.size());
    const std::vector<bool> matched = matchedSpellingBytes(form.c_str(), typed(standard).c_str());
    std::set<int> met;
    for (std::size_t b = 0; b < matched.size() && b < letters.size(); ++b)
        if (matched[b]) met.insert(letters[b]);
    return met;
}

TEST(ArabicSpelling, EveryByteOfTheFormNamesTheLetterItComesFrom) {
    // بِسۡمِ لِلَّهِ: the optional alef and lam of the article after li- come from li's lam.
    std::vector<int> letters;
    EXPECT_EQ(textres::spellingForm("بِسۡمِ لِلَّهِ", &letters),
              "\xC8\xD3\xE3 \xE1\x01\xC7\x01\xE1\xE1\xE5");
    EXPECT_EQ(letters, (std::vector<int>{0, 2, 4, -1, 7, 7, 7, 7, 7, 9, 12}));
}

TEST(ArabicSpelling, TheTypedWordMeetsTheUthmaniLettersItsSpellingTakes) {
    // الله in لِلَّهِ: both lams and the ha.
    EXPECT_EQ(metLetters("لِلَّهِ", "الله"), (std::set<int>{0, 2, 5}));
    // الصلاة: the waw that carries the alef is met for the alef.
    EXPECT_EQ(metLetters("ٱلصَّلَوٰةَ", "الصلاة"), (std::set<int>{0, 1, 2, 5, 7, 9}));
    // الكتاب in the second word only; the dagger alef is met with the ta it sits on.
    EXPECT_EQ(metLetters("ذَٰلِكَ ٱلۡكِتَٰبُ", "الكتاب"), (std::set<int>{8, 9, 11, 13, 16}));
    // Both occurrences, and nothing where the word is not.
    EXPECT_EQ(metLetters("مِن مِّنۢ", "من"), (std::set<int>{0, 2, 4, 7}));
    EXPECT_TRUE(metLetters("قُلۡ", "قال").empty());
    EXPECT_TRUE(matchedSpellingBytes(nullptr, "\xC7").empty());
    EXPECT_EQ(matchedSpellingBytes("\xC7\xE1", ""), (std::vector<bool>{false, false}));
}

TEST(ArabicSpelling, QueryIsFoldedLetterByLetterWithSingleInnerBlanks) {
    EXPECT_EQ(foldArabicQuery(typed("  يا   أيها  ").c_str()), "\xED\xC7 \xC3\xED\xE5\xC7");
    EXPECT_EQ(foldArabicQuery(typed("آمنة").c_str()), "\xC1\xC7\xE3\xE4\xE5");
    EXPECT_EQ(foldArabicQuery(typed("إلى مؤمن سئل").c_str()),
              "\xC5\xE1\xED \xE3\xC4\xE3\xE4 \xD3\xC6\xE1");
    EXPECT_EQ(foldArabicQuery("\xF3\xF1 \x01\xF5\xF0"), ""); // marks, blanks and a control byte
    EXPECT_EQ(foldArabicQuery(nullptr), "");
}

TEST(ArabicSpelling, EmptyQueryOrBrokenFormFindsNothing) {
    EXPECT_FALSE(spellingFormHolds("\xC7\xE1\xE1\xE5", ""));
    EXPECT_FALSE(spellingFormHolds(nullptr, "\xC7"));
    // An optional marker at the very end has no letter to offer.
    EXPECT_FALSE(spellingFormHolds("\xE1\x01", "\xE1\xC7"));
    EXPECT_TRUE(spellingFormHolds("\xE1\x01\xC7", "\xE1\xC7"));
}

// A surah list of `counts` ayat per surah (surah 1 first), loaded into the store.
void loadSurahList(const std::vector<int>& counts) {
    std::string list;
    for (int count : counts)
        list += " " + std::to_string(count) + " \r\nName" + std::string("\0\r\n", 3);
    list += "~~~~~~~\r\n";
    TextStore::loadFrom({list.data(), list.size()}, {nullptr, 0}, {nullptr, 0}, 0);
}

std::string formsResource(const std::vector<std::string>& forms, bool endLine) {
    std::string data;
    for (const std::string& form : forms)
        data += form + std::string("\0\r\n", 3);
    return endLine ? data + "~~~~~~~\r\n" : data;
}

TEST(ArabicSpelling, FormsResourceMustFitTheSurahList) {
    loadSurahList({2, 1});
    const std::string ok = formsResource({"\xC7", "\xC8", "\xCA"}, true);
    const ArabicSpellingForms forms({ok.data(), ok.size()});
    ASSERT_TRUE(forms.complete());
    EXPECT_EQ(forms.ayahCount(2), 1);
    EXPECT_STREQ(forms.arabic(2, 1), "\xCA");
    EXPECT_STREQ(forms.arabic(2, 2), "");
    const std::vector<SearchHit> hits = scanArabicSpelling("\xC8", forms);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].surah, 1);
    EXPECT_EQ(hits[0].ayah, 2);

    const std::string damaged[] = {
        formsResource({"\xC7", "\xC8"}, true),                 // a form too few
        formsResource({"\xC7", "\xC8", "\xCA", "\xCA"}, true), // a form too many
        formsResource({"\xC7", "\xC8", "\xCA"}, false),        // no end line
        ok.substr(0, 4),                                       // cut inside a record
    };
    for (const std::string& data : damaged) {
        const ArabicSpellingForms broken({data.data(), data.size()});
        EXPECT_FALSE(broken.complete());
        EXPECT_EQ(broken.ayahCount(1), 0);
        EXPECT_TRUE(scanArabicSpelling("\xC7", broken).empty());
    }
    EXPECT_FALSE(ArabicSpellingForms({nullptr, 0}).complete());
    TextStore::reset();
}

// ---- Recall and precision over the whole text ----

struct WordCase {
    std::string standard; // UTF-8
    std::set<std::pair<int, int>> expected;
};

// The list written by tests/tools/arabic_spelling_expected.py from the Uthmani text.
std::vector<WordCase> readWordCases() {
    std::ifstream in(std::string(NORAVEL_NATIVE_TEST_DIR) + "/arabic_spelling_expected.txt");
    std::vector<WordCase> cases;
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        WordCase c{line.substr(0, tab), {}};
        std::istringstream refs(line.substr(tab + 1));
        std::string ref;
        int surah = 0, ayah = 0;
        while (refs >> ref)
            if (std::sscanf(ref.c_str(), "%d:%d", &surah, &ayah) == 2)
                c.expected.insert({surah, ayah});
        cases.push_back(std::move(c));
    }
    return cases;
}

std::set<std::pair<int, int>> asSet(const std::vector<SearchHit>& hits) {
    std::set<std::pair<int, int>> set;
    for (const SearchHit& hit : hits)
        set.insert({hit.surah, hit.ayah});
    return set;
}

size_t countOutside(const std::set<std::pair<int, int>>& found,
                    const std::set<std::pair<int, int>>& from) {
    std::vector<std::pair<int, int>> rest;
    std::set_difference(found.begin(), found.end(), from.begin(), from.end(),
                        std::back_inserter(rest));
    return rest.size();
}

// The generated surah list, Arabic text and forms, loaded into the store.
class GeneratedSpelling : public ::testing::Test {
  protected:
    void SetUp() override {
        if (surahs.empty() || arabic.empty() || spelling.empty())
            GTEST_SKIP() << "generated text resources not found in " << NORAVEL_DATA_DIR;
        TextStore::loadFrom({surahs.data(), surahs.size()}, {nullptr, 0}, {nullptr, 0}, 0);
        TextStore::loadArabicFrom({arabic.data(), arabic.size()});
        forms = ArabicSpellingForms({spelling.data(), spelling.size()});
        ASSERT_TRUE(forms.complete());
    }
    void TearDown() override { TextStore::reset(); }

    const std::string surahs = readDataFile("130_surahs.txt");
    const std::string arabic = readDataFile("134_arabic.txt");
    const std::string spelling = readDataFile("139_arabic_spelling.txt");
    ArabicSpellingForms forms{ResourceBytes{nullptr, 0}};
};

// Each ayah's form holds the ayah's whole text of resource 134, so any run of letters
// the exact search finds is found by the tolerant search in the same ayah too.
TEST_F(GeneratedSpelling, EveryAyahsLettersOfResource134AreFoundInItsForm) {
    int ayat = 0;
    for (int surah = 1; surah <= TextStore::kSurahs; ++surah)
        for (int ayah = 1; ayah <= TextStore::ayahCount(surah); ++ayah, ++ayat)
            EXPECT_TRUE(spellingFormHolds(forms.arabic(surah, ayah),
                                          foldArabicQuery(TextStore::arabic(surah, ayah))))
                << surah << ":" << ayah;
    EXPECT_EQ(ayat, 6236);
}

TEST_F(GeneratedSpelling, CommonWordsAreFoundWithTheirRecallAndPrecision) {
    const std::vector<WordCase> words = readWordCases();
    ASSERT_GE(words.size(), 60u);

    size_t expected = 0, tolerantFound = 0, tolerantExtra = 0, exactFound = 0, exactExtra = 0,
           overExact = 0;
    for (const WordCase& word : words) {
        SCOPED_TRACE(word.standard);
        const std::string query = typed(word.standard.c_str());
        const auto tolerant = asSet(scanArabicSpelling(query.c_str(), forms));
        const auto exact = asSet(scanArabicTexts(query.c_str(), false, StoreArabicTexts()));
        // Whatever the exact search finds, the tolerant search finds too.
        EXPECT_EQ(countOutside(exact, tolerant), 0u);
        const size_t missed = countOutside(word.expected, tolerant);
        const size_t extra = countOutside(tolerant, word.expected);
        expected += word.expected.size();
        tolerantFound += word.expected.size() - missed;
        tolerantExtra += extra;
        exactFound += word.expected.size() - countOutside(word.expected, exact);
        exactExtra += countOutside(exact, word.expected);
        overExact += countOutside(tolerant, exact);
        if (missed > 0 || extra > 0)
            std::printf("%s: expected %zu, tolerant %zu (missed %zu, others %zu), exact %zu\n",
                        word.standard.c_str(), word.expected.size(), tolerant.size(), missed, extra,
                        exact.size());
        if (word.standard == "الله") {
            EXPECT_GE(tolerant.size(), 1746u);
        }
    }
    std::printf("%zu words, %zu expected ayat: tolerant finds %zu (%.1f%%) and %zu others; exact "
                "finds %zu (%.1f%%) and %zu others; tolerant over exact: %zu\n",
                words.size(), expected, tolerantFound, 100.0 * tolerantFound / expected,
                tolerantExtra, exactFound, 100.0 * exactFound / expected, exactExtra, overExact);
    // The figures when the list was made (74 words, 10,537 ayat): the tolerant search
    // found all of them and 11 others (7 for إله: a seatless hamza in سٔلهم; 4 for الهدى:
    // ٱلۡهَدۡيَ, as alef maqsura and ya are one letter); the exact search found 8,022 and
    // no others. A change that loses recall or finds more unrelated ayat fails here.
    EXPECT_EQ(expected, 10537u);
    EXPECT_EQ(tolerantFound, expected);
    EXPECT_LE(tolerantExtra, 11u);
    EXPECT_EQ(exactExtra, 0u);
}

} // namespace
