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

// Puts the payload's checksum right again after a change, so that the structure is what
// the reader has to refuse.
void resign(std::vector<std::uint8_t>& bytes) {
    const std::uint32_t sum = glyphRunsChecksum(bytes.data() + kGlyphRunsHeaderBytes,
                                                bytes.size() - kGlyphRunsHeaderBytes);
    for (int i = 0; i < 4; ++i)
        bytes[24 + i] = static_cast<std::uint8_t>(sum >> (8 * i));
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
    // A flipped bit anywhere: the magic, the version, the sizes or the checksummed payload.
    for (std::size_t at = 0; at < good.size(); at += 97) {
        std::vector<std::uint8_t> bad = good;
        bad[at] ^= 0x10;
        EXPECT_FALSE(file.load(bad)) << at;
    }
}

TEST(GlyphRuns, RecordsThatDoNotAddUpAreRefusedEvenWithAMatchingChecksum) {
    const std::vector<std::uint8_t> good = madeUpFile();
    GlyphRunsFile file;
    const std::size_t payload = kGlyphRunsHeaderBytes;
    const std::size_t offsets = payload + 2 * kGlyphRunsSurahs;
    auto refused = [&](std::vector<std::uint8_t> bad) {
        resign(bad);
        return !file.load(bad);
    };
    std::vector<std::uint8_t> bad = good;
    bad[payload] = 0; // surah 1 holds no ayah: the counts no longer add up
    bad[payload + 1] = 0;
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[payload + 2] += 1; // one ayah more in surah 2 than the header's count
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[offsets + 4 * 3] += 2; // an ayah moved into its neighbour's record
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[offsets + 4 * 5 + 3] = 0x7F; // an ayah beyond the end of the file
    EXPECT_TRUE(refused(bad));
    // The first record: its line count, its first line's glyph count, a glyph's rule.
    const std::size_t first = payload + (good[offsets] | good[offsets + 1] << 8);
    bad = good;
    bad[first + 4] = 3;
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[first + 6 + 4] = 0xFF;
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[first + 6 + 6 + 11] = kGlyphRunsRuleLimit;
    EXPECT_TRUE(refused(bad));
    bad = good;
    bad[first] = 0; // a picture without width
    bad[first + 1] = 0;
    EXPECT_TRUE(refused(bad));
    // The unchanged file, signed again, still loads: the refusals above are the changes'.
    EXPECT_FALSE(refused(good));
}
