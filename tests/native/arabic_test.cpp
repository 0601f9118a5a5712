// The portable parts of the Arabic input and search: the byte code, the key table, the
// editing rules of the input field's text and the Arabic scan.
#include "arabic/arabic_bytes.h"
#include "arabic/arabic_key_table.h"
#include "arabic/arabic_text_rules.h"
#include "search/arabic_scan.h"
#include "text/text_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>

namespace {

// ---- The byte code ----

TEST(ArabicByteCode, MarksLettersAndAsciiConvertAsTabled) {
    EXPECT_EQ(arabicByteToUnicode(0xF1), 0x0651); // SHADDA, not DAMMATAN as in code page 1256
    EXPECT_EQ(arabicByteToUnicode(0xF8), 0x065A);
    EXPECT_EQ(arabicByteToUnicode(0xC7), 0x0627); // ALEF
    EXPECT_EQ(arabicByteToUnicode(0x41), 0x0041);
    EXPECT_EQ(arabicByteToUnicode(0xF0), 0x064B);
    EXPECT_EQ(arabicByteToUnicode(0xF3), 0x064E);
    EXPECT_EQ(arabicByteToUnicode(0xF5), 0x064F);
    EXPECT_EQ(arabicByteToUnicode(0xE1), 0x0644);
    EXPECT_EQ(arabicByteToUnicode(0xEC), 0x0649);
    EXPECT_EQ(arabicByteToUnicode(0xED), 0x064A);
}

TEST(ArabicByteCode, EveryRowOfTheTableHoldsAtBothEnds) {
    const std::pair<int, int> ends[] = {{0x00, 0x0000},
                                        {0x7F, 0x007F},
                                        {0xC1, 0x0621},
                                        {0xD6, 0x0636},
                                        {0xD8, 0x0637},
                                        {0xDB, 0x063A},
                                        {0xDD, 0x0641},
                                        {0xDF, 0x0643},
                                        {0xE3, 0x0645},
                                        {0xE6, 0x0648},
                                        // bytes that are no letter of the code
                                        {0x80, 0x05E0},
                                        {0xC0, 0x0620},
                                        {0xD7, 0x0637},
                                        {0xDC, 0x063C},
                                        {0xE0, 0x0640},
                                        {0xE2, 0x0642},
                                        {0xE7, 0x0649},
                                        {0xEB, 0x064D},
                                        {0xEE, 0x0650},
                                        {0xEF, 0x0651},
                                        {0xF2, 0x0654},
                                        {0xF4, 0x0656},
                                        {0xF6, 0x0658},
                                        {0xFF, 0x0661}};
    for (auto [byte, unit] : ends)
        EXPECT_EQ(arabicByteToUnicode(static_cast<unsigned char>(byte)), unit) << std::hex << byte;
}

TEST(ArabicByteCode, TheThirtySixLettersGoToDistinctArabicLetters) {
    std::set<int> units;
    for (int byte = 0xC1; byte <= 0xED; ++byte) {
        const bool letter = (byte <= 0xD6) || (byte >= 0xD8 && byte <= 0xDB) ||
                            (byte >= 0xDD && byte <= 0xDF) || byte == 0xE1 ||
                            (byte >= 0xE3 && byte <= 0xE6) || byte == 0xEC || byte == 0xED;
        if (!letter) continue;
        const int unit = arabicByteToUnicode(static_cast<unsigned char>(byte));
        EXPECT_TRUE(unit >= 0x0621 && unit <= 0x064A) << std::hex << byte;
        EXPECT_TRUE(units.insert(unit).second) << std::hex << byte;
    }
    EXPECT_EQ(units.size(), 36u);
}

bool isLetterByte(int byte) {
    return (byte >= 0xC1 && byte <= 0xD6) || (byte >= 0xD8 && byte <= 0xDB) ||
           (byte >= 0xDD && byte <= 0xDF) || byte == 0xE1 || (byte >= 0xE3 && byte <= 0xE6) ||
           byte == 0xEC || byte == 0xED || byte == 0xF0 || byte == 0xF1 || byte == 0xF3 ||
           byte == 0xF5;
}

TEST(ArabicByteCode, UnicodeGoesBackToTheLettersAndMarksByteAndEveryUnitToOneOfItsBytes) {
    for (int byte = 1; byte <= 0xFF; ++byte) {
        const std::uint16_t unit = arabicByteToUnicode(static_cast<unsigned char>(byte));
        unsigned char back = 0;
        ASSERT_TRUE(arabicByteFromUnicode(unit, back)) << std::hex << byte;
        // Two bytes may share a unit (D7 and D8 both give TAH): the letter wins, and
        // whichever comes back gives the same unit.
        if (byte < 0x80 || isLetterByte(byte)) {
            EXPECT_EQ(back, byte) << std::hex << byte;
        }
        EXPECT_EQ(arabicByteToUnicode(back), unit) << std::hex << byte;
    }
    unsigned char none = 0x55;
    EXPECT_FALSE(arabicByteFromUnicode(0x00E9, none)); // a Latin letter has no byte
    EXPECT_FALSE(arabicByteFromUnicode(0x0700, none));
    EXPECT_EQ(none, 0x55);
}

TEST(ArabicByteCode, WideningEndsWithTwoNulsAndStaysInsideItsBuffer) {
    char16_t wide[6];
    std::fill(std::begin(wide), std::end(wide), u'#');
    EXPECT_EQ(widenArabicText("\xE1\xC7 A", wide, 6), 4u);
    EXPECT_EQ(wide[0], 0x0644);
    EXPECT_EQ(wide[1], 0x0627);
    EXPECT_EQ(wide[2], u' ');
    EXPECT_EQ(wide[3], u'A');
    EXPECT_EQ(wide[4], 0);
    EXPECT_EQ(wide[5], 0);

    std::fill(std::begin(wide), std::end(wide), u'#');
    EXPECT_EQ(widenArabicText("\xC8\xD3\xE3\xC7\xE1\xE1\xE5", wide, 5), 3u); // cut to fit
    EXPECT_EQ(wide[3], 0);
    EXPECT_EQ(wide[4], 0);
    EXPECT_EQ(wide[5], u'#');

    std::fill(std::begin(wide), std::end(wide), u'#');
    EXPECT_EQ(widenArabicText("abc", wide, 1), 0u);
    EXPECT_EQ(wide[0], u'#'); // too small for the two NULs: untouched
    EXPECT_EQ(widenArabicText(nullptr, wide, 2), 0u);
    EXPECT_EQ(wide[0], 0);
}

// ---- The key table ----

struct KeyRow {
    char typed;
    int plain;
    int shifted;
};

// The table as a user of the keyboard learns it (letters in upper case).
const KeyRow kKeyRows[] = {
    {'"', 0xD8, 0xD8}, {'\'', 0xD8, 0xD8}, {'#', 0xC5, 0xC5}, {'$', 0xC2, 0xC2}, {',', 0xE6, 0xE6},
    {'<', 0xE6, 0xE6}, {'.', 0xD2, 0xD2},  {'>', 0xD2, 0xD2}, {'/', 0xD9, 0xD9}, {'?', 0xD9, 0xD9},
    {':', 0xDF, 0xDF}, {';', 0xDF, 0xDF},  {'@', 0xC3, 0xC3}, {'A', 0xD4, 0xD4}, {'C', 0xC4, 0xC4},
    {'D', 0xED, 0xED}, {'E', 0xCB, 0xF5},  {'F', 0xC8, 0xC8}, {'G', 0xE1, 0xE1}, {'H', 0xC7, 0xC3},
    {'I', 0xE5, 0xE5}, {'J', 0xCA, 0xCA},  {'K', 0xE4, 0xE4}, {'L', 0xE3, 0xE3}, {'M', 0xC9, 0xC9},
    {'N', 0xEC, 0xC2}, {'O', 0xCE, 0xCE},  {'P', 0xCD, 0xCD}, {'Q', 0xD6, 0xF3}, {'R', 0xDE, 0xF1},
    {'S', 0xD3, 0xD3}, {'T', 0xDD, 0xDD},  {'U', 0xDA, 0xDA}, {'V', 0xD1, 0xD1}, {'W', 0xD5, 0xF0},
    {'X', 0xC1, 0xC1}, {'Y', 0xDB, 0xC5},  {'Z', 0xC6, 0xC6}, {'[', 0xCC, 0xCC}, {'{', 0xCC, 0xCC},
    {']', 0xCF, 0xCF}, {'}', 0xCF, 0xCF},  {'`', 0xD0, 0xD0}, {'~', 0xD0, 0xD0},
};

TEST(ArabicKeys, EveryRowGivesItsByteInBothShiftStatesAndBothCases) {
    for (const KeyRow& row : kKeyRows) {
        std::string forms(1, row.typed);
        if (row.typed >= 'A' && row.typed <= 'Z') forms += static_cast<char>(row.typed + 32);
        for (char typed : forms) {
            for (bool shift : {false, true}) {
                const ArabicKeyBytes got =
                    ArabicKeyTable::lookup(static_cast<unsigned char>(typed), shift);
                ASSERT_EQ(got.count, 1) << typed << " shift " << shift;
                EXPECT_EQ(got.bytes[0], shift ? row.shifted : row.plain)
                    << typed << " shift " << shift;
            }
        }
    }
}

TEST(ArabicKeys, BGivesLamThenAlefWithOrWithoutShift) {
    for (unsigned char typed : {'b', 'B'}) {
        for (bool shift : {false, true}) {
            const ArabicKeyBytes got = ArabicKeyTable::lookup(typed, shift);
            ASSERT_EQ(got.count, 2);
            EXPECT_EQ(got.bytes[0], 0xE1);
            EXPECT_EQ(got.bytes[1], 0xC7);
        }
    }
}

TEST(ArabicKeys, EveryOtherCharacterIsNotInTheTableAndIsInsertedUnchanged) {
    std::set<unsigned char> listed{'b', 'B'};
    for (const KeyRow& row : kKeyRows) {
        listed.insert(static_cast<unsigned char>(row.typed));
        if (row.typed >= 'A' && row.typed <= 'Z') listed.insert(row.typed + 32);
    }
    for (int c = 1; c < 256; ++c) {
        const unsigned char typed = static_cast<unsigned char>(c);
        if (listed.count(typed) || c == '\b' || c == '\r') continue;
        EXPECT_EQ(ArabicKeyTable::lookup(typed, false).count, 0) << c;
        const ArabicCharEffect effect = arabicCharEffect(typed, true);
        ASSERT_EQ(effect.action, ArabicCharAction::Insert) << c;
        ASSERT_EQ(effect.bytes.count, 1);
        EXPECT_EQ(effect.bytes.bytes[0], typed);
    }
}

TEST(ArabicKeys, BackspaceRemovesReturnAndNulAreIgnoredLettersGoThroughTheTable) {
    EXPECT_EQ(arabicCharEffect('\b', false).action, ArabicCharAction::Backspace);
    EXPECT_EQ(arabicCharEffect('\r', false).action, ArabicCharAction::Ignore);
    EXPECT_EQ(arabicCharEffect('\0', false).action, ArabicCharAction::Ignore);
    const ArabicCharEffect caps = arabicCharEffect('E', false); // Caps Lock, Shift up
    EXPECT_EQ(caps.action, ArabicCharAction::Insert);
    EXPECT_EQ(caps.bytes.bytes[0], 0xCB);
    EXPECT_EQ(arabicCharEffect('e', true).bytes.bytes[0], 0xF5);
}

// ---- The field's text ----

class ArabicFieldTextTest : public ::testing::Test {
  protected:
    ArabicFieldBuffer text{};
    int insertPos = 0;
    std::string str() const { return std::string(text); }
    void fill(int length) {
        std::string s(static_cast<size_t>(length), '\xC8');
        ASSERT_TRUE(setArabicFieldText(text, insertPos, s.c_str()));
        ASSERT_EQ(insertPos, length);
    }
    static ArabicKeyBytes key(unsigned char b) { return {{b, 0}, 1}; }
    static constexpr ArabicKeyBytes kLamAlef{{0xE1, 0xC7}, 2};
};

TEST_F(ArabicFieldTextTest, InsertionAppendsAndMovesTheInsertionPoint) {
    EXPECT_TRUE(insertArabicKey(text, insertPos, key(0xC8)));
    EXPECT_TRUE(insertArabicKey(text, insertPos, kLamAlef));
    EXPECT_EQ(str(), "\xC8\xE1\xC7");
    EXPECT_EQ(insertPos, 3);
    EXPECT_FALSE(insertArabicKey(text, insertPos, ArabicKeyBytes{{0, 0}, 0}));
    EXPECT_EQ(insertPos, 3);
}

TEST_F(ArabicFieldTextTest, BackspaceOnEmptyOneByteAndFullTexts) {
    EXPECT_FALSE(removeArabicByteBeforeInsertPoint(text, insertPos));
    EXPECT_EQ(insertPos, 0);
    EXPECT_EQ(str(), "");

    insertArabicKey(text, insertPos, key('1'));
    EXPECT_TRUE(removeArabicByteBeforeInsertPoint(text, insertPos));
    EXPECT_EQ(insertPos, 0);
    EXPECT_EQ(str(), "");

    fill(kArabicFieldMaxText);
    text[kArabicFieldMaxText - 1] = '\xC7';
    EXPECT_TRUE(removeArabicByteBeforeInsertPoint(text, insertPos));
    EXPECT_EQ(insertPos, kArabicFieldMaxText - 1);
    EXPECT_EQ(str(), std::string(kArabicFieldMaxText - 1, '\xC8'));
}

TEST_F(ArabicFieldTextTest, AFullTextTakesNoMoreBytesAndNeverHalfALamAlef) {
    fill(kArabicFieldMaxText);
    EXPECT_FALSE(insertArabicKey(text, insertPos, key(0xC7)));
    EXPECT_EQ(insertPos, kArabicFieldMaxText);
    EXPECT_EQ(text[kArabicFieldMaxText], '\0');

    fill(kArabicFieldMaxText - 1); // room for one byte
    EXPECT_FALSE(insertArabicKey(text, insertPos, kLamAlef));
    EXPECT_EQ(insertPos, kArabicFieldMaxText - 1);
    EXPECT_EQ(str().size(), static_cast<size_t>(kArabicFieldMaxText - 1));
    EXPECT_TRUE(insertArabicKey(text, insertPos, key(0xE1)));
    EXPECT_EQ(str().back(), '\xE1');
    EXPECT_EQ(insertPos, kArabicFieldMaxText);

    fill(kArabicFieldMaxText - 2); // room for both
    EXPECT_TRUE(insertArabicKey(text, insertPos, kLamAlef));
    EXPECT_EQ(str().substr(str().size() - 2), "\xE1\xC7");
}

TEST_F(ArabicFieldTextTest, SettingTextKeepsTheFirst31999BytesOfALongerText) {
    std::string longer(40000, '\xE3');
    longer[0] = '\xC7';
    ASSERT_TRUE(setArabicFieldText(text, insertPos, longer.c_str()));
    EXPECT_EQ(insertPos, kArabicFieldMaxText);
    EXPECT_EQ(str(), longer.substr(0, kArabicFieldMaxText));

    ASSERT_TRUE(setArabicFieldText(text, insertPos, ""));
    EXPECT_EQ(insertPos, 0);
    EXPECT_EQ(str(), "");

    insertArabicKey(text, insertPos, key('x'));
    EXPECT_FALSE(setArabicFieldText(text, insertPos, nullptr));
    EXPECT_EQ(str(), "x");
    EXPECT_EQ(insertPos, 1);
}

TEST_F(ArabicFieldTextTest, GettingTextCopiesAtMostOneLessThanTheRoomGiven) {
    setArabicFieldText(text, insertPos, "\xC8\xD3\xE3 \xC7");
    char out[8];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(copyArabicFieldText(text, out, 3), 2);
    EXPECT_EQ(std::string(out, 4), std::string("\xC8\xD3\0#", 4));

    std::memset(out, '#', sizeof out);
    EXPECT_EQ(copyArabicFieldText(text, out, 8), 5);
    EXPECT_STREQ(out, "\xC8\xD3\xE3 \xC7");

    std::memset(out, '#', sizeof out);
    EXPECT_EQ(copyArabicFieldText(text, out, 0), 0);
    EXPECT_EQ(copyArabicFieldText(text, out, -5), 0);
    EXPECT_EQ(out[0], '#');
    EXPECT_EQ(copyArabicFieldText(text, nullptr, 8), 0);
    EXPECT_EQ(copyArabicFieldText(text, out, 1), 0);
    EXPECT_EQ(out[0], '\0');
}

TEST_F(ArabicFieldTextTest, ADamagedInsertionPointNeverLeadsOutsideTheText) {
    setArabicFieldText(text, insertPos, "ab");
    insertPos = 500;
    EXPECT_TRUE(insertArabicKey(text, insertPos, key('c')));
    EXPECT_EQ(str(), "abc");
    EXPECT_EQ(insertPos, 3);
    insertPos = -7;
    EXPECT_FALSE(removeArabicByteBeforeInsertPoint(text, insertPos));
    EXPECT_EQ(insertPos, 0);
    EXPECT_EQ(str(), "abc");
}

// ---- The Arabic scan ----

class MadeUpArabic : public ArabicTextSource {
  public:
    std::map<std::pair<int, int>, std::string> texts;
    std::map<int, int> counts;
    int ayahCount(int surah) const override {
        auto it = counts.find(surah);
        return it == counts.end() ? 0 : it->second;
    }
    const char* arabic(int surah, int ayah) const override {
        auto it = texts.find({surah, ayah});
        return it == texts.end() ? "" : it->second.c_str();
    }
};

const std::string kAllah = "\xC7\xE1\xE1\xE5";

TEST(ArabicScan, FindsAQueryOncePerAyahInSurahThenAyahOrder) {
    MadeUpArabic source;
    source.counts = {{1, 3}, {2, 2}, {114, 6}};
    source.texts[{1, 1}] = "\xC8\xD3\xE3 " + kAllah;
    source.texts[{1, 3}] = kAllah + " " + kAllah + " " + kAllah; // three times, one line
    source.texts[{2, 2}] = "\xE1\xC7 \xC7\xE1\xE5";              // no ALLAH
    source.texts[{114, 6}] = "\xE3\xE4 " + kAllah;
    source.texts[{3, 1}] = kAllah;   // surah 3 has no ayat in the list: not searched
    source.texts[{114, 7}] = kAllah; // beyond the surah's count
    const auto hits = scanArabicTexts(kAllah.c_str(), false, source);
    const std::vector<SearchHit> expected = {{1, 1}, {1, 3}, {114, 6}};
    EXPECT_EQ(hits, expected);
}

TEST(ArabicScan, WholeWordRejectsOnlyNeighbouringAsciiLettersAndDigits) {
    MadeUpArabic source;
    source.counts = {{1, 4}};
    source.texts[{1, 1}] = "x" + kAllah;    // a Latin letter touches it
    source.texts[{1, 2}] = kAllah + "7";    // a digit touches it
    source.texts[{1, 3}] = "\xC8" + kAllah; // Arabic letters are no word bytes
    source.texts[{1, 4}] = "_" + kAllah + ".";
    const std::vector<SearchHit> whole = {{1, 3}, {1, 4}};
    EXPECT_EQ(scanArabicTexts(kAllah.c_str(), true, source), whole);
    EXPECT_EQ(scanArabicTexts(kAllah.c_str(), false, source).size(), 4u);
}

TEST(ArabicScan, EmptyQueryMarksAndMissingTextsGiveNoHits) {
    MadeUpArabic source;
    source.counts = {{1, 2}};
    source.texts[{1, 1}] = kAllah;
    EXPECT_TRUE(scanArabicTexts("", false, source).empty());
    EXPECT_TRUE(scanArabicTexts(nullptr, true, source).empty());
    // SHADDA between letters: the scripture text carries no marks.
    EXPECT_TRUE(scanArabicTexts("\xC7\xE1\xE1\xF1\xE5", false, source).empty());
}

TEST(ArabicScan, MatchedBytesAreThoseOfEveryOccurrenceAsTheScanFindsThem) {
    const std::string text = "x" + kAllah + " " + kAllah + kAllah;
    const auto bytesOf = [&](bool wholeWord) {
        std::string marks;
        for (bool b : matchedArabicBytes(text.c_str(), kAllah.c_str(), wholeWord))
            marks += b ? '#' : '.';
        return marks;
    };
    EXPECT_EQ(bytesOf(false), ".####.########");
    // Whole words only: the first touches a Latin letter; Arabic letters are no word bytes.
    EXPECT_EQ(bytesOf(true), "......########");
    // Overlapping occurrences are all marked.
    EXPECT_EQ(matchedArabicBytes("\xE1\xE1\xE1", "\xE1\xE1", false),
              (std::vector<bool>{true, true, true}));
    EXPECT_EQ(matchedArabicBytes("\xC8\xE1", "", false), (std::vector<bool>{false, false}));
    EXPECT_TRUE(matchedArabicBytes(nullptr, kAllah.c_str(), false).empty());
}

std::string readDataFile(const char* name) {
    std::ifstream in(std::string(NORAVEL_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The scan over the real text store agrees with a count made directly on the resource
// bytes, which hold one "surah CR LF ayah CR LF text NUL CR LF" record per ayah.
TEST(ArabicScan, AgreesWithACountMadeOnTheResourceBytes) {
    std::string surahs = readDataFile("130_surahs.txt"), arabic = readDataFile("134_arabic.txt"),
                timing = readDataFile("137_timing.txt");
    WritableCopy translation(ResourceBytes{nullptr, 0});
    std::string indonesian = readDataFile("131_indonesian.txt");
    if (surahs.empty() || arabic.empty() || indonesian.empty())
        GTEST_SKIP() << "generated text resources not found in " << NORAVEL_DATA_DIR;
    translation = WritableCopy(ResourceBytes{indonesian.data(), indonesian.size()});
    TextStore::loadFrom({surahs.data(), surahs.size()}, translation.bytes(),
                        {timing.data(), timing.size()}, 0);
    TextStore::loadArabicFrom({arabic.data(), arabic.size()});

    for (const std::string& query : {kAllah, std::string("\xE1\xC7 \xC7\xE1\xE5")}) {
        std::vector<SearchHit> direct;
        size_t at = 0;
        while (at < arabic.size()) {
            const size_t end = arabic.find(std::string("\0\r\n", 3), at);
            if (end == std::string::npos) break;
            std::istringstream head(arabic.substr(at, end - at));
            int surah = 0, ayah = 0;
            std::string text;
            head >> surah >> ayah;
            std::getline(head, text); // the rest of the ayah line
            std::getline(head, text, '\0');
            if (surah >= 1 && text.find(query) != std::string::npos)
                direct.push_back({surah, ayah});
            at = end + 3;
        }
        const auto hits = scanArabicTexts(query.c_str(), false, StoreArabicTexts());
        EXPECT_GT(hits.size(), 0u);
        EXPECT_EQ(hits, direct);
    }
    // "fa-iddara'tum" of 2:72, whose source writes a thin space inside the word.
    const std::vector<SearchHit> word = {{2, 72}};
    EXPECT_EQ(scanArabicTexts("\xDD\xC7\xCF\xD1\xCA\xE3", false, StoreArabicTexts()), word);
    TextStore::reset();
}

} // namespace
