#include "ayah_picture.h"

#include "tajwid/tajwid_legend.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <gif_lib.h>
#include <hb.h>

namespace ayahpics {

std::array<Rgb, kPaletteSize> inkPalette() {
    std::array<Rgb, kPaletteSize> palette{};
    const int steps = kPaletteSize - 1;
    auto mix = [steps](int paper, int ink, int i) {
        return static_cast<std::uint8_t>((paper * (steps - i) + ink * i + steps / 2) / steps);
    };
    for (int i = 0; i < kPaletteSize; ++i)
        palette[i] = {mix(kPaper.r, kInk.r, i), mix(kPaper.g, kInk.g, i), mix(kPaper.b, kInk.b, i)};
    return palette;
}

std::uint8_t coverageToIndex(std::uint8_t coverage) {
    return coverageToLevel(coverage, kPaletteSize);
}

std::uint8_t coverageToLevel(std::uint8_t coverage, int levels) {
    return static_cast<std::uint8_t>((coverage * (levels - 1) + 127) / 255);
}

std::vector<Rgb> inkRamp(int levels) {
    std::vector<Rgb> palette(static_cast<std::size_t>(levels));
    const int steps = levels - 1;
    auto mix = [steps](int paper, int ink, int i) {
        return static_cast<std::uint8_t>((paper * (steps - i) + ink * i + steps / 2) / steps);
    };
    for (int i = 0; i < levels; ++i)
        palette[i] = {mix(kPaper.r, kInk.r, i), mix(kPaper.g, kInk.g, i), mix(kPaper.b, kInk.b, i)};
    return palette;
}

PictureStyle scaledStyle(const PictureStyle& style, double factor) {
    auto scaled = [factor](int length) { return static_cast<int>(std::lround(length * factor)); };
    PictureStyle out = style;
    out.fontPixels = scaled(style.fontPixels);
    out.maxLineWidth = scaled(style.maxLineWidth);
    out.linePitch = scaled(style.linePitch);
    out.minLineGap = scaled(style.minLineGap);
    out.margin = scaled(style.margin);
    return out;
}

std::string arabicIndicDigits(int number) {
    std::string digits;
    for (; number > 0; number /= 10) {
        // U+0660 + d is D9 A0+d in UTF-8; built backwards, two bytes at a time.
        digits.insert(0, {'\xD9', static_cast<char>(0xA0 + number % 10)});
    }
    return digits;
}

std::string ayahEndSign(int number) {
    return "\xDB\x9D" + arabicIndicDigits(number);
}

std::string withOpenTanween(const std::string& utf8Text) {
    std::string out;
    out.reserve(utf8Text.size() + utf8Text.size() / 8);
    for (std::size_t i = 0; i < utf8Text.size(); ++i) {
        // U+0656, U+0657 and U+065E are D9 96, D9 97 and D9 9E; U+08F0..U+08F2 are E0 A3 B0..B2.
        if (utf8Text[i] == '\xD9' && i + 1 < utf8Text.size()) {
            const char next = utf8Text[i + 1];
            const char open = next == '\x97'   ? '\xB0'
                              : next == '\x9E' ? '\xB1'
                              : next == '\x96' ? '\xB2'
                                               : 0;
            if (open != 0) {
                out += {'\xE0', '\xA3', open};
                ++i;
                continue;
            }
        }
        out += utf8Text[i];
    }
    return out;
}

std::vector<std::string> breakUnits(const std::string& text, int ayahNumber) {
    std::vector<std::string> units;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) units.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    const std::string sign = ayahEndSign(ayahNumber);
    if (units.empty())
        units.push_back(sign);
    else
        units.back() += " " + sign;
    return units;
}

std::vector<std::size_t> breakLines(const std::vector<std::int64_t>& unitWidths,
                                    std::int64_t blankWidth, std::int64_t maxWidth) {
    std::vector<std::size_t> lines;
    std::size_t onLine = 0;
    std::int64_t width = 0;
    for (std::int64_t unit : unitWidths) {
        if (onLine > 0 && width + blankWidth + unit > maxWidth) {
            lines.push_back(onLine);
            onLine = 0;
        }
        width = onLine == 0 ? unit : width + blankWidth + unit;
        ++onLine;
    }
    if (onLine > 0) lines.push_back(onLine);
    return lines;
}

