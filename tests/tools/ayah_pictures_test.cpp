// Tests of the ayah picture generator: line breaking, the palette and GIF layout, ayat drawn
// in the real font, and the generator program on made-up input.
#include "ayah_picture.h"
#include "tajwid/tajwid_legend.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;
using namespace ayahpics;

namespace {

// A decoded GIF, read back with giflib.
struct Decoded {
    std::string version;
    int width = 0;
    int height = 0;
    std::vector<Rgb> colours;
    int codeSize = 0;
    std::vector<std::uint8_t> pixels;
};

struct MemoryReader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at;
};

int readFromMemory(GifFileType* gif, GifByteType* out, int length) {
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(length, reader->bytes->size() - reader->at);
    std::memcpy(out, reader->bytes->data() + reader->at, n);
    reader->at += n;
    return static_cast<int>(n);
}

bool decode(const std::vector<std::uint8_t>& gif, Decoded& out) {
    MemoryReader reader{&gif, 0};
    int error = 0;
    GifFileType* file = DGifOpen(&reader, readFromMemory, &error);
    if (file == nullptr) return false;
    const bool ok = DGifSlurp(file) == GIF_OK && file->ImageCount == 1 && file->SColorMap;
    if (ok) {
        out.version.assign(reinterpret_cast<const char*>(gif.data()), 6);
        out.width = file->SWidth;
        out.height = file->SHeight;
        for (int i = 0; i < file->SColorMap->ColorCount; ++i) {
            const GifColorType& c = file->SColorMap->Colors[i];
            out.colours.push_back({c.Red, c.Green, c.Blue});
        }
        const SavedImage& image = file->SavedImages[0];
        out.pixels.assign(image.RasterBits,
                          image.RasterBits + image.ImageDesc.Width * image.ImageDesc.Height);
        // The LZW code size is the byte after the 13-byte header, the colour table (48 bytes
        // for 16 colours) and the 10-byte image descriptor (no extension blocks come first).
        const std::size_t at = 13 + 3 * out.colours.size() + 10;
        out.codeSize = gif.size() > at ? gif[at] : -1;
    }
    DGifCloseFile(file, &error);
    return ok;
}

IndexedPicture checkerboard(int width, int height) {
    IndexedPicture p;
    p.width = width;
    p.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels.push_back(static_cast<std::uint8_t>((x + 3 * y) % 16));
    return p;
}

const nlohmann::json& quranText() {
    static const nlohmann::json text = [] {
        std::ifstream in(QURAN_JSON, std::ios::binary);
        return nlohmann::json::parse(in);
    }();
    return text;
}

std::string ayahText(int surah, int ayah) {
    return quranText()[surah - 1]["verses"][ayah - 1]["text"].get<std::string>();
}

bool rowBlank(const IndexedPicture& p, int y) {
    const auto* row = p.pixels.data() + static_cast<std::size_t>(y) * p.width;
    return std::all_of(row, row + p.width, [](std::uint8_t v) { return v == 0; });
}

bool columnBlank(const IndexedPicture& p, int x) {
    for (int y = 0; y < p.height; ++y)
        if (p.pixels[static_cast<std::size_t>(y) * p.width + x] != 0) return false;
    return true;
}

} // namespace

