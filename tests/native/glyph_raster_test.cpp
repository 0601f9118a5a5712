// The coverage rasteriser: exact area at fractional positions, curves, overlaps and clipping.
#include "picture/glyph_raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace {

// A w x h rectangle (font units) with its lower-left corner at the origin.
GlyphOutline rectangle(float w, float h) {
    GlyphOutline outline;
    outline.contours.push_back({{0, 0}, {w, 0}, {w, h}, {0, h}});
    return outline;
}

int at(const CoverageCanvas& canvas, int x, int y) {
    return canvas.coverage()[static_cast<std::size_t>(y) * canvas.width() + x];
}

} // namespace

TEST(GlyphRaster, ASquareAtAFractionalPlaceCoversEachPixelByItsShare) {
    CoverageCanvas canvas(6, 6);
    // 2 x 2 pixels, its origin (lower left) at x 1.5, baseline 3.5: it spans x 1.5..3.5 and
    // y 1.5..3.5 downwards.
    canvas.draw(rectangle(20, 20), 0.1, 1.5, 3.5, 7);
    EXPECT_NEAR(at(canvas, 1, 1), 63, 1);  // a quarter
    EXPECT_NEAR(at(canvas, 2, 1), 127, 1); // a half
    EXPECT_NEAR(at(canvas, 2, 2), 255, 1); // whole
    EXPECT_NEAR(at(canvas, 3, 3), 63, 1);
    EXPECT_EQ(at(canvas, 0, 0), 0);
    EXPECT_EQ(at(canvas, 4, 2), 0);
    const int total = std::accumulate(canvas.coverage().begin(), canvas.coverage().end(), 0);
    EXPECT_NEAR(total, 4 * 255, 8); // the area, four pixels
    EXPECT_EQ(canvas.colours()[2 * 6 + 2], 7);
}

TEST(GlyphRaster, ACurvedOutlineCoversItsAreaAndAContourInsideTheOtherWayIsAHole) {
    // A disc of radius 10 px from eight quadratic arcs of 45 degrees: each control point on
    // the middle direction at r / cos(22.5 degrees).
    GlyphOutline disc;
    const double pi = 3.14159265358979;
    std::vector<OutlinePoint> ring{{10, 0}};
    for (int i = 0; i < 8; ++i) {
        const double mid = (i + 0.5) * pi / 4, end = (i + 1) * pi / 4;
        const double reach = 10 / std::cos(pi / 8);
        appendQuadratic(
            ring, ring.back(),
            {static_cast<float>(reach * std::cos(mid)), static_cast<float>(reach * std::sin(mid))},
            {static_cast<float>(10 * std::cos(end)), static_cast<float>(10 * std::sin(end))});
    }
    ring.pop_back(); // the last point is the first again
    disc.contours.push_back(ring);
    CoverageCanvas canvas(30, 30);
    canvas.draw(disc, 1.0, 15, 15, 1);
    const int total = std::accumulate(canvas.coverage().begin(), canvas.coverage().end(), 0);
    EXPECT_NEAR(total / 255.0, pi * 100, 3); // the area of the disc
    EXPECT_EQ(at(canvas, 15, 15), 255);
    EXPECT_EQ(at(canvas, 0, 0), 0);

    // A square with a square hole (the inner contour runs the other way).
    GlyphOutline frame = rectangle(10, 10);
    frame.contours.push_back({{3, 3}, {3, 7}, {7, 7}, {7, 3}});
    CoverageCanvas framed(12, 12);
    framed.draw(frame, 1.0, 1, 11, 1);
    EXPECT_EQ(at(framed, 2, 2), 255);
    EXPECT_EQ(at(framed, 5, 5), 0);
}

TEST(GlyphRaster, OverlapsNeverGetLighterAndTheStrongerGlyphGivesTheColour) {
    CoverageCanvas canvas(4, 4);
    canvas.draw(rectangle(4, 4), 0.5, 0, 2, 1);   // x 0..2, y 0..2 fully
    canvas.draw(rectangle(4, 4), 0.5, 1.5, 2, 2); // x 1.5..3.5: column 1 half, 2 full
    EXPECT_EQ(at(canvas, 1, 1), 255);
    EXPECT_EQ(canvas.colours()[1 * 4 + 1], 1) << "the full cover wins over the half";
    EXPECT_EQ(canvas.colours()[1 * 4 + 2], 2);
    EXPECT_NEAR(at(canvas, 3, 1), 127, 1);
}

TEST(GlyphRaster, AGlyphPartlyOutsideIsClippedWithoutLosingTheInsideCoverage) {
    CoverageCanvas canvas(4, 4);
    // x -2..2, y 1..3: columns 0 and 1 covered fully in rows 1 and 2.
    canvas.draw(rectangle(4, 2), 1.0, -2, 3, 1);
    EXPECT_EQ(at(canvas, 0, 1), 255);
    EXPECT_EQ(at(canvas, 1, 2), 255);
    EXPECT_EQ(at(canvas, 2, 1), 0);
    EXPECT_EQ(at(canvas, 0, 0), 0);
    // Wholly outside, empty, or at no scale: nothing.
    CoverageCanvas untouched(4, 4);
    untouched.draw(rectangle(4, 4), 1.0, 10, 10, 1);
    untouched.draw(GlyphOutline{}, 1.0, 0, 4, 1);
    untouched.draw(rectangle(4, 4), 0.0, 0, 4, 1);
    EXPECT_EQ(std::accumulate(untouched.coverage().begin(), untouched.coverage().end(), 0), 0);
    CoverageCanvas none(-3, 5);
    none.draw(rectangle(4, 4), 1.0, 0, 4, 1);
    EXPECT_TRUE(none.coverage().empty());
}

TEST(GlyphRaster, OneColourCombinesOverlapsAsTheColouredCanvasDoes) {
    // Two wide glyphs that overlap in part, placed on a canvas that keeps colours and on one
    // that does not (which combines many pixels at once): the coverage is the same.
    GlyphOutline wide;
    wide.contours.push_back({{0, 0}, {41.3f, 0}, {38.2f, 7.7f}, {0.6f, 9.1f}});
    CoverageCanvas coloured(64, 16), plain(64, 16);
    plain.reset(64, 16, false);
    for (CoverageCanvas* canvas : {&coloured, &plain}) {
        canvas->draw(wide, 1.0, 2.3, 12.6, 1);
        canvas->draw(wide, 1.0, 9.7, 13.1, 2);
        canvas->draw(wide, 1.0, 30.1, 11.4, 3);
    }
    ASSERT_TRUE(plain.colours().empty());
    EXPECT_EQ(plain.coverage(), coloured.coverage());
    const int total = std::accumulate(plain.coverage().begin(), plain.coverage().end(), 0);
    EXPECT_GT(total, 400 * 255); // most of three glyphs of about 340 pixels each
}
