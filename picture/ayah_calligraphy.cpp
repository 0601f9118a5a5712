// Drawing an ayah's glyph runs from the font's outlines; see ayah_calligraphy.h.
#include "picture/ayah_calligraphy.h"

#include "picture/word_reveal.h"

#include <cmath>

namespace {

// Where a glyph's origin falls with `phases` places a pixel: the whole pixel, and the phase
// right of and below it. False for a place out of any picture's range.
struct GlyphPlace {
    int wholeX = 0, wholeY = 0;
    int phaseX = 0, phaseY = 0;
};
bool placeOf(const RunGlyph& glyph, double step, int phases, GlyphPlace& place) {
    const double x = std::round(glyph.x * step), y = std::round(glyph.y * step);
    if (std::fabs(x) > 1e9 || std::fabs(y) > 1e9) return false;
    const long long qx = static_cast<long long>(x), qy = static_cast<long long>(y);
    const long long wholeX = qx >= 0 ? qx / phases : -((-qx + phases - 1) / phases);
    const long long wholeY = qy >= 0 ? qy / phases : -((-qy + phases - 1) / phases);
    place.wholeX = static_cast<int>(wholeX);
    place.wholeY = static_cast<int>(wholeY);
    place.phaseX = static_cast<int>(qx - wholeX * phases);
    place.phaseY = static_cast<int>(qy - wholeY * phases);
    return true;
}

} // namespace

int glyphPhases(double scale) {
    return scale < 1.5 ? 64 : 4;
}

void ayahPictureSize(const AyahRuns& runs, double scale, int& width, int& height) {
    width = height = 0;
    if (!(scale > 0.0) || scale > kMaxAyahScale) return;
    width = static_cast<int>(std::ceil(runs.width * scale - 1e-9));
    height = static_cast<int>(std::ceil(runs.height * scale - 1e-9));
}

bool AyahCalligraphy::load(std::vector<std::uint8_t> runs, std::vector<std::uint8_t> font) {
    GlyphRunsFile file;
    file.load(std::move(runs));
    return take(std::move(file), std::move(font));
}

bool AyahCalligraphy::attach(const std::uint8_t* runs, std::size_t runsSize,
                             std::vector<std::uint8_t> font) {
    GlyphRunsFile file;
    file.attach(runs, runsSize);
    return take(std::move(file), std::move(font));
}

bool AyahCalligraphy::take(GlyphRunsFile file, std::vector<std::uint8_t> font) {
    runs_ = GlyphRunsFile{};
    font_ = FontOutlines{};
    forgetGlyphs();
    drawn_.clear();
    keptBytes_ = 0;
    outlines_.clear();
    outlineRound_.clear();
    scale_ = 0;
    if (!file.loaded()) return false;
    // The glyph numbers belong to one font file: another one (or a damaged one) would draw
    // other letters.
    if (font.size() != file.fontBytes() ||
        glyphRunsChecksum(font.data(), font.size()) != file.fontChecksum() ||
        !font_.load(std::move(font)))
        return false;
    runs_ = std::move(file);
    outlines_.resize(static_cast<std::size_t>(font_.glyphCount()));
    outlineRound_.assign(outlines_.size(), 0);
    return true;
}

void AyahCalligraphy::forgetGlyphs() const {
    drawnIndex_.clear();
    drawnCount_ = 0;
    ++round_;
}

const GlyphCoverage& AyahCalligraphy::glyphAt(std::uint16_t glyph, int phaseX, int phaseY) const {
    static const GlyphCoverage blank;
    if (glyph >= outlines_.size()) return blank;
    if (keptBytes_ > bytesLimit_) {
        // Past the memory they may hold: forgotten, and the memory given back.
        forgetGlyphs();
        drawn_ = std::vector<GlyphCoverage>();
        keptBytes_ = 0;
    } else if (drawnCount_ >= kMaxKeptGlyphDrawings) {
        forgetGlyphs();
    }
    const std::uint32_t key = static_cast<std::uint32_t>(glyph) << 16 |
                              static_cast<std::uint32_t>(phaseX & 0xFF) << 8 |
                              static_cast<std::uint32_t>(phaseY & 0xFF);
    auto [at, fresh] = drawnIndex_.try_emplace(key, static_cast<std::uint32_t>(drawnCount_));
    if (!fresh) return drawn_[at->second];
    // A place for it, with the memory of a glyph forgotten before.
    if (drawn_.size() <= drawnCount_) drawn_.emplace_back();
    GlyphCoverage& coverage = drawn_[drawnCount_++];
    // The outline in pixels (every point at a 64th of a pixel), kept for the other phases;
    // its origin phaseX and phaseY phases right of and below a whole pixel.
    GlyphOutline& outline = outlines_[glyph];
    if (outlineRound_[glyph] != round_) {
        outlineRound_[glyph] = round_;
        if (!font_.glyph(glyph, scale16_, points_)) points_.clear();
        pixelOutline(points_, outline);
    }
    ++drawingsMade_;
    keptBytes_ -= coverage.cover.capacity();
    rasteriseGlyph(outline, 1.0, static_cast<double>(phaseX) / phases_,
                   static_cast<double>(phaseY) / phases_, scratch_, coverage);
    keptBytes_ += coverage.cover.capacity();
    return coverage;
}

