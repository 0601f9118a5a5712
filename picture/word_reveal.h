// Hiding an ayah to recite it from memory: what stays hidden of the calligraphy and of the
// translation while the learner reveals the ayah word by word. The words of the calligraphy
// are those of its glyph runs, in reading order (their word index); the end-of-ayah sign
// comes with the last word. The translation keeps pace: after k of the ayah's n words, the
// first ceil(k x m / n) of its m words are shown, so both are whole at the same press.
#ifndef NORAVEL_PICTURE_WORD_REVEAL_H
#define NORAVEL_PICTURE_WORD_REVEAL_H

#include "picture/glyph_runs.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// All words shown: nothing is hidden.
inline constexpr int kAllWordsShown = -1;

// The number of words of the ayah's runs (one more than the highest word index; 0 without
// words).
int runsWordCount(const AyahRuns& runs);

// Whether a glyph of word (kNoWord: the end-of-ayah sign) is drawn when shownWords of the
// ayah's wordCount words are shown (kAllWordsShown or anything below 0: every glyph).
bool glyphRevealed(std::uint8_t word, int shownWords, int wordCount);

// How many leading bytes of text (UTF-8; words are separated by ASCII white space) are shown
// after shownWords of steps presses: through the end of its ceil(shownWords x m / steps)-th
// word, all of it at kAllWordsShown or once shownWords reaches steps, none at 0.
std::size_t revealedTextBytes(std::string_view text, int shownWords, int steps);

// One ayah hidden and revealed step by step. Steps are its words; an ayah without runs has a
// single step (its picture and translation are revealed whole).
class WordReveal {
  public:
    // Everything hidden again, with steps (at least 1) to reveal it.
    void hide(int steps);
    // Nothing hidden (the hiding is off).
    void showAll() { shown_ = kAllWordsShown; }
    // One more word; false when nothing was hidden.
    bool revealNext();
    // The rest at once; false when nothing was hidden.
    bool revealAll();
    bool pending() const { return shown_ != kAllWordsShown; }
    // The words shown, kAllWordsShown once nothing is hidden.
    int shownWords() const { return shown_; }
    int steps() const { return steps_; }

  private:
    int steps_ = 1;
    int shown_ = kAllWordsShown;
};

#endif
