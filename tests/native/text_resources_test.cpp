// Checks the generated scripture text resources byte by byte with a reader of its own,
// and the conversions and the timing model of the generator.
#include "tools/recitation_timing.h"
#include "tools/text_normalise.h"

#include <gtest/gtest.h>

#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const kEndLine = "~~~~~~~\r\n";

bool readData(const char* name, std::string& data) {
    std::ifstream in(std::string(NORAVEL_DATA_DIR) + "/" + name, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    data = text.str();
    return true;
}

// Reads fields of the record formats from the front of the data.
struct Cursor {
    const std::string& data;
    size_t pos = 0;

    bool atEndLine() const { return data.compare(pos, std::string::npos, kEndLine) == 0; }

    // Bytes up to the next CR LF, which is consumed.
    bool line(std::string& out) {
        const size_t end = data.find("\r\n", pos);
        if (end == std::string::npos) return false;
        out = data.substr(pos, end - pos);
        pos = end + 2;
        return true;
    }
    // Bytes up to NUL CR LF, which is consumed; the text holds no CR or LF.
    bool nulLine(std::string& out) {
        const size_t end = data.find('\0', pos);
        if (end == std::string::npos || data.compare(end, 3, std::string("\0\r\n", 3)) != 0)
            return false;
        out = data.substr(pos, end - pos);
        pos = end + 3;
        return out.find_first_of("\r\n") == std::string::npos;
    }
};

// "digits" or, with blanks, " digits "; -1 if the field has another shape.
int number(const std::string& field, bool blanks) {
    std::string digits = field;
    if (blanks) {
        if (field.size() < 3 || field.front() != ' ' || field.back() != ' ') return -1;
        digits = field.substr(1, field.size() - 2);
    }
    if (digits.empty() || digits.size() > 7) return -1;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool printableAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c < 32 || c > 126) return false;
    return !text.empty();
}

bool arabicLetter(unsigned char b) {
    return (b >= 0xC1 && b <= 0xD6) || (b >= 0xD8 && b <= 0xDB) || (b >= 0xDD && b <= 0xDF) ||
           b == 0xE1 || (b >= 0xE3 && b <= 0xE6) || b == 0xEC || b == 0xED;
}

// "S_P.mp3" with P 1..20.
bool fileOfSurah(const std::string& file, int surah) {
    for (int part = 1; part <= 20; ++part)
        if (file == std::to_string(surah) + "_" + std::to_string(part) + ".mp3") return true;
    return false;
}

struct SurahEntry {
    int count;
    std::string name;
};

std::vector<SurahEntry> surahList(const std::string& data) {
    std::vector<SurahEntry> surahs;
    Cursor in{data};
    std::string count, name;
    while (!in.atEndLine()) {
        if (!in.line(count) || !in.nulLine(name) || number(count, true) < 1) return {};
        surahs.push_back({number(count, true), name});
    }
    return surahs;
}

// Walks the ayah records of 131, 133 or 134; each must be the next ayah of the surah
// list. Returns the texts in order and leaves the cursor after the last record.
std::vector<std::string> ayahTexts(Cursor& in, const std::vector<SurahEntry>& surahs,
                                   bool nulTerminated) {
    std::vector<std::string> texts;
    for (size_t s = 0; s < surahs.size(); ++s)
        for (int a = 1; a <= surahs[s].count; ++a) {
            std::string surahField, ayahField, text;
            const bool ok = in.line(surahField) && in.line(ayahField) &&
                            (nulTerminated ? in.nulLine(text) : in.line(text));
            if (!ok || number(surahField, false) != static_cast<int>(s) + 1 ||
                number(ayahField, false) != a) {
                ADD_FAILURE() << "record " << s + 1 << ":" << a << " malformed";
                return texts;
            }
            texts.push_back(text);
        }
    return texts;
}

class GeneratedResources : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string list;
        if (!readData("130_surahs.txt", list)) GTEST_SKIP() << "text resources not generated";
        surahs = surahList(list);
    }
    std::vector<SurahEntry> surahs;
};

TEST_F(GeneratedResources, SurahListHolds114SurahsWith6236AyatAndPlainNames) {
    ASSERT_EQ(surahs.size(), 114u);
    const int total = std::accumulate(surahs.begin(), surahs.end(), 0,
                                      [](int sum, const SurahEntry& e) { return sum + e.count; });
    EXPECT_EQ(total, 6236);
    EXPECT_EQ(surahs[1].count, 286);
    EXPECT_EQ(surahs[0].name, "Al Fatihah");
    EXPECT_EQ(surahs[2].name, "Ali 'Imran");
    for (const SurahEntry& e : surahs) {
        EXPECT_TRUE(
            e.name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz '") ==
                std::string::npos &&
            !e.name.empty())
            << e.name;
        EXPECT_LE(e.count, 286);
    }
}

