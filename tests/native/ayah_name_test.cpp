// The name a screen reader speaks for the picture of an ayah.
#include "app/ayah_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string ascii(const char* text) {
    std::u16string wide;
    for (; *text; ++text)
        wide.push_back(static_cast<char16_t>(*text));
    return wide;
}

TEST(SpokenAyahName, SaysSurahNameAyahThenTheArabicLettersInUnicode) {
    // Beh, seen, meem, a space, alef (the byte code's C8 D3 E3 20 C7).
    EXPECT_EQ(spokenAyahName(1, 1, "Al Fatihah", "\xC8\xD3\xE3 \xC7"),
              ascii("Surah 1 Al Fatihah, ayah 1: ") + u"\u0628\u0633\u0645 \u0627");
    // Shadda is F1 in the byte code, not code page 1256's dammatan.
    EXPECT_EQ(spokenAyahName(2, 255, "Al Baqarah", "\xE1\xF1"),
              ascii("Surah 2 Al Baqarah, ayah 255: ") + u"\u0644\u0651");
}

TEST(SpokenAyahName, WithoutANameOrTextItStillSaysWhereItIs) {
    EXPECT_EQ(spokenAyahName(114, 6, "", nullptr), ascii("Surah 114, ayah 6: "));
    EXPECT_EQ(spokenAyahName(3, 7, nullptr, ""), ascii("Surah 3, ayah 7: "));
    // A long name is cut, never written past the buffer.
    const std::string longName(1000, 'x');
    const std::u16string name = spokenAyahName(3, 7, longName.c_str(), "");
    EXPECT_EQ(name.substr(0, 8), ascii("Surah 3 "));
    EXPECT_EQ(name.size(), 8u + 255u + ascii(", ayah 7: ").size());
}

} // namespace
