// The TrueType outline reader on small made-up fonts: simple and composite glyphs, scaling to
// 64ths of a pixel, damaged tables and glyphs, and the outline its curves are cut into.
#include "picture/font_outlines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, static_cast<int>(v >> 16));
    put16(b, static_cast<int>(v & 0xFFFF));
}

struct Point {
    int x, y;
    bool on;
};

// A simple glyph: contours of points, coordinates as words, no instructions.
Bytes simpleGlyph(const std::vector<std::vector<Point>>& contours) {
    Bytes b;
    put16(b, static_cast<int>(contours.size()));
    for (int i = 0; i < 4; ++i)
        put16(b, 0); // the bounding box, unread
    int last = -1;
    std::vector<Point> all;
    for (const auto& c : contours) {
        last += static_cast<int>(c.size());
        put16(b, last);
        all.insert(all.end(), c.begin(), c.end());
    }
    put16(b, 0);
    for (const Point& p : all)
        b.push_back(p.on ? 1 : 0);
    int x = 0, y = 0;
    for (const Point& p : all) {
        put16(b, p.x - x);
        x = p.x;
    }
    for (const Point& p : all) {
        put16(b, p.y - y);
        y = p.y;
    }
    return b;
}

struct Component {
    int glyph;
    int dx, dy;
    int scale = 0; // F2Dot14, 0 for none
};

Bytes compositeGlyph(const std::vector<Component>& parts) {
    Bytes b;
    put16(b, -1);
    for (int i = 0; i < 4; ++i)
        put16(b, 0);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const int flags =
            0x0001 | 0x0002 | (parts[i].scale ? 0x0008 : 0) | (i + 1 < parts.size() ? 0x0020 : 0);
        put16(b, flags);
        put16(b, parts[i].glyph);
        put16(b, parts[i].dx);
        put16(b, parts[i].dy);
        if (parts[i].scale) put16(b, parts[i].scale);
    }
    return b;
}

// A font of the glyphs (long loca), units per em upem.
Bytes font(const std::vector<Bytes>& glyphs, int upem = 1000) {
    Bytes head(54, 0);
    head[18] = static_cast<std::uint8_t>(upem >> 8);
    head[19] = static_cast<std::uint8_t>(upem);
    head[51] = 1; // long offsets
    Bytes maxp;
    put32(maxp, 0x00005000);
    put16(maxp, static_cast<int>(glyphs.size()));
    Bytes loca, glyf;
    for (const Bytes& g : glyphs) {
        put32(loca, static_cast<std::uint32_t>(glyf.size()));
        glyf.insert(glyf.end(), g.begin(), g.end());
        if (glyf.size() % 2) glyf.push_back(0);
    }
    put32(loca, static_cast<std::uint32_t>(glyf.size()));
    const std::vector<std::pair<std::string, const Bytes*>> tables{
        {"glyf", &glyf}, {"head", &head}, {"loca", &loca}, {"maxp", &maxp}};
    Bytes file;
    put32(file, 0x00010000);
    put16(file, static_cast<int>(tables.size()));
    for (int i = 0; i < 3; ++i)
        put16(file, 0);
    std::uint32_t at = 12 + 16 * static_cast<std::uint32_t>(tables.size());
    for (const auto& [tag, bytes] : tables) {
        file.insert(file.end(), tag.begin(), tag.end());
        put32(file, 0);
        put32(file, at);
        put32(file, static_cast<std::uint32_t>(bytes->size()));
        at += static_cast<std::uint32_t>((bytes->size() + 3) / 4 * 4);
    }
    for (const auto& table : tables) {
        file.insert(file.end(), table.second->begin(), table.second->end());
        file.resize((file.size() + 3) / 4 * 4, 0);
    }
    return file;
}

const std::vector<Point> kSquare{{0, 0, true}, {100, 0, true}, {100, 100, true}, {0, 100, true}};

std::vector<Bytes> sampleGlyphs() {
    return {
        {},                     // 0: blank
        simpleGlyph({kSquare}), // 1
        // 2: the square and a second contour that starts off the curve, with two controls in
        // a row (a point on the curve implied between them).
        simpleGlyph({kSquare, {{300, 0, false}, {400, 100, false}, {300, 200, true}}}),
        // 3: the square moved, and again at half its size.
        compositeGlyph({{1, 50, -20}, {1, 0, 0, 0x2000}}),
        compositeGlyph({{4, 0, 0}}), // 4: itself
    };
}

std::vector<std::pair<int, int>> xy(const GlyphPoints& points) {
    std::vector<std::pair<int, int>> out;
    for (const ContourPoint& p : points.points)
        out.emplace_back(p.x, p.y);
    return out;
}

} // namespace

