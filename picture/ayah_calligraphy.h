// An ayah drawn from its glyph runs (picture/glyph_runs.h) and the outlines of the font the
// runs were shaped with (picture/font_outlines.h), at any scale, into a coverage picture with
// the colour number of every pixel's glyph. The views turn it into pixels of their colours.
//
// Every glyph is drawn at its exact place rounded to a fraction of a pixel: a 64th at scales
// below 1.5 (the runs' own step at 1x, where the drawing must have the edges of the 1x
// pictures), a quarter above, where a quarter pixel cannot be seen and the same glyph at the
// same quarter can be drawn once and placed again. Drawn glyphs are kept for the scale last
// drawn at.
#ifndef NORAVEL_PICTURE_AYAH_CALLIGRAPHY_H
#define NORAVEL_PICTURE_AYAH_CALLIGRAPHY_H

#include "picture/font_outlines.h"
#include "picture/glyph_raster.h"
#include "picture/glyph_runs.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

// The colour numbers of the coverage picture: 0 ink, a tajwid rule's number, or kMarkInk for
// the letters a search matched.
inline constexpr std::uint8_t kMarkInk = kGlyphRunsRuleLimit;
inline constexpr int kInkNumbers = kMarkInk + 1;

// Which colour number each glyph takes, and which glyphs are drawn.
struct GlyphInks {
    bool byRule = false;                              // each glyph its rule's number, else 0
    const std::vector<bool>* markedLetters = nullptr; // glyphs of a true letter: kMarkInk
    int shownWords = -1; // 0 or more: only the glyphs of the first shownWords words
};

// The largest scale an ayah is drawn at; at most this many drawn glyphs are kept, holding
// at most about this many bytes (a glyph's drawing grows with the square of the scale).
inline constexpr double kMaxAyahScale = 16.0;
inline constexpr std::size_t kMaxKeptGlyphDrawings = 20000;
inline constexpr std::size_t kMaxKeptGlyphBytes = std::size_t{64} << 20;

// The fraction of a pixel glyphs are placed to at scale: 1 / phases.
int glyphPhases(double scale);

// The size of the ayah's picture at scale: its 1x picture's size times scale, rounded up.
void ayahPictureSize(const AyahRuns& runs, double scale, int& width, int& height);

class AyahCalligraphy {
  public:
    // The runs file's and the font file's bytes. False, keeping nothing, when either is
    // damaged or the font is not the one the runs were made with (its size and checksum).
    bool load(std::vector<std::uint8_t> runs, std::vector<std::uint8_t> font);
    // The same with the runs file's bytes kept by the caller (a mapped view) for as long as
    // this object is used.
    bool attach(const std::uint8_t* runs, std::size_t runsSize, std::vector<std::uint8_t> font);
    bool loaded() const { return runs_.loaded() && font_.loaded(); }
    AyahRuns ayah(int surah, int ayah) const { return runs_.ayah(surah, ayah); }
    int emPixels() const { return runs_.emPixels(); }
    int unitsPerEm() const { return font_.unitsPerEm(); }

    // The ayah drawn at scale on a canvas of width x height (ayahPictureSize), with colour
    // numbers when inks ask for more than ink. Empty (0 x 0) when there is nothing to draw or
    // the scale is out of range. The canvas is kept until the next drawing.
    const CoverageCanvas& draw(const AyahRuns& runs, double scale, const GlyphInks& inks, int width,
                               int height) const;

    // The glyphs of the runs drawn at scale and kept, with no picture made: a drawing of
    // these runs at that scale then only places them. For idle time before they are shown.
    void prepare(const AyahRuns& runs, double scale) const;
    // The glyphs drawn so far forgotten: the next drawing draws each anew.
    void forgetGlyphs() const;
    // The memory the drawn glyphs hold, those kept and those forgotten whose memory is kept
    // for the next ones. Once a drawing takes it past the limit (kMaxKeptGlyphBytes unless
    // set), the glyphs are forgotten and the memory given back before the next one is drawn.
    std::size_t keptGlyphBytes() const { return keptBytes_; }
    // How many glyph drawings have been made since loading (a drawing found kept is none).
    std::size_t glyphDrawingsMade() const { return drawingsMade_; }
    void setKeptGlyphBytesLimit(std::size_t bytes) { bytesLimit_ = bytes; }

  private:
    bool take(GlyphRunsFile runs, std::vector<std::uint8_t> font);
    // The kept glyphs made for scale (forgotten when they were drawn at another); false when
    // the font cannot be scaled to it.
    bool useScale(double scale) const;
    const GlyphCoverage& glyphAt(std::uint16_t glyph, int phaseX, int phaseY) const;
    GlyphRunsFile runs_;
    FontOutlines font_;
    mutable double scale_ = 0; // what the kept glyphs were drawn at
    mutable int phases_ = 1;
    mutable std::int32_t scale16_ = 0;
    // The glyphs drawn at scale_: drawnCount_ of drawn_ (the rest are memory of glyphs
    // forgotten), found by glyph and phases in drawnIndex_.
    mutable std::unordered_map<std::uint32_t, std::uint32_t> drawnIndex_;
    mutable std::vector<GlyphCoverage> drawn_;
    mutable std::size_t drawnCount_ = 0;
    mutable std::size_t keptBytes_ = 0; // the capacity of every drawing's coverage in drawn_
    std::size_t bytesLimit_ = kMaxKeptGlyphBytes;
    mutable std::size_t drawingsMade_ = 0;
    // The outline of every glyph at scale_, read in the round of outlineRound_; a round
    // ends when the glyphs are forgotten.
    mutable std::vector<GlyphOutline> outlines_;
    mutable std::vector<std::uint32_t> outlineRound_;
    mutable std::uint32_t round_ = 1;
    mutable GlyphPoints points_;
    mutable GlyphOutline outline_;
    mutable RasterScratch scratch_;
    mutable CoverageCanvas canvas_{0, 0};
};

// The coverage picture as pixels 0x00RRGGBB (top-down rows of the canvas' width): every pixel
// from paper towards the colour of its colour number (colours: kInkNumbers entries) by its
// coverage.
void blendCoverage(const CoverageCanvas& canvas, std::uint32_t paper, const std::uint32_t* colours,
                   std::uint32_t* pixels);

#endif
