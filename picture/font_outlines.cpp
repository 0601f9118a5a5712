// The TrueType outline reader; see font_outlines.h. Every offset and count read from the
// file is checked against the table it points into before it is used. Scaling follows
// FreeType's unhinted loading: each point of a simple glyph multiplied by the 16.16 scale
// and rounded, a component's transform applied to its scaled points, its offset scaled
// and added.
#include "picture/font_outlines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

std::uint16_t u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
std::int16_t i16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(u16(p));
}
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

// a x b / 65536 rounded half away from zero (b 16.16 fixed point), as FreeType's FT_MulFix.
std::int32_t mulFix(std::int64_t a, std::int64_t b) {
    const bool negative = (a < 0) != (b < 0);
    const std::int64_t product = (std::llabs(a) * std::llabs(b) + 0x8000) >> 16;
    return static_cast<std::int32_t>(negative ? -product : product);
}

// Coordinates stay within these bounds at every step, so that no sum overflows: a point of
// a simple glyph in font units, and a point anywhere (scaled, transformed, moved).
constexpr std::int32_t kMaxUnits = 65535;
constexpr std::int32_t kMaxPlace = 1 << 26;

bool within(const ContourPoint& p, std::int32_t bound) {
    return p.x >= -bound && p.x <= bound && p.y >= -bound && p.y <= bound;
}

// The table with tag's offset and length; false when it is absent or leaves the file.
bool findTable(const std::vector<std::uint8_t>& font, const char* tag, std::size_t& offset,
               std::size_t& length) {
    if (font.size() < 12) return false;
    const std::size_t tables = u16(font.data() + 4);
    if (font.size() < 12 + tables * 16) return false;
    for (std::size_t i = 0; i < tables; ++i) {
        const std::uint8_t* record = font.data() + 12 + i * 16;
        if (record[0] != tag[0] || record[1] != tag[1] || record[2] != tag[2] ||
            record[3] != tag[3])
            continue;
        offset = u32(record + 8);
        length = u32(record + 12);
        return offset <= font.size() && length <= font.size() - offset;
    }
    return false;
}

// The glyph flags of composite glyphs.
constexpr std::uint16_t kArgsAreWords = 0x0001;
constexpr std::uint16_t kArgsAreXy = 0x0002;
constexpr std::uint16_t kHaveScale = 0x0008;
constexpr std::uint16_t kMoreComponents = 0x0020;
constexpr std::uint16_t kHaveXyScale = 0x0040;
constexpr std::uint16_t kHaveTwoByTwo = 0x0080;
constexpr std::uint16_t kScaledOffset = 0x0800;
constexpr std::uint16_t kUnscaledOffset = 0x1000;

// Simple glyph flags.
constexpr std::uint8_t kOnCurve = 0x01;
constexpr std::uint8_t kShortX = 0x02;
constexpr std::uint8_t kShortY = 0x04;
constexpr std::uint8_t kRepeat = 0x08;
constexpr std::uint8_t kSameOrPositiveX = 0x10;
constexpr std::uint8_t kSameOrPositiveY = 0x20;

// Reads one coordinate array (x or y) of count points into the points from first on.
bool readCoordinates(const std::uint8_t*& at, const std::uint8_t* end,
                     const std::vector<std::uint8_t>& flags, std::uint8_t shortBit,
                     std::uint8_t sameBit, bool isX, ContourPoint* points) {
    std::int32_t value = 0;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        const std::uint8_t f = flags[i];
        if (f & shortBit) {
            if (end - at < 1) return false;
            value += (f & sameBit) ? *at : -static_cast<std::int32_t>(*at);
            at += 1;
        } else if (!(f & sameBit)) {
            if (end - at < 2) return false;
            value += i16(at);
            at += 2;
        }
        (isX ? points[i].x : points[i].y) = value;
    }
    return true;
}

} // namespace

