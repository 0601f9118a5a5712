// The arithmetic of the reading view: one surah as a column of blocks (the surah's opening,
// then one block per ayah), where each block begins, which ayah is at a scroll offset, how
// far the column scrolls, and where the parts of one ayah's block go. All lengths are pixels
// at the view's DPI; the fixed figures are given for 96 DPI.
#ifndef NORAVEL_APP_READING_LAYOUT_H
#define NORAVEL_APP_READING_LAYOUT_H

#include <vector>

// Space above an ayah's picture and below its last line, and between the parts of a block.
constexpr int kReadingBlockPadding = 14;
constexpr int kReadingPartGap = 6;

// The heights of the parts of one ayah's block, top to bottom: a rule above it (a mark of
// where something begins; 0 for none), the calligraphy, the translation and the second line
// (0 for none).
struct AyahBlockParts {
    int rule = 0;
    int picture = 0;
    int first = 0;
    int second = 0;
};

// Where each part begins, counted from the block's top, and the block's height.
struct AyahBlockPlaces {
    int rule = 0;
    int picture = 0;
    int first = 0;
    int second = 0;
    int height = 0;
};

// The parts placed at dpi: the rule, the padding, the picture, a gap, the translation, a gap
// and the second line where there is one, the padding. A negative part counts as 0.
AyahBlockPlaces placeAyahBlock(const AyahBlockParts& parts, int dpi);

// One surah's column: the opening's height, then one height per ayah.
class ReadingColumn {
  public:
    // The opening's height and the blocks' (ayah k at index k - 1); negative heights count
    // as 0.
    void set(int headHeight, const std::vector<int>& ayahHeights);
    int ayatCount() const { return static_cast<int>(tops_.size()); }
    int totalHeight() const { return total_; }
    // Where ayah's block begins (1..ayatCount; others are kept inside), and its height.
    int ayahTop(int ayah) const;
    int ayahHeight(int ayah) const;
    // The ayah whose block holds the offset; the opening and anything above count as ayah 1,
    // anything below the end as the last ayah. 0 for a column without ayat.
    int ayahAt(int offset) const;
    // The furthest the column scrolls: until the last ayah is at the top, so that every ayah
    // can be the one at the top.
    int maxScroll() const { return tops_.empty() ? 0 : tops_.back(); }
    // An offset kept between 0 and maxScroll.
    int clampScroll(int offset) const;
    // The offset that puts ayah at the top; ayah 1 shows the opening above it.
    int scrollFor(int ayah) const;
    // The first and last ayah with a part in [offset, offset + viewHeight); last < first when
    // none is.
    struct Range {
        int first = 1;
        int last = 0;
    };
    Range visibleAyat(int offset, int viewHeight) const;

  private:
    int clampAyah(int ayah) const;
    std::vector<int> tops_; // where each ayah's block begins
    int total_ = 0;
};

#endif