namespace {

struct GifSink {
    std::vector<std::uint8_t>* bytes;
};

int writeToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* sink = static_cast<GifSink*>(gif->UserData);
    sink->bytes->insert(sink->bytes->end(), data, data + length);
    return length;
}

} // namespace

bool encodeGif(const IndexedPicture& picture, std::vector<std::uint8_t>& gif, std::string& error) {
    return encodeGif(picture, inkPalette(), gif, error);
}

bool encodeGif(const IndexedPicture& picture, const std::array<Rgb, kPaletteSize>& palette,
               std::vector<std::uint8_t>& gif, std::string& error) {
    return encodeGif(picture, std::vector<Rgb>(palette.begin(), palette.end()), gif, error);
}

bool encodeGif(const IndexedPicture& picture, const std::vector<Rgb>& palette,
               std::vector<std::uint8_t>& gif, std::string& error) {
    gif.clear();
    if (picture.width < 1 || picture.height < 1 || picture.width > 65535 ||
        picture.height > 65535 ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height) {
        error = "picture size out of range for a GIF";
        return false;
    }
    const int colourCount = static_cast<int>(palette.size());
    if (colourCount < 2 || colourCount > kPaletteSize) {
        gif.clear();
        error = "a palette of 2 to 16 colours";
        return false;
    }
    for (std::uint8_t index : picture.pixels) {
        if (index >= colourCount) {
            error = "pixel outside the palette";
            return false;
        }
    }
    // A GIF's colour table has a power of two entries: the last colour fills the rest.
    int tableSize = 2;
    while (tableSize < colourCount)
        tableSize *= 2;
    GifColorType colours[kPaletteSize];
    for (int i = 0; i < tableSize; ++i) {
        const Rgb& c = palette[std::min(i, colourCount - 1)];
        colours[i] = {c.r, c.g, c.b};
    }
    ColorMapObject* map = GifMakeMapObject(tableSize, colours);
    if (map == nullptr) {
        error = "out of memory for the colour table";
        return false;
    }

    GifSink sink{&gif};
    int code = 0;
    GifFileType* file = EGifOpen(&sink, writeToVector, &code);
    if (file == nullptr) {
        GifFreeMapObject(map);
        error = GifErrorString(code) ? GifErrorString(code) : "EGifOpen failed";
        return false;
    }
    EGifSetGifVersion(file, true);
    bool ok = EGifPutScreenDesc(file, picture.width, picture.height, map->BitsPerPixel, 0, map) ==
                  GIF_OK &&
              EGifPutImageDesc(file, 0, 0, picture.width, picture.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> row(picture.width);
    for (int y = 0; ok && y < picture.height; ++y) {
        std::memcpy(row.data(), picture.pixels.data() + static_cast<std::size_t>(y) * picture.width,
                    picture.width);
        ok = EGifPutLine(file, row.data(), picture.width) == GIF_OK;
    }
    if (!ok) {
        const char* text = GifErrorString(file->Error);
        error = text ? text : "GIF encoding failed";
    }
    GifFreeMapObject(map);
    if (EGifCloseFile(file, &code) != GIF_OK && ok) {
        const char* text = GifErrorString(code);
        error = text ? text : "GIF encoding failed";
        ok = false;
    }
    if (!ok) gif.clear();
    return ok;
}

namespace {

// One drawn glyph: its coverage and where its top-left pixel lies relative to the line's
// origin (left end of the line's advance, on the baseline; y grows downwards).
struct GlyphInk {
    std::uint8_t colour = 0; // palette index of a coloured picture
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;
};

// One shaped glyph: position of its origin relative to the start of the text, 1/64 pixel,
// y upwards, and the pen position after it.
struct PlacedGlyph {
    unsigned glyph = 0;
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t nextPenX = 0;
    std::uint8_t colour = 0;
    std::size_t cluster = 0; // bytes of the line's text the glyph comes from
    std::size_t clusterEnd = 0;
};

// One shaped and drawn line.
struct Line {
    std::int64_t advance = 0; // 1/64 pixel
    std::vector<GlyphInk> glyphs;
    std::vector<PlacedGlyph> placed;
    int inkTop = 0; // rows relative to the baseline; top < bottom when there is ink
    int inkBottom = 0;
    bool hasInk = false;
};

// The code point that starts at byte offset `at` of a UTF-8 text, in hexadecimal, for messages.
std::string hexCodePointAt(const std::string& text, std::size_t at) {
    if (at >= text.size()) return "?";
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    unsigned long cp = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length && at + i < text.size(); ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04lX", cp);
    return buffer;
}

int floorDiv64(std::int64_t v) {
    return static_cast<int>(v >= 0 ? v / 64 : -((-v + 63) / 64));
}

} // namespace

struct AyahRenderer::Impl {
    PictureStyle style;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    hb_blob_t* blob = nullptr;
    hb_face_t* hbFace = nullptr;
    hb_font_t* font = nullptr;
    hb_buffer_t* buffer = nullptr;

    ~Impl() {
        if (buffer) hb_buffer_destroy(buffer);
        if (font) hb_font_destroy(font);
        if (hbFace) hb_face_destroy(hbFace);
        if (blob) hb_blob_destroy(blob);
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }

    // Shapes one directional run and appends its glyphs, in visual order from the left, at
    // pen position penX (1/64 pixel); returns the pen position after the run.
    std::int64_t shapeRun(const std::string& text, std::size_t from, std::size_t length,
                          hb_direction_t direction, std::vector<PlacedGlyph>& glyphs,
                          const std::vector<std::uint8_t>* byteColours) {
        hb_buffer_clear_contents(buffer);
        // Marks keep clusters of their own, so that a mark can be coloured apart from its letter.
        hb_buffer_set_cluster_level(buffer, HB_BUFFER_CLUSTER_LEVEL_MONOTONE_CHARACTERS);
        hb_buffer_add_utf8(buffer, text.data(), static_cast<int>(text.size()),
                           static_cast<unsigned>(from), static_cast<int>(length));
        hb_buffer_set_direction(buffer, direction);
        hb_buffer_set_script(buffer, HB_SCRIPT_ARABIC);
        hb_buffer_set_language(buffer, hb_language_from_string("ar", -1));
        hb_shape(font, buffer, nullptr, 0);
        unsigned count = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
        const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
        std::int64_t penX = glyphs.empty() ? 0 : glyphs.back().nextPenX;
        std::vector<std::size_t> clusterStarts;
        for (unsigned i = 0; i < count; ++i)
            clusterStarts.push_back(info[i].cluster);
        std::sort(clusterStarts.begin(), clusterStarts.end());
        for (unsigned i = 0; i < count; ++i) {
            if (info[i].codepoint == 0)
                throw std::runtime_error("no glyph in the font for the character U+" +
                                         hexCodePointAt(text, info[i].cluster));
            PlacedGlyph g;
            g.glyph = info[i].codepoint;
            g.x = penX + pos[i].x_offset;
            g.y = pos[i].y_offset;
            penX += pos[i].x_advance;
            g.nextPenX = penX;
            g.cluster = info[i].cluster;
            const auto after =
                std::upper_bound(clusterStarts.begin(), clusterStarts.end(), g.cluster);
            g.clusterEnd = after == clusterStarts.end() ? from + length : *after;
            if (byteColours != nullptr)
                g.colour =
                    clusterColour(*byteColours, clusterStarts, info[i].cluster, from + length);
            glyphs.push_back(g);
        }
        return penX;
    }

    // The colour of a cluster: that of the first of its characters that is not plain ink (a
    // ligature of lam and alif may join a coloured letter and a plain one).
    static std::uint8_t clusterColour(const std::vector<std::uint8_t>& byteColours,
                                      const std::vector<std::size_t>& starts, std::size_t cluster,
                                      std::size_t runEnd) {
        auto after = std::upper_bound(starts.begin(), starts.end(), cluster);
        const std::size_t end =
            std::min(after == starts.end() ? runEnd : *after, byteColours.size());
        for (std::size_t b = cluster; b < end; ++b)
            if (byteColours[b] != tajwid::kInkIndex) return byteColours[b];
        return tajwid::kInkIndex;
    }

    // Lays out a piece of ayah text, in visual order from the left. The text is right to left,
    // except that the end-of-ayah sign with its number is an Arabic number run: laid out left
    // to right (sign, then digits) as the bidirectional algorithm orders it, which is what the
    // font needs to draw the digits inside the sign. Being logically last, it stands leftmost.
    std::vector<PlacedGlyph> layoutText(const std::string& text, std::int64_t& advance,
                                        const std::vector<std::uint8_t>* byteColours = nullptr) {
        std::vector<PlacedGlyph> glyphs;
        const std::size_t sign = text.find("\xDB\x9D");
        const std::size_t rtlLength = sign == std::string::npos ? text.size() : sign;
        if (sign != std::string::npos)
            shapeRun(text, sign, text.size() - sign, HB_DIRECTION_LTR, glyphs, byteColours);
        advance = shapeRun(text, 0, rtlLength, HB_DIRECTION_RTL, glyphs, byteColours);
        return glyphs;
    }

    Line drawLine(const std::string& text, const std::vector<std::uint8_t>* byteColours) {
        Line line;
        line.placed = layoutText(text, line.advance, byteColours);
        for (const PlacedGlyph& placed : line.placed) {
            const std::int64_t gx = placed.x;
            const std::int64_t gy = placed.y; // upwards
            if (FT_Load_Glyph(face, placed.glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP))
                throw std::runtime_error("a glyph cannot be loaded");
            FT_GlyphSlot slot = face->glyph;
            if (slot->format != FT_GLYPH_FORMAT_OUTLINE) continue;
            // Draw at the exact fractional position: shift the outline by the fraction and
            // place the bitmap at the whole pixel.
            const int wholeX = floorDiv64(gx);
            const int wholeY = floorDiv64(gy);
            FT_Outline_Translate(&slot->outline, static_cast<FT_Pos>(gx - wholeX * 64LL),
                                 static_cast<FT_Pos>(gy - wholeY * 64LL));
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL))
                throw std::runtime_error("a glyph cannot be drawn");
            const FT_Bitmap& bitmap = slot->bitmap;
            if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
                throw std::runtime_error("unexpected glyph bitmap format");
            if (bitmap.width == 0 || bitmap.rows == 0) continue;
            if (bitmap.width > 4096 || bitmap.rows > 4096)
                throw std::runtime_error("glyph bitmap too large");
            GlyphInk ink;
            ink.colour = placed.colour;
            ink.width = static_cast<int>(bitmap.width);
            ink.height = static_cast<int>(bitmap.rows);
            ink.x = wholeX + slot->bitmap_left;
            ink.y = -(wholeY + slot->bitmap_top);
            ink.coverage.resize(static_cast<std::size_t>(ink.width) * ink.height);
            for (int r = 0; r < ink.height; ++r) {
                const unsigned char* src =
                    bitmap.buffer + static_cast<std::ptrdiff_t>(r) * bitmap.pitch;
                std::memcpy(ink.coverage.data() + static_cast<std::size_t>(r) * ink.width, src,
                            ink.width);
            }
            if (!line.hasInk) {
                line.inkTop = ink.y;
                line.inkBottom = ink.y + ink.height;
                line.hasInk = true;
            } else {
                line.inkTop = std::min(line.inkTop, ink.y);
                line.inkBottom = std::max(line.inkBottom, ink.y + ink.height);
            }
            line.glyphs.push_back(std::move(ink));
        }
        return line;
    }
};