TEST_F(GeneratedResources, TranslationsHoldEveryAyahAsPrintableAsciiWithTheirEndings) {
    ASSERT_EQ(surahs.size(), 114u);
    for (const char* file : {"131_indonesian.txt", "133_english.txt"}) {
        SCOPED_TRACE(file);
        std::string data;
        ASSERT_TRUE(readData(file, data));
        Cursor in{data};
        const std::vector<std::string> texts = ayahTexts(in, surahs, false);
        ASSERT_EQ(texts.size(), 6236u);
        for (size_t i = 0; i < texts.size(); ++i)
            ASSERT_TRUE(printableAscii(texts[i])) << "text " << i << ": " << texts[i];
        const std::string rest = data.substr(in.pos);
        // Indonesian: an empty line, then the end line; English: nothing after the last record.
        EXPECT_EQ(rest, file[2] == '1' ? std::string("\r\n") + kEndLine : std::string());
        if (file[2] == '1') {
            EXPECT_EQ(texts[0], "Dengan nama Allah Yang Maha Pengasih, Maha Penyayang");
        }
    }
}

TEST_F(GeneratedResources, ArabicTextHoldsLettersOfTheByteCodeBetweenSingleBlanks) {
    ASSERT_EQ(surahs.size(), 114u);
    std::string data;
    ASSERT_TRUE(readData("134_arabic.txt", data));
    Cursor in{data};
    const std::vector<std::string> texts = ayahTexts(in, surahs, true);
    ASSERT_EQ(texts.size(), 6236u);
    EXPECT_EQ(data.substr(in.pos), kEndLine);
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string& t = texts[i];
        ASSERT_FALSE(t.empty()) << "text " << i;
        EXPECT_TRUE(t.front() != ' ' && t.back() != ' ' && t.find("  ") == std::string::npos)
            << "text " << i;
        for (unsigned char b : t)
            ASSERT_TRUE(b == ' ' || arabicLetter(b)) << "text " << i << " byte " << int(b);
    }
    // 1:1 bismillah: BEH SEEN MEEM, ALEF LAM LAM HEH, ALEF LAM REH HAH MEEM NOON, ALEF LAM REH HAH
    // YEH MEEM
    EXPECT_EQ(texts[0],
              "\xC8\xD3\xE3 \xC7\xE1\xE1\xE5 \xC7\xE1\xD1\xCD\xE3\xE4 \xC7\xE1\xD1\xCD\xED\xE3");
    // 2:72 (text 78) writes "fa-iddara'tum" with a thin space inside: one word, FEH ALEF DAL
    // REH TEH MEEM, between "nafsan" and "fiha".
    EXPECT_NE(texts[78].find("\xE4\xDD\xD3\xC7 \xDD\xC7\xCF\xD1\xCA\xE3 \xDD\xED\xE5\xC7"),
              std::string::npos);
}

TEST_F(GeneratedResources, RecitationTimingCoversEveryAyahInWholeSecondsOfItsSurahsFiles) {
    ASSERT_EQ(surahs.size(), 114u);
    std::string data;
    ASSERT_TRUE(readData("137_timing.txt", data));
    Cursor in{data};
    for (size_t s = 0; s < surahs.size(); ++s)
        for (int a = 1; a <= surahs[s].count; ++a) {
            std::string startField, endField, file;
            ASSERT_TRUE(in.line(startField) && in.line(endField) && in.nulLine(file))
                << s + 1 << ":" << a;
            const int start = number(startField, true);
            const int end = number(endField, true);
            ASSERT_TRUE(start >= 0 && end >= start && end <= 607000) << s + 1 << ":" << a;
            EXPECT_TRUE(start % 1000 == 0 && end % 1000 == 0) << s + 1 << ":" << a;
            EXPECT_TRUE(fileOfSurah(file, static_cast<int>(s) + 1)) << file;
            if (s == 0 && a == 1) {
                EXPECT_TRUE(start == 0 && file == "1_1.mp3");
            }
        }
    EXPECT_EQ(data.substr(in.pos), kEndLine);
}

// ---- conversions ------------------------------------------------------------