TEST(AyahLineBreaking, FillsEachLineGreedilyUpToTheWidthAndGivesAnOversizedWordItsOwnLine) {
    // Units of 100 with blanks of 10: 100+10+100+10+100 = 320 fits exactly in 320.
    EXPECT_EQ(breakLines({100, 100, 100, 100}, 10, 320), (std::vector<std::size_t>{3, 1}));
    EXPECT_EQ(breakLines({100, 100, 100, 100}, 10, 319), (std::vector<std::size_t>{2, 2}));
    EXPECT_EQ(breakLines({500, 100, 100}, 10, 320), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(breakLines({100, 500, 100}, 10, 320), (std::vector<std::size_t>{1, 1, 1}));
    EXPECT_EQ(breakLines({100}, 10, 50), (std::vector<std::size_t>{1}));
    EXPECT_TRUE(breakLines({}, 10, 320).empty());
}

TEST(AyahLineBreaking, SplitsOnlyAtPlainBlanksAndKeepsTheEndSignOnTheLastWord) {
    const std::string sign = ayahEndSign(12);
    EXPECT_EQ(breakUnits("  a  b c ", 12), (std::vector<std::string>{"a", "b", "c " + sign}));
    // A thin space (U+2009) inside a word is part of the word.
    const std::string thin = std::string(u8"x\u2009y");
    EXPECT_EQ(breakUnits(thin + " z", 3), (std::vector<std::string>{thin, "z " + ayahEndSign(3)}));
    EXPECT_EQ(breakUnits("", 5), (std::vector<std::string>{ayahEndSign(5)}));
}

TEST(AyahNumbers, AreWrittenInArabicIndicDigitsMostSignificantFirst) {
    EXPECT_EQ(arabicIndicDigits(1), std::string(u8"\u0661"));
    EXPECT_EQ(arabicIndicDigits(109), std::string(u8"\u0661\u0660\u0669"));
    EXPECT_EQ(arabicIndicDigits(286), std::string(u8"\u0662\u0668\u0666"));
    EXPECT_EQ(arabicIndicDigits(0), "");
    EXPECT_EQ(arabicIndicDigits(-4), "");
    EXPECT_EQ(ayahEndSign(7), std::string(u8"\u06DD\u0667"));
}

TEST(OpenTanween, MovesTheThreeOldCodePointsToTheOpenTanweenMarksAndLeavesTheRest) {
    EXPECT_EQ(withOpenTanween(std::string(u8"\u0633\u0657\u0627 \u0629\u065E \u0645\u0656")),
              std::string(u8"\u0633\u08F0\u0627 \u0629\u08F1 \u0645\u08F2"));
    const std::string untouched = std::string(u8"\u064B\u064C\u064D\u0655\u0658\u065C abc");
    EXPECT_EQ(withOpenTanween(untouched), untouched);
    // A text cut after a lead byte is copied, not read past its end.
    EXPECT_EQ(withOpenTanween("a\xD9"), "a\xD9");
}

TEST(InkPalette, RunsFromWhitePaperToDarkInkAndMapsCoverageToTheNearestStep) {
    const auto palette = inkPalette();
    EXPECT_EQ(palette[0].r + palette[0].g + palette[0].b, 3 * 255);
    EXPECT_EQ(palette[15].r, kInk.r);
    EXPECT_EQ(palette[15].b, kInk.b);
    for (int i = 1; i < kPaletteSize; ++i)
        EXPECT_LT(palette[i].g, palette[i - 1].g) << i;
    EXPECT_EQ(coverageToIndex(0), 0);
    EXPECT_EQ(coverageToIndex(8), 0); // below half a step stays paper
    EXPECT_EQ(coverageToIndex(9), 1);
    EXPECT_EQ(coverageToIndex(128), 8);
    EXPECT_EQ(coverageToIndex(255), 15);
}

TEST(GifEncoding, WritesA16ColourGif89aWithCodeSize4ThatDecodesToTheSamePixels) {
    const IndexedPicture picture = checkerboard(37, 5); // odd width, every index used
    std::vector<std::uint8_t> gif;
    std::string error;
    ASSERT_TRUE(encodeGif(picture, gif, error)) << error;
    Decoded d;
    ASSERT_TRUE(decode(gif, d));
    EXPECT_EQ(d.version, "GIF89a");
    EXPECT_EQ(d.width, 37);
    EXPECT_EQ(d.height, 5);
    EXPECT_EQ(d.codeSize, 4);
    ASSERT_EQ(d.colours.size(), 16u);
    const auto palette = inkPalette();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(d.colours[i].r, palette[i].r);
        EXPECT_EQ(d.colours[i].g, palette[i].g);
        EXPECT_EQ(d.colours[i].b, palette[i].b);
    }
    EXPECT_EQ(d.pixels, picture.pixels);

    std::vector<std::uint8_t> again;
    ASSERT_TRUE(encodeGif(picture, again, error));
    EXPECT_EQ(again, gif);
}

