// The tajwid rules of one ayah of the Uthmani text: for every character, the rule of
// recitation that governs it (and so its colour), or none.
//
// The engine reads what the Uthmani text itself writes down rather than guessing from the
// letters: a letter pronounced without a vowel carries the small sukun U+06E1; a letter that
// melts into the next one carries no mark at all (and the next letter carries a shaddah where
// the merge is complete); tanween before a letter it is hidden in or merged into is written in
// its open (staggered) form U+0657, U+065E, U+0656 (or U+08F0..U+08F2, the same marks as the
// picture generator feeds them to the font); the small meem U+06E2 / U+06ED marks iqlab; the
// maddah U+0653 marks a lengthening beyond the natural two counts; the rounded zero (written
// here as U+0652) marks a letter never read, the rectangular zero U+06E0 a letter read only at
// a stop. Rules cross the blanks between words; the ayah's end is a stop.
#ifndef NORAVEL_TAJWID_TAJWID_RULES_H
#define NORAVEL_TAJWID_TAJWID_RULES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tajwid {

enum class Rule : std::uint8_t {
    None,
    Ghunnah,             // nun or mim with shaddah
    IkhfaHaqiqi,         // nun sakinah or tanween hidden before one of the fifteen letters
    IkhfaSyafawi,        // mim sakinah hidden before ba
    IdghamBighunnah,     // nun sakinah or tanween merged into ya, nun, mim or wau
    IdghamBilaghunnah,   // nun sakinah or tanween merged into lam or ra
    IdghamMimi,          // mim sakinah merged into mim
    IdghamMutamatsilain, // a letter merged into the same letter
    IdghamMutajanisain,  // a letter merged into one from the same place of articulation
    IdghamMutaqaribain,  // a letter merged into one from a nearby place of articulation
    Iqlab,               // nun sakinah or tanween turned into a hidden mim before ba
    Izhar,               // nun sakinah, tanween or mim sakinah pronounced clearly
    QalqalahSughra,      // qaf, tha, ba, jim, dal with sukun inside the reading
    QalqalahKubra,       // one of those letters where the reader stops
    MaddWajibMuttasil,   // maddah followed by hamzah in the same word
    MaddJaizMunfasil,    // maddah at a word's end, hamzah starting the next word
    MaddLazim,           // maddah followed by a fixed sukun or shaddah, or on an opening letter
    LamSyamsiyah,        // the article's lam melted into a sun letter
    HamzatWasl,          // the connecting alif, silent inside the reading
    SilentLetter,        // a letter written but not read (rounded or rectangular zero)
    Count
};
constexpr std::size_t kRuleCount = static_cast<std::size_t>(Rule::Count);

// Decodes UTF-8 into code points; each code point also records the byte offset it starts at.
// Malformed bytes become U+FFFD one byte at a time, so offsets always advance.
struct CodePoint {
    char32_t value;
    std::size_t offset;
};
std::vector<CodePoint> decodeUtf8(const std::string& text);

// One rule per code point of the text (same length as the input).
std::vector<Rule> classify(const std::u32string& ayah);

// The same, one rule per code point of decodeUtf8(ayah).
std::vector<Rule> classifyUtf8(const std::string& ayah);

// Short English name of a rule, for messages and test output ("ikhfa haqiqi").
const char* ruleName(Rule rule);

} // namespace tajwid

#endif