AyahRenderer::AyahRenderer(const std::string& fontPath, const PictureStyle& style)
    : impl_(std::make_unique<Impl>()) {
    Impl& d = *impl_;
    d.style = style;
    if (style.fontPixels < 4 || style.fontPixels > 512 || style.maxLineWidth < 1 ||
        style.linePitch < 1 || style.minLineGap < 0 || style.margin < 0 || style.greyLevels < 2 ||
        style.greyLevels > kPaletteSize)
        throw std::runtime_error("picture style out of range");
    if (FT_Init_FreeType(&d.library)) throw std::runtime_error("FreeType cannot start");
    if (FT_New_Face(d.library, fontPath.c_str(), 0, &d.face))
        throw std::runtime_error("cannot open the font " + fontPath);
    if (FT_Set_Pixel_Sizes(d.face, 0, style.fontPixels))
        throw std::runtime_error("the font cannot be set to the size");
    d.blob = hb_blob_create_from_file(fontPath.c_str());
    if (hb_blob_get_length(d.blob) == 0) throw std::runtime_error("cannot read " + fontPath);
    d.hbFace = hb_face_create(d.blob, 0);
    d.font = hb_font_create(d.hbFace);
    // Positions in 1/64 pixel, unhinted, to match FreeType's unhinted outlines.
    hb_font_set_scale(d.font, style.fontPixels * 64, style.fontPixels * 64);
    d.buffer = hb_buffer_create();
    if (!hb_buffer_allocation_successful(d.buffer))
        throw std::runtime_error("out of memory for the shaping buffer");
}