TEST(GifEncoding, FewerGreyLevelsGiveASmallerColourTableAndCodeSize) {
    // 3 levels: a table of 4 (the ink repeated), code size 2; 8 levels: 8 entries, size 3.
    for (auto [levels, tableSize, codeSize] :
         {std::tuple{3, 4, 2}, {4, 4, 2}, {8, 8, 3}, {2, 2, 2}}) {
        SCOPED_TRACE(levels);
        IndexedPicture picture = checkerboard(23, 7);
        for (std::uint8_t& v : picture.pixels)
            v = static_cast<std::uint8_t>(v % levels);
        const std::vector<Rgb> ramp = inkRamp(levels);
        ASSERT_EQ(ramp.size(), static_cast<std::size_t>(levels));
        EXPECT_EQ(ramp.front().g, kPaper.g);
        EXPECT_EQ(ramp.back().g, kInk.g);
        std::vector<std::uint8_t> gif;
        std::string error;
        ASSERT_TRUE(encodeGif(picture, ramp, gif, error)) << error;
        Decoded d;
        ASSERT_TRUE(decode(gif, d));
        EXPECT_EQ(d.codeSize, codeSize);
        ASSERT_EQ(d.colours.size(), static_cast<std::size_t>(tableSize));
        EXPECT_EQ(d.colours.back().g, kInk.g);
        EXPECT_EQ(d.pixels, picture.pixels);
        // A pixel past the levels is refused.
        picture.pixels[3] = static_cast<std::uint8_t>(levels);
        EXPECT_FALSE(encodeGif(picture, ramp, gif, error));
    }
    EXPECT_EQ(coverageToLevel(0, 3), 0);
    EXPECT_EQ(coverageToLevel(63, 3), 0);
    EXPECT_EQ(coverageToLevel(64, 3), 1);
    EXPECT_EQ(coverageToLevel(191, 3), 1);
    EXPECT_EQ(coverageToLevel(192, 3), 2);
    // Sixteen levels are the 1x pictures' palette and mapping exactly.
    const std::vector<Rgb> sixteen = inkRamp(16);
    for (int i = 0; i < kPaletteSize; ++i) {
        EXPECT_EQ(sixteen[i].r, inkPalette()[i].r);
        EXPECT_EQ(sixteen[i].b, inkPalette()[i].b);
    }
    for (int c = 0; c < 256; ++c)
        ASSERT_EQ(coverageToLevel(static_cast<std::uint8_t>(c), 16),
                  coverageToIndex(static_cast<std::uint8_t>(c)));
}

TEST(GifEncoding, RefusesPicturesItCannotWriteFaithfully) {
    std::vector<std::uint8_t> gif{1, 2, 3};
    std::string error;
    IndexedPicture outside = checkerboard(4, 4);
    outside.pixels[5] = 16;
    EXPECT_FALSE(encodeGif(outside, gif, error));
    EXPECT_TRUE(gif.empty());
    IndexedPicture short_ = checkerboard(4, 4);
    short_.pixels.pop_back();
    EXPECT_FALSE(encodeGif(short_, gif, error));
    EXPECT_FALSE(encodeGif(IndexedPicture{}, gif, error));
    IndexedPicture tooWide;
    tooWide.width = 70000;
    tooWide.height = 1;
    tooWide.pixels.assign(70000, 0);
    EXPECT_FALSE(encodeGif(tooWide, gif, error));
}

class AyahRendering : public ::testing::Test {
  protected:
    PictureStyle style;
    AyahRenderer renderer{AMIRI_QURAN_FONT, style};
};

TEST_F(AyahRendering, EveryAyahOfTheTextHasAGlyphForEveryCharacter) {
    int ayat = 0;
    for (const auto& surah : quranText()) {
        for (const auto& verse : surah["verses"]) {
            const std::string text = withOpenTanween(verse["text"].get<std::string>());
            EXPECT_NO_THROW(renderer.shapedWidth(text + " " + ayahEndSign(verse["id"].get<int>())))
                << surah["id"] << ":" << verse["id"];
            ++ayat;
        }
    }
    EXPECT_EQ(ayat, 6236);
}

