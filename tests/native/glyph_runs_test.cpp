// The glyph runs file: what is written reads back glyph for glyph, and a damaged file is
// refused whole.
#include "picture/glyph_runs.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every surah with (surah % 3) + 1 ayat; each ayah two lines, glyphs placed left and right
// of the picture's edge and above and below their baseline.
GlyphRunsContent madeUp() {
    GlyphRunsContent content;
    content.emPixels = 34;
    content.fontBytes = 147000;
    content.fontChecksum = 0xA1B2C3D4u;
    for (int s = 1; s <= kGlyphRunsSurahs; ++s) {
        std::vector<AyahRuns> ayat;
        for (int a = 1; a <= s % 3 + 1; ++a) {
            AyahRuns ayah;
            ayah.width = 100 + s;
            ayah.height = 50 + a;
            for (int l = 0; l < 2; ++l) {
                RunLine line;
                line.baseline = (40 + 68 * l) * 64;
                for (int g = 0; g < 3 + a; ++g) {
                    RunGlyph glyph;
                    glyph.glyph = static_cast<std::uint16_t>(s * 10 + g);
                    glyph.x = -64 + 700 * g;
                    glyph.y = line.baseline + (g % 2 ? -900 : 300);
                    glyph.letter = g == 0 ? kNoLetter : static_cast<std::uint16_t>(g + l * 7);
                    glyph.word = g == 0 ? kNoWord : static_cast<std::uint8_t>(l);
                    glyph.rule = static_cast<std::uint8_t>(g % 4);
                    line.glyphs.push_back(glyph);
                }
                ayah.lines.push_back(line);
            }
            ayah.textLetters = {1, 2, kNoLetter, static_cast<std::uint16_t>(7 + a)};
            ayah.formLetters = {1, 1, static_cast<std::uint16_t>(2 + s)};
            ayat.push_back(ayah);
        }
        content.surahs.push_back(ayat);
    }
    return content;
}

std::vector<std::uint8_t> madeUpFile() {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(writeGlyphRuns(madeUp(), bytes));
    return bytes;
}

// Puts the checksums right again after a change, so that the structure is what the reader
// has to refuse.
void resign(std::vector<std::uint8_t>& bytes) {
    signGlyphRuns(bytes);
}

void expectSameRuns(const AyahRuns& got, const AyahRuns& want) {
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    ASSERT_EQ(got.lines.size(), want.lines.size());
    for (std::size_t l = 0; l < want.lines.size(); ++l) {
        EXPECT_EQ(got.lines[l].baseline, want.lines[l].baseline);
        ASSERT_EQ(got.lines[l].glyphs.size(), want.lines[l].glyphs.size());
        for (std::size_t g = 0; g < want.lines[l].glyphs.size(); ++g) {
            const RunGlyph &a = got.lines[l].glyphs[g], &b = want.lines[l].glyphs[g];
            EXPECT_EQ(a.glyph, b.glyph);
            EXPECT_EQ(a.x, b.x);
            EXPECT_EQ(a.y, b.y);
            EXPECT_EQ(a.letter, b.letter);
            EXPECT_EQ(a.word, b.word);
            EXPECT_EQ(a.rule, b.rule);
        }
    }
    EXPECT_EQ(got.textLetters, want.textLetters);
    EXPECT_EQ(got.formLetters, want.formLetters);
}

} // namespace

TEST(GlyphRuns, EveryAyahReadsBackAsWrittenWithTheFontItNames) {
    const GlyphRunsContent content = madeUp();
    GlyphRunsFile file;
    ASSERT_TRUE(file.load(madeUpFile()));
    EXPECT_EQ(file.emPixels(), 34);
    EXPECT_EQ(file.fontBytes(), 147000u);
    EXPECT_EQ(file.fontChecksum(), 0xA1B2C3D4u);
    for (int s = 1; s <= kGlyphRunsSurahs; ++s) {
        ASSERT_EQ(file.ayahCount(s), s % 3 + 1);
        for (int a = 1; a <= file.ayahCount(s); ++a)
            expectSameRuns(file.ayah(s, a), content.surahs[s - 1][a - 1]);
    }
    EXPECT_TRUE(file.ayah(1, 3).empty());
    EXPECT_TRUE(file.ayah(0, 1).empty());
    EXPECT_TRUE(file.ayah(115, 1).empty());
    EXPECT_TRUE(file.ayah(2, 0).empty());
    EXPECT_EQ(file.ayahCount(115), 0);
}

