// Drawing one ayah of the Uthmani text into a small grey-level picture and encoding it as a
// GIF89a. The generator make_ayah_pictures runs this over the whole Quran; the pieces are kept
// apart from its main routine so that they can be tested on their own.
#ifndef NORAVEL_TOOLS_AYAH_PICTURE_H
#define NORAVEL_TOOLS_AYAH_PICTURE_H

#include "picture/glyph_runs.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ayahpics {

// How the pictures look. The reader shows a picture unscaled, centred in a view that is about
// 720 pixels wide in the default window, so a text block of at most 560 pixels leaves room.
struct PictureStyle {
    int fontPixels = 34;    // em size of the font in pixels
    int maxLineWidth = 560; // longest line, in pixels, before a word moves to the next line
    int linePitch = 68;     // baseline to baseline; raised where tall marks would touch
    int minLineGap = 6;     // least blank rows between the ink of two lines
    int margin = 12;        // blank pixels around the ink on every side
    int greyLevels = 16;    // paper, ink and the anti-aliasing steps between: 2 to 16
};

// The same style with every length multiplied by factor (rounded), for a picture set drawn
// for screens of that many times the pixels; the grey levels stay.
PictureStyle scaledStyle(const PictureStyle& style, double factor);

// The ink of the pictures: index 0 is white paper, index 15 full ink, between them the
// anti-aliasing levels in equal steps.
constexpr int kPaletteSize = 16;
struct Rgb {
    std::uint8_t r, g, b;
};
constexpr Rgb kPaper{255, 255, 255};
constexpr Rgb kInk{24, 20, 16};
std::array<Rgb, kPaletteSize> inkPalette();

// Maps a coverage value 0..255 (FreeType's anti-aliasing) to the nearest palette index.
std::uint8_t coverageToIndex(std::uint8_t coverage);

// The same for a ramp of levels grey levels (2..16): 0 paper, levels - 1 full ink.
std::uint8_t coverageToLevel(std::uint8_t coverage, int levels);

// The ink palette with levels entries in equal steps from paper to ink; 16 gives inkPalette.
std::vector<Rgb> inkRamp(int levels);

// The ayah number in Arabic-Indic digits (U+0660..U+0669), as UTF-8. Numbers below 1 give "".
std::string arabicIndicDigits(int number);

// The end-of-ayah sign U+06DD followed by the number: the font composes the pair into the
// numbered ornament.
std::string ayahEndSign(int number);

// The text marks open (staggered) tanween the way older Madina mushaf fonts did, with the code
// points of inverted damma (U+0657, open fathatan), fatha with two dots (U+065E, open dammatan)
// and subscript alef (U+0656, open kasratan); it uses them only before letters that are not
// pronounced clearly after a tanween. Amiri Quran draws open tanween at U+08F0..U+08F2 and has
// no glyph for U+065E, so the marks are moved to those code points before shaping.
std::string withOpenTanween(const std::string& utf8Text);

// The units that a line may be broken between: the words of the text split at plain blanks
// (U+0020; no other blank breaks a line), empty pieces dropped, with the end-of-ayah sign kept
// on the last word so that it never starts a line alone.
std::vector<std::string> breakUnits(const std::string& text, int ayahNumber);

// Greedy line breaking: widths of the units and of one blank, in any one unit of length.
// Every line holds as many units as fit into maxWidth; a unit wider than maxWidth gets a line
// of its own. Returns the number of units on each line, in reading order.
std::vector<std::size_t> breakLines(const std::vector<std::int64_t>& unitWidths,
                                    std::int64_t blankWidth, std::int64_t maxWidth);

// A picture of palette indices, row by row from the top.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height indices, each below kPaletteSize
};

// Encodes the picture as a GIF89a with a global colour table of kPaletteSize entries
// (inkPalette) and one image, LZW code size 4. Returns false with a message if it cannot.
bool encodeGif(const IndexedPicture& picture, std::vector<std::uint8_t>& gif, std::string& error);
// The same with another palette of kPaletteSize colours.
bool encodeGif(const IndexedPicture& picture, const std::array<Rgb, kPaletteSize>& palette,
               std::vector<std::uint8_t>& gif, std::string& error);

// The same with a palette of 2 to 16 colours: the GIF's colour table has the next power of
// two entries (the last colour repeated) and an LZW code size of 2, 3 or 4 to match. Every
// pixel must index the palette.
bool encodeGif(const IndexedPicture& picture, const std::vector<Rgb>& palette,
               std::vector<std::uint8_t>& gif, std::string& error);

// The palette of the tajwid pictures (tajwid::palette()).
std::array<Rgb, kPaletteSize> tajwidPalette();

// The palette index of every byte of a UTF-8 ayah: the colour of the tajwid rule of the
// character the byte belongs to.
std::vector<std::uint8_t> tajwidByteColours(const std::string& utf8Text);

// Shapes (HarfBuzz: Arabic, right to left, language ar) and rasterises (FreeType) ayat in one
// font. One renderer is used by one thread at a time; make one per thread.
class AyahRenderer {
  public:
    // Throws std::runtime_error if the font cannot be opened.
    AyahRenderer(const std::string& fontPath, const PictureStyle& style);
    ~AyahRenderer();
    AyahRenderer(const AyahRenderer&) = delete;
    AyahRenderer& operator=(const AyahRenderer&) = delete;

    // Draws the text followed by the numbered end-of-ayah sign, lines right-aligned. Throws
    // std::runtime_error if a character has no glyph in the font or a glyph cannot be drawn.
    // With runs, also the glyphs placed as the picture draws them (glyph_runs.h): positions
    // from the picture's top-left, each with its letter, word and tajwid rule.
    IndexedPicture render(const std::string& utf8Text, int ayahNumber, AyahRuns* runs = nullptr);

    // The same in the tajwid palette: every glyph, marks included, in the colour of the rule
    // of the characters its cluster maps to; the end-of-ayah sign in ink.
    IndexedPicture renderTajwid(const std::string& utf8Text, int ayahNumber);

    // Width of the text shaped as one run, in 1/64 pixel.
    std::int64_t shapedWidth(const std::string& utf8Text);

  private:
    IndexedPicture renderWith(const std::string& utf8Text, int ayahNumber, bool coloured,
                              AyahRuns* runs);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace ayahpics

#endif
