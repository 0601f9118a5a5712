// The coverage rasteriser; see glyph_raster.h.
#include "picture/glyph_raster.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCurveSteps = 16;

// Adds the signed area of the line p0-p1 (pixels, y downwards) to the accumulation rows of
// a buffer `stride` floats wide (the line lies within columns 0 .. stride - 2).
void accumulateLine(std::vector<float>& area, int stride, int rows, float x0, float y0, float x1,
                    float y1) {
    if (y0 == y1) return;
    float dir = 1.0f;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        dir = -1.0f;
    }
    const float dxdy = (x1 - x0) / (y1 - y0);
    float x = x0;
    int row = static_cast<int>(std::floor(y0));
    if (row < 0) {
        x -= y0 * dxdy;
        row = 0;
    }
    const int lastRow = std::min(rows, static_cast<int>(std::ceil(y1)));
    for (int y = row; y < lastRow; ++y) {
        float* line = area.data() + static_cast<std::size_t>(y) * stride;
        const float dy =
            std::min(static_cast<float>(y + 1), y1) - std::max(static_cast<float>(y), y0);
        const float xnext = x + dxdy * dy;
        const float d = dy * dir;
        const float left = std::min(x, xnext), right = std::max(x, xnext);
        const float leftFloor = std::floor(left);
        const int li = std::max(0, static_cast<int>(leftFloor));
        const int ri = std::min(stride - 1, static_cast<int>(std::ceil(right)));
        if (ri <= li + 1) {
            const float mid = 0.5f * (x + xnext) - leftFloor;
            line[li] += d - d * mid;
            if (li + 1 < stride) line[li + 1] += d * mid;
        } else {
            const float s = 1.0f / (right - left);
            const float lf = left - leftFloor;
            const float a0 = 0.5f * s * (1.0f - lf) * (1.0f - lf);
            const float rf = right - std::ceil(right) + 1.0f;
            const float am = 0.5f * s * rf * rf;
            line[li] += d * a0;
            if (ri == li + 2) {
                line[li + 1] += d * (1.0f - a0 - am);
            } else {
                const float a1 = s * (1.5f - lf);
                line[li + 1] += d * (a1 - a0);
                for (int xi = li + 2; xi < ri - 1; ++xi)
                    line[xi] += d * s;
                const float a2 = a1 + static_cast<float>(ri - li - 3) * s;
                line[ri - 1] += d * (1.0f - a2 - am);
            }
            line[ri] += d * am;
        }
        x = xnext;
    }
}

} // namespace

void appendQuadratic(std::vector<OutlinePoint>& contour, OutlinePoint p0, OutlinePoint c,
                     OutlinePoint p1) {
    for (int i = 1; i <= kCurveSteps; ++i) {
        const float t = static_cast<float>(i) / kCurveSteps, u = 1.0f - t;
        contour.push_back({u * u * p0.x + 2 * u * t * c.x + t * t * p1.x,
                           u * u * p0.y + 2 * u * t * c.y + t * t * p1.y});
    }
}

void appendCubic(std::vector<OutlinePoint>& contour, OutlinePoint p0, OutlinePoint c1,
                 OutlinePoint c2, OutlinePoint p1) {
    for (int i = 1; i <= kCurveSteps; ++i) {
        const float t = static_cast<float>(i) / kCurveSteps, u = 1.0f - t;
        contour.push_back(
            {u * u * u * p0.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x + t * t * t * p1.x,
             u * u * u * p0.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y + t * t * t * p1.y});
    }
}

GlyphCoverage rasteriseGlyph(const GlyphOutline& outline, double scale, double x, double y) {
    GlyphCoverage glyph;
    RasterScratch scratch;
    rasteriseGlyph(outline, scale, x, y, scratch, glyph);
    return glyph;
}