bool FontOutlines::load(std::vector<std::uint8_t> bytes) {
    bytes_.clear();
    if (bytes.size() < 12 || bytes.size() > kMaxFontFileBytes) return false;
    const std::uint32_t version = u32(bytes.data());
    if (version != 0x00010000u && version != 0x74727565u /* 'true' */) return false;
    std::size_t head = 0, headSize = 0, maxp = 0, maxpSize = 0, loca = 0, locaSize = 0;
    std::size_t glyf = 0, glyfSize = 0;
    if (!findTable(bytes, "head", head, headSize) || headSize < 54 ||
        !findTable(bytes, "maxp", maxp, maxpSize) || maxpSize < 6 ||
        !findTable(bytes, "loca", loca, locaSize) || !findTable(bytes, "glyf", glyf, glyfSize))
        return false;
    const int unitsPerEm = u16(bytes.data() + head + 18);
    const int locaFormat = i16(bytes.data() + head + 50);
    const int glyphs = u16(bytes.data() + maxp + 4);
    if (unitsPerEm < 16 || unitsPerEm > 16384 || (locaFormat != 0 && locaFormat != 1) || glyphs < 1)
        return false;
    const std::size_t entry = locaFormat ? 4 : 2;
    if (locaSize < (static_cast<std::size_t>(glyphs) + 1) * entry) return false;
    // Every glyph's place lies within glyf and none starts after its end.
    std::size_t previous = 0;
    for (int g = 0; g <= glyphs; ++g) {
        const std::uint8_t* p = bytes.data() + loca + g * entry;
        const std::size_t at = locaFormat ? u32(p) : std::size_t{u16(p)} * 2;
        if (at > glyfSize || at < previous) return false;
        previous = at;
    }
    bytes_ = std::move(bytes);
    glyf_ = glyf;
    glyfSize_ = glyfSize;
    loca_ = loca;
    longLoca_ = locaFormat != 0;
    unitsPerEm_ = unitsPerEm;
    glyphCount_ = glyphs;
    return true;
}

std::int32_t FontOutlines::scaleForPixels(double emPixels) const {
    if (!loaded() || !(emPixels > 0)) return 0;
    const double scale = emPixels * 64 * 65536 / unitsPerEm_;
    return scale > kMaxScale16 ? 0 : static_cast<std::int32_t>(std::lround(scale));
}

bool FontOutlines::glyph(std::uint16_t glyph, std::int32_t scale16, GlyphPoints& points) const {
    points.clear();
    if (!loaded() || glyph >= glyphCount_ || scale16 < 0) return false;
    int components = 0;
    if (scale16 <= kMaxScale16 && appendGlyph(glyph, scale16, 0, components, points)) return true;
    points.clear();
    return false;
}