TEST_F(AyahRendering, TheFontDrawsTheNumberInsideTheEndSign) {
    // The font gives the digits no advance of their own and moves them into the sign. Set
    // beside the sign instead, they would widen the ink; inside, the picture of a numbered
    // sign is as wide as that of the bare sign (number 0 writes no digits).
    const IndexedPicture bare = renderer.render("", 0);
    ASSERT_GT(bare.width, 2 * style.margin + 10);
    for (int n : {1, 72, 255, 286}) {
        const IndexedPicture numbered = renderer.render("", n);
        EXPECT_NEAR(numbered.width, bare.width, 2) << n;
        EXPECT_NEAR(numbered.height, bare.height, 2) << n;
        EXPECT_NE(numbered.pixels, bare.pixels) << n;
    }
}

TEST_F(AyahRendering, LongAndShortAyatKeepAMarginOfPaperAndStayNarrowEnoughForTheView) {
    const std::pair<int, int> sample[] = {{1, 1},  {1, 7},    {2, 1},   {2, 255}, {2, 282},
                                          {18, 1}, {18, 109}, {112, 1}, {112, 4}, {20, 1}};
    for (auto [surah, ayah] : sample) {
        SCOPED_TRACE(std::to_string(surah) + ":" + std::to_string(ayah));
        const IndexedPicture p = renderer.render(ayahText(surah, ayah), ayah);
        ASSERT_EQ(p.pixels.size(), static_cast<std::size_t>(p.width) * p.height);
        // Nothing is cut: the margin is paper on all four sides, and the ink reaches it.
        for (int i = 0; i < style.margin; ++i) {
            EXPECT_TRUE(rowBlank(p, i));
            EXPECT_TRUE(rowBlank(p, p.height - 1 - i));
            EXPECT_TRUE(columnBlank(p, i));
            EXPECT_TRUE(columnBlank(p, p.width - 1 - i));
        }
        // Coverage too faint for the palette can leave a row or column of paper more.
        const int inner = style.margin + 2;
        bool inkNearEdge[4] = {};
        for (int i = style.margin; i < inner; ++i) {
            inkNearEdge[0] |= !rowBlank(p, i);
            inkNearEdge[1] |= !rowBlank(p, p.height - 1 - i);
            inkNearEdge[2] |= !columnBlank(p, i);
            inkNearEdge[3] |= !columnBlank(p, p.width - 1 - i);
        }
        for (bool edge : inkNearEdge)
            EXPECT_TRUE(edge);
        EXPECT_LE(p.width, style.maxLineWidth + 2 * style.margin + 40);
        EXPECT_GE(p.height, style.fontPixels);
        // Anti-aliasing survives: more than paper and full ink are used.
        std::vector<bool> used(kPaletteSize);
        for (std::uint8_t v : p.pixels)
            used[v] = true;
        EXPECT_GE(std::count(used.begin(), used.end(), true), 8);
    }
}

TEST_F(AyahRendering, TheDoubleStyleDrawsTheSameLinesAtTwiceTheSizeInItsGreyLevels) {
    PictureStyle twice = scaledStyle(style, 2.0);
    EXPECT_EQ(twice.fontPixels, 2 * style.fontPixels);
    EXPECT_EQ(twice.maxLineWidth, 2 * style.maxLineWidth);
    EXPECT_EQ(twice.margin, 2 * style.margin);
    twice.greyLevels = 3;
    AyahRenderer large(AMIRI_QURAN_FONT, twice);
    for (auto [surah, ayah] : {std::pair{2, 255}, {112, 1}}) {
        SCOPED_TRACE(std::to_string(surah) + ":" + std::to_string(ayah));
        const IndexedPicture small = renderer.render(ayahText(surah, ayah), ayah);
        const IndexedPicture big = large.render(ayahText(surah, ayah), ayah);
        EXPECT_NEAR(big.width, 2 * small.width, 0.03 * small.width);
        EXPECT_NEAR(big.height, 2 * small.height, 0.03 * small.height);
        std::vector<int> used(kPaletteSize);
        for (std::uint8_t v : big.pixels)
            ++used[v];
        EXPECT_GT(used[0], 0);
        EXPECT_GT(used[1], 0);
        EXPECT_GT(used[2], 0);
        EXPECT_EQ(std::count(used.begin() + 3, used.end(), 0), kPaletteSize - 3);
    }
}