void rasteriseGlyph(const GlyphOutline& outline, double scale, double x, double y,
                    RasterScratch& scratch, GlyphCoverage& glyph) {
    glyph.left = glyph.top = glyph.width = glyph.height = 0;
    glyph.cover.clear();
    if (outline.empty() || !(scale > 0)) return;
    double minX = 1e30, maxX = -1e30, minY = 1e30, maxY = -1e30;
    for (const auto& contour : outline.contours)
        for (const OutlinePoint& p : contour) {
            minX = std::min(minX, x + p.x * scale);
            maxX = std::max(maxX, x + p.x * scale);
            minY = std::min(minY, y - p.y * scale);
            maxY = std::max(maxY, y - p.y * scale);
        }
    if (!(maxX - minX <= kMaxGlyphPixels) || !(maxY - minY <= kMaxGlyphPixels)) return;
    const int left = static_cast<int>(std::floor(minX)), top = static_cast<int>(std::floor(minY));
    const int width = static_cast<int>(std::ceil(maxX)) + 1 - left;
    const int rows = static_cast<int>(std::ceil(maxY)) + 1 - top;
    const int stride = width + 2;
    std::vector<float>& area = scratch.area;
    area.assign(static_cast<std::size_t>(stride) * rows, 0.0f);
    for (const auto& contour : outline.contours) {
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const OutlinePoint& a = contour[i];
            const OutlinePoint& b = contour[(i + 1) % contour.size()];
            auto px = [&](float v) { return static_cast<float>(x + v * scale - left); };
            auto py = [&](float v) { return static_cast<float>(y - v * scale - top); };
            accumulateLine(area, stride, rows, px(a.x), py(a.y), px(b.x), py(b.y));
        }
    }
    glyph.left = left;
    glyph.top = top;
    glyph.width = width;
    glyph.height = rows;
    glyph.cover.resize(static_cast<std::size_t>(width) * rows);
    for (int r = 0; r < rows; ++r) {
        float sum = 0;
        const float* line = area.data() + static_cast<std::size_t>(r) * stride;
        std::uint8_t* out = glyph.cover.data() + static_cast<std::size_t>(r) * width;
        for (int c = 0; c < width; ++c) {
            sum += line[c];
            // A 256th of the pixel a step, full coverage 255 (as FreeType's renderer).
            out[c] = static_cast<std::uint8_t>(std::min(255.0f, std::fabs(sum) * 256.0f));
        }
    }
}

CoverageCanvas::CoverageCanvas(int width, int height) {
    reset(width, height);
}

void CoverageCanvas::reset(int width, int height, bool trackColours) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    const std::size_t size = static_cast<std::size_t>(width_) * height_;
    coverage_.assign(size, 0);
    colours_.assign(trackColours ? size : 0, 0);
    strongest_.assign(trackColours ? size : 0, 0);
}

void CoverageCanvas::draw(const GlyphOutline& outline, double scale, double x, double y,
                          std::uint8_t colour) {
    place(rasteriseGlyph(outline, scale, x, y), 0, 0, colour);
}

void CoverageCanvas::place(const GlyphCoverage& glyph, int x, int y, std::uint8_t colour) {
    const long long left = static_cast<long long>(x) + glyph.left;
    const long long top = static_cast<long long>(y) + glyph.top;
    const int c0 = static_cast<int>(std::max(0LL, -left));
    const int r0 = static_cast<int>(std::max(0LL, -top));
    const int c1 = static_cast<int>(std::min<long long>(glyph.width, width_ - left));
    const int r1 = static_cast<int>(std::min<long long>(glyph.height, height_ - top));
    for (int r = r0; r < r1; ++r) {
        const std::uint8_t* src = glyph.cover.data() + static_cast<std::size_t>(r) * glyph.width;
        const std::size_t at = static_cast<std::size_t>(top + r) * width_ + left;
        for (int c = c0; c < c1; ++c) {
            const int cover = src[c];
            if (cover == 0) continue;
            std::uint8_t& dst = coverage_[at + c];
            dst = static_cast<std::uint8_t>(dst + cover - (dst * cover + 127) / 255);
            if (colours_.empty()) continue;
            if (cover >= strongest_[at + c]) {
                strongest_[at + c] = static_cast<std::uint8_t>(cover);
                colours_[at + c] = colour;
            }
        }
    }
}