AyahRenderer::~AyahRenderer() = default;

std::int64_t AyahRenderer::shapedWidth(const std::string& utf8Text) {
    std::int64_t advance = 0;
    impl_->layoutText(utf8Text, advance);
    return advance;
}

IndexedPicture AyahRenderer::render(const std::string& utf8Text, int ayahNumber, AyahRuns* runs) {
    return renderWith(utf8Text, ayahNumber, false, runs);
}

IndexedPicture AyahRenderer::renderTajwid(const std::string& utf8Text, int ayahNumber) {
    return renderWith(utf8Text, ayahNumber, true, nullptr);
}

std::vector<std::uint8_t> tajwidByteColours(const std::string& utf8Text) {
    std::vector<std::uint8_t> colours(utf8Text.size(), tajwid::kInkIndex);
    const std::vector<tajwid::CodePoint> cps = tajwid::decodeUtf8(utf8Text);
    const std::vector<tajwid::Rule> rules = tajwid::classifyUtf8(utf8Text);
    for (std::size_t i = 0; i < cps.size(); ++i) {
        const std::size_t end = i + 1 < cps.size() ? cps[i + 1].offset : utf8Text.size();
        std::fill(colours.begin() + static_cast<std::ptrdiff_t>(cps[i].offset),
                  colours.begin() + static_cast<std::ptrdiff_t>(end),
                  tajwid::paletteIndex(rules[i]));
    }
    return colours;
}