TEST_F(AyahRendering, ALongAyahIsBrokenIntoLinesAndAShortLastLineIsRightAligned) {
    const IndexedPicture longest = renderer.render(ayahText(2, 282), 282);
    EXPECT_GT(longest.height, 15 * style.linePitch);
    EXPECT_LE(longest.width, style.maxLineWidth + 2 * style.margin + 40);

    // 1:7 ends with one word and the sign on a line of their own: in the rows of that line the
    // ink starts at the right margin and the left half of the picture stays blank.
    const IndexedPicture p = renderer.render(ayahText(1, 7), 7);
    int leftmost = p.width, rightmost = -1;
    for (int y = p.height - style.margin - style.linePitch / 2; y < p.height - style.margin; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (p.pixels[static_cast<std::size_t>(y) * p.width + x] == 0) continue;
            leftmost = std::min(leftmost, x);
            rightmost = std::max(rightmost, x);
        }
    }
    EXPECT_GT(rightmost, p.width - style.margin - 12);
    EXPECT_GT(leftmost, p.width / 2);
}

TEST_F(AyahRendering, RunsPlaceTheGlyphsInThePictureAndNameTheirLetterWordAndRule) {
    const std::string text = ayahText(112, 1); // qul huwa Allahu ahad
    AyahRuns runs;
    const IndexedPicture p = renderer.render(text, 1, &runs);
    EXPECT_EQ(runs.width, p.width);
    EXPECT_EQ(runs.height, p.height);
    ASSERT_EQ(runs.lines.size(), 1u);
    const std::vector<tajwid::CodePoint> codePoints = tajwid::decodeUtf8(text);
    const std::vector<tajwid::Rule> rules = tajwid::classifyUtf8(text);
    // Word w holds the code points between its blanks.
    std::vector<int> wordOf;
    int word = 0;
    for (const tajwid::CodePoint& c : codePoints) {
        wordOf.push_back(c.value == U' ' ? -1 : word);
        if (c.value == U' ') ++word;
    }
    int signGlyphs = 0;
    std::vector<bool> drawn(codePoints.size(), false);
    for (const RunGlyph& g : runs.lines[0].glyphs) {
        // Origins inside the picture, at most an em from its edge.
        EXPECT_GT(g.x, -style.fontPixels * 64);
        EXPECT_LT(g.x, p.width * 64);
        EXPECT_GT(g.y, 0);
        EXPECT_LT(g.y, (p.height + style.fontPixels) * 64);
        if (g.letter == kNoLetter) {
            EXPECT_EQ(g.word, kNoWord);
            ++signGlyphs;
            continue;
        }
        ASSERT_LT(g.letter, codePoints.size());
        drawn[g.letter] = true;
        EXPECT_EQ(g.word, wordOf[g.letter]) << g.letter;
        if (rules[g.letter] != tajwid::Rule::None) {
            EXPECT_EQ(g.rule, static_cast<std::uint8_t>(rules[g.letter])) << g.letter;
        }
    }
    EXPECT_GE(signGlyphs, 2); // the sign and its digit
    // Every letter (not every mark: the font may join a mark into its letter) has a glyph.
    for (std::size_t c = 0; c < codePoints.size(); ++c)
        if (codePoints[c].value >= 0x0621 && codePoints[c].value <= 0x064A &&
            codePoints[c].value != 0x0644) { // lam may join alif or Allah's ligature
            EXPECT_TRUE(drawn[c]) << c;
        }
    const std::uint8_t kubra = static_cast<std::uint8_t>(tajwid::Rule::QalqalahKubra);
    EXPECT_TRUE(std::any_of(runs.lines[0].glyphs.begin(), runs.lines[0].glyphs.end(),
                            [&](const RunGlyph& g) { return g.rule == kubra; }));
}

