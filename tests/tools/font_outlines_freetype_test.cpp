// The program's own TrueType outline reader against FreeType, which drew the 1x pictures:
// every glyph of the Amiri Quran font gives the same points in font units and at the
// pictures' size, and drawn by the program's rasteriser the same coverage within a level.
#include "picture/font_outlines.h"
#include "picture/glyph_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kPicturePixels = 34; // the em of the 1x pictures

struct FreeTypeFont {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FreeTypeFont() {
        if (FT_Init_FreeType(&library) || FT_New_Face(library, AMIRI_QURAN_FONT, 0, &face) ||
            FT_Set_Pixel_Sizes(face, 0, kPicturePixels))
            face = nullptr;
    }
    ~FreeTypeFont() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

std::vector<std::uint8_t> fontBytes() {
    std::ifstream in(AMIRI_QURAN_FONT, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

// The glyph's points as FreeType loads them with flags; false when it cannot.
bool freeTypePoints(FT_Face face, unsigned glyph, FT_Int32 flags, GlyphPoints& points) {
    points.clear();
    if (FT_Load_Glyph(face, glyph, flags) || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    const FT_Outline& outline = face->glyph->outline;
    for (int i = 0; i < outline.n_points; ++i)
        points.points.push_back({static_cast<std::int32_t>(outline.points[i].x),
                                 static_cast<std::int32_t>(outline.points[i].y),
                                 FT_CURVE_TAG(outline.tags[i]) == FT_CURVE_TAG_ON});
    for (int c = 0; c < outline.n_contours; ++c)
        points.ends.push_back(static_cast<std::uint16_t>(outline.contours[c]));
    return true;
}

::testing::AssertionResult samePoints(const GlyphPoints& ours, const GlyphPoints& theirs) {
    if (ours.ends != theirs.ends) return ::testing::AssertionFailure() << "other contours";
    if (ours.points.size() != theirs.points.size())
        return ::testing::AssertionFailure()
               << ours.points.size() << " points against " << theirs.points.size();
    for (std::size_t i = 0; i < ours.points.size(); ++i) {
        const ContourPoint &a = ours.points[i], &b = theirs.points[i];
        if (a.x != b.x || a.y != b.y || a.onCurve != b.onCurve)
            return ::testing::AssertionFailure()
                   << "point " << i << ": (" << a.x << ", " << a.y << ", " << a.onCurve
                   << ") against (" << b.x << ", " << b.y << ", " << b.onCurve << ")";
    }
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(FontOutlinesAgainstFreeType, EveryGlyphHasFreeTypesPointsInFontUnitsAndAtThePictureSize) {
    FreeTypeFont ft;
    ASSERT_NE(ft.face, nullptr);
    FontOutlines font;
    ASSERT_TRUE(font.load(fontBytes()));
    EXPECT_EQ(font.unitsPerEm(), ft.face->units_per_EM);
    ASSERT_EQ(font.glyphCount(), ft.face->num_glyphs);
    const std::int32_t scale = font.scaleForPixels(kPicturePixels);
    EXPECT_EQ(scale, ft.face->size->metrics.x_scale);
    int composites = 0;
    GlyphPoints ours, theirs;
    for (int g = 0; g < font.glyphCount(); ++g) {
        const auto glyph = static_cast<std::uint16_t>(g);
        ASSERT_TRUE(freeTypePoints(ft.face, g, FT_LOAD_NO_SCALE, theirs)) << g;
        composites += ft.face->glyph->num_subglyphs > 0;
        ASSERT_TRUE(font.glyph(glyph, 0, ours)) << g;
        ASSERT_TRUE(samePoints(ours, theirs)) << "glyph " << g << " in font units";
        ASSERT_TRUE(freeTypePoints(ft.face, g, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP, theirs));
        ASSERT_TRUE(font.glyph(glyph, scale, ours)) << g;
        ASSERT_TRUE(samePoints(ours, theirs)) << "glyph " << g << " at " << kPicturePixels;
    }
    std::printf("%d glyphs, %d of them composite\n", font.glyphCount(), composites);
}

TEST(FontOutlinesAgainstFreeType, GlyphsDrawnAtAFractionHaveFreeTypesCoverage) {
    FreeTypeFont ft;
    ASSERT_NE(ft.face, nullptr);
    FontOutlines font;
    ASSERT_TRUE(font.load(fontBytes()));
    const std::int32_t scale = font.scaleForPixels(kPicturePixels);
    long long pixels = 0, off = 0;
    int worst = 0;
    GlyphPoints points;
    RasterScratch scratch;
    GlyphCoverage ours;
    for (int g = 1; g < font.glyphCount(); g += 7) {
        // A place of 13/64 right and 41/64 up of a whole pixel, as the build shifts them.
        const int dx = 13, dy = 41;
        if (FT_Load_Glyph(ft.face, g, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP)) continue;
        FT_Outline_Translate(&ft.face->glyph->outline, dx, dy);
        ASSERT_EQ(FT_Render_Glyph(ft.face->glyph, FT_RENDER_MODE_NORMAL), 0);
        const FT_Bitmap& bitmap = ft.face->glyph->bitmap;
        ASSERT_TRUE(font.glyph(static_cast<std::uint16_t>(g), scale, points));
        rasteriseGlyph(pixelOutline(points), 1.0, dx / 64.0, -dy / 64.0, scratch, ours);
        if (bitmap.width == 0) continue;
        // Their bitmap's top-left pixel against ours, both from the pixel of the origin.
        const int left = ft.face->glyph->bitmap_left, top = -ft.face->glyph->bitmap_top;
        for (int r = 0; r < static_cast<int>(bitmap.rows); ++r)
            for (int c = 0; c < static_cast<int>(bitmap.width); ++c) {
                const int theirs = bitmap.buffer[r * bitmap.pitch + c];
                const int x = left + c - ours.left, y = top + r - ours.top;
                const int mine = x >= 0 && y >= 0 && x < ours.width && y < ours.height
                                     ? ours.cover[static_cast<std::size_t>(y) * ours.width + x]
                                     : 0;
                ++pixels;
                off += std::abs(mine - theirs) > 1;
                worst = std::max(worst, std::abs(mine - theirs));
            }
    }
    ASSERT_GT(pixels, 10000);
    std::printf("%lld pixels, %lld off by more than 1, worst %d\n", pixels, off, worst);
    EXPECT_LT(off, pixels / 100);
    EXPECT_LE(worst, 8);
}
