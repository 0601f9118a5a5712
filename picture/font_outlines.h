// The glyph outlines of a TrueType font file held in memory: the head, maxp, loca and glyf
// tables, simple and composite glyphs. The ayat are drawn from these outlines, placed where
// the build's shaping put each glyph, and scaled the way the build's FreeType scaled them
// (every point to a 64th of a pixel), so that the drawing at 1x has the edges of the 1x
// pictures.
#ifndef NORAVEL_PICTURE_FONT_OUTLINES_H
#define NORAVEL_PICTURE_FONT_OUTLINES_H

#include "picture/glyph_raster.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A font file larger than this is refused; a glyph of more points (components included) or
// of components nested deeper than this is read as damaged.
inline constexpr std::size_t kMaxFontFileBytes = 16u * 1024 * 1024;
inline constexpr std::size_t kMaxGlyphPoints = 16384;
inline constexpr int kMaxComponentDepth = 8;
// A glyph of more components than this, all levels counted, is read as damaged too.
inline constexpr int kMaxGlyphComponents = 1024;
inline constexpr std::int32_t kMaxScale16 = 1 << 26;

struct ContourPoint {
    std::int32_t x = 0; // font units, or 64ths of a pixel when scaled; y upwards
    std::int32_t y = 0;
    bool onCurve = true;
};

// A glyph's points, its contours one after the other: contour i ends at point ends[i].
struct GlyphPoints {
    std::vector<ContourPoint> points;
    std::vector<std::uint16_t> ends;
    void clear() {
        points.clear();
        ends.clear();
    }
};

class FontOutlines {
  public:
    // Checks the tables the outlines need (bounds, sizes, the location of every glyph);
    // false, keeping nothing, when one is missing or damaged.
    bool load(std::vector<std::uint8_t> bytes);
    bool loaded() const { return !bytes_.empty(); }
    int unitsPerEm() const { return unitsPerEm_; }
    int glyphCount() const { return glyphCount_; }

    // The glyph's points in font units (scale16 0) or scaled by scale16 (64ths of a pixel per
    // font unit, 16.16 fixed point, as scaleForPixels gives) with every point rounded to a
    // 64th of a pixel. Components are placed and transformed as their glyph says. False, and
    // points empty, for a glyph number out of range or a damaged glyph; a blank glyph gives
    // true and no points.
    bool glyph(std::uint16_t glyph, std::int32_t scale16, GlyphPoints& points) const;

    // 16.16 fixed scale for an em of emPixels pixels (any fraction); 0 when out of range
    // (above kMaxScale16, 16 pixels a font unit).
    std::int32_t scaleForPixels(double emPixels) const;

  private:
    bool appendGlyph(std::uint16_t glyph, std::int32_t scale16, int depth, int& components,
                     GlyphPoints& points) const;
    std::vector<std::uint8_t> bytes_;
    std::size_t glyf_ = 0, glyfSize_ = 0, loca_ = 0;
    bool longLoca_ = false;
    int unitsPerEm_ = 0;
    int glyphCount_ = 0;
};

// The contours of scaled points (64ths of a pixel) as polygons in pixels, y upwards: each
// quadratic curve cut into as many equal pieces (a power of two) as keep it within about a
// 16th of a pixel of the curve, as FreeType's renderer cuts it.
GlyphOutline pixelOutline(const GlyphPoints& points);
// The same into outline, keeping its memory.
void pixelOutline(const GlyphPoints& points, GlyphOutline& outline);

#endif