TEST(ArabicConversion, KeepsLettersAsCodePage1256AndDropsMarksAndPauseSigns) {
    // "bismi" with kasra and sukun, ALEF WASLA + LAM + shadda-marked LAM + HEH.
    EXPECT_EQ(textres::arabicToByteCode("\u0628\u0650\u0633\u06E1\u0645\u0650 "
                                        "\u0671\u0644\u0644\u0651\u064E\u0647\u0650"),
              "\xC8\xD3\xE3 \xC7\xE1\xE1\xE5");
    // A pause sign standing alone between words goes with its blank; rub el hizb glued
    // to the first word, and sajdah at the end, leave no blank behind.
    EXPECT_EQ(textres::arabicToByteCode("\u06DE\u0644\u0627 \u06D6 \u0641\u064A \u06E9"),
              "\xE1\xC7 \xDD\xED");
    // Tatweel, superscript alef, small high letters and a thin space inside a word vanish.
    EXPECT_EQ(textres::arabicToByteCode("\u0646\u0640\u0670\u2009\u06E5\u0631"), "\xE4\xD1");
    // A thin space before a mark is inside the word; between letters it parts words.
    EXPECT_EQ(textres::arabicToByteCode("\u0631\u064E\u2009\u0670\u0654\u062A"), "\xD1\xCA");
    EXPECT_EQ(textres::arabicToByteCode("\u0628\u2009\u0628 \u2009\u0628\u2009"), "\xC8 \xC8 \xC8");
    // Farsi forms become the plain letters; FARSI YEH is ALEF MAKSURA at a word's end.
    EXPECT_EQ(textres::arabicToByteCode("\u06A9\u06CC\u06C1 \u0641\u06CC"),
              "\xDF\xED\xE5 \xDD\xEC");
    EXPECT_EQ(textres::arabicToByteCode("\u0643\u06CC\u064E"), "\xDF\xEC");
}

TEST(ArabicConversion, EveryByteNamesTheCodePointItWasMadeFrom) {
    // Marks between the letters are skipped in the count, not left out of it; a blank
    // names no code point.
    std::vector<int> letters;
    EXPECT_EQ(textres::arabicToByteCode("\u0628\u0650\u0633\u06E1\u0645\u0650 "
                                        "\u0671\u0644\u0644\u0651\u064E\u0647\u0650",
                                        &letters),
              "\xC8\xD3\xE3 \xC7\xE1\xE1\xE5");
    EXPECT_EQ(letters, (std::vector<int>{0, 2, 4, -1, 7, 8, 9, 12}));
    // A sign standing alone, a leading sign and a trailing one: the blanks they leave
    // behind go, and the letters keep their places in the whole text.
    EXPECT_EQ(textres::arabicToByteCode("\u06DE\u0644\u0627 \u06D6 \u0641\u064A \u06E9", &letters),
              "\xE1\xC7 \xDD\xED");
    EXPECT_EQ(letters, (std::vector<int>{1, 2, -1, 6, 7}));
    // A thin space that parts words is a blank; one inside a word is no byte.
    EXPECT_EQ(
        textres::arabicToByteCode("\u0628\u2009\u0628 \u0631\u064E\u2009\u0670\u062A", &letters),
        "\xC8 \xC8 \xD1\xCA");
    EXPECT_EQ(letters, (std::vector<int>{0, -1, 2, -1, 4, 8}));
}

TEST(ArabicConversion, RefusesCharactersTheByteCodeCannotCarry) {
    for (const char* text : {"\u0628 A", "\u0628\u06F1", "\u06D6 \u06E9", "\u0628\xFF"}) {
        EXPECT_THROW(textres::arabicToByteCode(text), textres::NormaliseError) << text;
    }
    try {
        textres::arabicToByteCode("\u0628\u0660");
        FAIL();
    } catch (const textres::NormaliseError& e) {
        EXPECT_NE(std::string(e.what()).find("U+0660"), std::string::npos) << e.what();
    }
}

TEST(TranslationConversion, FoldsToAsciiAndDropsFootnoteMarkers) {
    EXPECT_EQ(textres::normaliseTranslation("Alif L\u0101m M\u012Bm, mu\u1E25kam\u0101t,111) "
                                            "Sabtu468)hanya (nama)mu914) bagimu"),
              "Alif Lam Mim, muhkamat, Sabtu hanya (nama)mu bagimu");
    EXPECT_EQ(textres::normaliseTranslation("pertang\u00AD\u00ADgung \u2018Bolehkah\u2019 "
                                            "orang\u2013orang \u201Cya\u201D tartil\u00B3 (x)"),
              "pertanggung 'Bolehkah' orang-orang \"ya\" tartil (x)");
    // Blanks left by markers collapse, line breaks and tabs become blanks, ends are trimmed;
    // numbers in parentheses stay.
    EXPECT_EQ(textres::normaliseTranslation(" Ibrahim 45) itu\r\n\tayat (2) berdiri488)) x "),
              "Ibrahim itu ayat (2) berdiri) x");
}

