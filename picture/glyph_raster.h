// Drawing glyph outlines into a grey coverage picture at exact fractional positions: the
// signed area each outline edge covers in every pixel is accumulated and summed along the
// row, which gives the exact coverage of polygons (curves are cut into short lines first).
// The ayat are drawn this way rather than as text because only exact positions and linear
// coverage give the same edges at every scale as the pictures drawn at build time.
#ifndef NORAVEL_PICTURE_GLYPH_RASTER_H
#define NORAVEL_PICTURE_GLYPH_RASTER_H

#include <cstdint>
#include <vector>

struct OutlinePoint {
    float x = 0; // font units, y upwards
    float y = 0;
};

// A glyph's closed contours as polygons (each contour's last point joins its first).
struct GlyphOutline {
    std::vector<std::vector<OutlinePoint>> contours;
    bool empty() const { return contours.empty(); }
};

// A quadratic curve from p0 through control c to p1, cut into lines appended to contour
// (p0 itself is not appended).
void appendQuadratic(std::vector<OutlinePoint>& contour, OutlinePoint p0, OutlinePoint c,
                     OutlinePoint p1);
// The same for a cubic curve with controls c1 and c2.
void appendCubic(std::vector<OutlinePoint>& contour, OutlinePoint p0, OutlinePoint c1,
                 OutlinePoint c2, OutlinePoint p1);

// One glyph's coverage 0..255: width x height rows, its top-left pixel at (left, top) from
// the whole pixel the glyph was placed at.
struct GlyphCoverage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> cover;
};

// A glyph larger than this many pixels either way is not drawn.
inline constexpr double kMaxGlyphPixels = 8192;

// The outline scaled by scale (pixels per font unit) with its origin at (x, y) pixels (y
// downwards); empty for an empty outline or a scale of 0 or less.
GlyphCoverage rasteriseGlyph(const GlyphOutline& outline, double scale, double x, double y);

// The rasteriser's working memory, kept between glyphs so that drawing many needs no new
// memory for each.
struct RasterScratch {
    std::vector<float> area;
};
// The same into glyph (its memory kept), with scratch's memory.
void rasteriseGlyph(const GlyphOutline& outline, double scale, double x, double y,
                    RasterScratch& scratch, GlyphCoverage& glyph);

// A picture of coverage 0..255, and for every pixel the colour (a caller's number) of the
// glyph that covers it most. Glyphs that overlap combine as layers of translucent ink
// (a + b - ab), so an overlap is never lighter than either.
class CoverageCanvas {
  public:
    CoverageCanvas(int width, int height); // sizes below 0 count as 0
    // Empty again at another size, keeping the memory it has; without trackColours the
    // colours are not kept (all glyphs are one colour).
    void reset(int width, int height, bool trackColours = true);
    int width() const { return width_; }
    int height() const { return height_; }
    // Draws the outline scaled by scale (pixels per font unit) with its origin at (x, y)
    // pixels from the top-left (y downwards), clipped to the canvas.
    void draw(const GlyphOutline& outline, double scale, double x, double y, std::uint8_t colour);
    // A glyph drawn before, its whole-pixel place at (x, y).
    void place(const GlyphCoverage& glyph, int x, int y, std::uint8_t colour);
    const std::vector<std::uint8_t>& coverage() const { return coverage_; }
    const std::vector<std::uint8_t>& colours() const { return colours_; } // empty untracked

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> coverage_;
    std::vector<std::uint8_t> colours_;
    std::vector<std::uint8_t> strongest_;
};

#endif