const CoverageCanvas& AyahCalligraphy::draw(const AyahRuns& runs, double scale,
                                            const GlyphInks& inks, int width, int height) const {
    const bool coloured = inks.byRule || inks.markedLetters;
    if (!loaded() || runs.empty() || !(scale > 0.0) || scale > kMaxAyahScale || width < 1 ||
        height < 1) {
        canvas_.reset(0, 0, false);
        return canvas_;
    }
    canvas_.reset(width, height, coloured);
    if (!useScale(scale)) return canvas_;
    const int wordCount = inks.shownWords >= 0 ? runsWordCount(runs) : 0;
    const double step = scale / 64.0 * phases_; // phases per 64th of a 1x pixel
    GlyphPlace place;
    for (const RunLine& line : runs.lines)
        for (const RunGlyph& g : line.glyphs) {
            if (!glyphRevealed(g.word, inks.shownWords, wordCount) ||
                !placeOf(g, step, phases_, place))
                continue;
            std::uint8_t number = inks.byRule ? g.rule : 0;
            if (inks.markedLetters && g.letter != kNoLetter &&
                g.letter < inks.markedLetters->size() && (*inks.markedLetters)[g.letter])
                number = kMarkInk;
            canvas_.place(glyphAt(g.glyph, place.phaseX, place.phaseY), place.wholeX, place.wholeY,
                          number);
        }
    return canvas_;
}

void AyahCalligraphy::prepare(const AyahRuns& runs, double scale) const {
    if (!loaded() || runs.empty() || !(scale > 0.0) || scale > kMaxAyahScale || !useScale(scale))
        return;
    const double step = scale / 64.0 * phases_;
    GlyphPlace place;
    for (const RunLine& line : runs.lines)
        for (const RunGlyph& g : line.glyphs)
            if (placeOf(g, step, phases_, place)) glyphAt(g.glyph, place.phaseX, place.phaseY);
}

bool AyahCalligraphy::useScale(double scale) const {
    if (scale != scale_) {
        forgetGlyphs();
        scale_ = scale;
        phases_ = glyphPhases(scale);
        scale16_ = font_.scaleForPixels(emPixels() * scale);
    }
    return scale16_ != 0;
}

void blendCoverage(const CoverageCanvas& canvas, std::uint32_t paper, const std::uint32_t* colours,
                   std::uint32_t* pixels) {
    // Every pixel through a table for its colour number, made when first met.
    auto blend = [paper](std::uint32_t ink, int cover) {
        auto mix = [cover](std::uint32_t p, std::uint32_t i) {
            return (static_cast<int>(p & 0xFF) * (255 - cover) +
                    static_cast<int>(i & 0xFF) * cover + 127) /
                   255;
        };
        return static_cast<std::uint32_t>(mix(paper >> 16, ink >> 16) << 16 |
                                          mix(paper >> 8, ink >> 8) << 8 | mix(paper, ink));
    };
    std::vector<std::vector<std::uint32_t>> tables(kInkNumbers);
    const std::vector<std::uint8_t>& coverage = canvas.coverage();
    const std::vector<std::uint8_t>& numbers = canvas.colours();
    const std::uint32_t plain = blend(paper, 0);
    for (std::size_t p = 0; p < coverage.size(); ++p) {
        if (coverage[p] == 0) {
            pixels[p] = plain;
            continue;
        }
        const std::uint8_t number = numbers.empty() || numbers[p] >= kInkNumbers ? 0 : numbers[p];
        std::vector<std::uint32_t>& table = tables[number];
        if (table.empty()) {
            table.resize(256);
            for (int c = 0; c < 256; ++c)
                table[static_cast<std::size_t>(c)] = blend(colours[number], c);
        }
        pixels[p] = table[coverage[p]];
    }
}
