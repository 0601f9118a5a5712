// The glyph runs of every ayah: the glyphs of the Amiri Quran font that the build shaped for
// each ayah, placed line by line exactly as its 1x picture (gif\S\S_A.gif) breaks and draws
// them. The reader draws an ayah from them at any scale; each glyph also names the letter
// and word of the text it came from and the tajwid rule of that letter, so that colours and
// marks can be put on letters.
//
// The file (ayah_runs.bin beside the program), all numbers little-endian:
//   header, 32 bytes:
//     "NRGR", u16 version (3), u16 em size of the 1x pictures in pixels, u32 ayah count,
//     u32 size and u32 checksum (glyphRunsChecksum) of the font file the glyph numbers belong to,
//     u32 payload size, u32 checksum of the payload's tables, u32 zero
//   payload:
//     114 x u16 ayah count of each surah (their sum is the ayah count)
//     ayah count x (u32 offset of the ayah's record in the payload, ascending; u32 checksum
//       of the record)
//     ayah record, in numbers of 1 to 5 bytes (7 bits each, low first, the top bit set on
//     every byte but the last; a signed number n is written as 2n, or -2n-1 when negative):
//       width, height (of the 1x picture), line count, then per line the baseline's step
//       from the line before (1/64 pixel below the picture's top for the first line) and the
//       glyph count, then per glyph: u16 glyph, the step of x from the glyph before (1/64
//       pixel right of the picture's left edge for the first), y (1/64 pixel below the
//       baseline), the letter (code point index in the ayah's text) and the word (index of
//       the word) each as 0 for none (the end-of-ayah sign) or one more than the signed step
//       from the last one given in the record, u8 rule;
//     then the byte count, and per byte of the ayah's Arabic byte-code text (the text the
//     exact search reads) the letter it was made from, as for glyphs (none for a blank);
//     then the same for the ayah's spelling form (what the tolerant search reads).
//   Steps keep the numbers small, so the file is small and packs well.
// A record fills its place up to the next offset (the last one up to the payload's end).
#ifndef NORAVEL_PICTURE_GLYPH_RUNS_H
#define NORAVEL_PICTURE_GLYPH_RUNS_H

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr std::uint16_t kGlyphRunsVersion = 3;
inline constexpr std::size_t kGlyphRunsHeaderBytes = 32;
inline constexpr int kGlyphRunsSurahs = 114;
inline constexpr int kGlyphRunsMaxAyat = 286;       // the longest surah
inline constexpr int kGlyphRunsMaxLines = 64;       // per ayah
inline constexpr int kGlyphRunsMaxGlyphs = 4096;    // per line
inline constexpr int kGlyphRunsMaxPicture = 4096;   // width or height, pixels
inline constexpr int kGlyphRunsMaxTextBytes = 8192; // of an ayah's byte-code text or form
inline constexpr std::uint16_t kNoLetter = 0xFFFF;  // a glyph of the end-of-ayah sign
inline constexpr std::uint8_t kNoWord = 0xFF;
inline constexpr std::uint8_t kGlyphRunsRuleLimit = 64; // rules are numbered below this
// A file larger than this is refused before it is read whole.
inline constexpr std::uint64_t kMaxGlyphRunsFileBytes = 64ull * 1024 * 1024;

struct RunGlyph {
    std::uint16_t glyph = 0;
    std::int32_t x = 0; // 1/64 pixel from the picture's left edge, at the 1x size
    std::int32_t y = 0; // 1/64 pixel from the picture's top (baseline plus offset)
    std::uint16_t letter = kNoLetter;
    std::uint8_t word = kNoWord;
    std::uint8_t rule = 0;
};

struct RunLine {
    std::int32_t baseline = 0;    // 1/64 pixel from the picture's top
    std::vector<RunGlyph> glyphs; // in visual order from the left
};

struct AyahRuns {
    int width = 0; // of the 1x picture, pixels
    int height = 0;
    std::vector<RunLine> lines; // from the top
    // The letter of every byte of the ayah's byte-code text (kNoLetter for a blank).
    std::vector<std::uint16_t> textLetters;
    // The same for every byte of its spelling form (search/arabic_spelling.h).
    std::vector<std::uint16_t> formLetters;
    bool empty() const { return lines.empty(); }
};

// Which letters (code point indices, as the glyphs name them) to mark when the bytes of the
// ayah's byte-code text that are true in matchedBytes matched a search: every letter whose
// cluster (from its index up to the next letter a glyph names) holds a code point one of
// those bytes was made from. Empty when the runs were made from another text (matchedBytes
// is not as long as textLetters) or nothing is marked.
std::vector<bool> lettersOfTextBytes(const AyahRuns& runs, const std::vector<bool>& matchedBytes);
// The same for matched bytes of the ayah's spelling form (formLetters).
std::vector<bool> lettersOfFormBytes(const AyahRuns& runs, const std::vector<bool>& matchedBytes);

// The checksum of the payload and of the font: FNV-1a on 64 bits in four lanes of 8-byte
// words, folded to 32 bits.
std::uint32_t glyphRunsChecksum(const std::uint8_t* bytes, std::size_t size);

// What the file is made from: the ayat of every surah in order.
struct GlyphRunsContent {
    int emPixels = 0;
    std::uint32_t fontBytes = 0;
    std::uint32_t fontChecksum = 0;
    std::vector<std::vector<AyahRuns>> surahs; // 114 surahs, each with its ayat
};

// The file's bytes; false (bytes empty) when the content does not fit the format.
bool writeGlyphRuns(const GlyphRunsContent& content, std::vector<std::uint8_t>& bytes);
// Puts every checksum of a file right again after its bytes were changed on purpose (as
// tests do, to reach the checks behind the checksums); the writer ends with it.
void signGlyphRuns(std::vector<std::uint8_t>& bytes);

// The file read back. Loading checks the header, version, sizes, the table of records and
// its checksum before it keeps the file; on any fault it keeps nothing and returns false.
// Each record is checked (its checksum, then its numbers) when its ayah is read: one that
// does not add up gives no runs. So only the records of the ayat shown are ever touched.
class GlyphRunsFile {
  public:
    GlyphRunsFile() = default;
    GlyphRunsFile(const GlyphRunsFile&) = delete; // it may point into its own bytes
    GlyphRunsFile& operator=(const GlyphRunsFile&) = delete;
    GlyphRunsFile(GlyphRunsFile&&) = default; // a moved vector keeps its buffer
    GlyphRunsFile& operator=(GlyphRunsFile&&) = default;
    // Keeps the bytes.
    bool load(std::vector<std::uint8_t> bytes);
    // Reads bytes the caller keeps unchanged for as long as this object is used (a view of
    // the mapped file).
    bool attach(const std::uint8_t* bytes, std::size_t size);
    bool loaded() const { return data_ != nullptr; }
    int emPixels() const { return emPixels_; }
    std::uint32_t fontBytes() const { return fontBytes_; }
    std::uint32_t fontChecksum() const { return fontChecksum_; }
    int ayahCount(int surah) const; // 0 outside 1..114 or before a load
    // The ayah's runs; empty when there is no such ayah, its record is damaged or nothing
    // is loaded.
    AyahRuns ayah(int surah, int ayah) const;

  private:
    std::vector<std::uint8_t> owned_;
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::vector<std::uint32_t> offsets_; // of every ayah's record and the payload's end
    std::vector<int> firstAyah_;         // index of each surah's first ayah; 115 entries
    int emPixels_ = 0;
    std::uint32_t fontBytes_ = 0;
    std::uint32_t fontChecksum_ = 0;
};

#endif