bool FontOutlines::appendGlyph(std::uint16_t glyph, std::int32_t scale16, int depth,
                               int& components, GlyphPoints& out) const {
    if (depth > kMaxComponentDepth || glyph >= glyphCount_ || ++components > kMaxGlyphComponents)
        return false;
    const std::uint8_t* locaAt = bytes_.data() + loca_;
    const std::size_t start =
        longLoca_ ? u32(locaAt + glyph * 4) : std::size_t{u16(locaAt + glyph * 2)} * 2;
    const std::size_t stop =
        longLoca_ ? u32(locaAt + (glyph + 1) * 4) : std::size_t{u16(locaAt + (glyph + 1) * 2)} * 2;
    if (start == stop) return true; // a blank
    if (stop - start < 10) return false;
    const std::uint8_t* at = bytes_.data() + glyf_ + start;
    const std::uint8_t* const end = bytes_.data() + glyf_ + stop;
    const int contours = i16(at);
    at += 10;
    auto scaled = [scale16](std::int32_t v) { return scale16 ? mulFix(v, scale16) : v; };

    if (contours >= 0) {
        if (end - at < 2 * contours + 2) return false;
        const std::size_t base = out.points.size();
        std::size_t count = 0;
        for (int c = 0; c < contours; ++c) {
            const std::size_t last = u16(at + 2 * c);
            if ((c > 0 && last < count) || last + 1 + base > kMaxGlyphPoints) return false;
            count = last + 1;
            out.ends.push_back(static_cast<std::uint16_t>(base + last));
        }
        at += 2 * contours;
        const std::size_t instructions = u16(at);
        at += 2;
        if (static_cast<std::size_t>(end - at) < instructions) return false;
        at += instructions;
        std::vector<std::uint8_t> flags;
        flags.reserve(count);
        while (flags.size() < count) {
            if (end - at < 1) return false;
            const std::uint8_t f = *at++;
            std::size_t times = 1;
            if (f & kRepeat) {
                if (end - at < 1) return false;
                times += *at++;
            }
            if (times > count - flags.size()) return false;
            flags.insert(flags.end(), times, f);
        }
        out.points.resize(base + count);
        ContourPoint* points = out.points.data() + base;
        if (!readCoordinates(at, end, flags, kShortX, kSameOrPositiveX, true, points) ||
            !readCoordinates(at, end, flags, kShortY, kSameOrPositiveY, false, points))
            return false;
        for (std::size_t i = 0; i < count; ++i) {
            if (!within(points[i], kMaxUnits)) return false;
            points[i].onCurve = (flags[i] & kOnCurve) != 0;
            points[i].x = scaled(points[i].x);
            points[i].y = scaled(points[i].y);
        }
        return true;
    }

    // A composite: its components one after the other, each moved and transformed.
    std::uint16_t flags = kMoreComponents;
    while (flags & kMoreComponents) {
        if (end - at < 4) return false;
        flags = u16(at);
        const std::uint16_t component = u16(at + 2);
        at += 4;
        std::int32_t arg1 = 0, arg2 = 0;
        if (flags & kArgsAreWords) {
            if (end - at < 4) return false;
            arg1 = (flags & kArgsAreXy) ? i16(at) : u16(at);
            arg2 = (flags & kArgsAreXy) ? i16(at + 2) : u16(at + 2);
            at += 4;
        } else {
            if (end - at < 2) return false;
            arg1 = (flags & kArgsAreXy) ? static_cast<std::int8_t>(at[0]) : at[0];
            arg2 = (flags & kArgsAreXy) ? static_cast<std::int8_t>(at[1]) : at[1];
            at += 2;
        }
        // The transform in 16.16: F2Dot14 times 4.
        std::int32_t xx = 0x10000, yx = 0, xy = 0, yy = 0x10000;
        bool transformed = true;
        if (flags & kHaveScale) {
            if (end - at < 2) return false;
            xx = yy = i16(at) * 4;
            at += 2;
        } else if (flags & kHaveXyScale) {
            if (end - at < 4) return false;
            xx = i16(at) * 4;
            yy = i16(at + 2) * 4;
            at += 4;
        } else if (flags & kHaveTwoByTwo) {
            if (end - at < 8) return false;
            xx = i16(at) * 4;
            yx = i16(at + 2) * 4;
            xy = i16(at + 4) * 4;
            yy = i16(at + 6) * 4;
            at += 8;
        } else {
            transformed = false;
        }
        const std::size_t first = out.points.size();
        if (!appendGlyph(component, scale16, depth + 1, components, out)) return false;
        ContourPoint* points = out.points.data();
        const std::size_t count = out.points.size();
        if (transformed)
            for (std::size_t i = first; i < count; ++i) {
                const std::int32_t x = points[i].x, y = points[i].y;
                points[i].x = mulFix(x, xx) + mulFix(y, xy);
                points[i].y = mulFix(x, yx) + mulFix(y, yy);
                if (!within(points[i], kMaxPlace)) return false;
            }
        std::int32_t dx = 0, dy = 0;
        if (flags & kArgsAreXy) {
            dx = arg1;
            dy = arg2;
            if (transformed && (flags & kScaledOffset) && !(flags & kUnscaledOffset)) {
                const std::int32_t x = dx, y = dy;
                dx = mulFix(x, xx) + mulFix(y, xy);
                dy = mulFix(x, yx) + mulFix(y, yy);
            }
            if (std::abs(dx) > kMaxUnits || std::abs(dy) > kMaxUnits) return false;
            dx = scaled(dx);
            dy = scaled(dy);
        } else {
            // Point matching: the component's point arg2 lands on the glyph's point arg1.
            const std::size_t parent = static_cast<std::size_t>(arg1);
            const std::size_t child = first + static_cast<std::size_t>(arg2);
            if (parent >= first || child >= count) return false;
            dx = points[parent].x - points[child].x;
            dy = points[parent].y - points[child].y;
        }
        for (std::size_t i = first; i < count; ++i) {
            points[i].x += dx;
            points[i].y += dy;
            if (!within(points[i], kMaxPlace)) return false;
        }
    }
    return true;
}

