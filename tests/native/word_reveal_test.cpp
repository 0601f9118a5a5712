// Hiding an ayah and revealing it word by word: which glyphs are drawn and how much of the
// translation is shown after each press.
#include "picture/word_reveal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

RunGlyph glyphOf(int word) {
    RunGlyph glyph;
    glyph.word = static_cast<std::uint8_t>(word);
    return glyph;
}

// Two lines, words 0..1 on the first and 2 with the end sign on the second, each word of
// several glyphs and the words not in order within a line (a line runs right to left).
AyahRuns threeWords() {
    AyahRuns runs;
    runs.width = 10;
    runs.height = 10;
    runs.lines.resize(2);
    for (int w : {1, 1, 0, 0, 0})
        runs.lines[0].glyphs.push_back(glyphOf(w));
    for (int w : {int{kNoWord}, 2, 2})
        runs.lines[1].glyphs.push_back(glyphOf(w));
    return runs;
}

// The words of the runs whose glyphs are all drawn after `shown` presses, and whether the
// end sign is.
std::vector<int> drawnWords(const AyahRuns& runs, int shown, bool& sign) {
    const int count = runsWordCount(runs);
    std::vector<int> words;
    sign = false;
    for (int w = 0; w < count; ++w) {
        bool all = true, none = true;
        for (const RunLine& line : runs.lines)
            for (const RunGlyph& g : line.glyphs)
                if (g.word == w) (glyphRevealed(g.word, shown, count) ? none : all) = false;
        EXPECT_TRUE(all || none) << "word " << w << " drawn in part";
        if (all) words.push_back(w);
    }
    sign = glyphRevealed(kNoWord, shown, count);
    return words;
}

TEST(WordReveal, EachPressDrawsTheNextWordInReadingOrderAndTheSignWithTheLast) {
    const AyahRuns runs = threeWords();
    ASSERT_EQ(runsWordCount(runs), 3);
    EXPECT_EQ(runsWordCount(AyahRuns{}), 0);
    bool sign = true;
    EXPECT_EQ(drawnWords(runs, 0, sign), std::vector<int>{});
    EXPECT_FALSE(sign);
    EXPECT_EQ(drawnWords(runs, 1, sign), std::vector<int>({0}));
    EXPECT_EQ(drawnWords(runs, 2, sign), std::vector<int>({0, 1}));
    EXPECT_FALSE(sign);
    EXPECT_EQ(drawnWords(runs, 3, sign), std::vector<int>({0, 1, 2}));
    EXPECT_TRUE(sign);
    EXPECT_EQ(drawnWords(runs, kAllWordsShown, sign), std::vector<int>({0, 1, 2}));
    EXPECT_TRUE(sign);
}

std::string shownText(const std::string& text, int shown, int steps) {
    return text.substr(0, revealedTextBytes(text, shown, steps));
}

TEST(WordReveal, TheTranslationKeepsPaceAndEndsWithTheLastWord) {
    const std::string text = "In the name of God, the Merciful"; // 7 words
    EXPECT_EQ(shownText(text, 0, 4), "");
    EXPECT_EQ(shownText(text, 1, 4), "In the");                  // ceil(7/4) = 2
    EXPECT_EQ(shownText(text, 2, 4), "In the name of");          // ceil(14/4) = 4
    EXPECT_EQ(shownText(text, 3, 4), "In the name of God, the"); // ceil(21/4) = 6
    EXPECT_EQ(shownText(text, 4, 4), text);
    EXPECT_EQ(shownText(text, kAllWordsShown, 4), text);
    // More ayah words than translation words: every press shows at least as much as before
    // and the first already shows a word.
    EXPECT_EQ(shownText("Praise  be", 1, 5), "Praise");
    EXPECT_EQ(shownText("Praise  be", 3, 5), "Praise  be");
    // Leading and repeated white space, multi-byte letters and a text of blanks.
    EXPECT_EQ(shownText("  \xD8\xA8\xD8\xB3\xD9\x85 \t\xD8\xA7\xD9\x84\xD9\x84\xD9\x87", 1, 2),
              "  \xD8\xA8\xD8\xB3\xD9\x85");
    EXPECT_EQ(shownText("   ", 1, 2), "   ");
    EXPECT_EQ(shownText("", 1, 2), "");
    // A single step (an ayah without runs) shows all at the first press.
    EXPECT_EQ(shownText(text, 1, 1), text);
    EXPECT_EQ(shownText(text, 0, 1), "");
}

TEST(WordReveal, PressesCountUpToTheWordsAndThenNothingIsHidden) {
    WordReveal reveal;
    EXPECT_FALSE(reveal.pending());
    EXPECT_FALSE(reveal.revealNext());
    EXPECT_FALSE(reveal.revealAll());
    reveal.hide(3);
    EXPECT_TRUE(reveal.pending());
    EXPECT_EQ(reveal.shownWords(), 0);
    EXPECT_TRUE(reveal.revealNext());
    EXPECT_TRUE(reveal.revealNext());
    EXPECT_EQ(reveal.shownWords(), 2);
    EXPECT_TRUE(reveal.revealNext());
    EXPECT_EQ(reveal.shownWords(), kAllWordsShown);
    EXPECT_FALSE(reveal.pending());
    EXPECT_FALSE(reveal.revealNext());

    reveal.hide(0); // an ayah without words still hides until one press
    EXPECT_EQ(reveal.steps(), 1);
    EXPECT_TRUE(reveal.revealNext());
    EXPECT_FALSE(reveal.pending());

    reveal.hide(5);
    EXPECT_TRUE(reveal.revealNext());
    EXPECT_TRUE(reveal.revealAll());
    EXPECT_EQ(reveal.shownWords(), kAllWordsShown);
    reveal.hide(5);
    reveal.showAll();
    EXPECT_FALSE(reveal.pending());
}

} // namespace