TEST(GlyphRuns, ContentTheFormatCannotHoldIsNotWritten) {
    std::vector<std::uint8_t> bytes;
    GlyphRunsContent tooFew = madeUp();
    tooFew.surahs.pop_back();
    EXPECT_FALSE(writeGlyphRuns(tooFew, bytes));
    GlyphRunsContent farMark = madeUp();
    farMark.surahs[0][0].lines[0].glyphs[0].y += 40000; // beyond 16 bits from the baseline
    EXPECT_FALSE(writeGlyphRuns(farMark, bytes));
    GlyphRunsContent farGlyph = madeUp();
    farGlyph.surahs[0][0].lines[0].glyphs[1].x = 1 << 30;
    EXPECT_FALSE(writeGlyphRuns(farGlyph, bytes));
    GlyphRunsContent noLines = madeUp();
    noLines.surahs[5][0].lines.clear();
    EXPECT_FALSE(writeGlyphRuns(noLines, bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(GlyphRuns, ATruncatedOrAlteredFileIsRefusedWhole) {
    const std::vector<std::uint8_t> good = madeUpFile();
    GlyphRunsFile file;
    for (std::size_t size :
         {std::size_t{0}, std::size_t{31}, std::size_t{32}, good.size() / 2, good.size() - 1}) {
        EXPECT_FALSE(file.load({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)}))
            << size;
        EXPECT_FALSE(file.loaded());
        EXPECT_TRUE(file.ayah(1, 1).empty());
    }
    std::vector<std::uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(file.load(longer));
    // A flipped bit anywhere: the magic, the version, the sizes or the tables refuse the
    // file; one in a record leaves that ayah without runs.
    for (std::size_t at = 0; at < good.size(); at += 97) {
        std::vector<std::uint8_t> bad = good;
        bad[at] ^= 0x10;
        if (!file.load(bad)) continue;
        int unread = 0;
        for (int s = 1; s <= kGlyphRunsSurahs; ++s)
            for (int a = 1; a <= file.ayahCount(s); ++a)
                unread += file.ayah(s, a).empty();
        EXPECT_EQ(unread, 1) << at;
    }
}

TEST(GlyphRuns, ATableOrRecordThatDoesNotAddUpIsRefusedEvenWithAMatchingChecksum) {
    const std::vector<std::uint8_t> good = madeUpFile();
    GlyphRunsFile file;
    const std::size_t payload = kGlyphRunsHeaderBytes;
    const std::size_t offsets = payload + 2 * kGlyphRunsSurahs;
    auto refused = [&](std::vector<std::uint8_t> bad) {
        resign(bad);
        return !file.load(bad);
    };
    // A record is read when its ayah is asked for: a bad one gives no runs, and only its own.
    auto unread = [&](std::vector<std::uint8_t> bad, int surah, int ayah) {
        resign(bad);
        return file.load(bad) && file.ayah(surah, ayah).empty() && !file.ayah(3, 1).empty();
    };
    std::vector<std::uint8_t> bad = good;
    bad[payload] = 0; // surah 1 holds no ayah: the counts no longer add up
    bad[payload + 1] = 0;
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[payload + 2] += 1; // one ayah more in surah 2 than the header's count
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[offsets + 8 * 3] += 2; // 2:2 moved into the record of 2:1
    EXPECT_TRUE(unread(bad, 2, 1));
    EXPECT_TRUE(file.ayah(2, 2).empty());
    bad = good;
    bad[offsets + 8 * 3] = 0; // 2:2 before 2:1
    bad[offsets + 8 * 3 + 1] = 0;
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[offsets + 8 * 5 + 3] = 0x7F; // an ayah beyond the end of the file
    EXPECT_TRUE(refused(bad));
    // The first record of the made-up file, number by number: width, height, line count
    // (bytes 0-2), the first line's baseline step (3-4) and glyph count (5), its first glyph
    // (6-13: glyph, x, y over two bytes, no letter, no word, rule), the second glyph's
    // letter (20).
    const std::size_t first = payload + (good[offsets] | good[offsets + 1] << 8);
    ASSERT_EQ(good[first + 2], 2);
    ASSERT_EQ(good[first + 5], 4);
    bad = good;
    bad[first + 2] = 3; // a line more than the record holds
    EXPECT_TRUE(unread(bad, 1, 1));
    bad = good;
    bad[first + 5] = 0x7F; // more glyphs than the record holds
    EXPECT_TRUE(unread(bad, 1, 1));
    bad = good;
    bad[first + 13] = kGlyphRunsRuleLimit;
    EXPECT_TRUE(unread(bad, 1, 1));
    bad = good;
    bad[first + 20] = 4; // a letter two before the first one
    EXPECT_TRUE(unread(bad, 1, 1));
    bad = good;
    bad[first + 3] = 0xFF; // a number that never ends within five bytes
    bad[first + 4] = 0xFF;
    for (int i = 5; i < 8; ++i)
        bad[first + i] = 0xFF;
    EXPECT_TRUE(unread(bad, 1, 1));
    // The byte counts of the text and of the form (at the record's end, before their four
    // and three letters of a byte each) one more than the record holds.
    const std::size_t second = payload + (good[offsets + 8] | good[offsets + 9] << 8);
    bad = good;
    bad[second - 3 - 1 - 4 - 1] += 1;
    EXPECT_TRUE(unread(bad, 1, 1));
    bad = good;
    bad[second - 3 - 1] += 1;
    EXPECT_TRUE(unread(bad, 1, 1));
    bad = good;
    bad[first] = 0; // a picture without width
    EXPECT_TRUE(unread(bad, 1, 1));
    // The unchanged file, signed again, still loads: the refusals above are the changes'.
    EXPECT_FALSE(refused(good));
    EXPECT_FALSE(file.ayah(1, 1).empty());
}

namespace {

// The runs of بِسۡمِ ٱللَّهِ as the font shapes them: each glyph names the first code point of
// its cluster; here ٱ and the two lams make one ligature (cluster 7..9), the shadda and the
// fatha glyphs have clusters of their own, and the end-of-ayah sign names none.
AyahRuns bismillah() {
    AyahRuns runs;
    runs.width = 200;
    runs.height = 60;
    RunLine line;
    for (std::uint16_t letter :
         {kNoLetter, std::uint16_t{13}, std::uint16_t{12}, std::uint16_t{11}, std::uint16_t{10},
          std::uint16_t{7}, std::uint16_t{5}, std::uint16_t{4}, std::uint16_t{3}, std::uint16_t{2},
          std::uint16_t{1}, std::uint16_t{0}}) {
        RunGlyph glyph;
        glyph.letter = letter;
        line.glyphs.push_back(glyph);
    }
    runs.lines.push_back(line);
    runs.textLetters = {0, 2, 4, kNoLetter, 7, 8, 9, 12}; // بسم الله
    return runs;
}

std::vector<std::size_t> marked(const std::vector<bool>& letters) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < letters.size(); ++i)
        if (letters[i]) out.push_back(i);
    return out;
}

} // namespace