// The generator program, on small made-up texts.
class AyahPictureGenerator : public ::testing::Test {
  protected:
    fs::path dir =
        fs::temp_directory_path() /
        ("ayah_pictures_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());

    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // 114 surahs of one or two short ayat each.
    static nlohmann::json smallQuran() {
        nlohmann::json root = nlohmann::json::array();
        for (int s = 1; s <= 114; ++s) {
            nlohmann::json verses = nlohmann::json::array();
            for (int a = 1; a <= (s % 2 ? 2 : 1); ++a)
                verses.push_back(
                    {{"id", a},
                     {"text", std::string(u8"\u0642\u064F\u0644\u06E1 \u0647\u064F\u0648\u064E")}});
            root.push_back({{"id", s}, {"verses", verses}});
        }
        return root;
    }

    int run(const nlohmann::json& text, const std::string& extra = "") {
        std::ofstream(dir / "quran.json") << text.dump();
        const std::string command = std::string(MAKE_AYAH_PICTURES) + " " +
                                    (dir / "quran.json").string() + " " + AMIRI_QURAN_FONT + " " +
                                    (dir / "gif").string() + " " + (dir / "stamp").string() +
                                    extra + " 2>/dev/null >/dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::vector<std::uint8_t> bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(AyahPictureGenerator, WritesEveryAyahAndTheStampAndTheSameBytesOnARerun) {
    ASSERT_EQ(run(smallQuran()), 0);
    EXPECT_TRUE(fs::exists(dir / "stamp"));
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "gif")) {
        if (entry.is_regular_file()) {
            ++files;
            EXPECT_EQ(entry.path().extension(), ".gif") << entry.path();
        }
    }
    EXPECT_EQ(files, 57 * 2 + 57);
    const auto first = bytes(dir / "gif" / "113" / "113_2.gif");
    Decoded d;
    ASSERT_TRUE(decode(first, d));
    EXPECT_EQ(d.version, "GIF89a");
    ASSERT_EQ(run(smallQuran()), 0);
    EXPECT_EQ(bytes(dir / "gif" / "113" / "113_2.gif"), first);
}

TEST_F(AyahPictureGenerator, WritesTheRunsOfEveryAyahBesideItsPicture) {
    ASSERT_EQ(run(smallQuran(), " --runs " + (dir / "runs.bin").string()), 0);
    GlyphRunsFile file;
    ASSERT_TRUE(file.load(bytes(dir / "runs.bin")));
    EXPECT_EQ(file.emPixels(), PictureStyle{}.fontPixels);
    const auto font = bytes(AMIRI_QURAN_FONT);
    EXPECT_EQ(file.fontBytes(), font.size());
    EXPECT_EQ(file.fontChecksum(), glyphRunsChecksum(font.data(), font.size()));
    for (int s : {1, 2, 113, 114}) {
        ASSERT_EQ(file.ayahCount(s), s % 2 ? 2 : 1);
        Decoded d;
        ASSERT_TRUE(decode(bytes(dir / "gif" / std::to_string(s) / (std::to_string(s) + "_1.gif")), d));
        const AyahRuns runs = file.ayah(s, 1);
        EXPECT_EQ(runs.width, d.width);
        EXPECT_EQ(runs.height, d.height);
    }
    // Runs only for the whole text at 1x.
    EXPECT_NE(run(smallQuran(), " --only 3 --runs " + (dir / "part.bin").string()), 0);
    EXPECT_FALSE(fs::exists(dir / "part.bin"));
}

TEST_F(AyahPictureGenerator, DrawsOnlyTheChosenAyahAndLeavesNoStampForAPartialRun) {
    ASSERT_EQ(run(smallQuran(), " --only 3:2"), 0);
    EXPECT_TRUE(fs::exists(dir / "gif" / "3" / "3_2.gif"));
    EXPECT_FALSE(fs::exists(dir / "gif" / "3" / "3_1.gif"));
    EXPECT_FALSE(fs::exists(dir / "stamp"));
    EXPECT_NE(run(smallQuran(), " --only 3:9"), 0); // no such ayah
    EXPECT_NE(run(smallQuran(), " --only 115"), 0);
}

