#include "search/matchers.h"

#include <gtest/gtest.h>

namespace {

TEST(Matchers, NoCaseFoldsAsciiLettersOnly) {
    EXPECT_EQ(findTextNoCase("In the name of Allah", "NAME"), 7);
    EXPECT_EQ(findText("In the name of Allah", "NAME"), -1);
    EXPECT_EQ(findWordNoCase("In the name of Allah", "NAME"), 7);
    EXPECT_EQ(findWord("In the name of Allah", "NAME"), -1);
    // Bytes 32 apart that are not both letters must be equal.
    EXPECT_EQ(findTextNoCase("[x", "{x"), -1);
    EXPECT_EQ(findTextNoCase("@", "`"), -1);
    EXPECT_EQ(findTextNoCase("Z", "z"), 0);
    EXPECT_EQ(findTextNoCase("z[", "Z{"), -1);
    // Bytes of 128 and above never fold, even when 32 apart (C1 / E1).
    EXPECT_EQ(findTextNoCase("\xC1\xC7", "\xE1\xC7"), -1);
    EXPECT_EQ(findTextNoCase("x\xE1\xC7", "\xE1\xC7"), 1);
    EXPECT_EQ(findText("x\xE1\xC7", "\xE1\xC7"), 1);
}

TEST(Matchers, PartialMatchDoesNotSkipALaterOccurrence) {
    EXPECT_EQ(findText("aab", "ab"), 1);
    EXPECT_EQ(findText("ababac", "abac"), 2);
    EXPECT_EQ(findTextNoCase("ABABAC", "abac"), 2);
    EXPECT_EQ(findText("abc", "abcd"), -1);
    EXPECT_EQ(findText("", "a"), -1);
}

TEST(Matchers, PatternAtTheVeryEndIsFound) {
    EXPECT_EQ(findText("abc", "c"), 2);
    EXPECT_EQ(findTextNoCase("abc", "BC"), 1);
    EXPECT_EQ(findWord("say Allah", "Allah"), 4);
    EXPECT_EQ(findWordNoCase("say, ALLAH", "allah"), 5);
    EXPECT_EQ(findWord("sayAllah", "Allah"), -1);
    EXPECT_EQ(findWord("2Allah", "Allah"), -1);
}

TEST(Matchers, WholeWordRejectsPartOfAWordAndAcceptsALaterWholeOne) {
    EXPECT_EQ(findWordNoCase("Allahu and Allah", "allah"), 11);
    EXPECT_EQ(findWord("Allahu and Allah", "Allah"), 11);
    EXPECT_EQ(findWord("Allahu and Allahs", "Allah"), -1);
    EXPECT_EQ(findTextNoCase("Allahu and Allah", "allah"), 0);
    // The whole phrase is one occurrence; only its two edges are tested.
    EXPECT_EQ(findWord("for the believers", "the believer"), -1);
    EXPECT_EQ(findWord("for the believer.", "the believer"), 4);
}

TEST(Matchers, OnlyAsciiLettersAndDigitsAreWordBytes) {
    EXPECT_EQ(findWord("a1b", "1"), -1);
    EXPECT_EQ(findWord("a_b", "a"), 0);
    EXPECT_EQ(findWord("a_b", "b"), 2);
    EXPECT_EQ(findWord("(Allah)", "Allah"), 1);
    EXPECT_EQ(findWord("-Nya", "Nya"), 1);
    EXPECT_EQ(findWord("\xC7x\xE9", "x"), 1); // Arabic letters are not word bytes
    for (int byte = 0; byte < 256; ++byte) {
        bool expected = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                        (byte >= '0' && byte <= '9');
        EXPECT_EQ(isWordByte(static_cast<unsigned char>(byte)), expected) << byte;
    }
}

TEST(Matchers, EmptyPatternIsFoundAtZeroByTheExactExtentMatchers) {
    EXPECT_EQ(findText("abc", ""), 0);
    EXPECT_EQ(findTextNoCase("", ""), 0);
    EXPECT_EQ(findWord("", ""), 0);
    EXPECT_EQ(findWord("abc", ""), -1);
    EXPECT_EQ(findWordNoCase("ab ", ""), 3);
    EXPECT_EQ(findText(nullptr, nullptr), 0);
    EXPECT_EQ(findText(nullptr, "a"), -1);
}

TEST(Matchers, FlagsChooseTheMatcher) {
    EXPECT_EQ(chooseMatcher(true, true), &findWord);
    EXPECT_EQ(chooseMatcher(true, false), &findText);
    EXPECT_EQ(chooseMatcher(false, true), &findWordNoCase);
    EXPECT_EQ(chooseMatcher(false, false), &findTextNoCase);
}

} // namespace
