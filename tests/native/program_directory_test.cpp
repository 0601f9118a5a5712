#include "base/program_directory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string directoryOf(const std::string& path, std::size_t size = kUtf8PathBytes) {
    char out[kUtf8PathBytes];
    std::memset(out, 'x', sizeof out);
    programDirectoryFromPath(path.c_str(), out, size);
    return out;
}

// "<count> Arabic letters" in UTF-8: two bytes, one UTF-16 unit each.
std::string arabicLetters(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += "\xD8\xB9"; // AIN
    return text;
}

TEST(ProgramDirectory, IsThePathUpToItsLastBackslash) {
    EXPECT_EQ(directoryOf("C:\\Program Files\\Noravel\\Noravel.exe"), "C:\\Program Files\\Noravel");
    EXPECT_EQ(directoryOf("C:\\Noravel.exe"), "C:");
    EXPECT_EQ(directoryOf("\\\\server\\share\\a.exe"), "\\\\server\\share");
    const std::string arabic = "C:\\" + arabicLetters(5);
    EXPECT_EQ(directoryOf(arabic + "\\Noravel.exe"), arabic);
}

TEST(ProgramDirectory, APathWithoutABackslashStaysWhole) {
    EXPECT_EQ(directoryOf("Noravel.exe"), "Noravel.exe");
    EXPECT_EQ(directoryOf(""), "");
}

// A folder that does not fit is refused whole, never cut into the name of its parent or
// of a sibling that shares its beginning.
TEST(ProgramDirectory, AFolderThatDoesNotFitIsRefusedNotCut) {
    char out[4] = "xyz";
    EXPECT_FALSE(programDirectoryFromPath("C:\\abcdef\\x.exe", out, sizeof out));
    EXPECT_STREQ(out, "");
    char one[1] = {'x'};
    EXPECT_FALSE(programDirectoryFromPath("C:\\a\\b.exe", one, 1));
    EXPECT_EQ(one[0], '\0');

    // The limit counts UTF-16 units, not bytes: as many Arabic letters as ASCII ones fit.
    const std::string longest = "C:\\" + arabicLetters(kMaxProgramDirectoryUnits - 3);
    EXPECT_EQ(directoryOf(longest + "\\Noravel.exe"), longest);
    EXPECT_EQ(directoryOf(longest + "\xD8\xB9\\Noravel.exe"), "");
    const std::string ascii(kMaxProgramDirectoryUnits + 1, 'a');
    EXPECT_EQ(directoryOf(ascii + "\\Noravel.exe"), "");
}

TEST(ProgramDirectory, Utf16UnitsCountLettersAndSurrogatePairs) {
    EXPECT_EQ(utf16UnitsOf(""), 0u);
    EXPECT_EQ(utf16UnitsOf("C:\\a"), 4u);
    EXPECT_EQ(utf16UnitsOf(arabicLetters(3).c_str()), 3u);
    EXPECT_EQ(utf16UnitsOf("\xE2\x82\xAC"), 1u);     // EURO SIGN
    EXPECT_EQ(utf16UnitsOf("\xF0\x9F\x98\x80"), 2u); // an emoji: a surrogate pair
}

} // namespace