TEST_F(AyahPictureGenerator, RefusesMalformedTextAndWritesNoStamp) {
    auto refused = [&](const nlohmann::json& text, const char* what) {
        EXPECT_NE(run(text), 0) << what;
        EXPECT_FALSE(fs::exists(dir / "stamp")) << what;
    };
    nlohmann::json text = smallQuran();
    text.erase(text.end() - 1);
    refused(text, "113 surahs");
    text = smallQuran();
    text[4]["id"] = 7;
    refused(text, "surah out of order");
    text = smallQuran();
    for (int a = 3; a <= 287; ++a)
        text[0]["verses"].push_back({{"id", a}, {"text", "x"}});
    refused(text, "287 verses");
    text = smallQuran();
    text[0]["verses"][1]["id"] = 3;
    refused(text, "verse out of order");
    text = smallQuran();
    text[0]["verses"][0]["text"] = 5;
    refused(text, "text not a string");
}

// The coloured pictures, read back from the GIFs the generator writes: every rule the engine
// finds in an ayah shows in its colour, no other colour shows, and the colours stand where
// their letters are (the text runs from right to left).
TEST_F(AyahPictureGenerator, TajwidPicturesShowEveryGlyphInTheColourOfItsRule) {
    ASSERT_EQ(run(quranText(), " --tajwid --only 112:1"), 0);
    ASSERT_EQ(run(quranText(), " --tajwid --only 111:5"), 0);
    ASSERT_EQ(run(quranText(), " --tajwid --only 2:10"), 0);
    const auto palette = tajwidPalette();
    struct Sample {
        int surah, ayah;
    };
    for (const Sample s : {Sample{112, 1}, Sample{111, 5}, Sample{2, 10}}) {
        const std::string name = std::to_string(s.surah) + "_" + std::to_string(s.ayah);
        Decoded d;
        ASSERT_TRUE(decode(bytes(dir / "gif" / std::to_string(s.surah) / (name + ".gif")), d))
            << name;
        ASSERT_EQ(d.colours.size(), palette.size());
        for (std::size_t i = 0; i < palette.size(); ++i)
            EXPECT_TRUE(d.colours[i].r == palette[i].r && d.colours[i].g == palette[i].g &&
                        d.colours[i].b == palette[i].b)
                << name << " colour " << i;
        std::vector<bool> expected(kPaletteSize, false), seen(kPaletteSize, false);
        for (std::uint8_t c : tajwidByteColours(withOpenTanween(ayahText(s.surah, s.ayah))))
            expected[c] = true;
        for (std::uint8_t p : d.pixels)
            seen[p] = true;
        for (int c = 1; c < kPaletteSize - 1; ++c) // paper and the soft edge aside
            EXPECT_EQ(seen[c], expected[c]) << name << " colour " << c;
    }

    // Leftmost and rightmost column of a colour in a one-line picture.
    auto columns = [](const Decoded& d, std::uint8_t colour) {
        std::pair<int, int> span{d.width, -1};
        for (int y = 0; y < d.height; ++y)
            for (int x = 0; x < d.width; ++x)
                if (d.pixels[static_cast<std::size_t>(y) * d.width + x] == colour)
                    span = {std::min(span.first, x), std::max(span.second, x)};
        return span;
    };
    // 112:1 qul huwa Allahu ahad: the strong echo of the last dal stands left of the silent
    // lam of Allah; 111:5: the dal of masad left of the light echo of the ba of hablun.
    const std::uint8_t kubra = tajwid::paletteIndex(tajwid::Rule::QalqalahKubra);
    Decoded ikhlas, masad;
    ASSERT_TRUE(decode(bytes(dir / "gif" / "112" / "112_1.gif"), ikhlas));
    ASSERT_TRUE(decode(bytes(dir / "gif" / "111" / "111_5.gif"), masad));
    EXPECT_LT(columns(ikhlas, kubra).second,
              columns(ikhlas, tajwid::paletteIndex(tajwid::Rule::LamSyamsiyah)).first);
    EXPECT_LT(columns(masad, kubra).second,
              columns(masad, tajwid::paletteIndex(tajwid::Rule::QalqalahSughra)).first);
    // The ghunnah of the two doubled mims lies between them.
    const auto ghunnah = columns(masad, tajwid::paletteIndex(tajwid::Rule::Ghunnah));
    EXPECT_LT(columns(masad, kubra).second, ghunnah.first);
    EXPECT_LT(ghunnah.second,
              columns(masad, tajwid::paletteIndex(tajwid::Rule::QalqalahSughra)).first);
}