TEST(GlyphRuns, MatchedBytesMarkTheClustersOfTheirLettersAndNotTheMarks) {
    const AyahRuns runs = bismillah();
    // الله: the ligature's cluster and the ha; not the shadda or fatha between them.
    EXPECT_EQ(
        marked(lettersOfTextBytes(runs, {false, false, false, false, true, true, true, true})),
        (std::vector<std::size_t>{7, 12}));
    // The second lam alone lies inside the ligature: the ligature is marked.
    EXPECT_EQ(
        marked(lettersOfTextBytes(runs, {false, false, false, false, false, false, true, false})),
        (std::vector<std::size_t>{7}));
    // The blank between the words marks nothing; the sin and mim their own glyphs.
    EXPECT_EQ(
        marked(lettersOfTextBytes(runs, {false, true, true, true, false, false, false, false})),
        (std::vector<std::size_t>{2, 4}));
    EXPECT_TRUE(
        lettersOfTextBytes(runs, {false, false, false, true, false, false, false, false}).empty());
    EXPECT_TRUE(lettersOfTextBytes(runs, std::vector<bool>(8, false)).empty());
    // Runs made from another text than the one searched mark nothing.
    EXPECT_TRUE(lettersOfTextBytes(runs, std::vector<bool>(9, true)).empty());
    EXPECT_TRUE(lettersOfTextBytes(AyahRuns{}, {}).empty());
}
