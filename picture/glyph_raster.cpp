// The coverage rasteriser; see glyph_raster.h.
#include "picture/glyph_raster.h"

#include <algorithm>
#include <cmath>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr int kCurveSteps = 16;

// Whole parts without a call into the maths library (the places are far within int's range).
int floorOf(float v) {
    const int i = static_cast<int>(v);
    return i - static_cast<int>(v < static_cast<float>(i));
}
int ceilOf(float v) {
    const int i = static_cast<int>(v);
    return i + static_cast<int>(v > static_cast<float>(i));
}

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
    int row = floorOf(y0);
    if (row < 0) {
        x -= y0 * dxdy;
        row = 0;
    }
    const int lastRow = std::min(rows, ceilOf(y1));
    // A line within one column (most, at text sizes) gives each row's area to that column
    // and the next, split where the line crosses the row on average.
    const int column = floorOf(std::min(x0, x1));
    if (column >= 0 && column + 1 < stride && floorOf(std::max(x0, x1)) == column) {
        const float base = static_cast<float>(column);
        for (int y = row; y < lastRow; ++y) {
            float* line = area.data() + static_cast<std::size_t>(y) * stride + column;
            const float dy =
                std::min(static_cast<float>(y + 1), y1) - std::max(static_cast<float>(y), y0);
            const float xnext = x + dxdy * dy;
            const float d = dy * dir;
            const float mid = 0.5f * (x + xnext) - base;
            line[0] += d - d * mid;
            line[1] += d * mid;
            x = xnext;
        }
        return;
    }
    for (int y = row; y < lastRow; ++y) {
        float* line = area.data() + static_cast<std::size_t>(y) * stride;
        const float dy =
            std::min(static_cast<float>(y + 1), y1) - std::max(static_cast<float>(y), y0);
        const float xnext = x + dxdy * dy;
        const float d = dy * dir;
        const float left = std::min(x, xnext), right = std::max(x, xnext);
        const int leftWhole = floorOf(left), rightWhole = ceilOf(right);
        const float leftFloor = static_cast<float>(leftWhole);
        const int li = std::max(0, leftWhole);
        const int ri = std::min(stride - 1, rightWhole);
        if (ri <= li + 1) {
            const float mid = 0.5f * (x + xnext) - leftFloor;
            line[li] += d - d * mid;
            if (li + 1 < stride) line[li + 1] += d * mid;
        } else {
            const float s = 1.0f / (right - left);
            const float lf = left - leftFloor;
            const float a0 = 0.5f * s * (1.0f - lf) * (1.0f - lf);
            const float rf = right - static_cast<float>(rightWhole) + 1.0f;
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
    // The buffer is all zeros between glyphs: the sums below empty it as they read it.
    std::vector<float>& area = scratch.area;
    if (area.size() < static_cast<std::size_t>(stride) * rows)
        area.assign(static_cast<std::size_t>(stride) * rows, 0.0f);
    // Each point in the buffer's pixels once, each edge from the point before.
    const float fx = static_cast<float>(x - left), fy = static_cast<float>(y - top);
    const float fs = static_cast<float>(scale);
    for (const auto& contour : outline.contours) {
        const OutlinePoint& last = contour.back();
        float px = fx + last.x * fs, py = fy - last.y * fs;
        for (const OutlinePoint& p : contour) {
            const float qx = fx + p.x * fs, qy = fy - p.y * fs;
            accumulateLine(area, stride, rows, px, py, qx, qy);
            px = qx;
            py = qy;
        }
    }
    glyph.left = left;
    glyph.top = top;
    glyph.width = width;
    glyph.height = rows;
    glyph.cover.resize(static_cast<std::size_t>(width) * rows);
    for (int r = 0; r < rows; ++r) {
        float sum = 0;
        float* line = area.data() + static_cast<std::size_t>(r) * stride;
        std::uint8_t* out = glyph.cover.data() + static_cast<std::size_t>(r) * width;
        int c = 0;
#ifdef __SSE2__
        // Sixteen pixels at a time: the running sum of four in three additions, carried on.
        __m128 carry = _mm_setzero_ps();
        const __m128 steps = _mm_set1_ps(256.0f), full = _mm_set1_ps(255.0f);
        const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
        for (; c + 16 <= width; c += 16) {
            __m128i quarter[4];
            for (int k = 0; k < 4; ++k) {
                __m128 v = _mm_loadu_ps(line + c + 4 * k);
                _mm_storeu_ps(line + c + 4 * k, _mm_setzero_ps());
                v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 4)));
                v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 8)));
                v = _mm_add_ps(v, carry);
                carry = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3));
                quarter[k] =
                    _mm_cvttps_epi32(_mm_min_ps(_mm_mul_ps(_mm_and_ps(v, magnitude), steps), full));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c),
                             _mm_packus_epi16(_mm_packs_epi32(quarter[0], quarter[1]),
                                              _mm_packs_epi32(quarter[2], quarter[3])));
        }
        sum = _mm_cvtss_f32(carry);
#endif
        for (; c < width; ++c) {
            sum += line[c];
            line[c] = 0;
            // A 256th of the pixel a step, full coverage 255 (as FreeType's renderer).
            out[c] = static_cast<std::uint8_t>(std::min(255.0f, std::fabs(sum) * 256.0f));
        }
        line[width] = line[width + 1] = 0; // what an edge on the last column left beyond it
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
        if (colours_.empty()) {
            // One colour: no test for each pixel (a coverage of 0 leaves the pixel as it is)
            // and the division by 255 in 16 bits, (t + t / 256) / 256 with t = ds + 128 being
            // (ds + 127) / 255 for every d and s, so that many pixels are done at once.
            std::uint8_t* dst = coverage_.data() + at;
            int c = c0;
#ifdef __SSE2__
            const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128);
            for (; c + 16 <= c1; c += 16) {
                const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + c));
                const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + c));
                auto combine = [&](__m128i d16, __m128i s16) {
                    const __m128i t = _mm_add_epi16(_mm_mullo_epi16(d16, s16), half);
                    const __m128i q = _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
                    return _mm_sub_epi16(_mm_add_epi16(d16, s16), q);
                };
                const __m128i low = combine(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
                const __m128i high =
                    combine(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + c), _mm_packus_epi16(low, high));
            }
#endif
            for (; c < c1; ++c) {
                const std::uint16_t d = dst[c], s = src[c];
                const std::uint16_t t = static_cast<std::uint16_t>(d * s + 128);
                dst[c] = static_cast<std::uint8_t>(d + s - ((t + (t >> 8)) >> 8));
            }
            continue;
        }
        for (int c = c0; c < c1; ++c) {
            const int cover = src[c];
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
