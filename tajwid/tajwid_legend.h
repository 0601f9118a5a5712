// The colours of the tajwid pictures and the legend that explains them. The pictures are
// GIFs with one palette of 16 entries: paper, ink, a light grey for the soft edges of the ink,
// and one colour per group of rules.
#ifndef NORAVEL_TAJWID_TAJWID_LEGEND_H
#define NORAVEL_TAJWID_TAJWID_LEGEND_H

#include "tajwid/tajwid_rules.h"

#include <array>
#include <cstdint>

namespace tajwid {

struct Colour {
    std::uint8_t r, g, b;
};

constexpr int kPaletteSize = 16;
constexpr std::uint8_t kPaperIndex = 0;
constexpr std::uint8_t kInkIndex = 1;
constexpr std::uint8_t kEdgeIndex = 15;

// The palette of every tajwid picture.
const std::array<Colour, kPaletteSize>& palette();

// The palette index a character governed by the rule is drawn in (ink for none and izhar).
std::uint8_t paletteIndex(Rule rule);

// One line of the legend: a colour and the rules it stands for.
struct LegendEntry {
    std::uint8_t paletteIndex;
    const char* indonesian; // as printed in Indonesian mushaf
    const char* english;
    const char* explanation; // one line
};

constexpr int kLegendSize = 13;
const std::array<LegendEntry, kLegendSize>& legend();

} // namespace tajwid

#endif