TEST(FontOutlines, ReadsSimpleAndCompositeGlyphsInFontUnitsAndScaledTo64thsOfAPixel) {
    FontOutlines outlines;
    ASSERT_TRUE(outlines.load(font(sampleGlyphs(), 2048)));
    EXPECT_EQ(outlines.unitsPerEm(), 2048);
    EXPECT_EQ(outlines.glyphCount(), 5);
    GlyphPoints points;
    EXPECT_TRUE(outlines.glyph(0, 0, points));
    EXPECT_TRUE(points.points.empty());

    ASSERT_TRUE(outlines.glyph(2, 0, points));
    EXPECT_EQ(points.ends, (std::vector<std::uint16_t>{3, 6}));
    EXPECT_EQ(xy(points),
              (std::vector<std::pair<int, int>>{
                  {0, 0}, {100, 0}, {100, 100}, {0, 100}, {300, 0}, {400, 100}, {300, 200}}));
    EXPECT_FALSE(points.points[4].onCurve);
    EXPECT_TRUE(points.points[6].onCurve);

    ASSERT_TRUE(outlines.glyph(3, 0, points));
    EXPECT_EQ(points.ends, (std::vector<std::uint16_t>{3, 7}));
    EXPECT_EQ(xy(points),
              (std::vector<std::pair<int, int>>{
                  {50, -20}, {150, -20}, {150, 80}, {50, 80}, {0, 0}, {50, 0}, {50, 50}, {0, 50}}));

    // At 20.48 pixels an em a unit is 0.01 pixel, 0.64 of a 64th: 100 units are 64 64ths, 50
    // units 32, and 20 units 12.8, rounded to 13.
    const std::int32_t scale = outlines.scaleForPixels(20.48);
    EXPECT_EQ(scale, 41943); // 0.64 in 16.16
    ASSERT_TRUE(outlines.glyph(3, scale, points));
    EXPECT_EQ(xy(points),
              (std::vector<std::pair<int, int>>{
                  {32, -13}, {96, -13}, {96, 51}, {32, 51}, {0, 0}, {32, 0}, {32, 32}, {0, 32}}));
}

TEST(FontOutlines, DamagedFontsAndGlyphsAreRefused) {
    const Bytes good = font(sampleGlyphs());
    FontOutlines outlines;
    ASSERT_TRUE(outlines.load(good));
    GlyphPoints points;
    // A glyph made of itself, and glyph numbers past the font's.
    EXPECT_FALSE(outlines.glyph(4, 0, points));
    EXPECT_TRUE(points.points.empty());
    EXPECT_FALSE(outlines.glyph(5, 0, points));
    // A file cut short anywhere (short of the last table's padding).
    for (std::size_t size = 0; size + 3 < good.size(); size += 7) {
        FontOutlines cut;
        if (!cut.load(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size))))
            continue;
        ADD_FAILURE() << "a font cut to " << size << " bytes loads";
    }
    // A glyph location past the glyph table, and locations going back.
    Bytes far = good;
    for (std::size_t r = 12; r < 12 + 4 * 16; r += 16) {
        if (std::string(far.begin() + r, far.begin() + r + 4) != "loca") continue;
        const std::size_t at = static_cast<std::size_t>(far[r + 8]) << 24 | far[r + 9] << 16 |
                               far[r + 10] << 8 | far[r + 11];
        Bytes back = far;
        far[at + 4 * 5 + 2] = 0x7F; // the end of the last glyph far away
        EXPECT_FALSE(FontOutlines().load(far));
        back[at + 4 + 3] = 0xFF; // glyph 1 starts after glyph 2
        EXPECT_FALSE(FontOutlines().load(back));
    }
    // A glyph whose flags promise more coordinates than it has.
    Bytes shortGlyph = simpleGlyph({kSquare});
    shortGlyph.resize(shortGlyph.size() - 3);
    ASSERT_TRUE(outlines.load(font({{}, shortGlyph})));
    EXPECT_FALSE(outlines.glyph(1, 0, points));
}

TEST(FontOutlines, CurvesAreCutFinelyEnoughThatTheOutlineKeepsItsArea) {
    // A square whose top edge bows up through a control point 40 pixels above it: the area is
    // the square's and the parabola's segment above it, two thirds of its chord (64 pixels)
    // times its height (20 pixels).
    GlyphPoints points;
    points.points = {{0, 0, true},
                     {64 * 64, 0, true},
                     {64 * 64, 64 * 64, true},
                     {32 * 64, 104 * 64, false},
                     {0, 64 * 64, true}};
    points.ends = {4};
    const GlyphOutline outline = pixelOutline(points);
    ASSERT_EQ(outline.contours.size(), 1u);
    const std::vector<OutlinePoint>& c = outline.contours[0];
    // Cut into a power of two of pieces, the bend (80 pixels) a quarter pixel at most in each:
    // 32 pieces.
    EXPECT_EQ(c.size(), 3u + 32u);
    double area = 0;
    for (std::size_t i = 0; i < c.size(); ++i) {
        const OutlinePoint &a = c[i], &b = c[(i + 1) % c.size()];
        area += (a.x * b.y - b.x * a.y) / 2.0;
    }
    EXPECT_NEAR(area, 64 * 64 + 2.0 / 3.0 * 64 * 20, 1.0);
    // Every point of it lies on the curve.
    for (std::size_t i = 3; i < c.size(); ++i) {
        const double t = 1 - (c[i].x / 64.0); // x falls from 64 to 0
        EXPECT_NEAR(c[i].y, 64 + 2 * t * (1 - t) * 40, 1e-3) << i;
    }
}
