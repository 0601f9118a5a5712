// The ayat drawn from the program's runs file and font: what the kept glyph drawings hold.
#include "picture/ayah_calligraphy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> distFile(const char* name) {
    std::ifstream in(std::string(NORAVEL_DIST_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool loadProgramCalligraphy(AyahCalligraphy& calligraphy) {
    return calligraphy.load(distFile("ayah_runs.bin"), distFile("AmiriQuran.ttf"));
}

std::vector<std::uint8_t> drawn(const AyahCalligraphy& calligraphy, int surah, int ayah,
                                double scale) {
    const AyahRuns runs = calligraphy.ayah(surah, ayah);
    int width = 0, height = 0;
    ayahPictureSize(runs, scale, width, height);
    return calligraphy.draw(runs, scale, GlyphInks{}, width, height).coverage();
}

TEST(AyahCalligraphy, KeptGlyphsStayWithinTheirMemoryAndDrawAlikeOnceForgotten) {
    constexpr double kScale = 4.0; // 400% at 96 DPI
    AyahCalligraphy unlimited, limited;
    ASSERT_TRUE(loadProgramCalligraphy(unlimited));
    ASSERT_TRUE(loadProgramCalligraphy(limited));
    constexpr std::size_t kLimit = std::size_t{512} << 10;
    limited.setKeptGlyphBytesLimit(kLimit);

    std::size_t mostHeld = 0;
    for (int ayah = 250; ayah <= 257; ++ayah) {
        const std::vector<std::uint8_t> expected = drawn(unlimited, 2, ayah, kScale);
        ASSERT_FALSE(expected.empty()) << ayah;
        EXPECT_EQ(drawn(limited, 2, ayah, kScale), expected) << "2:" << ayah;
        mostHeld = std::max(mostHeld, limited.keptGlyphBytes());
    }
    // Without the limit these ayat keep several times as much; with it, the memory goes
    // past the limit by one glyph's drawing at most (a few kilobytes at this scale).
    EXPECT_GT(unlimited.keptGlyphBytes(), 2 * kLimit);
    EXPECT_GT(mostHeld, kLimit / 2);
    EXPECT_LT(mostHeld, kLimit + (std::size_t{64} << 10));
}

TEST(AyahCalligraphy, PreparedGlyphsAreOnlyPlacedWhenTheAyahIsDrawn) {
    constexpr double kScale = 2.0; // 192 DPI
    AyahCalligraphy fresh, prepared;
    ASSERT_TRUE(loadProgramCalligraphy(fresh));
    ASSERT_TRUE(loadProgramCalligraphy(prepared));
    drawn(prepared, 2, 254, kScale);
    const std::size_t before = prepared.glyphDrawingsMade();
    prepared.prepare(prepared.ayah(2, 255), kScale);
    const std::size_t made = prepared.glyphDrawingsMade();
    EXPECT_GT(made, before);
    // The ayah then needs no new drawing, and comes out as drawn from nothing.
    EXPECT_EQ(drawn(prepared, 2, 255, kScale), drawn(fresh, 2, 255, kScale));
    EXPECT_EQ(prepared.glyphDrawingsMade(), made);
}

} // namespace
