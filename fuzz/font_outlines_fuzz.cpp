// Fuzzes the TrueType outline reader: a font that loads gives, for its first glyphs, points
// within the bounds it promises, in font units and scaled, whose outline the rasteriser
// draws without reading or writing outside its memory.
#include "picture/font_outlines.h"
#include "picture/glyph_raster.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FontOutlines font;
    if (!font.load(std::vector<std::uint8_t>(data, data + size))) {
        if (font.loaded()) std::abort();
        return 0;
    }
    if (font.unitsPerEm() < 16 || font.glyphCount() < 1) std::abort();
    GlyphPoints points;
    RasterScratch scratch;
    GlyphCoverage coverage;
    const std::int32_t scales[] = {0, font.scaleForPixels(34), font.scaleForPixels(34 * 16.0)};
    for (int g = 0; g < font.glyphCount() && g < 32; ++g)
        for (const std::int32_t scale : scales) {
            if (!font.glyph(static_cast<std::uint16_t>(g), scale, points)) {
                if (!points.points.empty() || !points.ends.empty()) std::abort();
                continue;
            }
            if (points.points.size() > kMaxGlyphPoints) std::abort();
            for (const std::uint16_t end : points.ends)
                if (end >= points.points.size()) std::abort();
            if (scale == 0) continue;
            // Drawn when it is no larger than the font's glyphs at the largest zoom (a
            // rasteriser's buffer for the largest glyph it takes would slow every run).
            std::int32_t low = 0, high = 0;
            for (const ContourPoint& p : points.points) {
                low = std::min({low, p.x, p.y});
                high = std::max({high, p.x, p.y});
            }
            if (high - low > 2048 * 64) continue;
            const GlyphOutline outline = pixelOutline(points);
            rasteriseGlyph(outline, 1.0, 0.25, 0.5, scratch, coverage);
            if (coverage.cover.size() != static_cast<std::size_t>(coverage.width) *
                                             static_cast<std::size_t>(coverage.height))
                std::abort();
        }
    return 0;
}