namespace {

struct Fixed {
    std::int32_t x, y; // 64ths of a pixel
};

OutlinePoint pixels(Fixed p) {
    return {static_cast<float>(p.x) / 64.0f, static_cast<float>(p.y) / 64.0f};
}

// A point implied between two controls, in 64ths rounded towards zero (as FreeType).
Fixed midway(Fixed a, Fixed b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

// The curve from p0 through c to p1 in equal pieces: the fewest (a power of two) that
// bring the curve's bend, |p0 - 2c + p1| on either axis in 256ths of a pixel, to a quarter
// of a pixel, each piece quartering it (at most 64 pieces, for a bend of a thousand pixels).
void appendCurve(std::vector<OutlinePoint>& contour, Fixed p0, Fixed c, Fixed p1) {
    std::int64_t bend = std::max(std::llabs(std::int64_t{p0.x} - 2 * c.x + p1.x),
                                 std::llabs(std::int64_t{p0.y} - 2 * c.y + p1.y)) *
                        4;
    int pieces = 1;
    if (bend > 64) do {
            bend >>= 2;
            pieces *= 2;
        } while (bend > 64 && pieces < 64);
    const OutlinePoint a = pixels(p0), b = pixels(c), e = pixels(p1);
    const float step = 1.0f / static_cast<float>(pieces);
    for (int i = 1; i < pieces; ++i) {
        const float t = static_cast<float>(i) * step, u = 1.0f - t;
        contour.push_back({u * u * a.x + 2 * u * t * b.x + t * t * e.x,
                           u * u * a.y + 2 * u * t * b.y + t * t * e.y});
    }
    contour.push_back(e);
}

} // namespace

void pixelOutline(const GlyphPoints& glyph, GlyphOutline& outline) {
    std::size_t used = 0;
    std::size_t first = 0;
    for (const std::uint16_t last16 : glyph.ends) {
        const std::size_t last = last16;
        if (last >= glyph.points.size() || last < first) break;
        const ContourPoint* p = glyph.points.data() + first;
        const std::size_t n = last - first + 1;
        first = last + 1;
        if (n < 2) continue;
        if (outline.contours.size() <= used) outline.contours.emplace_back();
        std::vector<OutlinePoint>& contour = outline.contours[used];
        contour.clear();
        auto at = [p](std::size_t i) { return Fixed{p[i].x, p[i].y}; };
        // Start on a point on the curve: the first, else the last, else between the two.
        std::size_t begin = 0;
        Fixed start;
        if (p[0].onCurve) {
            start = at(0);
            begin = 1;
        } else if (p[n - 1].onCurve) {
            start = at(n - 1);
        } else {
            start = midway(at(0), at(n - 1));
        }
        contour.push_back(pixels(start));
        const std::size_t stop = (!p[0].onCurve && p[n - 1].onCurve) ? n - 1 : n;
        Fixed from = start, control{};
        bool haveControl = false;
        for (std::size_t i = begin; i < stop; ++i) {
            if (p[i].onCurve) {
                if (haveControl)
                    appendCurve(contour, from, control, at(i));
                else
                    contour.push_back(pixels(at(i)));
                from = at(i);
                haveControl = false;
            } else {
                if (haveControl) {
                    const Fixed middle = midway(control, at(i));
                    appendCurve(contour, from, control, middle);
                    from = middle;
                }
                control = at(i);
                haveControl = true;
            }
        }
        // Back to the start.
        if (haveControl) appendCurve(contour, from, control, start);
        const OutlinePoint origin = pixels(start);
        if (contour.size() > 1 && contour.back().x == origin.x && contour.back().y == origin.y)
            contour.pop_back();
        if (contour.size() > 2) ++used;
    }
    outline.contours.resize(used);
}

GlyphOutline pixelOutline(const GlyphPoints& points) {
    GlyphOutline outline;
    pixelOutline(points, outline);
    return outline;
}
