#include "recitation/memorise_input.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int ayatOf(int surah) {
    return surah == 2 ? 286 : 7;
}

std::string parsedAyah(const char* text) {
    AyahRef a{9, 9};
    if (!parseAyahText(text, ayatOf, &a)) return "invalid";
    return a.valid() ? std::to_string(a.surah) + ":" + std::to_string(a.ayah) : "none";
}

TEST(MemoriseInput, AnAyahIsTypedAsSurahColonAyahWithinTheSurah) {
    EXPECT_EQ(parsedAyah("2:255"), "2:255");
    EXPECT_EQ(parsedAyah(" 1:7 "), "1:7");
    EXPECT_EQ(parsedAyah("  "), "none");
    for (const char* wrong : {"1:8", "2:287", "115:1", "0:1", "2:0", "2", "2:", ":5", "2:2x",
                              "2 :5", "1000:1", "2:-1", "2:00001"})
        EXPECT_EQ(parsedAyah(wrong), "invalid") << wrong;
    char text[8];
    ASSERT_TRUE(formatAyahText(text, sizeof text, {2, 255}));
    EXPECT_STREQ(text, "2:255");
    EXPECT_FALSE(formatAyahText(text, 4, {2, 255}));
    EXPECT_STREQ(text, "");
}

TEST(MemoriseInput, SecondsAndTimesHaveAtMostOneDecimal) {
    int tenths = -1;
    ASSERT_TRUE(parseTenths("1.5", &tenths));
    EXPECT_EQ(tenths, 15);
    ASSERT_TRUE(parseTenths(" 10 ", &tenths));
    EXPECT_EQ(tenths, 100);
    ASSERT_TRUE(parseTenths("0", &tenths));
    EXPECT_EQ(tenths, 0);
    for (const char* wrong : {"", "1.25", "1.", ".5", "-1", "1,5", "12345", "1e3", "abc"})
        EXPECT_FALSE(parseTenths(wrong, &tenths)) << wrong;
    char text[8];
    ASSERT_TRUE(formatTenths(text, sizeof text, 15));
    EXPECT_STREQ(text, "1.5");
    ASSERT_TRUE(formatTenths(text, sizeof text, 20));
    EXPECT_STREQ(text, "2");
}

} // namespace
