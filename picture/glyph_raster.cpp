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

CoverageCanvas::CoverageCanvas(int width, int height)
    : width_(std::max(0, width)), height_(std::max(0, height)),
      coverage_(static_cast<std::size_t>(width_) * height_, 0), colours_(coverage_.size(), 0),
      strongest_(coverage_.size(), 0) {}

void CoverageCanvas::draw(const GlyphOutline& outline, double scale, double x, double y,
                          std::uint8_t colour) {
    if (outline.empty() || !(scale > 0) || width_ == 0 || height_ == 0) return;
    // The glyph's box in pixels, clipped to the canvas.
    double minX = 1e30, maxX = -1e30, minY = 1e30, maxY = -1e30;
    for (const auto& contour : outline.contours)
        for (const OutlinePoint& p : contour) {
            minX = std::min(minX, x + p.x * scale);
            maxX = std::max(maxX, x + p.x * scale);
            minY = std::min(minY, y - p.y * scale);
            maxY = std::max(maxY, y - p.y * scale);
        }
    const int left = std::max(0, static_cast<int>(std::floor(minX)));
    const int top = std::max(0, static_cast<int>(std::floor(minY)));
    const int right = std::min(width_, static_cast<int>(std::ceil(maxX)) + 1);
    const int bottom = std::min(height_, static_cast<int>(std::ceil(maxY)) + 1);
    if (left >= right || top >= bottom) return;
    // Columns left of the box are folded into its first column by the clamp in
    // accumulateLine, which keeps their area in the row sum.
    const int stride = right - left + 2, rows = bottom - top;
    area_.assign(static_cast<std::size_t>(stride) * rows, 0.0f);
    for (const auto& contour : outline.contours) {
        for (std::size_t i = 0; i < contour.size(); ++i) {
            const OutlinePoint& a = contour[i];
            const OutlinePoint& b = contour[(i + 1) % contour.size()];
            auto px = [&](float v) {
                return std::clamp(static_cast<float>(x + v * scale - left), 0.0f,
                                  static_cast<float>(stride - 2));
            };
            auto py = [&](float v) { return static_cast<float>(y - v * scale - top); };
            accumulateLine(area_, stride, rows, px(a.x), py(a.y), px(b.x), py(b.y));
        }
    }
    for (int r = 0; r < rows; ++r) {
        float sum = 0;
        const float* line = area_.data() + static_cast<std::size_t>(r) * stride;
        const std::size_t at = static_cast<std::size_t>(top + r) * width_ + left;
        for (int c = 0; c < right - left; ++c) {
            sum += line[c];
            const int cover = static_cast<int>(std::min(1.0f, std::fabs(sum)) * 255.0f);
            if (cover == 0) continue;
            std::uint8_t& dst = coverage_[at + c];
            dst = static_cast<std::uint8_t>(dst + cover - (dst * cover + 127) / 255);
            if (cover >= strongest_[at + c]) {
                strongest_[at + c] = static_cast<std::uint8_t>(cover);
                colours_[at + c] = colour;
            }
        }
    }
}
