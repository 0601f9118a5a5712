#include "tajwid/tajwid_legend.h"

namespace tajwid {

namespace {

// Palette indices of the rule groups, in legend order.
enum : std::uint8_t {
    kGhunnah = 2,
    kIkhfaHaqiqi,
    kIkhfaSyafawi,
    kIdghamBighunnah,
    kIdghamBilaghunnah,
    kIdghamLetters,
    kIqlab,
    kQalqalahSughra,
    kQalqalahKubra,
    kMaddWajib,
    kMaddJaiz,
    kMaddLazim,
    kNotRead,
};
static_assert(kNotRead + 1 == kEdgeIndex, "one colour per legend line between ink and edge");

} // namespace

const std::array<Colour, kPaletteSize>& palette() {
    static const std::array<Colour, kPaletteSize> colours = {{
        {255, 255, 255}, // paper
        {24, 20, 16},    // ink
        {230, 120, 0},   // ghunnah: orange
        {0, 150, 60},    // ikhfa haqiqi: green
        {150, 200, 0},   // ikhfa syafawi: light green
        {130, 50, 170},  // idgham bighunnah: purple
        {110, 110, 200}, // idgham bilaghunnah: lavender
        {200, 90, 160},  // idgham of letters: pink
        {0, 120, 220},   // iqlab: blue
        {0, 170, 190},   // qalqalah sughra: teal
        {0, 70, 130},    // qalqalah kubra: dark blue
        {200, 0, 20},    // madd wajib: red
        {240, 90, 90},   // madd jaiz: light red
        {130, 0, 0},     // madd lazim: dark red
        {150, 150, 150}, // not read: grey
        {205, 200, 195}, // the soft edges of the ink
    }};
    return colours;
}

std::uint8_t paletteIndex(Rule rule) {
    switch (rule) {
    case Rule::Ghunnah: return kGhunnah;
    case Rule::IkhfaHaqiqi: return kIkhfaHaqiqi;
    case Rule::IkhfaSyafawi: return kIkhfaSyafawi;
    case Rule::IdghamBighunnah:
    case Rule::IdghamMimi: return kIdghamBighunnah;
    case Rule::IdghamBilaghunnah: return kIdghamBilaghunnah;
    case Rule::IdghamMutamatsilain:
    case Rule::IdghamMutajanisain:
    case Rule::IdghamMutaqaribain: return kIdghamLetters;
    case Rule::Iqlab: return kIqlab;
    case Rule::QalqalahSughra: return kQalqalahSughra;
    case Rule::QalqalahKubra: return kQalqalahKubra;
    case Rule::MaddWajibMuttasil: return kMaddWajib;
    case Rule::MaddJaizMunfasil: return kMaddJaiz;
    case Rule::MaddLazim: return kMaddLazim;
    case Rule::LamSyamsiyah:
    case Rule::HamzatWasl:
    case Rule::SilentLetter: return kNotRead;
    default: return kInkIndex;
    }
}

const std::array<LegendEntry, kLegendSize>& legend() {
    static const std::array<LegendEntry, kLegendSize> entries = {{
        {kGhunnah, "Ghunnah", "Nasal sound",
         "A nun or mim with shaddah is held through the nose for two counts."},
        {kIkhfaHaqiqi, "Ikhfa haqiqi", "Hiding",
         "Nun sakinah or tanween before fifteen letters is hidden, with ghunnah."},
        {kIkhfaSyafawi, "Ikhfa syafawi", "Hiding with the lips",
         "Mim sakinah before ba: hidden with the lips lightly closed, with ghunnah."},
        {kIdghamBighunnah, "Idgham bighunnah", "Merging with nasal sound",
         "Nun sakinah or tanween into ya, nun, mim, wau, or mim into mim: with ghunnah."},
        {kIdghamBilaghunnah, "Idgham bilaghunnah", "Merging without nasal sound",
         "Nun sakinah or tanween into lam or ra: merged without ghunnah."},
        {kIdghamLetters, "Idgham mutajanisain/mutaqaribain", "Merging of letters",
         "A letter without a mark melts into the doubled letter after it."},
        {kIqlab, "Iqlab", "Turning",
         "Nun sakinah or tanween before ba (small meem): a hidden mim, with ghunnah."},
        {kQalqalahSughra, "Qalqalah sughra", "Light echo",
         "Qaf, tha, ba, jim, dal with sukun inside the reading: a light bounce."},
        {kQalqalahKubra, "Qalqalah kubra", "Strong echo",
         "One of those letters at the ayah's end, where the reader stops."},
        {kMaddWajib, "Mad wajib muttasil", "Obligatory lengthening",
         "A maddah followed by hamzah in the same word: four or five counts."},
        {kMaddJaiz, "Mad jaiz munfasil", "Allowed lengthening",
         "Maddah at a word's end, hamzah starting the next: two, four or five."},
        {kMaddLazim, "Mad lazim", "Necessary lengthening",
         "Maddah before a fixed sukun or shaddah, or on an opening letter: six."},
        {kNotRead, "Tidak dibaca", "Not read",
         "Lam syamsiyah, hamzat wasl inside the reading and letters under the small zero."},
    }};
    return entries;
}

} // namespace tajwid