TEST(TranslationConversion, RefusesUnmappableOrEmptyText) {
    EXPECT_THROW(textres::normaliseTranslation("abc \u0628"), textres::NormaliseError);
    EXPECT_THROW(textres::normaliseTranslation("12) "), textres::NormaliseError);
    EXPECT_THROW(textres::normaliseTranslation("abc \xC3"), textres::NormaliseError);
    EXPECT_THROW(textres::normaliseTranslation(std::string("a\0b", 3)), textres::NormaliseError);
}

TEST(SurahNameConversion, ReadsHyphensAsBlanksAndTypographicApostrophes) {
    EXPECT_EQ(textres::normaliseSurahName("Al-Fatihah"), "Al Fatihah");
    EXPECT_EQ(textres::normaliseSurahName("Al-\u2019Alaq"), "Al 'Alaq");
    EXPECT_EQ(textres::normaliseSurahName("\u1E62\u0101d"), "Sad");
    EXPECT_THROW(textres::normaliseSurahName("Al-Baqarah 2"), textres::NormaliseError);
}

// ---- timing -----------------------------------------------------------------

TEST(RecitationTimingModel, FillsFilesOfAtMost600SecondsInReadingOrder) {
    // Surah 1: three ayat of 1, 17 and 80 letters; surah 2: 400 ayat of 120 letters.
    const textres::TimingTable t = textres::modelTiming({{1, 17, 80}, std::vector<int>(400, 120)});
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0][0].startMs, 0);
    EXPECT_EQ(t[0][0].endMs, 2000); // the minimum length
    EXPECT_EQ(t[0][1].endMs, 5000); // 17 letters: 3 s
    EXPECT_EQ(t[0][2].endMs, 15000);
    EXPECT_EQ(t[0][2].file, "1_1.mp3");
    // 15 s an ayah: 40 ayat fill a file of 600 s, the 41st opens part 2.
    EXPECT_EQ(t[1][39].endMs, 600000);
    EXPECT_EQ(t[1][39].file, "2_1.mp3");
    EXPECT_EQ(t[1][40].startMs, 0);
    EXPECT_EQ(t[1][40].file, "2_2.mp3");
    EXPECT_EQ(t[1][399].file, "2_10.mp3");
    // More than 20 files for one surah cannot be written.
    EXPECT_THROW(textres::modelTiming({std::vector<int>(900, 120)}), textres::TimingError);
}

TEST(RecitationTimingCsv, AcceptsEveryAyahOnceAndWidensToWholeSeconds) {
    const textres::TimingTable t = textres::parseTimingCsv(
        "\xEF\xBB\xBFsurah,ayah,file,start_ms,end_ms\r\n2,1,2_1.mp3,0,1000\r\n"
        "1,2,1_1.mp3,4500,9200\r\n1,1,\"1_1.mp3\",0,4500\r\n\r\n",
        {2, 1});
    EXPECT_EQ(t[0][0].endMs, 5000);
    EXPECT_EQ(t[0][1].startMs, 4000);
    EXPECT_EQ(t[0][1].endMs, 10000);
    EXPECT_EQ(t[0][0].file, "1_1.mp3");
    EXPECT_EQ(t[1][0].file, "2_1.mp3");
}

TEST(RecitationTimingCsv, RejectsMissingRepeatedOrMalformedRecords) {
    const std::string header = "surah,ayah,file,start_ms,end_ms\n";
    const std::string ok = "1,1,1_1.mp3,0,1000\n";
    for (const std::string& bad : {
             header,                                                // ayah missing
             header + ok + ok,                                      // ayah twice
             header + "1,2,1_1.mp3,0,1000\n",                       // ayah beyond the count
             header + "2,1,2_1.mp3,0,1000\n",                       // surah beyond the list
             header + "1,1,2_1.mp3,0,1000\n",                       // file of another surah
             header + "1,1,1_21.mp3,0,1000\n",                      // part beyond 20
             header + "1,1,1_01.mp3,0,1000\n",                      // not the file name form
             header + "1,1,1_1.mp3,5000,1000\n",                    // end before start
             header + "1,1,1_1.mp3,0,608000\n",                     // beyond the longest file
             header + "1,1,1_1.mp3,-1,1000\n",                      // negative
             header + "1,1,1_1.mp3,0\n",                            // field missing
             std::string("surah,ayah,start_ms,file,end_ms\n") + ok, // wrong header
         })
        EXPECT_THROW(textres::parseTimingCsv(bad, {1}), textres::TimingError) << bad;
}

} // namespace