IndexedPicture AyahRenderer::renderWith(const std::string& utf8Text, int ayahNumber, bool coloured,
                                        AyahRuns* runs) {
    Impl& d = *impl_;
    const PictureStyle& style = d.style;
    const std::string text = withOpenTanween(utf8Text);
    const std::vector<std::string> units = breakUnits(text, ayahNumber);
    // The colours of the units' bytes, cut from the text the way breakUnits cuts it; the
    // end-of-ayah sign is ink.
    std::vector<std::vector<std::uint8_t>> unitColours;
    if (coloured) {
        const std::vector<std::uint8_t> colours = tajwidByteColours(text);
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find(' ', start);
            if (end == std::string::npos) end = text.size();
            if (end > start)
                unitColours.emplace_back(colours.begin() + static_cast<std::ptrdiff_t>(start),
                                         colours.begin() + static_cast<std::ptrdiff_t>(end));
            start = end + 1;
        }
        if (unitColours.empty()) unitColours.emplace_back();
        unitColours.back().resize(units.back().size(), tajwid::kInkIndex);
    }
    std::vector<std::int64_t> widths;
    widths.reserve(units.size());
    for (const std::string& unit : units)
        widths.push_back(shapedWidth(unit));
    const std::vector<std::size_t> counts =
        breakLines(widths, shapedWidth(" "), static_cast<std::int64_t>(style.maxLineWidth) * 64);

    // Where each unit starts in the text, and the code point index of every byte of the text,
    // for naming the letter and word every glyph comes from.
    std::vector<std::size_t> unitStarts, unitLengths;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) {
            unitStarts.push_back(start);
            unitLengths.push_back(end - start);
        }
        start = end + 1;
    }
    const std::vector<tajwid::CodePoint> codePoints = tajwid::decodeUtf8(text);
    const std::vector<tajwid::Rule> rules = tajwid::classifyUtf8(text);
    std::vector<int> codePointOfByte(text.size(), -1);
    for (std::size_t c = 0; c < codePoints.size(); ++c) {
        const std::size_t end = c + 1 < codePoints.size() ? codePoints[c + 1].offset : text.size();
        for (std::size_t b = codePoints[c].offset; b < end; ++b)
            codePointOfByte[b] = static_cast<int>(c);
    }

    std::vector<Line> lines;
    std::vector<std::vector<int>> lineLetters; // code point index of each byte of a line, or -1
    std::vector<std::vector<int>> lineWords;
    std::size_t next = 0;
    for (std::size_t count : counts) {
        std::string lineText;
        std::vector<std::uint8_t> lineColours;
        std::vector<int> letters, words;
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0) {
                lineText += ' ';
                lineColours.push_back(tajwid::kInkIndex);
                letters.push_back(-1);
                words.push_back(-1);
            }
            const std::size_t unit = next + i;
            for (std::size_t b = 0; b < units[unit].size(); ++b) {
                // The end-of-ayah sign joined to the last unit lies beyond its word.
                const bool inText = unit < unitStarts.size() && b < unitLengths[unit];
                const std::size_t at = inText ? unitStarts[unit] + b : 0;
                letters.push_back(inText ? codePointOfByte[at] : -1);
                words.push_back(inText ? static_cast<int>(unit) : -1);
            }
            lineText += units[unit];
            if (coloured)
                lineColours.insert(lineColours.end(), unitColours[next + i].begin(),
                                   unitColours[next + i].end());
        }
        next += count;
        lines.push_back(d.drawLine(lineText, coloured ? &lineColours : nullptr));
        lineLetters.push_back(std::move(letters));
        lineWords.push_back(std::move(words));
    }

    // Right-align every line on the longest advance; stack the baselines at the pitch, further
    // apart where the ink of two lines would come closer than the gap.
    std::int64_t widest = 0;
    for (const Line& line : lines)
        widest = std::max(widest, line.advance);
    std::vector<int> shiftX(lines.size());
    std::vector<int> baseline(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        shiftX[i] = floorDiv64(widest - lines[i].advance);
        if (i == 0) continue;
        int y = baseline[i - 1] + style.linePitch;
        if (lines[i - 1].hasInk && lines[i].hasInk)
            y = std::max(y, baseline[i - 1] + lines[i - 1].inkBottom + style.minLineGap -
                                lines[i].inkTop);
        baseline[i] = y;
    }

    // The picture spans the ink of the lines, plus the margin on every side (a text without
    // ink, which the font never gives for an ayah, would still make a one-pixel picture).
    int left = 0, right = 1, top = 0, bottom = 1;
    bool anyInk = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (const GlyphInk& g : lines[i].glyphs) {
            const int gx = shiftX[i] + g.x, gy = baseline[i] + g.y;
            if (!anyInk) {
                left = gx;
                right = gx + g.width;
                top = gy;
                bottom = gy + g.height;
                anyInk = true;
            }
            left = std::min(left, gx);
            right = std::max(right, gx + g.width);
            top = std::min(top, gy);
            bottom = std::max(bottom, gy + g.height);
        }
    }
    const long long width = static_cast<long long>(right) - left + 2LL * style.margin;
    const long long height = static_cast<long long>(bottom) - top + 2LL * style.margin;
    if (width < 1 || height < 1 || width > 65535 || height > 65535)
        throw std::runtime_error("picture would be too large");

    const int originX = style.margin - left, originY = style.margin - top;
    if (runs != nullptr) {
        *runs = AyahRuns{};
        runs->width = static_cast<int>(width);
        runs->height = static_cast<int>(height);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            RunLine line;
            line.baseline = (originY + baseline[i]) * 64;
            for (const PlacedGlyph& p : lines[i].placed) {
                RunGlyph g;
                if (p.glyph > 0xFFFF) throw std::runtime_error("glyph number out of range");
                g.glyph = static_cast<std::uint16_t>(p.glyph);
                g.x = static_cast<std::int32_t>((originX + shiftX[i]) * 64LL + p.x);
                g.y = static_cast<std::int32_t>(line.baseline - p.y);
                // The letter is the cluster's first code point; its rule the first rule in the
                // cluster that is not plain (as the tajwid pictures colour it).
                const std::vector<int>& letters = lineLetters[i];
                const int letter = p.cluster < letters.size() ? letters[p.cluster] : -1;
                const int word = p.cluster < letters.size() ? lineWords[i][p.cluster] : -1;
                if (letter >= 0xFFFF || word >= kNoWord)
                    throw std::runtime_error("ayah too long for the glyph runs");
                g.letter = letter < 0 ? kNoLetter : static_cast<std::uint16_t>(letter);
                g.word = word < 0 ? kNoWord : static_cast<std::uint8_t>(word);
                for (std::size_t b = p.cluster; b < p.clusterEnd && b < letters.size(); ++b) {
                    if (letters[b] < 0) continue;
                    const tajwid::Rule rule = rules[static_cast<std::size_t>(letters[b])];
                    if (rule != tajwid::Rule::None) {
                        g.rule = static_cast<std::uint8_t>(rule);
                        break;
                    }
                }
                line.glyphs.push_back(g);
            }
            runs->lines.push_back(std::move(line));
        }
    }
    const std::size_t pixelCount = static_cast<std::size_t>(width * height);
    std::vector<std::uint8_t> coverage(pixelCount, 0);
    // In a coloured picture every pixel takes the colour of the glyph that covers it most
    // (a mark drawn over its letter wins a tie).
    std::vector<std::uint8_t> colour(coloured ? pixelCount : 0, tajwid::kInkIndex);
    std::vector<std::uint8_t> strongest(coloured ? pixelCount : 0, 0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (const GlyphInk& g : lines[i].glyphs) {
            const int x0 = originX + shiftX[i] + g.x, y0 = originY + baseline[i] + g.y;
            for (int r = 0; r < g.height; ++r) {
                const std::size_t rowStart = static_cast<std::size_t>(y0 + r) * width + x0;
                std::uint8_t* dst = coverage.data() + rowStart;
                const std::uint8_t* src = g.coverage.data() + static_cast<std::size_t>(r) * g.width;
                for (int c = 0; c < g.width; ++c) {
                    // Overlapping strokes (joins, marks on letters) combine as two layers of
                    // translucent ink, so an overlap is never lighter than either stroke.
                    dst[c] =
                        static_cast<std::uint8_t>(dst[c] + src[c] - (dst[c] * src[c] + 127) / 255);
                    if (coloured && src[c] > 0 && src[c] >= strongest[rowStart + c]) {
                        strongest[rowStart + c] = src[c];
                        colour[rowStart + c] = g.colour;
                    }
                }
            }
        }
    }

    IndexedPicture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.resize(pixelCount);
    if (!coloured) {
        const int levels = style.greyLevels;
        std::transform(coverage.begin(), coverage.end(), picture.pixels.begin(),
                       [levels](std::uint8_t c) { return coverageToLevel(c, levels); });
        return picture;
    }
    // Sixteen colours leave no room for shades of each: faint coverage is paper, the soft edge
    // a light grey, the body of a stroke its colour.
    for (std::size_t p = 0; p < pixelCount; ++p) {
        const std::uint8_t cover = coverage[p];
        picture.pixels[p] = cover < 40    ? tajwid::kPaperIndex
                            : cover < 100 ? tajwid::kEdgeIndex
                                          : colour[p];
    }
    return picture;
}

std::array<Rgb, kPaletteSize> tajwidPalette() {
    std::array<Rgb, kPaletteSize> out{};
    static_assert(tajwid::kPaletteSize == kPaletteSize, "one palette size for every picture");
    for (int i = 0; i < kPaletteSize; ++i)
        out[i] = {tajwid::palette()[i].r, tajwid::palette()[i].g, tajwid::palette()[i].b};
    return out;
}

} // namespace ayahpics
